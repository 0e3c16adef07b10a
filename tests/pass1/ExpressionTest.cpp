// The expression evaluator: Intel precedence, 16-bit arithmetic, and every
// way an expression fails or waits for a later symbol.
#include <gtest/gtest.h>

#include "pass1/Expression.h"

namespace {

struct ExpressionCase {
    const char* Text;
    ValueStatus Status;
    unsigned Value;     // for Known
    const char* Detail; // the name for Unknown, the message for Failed
};

const ExpressionCase ExpressionCases[] = {
    // precedence: unary and HIGH/LOW, then * / MOD SHL SHR, then + -, then relations, NOT, AND, OR XOR
    {"2+3*4", ValueStatus::Known, 14, ""},
    {"(2+3)*4", ValueStatus::Known, 20, ""},
    {"10-2-3", ValueStatus::Known, 5, ""},
    {"100/7 MOD 4", ValueStatus::Known, 2, ""},
    {"1 SHL 4 + 1", ValueStatus::Known, 17, ""},
    {"NOT 0 AND 0FH", ValueStatus::Known, 0x0F, ""},
    {"NOT 1+1", ValueStatus::Known, 0xFFFD, ""},
    {"1 OR 2 AND 0", ValueStatus::Known, 1, ""},
    {"6 XOR 3 OR 8", ValueStatus::Known, 13, ""},
    {"HIGH 1234H+1", ValueStatus::Known, 0x13, ""},
    {"LOW(1234H+0FFH)", ValueStatus::Known, 0x33, ""},
    {"high wide", ValueStatus::Known, 0x12, ""},
    {"-1", ValueStatus::Known, 0xFFFF, ""},
    {"- -2 * +3", ValueStatus::Known, 6, ""},
    {"2*-3", ValueStatus::Known, 0xFFFA, ""},
    // 16 bits: overflow wraps, division is unsigned, long shifts clear
    {"0FFFFH+2", ValueStatus::Known, 1, ""},
    {"1000H*100H", ValueStatus::Known, 0, ""},
    {"-6/2", ValueStatus::Known, 0x7FFD, ""},
    {"1 SHL 16", ValueStatus::Known, 0, ""},
    {"8000H SHR 15", ValueStatus::Known, 1, ""},
    // $, character constants, symbols
    {"$", ValueStatus::Known, 0x0800, ""},
    {"$+3-LABEL", ValueStatus::Known, 3, ""},
    {"'A'", ValueStatus::Known, 0x41, ""},
    {"\"AB\"", ValueStatus::Known, 0x4142, ""},
    {"''''", ValueStatus::Known, 0x27, ""},
    {"'a' - 'A'", ValueStatus::Known, 0x20, ""},
    {"later+1", ValueStatus::Unknown, 0, "LATER"},
    {"PENDING*2", ValueStatus::Unknown, 0, "PENDING"},
    {"1/LATER", ValueStatus::Unknown, 0, "LATER"}, // no division by zero before the value is known
    // numbers with a prefix; $ alone is still the address, % between values the remainder
    {"$1F+1", ValueStatus::Known, 32, ""},
    {"$+$10", ValueStatus::Known, 0x0810, ""},
    {"0x10+0b11", ValueStatus::Known, 19, ""},
    {"%101 % 3", ValueStatus::Known, 2, ""},
    {"(%11)", ValueStatus::Known, 3, ""},
    // C's operators on the levels of their Intel counterparts; ~ binds like unary minus
    {"0x10 | 1", ValueStatus::Known, 17, ""},
    {"6 & 3", ValueStatus::Known, 2, ""},
    {"6 ^ 3", ValueStatus::Known, 5, ""},
    {"1 | 2 & 0", ValueStatus::Known, 1, ""},
    {"~0", ValueStatus::Known, 0xFFFF, ""},
    {"~1+1", ValueStatus::Known, 0xFFFF, ""},
    {"LOW(~$1234)", ValueStatus::Known, 0xCB, ""},
    {"1 << 4 + 1", ValueStatus::Known, 17, ""},
    {"80H >> 3", ValueStatus::Known, 16, ""},
    // relations: unsigned, true is 0FFFFH, below + - and above NOT
    {"5 EQ 5", ValueStatus::Known, 0xFFFF, ""},
    {"5 = 5", ValueStatus::Known, 0xFFFF, ""},
    {"5 == 4", ValueStatus::Known, 0, ""},
    {"5 NE 4", ValueStatus::Known, 0xFFFF, ""},
    {"5 != 5", ValueStatus::Known, 0, ""},
    {"5 <> 4", ValueStatus::Known, 0xFFFF, ""},
    {"1 LT 2", ValueStatus::Known, 0xFFFF, ""},
    {"2 < 1", ValueStatus::Known, 0, ""},
    {"-1 GT 1", ValueStatus::Known, 0xFFFF, ""},
    {"2 > 2", ValueStatus::Known, 0, ""},
    {"2 le 2", ValueStatus::Known, 0xFFFF, ""},
    {"3 <= 2", ValueStatus::Known, 0, ""},
    {"3 >= 3", ValueStatus::Known, 0xFFFF, ""},
    {"3 GE 4", ValueStatus::Known, 0, ""},
    {"1+1 EQ 2", ValueStatus::Known, 0xFFFF, ""},
    {"NOT 1 EQ 1", ValueStatus::Known, 0, ""},
    {"1 EQ 1 AND 2 EQ 3", ValueStatus::Known, 0, ""},
    {"3 = 3 = 0FFFFH", ValueStatus::Known, 0xFFFF, ""},
    {"'A' < 'B'", ValueStatus::Known, 0xFFFF, ""},
    // failures
    {"1/0", ValueStatus::Failed, 0, "division by zero"},
    {"5 MOD (3-3)", ValueStatus::Failed, 0, "division by zero"},
    {"12G", ValueStatus::Failed, 0, "malformed number 12G"},
    {"102B", ValueStatus::Failed, 0, "malformed number 102B"},
    {"70000", ValueStatus::Failed, 0, "number 70000 does not fit in 16 bits (largest 65535, 0FFFFH)"},
    {"'ABC'", ValueStatus::Failed, 0, "a character constant in an expression holds one or two characters"},
    {"''", ValueStatus::Failed, 0, "a character constant in an expression holds one or two characters"},
    {"'AB", ValueStatus::Failed, 0, "unterminated string"},
    {"", ValueStatus::Failed, 0, "syntax error in expression: a value is missing before the end of the expression"},
    {"1+", ValueStatus::Failed, 0, "syntax error in expression: a value is missing before the end of the expression"},
    {"(1+2", ValueStatus::Failed, 0, "syntax error in expression: ')' expected, found the end of the expression"},
    {"1+2)", ValueStatus::Failed, 0, "syntax error in expression: unexpected ')'"},
    {"1 2", ValueStatus::Failed, 0, "syntax error in expression: unexpected '2'"},
    {"AND 1", ValueStatus::Failed, 0, "syntax error in expression: a value is missing before 'AND'"},
    {"1 # 2", ValueStatus::Failed, 0, "syntax error in expression: unexpected '#'"},
    {"1 ! 2", ValueStatus::Failed, 0, "syntax error in expression: unexpected '!'"},
    {"%", ValueStatus::Failed, 0, "syntax error in expression: a value is missing before '%'"},
    {"1 << ", ValueStatus::Failed, 0, "syntax error in expression: a value is missing before the end of the expression"},
    {"EQ 1", ValueStatus::Failed, 0, "syntax error in expression: a value is missing before 'EQ'"},
    {"%12", ValueStatus::Failed, 0, "malformed number %12"},
    {"$1G", ValueStatus::Failed, 0, "malformed number $1G"},
    {"5 % 0", ValueStatus::Failed, 0, "division by zero"},
    {"UNDEFINED+(", ValueStatus::Failed, 0,
        "syntax error in expression: a value is missing before the end of the expression"},
};

SourceSymbols TestSymbols()
{
    SourceSymbols symbols;
    AddSourceSymbol(symbols, SourceSymbol{"LABEL", SymbolKind::Label, 0x0800, true, 1});
    AddSourceSymbol(symbols, SourceSymbol{"WIDE", SymbolKind::Constant, 0x1234, true, 2});
    AddSourceSymbol(symbols, SourceSymbol{"PENDING", SymbolKind::Constant, 0, false, 3});
    return symbols;
}

TEST(Expression, Cases)
{
    SourceSymbols symbols = TestSymbols();
    for (const ExpressionCase& c : ExpressionCases) {
        ExpressionValue result = EvaluateExpression(c.Text, symbols, 0x0800);
        EXPECT_EQ(result.Status, c.Status) << c.Text;
        if (c.Status == ValueStatus::Known) {
            EXPECT_EQ(result.Value, c.Value) << c.Text;
        } else if (c.Status == ValueStatus::Unknown) {
            EXPECT_EQ(result.Name, c.Detail) << c.Text;
        } else {
            EXPECT_EQ(result.Message, c.Detail) << c.Text;
        }
    }
}

// Deep nesting is refused with a message, never by running out of stack.
TEST(Expression, DeepNestingFailsCleanly)
{
    SourceSymbols symbols;
    std::string deep(100000, '(');
    deep += "1";
    ExpressionValue result = EvaluateExpression(deep, symbols, 0);
    EXPECT_EQ(result.Status, ValueStatus::Failed);
    EXPECT_EQ(result.Message, "syntax error in expression: nested too deeply");
    std::string negations(100000, '-');
    EXPECT_EQ(EvaluateExpression(negations + "1", symbols, 0).Status, ValueStatus::Failed);
}

// The operand tests of the statement writer: one name, or one string, with
// blanks around it and nothing else.
struct SingleCase {
    const char* Text;
    const char* Name;   // IsSingleName's name, or null when it is none
    const char* String; // IsSingleString's characters, or null when it is none
};

const SingleCase SingleCases[] = {
    {"loop", "LOOP", nullptr},
    {" \tok$msg \r", "OKMSG", nullptr},
    {"a b", nullptr, nullptr},
    {"a+1", nullptr, nullptr},
    {"1ah", nullptr, nullptr},
    {"  ", nullptr, nullptr},
    {"", nullptr, nullptr},
    {" 'it''s' ", nullptr, "it's"},
    {"\"a'b\"", nullptr, "a'b"},
    {"''", nullptr, ""},
    {"'ab", nullptr, nullptr},
    {"'a''", nullptr, nullptr},
    {"'a' 'b'", nullptr, nullptr},
    {"'a'+1", nullptr, nullptr},
    {"'a ' ", nullptr, "a "},
};

TEST(Expression, SingleNameAndStringCases)
{
    for (const SingleCase& c : SingleCases) {
        std::string name = "unset";
        std::string characters = "unset";
        EXPECT_EQ(IsSingleName(c.Text, name), c.Name != nullptr) << c.Text;
        EXPECT_EQ(name, c.Name != nullptr ? c.Name : "unset") << c.Text;
        EXPECT_EQ(IsSingleString(c.Text, characters), c.String != nullptr) << c.Text;
        EXPECT_EQ(characters, c.String != nullptr ? c.String : "unset") << c.Text;
    }
}

} // namespace
