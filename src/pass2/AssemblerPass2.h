// The second pass: every statement line of the statement file becomes one
// object line of the object file.
#pragma once

#include <cstdint>
#include <string>

#include "driver/InputFile.h"
#include "lexer/Tokenizer.h"
#include "opcodes/OpcodeTable.h"

constexpr int _MaxLineLength = 512; // a line is read up to 510 characters

// Runs the whole pass; every failure is reported, none stops the run.
// False when the object file refused a write; a statement or object file
// that cannot be opened at all keeps its FATAL ERROR line alone, and true.
bool AssemblerPass2(const char* inFileName, const char* outFileName, const OpcodeTableStructure* table);

// The statement file, read in large blocks, and whether its end was met. A
// failed read ends it as its end would.
struct StatementReader {
    InputFile Input;
    bool AtEnd = false;
};

// False when the file cannot be opened or is a folder.
bool OpenStatementReader(StatementReader& reader, const char* fileName);

// The pass from a statement reader already open, after the statement file
// was found; the same result as AssemblerPass2.
bool AssembleStatements(StatementReader& reader, const char* outFileName, const OpcodeTableStructure* table);

// Reads the next line, without its newline, keeping at most 510 characters;
// true when the line was longer and the rest of it was passed over.
bool ReadStatementLine(StatementReader& reader, char line[_MaxLineLength]);

// Assembles one statement line into objectLine (with its line end); false
// for a line without tokens, which has no object line. The address carries
// over from line to line, as do the token slots beyond the count.
bool AssembleLine(const char* line, char tokens[_MaxTokens][_MaxTokenLength], std::uint32_t& address,
    const OpcodeTableStructure* table, std::string& objectLine);
