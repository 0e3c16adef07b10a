// Number literals of the source language: the base from the suffix letter,
// every digit checked against that base.
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

} // namespace

NumberStatus ReadSourceNumber(const std::string& text, std::uint16_t& value)
{
    if (text.empty() || text[0] < '0' || text[0] > '9')
        return NumberStatus::NotANumber;
    std::size_t digits = text.size();
    unsigned base = BaseOfSuffix(text.back());
    if (base != 0)
        digits--;
    else
        base = 10;
    if (digits == 0)
        return NumberStatus::BadDigit;
    // Counting on past an overflow keeps looking for bad digits: "99999G" is a
    // malformed number before it is a large one.
    std::uint32_t total = 0;
    bool tooLarge = false;
    for (std::size_t i = 0; i < digits; i++) {
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

bool ParseNumberLiteral(const std::string& text, std::uint16_t& value)
{
    std::uint16_t read = 0;
    if (ReadSourceNumber(text, read) != NumberStatus::Valid)
        return false;
    value = read;
    return true;
}
