// Number literals of the source language: the base from the suffix letter
// (or a prefix: $1F, 0x1F, %1010, 0b1010), every digit checked against it.
#include "pass1/Numbers.h"

#include "pass1/Pass1.h"
#include "symbols/NumericLiteral.h"

namespace {

char UpperLetter(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The base a suffix letter names, or 0 when the last character is no suffix.
unsigned BaseOfSuffix(char c)
{
    switch (UpperLetter(c)) {
    case 'H':
        return 16;
    case 'D':
        return 10;
    case 'B':
        return 2;
    case 'O':
    case 'Q':
        return 8;
    default:
        return 0;
    }
}

// The digits of text from first up to end in base; a value past FFFFH is
// TooLarge once every digit has been checked.
NumberStatus ReadDigits(const std::string& text, std::size_t first, std::size_t end, unsigned base, std::uint16_t& value)
{
    if (first >= end)
        return NumberStatus::BadDigit;
    // Counting on past an overflow keeps looking for bad digits: "99999G" is a
    // malformed number before it is a large one.
    std::uint32_t total = 0;
    bool tooLarge = false;
    for (std::size_t i = first; i < end; i++) {
        // No base is above 16, so a letter past F is a bad digit like any stray character.
        int digit = HexDigitValue(text[i]);
        if (digit < 0 || static_cast<unsigned>(digit) >= base)
            return NumberStatus::BadDigit;
        total = total * base + static_cast<std::uint32_t>(digit);
        if (total > 0xFFFFu) {
            tooLarge = true;
            total = 0xFFFFu;
        }
    }
    if (tooLarge)
        return NumberStatus::TooLarge;
    value = static_cast<std::uint16_t>(total);
    return NumberStatus::Valid;
}

// The base of a prefix the cross assemblers write ($ and 0x hexadecimal,
// % and 0b binary) and the length of the prefix; 0 when there is none.
unsigned BaseOfPrefix(const std::string& text, std::size_t& length)
{
    length = 1;
    if (text[0] == '$')
        return 16;
    if (text[0] == '%')
        return 2;
    length = 2;
    if (text.size() > 2 && text[0] == '0' && UpperLetter(text[1]) == 'X')
        return 16;
    if (text.size() > 2 && text[0] == '0' && UpperLetter(text[1]) == 'B')
        return 2;
    return 0;
}

} // namespace

NumberStatus ReadSourceNumber(const std::string& text, std::uint16_t& value)
{
    if (text.empty())
        return NumberStatus::NotANumber;
    std::size_t prefixLength = 0;
    unsigned prefixBase = BaseOfPrefix(text, prefixLength);
    if (prefixLength == 1 && prefixBase != 0)
        return ReadDigits(text, 1, text.size(), prefixBase, value);
    if (text[0] < '0' || text[0] > '9')
        return NumberStatus::NotANumber;
    std::size_t digits = text.size();
    unsigned base = BaseOfSuffix(text.back());
    if (base != 0)
        digits--;
    else
        base = 10;
    NumberStatus status = ReadDigits(text, 0, digits, base, value);
    // A base letter at the end is read first: 0B1H is B1H, 0BH is 11; the
    // prefix is the reading of what the suffix forms refuse (0B101, 0x1F).
    if (status == NumberStatus::BadDigit && prefixBase != 0)
        return ReadDigits(text, prefixLength, text.size(), prefixBase, value);
    return status;
}

bool ParseNumberLiteral(const std::string& text, std::uint16_t& value)
{
    std::uint16_t read = 0;
    if (ReadSourceNumber(text, read) != NumberStatus::Valid)
        return false;
    value = read;
    return true;
}
