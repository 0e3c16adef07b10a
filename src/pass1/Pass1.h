// The first pass as a library: the run with its paths, and what it leaves
// for the listing and the front (each source line's address and bytes, the
// symbols with the line that defines them, the start address).
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

struct SourceFileSystem;

// One source line as the first pass laid it out.
struct ListedLine {
    int LineNumber;        // from 1
    std::string Text;      // as written, without its line end
    bool HasAddress;       // the line has an address: a statement, a label, ORG, DS
    std::uint16_t Address; // where its bytes go (for ORG: the new address)
    int ByteCount;         // the bytes it writes; 0 for directives and empty lines
    bool HasValue;         // EQU, SET, ORG, DS and END with an operand show a value
    std::uint16_t Value;
    int File = 0;          // index into Pass1Result::Files; LineNumber is within that file
    bool Expanded = false; // made by a macro or repeat expansion
    bool Skipped = false;  // under a false condition
};

// A label or constant, with the line that defines it (a SET name: its last).
struct DefinedSymbol {
    std::string Name; // upper case
    std::uint16_t Value;
    int LineNumber;        // within the file that defines it
    bool IsLabel = false;  // names an address; EQU and SET names are values only
};

// An error or warning of a line, for the listing.
struct ListedMessage {
    int LineNumber; // the line's place in Pass1Result::Lines, from 1
    bool IsWarning;
    std::string Text;
};

struct Pass1Result {
    std::vector<ListedLine> Lines;       // every line read and made, in order: includes and expansions in place
    std::vector<std::string> Files;      // the source, then every file it includes
    std::vector<DefinedSymbol> Symbols;  // in order of definition
    std::vector<ListedMessage> Messages; // in line order
    bool HasStartAddress;               // END gave an operand
    std::uint16_t StartAddress;
    int ErrorCount;
    int WarningCount;
};

// The files of one run. An empty RunLog writes no trace.
struct Pass1Paths {
    std::string Source;                          // BASE.asm
    std::string Statements;                      // BASE.pass1
    std::string Symbols;                         // BASE.sym
    std::string OpcodeTable;                     // etc/opcodes.txt
    std::string RunLog;                          // etc/log-Pass1.txt, or empty
    std::string ProgramName = "Assembler-Pass1"; // names the program in messages without a line
    std::vector<std::string> IncludeDirectories = {}; // -I DIR, searched in order after the including file's folder
    const SourceFileSystem* FileSystem = nullptr; // how files are read; null: the disk
    long MaxExpandedLines = 0;                    // the bound of lines made by expansions; 0: the default
};

// Runs the first pass. Messages go to errors as "FILE:LINE: error: ..." (FILE
// is the source path as given). Returns the exit status: 0 without errors,
// 1 when the source has errors (nothing written), 2 on an I/O failure.
int RunPass1(const Pass1Paths& paths, Pass1Result& result, std::ostream& errors);

// Reads a number in the source's forms: decimal (optional trailing D),
// hexadecimal with a trailing H and a leading digit, binary with B, octal
// with O or Q; letter case does not matter. False (and value untouched) for
// anything else, or a value above FFFFH.
bool ParseNumberLiteral(const std::string& text, std::uint16_t& value);
