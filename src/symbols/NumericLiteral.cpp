// Conversion of operand literals. The size class comes from how the number
// is written, never from the instruction that uses it.
#include "symbols/NumericLiteral.h"

#include <cstring>

#include "driver/RunLog.h"
#include "driver/WordReader.h"

namespace {

// Skips leading white space and a sign; true when the sign was a minus.
std::size_t SkipSpaceAndSign(const char* text, std::size_t length, bool& negative)
{
    std::size_t i = 0;
    while (i < length && IsWhiteSpace(static_cast<unsigned char>(text[i])))
        i++;
    negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) {
        negative = (text[i] == '-');
        i++;
    }
    return i;
}

int HexSizeClass(std::size_t digitCount)
{
    return digitCount <= 2 ? ByteSizeClass : WordSizeClass;
}

int DecimalSizeClass(std::size_t length, SymbolData value)
{
    if (length <= 2)
        return ByteSizeClass;
    if (length == 3 && value.Word <= 255)
        return ByteSizeClass;
    return WordSizeClass;
}

} // namespace

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool ScanDecimal(const char* text, std::uint32_t& low32)
{
    std::size_t length = std::strlen(text);
    bool negative = false;
    std::size_t i = SkipSpaceAndSign(text, length, negative);
    if (i >= length || text[i] < '0' || text[i] > '9')
        return false;
    std::uint32_t value = 0;
    for (; i < length && text[i] >= '0' && text[i] <= '9'; i++)
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    low32 = negative ? 0u - value : value;
    return true;
}

bool ScanHexadecimal(const char* text, std::size_t length, std::uint16_t& low16)
{
    bool negative = false;
    std::size_t i = SkipSpaceAndSign(text, length, negative);
    if (i + 2 < length && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')
        && HexDigitValue(text[i + 2]) >= 0)
        i += 2;
    if (i >= length || HexDigitValue(text[i]) < 0)
        return false;
    std::uint32_t value = 0;
    for (; i < length && HexDigitValue(text[i]) >= 0; i++)
        value = (value << 4 | static_cast<std::uint32_t>(HexDigitValue(text[i]))) & 0xFFFFu;
    low16 = static_cast<std::uint16_t>(negative ? 0u - value : value);
    return true;
}

SymbolData Str2SymbolData(const char* token, int& size)
{
    std::size_t length = std::strlen(token);
    SymbolData value = MakeSymbolData(0);
    char last = length > 0 ? token[length - 1] : '\0';
    if (last == 'H' || last == 'h') {
        std::size_t digits = length - 1;
        if (digits >= 5) {
            LogStream << "Str2SymbolData Error: Cannot convert symbol greater than word size" << std::endl;
            size = OversizeClass;
        } else {
            std::uint16_t bits = 0;
            if (ScanHexadecimal(token, digits, bits))
                value = MakeSymbolData(bits);
            size = HexSizeClass(digits);
        }
    } else {
        std::uint32_t bits = 0;
        if (ScanDecimal(token, bits))
            value = MakeSymbolData(static_cast<std::uint16_t>(bits & 0xFFFFu));
        size = DecimalSizeClass(length, value);
    }
    LogStream << "str2symboldata Results: size = " << size << " data = " << value.Word << std::endl;
    return value;
}
