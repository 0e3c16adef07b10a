// The program's names for the simulator: gathered from the first pass or a
// symbol file, evaluated with the first pass's own expression evaluator, and
// the nearest label of an address.
#include "simulator/Symbols.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "output/ByteImage.h"
#include "pass1/Expression.h"

namespace {

void AddSymbol(ProgramSymbols& symbols, const std::string& name, std::uint16_t value, bool label, int line)
{
    if (FindSourceSymbol(symbols.Table, name) != nullptr)
        return;
    AddSourceSymbol(symbols.Table,
        SourceSymbol{name, label ? SymbolKind::Label : SymbolKind::Constant, value, true, line});
}

// The first label of Labels with a value of at least address.
std::vector<std::size_t>::const_iterator FirstLabelFrom(const ProgramSymbols& symbols, std::uint16_t address)
{
    return std::lower_bound(symbols.Labels.begin(), symbols.Labels.end(), address,
        [&symbols](std::size_t index, std::uint16_t value) { return symbols.Table.List[index].Value < value; });
}

} // namespace

void IndexLabels(ProgramSymbols& symbols)
{
    symbols.Labels.clear();
    for (std::size_t i = 0; i < symbols.Table.List.size(); i++) {
        if (symbols.Table.List[i].Kind == SymbolKind::Label)
            symbols.Labels.push_back(i);
    }
    // By value; names of one address in order of definition.
    std::stable_sort(symbols.Labels.begin(), symbols.Labels.end(), [&symbols](std::size_t a, std::size_t b) {
        return symbols.Table.List[a].Value < symbols.Table.List[b].Value;
    });
}

void CollectSourceSymbols(const Pass1Result& pass1, ProgramSymbols& symbols)
{
    symbols = ProgramSymbols();
    for (const DefinedSymbol& symbol : pass1.Symbols)
        AddSymbol(symbols, symbol.Name, symbol.Value, symbol.IsLabel, symbol.LineNumber);
    IndexLabels(symbols);
}

void CollectSourceLines(const std::string& path, const Pass1Result& pass1, ProgramSource& source)
{
    source.Path = path;
    source.Lines.clear();
    source.Places.clear();
    source.LineOf.assign(0x10000, 0);
    for (const ListedLine& line : pass1.Lines) {
        // The line within its own file, as messages and the listing name it.
        std::string place;
        std::size_t file = static_cast<std::size_t>(line.File);
        if (file > 0 && file < pass1.Files.size())
            place.append(pass1.Files[file]).append(":");
        place += std::to_string(line.LineNumber);
        if (line.Expanded)
            place += "+";
        source.Lines.push_back(line.Text);
        source.Places.push_back(place);
        int position = static_cast<int>(source.Lines.size());
        for (int i = 0; line.HasAddress && i < line.ByteCount && i < 0x10000; i++)
            source.LineOf[static_cast<std::uint16_t>(line.Address + i)] = position;
    }
}

bool ReadSymbolFile(const std::string& path, ProgramSymbols& symbols)
{
    symbols = ProgramSymbols();
    std::string text;
    if (ReadFileText(path, text) != FileTextRead)
        return false;
    std::istringstream lines(text);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        number++;
        std::istringstream fields(line);
        std::string name, rest;
        long size = 0, value = 0;
        if (!(fields >> name))
            continue;
        if (!(fields >> size >> value) || (fields >> rest) || (size != 1 && size != 2) || value < 0 || value > 0xFFFF) {
            symbols = ProgramSymbols();
            return false;
        }
        for (char& c : name)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        AddSymbol(symbols, name, static_cast<std::uint16_t>(value), size == 2, number);
    }
    IndexLabels(symbols);
    return true;
}

bool EvaluateSymbolic(
    const std::string& text, const ProgramSymbols& symbols, std::uint16_t here, std::uint16_t& value, std::string& message)
{
    ExpressionValue result = EvaluateExpression(text, symbols.Table, here);
    if (result.Status == ValueStatus::Known) {
        value = result.Value;
        return true;
    }
    message = result.Status == ValueStatus::Unknown ? "unknown name '" + result.Name + "'" : result.Message;
    return false;
}

bool EvaluateRange(const std::string& text, const ProgramSymbols& symbols, std::uint16_t here, std::uint16_t& first,
    std::uint16_t& last, std::string& message)
{
    for (std::size_t dash = text.find('-'); dash != std::string::npos; dash = text.find('-', dash + 1)) {
        std::string ignored;
        if (EvaluateSymbolic(text.substr(0, dash), symbols, here, first, ignored)
            && EvaluateSymbolic(text.substr(dash + 1), symbols, here, last, ignored)) {
            if (last >= first)
                return true;
            message = "the range ends below its start";
            return false;
        }
    }
    if (!EvaluateSymbolic(text, symbols, here, first, message))
        return false;
    last = first;
    return true;
}

void FindLabelRange(const ProgramSymbols& symbols, std::uint16_t address, std::size_t& first, std::size_t& last)
{
    auto from = FirstLabelFrom(symbols, address);
    auto to = std::upper_bound(from, symbols.Labels.end(), address,
        [&symbols](std::uint16_t value, std::size_t index) { return value < symbols.Table.List[index].Value; });
    first = static_cast<std::size_t>(from - symbols.Labels.begin());
    last = static_cast<std::size_t>(to - symbols.Labels.begin());
}

const SourceSymbol* FindLabelAt(const ProgramSymbols& symbols, std::uint16_t address)
{
    auto found = FirstLabelFrom(symbols, address);
    if (found == symbols.Labels.end() || symbols.Table.List[*found].Value != address)
        return nullptr;
    return &symbols.Table.List[*found];
}

std::string NameAddress(const ProgramSymbols& symbols, std::uint16_t address)
{
    auto found = std::upper_bound(symbols.Labels.begin(), symbols.Labels.end(), address,
        [&symbols](std::uint16_t value, std::size_t index) { return value < symbols.Table.List[index].Value; });
    if (found == symbols.Labels.begin())
        return "";
    // The last label at or below address; the first defined of its value.
    const SourceSymbol& nearest = symbols.Table.List[*(found - 1)];
    const SourceSymbol* label = FindLabelAt(symbols, nearest.Value);
    unsigned offset = address - nearest.Value;
    if (offset > MaxLabelOffset)
        return "";
    return label->Name + (offset == 0 ? "" : "+" + std::to_string(offset));
}
