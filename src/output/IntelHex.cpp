// Intel HEX records of the byte image, and the hex digits every format uses.
#include "output/Formats.h"

namespace {

const int MaxRecordBytes = 16;

// One record: length, address, type, data, then the checksum that brings
// the sum of all its bytes to zero.
void AppendRecord(
    std::string& text, std::uint16_t address, int type, const ByteImage& image, int count, const char* lineEnd)
{
    unsigned sum = static_cast<unsigned>(count) + (address >> 8) + (address & 0xFFu) + static_cast<unsigned>(type);
    text += ':';
    AppendHexDigits(text, static_cast<unsigned>(count), 2);
    AppendHexDigits(text, address, 4);
    AppendHexDigits(text, static_cast<unsigned>(type), 2);
    for (int i = 0; i < count; ++i) {
        unsigned byte = image.Bytes[address + static_cast<unsigned>(i)];
        sum += byte;
        AppendHexDigits(text, byte, 2);
    }
    AppendHexDigits(text, (0x100u - (sum & 0xFFu)) & 0xFFu, 2);
    text += lineEnd;
}

} // namespace

void PutHexDigits(char* at, unsigned value, int digits)
{
    static const char Digits[] = "0123456789ABCDEF";
    for (int i = digits - 1; i >= 0; --i, value >>= 4)
        at[i] = Digits[value & 0xFu];
}

void AppendHexDigits(std::string& text, unsigned value, int digits)
{
    char hex[8]; // an unsigned has no more digits
    int count = digits < 0 ? 0 : digits > 8 ? 8 : digits;
    PutHexDigits(hex, value, count);
    text.append(hex, static_cast<std::size_t>(count));
}

std::string FormatHexWord(unsigned value)
{
    std::string text;
    AppendHexDigits(text, value, 4);
    return text + 'H';
}

void FlushBlock(std::ostream& out, std::string& text, bool final)
{
    if (final || text.size() >= 0x8000) {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        text.clear();
    }
}

void WriteIntelHex(
    std::ostream& out, const ByteImage& image, bool hasStartAddress, std::uint16_t startAddress, bool crLf)
{
    const char* lineEnd = crLf ? "\r\n" : "\n";
    std::string text;
    if (image.ByteCount > 0) {
        unsigned address = image.Lowest;
        while (address <= image.Highest) {
            if (image.Lines[address] == 0) {
                ++address;
                continue;
            }
            int count = 1;
            while (count < MaxRecordBytes && address + static_cast<unsigned>(count) <= image.Highest
                && image.Lines[address + static_cast<unsigned>(count)] != 0)
                ++count;
            AppendRecord(text, static_cast<std::uint16_t>(address), 0, image, count, lineEnd);
            FlushBlock(out, text, false);
            address += static_cast<unsigned>(count);
        }
    }
    // The end record carries the start address where the source gives one,
    // as Intel's 8-bit tools write it.
    AppendRecord(text, hasStartAddress ? startAddress : 0, 1, image, 0, lineEnd);
    FlushBlock(out, text, true);
}
