// The run of the first pass: read the opcode table and the source, lay it
// out, write the two files, report every message in line order.
#include "pass1/Pass1.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "driver/RunLog.h"
#include "pass1/LineSource.h"
#include "pass1/Program.h"
#include "pass1/SourceLine.h"
#include "pass2/EncodingRules.h"

namespace {

std::string ErrorText()
{
    return errno != 0 ? std::strerror(errno) : "unknown error";
}

// True when the file opens and its first byte can be read (or it is empty);
// a directory opens but cannot be read.
bool CanRead(const std::string& path, std::string& reason)
{
    errno = 0;
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) {
        reason = ErrorText();
        return false;
    }
    std::fgetc(in);
    bool failed = std::ferror(in) != 0;
    reason = ErrorText();
    std::fclose(in);
    return !failed;
}

// The table must name mnemonics and give each the length its rule encodes.
bool CheckOpcodeTable(const Pass1Paths& paths, const OpcodeTableStructure* table, std::ostream& errors)
{
    if (table == nullptr || _OpcodeCount == 0) {
        errors << paths.ProgramName << ": error: " << OpcodeTableEmptyMessage(paths.OpcodeTable) << "\n";
        return false;
    }
    for (int i = 0; i < _OpcodeCount && i < _RuleCount; i++) {
        int encoded = EncodedSizeOfShape(GetEncodingRule(i).Operands);
        if (table[i].Mnemonic[0] != '\0' && table[i].Size != encoded) {
            errors << paths.ProgramName
                   << ": error: " << OpcodeSizeMessage(paths.OpcodeTable, table[i].Mnemonic, table[i].Size, encoded)
                   << "\n";
            return false;
        }
    }
    return true;
}

bool WriteFileText(const std::string& path, const std::string& text)
{
    errno = 0;
    std::ofstream out(path, std::ios::out | std::ios::binary | std::ios::trunc);
    if (!out.is_open())
        return false;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return !out.fail();
}

// Both files go to temporary names first and are renamed into place only
// when both are complete; on a failure the temporary files go here, and
// RunPass1 removes whatever stands under the final names.
bool WriteOutputs(
    const Pass1Paths& paths, const std::string& statements, const std::string& symbols, std::ostream& errors)
{
    const std::string statementsTemp = paths.Statements + ".tmp";
    const std::string symbolsTemp = paths.Symbols + ".tmp";
    std::string failed;
    if (!WriteFileText(statementsTemp, statements))
        failed = paths.Statements;
    else if (!WriteFileText(symbolsTemp, symbols))
        failed = paths.Symbols;
    else if (std::rename(statementsTemp.c_str(), paths.Statements.c_str()) != 0)
        failed = paths.Statements;
    else if (std::rename(symbolsTemp.c_str(), paths.Symbols.c_str()) != 0)
        failed = paths.Symbols;
    if (failed.empty())
        return true;
    std::string reason = ErrorText();
    std::remove(statementsTemp.c_str());
    std::remove(symbolsTemp.c_str());
    errors << paths.ProgramName << ": error: " << CannotWriteMessage(failed, reason) << "\n";
    return false;
}

// One listed line per line read or made; the statements of a line with
// several add up their bytes from the address of the first.
void FillResult(const Program& program, LineSource& source, Pass1Result& result)
{
    result.Lines.reserve(source.Texts.size());
    for (std::size_t i = 0; i < source.Texts.size(); i++) {
        const LineOrigin& origin = source.Origins[i];
        ListedLine listed{origin.Line, std::move(source.Texts[i]), false, 0, 0, false, 0};
        listed.File = origin.File;
        listed.Expanded = origin.Context >= 0
            && source.Contexts[static_cast<std::size_t>(origin.Context)].Kind == ContextKind::Expansion;
        listed.Skipped = origin.Role == LineRole::Skipped;
        result.Lines.push_back(std::move(listed));
    }
    for (const ProgramLine& line : program.Lines) {
        ListedLine& listed = result.Lines[static_cast<std::size_t>(line.LineNumber - 1)];
        if (line.HasAddress && !listed.HasAddress) {
            listed.HasAddress = true;
            listed.Address = static_cast<std::uint16_t>(line.Address & 0xFFFFu);
        }
        if (line.HasValue && !listed.HasValue) {
            listed.HasValue = true;
            listed.Value = line.Value;
        }
        listed.ByteCount += line.ByteCount;
    }
    for (const SourceSymbol& symbol : program.Symbols.List)
        result.Symbols.push_back(DefinedSymbol{symbol.Name, symbol.Value,
            source.Origins[static_cast<std::size_t>(symbol.LineNumber - 1)].Line, symbol.Kind == SymbolKind::Label});
    result.Files = source.Files;
    result.HasStartAddress = program.HasStartAddress;
    result.StartAddress = program.StartAddress;
}

// Messages in line order; those of one line in the order they were found.
// Each names its file and line, and the includes and calls that led there.
void PrintDiagnostics(const LineSource& source, std::vector<Diagnostic>& diagnostics, Pass1Result& result,
    std::ostream& errors)
{
    std::stable_sort(diagnostics.begin(), diagnostics.end(),
        [](const Diagnostic& a, const Diagnostic& b) { return a.LineNumber < b.LineNumber; });
    for (const Diagnostic& diagnostic : diagnostics) {
        errors << LinePlace(source, diagnostic.LineNumber) << ": " << (diagnostic.IsWarning ? "warning: " : "error: ")
               << diagnostic.Message << LineChain(source, diagnostic.LineNumber) << "\n";
        if (diagnostic.IsWarning)
            result.WarningCount++;
        else
            result.ErrorCount++;
        result.Messages.push_back(ListedMessage{diagnostic.LineNumber, diagnostic.IsWarning, diagnostic.Message});
    }
}

int RunWithTable(const Pass1Paths& paths, const OpcodeTableStructure* table, Pass1Result& result, std::ostream& errors)
{
    if (!CheckOpcodeTable(paths, table, errors))
        return 2;
    Program program;
    program.SourcePath = paths.Source;
    program.Table = table;
    CollectOperationNames(program);
    LineSource source;
    source.FileSystem = paths.FileSystem != nullptr ? paths.FileSystem : &DiskFileSystem();
    source.IncludeDirectories = paths.IncludeDirectories;
    source.Operations = &program.Operations;
    source.Diagnostics = &program.Diagnostics;
    if (paths.MaxExpandedLines > 0)
        source.Bounds.ExpandedLines = paths.MaxExpandedLines;
    std::string reason;
    if (!OpenLineSource(source, paths.Source, reason)) {
        errors << paths.ProgramName << ": error: " << CannotReadMessage(paths.Source, reason) << "\n";
        return 2;
    }
    LogStream << std::endl
              << "Starting with Pass 1 on " << paths.Source << " Output to " << paths.Statements << " and "
              << paths.Symbols << std::endl;
    LayOutProgram(program, source);
    LogStream << "End of Input File reached." << std::endl;
    LogStream << std::endl << "Writing Statements and Symbols" << std::endl;
    std::string statements;
    std::string symbols;
    WriteProgram(program, statements, symbols);

    PrintDiagnostics(source, program.Diagnostics, result, errors);
    FillResult(program, source, result);
    if (result.ErrorCount > 0) {
        LogStream << result.ErrorCount << " Errors, no output written" << std::endl;
        return 1;
    }
    if (!WriteOutputs(paths, statements, symbols, errors))
        return 2;
    LogStream << "Pass 1 completed" << std::endl;
    return 0;
}

} // namespace

int RunPass1(const Pass1Paths& paths, Pass1Result& result, std::ostream& errors)
{
    result = Pass1Result{};
    if (!paths.RunLog.empty())
        OpenRunLog(paths.RunLog.c_str()); // a log that cannot be opened is lost, as in the second pass
    else
        CloseRunLog();
    LogStream << std::endl << "Reading Opcodes Table" << std::endl;
    int status = 2;
    std::string reason;
    if (!CanRead(paths.OpcodeTable, reason)) {
        errors << paths.ProgramName << ": error: " << CannotReadMessage(paths.OpcodeTable, reason) << "\n";
    } else {
        OpcodeTableStructure* table = ReadOpcodeTable(paths.OpcodeTable.c_str());
        status = RunWithTable(paths, table, result, errors);
        delete[] table;
        _OpcodeCount = 0;
    }
    if (status != 0) {
        // A failed run leaves no statement or symbol file that could pass for its output.
        std::remove(paths.Statements.c_str());
        std::remove(paths.Symbols.c_str());
    }
    CloseRunLog();
    return status;
}
