// Register and register-pair names, and the operand value rule with its exact
// size test (symbol first, literal second).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "pass2/Operands.h"
#include "symbols/SymbolTable.h"

namespace {

typedef std::vector<std::string> Lines;

struct NameCase {
    const char* Token;
    int Code;
    const char* Identified;
};

class OperandRegisters : public ::testing::TestWithParam<NameCase> { };
class OperandRegisterPairs : public ::testing::TestWithParam<NameCase> { };

TEST_P(OperandRegisters, DecodeToTheirCode)
{
    const NameCase& c = GetParam();
    LogCapture log;
    EXPECT_EQ(IdentifyREG(c.Token), c.Code);
    EXPECT_EQ(log.Lines(), (Lines{std::string("IdentifyREG: Identifying ") + c.Token + "...", c.Identified}));
}

INSTANTIATE_TEST_SUITE_P(IdentifyREG, OperandRegisters,
    ::testing::Values(NameCase{"A", 7, "Register A identified"}, NameCase{"B", 0, "Register B identified"},
        NameCase{"C", 1, "Register C identified"}, NameCase{"D", 2, "Register D identified"},
        NameCase{"E", 3, "Register E identified"}, NameCase{"H", 4, "Register H identified"},
        NameCase{"L", 5, "Register L identified"}, NameCase{"M", 6, "Register M identified"}));

TEST_P(OperandRegisterPairs, DecodeToTheirCode)
{
    const NameCase& c = GetParam();
    LogCapture log;
    EXPECT_EQ(IdentifyREGP(c.Token), c.Code);
    EXPECT_EQ(log.Lines(), (Lines{std::string("IdentifyREGP: Identifying ") + c.Token + "...", c.Identified}));
}

INSTANTIATE_TEST_SUITE_P(IdentifyREGP, OperandRegisterPairs,
    ::testing::Values(NameCase{"B", 0, "Register Pair B identified"}, NameCase{"D", 1, "Register Pair D identified"},
        NameCase{"H", 2, "Register Pair H identified"}, NameCase{"PSW", 3, "Register Pair PSW identified"},
        NameCase{"SP", 3, "Register SP identified"}));

TEST(OperandIdentifyREG, OtherNamesMissWithTheIdentifyingLineAlone)
{
    for (const char* token : {"AB", "BC", "HL", "", "'A", "\"B", "a", "m", "A ", "SP", "PSW", "0"}) {
        LogCapture log;
        EXPECT_EQ(IdentifyREG(token), -1) << token;
        EXPECT_EQ(log.Lines(), Lines{std::string("IdentifyREG: Identifying ") + token + "..."}) << token;
    }
}

TEST(OperandIdentifyREGP, OtherNamesMissWithTheIdentifyingLineAlone)
{
    for (const char* token : {"A", "C", "E", "L", "M", "HL", "BC", "DE", "", "'B", "psw", "sp", "PS", "SPX"}) {
        LogCapture log;
        EXPECT_EQ(IdentifyREGP(token), -1) << token;
        EXPECT_EQ(log.Lines(), Lines{std::string("IdentifyREGP: Identifying ") + token + "..."}) << token;
    }
}

// One operand token, the size class the rule needs, and what the rule makes of it.
struct ValueCase {
    const char* Token;
    int Required;
    bool Accepted;
    const char* Fields; // what the line gains
    Lines Log;
};

class ValueOperands : public ::testing::TestWithParam<ValueCase> {
protected:
    static void SetUpTestSuite()
    {
        ResetSymbols();
        LogCapture quiet;
        Append("SMALL", 1, MakeSymbolData(0x20));
        Append("WIDE", 2, MakeSymbolData(5));
        Append("TARGET", 2, MakeSymbolData(0xC350));
        Append("10H", 2, MakeSymbolData(0x1234));
        Append("ZERO", 0, MakeSymbolData(7));
    }
    static void TearDownTestSuite() { ResetSymbols(); }
};

TEST_P(ValueOperands, NeedExactlyTheRequiredSizeClass)
{
    const ValueCase& c = GetParam();
    LogCapture log;
    std::string line = "3E";
    EXPECT_EQ(ResolveValueOperand(c.Token, c.Required, line), c.Accepted);
    EXPECT_EQ(line, std::string("3E") + c.Fields);
    EXPECT_EQ(log.Lines(), c.Log);
}

std::string Results(int size, int word)
{
    return "str2symboldata Results: size = " + std::to_string(size) + " data = " + std::to_string(word);
}

INSTANTIATE_TEST_SUITE_P(ResolveValueOperand, ValueOperands,
    ::testing::Values(
        // literals where a word is needed
        ValueCase{"0010H", 2, true, "  10  00", {Results(2, 16)}},
        ValueCase{"10H", 1, false, "", {}}, // the symbol 10H, a word, comes first
        ValueCase{"8000H", 2, true, "  00  80", {Results(2, -32768)}},
        ValueCase{"FFFFH", 2, true, "  FF  FF", {Results(2, -1)}}, ValueCase{"100", 2, false, "", {Results(1, 100)}},
        ValueCase{"0100", 2, true, "  64  00", {Results(2, 100)}},
        ValueCase{"12345H", 2, false, "",
            {"Str2SymbolData Error: Cannot convert symbol greater than word size", Results(-1, 0)}},
        ValueCase{"START", 2, true, "  00  00", {Results(2, 0)}}, ValueCase{"JP", 2, false, "", {Results(1, 0)}},
        // literals where a byte is needed
        ValueCase{"FFH", 1, true, "  FF", {Results(1, 255)}}, ValueCase{"0FFH", 1, false, "", {Results(2, 255)}},
        ValueCase{"255", 1, true, "  FF", {Results(1, 255)}}, ValueCase{"256", 1, false, "", {Results(2, 256)}},
        ValueCase{"-1", 1, true, "  FF", {Results(1, -1)}}, ValueCase{"'A", 1, true, "  00", {Results(1, 0)}},
        // symbols: their own size class, never the literal's, and no log line
        ValueCase{"10H", 2, true, "  34  12", {}}, ValueCase{"SMALL", 1, true, "  20", {}},
        ValueCase{"SMALL", 2, false, "", {}}, ValueCase{"WIDE", 1, false, "", {}},
        ValueCase{"WIDE", 2, true, "  05  00", {}}, ValueCase{"TARGET", 2, true, "  50  C3", {}},
        ValueCase{"ZERO", 1, false, "", {}}, ValueCase{"ZERO", 2, false, "", {}},
        ValueCase{"small", 2, true, "  00  00", {Results(2, 0)}} /* not SMALL: a word by its length */));

} // namespace
