// The labels and constants of the source, in order of definition, with an
// index by name.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

enum class SymbolKind {
    Label,    // an address
    Constant, // EQU
    Variable, // SET: may be set again
};

struct SourceSymbol {
    std::string Name; // upper case
    SymbolKind Kind;
    std::uint16_t Value;
    bool Known; // false while an EQU or SET waits for a later label
    int LineNumber;
};

struct SourceSymbols {
    std::vector<SourceSymbol> List;
    std::unordered_map<std::string, std::size_t> Index;
};

// The symbol named name, or null.
SourceSymbol* FindSourceSymbol(SourceSymbols& symbols, const std::string& name);
const SourceSymbol* FindSourceSymbol(const SourceSymbols& symbols, const std::string& name);

// Adds a symbol that is not yet there; returns it.
SourceSymbol& AddSourceSymbol(SourceSymbols& symbols, const SourceSymbol& symbol);

// The size class the second pass gives the symbol: 2 for a label, and for a
// constant 1 when its value is at most 255, else 2.
int SymbolSizeClass(const SourceSymbol& symbol);
