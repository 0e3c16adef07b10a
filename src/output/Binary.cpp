// The binary image: what an EPROM programmer loads at the lowest address.
#include "output/Formats.h"

void WriteBinary(std::ostream& out, const ByteImage& image, std::uint8_t fill)
{
    if (image.ByteCount == 0)
        return;
    std::string bytes;
    for (unsigned address = image.Lowest; address <= image.Highest; ++address) {
        bytes.push_back(static_cast<char>(image.Lines[address] != 0 ? image.Bytes[address] : fill));
        FlushBlock(out, bytes, false);
    }
    FlushBlock(out, bytes, true);
}
