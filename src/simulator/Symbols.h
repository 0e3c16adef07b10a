// What the simulator knows of a program beyond its bytes: the names of its
// labels and constants, and its source lines when it was assembled here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pass1/Pass1.h"
#include "pass1/SourceSymbols.h"

// The symbols of a program, from its source or its BASE.sym. Table serves
// the assembler's expression evaluator; Labels, the names that stand for
// addresses, sorted by value, serve the names shown for addresses.
struct ProgramSymbols {
    SourceSymbols Table;
    std::vector<std::size_t> Labels; // indices into Table.List, by value then name
};

// The source a program was assembled from: its lines as the listing shows
// them (included files and expansions in place), and for each byte of memory
// the line whose statement placed it (0: none).
struct ProgramSource {
    std::string Path;
    std::vector<std::string> Lines;  // listed line n is Lines[n - 1]
    std::vector<std::string> Places; // where each stands: "17", "hex.inc:4", "5+" in an expansion
    std::vector<int> LineOf;         // 65536 listed-line numbers once loaded, else empty
};

// From the first pass's result: labels are the names whose defining line
// has an address (EQU and SET names are values only).
void CollectSourceSymbols(const Pass1Result& pass1, ProgramSymbols& symbols);
void CollectSourceLines(const std::string& path, const Pass1Result& pass1, ProgramSource& source);

// Reads a BASE.sym ("NAME CLASS VALUE" a line, as the second pass reads it);
// the word-sized names (class 2) count as addresses. False when the file is
// missing or a line cannot be read (symbols is then left empty).
bool ReadSymbolFile(const std::string& path, ProgramSymbols& symbols);

// Sorts the labels again after Table changed.
void IndexLabels(ProgramSymbols& symbols);

// Evaluates an expression of the assembler's syntax with the program's
// names ($ is here). Gives false and a message naming what is wrong: the
// first unknown name, or the evaluator's own message.
bool EvaluateSymbolic(
    const std::string& text, const ProgramSymbols& symbols, std::uint16_t here, std::uint16_t& value, std::string& message);

// "FIRST-LAST" split at the first '-' that leaves two good expressions, so
// "TABLE-TABLE+9" runs from TABLE to TABLE+9; a single address is a range of
// one byte. False with a message (also when LAST is below FIRST).
bool EvaluateRange(const std::string& text, const ProgramSymbols& symbols, std::uint16_t here, std::uint16_t& first,
    std::uint16_t& last, std::string& message);

// The label with exactly this value, or null (the first defined when several).
const SourceSymbol* FindLabelAt(const ProgramSymbols& symbols, std::uint16_t address);
// Where the labels of address sit in symbols.Labels: positions first to
// last, last excluded (equal when there are none).
void FindLabelRange(const ProgramSymbols& symbols, std::uint16_t address, std::size_t& first, std::size_t& last);

// "RESULT", "RESULT+1": the nearest label at or below address, when it lies
// within MaxLabelOffset bytes; empty otherwise.
constexpr unsigned MaxLabelOffset = 255;
std::string NameAddress(const ProgramSymbols& symbols, std::uint16_t address);
