// One 16-bit value, readable whole as a signed word or as its low byte.
#pragma once

#include <cstdint>

struct SymbolData {
    std::int16_t Word; // the whole value
    std::uint8_t Byte; // its low-order 8 bits
};

// The value whose 16 bits are bits, with both views set.
SymbolData MakeSymbolData(std::uint16_t bits);

// The 16 bits of a value, as the object file writes them.
std::uint16_t SymbolBits(SymbolData data);
