// Building a value from its bits; both views always agree.
#include "symbols/SymbolData.h"

SymbolData MakeSymbolData(std::uint16_t bits)
{
    int word = bits >= 0x8000u ? static_cast<int>(bits) - 0x10000 : static_cast<int>(bits);
    return SymbolData{static_cast<std::int16_t>(word), static_cast<std::uint8_t>(bits & 0xFFu)};
}

std::uint16_t SymbolBits(SymbolData data)
{
    return static_cast<std::uint16_t>(data.Word);
}
