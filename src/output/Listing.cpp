// The listing: each source line with its address and bytes, the symbol
// table by name and a summary, in columns that read well in a terminal.
#include "output/Formats.h"

#include <algorithm>
#include <climits>

namespace {

// Line number, address, four bytes: 24 columns, so tabs in the source text
// keep the alignment they had in the source.
const int BytesPerLine = 4;
const char ListingHeader[] = " Line Addr  Object      Source";
const char SymbolsTitle[] = "Symbols";
const char NoSymbols[] = "(none)";
const char SummaryTitle[] = "Summary";
const char NoAddress[] = "none";
const char MessageError[] = "***** error: ";
const char MessageWarning[] = "***** warning: ";
const char FileRowTitle[] = "      File: ";
const char ExpandedMark = '+';
const char SkippedMark = '-';

// "%5d".
void AppendLineNumber(std::string& text, int lineNumber)
{
    char digits[12];
    int length = 0;
    unsigned value = lineNumber < 0 ? 0u : static_cast<unsigned>(lineNumber);
    do {
        digits[length++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (int pad = length; pad < 5; ++pad)
        text += ' ';
    while (length > 0)
        text += digits[--length];
}

// The 24 columns before the source text: line number (0: a continuation
// line, left blank), address, then up to four bytes or a directive's value.
// Filled in place: the listing of a large program has many lines.
struct Columns {
    char Text[24];
};

Columns MakeColumns(int lineNumber, bool hasAddress, unsigned address)
{
    Columns columns;
    std::fill(columns.Text, columns.Text + sizeof columns.Text, ' ');
    for (int at = 4; lineNumber > 0 && at >= 0; --at, lineNumber /= 10)
        columns.Text[at] = static_cast<char>('0' + lineNumber % 10);
    if (hasAddress)
        PutHexDigits(columns.Text + 6, address, 4);
    return columns;
}

void PutBytes(Columns& columns, const ByteImage& image, unsigned address, int count)
{
    for (int i = 0; i < count; ++i)
        PutHexDigits(columns.Text + 12 + 3 * i, image.Bytes[(address + static_cast<unsigned>(i)) & 0xFFFFu], 2);
}

void EndLine(std::string& text)
{
    while (!text.empty() && (text.back() == ' '))
        text.pop_back();
    text += '\n';
}

void AppendSourceLine(std::string& text, const ListedLine& line, const ByteImage& image)
{
    bool wide = line.LineNumber > 99999;
    Columns columns = MakeColumns(wide ? 0 : line.LineNumber, line.HasAddress, line.Address);
    int first = std::min(line.ByteCount, BytesPerLine);
    if (line.Expanded)
        columns.Text[5] = ExpandedMark;
    else if (line.Skipped)
        columns.Text[5] = SkippedMark;
    if (line.ByteCount > 0)
        PutBytes(columns, image, line.Address, first);
    else if (line.HasValue) {
        columns.Text[12] = '=';
        PutHexDigits(columns.Text + 13, line.Value, 4);
    }
    // A line number of more than five digits pushes its row right.
    if (wide)
        AppendLineNumber(text, line.LineNumber);
    text.append(columns.Text + (wide ? 5 : 0), sizeof columns.Text - (wide ? 5 : 0));
    text += line.Text;
    EndLine(text);
    // A longer DB or DW goes on below, four bytes a line.
    for (int done = first; done < line.ByteCount; done += BytesPerLine) {
        unsigned address = (line.Address + static_cast<unsigned>(done)) & 0xFFFFu;
        Columns more = MakeColumns(0, true, address);
        PutBytes(more, image, address, std::min(BytesPerLine, line.ByteCount - done));
        text.append(more.Text, sizeof more.Text);
        EndLine(text);
    }
}

// The messages of lines up to lineNumber (those of lines the listing does
// not show come with the next line it does), where a student looks for them.
void AppendMessages(std::string& text, const std::vector<ListedMessage>& messages, std::size_t& next, int lineNumber)
{
    for (; next < messages.size() && messages[next].LineNumber <= lineNumber; ++next) {
        text += messages[next].IsWarning ? MessageWarning : MessageError;
        text += messages[next].Text;
        text += '\n';
    }
}

void AppendSymbols(std::ostream& out, std::string& text, const std::vector<DefinedSymbol>& symbols)
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
        FlushBlock(out, text, false);
    }
}

void AppendSummaryRow(std::string& text, const char* label, const std::string& value)
{
    const std::size_t LabelWidth = 17;
    text += label;
    text.append(LabelWidth - std::min(LabelWidth, std::char_traits<char>::length(label)), ' ');
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

void WriteListing(std::ostream& out, const std::vector<ListedLine>& lines, const std::vector<DefinedSymbol>& symbols,
    const ByteImage& image, bool hasStartAddress, std::uint16_t startAddress,
    const std::vector<ListedMessage>& messages, const ListingOptions& options)
{
    std::string text = ListingHeader;
    text += '\n';
    std::size_t nextMessage = 0;
    int file = 0;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const ListedLine& line = lines[index];
        if (line.Skipped && !options.ShowSkipped)
            continue;
        if (line.File != file && static_cast<std::size_t>(line.File) < options.Files.size()) {
            file = line.File;
            text += FileRowTitle;
            text += options.Files[static_cast<std::size_t>(file)];
            text += '\n';
        }
        AppendSourceLine(text, line, image);
        AppendMessages(text, messages, nextMessage, static_cast<int>(index + 1));
        FlushBlock(out, text, false);
    }
    AppendMessages(text, messages, nextMessage, INT_MAX);
    AppendSymbols(out, text, symbols);
    AppendSummary(text, image, hasStartAddress, startAddress);
    FlushBlock(out, text, true);
}
