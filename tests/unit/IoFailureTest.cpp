// Failing disks: a read that fails part-way ends each of the three readers as
// the end of the file would, after one log line; a refused write leaves the
// file whole up to its last finished line.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "FailingReadBuffer.h"
#include "TestSupport.h"
#include "driver/LineFile.h"
#include "driver/WordReader.h"
#include "opcodes/OpcodeTable.h"
#include "pass2/AssemblerPass2.h"
#include "symbols/SymbolTable.h"

namespace {

typedef std::vector<std::string> Lines;

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string StoppedLine(const std::string& name)
{
    return "ERROR: Unable to read " + name + ", its reading stopped";
}

// What one reader kept from its input, and what it logged.
struct ReaderRun {
    std::string Kept;
    Lines Log;
};

ReaderRun ReadOpcodes(std::streambuf& buffer)
{
    LogCapture log;
    WordReader reader;
    UseWordBuffer(reader, buffer, "etc/opcodes.txt");
    std::unique_ptr<OpcodeTableStructure[]> table(ReadOpcodeTable(reader));
    std::string rows;
    for (int i = 0; i < _OpcodeCount; i++)
        rows += std::string(table[i].Mnemonic) + " " + std::to_string(table[i].Size) + "\n";
    _OpcodeCount = 0;
    return {rows, log.Lines()};
}

ReaderRun ReadSymbols(std::streambuf& buffer)
{
    ResetSymbols();
    LogCapture log;
    WordReader reader;
    UseWordBuffer(reader, buffer, "prog.sym");
    ReadSymbolTable(reader, "prog.sym");
    std::string nodes;
    for (const SymbolListNode* node = SymbolList; node != nullptr; node = node->Next)
        nodes +=
            std::string(node->Name) + " " + std::to_string(node->Size) + " " + std::to_string(node->Data.Word) + "\n";
    ResetSymbols();
    return {nodes, log.Lines()};
}

ReaderRun ReadStatements(std::streambuf& buffer)
{
    static const std::unique_ptr<OpcodeTableStructure[]> table(ReadOpcodeTable(ShippedOpcodeTable().c_str()));
    TempFile object("");
    LogCapture log;
    StatementReader reader;
    UseInputBuffer(reader.Input, buffer, "prog.pass1");
    EXPECT_TRUE(AssembleStatements(reader, object.Path.c_str(), table.get()));
    return {ReadFile(object.Path), log.Lines()};
}

struct ReaderCase {
    const char* Name;
    ReaderRun (*Read)(std::streambuf&);
    std::string Text;
};

// Every place a read can fail, in every reader: what is kept and logged is
// what the file cut at that place gives, and the failure line comes once.
TEST(ReadFailure, EndsTheReadingAsTheEndOfTheFileWould)
{
    const ReaderCase cases[] = {
        {"etc/opcodes.txt", ReadOpcodes, "3\nMOV 1\nMVI 2\nLDAX 1\n"},
        {"prog.sym", ReadSymbols, "LOOP 2 4660\nBYTE 1 255\nNEG 2 -1"},
        {"prog.pass1", ReadStatements, "2048 MVI A,3AH\n2050 LDA 1234H\n2053 DB 1,2\n"},
    };
    for (const ReaderCase& c : cases) {
        for (std::size_t failAt = 0; failAt <= c.Text.size(); failAt++) {
            SCOPED_TRACE(std::string(c.Name) + " failing at byte " + std::to_string(failAt));
            FailingReadBuffer failing(c.Text, failAt, 3);
            ReaderRun failed = c.Read(failing);
            FailingReadBuffer cut(c.Text.substr(0, failAt), std::string::npos, 3);
            ReaderRun ended = c.Read(cut);

            EXPECT_EQ(failed.Kept, ended.Kept);
            auto report = std::find(failed.Log.begin(), failed.Log.end(), StoppedLine(c.Name));
            EXPECT_EQ(report != failed.Log.end(), failing.Thrown);
            if (report != failed.Log.end())
                failed.Log.erase(report);
            EXPECT_EQ(failed.Log, ended.Log);
        }
    }
}

// The failure line stands where the read failed, before what the reader
// says about the record it cut.
TEST(ReadFailure, SymbolRecordCutByAFailedRead)
{
    ResetSymbols();
    FailingReadBuffer failing("LOOP 2 4660\nBYTE 1 255\n", 17);
    EXPECT_EQ(ReadSymbols(failing).Log,
        (Lines{"Adding Symbol LOOP Size: 2 Byte: 52 Word: 4660", "Added Symbol: LOOP to Symbol List", "Symbol Count: 1",
            StoppedLine("prog.sym"),
            "CRITICAL ERROR: Unable to read Size and Value of Symbol BYTE, reading of Symbol File prog.sym stopped",
            "1 Symbol Read"}));
}

// A file limited in size refuses the write that crosses the limit, part of
// it written: the file is cut back to its last whole line and takes nothing
// more, so it never shows a gap.
TEST(WriteFailure, FileKeepsItsWholeLinesOnly)
{
    TempFile file("");
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    void (*savedSignal)(int) = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 10;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);

    LineFile out;
    ASSERT_TRUE(OpenLineFile(out, file.Path.c_str()));
    const bool first = WriteLineFile(out, "line1\n", 6);
    const bool second = WriteLineFile(out, "line2\n", 6);
    const bool third = WriteLineFile(out, "3\n", 2);
    const bool closed = CloseLineFile(out);

    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedSignal);
    EXPECT_TRUE(first);
    EXPECT_FALSE(second);
    EXPECT_FALSE(third);
    EXPECT_FALSE(closed);
    EXPECT_EQ(ReadFile(file.Path), "line1\n");

    LineFile never; // a file that was never opened drops its text and is not failed
    EXPECT_TRUE(WriteLineFile(never, "x\n", 2));
    EXPECT_TRUE(CloseLineFile(never));
}

} // namespace
