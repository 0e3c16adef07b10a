// Micro-benchmarks of the per-statement steps.
//
// The run log: the benchmarks that log (Tokenize, Str2SymbolData,
// AssembleLine) run twice, selected by their argument:
//   /0  LogStream left closed: every log line fails at once, so the cost of
//       logging is excluded and only the work itself is timed;
//   /1  LogStream open on /dev/null: the formatting of every log line and its
//       flush (one write() to /dev/null per line) are included.
// SymbolExists and CheckMnemonic log nothing; they run with the log closed.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "driver/RunLog.h"
#include "lexer/Tokenizer.h"
#include "opcodes/OpcodeTable.h"
#include "pass2/AssemblerPass2.h"
#include "symbols/NumericLiteral.h"
#include "symbols/SymbolTable.h"

namespace {

void SetLog(bool toDevNull)
{
    CloseRunLog();
    if (toDevNull)
        OpenRunLog("/dev/null");
}

void CloseLog()
{
    SetLog(false);
}

// Symbol names as the generated programs use them: a prefix and four digits.
std::string SymbolName(int index)
{
    static const char* const Prefixes[] = {
        "PORT", "CHAR", "MASK", "CNTR", "LOOP", "NEXT", "DATA", "BUFF", "TEXT", "DONE"};
    char text[16];
    std::snprintf(text, sizeof text, "%s%04d", Prefixes[index % 10], index);
    return text;
}

void LoadSymbols(int count)
{
    CloseLog();
    CleanSymbolList(SymbolList);
    SymbolList = nullptr;
    SymbolCount = 0;
    for (int i = 0; i < count; i++)
        Append(SymbolName(i).c_str(), i % 10 < 4 ? 1 : 2, MakeSymbolData(static_cast<std::uint16_t>(i * 37)));
}

const OpcodeTableStructure* ShippedTable()
{
    static const OpcodeTableStructure* table = [] {
        CloseLog();
        return ReadOpcodeTable(PASS2_SOURCE_DIR "/etc/opcodes.txt");
    }();
    return table;
}

// Statement lines of the kind the generated programs hold.
const char* const Lines[] = {
    "2048 MVI A,3AH",
    "2050 LDA 2100H",
    "2053 MOV A,B",
    "2054 DB 1,2,200",
    "2057 DW 1234H,45000",
    "2061 LXI H,LOOP0042\t\t; next byte",
    "2064 CALL DONE0119",
    "2067 CPI CHAR0031",
};
const int LineCount = sizeof(Lines) / sizeof(Lines[0]);

void BM_Tokenize(benchmark::State& state)
{
    SetLog(state.range(0) != 0);
    char tokens[_MaxTokens][_MaxTokenLength] = {};
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Tokenize(Lines[i], tokens));
        benchmark::ClobberMemory();
        i = (i + 1) % LineCount;
    }
    CloseLog();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Tokenize)->Arg(0)->Arg(1);

void BM_Str2SymbolData(benchmark::State& state)
{
    static const char* const Tokens[] = {"3AH", "200", "2100H", "45000", "7", "0FH", "1234H", "255"};
    SetLog(state.range(0) != 0);
    int i = 0;
    for (auto _ : state) {
        int size = 0;
        benchmark::DoNotOptimize(Str2SymbolData(Tokens[i], size));
        benchmark::DoNotOptimize(size);
        i = (i + 1) % 8;
    }
    CloseLog();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Str2SymbolData)->Arg(0)->Arg(1);

// Hits: 64 names spread evenly over the table (all of them when it is small).
void BM_SymbolExistsHit(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    LoadSymbols(count);
    std::vector<std::string> names;
    const int wanted = count < 64 ? count : 64;
    for (int k = 0; k < wanted; k++)
        names.push_back(SymbolName(static_cast<int>(static_cast<long>(k) * count / wanted)));
    std::size_t i = 0;
    for (auto _ : state) {
        int size = 0;
        SymbolData data = MakeSymbolData(0);
        benchmark::DoNotOptimize(SymbolExists(names[i].c_str(), size, data));
        benchmark::DoNotOptimize(data);
        i = (i + 1) % names.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SymbolExistsHit)->Arg(10)->Arg(10000);

// Misses: literal operands, which are looked up as symbols first.
void BM_SymbolExistsMiss(benchmark::State& state)
{
    static const char* const Literals[] = {"3AH", "200", "2100H", "45000", "7", "0FH", "1234H", "LOOP9999"};
    LoadSymbols(static_cast<int>(state.range(0)));
    int i = 0;
    for (auto _ : state) {
        int size = 0;
        SymbolData data = MakeSymbolData(0);
        benchmark::DoNotOptimize(SymbolExists(Literals[i], size, data));
        i = (i + 1) % 8;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SymbolExistsMiss)->Arg(10)->Arg(10000);

void CheckMnemonicOf(benchmark::State& state, const char* mnemonic)
{
    const OpcodeTableStructure* table = ShippedTable();
    for (auto _ : state) {
        benchmark::DoNotOptimize(mnemonic);
        benchmark::DoNotOptimize(CheckMnemonic(mnemonic, table));
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_CheckMnemonicFirstRow(benchmark::State& state)
{
    CheckMnemonicOf(state, "MOV");
}
BENCHMARK(BM_CheckMnemonicFirstRow);

void BM_CheckMnemonicLastRow(benchmark::State& state)
{
    CheckMnemonicOf(state, "SIM");
}
BENCHMARK(BM_CheckMnemonicLastRow);

void BM_CheckMnemonicMiss(benchmark::State& state)
{
    CheckMnemonicOf(state, "FOO");
}
BENCHMARK(BM_CheckMnemonicMiss);

// One whole statement, from the line to its object line (the object line is
// built in memory, not written), with 1,000 symbols loaded.
void BM_AssembleLine(benchmark::State& state)
{
    const OpcodeTableStructure* table = ShippedTable();
    LoadSymbols(1000);
    SetLog(state.range(0) != 0);
    char tokens[_MaxTokens][_MaxTokenLength] = {};
    std::uint32_t address = 0;
    std::string objectLine;
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(AssembleLine(Lines[i], tokens, address, table, objectLine));
        benchmark::DoNotOptimize(objectLine.data());
        i = (i + 1) % LineCount;
    }
    CloseLog();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AssembleLine)->Arg(0)->Arg(1);

// Reading statement lines through the reader that turns a failed read into
// the end of the file (/1), beside the bare stream buffer loop it wraps (/0):
// the price of that guard per byte. 10,000 lines in memory per iteration.
void BM_ReadStatementLines(benchmark::State& state)
{
    std::string text;
    for (int i = 0; i < 10000; i++)
        text += "2048 MVI A,3AH ; load the accumulator\n";
    char line[_MaxLineLength];
    for (auto _ : state) {
        std::stringbuf buffer(text);
        if (state.range(0) != 0) {
            StatementReader reader;
            UseInputBuffer(reader.Input, buffer, "prog.pass1");
            while (!reader.AtEnd)
                benchmark::DoNotOptimize(ReadStatementLine(reader, line));
        } else {
            int length = 0;
            for (int c = buffer.sbumpc(); c != std::char_traits<char>::eof(); c = buffer.sbumpc()) {
                if (c == '\n')
                    length = 0;
                else if (length < _MaxLineLength - 2)
                    line[length++] = static_cast<char>(c);
            }
            benchmark::DoNotOptimize(line);
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ReadStatementLines)->Arg(0)->Arg(1);

} // namespace

BENCHMARK_MAIN();
