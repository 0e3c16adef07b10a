// Splitting source lines: which word is the label, which the operation, where
// the operands and statements end, and where a CP/M file ends.
#include <gtest/gtest.h>

#include "pass1/SourceLine.h"

namespace {

struct SplitCase {
    const char* Text;
    const char* Label;
    const char* Operation;
    const char* Operands; // joined with "|"
};

const SplitCase SplitCases[] = {
    {"LOOP: MOV A,B", "LOOP", "MOV", "A|B"},
    {"loop mov a , b ; c,d", "LOOP", "MOV", "a|b"},
    {"MOV A,B", "", "MOV", "A|B"},          // a mnemonic in column 1 is the operation
    {"\tCOUNT EQU 5", "COUNT", "EQU", "5"}, // indented name before a directive
    {"  MOV EQU 5", "MOV", "EQU", "5"},     // a name before EQU is the constant's, whatever word it is
    {" JZ END", "", "JZ", "END"},           // a mnemonic where an operation can stand is the operation
    {"END:", "END", "", ""},
    {"GO:: JMP GO", "GO", "JMP", "GO"},
    {"JMP .db 1", "", "JMP", ".db 1"},
    {"N = N+1", "N", "=", "N+1"},
    {"  JMP=1", "JMP", "=", "1"},
    {"X: = 2", "X", "=", "2"},
    {"X .EQU 5", "X", ".EQU", "5"},
    {" .equ J, K+1", "J", ".EQU", "K+1"},
    {" .equ 1, 2", "", ".EQU", "1|2"},
    {"  L .db 1", "L", ".DB", "1"},
    {".org 100h", "", ".ORG", "100h"},
    {" .8085", "", ".8085", ""},
    {" NAME('MON')", "", "NAME", "('MON')"},
    {"PAGE DS 1", "PAGE", "DS", "1"},       // a listing control before a directive
    {"PAGE 60", "", "PAGE", "60"},
    {"ALONE", "ALONE", "", ""},
    {"  FOO BAR", "", "FOO", "BAR"}, // an unknown indented word is the operation
    {"X:DB ';,',\"a\"\"b\", ''", "X", "DB", "';,'|\"a\"\"b\"|''"},
    {"CPU$OK: JMP OK$MSG", "CPUOK", "JMP", "OK$MSG"},
    {"; comment", "", "", ""},
    {"* star comment", "", "", ""},
    {"   ", "", "", ""},
    {"// comment", "", "", ""},
    {" DB 10/2 // half, of ten", "", "DB", "10/2"},
};

const std::unordered_map<std::string, bool> Operations = {
    {"MOV", true}, {"JMP", true}, {"EQU", true}, {"DB", true}, {"DS", true}, {"PAGE", false}, {"JZ", true},
    {"END", true}, {".DB", true}, {".EQU", true}, {".ORG", true}, {".8085", true}};

TEST(SourceLine, SplitCases)
{
    for (const SplitCase& c : SplitCases) {
        SourceLine line;
        std::string error;
        ASSERT_TRUE(SplitSourceLine(c.Text, Operations, line, error)) << c.Text << ": " << error;
        EXPECT_EQ(line.Label, c.Label) << c.Text;
        EXPECT_EQ(line.Operation, c.Operation) << c.Text;
        std::string operands;
        for (const std::string& operand : line.Operands)
            operands += (operands.empty() ? "" : "|") + operand;
        EXPECT_EQ(operands, c.Operands) << c.Text;
    }
}

TEST(SourceLine, StatementsAndEndOfFile)
{
    auto pieces = SplitStatements("mov a,m! ora a ! db '!' ; a!b");
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[1].first, 8u);
    EXPECT_EQ(pieces[2].first, 16u);
    EXPECT_EQ(SplitStatements("* a ! b").size(), 1u);
    EXPECT_EQ(SplitStatements(" db 1!=2 // a!b").size(), 1u); // != compares; // starts a comment
    EXPECT_EQ(SplitStatements("// a!b").size(), 1u);
    EXPECT_EQ(SplitStatements(" db 'a!b").size(), 1u); // the unterminated string is reported later

    EXPECT_EQ(FindEndOfFileMark(" nop\n\x1A\x1Ajunk"), 5u);
    EXPECT_EQ(FindEndOfFileMark(" db '\x1A'\n nop"), 12u);   // data in a string
    EXPECT_EQ(FindEndOfFileMark(" nop ; don't\x1A\n"), 12u); // a quote in a comment opens nothing
    EXPECT_EQ(FindEndOfFileMark(" db 'it''s\n\x1A"), 11u);   // an open string ends with its line
}

} // namespace
