// The run with its paths given: two runs in one process, a run without a log.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "TestSupport.h"
#include "driver/Run.h"
#include "opcodes/OpcodeTable.h"
#include "symbols/SymbolTable.h"

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& contents)
{
    std::ofstream(path, std::ios::binary) << contents;
}

// Each run sees only its own symbol file: a symbol of the first run that
// leaked into the second would give STA a different address.
TEST(RunPass2, SecondRunInOneProcessStartsAfresh)
{
    const std::string base = TempFile("").Path; // a fresh name; the file itself is gone
    const TempFile log("");
    const std::string object = base + ".o";

    WriteFile(base + ".pass1", "2048 STA PLACE\n");
    WriteFile(base + ".sym", "PLACE 2 4660\n");
    EXPECT_EQ(RunPass2(base.c_str(), ShippedOpcodeTable().c_str(), log.Path.c_str()), 0);
    EXPECT_EQ(ReadFile(object), "#Everything is Hexadecimal\n800 \t 32  34  12\t\t*\n");
    EXPECT_EQ(SymbolList, nullptr);
    EXPECT_EQ(SymbolCount, 1);
    EXPECT_EQ(_OpcodeCount, 0);
    const std::string firstLog = ReadFile(log.Path);
    EXPECT_EQ(firstLog.substr(0, 23), "\nReading Opcodes Table\n");
    EXPECT_NE(firstLog.find("\nSymbol Count: 1\n"), std::string::npos);

    // No log path: nothing is logged, the earlier log stays as it was.
    WriteFile(base + ".sym", "OTHER 2 1\n");
    EXPECT_EQ(RunPass2(base.c_str(), ShippedOpcodeTable().c_str(), nullptr), 0);
    EXPECT_EQ(ReadFile(object), "#Everything is Hexadecimal\n800 \t 32  00  00\t\t*\n");
    EXPECT_EQ(SymbolList, nullptr);
    EXPECT_EQ(SymbolCount, 1);
    EXPECT_EQ(RunPass2(base.c_str(), ShippedOpcodeTable().c_str(), ""), 0);
    EXPECT_EQ(ReadFile(log.Path), firstLog);

    for (const char* suffix : {".pass1", ".sym", ".o"})
        std::remove((base + suffix).c_str());
}

} // namespace
