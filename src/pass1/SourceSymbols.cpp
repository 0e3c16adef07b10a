// The labels and constants of the source, in order of definition, with an
// index by name.
#include "pass1/SourceSymbols.h"

#include "symbols/NumericLiteral.h"

SourceSymbol* FindSourceSymbol(SourceSymbols& symbols, const std::string& name)
{
    auto found = symbols.Index.find(name);
    return found == symbols.Index.end() ? nullptr : &symbols.List[found->second];
}

const SourceSymbol* FindSourceSymbol(const SourceSymbols& symbols, const std::string& name)
{
    auto found = symbols.Index.find(name);
    return found == symbols.Index.end() ? nullptr : &symbols.List[found->second];
}

SourceSymbol& AddSourceSymbol(SourceSymbols& symbols, const SourceSymbol& symbol)
{
    symbols.Index.emplace(symbol.Name, symbols.List.size());
    symbols.List.push_back(symbol);
    return symbols.List.back();
}

int SymbolSizeClass(const SourceSymbol& symbol)
{
    if (symbol.Kind == SymbolKind::Label)
        return WordSizeClass;
    return symbol.Value <= 0xFFu ? ByteSizeClass : WordSizeClass;
}
