// Hexadecimal texts of the simulator's messages and reports, in the digits
// the output formats write.
#include "simulator/HexText.h"

#include "output/Formats.h"

std::string HexByte(unsigned value)
{
    std::string text;
    AppendHexDigits(text, value, 2);
    return text;
}

std::string HexWord(unsigned value)
{
    std::string text;
    AppendHexDigits(text, value, 4);
    return text;
}
