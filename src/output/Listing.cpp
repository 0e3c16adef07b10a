// The listing: each source line with its address and bytes, the symbol
// table by name and a summary, in columns that read well in a terminal.
#include "output/Formats.h"

#include <algorithm>
#include <cstdio>

namespace {

// Line number, address, four bytes: 24 columns, so tabs in the source text
// keep the alignment they had in the source.
const int BytesPerLine = 4;
const char ListingHeader[] = " Line Addr  Object      Source";
const char SymbolsTitle[] = "Symbols";
const char NoSymbols[] = "(none)";
const char SummaryTitle[] = "Summary";
const char NoAddress[] = "none";

void AppendLineNumber(std::string& text, int lineNumber)
{
    char number[16];
    std::snprintf(number, sizeof number, "%5d", lineNumber);
    text += number;
}

// The columns before the source text: line number (blank on continuation
// lines), address, then the bytes or a directive's value.
void AppendColumns(
    std::string& text, bool hasLineNumber, int lineNumber, bool hasAddress, unsigned address, const std::string& object)
{
    if (hasLineNumber)
        AppendLineNumber(text, lineNumber);
    else
        text += "     ";
    text += ' ';
    if (hasAddress)
        AppendHexDigits(text, address, 4);
    else
        text += "    ";
    text += "  ";
    text += object;
    text.append(static_cast<std::size_t>(3 * BytesPerLine) - std::min<std::size_t>(object.size(), 12), ' ');
}

void EndLine(std::string& text)
{
    while (!text.empty() && (text.back() == ' '))
        text.pop_back();
    text += '\n';
}

std::string ObjectBytes(const ByteImage& image, unsigned address, int count)
{
    std::string object;
    for (int i = 0; i < count; ++i) {
        AppendHexDigits(object, image.Bytes[(address + static_cast<unsigned>(i)) & 0xFFFFu], 2);
        object += ' ';
    }
    return object;
}

void AppendSourceLine(std::string& text, const ListedLine& line, const ByteImage& image)
{
    std::string object;
    int first = std::min(line.ByteCount, BytesPerLine);
    if (line.ByteCount > 0)
        object = ObjectBytes(image, line.Address, first);
    else if (line.HasValue) {
        object = "=";
        AppendHexDigits(object, line.Value, 4);
    }
    AppendColumns(text, true, line.LineNumber, line.HasAddress, line.Address, object);
    text += line.Text;
    EndLine(text);
    // A longer DB or DW goes on below, four bytes a line.
    for (int done = first; done < line.ByteCount; done += BytesPerLine) {
        unsigned address = (line.Address + static_cast<unsigned>(done)) & 0xFFFFu;
        AppendColumns(
            text, false, 0, true, address, ObjectBytes(image, address, std::min(BytesPerLine, line.ByteCount - done)));
        EndLine(text);
    }
}

void AppendSymbols(std::string& text, const std::vector<DefinedSymbol>& symbols)
{
    text += '\n';
    text += SymbolsTitle;
    text += '\n';
    if (symbols.empty()) {
        text += NoSymbols;
        text += '\n';
        return;
    }
    std::vector<const DefinedSymbol*> sorted;
    std::size_t width = 4;
    for (const DefinedSymbol& symbol : symbols) {
        sorted.push_back(&symbol);
        width = std::max(width, symbol.Name.size());
    }
    std::sort(
        sorted.begin(), sorted.end(), [](const DefinedSymbol* a, const DefinedSymbol* b) { return a->Name < b->Name; });
    text += "Name";
    text.append(width - 4, ' ');
    text += "  Value   Line\n";
    for (const DefinedSymbol* symbol : sorted) {
        text += symbol->Name;
        text.append(width - symbol->Name.size(), ' ');
        text += "  ";
        text += FormatHexWord(symbol->Value);
        text += "  ";
        AppendLineNumber(text, symbol->LineNumber);
        text += '\n';
    }
}

void AppendSummaryRow(std::string& text, const char* label, const std::string& value)
{
    text += label;
    text.append(17 - std::min<std::size_t>(17, std::char_traits<char>::length(label)), ' ');
    text += value;
    text += '\n';
}

void AppendSummary(std::string& text, const ByteImage& image, bool hasStartAddress, std::uint16_t startAddress)
{
    bool any = image.ByteCount > 0;
    text += '\n';
    text += SummaryTitle;
    text += '\n';
    AppendSummaryRow(text, "Bytes", std::to_string(image.ByteCount));
    AppendSummaryRow(text, "Lowest address", any ? FormatHexWord(image.Lowest) : NoAddress);
    AppendSummaryRow(text, "Highest address", any ? FormatHexWord(image.Highest) : NoAddress);
    AppendSummaryRow(text, "Start address", hasStartAddress ? FormatHexWord(startAddress) : NoAddress);
}

} // namespace

std::string FormatListing(const std::vector<ListedLine>& lines, const std::vector<DefinedSymbol>& symbols,
    const ByteImage& image, bool hasStartAddress, std::uint16_t startAddress)
{
    std::string text = ListingHeader;
    text += '\n';
    for (const ListedLine& line : lines)
        AppendSourceLine(text, line, image);
    AppendSymbols(text, symbols);
    AppendSummary(text, image, hasStartAddress, startAddress);
    return text;
}
