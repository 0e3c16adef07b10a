// The symbol list: loaded once from the symbol file, searched by name while
// the statements are encoded, freed at the end of the run.
#pragma once

#include "symbols/SymbolData.h"

struct WordReader;

constexpr int _MaxSymbolNameSize = 256; // a name has at most 255 characters

struct SymbolListNode {
    char Name[_MaxSymbolNameSize];
    int Size; // size class: 1 byte, 2 word
    SymbolData Data;
    SymbolListNode* Next;
};

extern SymbolListNode* SymbolList; // the newest symbol first
extern int SymbolCount;

// Loads every record of the symbol file into the global list.
void ReadSymbolTable(SymbolListNode* head, const char* fileName);
// The same from a reader already opened (or never opened: no record);
// fileName names the file in the log lines.
void ReadSymbolTable(WordReader& reader, const char* fileName);

// Puts a new symbol in front of the list, unless its size class or name is refused.
void Append(const char* name, int size, SymbolData data);

// 1 and the symbol's size class and value when name is a symbol, else 0.
int SymbolExists(const char* name, int& size, SymbolData& data);

// Frees every node from head on; freeing the list that hangs from
// SymbolList leaves SymbolList empty. SymbolCount keeps its number.
void CleanSymbolList(SymbolListNode* head);
