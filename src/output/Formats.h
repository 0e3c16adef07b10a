// The output formats, each a pure function of the byte image written to a
// stream: Intel HEX, binary and the listing, and the hex digits they all write.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "output/ByteImage.h"
#include "pass1/Pass1.h"

// value as exactly digits upper-case hexadecimal digits (the low ones),
// written at at, or appended to text.
void PutHexDigits(char* at, unsigned value, int digits);
void AppendHexDigits(std::string& text, unsigned value, int digits);
// A 16-bit value as "0800H", the form of addresses in messages and listings.
std::string FormatHexWord(unsigned value);
// Passes text on to out once it holds a block (all of it when final), so a
// large output is never held whole: a writer builds its lines in text.
void FlushBlock(std::ostream& out, std::string& text, bool final);

// Intel HEX: data records of at most 16 bytes, a new one where the addresses
// jump, ascending; then the end record, with the start address when given.
void WriteIntelHex(
    std::ostream& out, const ByteImage& image, bool hasStartAddress, std::uint16_t startAddress, bool crLf);

// The bytes from the lowest to the highest address written, gaps filled.
void WriteBinary(std::ostream& out, const ByteImage& image, std::uint8_t fill);

// What the listing shows besides the lines: the names of the files they come
// from (a row names the file wherever it changes), and the skipped lines.
struct ListingOptions {
    std::vector<std::string> Files;
    bool ShowSkipped = true;
};

// The listing: every line with its address, bytes and text (a line made by an
// expansion marked "+", a skipped one "-"), and under it its errors and
// warnings (messages in line order: a message's LineNumber counts the listed
// lines from 1); the symbols by name; a summary.
void WriteListing(std::ostream& out, const std::vector<ListedLine>& lines, const std::vector<DefinedSymbol>& symbols,
    const ByteImage& image, bool hasStartAddress, std::uint16_t startAddress,
    const std::vector<ListedMessage>& messages = {}, const ListingOptions& options = ListingOptions());
