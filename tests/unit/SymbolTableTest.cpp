// The symbol list: loading the symbol file with its trace, refusals and damaged
// files; look-ups by exact name; list order and freeing.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "symbols/SymbolTable.h"

namespace {

typedef std::vector<std::string> Lines;

const char SizeRefused[] = "CRITICAL ERROR: Unable to add Symbol. Size of symbol cannot  be greater than 2";
const char NameRefused[] = "CRITICAL ERROR: Unable to add Symbol. Name of symbol cannot be longer than 255";

struct Lookup {
    int Found;
    int Size;
    int Word;
    int Byte;
};

bool operator==(const Lookup& a, const Lookup& b)
{
    return a.Found == b.Found && a.Size == b.Size && a.Word == b.Word && a.Byte == b.Byte;
}

std::ostream& operator<<(std::ostream& out, const Lookup& l)
{
    return out << "{found " << l.Found << ", size " << l.Size << ", word " << l.Word << ", byte " << l.Byte << "}";
}

Lookup Find(const char* name)
{
    int size = -99;
    SymbolData data = MakeSymbolData(0xABCD);
    int found = SymbolExists(name, size, data);
    return Lookup{found, size, data.Word, data.Byte};
}

const Lookup Missing{0, -99, static_cast<std::int16_t>(0xABCD), 0xCD};

// Puts a node in front of SymbolList without Append.
void HangNodeByHand(const char* name, int size, std::uint16_t value)
{
    SymbolListNode* node = new SymbolListNode{};
    std::snprintf(node->Name, sizeof node->Name, "%s", name);
    node->Size = size;
    node->Data = MakeSymbolData(value);
    node->Next = SymbolList;
    SymbolList = node;
}

// The three lines of one accepted record.
Lines Added(const std::string& name, int size, int byte, int word, int count)
{
    return {"Adding Symbol " + name + " Size: " + std::to_string(size) + " Byte: " + std::to_string(byte)
            + " Word: " + std::to_string(word),
        "Added Symbol: " + name + " to Symbol List", "Symbol Count: " + std::to_string(count)};
}

Lines Join(std::initializer_list<Lines> parts)
{
    Lines all;
    for (const Lines& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

class SymbolTable : public ::testing::Test {
protected:
    void SetUp() override { ResetSymbols(); }
    void TearDown() override { ResetSymbols(); }

    // Loads a symbol file with the given text; FilePath keeps its name for the messages.
    Lines Load(const std::string& text)
    {
        TempFile file(text);
        FilePath = file.Path;
        LogCapture log;
        ReadSymbolTable(SymbolList, file.Path.c_str());
        return log.Lines();
    }

    std::string StoppedAt(const std::string& name)
    {
        return "CRITICAL ERROR: Unable to read Size and Value of Symbol " + name + ", reading of Symbol File "
            + FilePath + " stopped";
    }

    std::string FilePath;
};

TEST_F(SymbolTable, RecordsAreLoggedAppendedAndFound)
{
    EXPECT_EQ(Load("LOOP 2 1000\nCOUNT 1 5\n"),
        Join({Added("LOOP", 2, 232, 1000, 1), Added("COUNT", 1, 5, 5, 2), {"2 Symbol Read"}}));
    EXPECT_EQ(SymbolCount, 2);
    EXPECT_EQ(Find("LOOP"), (Lookup{1, 2, 1000, 232}));
    EXPECT_EQ(Find("COUNT"), (Lookup{1, 1, 5, 5}));
}

TEST_F(SymbolTable, LaterRecordOfANameWins)
{
    EXPECT_EQ(Load("X 1 5\nY 2 7\nX 2 300"),
        Join({Added("X", 1, 5, 5, 1), Added("Y", 2, 7, 7, 2), Added("X", 2, 44, 300, 3), {"3 Symbol Read"}}));
    EXPECT_EQ(SymbolCount, 3);
    EXPECT_EQ(Find("X"), (Lookup{1, 2, 300, 44}));
}

TEST_F(SymbolTable, ValuesKeepTheirLow16Bits)
{
    Lines log = Load("MAX 2 65535\nBIG 2 70000\nNEG 1 -1\nMIN 2 -32768\nHUGE 2 99999999999999999999\n");
    EXPECT_EQ(log,
        Join({Added("MAX", 2, 255, -1, 1), Added("BIG", 2, 112, 4464, 2), Added("NEG", 1, 255, -1, 3),
            Added("MIN", 2, 0, -32768, 4), Added("HUGE", 2, 255, -1, 5), {"5 Symbol Read"}}));
    EXPECT_EQ(Find("BIG"), (Lookup{1, 2, 4464, 112}));
}

TEST_F(SymbolTable, SizeClassesOutsideZeroToTwoAreRefused)
{
    EXPECT_EQ(Load("BAD 3 10\nNEG -1 10\nZERO 0 4\nOK 1 1\n"),
        Join({{"Adding Symbol BAD Size: 3 Byte: 10 Word: 10", SizeRefused,
                  "Adding Symbol NEG Size: -1 Byte: 10 Word: 10", SizeRefused},
            Added("ZERO", 0, 4, 4, 1), Added("OK", 1, 1, 1, 2), {"2 Symbol Read"}}));
    EXPECT_EQ(Find("BAD"), Missing);
    EXPECT_EQ(Find("NEG"), Missing);
    EXPECT_EQ(Find("ZERO"), (Lookup{1, 0, 4, 4}));
}

TEST_F(SymbolTable, SizeClassesBeyondTheIntRangeAreShownAsReadAndRefused)
{
    EXPECT_EQ(Load("W1 4294967298 1\nW2 -4294967295 1\nW3 123456789012345678901 1\n"),
        (Lines{"Adding Symbol W1 Size: 4294967298 Byte: 1 Word: 1", SizeRefused,
            "Adding Symbol W2 Size: -4294967295 Byte: 1 Word: 1", SizeRefused,
            "Adding Symbol W3 Size: 1000000000000000000 Byte: 1 Word: 1", SizeRefused, "0 Symbol Read"}));
}

TEST_F(SymbolTable, SizeClassesFromTenToTheSeventeenShowTheCeiling)
{
    EXPECT_EQ(Load("S1 100000000000000000 1\nS2 -999999999999999999 1\nS3 99999999999999999 1\n"),
        (Lines{"Adding Symbol S1 Size: 1000000000000000000 Byte: 1 Word: 1", SizeRefused,
            "Adding Symbol S2 Size: -1000000000000000000 Byte: 1 Word: 1", SizeRefused,
            "Adding Symbol S3 Size: 99999999999999999 Byte: 1 Word: 1", SizeRefused, "0 Symbol Read"}));
}

TEST_F(SymbolTable, EmptyFileLoadsNothing)
{
    EXPECT_EQ(Load(""), Lines{"0 Symbol Read"});
    EXPECT_EQ(Load("\n \t\n\n"), Lines{"0 Symbol Read"});
    EXPECT_EQ(SymbolList, nullptr);
}

TEST_F(SymbolTable, MissingFileIsReportedAndLoadsNothing)
{
    LogCapture log;
    ReadSymbolTable(SymbolList, "no/such/dir/prog.sym");
    EXPECT_EQ(log.Lines(), (Lines{"CRITICAL ERROR: Unable to open Symbol File no/such/dir/prog.sym", "0 Symbol Read"}));
    EXPECT_EQ(SymbolCount, 0);
}

TEST_F(SymbolTable, LayoutOfTheRecordsCarriesNoMeaning)
{
    Lines plain = Load("A 1 1\nB 2 2");
    ResetSymbols();
    Lines spread = Load("\n  A\t1\r\n1 B\n\n2\t2\r\n\n\n   \n");
    EXPECT_EQ(plain, spread);
    EXPECT_EQ(plain.back(), "2 Symbol Read");
}

TEST_F(SymbolTable, RecordCutShortIsDroppedAndEndsTheReading)
{
    for (const char* tail : {"B 2", "B 2\n", "B", "B\n\n"}) {
        ResetSymbols();
        Lines log = Load(std::string("A 1 1\n") + tail);
        EXPECT_EQ(log, Join({Added("A", 1, 1, 1, 1), {StoppedAt("B"), "1 Symbol Read"}})) << tail;
        EXPECT_EQ(Find("B"), Missing);
    }
}

TEST_F(SymbolTable, NumberThatIsNoNumberEndsTheReading)
{
    for (const char* bad : {"B X 5", "B 1 X", "B - 5", "B 1 +", "B 0x1 5"}) {
        ResetSymbols();
        Lines log = Load(std::string("A 1 1\n") + bad + "\nC 1 1\n");
        EXPECT_EQ(log, Join({Added("A", 1, 1, 1, 1), {StoppedAt("B"), "1 Symbol Read"}})) << bad;
        EXPECT_EQ(Find("C"), Missing);
    }
}

TEST_F(SymbolTable, NamesUpTo255CharactersFit)
{
    std::string fits(255, 'N');
    std::string over(256, 'M');
    std::string far(300, 'L');
    Lines log = Load(fits + " 2 258\n" + over + " 1 1\n" + far + " 1 2\nEND 1 3\n");
    EXPECT_EQ(log,
        Join({Added(fits, 2, 2, 258, 1),
            {"Adding Symbol " + over + " Size: 1 Byte: 1 Word: 1", NameRefused,
                "Adding Symbol " + far.substr(0, 256) + " Size: 1 Byte: 2 Word: 2", NameRefused},
            Added("END", 1, 3, 3, 2), {"2 Symbol Read"}}));
    EXPECT_EQ(Find(fits.c_str()), (Lookup{1, 2, 258, 2}));
    EXPECT_EQ(Find(over.c_str()), Missing);
    EXPECT_EQ(Find(over.substr(0, 255).c_str()), Missing);
}

TEST_F(SymbolTable, LookUpIsExactAndLeavesOutputsAloneOnAMiss)
{
    Load("LOOP 2 1000\nlow 1 7\n");
    LogCapture log;
    EXPECT_EQ(Find("loop"), Missing);
    EXPECT_EQ(Find("LOO"), Missing);
    EXPECT_EQ(Find("LOOPS"), Missing);
    EXPECT_EQ(Find(""), Missing);
    EXPECT_EQ(Find("LOW"), Missing) << "a name is stored with its case";
    EXPECT_EQ(Find("low"), (Lookup{1, 1, 7, 7}));
    EXPECT_EQ(log.Text(), "") << "look-ups write nothing";
}

TEST_F(SymbolTable, AppendPutsTheNewNodeInFront)
{
    LogCapture log;
    Append("FIRST", 1, MakeSymbolData(0x12));
    Append("SECOND", 2, MakeSymbolData(0x3456));
    Append("THIRD", 7, MakeSymbolData(1));
    EXPECT_EQ(log.Lines(),
        (Lines{"Added Symbol: FIRST to Symbol List", "Symbol Count: 1", "Added Symbol: SECOND to Symbol List",
            "Symbol Count: 2", SizeRefused}));
    ASSERT_NE(SymbolList, nullptr);
    EXPECT_STREQ(SymbolList->Name, "SECOND");
    EXPECT_EQ(SymbolList->Size, 2);
    EXPECT_EQ(SymbolList->Data.Word, 0x3456);
    ASSERT_NE(SymbolList->Next, nullptr);
    EXPECT_STREQ(SymbolList->Next->Name, "FIRST");
    EXPECT_EQ(SymbolList->Next->Next, nullptr);
    EXPECT_EQ(SymbolCount, 2);
}

// The list is left empty, never hanging from freed nodes; the count stays.
TEST_F(SymbolTable, CleaningEmptiesTheListAndKeepsTheCount)
{
    LogCapture log;
    Append("A", 1, MakeSymbolData(1));
    Append("B", 1, MakeSymbolData(2));
    CleanSymbolList(SymbolList);
    EXPECT_EQ(SymbolList, nullptr);
    EXPECT_EQ(SymbolCount, 2);
    EXPECT_EQ(Find("A"), Missing) << "nothing is found after cleaning";
    EXPECT_EQ(log.Lines().size(), 4u) << "cleaning logs nothing";
}

// A node that reuses the memory of a freed one is still a new list.
TEST_F(SymbolTable, ListHungByHandAfterCleaningIsFound)
{
    LogCapture log;
    Append("OLD", 1, MakeSymbolData(1));
    CleanSymbolList(SymbolList);
    HangNodeByHand("NEW", 2, 0x1234);
    EXPECT_EQ(Find("NEW"), (Lookup{1, 2, 0x1234, 0x34}));
    EXPECT_EQ(Find("OLD").Found, 0);
}

// The look-up walks the list from SymbolList, so it sees exactly the nodes
// that hang from it, however they got there.
TEST_F(SymbolTable, CleaningAnEmptyListLeavesTheLookUpsAlone)
{
    LogCapture log;
    Append("KEPT", 1, MakeSymbolData(5));
    CleanSymbolList(nullptr);
    EXPECT_EQ(Find("KEPT"), (Lookup{1, 1, 5, 5}));
}

TEST_F(SymbolTable, LookUpSeesEveryNodeHangingFromTheHead)
{
    LogCapture log;
    Append("KEPT", 1, MakeSymbolData(5));
    HangNodeByHand("KEPT", 2, 0x1234);
    EXPECT_EQ(Find("KEPT"), (Lookup{1, 2, 0x1234, 0x34})) << "the first node of that name answers";
}

} // namespace
