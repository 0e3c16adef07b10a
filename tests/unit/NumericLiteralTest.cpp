// Literal conversion: the value, its size class by the way it is written, and
// the results line; the two scanners underneath.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "symbols/NumericLiteral.h"

namespace {

typedef std::vector<std::string> Lines;

const char OversizeLine[] = "Str2SymbolData Error: Cannot convert symbol greater than word size";

struct LiteralCase {
    const char* Token;
    int Size;
    int Word;
    int Byte;
    bool Oversize; // the error line stands before the results line
};

std::string ResultsLine(int size, int word)
{
    return "str2symboldata Results: size = " + std::to_string(size) + " data = " + std::to_string(word);
}

class Literals : public ::testing::TestWithParam<LiteralCase> { };

TEST_P(Literals, ConvertWithSizeClassAndResultsLine)
{
    const LiteralCase& c = GetParam();
    LogCapture log;
    int size = 99;
    SymbolData data = Str2SymbolData(c.Token, size);
    EXPECT_EQ(size, c.Size);
    EXPECT_EQ(data.Word, c.Word);
    EXPECT_EQ(data.Byte, c.Byte);
    Lines expected;
    if (c.Oversize)
        expected.push_back(OversizeLine);
    expected.push_back(ResultsLine(c.Size, c.Word));
    EXPECT_EQ(log.Lines(), expected);
}

std::string LiteralName(const ::testing::TestParamInfo<LiteralCase>& info)
{
    std::string name = "n" + std::to_string(info.index) + "_";
    for (const char* p = info.param.Token; *p != '\0'; p++)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

// The first group is the table of the literal rules, the second the corners.
INSTANTIATE_TEST_SUITE_P(Str2SymbolData, Literals,
    ::testing::Values(LiteralCase{"3AH", 1, 58, 58, false}, LiteralCase{"0FFH", 2, 255, 255, false},
        LiteralCase{"2000H", 2, 8192, 0, false}, LiteralCase{"FFFFH", 2, -1, 255, false},
        LiteralCase{"12345H", -1, 0, 0, true}, LiteralCase{"H", 1, 0, 0, false}, LiteralCase{"25", 1, 25, 25, false},
        LiteralCase{"255", 1, 255, 255, false}, LiteralCase{"256", 2, 256, 0, false},
        LiteralCase{"007", 1, 7, 7, false}, LiteralCase{"0010", 2, 10, 10, false}, LiteralCase{"-5", 1, -5, 251, false},
        LiteralCase{"70000", 2, 4464, 112, false}, LiteralCase{"ABC", 1, 0, 0, false},
        LiteralCase{"LOOP", 2, 0, 0, false}, LiteralCase{"12AB", 2, 12, 12, false}, LiteralCase{"'A", 1, 0, 0, false},
        // hexadecimal: the digit count alone decides
        LiteralCase{"0H", 1, 0, 0, false}, LiteralCase{"FFH", 1, 255, 255, false},
        LiteralCase{"00FFH", 2, 255, 255, false}, LiteralCase{"3h", 1, 3, 3, false},
        LiteralCase{"ffh", 1, 255, 255, false}, LiteralCase{"100H", 2, 256, 0, false},
        LiteralCase{"8000H", 2, -32768, 0, false}, LiteralCase{"0x1FH", 2, 31, 31, false},
        LiteralCase{"-1H", 1, -1, 255, false}, LiteralCase{"1G0H", 2, 1, 1, false}, LiteralCase{"G1H", 1, 0, 0, false},
        LiteralCase{"00000H", -1, 0, 0, true}, LiteralCase{"FFFFFFFFFH", -1, 0, 0, true},
        // decimal: the length, and for three characters the value
        LiteralCase{"+7", 1, 7, 7, false}, LiteralCase{"100", 1, 100, 100, false},
        LiteralCase{"300", 2, 300, 44, false}, LiteralCase{"999", 2, 999, 231, false},
        LiteralCase{"-99", 1, -99, 157, false}, LiteralCase{"-300", 2, -300, 212, false},
        LiteralCase{"65535", 2, -1, 255, false}, LiteralCase{"65536", 2, 0, 0, false},
        LiteralCase{"4294967296", 2, 0, 0, false}, LiteralCase{"4294967297", 2, 1, 1, false},
        LiteralCase{"99999999999999999999", 2, -1, 255, false}, LiteralCase{"12H3", 2, 12, 12, false},
        LiteralCase{"\"x y", 2, 0, 0, false}, LiteralCase{"", 1, 0, 0, false}),
    LiteralName);

TEST(LiteralScanDecimal, ReadsLikePercentD)
{
    std::uint32_t value = 0;
    EXPECT_TRUE(ScanDecimal("  42", value));
    EXPECT_EQ(value, 42u);
    EXPECT_TRUE(ScanDecimal("+17xyz", value));
    EXPECT_EQ(value, 17u);
    EXPECT_TRUE(ScanDecimal("-1", value));
    EXPECT_EQ(value, 0xFFFFFFFFu);
    EXPECT_TRUE(ScanDecimal("0800", value));
    EXPECT_EQ(value, 800u);
    EXPECT_TRUE(ScanDecimal("4294967306", value));
    EXPECT_EQ(value, 10u) << "the low 32 bits of the number as written";
}

TEST(LiteralScanDecimal, LeavesTheValueAloneWithoutADigit)
{
    for (const char* text : {"", "abc", "+", "-", " -x", "'5", "H10"}) {
        std::uint32_t value = 1234;
        EXPECT_FALSE(ScanDecimal(text, value)) << text;
        EXPECT_EQ(value, 1234u) << text;
    }
}

TEST(LiteralScanHexadecimal, ReadsLikePercentXWithinTheLength)
{
    std::uint16_t value = 0;
    EXPECT_TRUE(ScanHexadecimal("3AH", 2, value));
    EXPECT_EQ(value, 0x3A);
    EXPECT_TRUE(ScanHexadecimal("c350", 4, value));
    EXPECT_EQ(value, 0xC350);
    EXPECT_TRUE(ScanHexadecimal("0x1F", 4, value));
    EXPECT_EQ(value, 0x1F);
    EXPECT_TRUE(ScanHexadecimal("0XG", 3, value));
    EXPECT_EQ(value, 0) << "the 0 before the x is a digit of its own";
    EXPECT_TRUE(ScanHexadecimal("1234", 2, value));
    EXPECT_EQ(value, 0x12) << "nothing beyond the length is read";
    EXPECT_TRUE(ScanHexadecimal("123456", 6, value));
    EXPECT_EQ(value, 0x3456);
    EXPECT_TRUE(ScanHexadecimal("-1", 2, value));
    EXPECT_EQ(value, 0xFFFF);
    EXPECT_TRUE(ScanHexadecimal("12G4", 4, value));
    EXPECT_EQ(value, 0x12);
}

TEST(LiteralScanHexadecimal, LeavesTheValueAloneWithoutADigit)
{
    for (const char* text : {"", "G1", "-", "+G", "'A"}) {
        std::uint16_t value = 777;
        EXPECT_FALSE(ScanHexadecimal(text, std::string(text).size(), value)) << text;
        EXPECT_EQ(value, 777) << text;
    }
    std::uint16_t value = 777;
    EXPECT_FALSE(ScanHexadecimal("12", 0, value));
    EXPECT_EQ(value, 777);
}

} // namespace
