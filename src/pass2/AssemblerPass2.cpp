// The statement loop, the object file, DB and DW, and the dispatch of every
// other statement to its encoding rule by mnemonic index.
#include "pass2/AssemblerPass2.h"

#include <iostream>
#include <vector>

#include "driver/LineFile.h"
#include "driver/RunLog.h"
#include "pass2/EncodingRules.h"
#include "pass2/ObjectLine.h"
#include "symbols/NumericLiteral.h"

namespace {

const int MaxLineText = _MaxLineLength - 2;
const std::size_t ReadBlockSize = 1 << 16;

// DB writes each item's low byte, DW its low then high byte; items are
// converted as literals, never looked up as symbols.
void WriteDataItems(const char tokens[_MaxTokens][_MaxTokenLength], int count, int bytesPerItem, std::string& line)
{
    for (int i = 2; i < count; i++) {
        int size = 0;
        unsigned bits = SymbolBits(Str2SymbolData(tokens[i], size));
        WriteDataByteField(line, bits & 0xFFu);
        if (bytesPerItem == 2)
            WriteDataByteField(line, bits >> 8);
    }
}

// Looks the mnemonic up and runs its rule; an unknown name, or a row beyond
// the rules, still gets its closing mark.
void AssembleInstruction(
    const char tokens[_MaxTokens][_MaxTokenLength], int count, const OpcodeTableStructure* table, std::string& line)
{
    int index = CheckMnemonic(tokens[1], table);
    if (static_cast<unsigned>(index) > 79u) {
        LogStream << "Error: Unidentified Mnemonic " << tokens[1] << std::endl;
        WriteClosingMark(line);
        return;
    }
    LogStream << "Identified " << table[index].Mnemonic << std::endl;
    if (ApplyEncodingRule(index, table[index].Mnemonic, tokens, count, line))
        WriteClosingMark(line);
}

void AssembleStatement(
    const char tokens[_MaxTokens][_MaxTokenLength], int count, const OpcodeTableStructure* table, std::string& line)
{
    // The slot of the mnemonic still holds an earlier line's token: never use it.
    if (count < 2) {
        LogStream << "Parse Error: No Mnemonic follows the Address" << std::endl;
        return;
    }
    LogStream << "Assembling " << tokens[1] << std::endl;
    if (IsDB(tokens[1])) {
        LogStream << "Identified DB" << std::endl;
        WriteDataItems(tokens, count, 1, line);
    } else if (IsDW(tokens[1])) {
        LogStream << "Identified DW" << std::endl;
        WriteDataItems(tokens, count, 2, line);
    } else {
        AssembleInstruction(tokens, count, table, line);
    }
}

} // namespace

bool OpenStatementReader(StatementReader& reader, const char* fileName)
{
    reader.AtEnd = false;
    return OpenInputFile(reader.Input, fileName);
}

bool ReadStatementLine(StatementReader& reader, char line[_MaxLineLength])
{
    int length = 0;
    bool cut = false;
    std::streambuf* buffer = reader.Input.Source;
    // One guard for the whole line keeps the loop as tight as a bare one; a
    // failed read keeps the part of the line read before it, as the end would.
    try {
        for (;;) {
            int c = buffer == nullptr ? std::char_traits<char>::eof() : buffer->sbumpc();
            if (c == std::char_traits<char>::eof()) {
                reader.AtEnd = true;
                break;
            }
            if (c == '\n')
                break;
            if (length < MaxLineText)
                line[length++] = static_cast<char>(c);
            else
                cut = true;
        }
    } catch (...) {
        StopFailedInput(reader.Input);
        reader.AtEnd = true;
    }
    line[length] = '\0';
    return cut;
}

bool AssembleLine(const char* line, char tokens[_MaxTokens][_MaxTokenLength], std::uint32_t& address,
    const OpcodeTableStructure* table, std::string& objectLine)
{
    int count = Tokenize(line, tokens);
    LogStream << "Tokenized to " << count << " Tokens" << std::endl;
    if (count == 0)
        return false;
    objectLine.clear();
    ScanDecimal(tokens[0], address); // a token that is no number keeps the last address
    WriteAddressField(objectLine, address);
    LogStream << "Address is " << FormatAddress(address) << std::endl;
    AssembleStatement(tokens, count, table, objectLine);
    objectLine += '\n';
    return true;
}

bool AssemblerPass2(const char* inFileName, const char* outFileName, const OpcodeTableStructure* table)
{
    std::vector<char> block(ReadBlockSize); // outlives the reader that reads through it
    StatementReader reader;
    reader.Input.File.pubsetbuf(block.data(), static_cast<std::streamsize>(block.size()));
    if (!OpenStatementReader(reader, inFileName)) {
        std::cout << "FATAL ERROR: Unable to open " << inFileName << std::endl;
        return true;
    }
    return AssembleStatements(reader, outFileName, table);
}

bool AssembleStatements(StatementReader& reader, const char* outFileName, const OpcodeTableStructure* table)
{
    LineFile out;
    if (!OpenLineFile(out, outFileName)) {
        std::cout << "FATAL ERROR: Unable to open " << outFileName << std::endl;
        CloseInputFile(reader.Input);
        return true;
    }
    LogStream << "I/O File Ready" << std::endl;
    static const char Header[] = "#Everything is Hexadecimal\n";
    WriteNamedLineFile(out, outFileName, Header, sizeof Header - 1); // each object line is one write

    char line[_MaxLineLength];
    char tokens[_MaxTokens][_MaxTokenLength] = {};
    std::uint32_t address = 0;
    std::string objectLine;
    while (!reader.AtEnd) {
        bool cut = ReadStatementLine(reader, line);
        LogStream << "-----------" << std::endl;
        LogStream << "Read one line from InFile : " << line << std::endl;
        if (cut)
            LogStream << "Error: Line longer than " << MaxLineText << " characters, the rest of it is ignored"
                      << std::endl;
        if (AssembleLine(line, tokens, address, table, objectLine))
            WriteNamedLineFile(out, outFileName, objectLine.data(), objectLine.size());
    }
    LogStream << "End of Input File reached." << std::endl;
    const bool whole = CloseNamedLineFile(out, outFileName);
    CloseInputFile(reader.Input);
    return whole;
}
