// Hexadecimal fields of the object file, upper case, at least two digits.
#include "pass2/ObjectLine.h"

namespace {

void AppendHex(std::string& line, std::uint32_t value)
{
    static const char Digits[] = "0123456789ABCDEF";
    char text[8];
    int length = 0;
    do {
        text[length++] = Digits[value & 0xFu];
        value >>= 4;
    } while (value != 0);
    if (length < 2)
        text[length++] = '0';
    while (length > 0)
        line.push_back(text[--length]);
}

} // namespace

std::string FormatAddress(std::uint32_t address)
{
    std::string text;
    AppendHex(text, address);
    return text;
}

void WriteAddressField(std::string& line, std::uint32_t address)
{
    AppendHex(line, address);
    line += " \t ";
}

void WriteOpcodeField(std::string& line, unsigned opcode)
{
    AppendHex(line, opcode & 0xFFu);
}

void WriteOperandByteField(std::string& line, unsigned byte)
{
    line += "  ";
    AppendHex(line, byte & 0xFFu);
}

void WriteDataByteField(std::string& line, unsigned byte)
{
    AppendHex(line, byte & 0xFFu);
    line += "  ";
}

void WriteClosingMark(std::string& line)
{
    line += "\t\t*";
}
