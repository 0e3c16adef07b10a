// The object file reader and the three writers, on hand-made object texts
// and images.
#include <gtest/gtest.h>

#include <sstream>

#include "output/ByteImage.h"
#include "output/Formats.h"

namespace {

std::string FormatIntelHex(const ByteImage& image, bool hasStartAddress, std::uint16_t startAddress, bool crLf)
{
    std::ostringstream out;
    WriteIntelHex(out, image, hasStartAddress, startAddress, crLf);
    return out.str();
}

std::string FormatBinary(const ByteImage& image, std::uint8_t fill)
{
    std::ostringstream out;
    WriteBinary(out, image, fill);
    return out.str();
}

std::string FormatListing(const std::vector<ListedLine>& lines, const std::vector<DefinedSymbol>& symbols,
    const ByteImage& image, bool hasStartAddress, std::uint16_t startAddress)
{
    std::ostringstream out;
    WriteListing(out, lines, symbols, image, hasStartAddress, startAddress);
    return out.str();
}

const std::string Header = "#Everything is Hexadecimal\n";

ByteImage MakeImage(std::uint16_t address, const std::vector<std::uint8_t>& bytes)
{
    ByteImage image;
    ClearImage(image);
    std::vector<ObjectFault> faults;
    PlaceBytes(image, 2, address, bytes, faults);
    return image;
}

void AddBytes(ByteImage& image, std::uint16_t address, const std::vector<std::uint8_t>& bytes)
{
    std::vector<ObjectFault> faults;
    PlaceBytes(image, 9, address, bytes, faults);
}

struct ReadCase {
    const char* Name;
    std::string Lines;               // after the header
    std::uint16_t Address;           // where the bytes are expected
    std::vector<std::uint8_t> Bytes; // all bytes of the image, from Address on
    std::vector<std::string> Faults; // "LINE:OTHER:message"
};

TEST(ReadObjectText, LineShapes)
{
    const ReadCase cases[] = {
        {"instruction", "800 \t 3E  3A\t\t*\n802 \t 3A  00  21\t\t*\n", 0x800, {0x3E, 0x3A, 0x3A, 0x00, 0x21}, {}},
        {"data", "806 \t 01  02  2C  \n809 \t 34  12  \n", 0x806, {0x01, 0x02, 0x2C, 0x34, 0x12}, {}},
        {"one-byte forms", "0A \t 78\t\t*\n0B \t ff  \n", 0x0A, {0x78, 0xFF}, {}},
        {"CR LF and blank lines", "10 \t 76\t\t*\r\n\n11 \t 00\t\t*", 0x10, {0x76, 0x00}, {}},
        {"rejected instruction", "80E \t 3E\n", 0, {}, {"2:0:the second pass rejected this statement"}},
        {"rejected before any field", "800 \t \n", 0, {}, {"2:0:the second pass rejected this statement"}},
        {"unidentified mnemonic", "80D \t \t\t*\n", 0, {}, {"2:0:the second pass did not identify this statement"}},
        {"address past FFFFH", "10000 \t 00\t\t*\n", 0, {}, {"2:0:address is past FFFFH"}},
        {"negative address", "FFFFFFFF \t 00\t\t*\n", 0, {}, {"2:0:address is past FFFFH"}},
        {"bytes past FFFFH", "FFFF \t 01  02  \n", 0xFFFF, {0x01}, {"2:0:bytes run past FFFFH"}},
        {"one blank between fields", "800 \t 3E 3A\t\t*\n", 0, {}, {"2:0:malformed object line"}},
        {"four instruction bytes", "800 \t 01  02  03  04\t\t*\n", 0, {}, {"2:0:malformed object line"}},
        {"no separator", "800 3E\t\t*\n", 0, {}, {"2:0:malformed object line"}},
        {"overlap names both lines", "800 \t 00  \n800 \t 11  22  33  \n7FF \t 44  55  66  \n", 0x7FF,
            {0x44, 0x00, 0x22, 0x33},
            {"3:2:writes over address 0800H", "4:2:writes over address 0800H", "4:3:writes over address 0801H"}},
    };
    for (const ReadCase& test : cases) {
        SCOPED_TRACE(test.Name);
        ByteImage image;
        std::vector<ObjectFault> faults;
        bool clean = ReadObjectText(Header + test.Lines, image, faults);
        std::vector<std::string> got;
        for (const ObjectFault& fault : faults)
            got.push_back(
                std::to_string(fault.LineNumber) + ":" + std::to_string(fault.OtherLine) + ":" + fault.Message);
        EXPECT_EQ(got, test.Faults);
        EXPECT_EQ(clean, test.Faults.empty());
        ASSERT_EQ(image.ByteCount, static_cast<int>(test.Bytes.size()));
        for (std::size_t i = 0; i < test.Bytes.size(); ++i)
            EXPECT_EQ(image.Bytes[test.Address + i], test.Bytes[i]) << i;
        if (!test.Bytes.empty()) {
            EXPECT_EQ(image.Lowest, test.Address);
            EXPECT_EQ(image.Highest, test.Address + test.Bytes.size() - 1);
        }
    }
}

TEST(ReadObjectText, RecordsFollowTheObjectLines)
{
    // One record per statement line, a faulty one too, so that the records
    // pair with the source statements in order.
    ByteImage image;
    std::vector<ObjectFault> faults;
    EXPECT_FALSE(
        ReadObjectText(Header + "800 \t 3E  3A\t\t*\n10000 \t 00\t\t*\n\n802 \t 01  02  03  \n", image, faults));
    ASSERT_EQ(image.Records.size(), 3u);
    EXPECT_EQ(image.Records[1].LineNumber, 3);
    EXPECT_EQ(image.Records[1].ByteCount, 0);
    EXPECT_EQ(image.Records[2].LineNumber, 5);
    EXPECT_EQ(image.Records[2].Address, 0x802);
    EXPECT_EQ(image.Records[2].ByteCount, 3);
    EXPECT_EQ(image.Lines[0x804], 5);
}

TEST(ReadObjectText, NotAnObjectFile)
{
    for (const std::string& text : {std::string(), std::string("800 \t 00\t\t*\n"), std::string("#Everything\n")}) {
        ByteImage image;
        std::vector<ObjectFault> faults;
        EXPECT_FALSE(ReadObjectText(text, image, faults));
        ASSERT_EQ(faults.size(), 1u);
        EXPECT_EQ(faults[0].LineNumber, 1);
    }
}

TEST(FormatIntelHex, RecordsAndChecksums)
{
    // Sixteen bytes fill one record, the seventeenth starts the next.
    std::vector<std::uint8_t> run;
    for (int i = 0; i <= 16; ++i)
        run.push_back(static_cast<std::uint8_t>(i));
    EXPECT_EQ(FormatIntelHex(MakeImage(0, run), false, 0, false),
        ":10000000000102030405060708090A0B0C0D0E0F78\n"
        ":0100100010DF\n"
        ":00000001FF\n");

    // A jump in the addresses starts a new record; the start address goes
    // in the end record.
    ByteImage gap = MakeImage(0x800, {0x3E, 0x3A});
    AddBytes(gap, 0x900, {0xAA});
    EXPECT_EQ(FormatIntelHex(gap, true, 0x800, false), ":020800003E3A7E\n:01090000AA4C\n:00080001F7\n");
    EXPECT_EQ(FormatIntelHex(gap, false, 0, true), ":020800003E3A7E\r\n:01090000AA4C\r\n:00000001FF\r\n");

    EXPECT_EQ(FormatIntelHex(MakeImage(0xFFFF, {0x01}), true, 0xFFFF, false), ":01FFFF000100\n:00FFFF0101\n");
    ByteImage empty;
    ClearImage(empty);
    EXPECT_EQ(FormatIntelHex(empty, false, 0, false), ":00000001FF\n");
}

TEST(FormatIntelHex, WholeAddressSpace)
{
    // Larger than the block the writers pass on at a time: nothing lost or
    // doubled at the block edges.
    std::vector<std::uint8_t> all;
    for (unsigned address = 0; address <= 0xFFFF; ++address)
        all.push_back(static_cast<std::uint8_t>(address));
    ByteImage image = MakeImage(0, all);
    std::string hex = FormatIntelHex(image, false, 0, false);
    EXPECT_EQ(hex.size(), 4096u * 44 + 12);
    EXPECT_EQ(hex.substr(0, 44), ":10000000000102030405060708090A0B0C0D0E0F78\n");
    EXPECT_EQ(hex.substr(hex.size() - 56), ":10FFF000F0F1F2F3F4F5F6F7F8F9FAFBFCFDFEFF89\n:00000001FF\n");
    std::string binary = FormatBinary(image, 0xFF);
    ASSERT_EQ(binary.size(), 0x10000u);
    EXPECT_EQ(binary.substr(0x7FFE, 4), std::string("\xFE\xFF\x00\x01", 4));
}

TEST(FormatBinary, GapsAreFilled)
{
    ByteImage image = MakeImage(0x10, {0xAA});
    AddBytes(image, 0x13, {0xBB});
    EXPECT_EQ(FormatBinary(image, 0xFF), std::string("\xAA\xFF\xFF\xBB", 4));
    EXPECT_EQ(FormatBinary(image, 0x00), std::string("\xAA\x00\x00\xBB", 4));
    ByteImage empty;
    ClearImage(empty);
    EXPECT_EQ(FormatBinary(empty, 0xFF), "");
}

TEST(FormatListing, LinesSymbolsSummary)
{
    std::vector<ListedLine> lines = {
        {1, "; demo", false, 0, 0, false, 0},
        {2, "COUNT EQU 3", false, 0, 0, true, 3},
        {3, "        ORG 0800H", true, 0x800, 0, true, 0x800},
        {4, "START:  MVI A,3AH", true, 0x800, 2, false, 0},
        {5, "        DB 1,2,3,4,5,6", true, 0x802, 6, false, 0},
        {6, "        END START", false, 0, 0, true, 0x800},
    };
    std::vector<DefinedSymbol> symbols = {{"START", 0x800, 4}, {"COUNT", 3, 2}};
    ByteImage image = MakeImage(0x800, {0x3E, 0x3A, 1, 2, 3, 4, 5, 6});
    EXPECT_EQ(FormatListing(lines, symbols, image, true, 0x800),
        " Line Addr  Object      Source\n"
        "    1                   ; demo\n"
        "    2       =0003       COUNT EQU 3\n"
        "    3 0800  =0800               ORG 0800H\n"
        "    4 0800  3E 3A       START:  MVI A,3AH\n"
        "    5 0802  01 02 03 04         DB 1,2,3,4,5,6\n"
        "      0806  05 06\n"
        "    6       =0800               END START\n"
        "\n"
        "Symbols\n"
        "Name   Value   Line\n"
        "COUNT  0003H      2\n"
        "START  0800H      4\n"
        "\n"
        "Summary\n"
        "Bytes            8\n"
        "Lowest address   0800H\n"
        "Highest address  0807H\n"
        "Start address    0800H\n");
}

TEST(FormatListing, NothingAssembled)
{
    ByteImage empty;
    ClearImage(empty);
    EXPECT_EQ(FormatListing({}, {}, empty, false, 0),
        " Line Addr  Object      Source\n"
        "\n"
        "Symbols\n"
        "(none)\n"
        "\n"
        "Summary\n"
        "Bytes            0\n"
        "Lowest address   none\n"
        "Highest address  none\n"
        "Start address    none\n");
}

TEST(FormatListing, SixDigitLineNumbersPushTheirRow)
{
    ByteImage empty;
    ClearImage(empty);
    std::string listing = FormatListing({{123456, "X EQU 1", false, 0, 0, true, 1}}, {}, empty, false, 0);
    EXPECT_EQ(listing.substr(0, listing.find("\n\n")),
        " Line Addr  Object      Source\n"
        "123456       =0001       X EQU 1");
}

} // namespace
