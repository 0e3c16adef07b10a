// Numeric literals of operands and data items: their value and size class.
#pragma once

#include <cstddef>
#include <cstdint>

#include "symbols/SymbolData.h"

// Size classes travelling beside every resolved value.
constexpr int ByteSizeClass = 1;
constexpr int WordSizeClass = 2;
constexpr int OversizeClass = -1;

// Converts a token (hexadecimal with a trailing H, decimal otherwise), sets
// its size class and logs the results line.
SymbolData Str2SymbolData(const char* token, int& size);

// A hexadecimal digit's value (either case), or -1.
int HexDigitValue(char c);

// Reads text as "%d" would: leading white space, an optional sign, decimal
// digits up to the first other character. Gives the low 32 bits of the number
// as written; false when no digit can be read (value left alone).
bool ScanDecimal(const char* text, std::uint32_t& low32);

// Reads the first length characters of text as "%x" would: leading white
// space, an optional sign, an optional 0x, hexadecimal digits. Gives the low
// 16 bits; false when no digit can be read (value left alone).
bool ScanHexadecimal(const char* text, std::size_t length, std::uint16_t& low16);
