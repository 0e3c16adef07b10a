// Word and number reading for the table files.
#include "driver/WordReader.h"

namespace {

const long long NumberCeiling = 1000000000000000000LL;

int PeekChar(WordReader& reader)
{
    return PeekInputChar(reader.Input);
}

void SkipChar(WordReader& reader)
{
    TakeInputChar(reader.Input);
}

// Leaves the reader at the next non-white character; false at the end.
bool SkipWhiteSpace(WordReader& reader)
{
    for (;;) {
        int c = PeekChar(reader);
        if (c == std::char_traits<char>::eof())
            return false;
        if (!IsWhiteSpace(c))
            return true;
        SkipChar(reader);
    }
}

bool IsDigit(int c)
{
    return c >= '0' && c <= '9';
}

} // namespace

bool IsWhiteSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool OpenWordReader(WordReader& reader, const char* fileName)
{
    return OpenInputFile(reader.Input, fileName);
}

void UseWordBuffer(WordReader& reader, std::streambuf& buffer, const char* name)
{
    UseInputBuffer(reader.Input, buffer, name);
}

bool ReadWord(WordReader& reader, std::string& word, std::size_t keep)
{
    word.clear();
    if (!SkipWhiteSpace(reader))
        return false;
    for (;;) {
        int c = PeekChar(reader);
        if (c == std::char_traits<char>::eof() || IsWhiteSpace(c))
            return true;
        if (word.size() <= keep)
            word.push_back(static_cast<char>(c));
        SkipChar(reader);
    }
}

bool ReadNumber(WordReader& reader, DecimalNumber& number)
{
    if (!SkipWhiteSpace(reader))
        return false;
    bool negative = false;
    int c = PeekChar(reader);
    if (c == '+' || c == '-') {
        negative = (c == '-');
        SkipChar(reader);
        c = PeekChar(reader);
    }
    if (!IsDigit(c))
        return false;
    long long magnitude = 0;
    std::uint16_t low16 = 0;
    while (IsDigit(c)) {
        int digit = c - '0';
        if (magnitude < NumberCeiling / 10)
            magnitude = magnitude * 10 + digit;
        if (magnitude >= NumberCeiling / 10)
            magnitude = NumberCeiling;
        low16 = static_cast<std::uint16_t>(low16 * 10u + static_cast<unsigned>(digit));
        SkipChar(reader);
        c = PeekChar(reader);
    }
    number.Value = negative ? -magnitude : magnitude;
    number.Low16 = negative ? static_cast<std::uint16_t>(0u - low16) : low16;
    return true;
}
