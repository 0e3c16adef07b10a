// The opcode table: which mnemonics exist, and by their row which encoding
// rule each one selects.
#pragma once

struct WordReader;

struct OpcodeTableStructure {
    char Mnemonic[12]; // at most 11 characters and the terminator
    int Size;          // the instruction length in bytes
};

// The number of rows of the table read last; 0 until a table is read.
extern int _OpcodeCount;

// No table holds more rows than this; a larger count leaves the table empty.
constexpr int _MaxOpcodeCount = 4096;

// Reads the opcode table file; the caller owns the array (delete[]).
OpcodeTableStructure* ReadOpcodeTable(const char* fileName);
// The same from a reader already opened (or never opened: an empty table).
OpcodeTableStructure* ReadOpcodeTable(WordReader& reader);

// The index of the first row named mnemonic, or -1.
int CheckMnemonic(const char* mnemonic, const OpcodeTableStructure* table);

// The size of the first row named mnemonic, or -1 after a log message.
int GetInstructionSize(const OpcodeTableStructure* table, const char* mnemonic);
