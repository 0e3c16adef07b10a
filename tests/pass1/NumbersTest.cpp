// Number literals of the source: every base, every way a number goes wrong.
#include <gtest/gtest.h>

#include "pass1/Numbers.h"
#include "pass1/Pass1.h"

namespace {

struct NumberCase {
    const char* Text;
    NumberStatus Status;
    unsigned Value;
};

const NumberCase NumberCases[] = {
    {"0", NumberStatus::Valid, 0},
    {"65535", NumberStatus::Valid, 65535},
    {"65536", NumberStatus::TooLarge, 0},
    {"99999999999", NumberStatus::TooLarge, 0},
    {"12d", NumberStatus::Valid, 12},
    {"0FFH", NumberStatus::Valid, 255},
    {"0ffffh", NumberStatus::Valid, 65535},
    {"10000H", NumberStatus::TooLarge, 0},
    {"0BH", NumberStatus::Valid, 11}, // B before the H is a digit
    {"0DH", NumberStatus::Valid, 13}, // D before the H is a digit
    {"101B", NumberStatus::Valid, 5},
    {"102B", NumberStatus::BadDigit, 0},
    {"17O", NumberStatus::Valid, 15},
    {"777q", NumberStatus::Valid, 511},
    {"8Q", NumberStatus::BadDigit, 0},
    {"12G", NumberStatus::BadDigit, 0},
    {"1AD", NumberStatus::BadDigit, 0}, // hex digits need the H
    // the prefixes of the cross assemblers; a base letter at the end is read first
    {"$1F", NumberStatus::Valid, 31},
    {"$ffff", NumberStatus::Valid, 65535},
    {"$10000", NumberStatus::TooLarge, 0},
    {"$", NumberStatus::BadDigit, 0},
    {"$1G", NumberStatus::BadDigit, 0},
    {"0x1F", NumberStatus::Valid, 31},
    {"0X00ff", NumberStatus::Valid, 255},
    {"0x10000", NumberStatus::TooLarge, 0},
    {"0x", NumberStatus::BadDigit, 0},
    {"0x1FH", NumberStatus::BadDigit, 0},
    {"%1010", NumberStatus::Valid, 10},
    {"%102", NumberStatus::BadDigit, 0},
    {"%", NumberStatus::BadDigit, 0},
    {"0b1010", NumberStatus::Valid, 10},
    {"0b12", NumberStatus::BadDigit, 0},
    {"0B1H", NumberStatus::Valid, 0xB1},
    {"0b", NumberStatus::Valid, 0}, // 0 in binary, the suffix form
    {"FFH", NumberStatus::NotANumber, 0},
    {"H", NumberStatus::NotANumber, 0},
    {"", NumberStatus::NotANumber, 0},
};

TEST(Numbers, ReadSourceNumberCases)
{
    for (const NumberCase& c : NumberCases) {
        std::uint16_t value = 7;
        EXPECT_EQ(ReadSourceNumber(c.Text, value), c.Status) << c.Text;
        if (c.Status == NumberStatus::Valid) {
            EXPECT_EQ(value, c.Value) << c.Text;
        }
        std::uint16_t literal = 7;
        EXPECT_EQ(ParseNumberLiteral(c.Text, literal), c.Status == NumberStatus::Valid) << c.Text;
        EXPECT_EQ(literal, c.Status == NumberStatus::Valid ? c.Value : 7u) << c.Text;
    }
}

} // namespace
