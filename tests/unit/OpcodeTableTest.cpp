// The opcode table reader and the look-ups, on the shipped table and on odd files.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "opcodes/OpcodeTable.h"

namespace {

struct LoadedTable {
    OpcodeTableStructure* Table;
    std::vector<std::string> Log;
};

LoadedTable LoadTable(const std::string& text)
{
    TempFile file(text);
    LogCapture log;
    OpcodeTableStructure* table = ReadOpcodeTable(file.Path.c_str());
    return LoadedTable{table, log.Lines()};
}

TEST(OpcodeTable, ShippedTableHasTheEightyRulesInOrder)
{
    LogCapture log;
    OpcodeTableStructure* table = ReadOpcodeTable(ShippedOpcodeTable().c_str());
    std::vector<std::string> lines = log.Lines();
    ASSERT_EQ(_OpcodeCount, 80);
    ASSERT_EQ(lines.size(), 81u);
    EXPECT_EQ(lines[0], "Opcode Count is 80");
    EXPECT_EQ(lines[1], "\t0.\t\tMOV\t\t1");
    EXPECT_EQ(lines[2], "\t1.\t\tMVI\t\t2");
    EXPECT_EQ(lines[80], "\t79.\t\tSIM\t\t1");
    EXPECT_EQ(CheckMnemonic("MOV", table), 0);
    EXPECT_EQ(CheckMnemonic("RST", table), 55);
    EXPECT_EQ(CheckMnemonic("CPO", table), 61);
    EXPECT_EQ(CheckMnemonic("SIM", table), 79);
    EXPECT_EQ(CheckMnemonic("MO", table), -1);
    EXPECT_EQ(CheckMnemonic("MOVE", table), -1);
    EXPECT_EQ(CheckMnemonic("mov", table), -1);
    EXPECT_EQ(CheckMnemonic("", table), -1);
    delete[] table;
}

TEST(OpcodeTable, SizesFollowTheInstructionLengths)
{
    LogCapture quiet;
    OpcodeTableStructure* table = ReadOpcodeTable(ShippedOpcodeTable().c_str());
    const char* threeBytes[] = {"LHLD", "LDA", "SHLD", "STA", "LXI", "JMP", "JNZ", "JZ", "JNC", "JC", "JPO", "JPE",
        "JP", "JM", "CALL", "CNZ", "CZ", "CNC", "CC", "CPO", "CPE", "CP", "CM"};
    const char* twoBytes[] = {"MVI", "OUT", "IN", "ADI", "ACI", "SUI", "SBI", "ANI", "XRI", "ORI", "CPI"};
    int total = 0;
    for (const char* name : threeBytes) {
        EXPECT_EQ(GetInstructionSize(table, name), 3) << name;
        total += 3;
    }
    for (const char* name : twoBytes) {
        EXPECT_EQ(GetInstructionSize(table, name), 2) << name;
        total += 2;
    }
    for (int i = 0; i < _OpcodeCount; i++)
        total -= table[i].Size;
    EXPECT_EQ(total, -(80 - 23 - 11)) << "every other row is one byte long";
    delete[] table;
}

TEST(OpcodeTable, MissOfGetInstructionSizeLogsWithoutLineEnd)
{
    LogCapture log;
    OpcodeTableStructure* table = ReadOpcodeTable(ShippedOpcodeTable().c_str());
    EXPECT_EQ(GetInstructionSize(table, "FOO"), -1);
    std::string text = log.Text();
    EXPECT_EQ(text.substr(text.size() - 35), "\nERROR: Unable to find Mnemonic FOO");
    delete[] table;
}

TEST(OpcodeTable, MissingFileGivesAnEmptyTable)
{
    LogCapture log;
    OpcodeTableStructure* table = ReadOpcodeTable("no/such/opcodes.txt");
    EXPECT_EQ(_OpcodeCount, 0);
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"Opcode Count is 0"});
    EXPECT_EQ(CheckMnemonic("MOV", table), -1);
    delete[] table;
}

TEST(OpcodeTable, LayoutIntoLinesCarriesNoMeaning)
{
    LoadedTable oneLine = LoadTable("3 NOP 1 JMP 3 MVI 2");
    LoadedTable manyLines = LoadTable("3\n\tNOP\n1   JMP\r\n3\n\n MVI 2\n");
    EXPECT_EQ(oneLine.Log, manyLines.Log);
    EXPECT_EQ(oneLine.Log[2], "\t1.\t\tJMP\t\t3");
    EXPECT_EQ(CheckMnemonic("MVI", manyLines.Table), 2);
    delete[] oneLine.Table;
    delete[] manyLines.Table;
}

TEST(OpcodeTable, CountBeyondTheRowsLogsEmptyRows)
{
    LoadedTable loaded = LoadTable("3 NOP 1 HLT 1");
    EXPECT_EQ(_OpcodeCount, 3);
    EXPECT_EQ(loaded.Log,
        (std::vector<std::string>{"Opcode Count is 3", "\t0.\t\tNOP\t\t1", "\t1.\t\tHLT\t\t1", "\t2.\t\t\t\t0"}));
    EXPECT_EQ(CheckMnemonic("", loaded.Table), 2) << "only an empty name could match the empty row";
    delete[] loaded.Table;
}

TEST(OpcodeTable, SizeThatIsNoNumberEndsTheReading)
{
    LoadedTable loaded = LoadTable("3 NOP X HLT 1 DI 1");
    EXPECT_EQ(loaded.Log,
        (std::vector<std::string>{"Opcode Count is 3", "\t0.\t\tNOP\t\t0", "\t1.\t\t\t\t0", "\t2.\t\t\t\t0"}));
    EXPECT_EQ(CheckMnemonic("HLT", loaded.Table), -1);
    delete[] loaded.Table;
}

TEST(OpcodeTable, SizeDigitsFollowedByTextStartTheNextToken)
{
    LoadedTable loaded = LoadTable("2 NOP 1HLT 1");
    EXPECT_EQ(loaded.Log[1], "\t0.\t\tNOP\t\t1");
    EXPECT_EQ(loaded.Log[2], "\t1.\t\tHLT\t\t1");
    delete[] loaded.Table;
}

TEST(OpcodeTable, FirstOfTwoEqualNamesWins)
{
    LoadedTable loaded = LoadTable("4 NOP 1 JMP 3 HLT 1 JMP 7");
    EXPECT_EQ(CheckMnemonic("JMP", loaded.Table), 1);
    EXPECT_EQ(GetInstructionSize(loaded.Table, "JMP"), 3);
    delete[] loaded.Table;
}

TEST(OpcodeTable, RowsBeyondEightyAreStoredAndFound)
{
    std::string text = "81";
    for (int i = 0; i < 80; i++)
        text += " OP" + std::to_string(i) + " 1";
    text += " EXTRA 2";
    LoadedTable loaded = LoadTable(text);
    EXPECT_EQ(loaded.Log.back(), "\t80.\t\tEXTRA\t\t2");
    EXPECT_EQ(CheckMnemonic("EXTRA", loaded.Table), 80);
    delete[] loaded.Table;
}

TEST(OpcodeTable, CountThatIsNoNumberGivesAnEmptyTable)
{
    LoadedTable loaded = LoadTable("MOV 1 MVI 2");
    EXPECT_EQ(_OpcodeCount, 0);
    EXPECT_EQ(loaded.Log, std::vector<std::string>{"Opcode Count is 0"});
    delete[] loaded.Table;
}

TEST(OpcodeTable, ImpossibleCountsLeaveTheTableEmpty)
{
    for (const char* count : {"-1", "4097", "2000000000", "99999999999999999999999"}) {
        LoadedTable loaded = LoadTable(std::string(count) + " MOV 1");
        EXPECT_EQ(_OpcodeCount, 0) << count;
        ASSERT_EQ(loaded.Log.size(), 2u) << count;
        EXPECT_EQ(loaded.Log[1].rfind("ERROR: Invalid Opcode Count ", 0), 0u) << loaded.Log[1];
        EXPECT_EQ(CheckMnemonic("MOV", loaded.Table), -1);
        delete[] loaded.Table;
    }
}

TEST(OpcodeTable, NameOverElevenCharactersLeavesItsRowEmpty)
{
    LoadedTable loaded = LoadTable("3 NOP 1 ABCDEFGHIJKL 2 ABCDEFGHIJK 3");
    EXPECT_EQ(loaded.Log[2], "ERROR: Mnemonic ABCDEFGHIJK... is longer than 11 characters, its row is left empty");
    EXPECT_EQ(loaded.Log[3], "\t1.\t\t\t\t2");
    EXPECT_EQ(loaded.Log[4], "\t2.\t\tABCDEFGHIJK\t\t3");
    EXPECT_EQ(CheckMnemonic("ABCDEFGHIJK", loaded.Table), 2);
    delete[] loaded.Table;
}

} // namespace
