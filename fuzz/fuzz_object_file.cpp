// Any bytes as an object file: the reader never writes outside the image,
// and whatever it accepts comes out of the three writers consistent: every
// HEX record sums to zero, the binary spans lowest to highest address.
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "output/ByteImage.h"
#include "output/Formats.h"

namespace {

int HexValue(char c)
{
    return c <= '9' ? c - '0' : c - 'A' + 10;
}

void CheckRecords(const std::string& hex)
{
    std::size_t begin = 0;
    while (begin < hex.size()) {
        std::size_t end = hex.find('\n', begin);
        FUZZ_CHECK(end != std::string::npos && hex[begin] == ':' && (end - begin) % 2 == 1, "a malformed record");
        unsigned sum = 0;
        for (std::size_t i = begin + 1; i < end; i += 2)
            sum += static_cast<unsigned>(HexValue(hex[i]) * 16 + HexValue(hex[i + 1]));
        FUZZ_CHECK((sum & 0xFFu) == 0, "a record whose checksum is wrong");
        begin = end + 1;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    ByteImage image;
    std::vector<ObjectFault> faults;
    bool clean = ReadObjectText(text, image, faults);
    FUZZ_CHECK(clean == faults.empty(), "a clean read with faults");
    for (const ObjectFault& fault : faults)
        FUZZ_CHECK(fault.LineNumber >= 1 && fault.OtherLine < fault.LineNumber, "a fault on no line");
    bool start = size > 0 && (data[0] & 1u) != 0;
    std::ostringstream hex, binary, listing;
    WriteIntelHex(hex, image, start, 0x1234, false);
    CheckRecords(hex.str());
    WriteBinary(binary, image, 0xFF);
    FUZZ_CHECK(image.ByteCount == 0 ? binary.str().empty() : binary.str().size() == image.Highest - image.Lowest + 1u,
        "the binary does not span the image");
    std::vector<ListedLine> lines;
    for (const ObjectRecord& record : image.Records)
        lines.push_back(ListedLine{record.LineNumber, "", true, record.Address, record.ByteCount, false, 0});
    WriteListing(listing, lines, {{"NAME", 1, 1}}, image, start, 0x1234);
    return 0;
}
