// Hexadecimal texts of the simulator's messages and reports.
#include "simulator/HexText.h"

namespace {

const char Digits[] = "0123456789ABCDEF";

} // namespace

std::string HexByte(unsigned value)
{
    return std::string{Digits[(value >> 4) & 0xF], Digits[value & 0xF]};
}

std::string HexWord(unsigned value)
{
    return HexByte(value >> 8) + HexByte(value);
}
