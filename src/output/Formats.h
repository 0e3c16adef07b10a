// The output formats, each a pure function of the byte image: Intel HEX,
// binary and the listing, and the hex digits they all write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "output/ByteImage.h"
#include "pass1/Pass1.h"

// value as exactly digits upper-case hexadecimal digits (the low ones).
void AppendHexDigits(std::string& text, unsigned value, int digits);
// A 16-bit value as "0800H", the form of addresses in messages and listings.
std::string FormatHexWord(unsigned value);

// Intel HEX: data records of at most 16 bytes, a new one where the addresses
// jump, ascending; then the end record, with the start address when given.
std::string FormatIntelHex(const ByteImage& image, bool hasStartAddress, std::uint16_t startAddress, bool crLf);

// The bytes from the lowest to the highest address written, gaps filled.
std::string FormatBinary(const ByteImage& image, std::uint8_t fill);

// The listing: every line with its address, bytes and text; the symbols by
// name; a summary.
std::string FormatListing(const std::vector<ListedLine>& lines, const std::vector<DefinedSymbol>& symbols,
    const ByteImage& image, bool hasStartAddress, std::uint16_t startAddress);
