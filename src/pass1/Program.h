// The source held in memory between the two sweeps: every line split and
// laid out, the symbols, and the messages found so far.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "opcodes/OpcodeTable.h"
#include "pass1/LineSource.h"
#include "pass1/Messages.h"
#include "pass1/SourceLine.h"
#include "pass1/SourceSymbols.h"
#include "pass2/EncodingRules.h"

enum class LineKind {
    Empty,       // nothing, or only a label or a comment
    Instruction, // a mnemonic of the opcode table
    Org,
    Equ,
    Set,
    Db,
    Dw,
    Ds,
    End,
    Asciz,       // DB with a zero byte after the items
    Fill,        // count bytes of one value
    Cpu,         // CPU 8080, .8085, ...
    Listing,     // TITLE, PAGE, ASEG, ...: accepted, without effect
    Relocatable, // CSEG, PUBLIC, EXTRN, ...: refused, once per word
    Unsupported, // macros, conditional assembly, include files
    Unknown,
};

// What the first sweep learns of a line; its text is split again when the
// second sweep needs it, so memory stays small per line.
struct ProgramLine {
    int LineNumber = 0;
    std::size_t TextStart = 0; // the statement within its source line (see SplitStatements)
    std::size_t TextLength = 0;
    LineKind Kind = LineKind::Empty;
    int Rule = -1;             // the encoding row of an instruction
    std::uint32_t Address = 0; // of its first byte
    int ByteCount = 0;
    bool HasAddress = false;
    bool HasValue = false;
    std::uint16_t Value = 0;
    bool Failed = false;   // an error was reported: the second sweep leaves it
    bool AfterEnd = false; // after END: ignored
};

struct Program {
    std::string SourcePath;
    const OpcodeTableStructure* Table = nullptr;
    OperationWords Operations;
    const std::vector<std::string>* Texts = nullptr; // the lines handed out by the line source
    const LineSource* Source = nullptr;              // where each of them came from
    std::vector<ProgramLine> Lines;                  // one per statement: most lines hold one
    SourceSymbols Symbols;
    std::vector<Diagnostic> Diagnostics;
    bool HasStartAddress = false;
    std::uint16_t StartAddress = 0;
};

// Records an error (or warning) of a line, in the log too.
void ReportError(Program& program, ProgramLine& line, const std::string& message);
void ReportWarning(Program& program, const ProgramLine& line, const std::string& message);

// The kind of operation a word names; Unknown when it names none.
LineKind OperationKind(const Program& program, const std::string& operation, int& rule);

// Fills the set of operation words from the opcode table and the directives.
void CollectOperationNames(Program& program);

// What a word of the language is ("a register name" and "an operator" cannot
// be symbols, "a mnemonic" and "a directive" may, with a warning), or null.
const char* ReservedNameKind(const Program& program, const std::string& name);

// The text of statement index (without its line end).
std::string StatementText(const Program& program, std::size_t index);

// Splits statement index of the source again; a line that failed to split in the
// first sweep (and was reported there) gives what could be read of it.
SourceLine SplitProgramLine(const Program& program, std::size_t index);

// How many operands an encoding row's shape takes (the row itself is the
// second pass's GetEncodingRule) and how many bytes it encodes to.
int OperandCountOfShape(OperandShape shape);
int EncodedSizeOfShape(OperandShape shape);

// The first sweep: splits every line, lays out the addresses, defines the
// symbols and works out the constants that wait for later labels.
// The lines come from the line source one at a time (a condition may use
// the symbols defined above it).
void LayOutProgram(Program& program, LineSource& source);

// The second sweep: every operand evaluated, the statements written to
// statements, the symbol file to symbols.
void WriteProgram(Program& program, std::string& statements, std::string& symbols);
