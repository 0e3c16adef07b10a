// The program's names in the simulator: options that name addresses and
// values, the nearest label of an address, symbol files, named jump targets,
// and the debugger's commands read one line at a time.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <unistd.h>

#include "simulator/Debugger.h"
#include "simulator/Options.h"
#include "simulator/Symbols.h"
#include "simulator/Trace.h"

namespace {

// LOOP 0802H, DONE 0810H, TABLE 2000H, RESULT 2060H, BUF 2100H (labels);
// COUNT EQU 10, PORT EQU 20H (values only); START and MAIN both 0800H.
ProgramSymbols ExampleSymbols()
{
    ProgramSymbols symbols;
    const struct {
        const char* Name;
        std::uint16_t Value;
        bool Label;
    } rows[] = {{"START", 0x0800, true}, {"MAIN", 0x0800, true}, {"LOOP", 0x0802, true}, {"DONE", 0x0810, true},
        {"TABLE", 0x2000, true}, {"RESULT", 0x2060, true}, {"BUF", 0x2100, true}, {"COUNT", 10, false},
        {"PORT", 0x20, false}};
    int line = 1;
    for (const auto& row : rows)
        AddSourceSymbol(symbols.Table,
            SourceSymbol{row.Name, row.Label ? SymbolKind::Label : SymbolKind::Constant, row.Value, true, line++});
    IndexLabels(symbols);
    return symbols;
}

struct NamedOptionCase {
    std::vector<std::string> Arguments;
    const char* Message; // null: good
    std::function<bool(const SimOptions&)> Holds;
};

TEST(SimulatorSymbols, OptionsTakeNamesAndExpressions)
{
    const NamedOptionCase cases[] = {
        {{"--start", "MAIN"}, nullptr, [](const SimOptions& o) { return o.HasStart && o.Start == 0x800; }},
        {{"--break", "LOOP", "--break", "DONE+3"}, nullptr,
            [](const SimOptions& o) { return o.Breakpoints == std::vector<std::uint16_t>{0x802, 0x813}; }},
        {{"--expect", "RESULT=96H", "--expect", "RESULT+1=0", "--expect", "A=COUNT"}, nullptr,
            [](const SimOptions& o) {
                return o.Expectations.size() == 3 && o.Expectations[0].Kind == ExpectMemory
                    && o.Expectations[0].Memory.Address == 0x2060 && o.Expectations[0].Memory.Bytes[0] == 0x96
                    && o.Expectations[1].Memory.Address == 0x2061 && o.Expectations[2].Kind == ExpectRegister
                    && o.Expectations[2].Register.Value == 10;
            }},
        // The range splits at the first '-' that leaves two good values.
        {{"--dump", "TABLE-TABLE+9", "--dump", "(RESULT-2)-RESULT"}, nullptr,
            [](const SimOptions& o) {
                return o.Dumps.size() == 2 && o.Dumps[0].First == 0x2000 && o.Dumps[0].Last == 0x2009
                    && o.Dumps[1].First == 0x205E && o.Dumps[1].Last == 0x2060;
            }},
        {{"--set", "BUF=1,2,COUNT*3"}, nullptr,
            [](const SimOptions& o) {
                return o.Sets[0].Address == 0x2100 && o.Sets[0].Bytes == std::vector<std::uint8_t>{1, 2, 30};
            }},
        {{"--reg", "HL=TABLE", "--in", "PORT=COUNT", "--trace-from", "LOOP"}, nullptr,
            [](const SimOptions& o) {
                return o.Registers[0].Value == 0x2000 && o.Inputs[0].Port == 0x20 && o.Trace && o.TraceFrom == 0x802;
            }},
        {{"--break", "NOPE"}, "bad value 'NOPE' for --break: unknown name 'NOPE'", nullptr},
        {{"--expect", "RESULT=TABLE"}, "bad value 'RESULT=TABLE' for --expect", nullptr},
        {{"--dump", "TABLE+9-TABLE"}, "bad value 'TABLE+9-TABLE' for --dump", nullptr},
        {{"--reg", "A=LOOP"}, "for --reg", nullptr},
    };
    ProgramSymbols symbols = ExampleSymbols();
    for (const NamedOptionCase& c : cases) {
        SimOptions options;
        std::ostringstream errors;
        bool ok = ParseSimOptions(c.Arguments, options, errors, &symbols);
        if (c.Message == nullptr) {
            EXPECT_TRUE(ok) << c.Arguments[1] << ": " << errors.str();
            EXPECT_TRUE(c.Holds(options)) << c.Arguments[1];
        } else {
            EXPECT_FALSE(ok) << c.Arguments[1];
            EXPECT_NE(errors.str().find(c.Message), std::string::npos) << errors.str();
        }
    }
    // Before the program is loaded a name is taken on trust and kept.
    SimOptions early;
    std::ostringstream errors;
    EXPECT_TRUE(ParseSimOptions({"--break", "LOOP", "--dump", "TABLE-TABLE+9", "--fill", "0FFH"}, early, errors));
    EXPECT_EQ(early.PendingNames, (std::vector<std::string>{"LOOP", "TABLE", "TABLE"}));
    EXPECT_FALSE(ParseSimOptions({"--break", "LOOP+"}, early, errors));
}

TEST(SimulatorSymbols, NamesAddressesByTheNearestLabel)
{
    ProgramSymbols symbols = ExampleSymbols();
    const struct {
        std::uint16_t Address;
        const char* Name;
    } cases[] = {
        {0x0800, "START"},      // two labels: the first defined
        {0x0801, "START+1"},    {0x0802, "LOOP"}, {0x2061, "RESULT+1"}, {0x20FF, "RESULT+159"},
        {0x0020, ""},           // PORT is a value, not an address
        {0x07FF, ""},           // below every label
        {0x2200, ""}, // past the reach of BUF
        {0xFFFF, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NameAddress(symbols, c.Address), c.Name) << std::hex << c.Address;
    EXPECT_EQ(NameAddress(symbols, 0x21FF), "BUF+255");
    ASSERT_NE(FindLabelAt(symbols, 0x2060), nullptr);
    EXPECT_EQ(FindLabelAt(symbols, 0x2060)->Name, "RESULT");
    EXPECT_EQ(FindLabelAt(symbols, 0x2061), nullptr);

    // Jumps and calls name their target; other words stay numbers.
    const struct {
        std::uint8_t Bytes[3];
        const char* Text;
    } instructions[] = {
        {{0xC2, 0x02, 0x08}, "JNZ LOOP"}, {{0xCD, 0x10, 0x08}, "CALL DONE"}, {{0xC3, 0x03, 0x08}, "JMP 0803H"},
        {{0x21, 0x00, 0x20}, "LXI H,2000H"}, {{0xFC, 0x00, 0x08}, "CM START"},
    };
    for (const auto& c : instructions) {
        std::string text;
        EXPECT_EQ(FormatInstruction(c.Bytes, &symbols, text), 3);
        EXPECT_EQ(text, c.Text);
    }
}

TEST(SimulatorSymbols, ReadsSymbolFiles)
{
    std::string path = "/tmp/simulator-symbols-" + std::to_string(getpid()) + ".sym";
    std::ofstream(path) << "LOOP 2 2050\nlen 1 8\n\nSTACK 2 8448\n";
    ProgramSymbols symbols;
    ASSERT_TRUE(ReadSymbolFile(path, symbols));
    std::uint16_t value = 0;
    std::string message;
    EXPECT_TRUE(EvaluateSymbolic("LOOP+LEN", symbols, 0, value, message));
    EXPECT_EQ(value, 2058);
    EXPECT_EQ(NameAddress(symbols, 2051), "LOOP+1");
    EXPECT_EQ(NameAddress(symbols, 8), ""); // a byte-sized name is a value
    std::ofstream(path) << "LOOP 2\n";
    EXPECT_FALSE(ReadSymbolFile(path, symbols));
    EXPECT_TRUE(symbols.Table.List.empty());
    std::remove(path.c_str());
    EXPECT_FALSE(ReadSymbolFile(path, symbols));
}

} // namespace
