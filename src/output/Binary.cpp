// The binary image: what an EPROM programmer loads at the lowest address.
#include "output/Formats.h"

std::string FormatBinary(const ByteImage& image, std::uint8_t fill)
{
    std::string bytes;
    if (image.ByteCount == 0)
        return bytes;
    bytes.reserve(static_cast<std::size_t>(image.Highest - image.Lowest) + 1);
    for (unsigned address = image.Lowest; address <= image.Highest; ++address)
        bytes.push_back(static_cast<char>(image.Lines[address] != 0 ? image.Bytes[address] : fill));
    return bytes;
}
