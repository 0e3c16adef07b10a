// The words of the source language that are not symbols: directives,
// register names, and the operation kind of each line.
#include "pass1/Program.h"

#include <cstring>
#include <unordered_map>

#include "driver/RunLog.h"
#include "pass1/Expression.h"
#include "pass2/EncodingRules.h"

namespace {

struct DirectiveName {
    const char* Name;
    LineKind Kind;
    // A reserved directive is the operation wherever it stands first; the
    // others are labels before an operation (PAGE DS 1), as older sources
    // use them so.
    bool Reserved;
};

// Every directive may be written with a leading dot (.org, .DB); the words
// with a dot here exist only so.
const DirectiveName Directives[] = {
    {"ORG", LineKind::Org, true},
    {"EQU", LineKind::Equ, true},
    {"SET", LineKind::Set, true},
    {"=", LineKind::Set, true},
    {"DB", LineKind::Db, true},
    {"DW", LineKind::Dw, true},
    {"DS", LineKind::Ds, true},
    {"END", LineKind::End, true},
    // The names of Zilog-style and the cross assemblers' sources.
    {"DEFB", LineKind::Db, true},
    {"DEFM", LineKind::Db, true},
    {"DEFW", LineKind::Dw, true},
    {"DEFS", LineKind::Ds, true},
    {"DEFL", LineKind::Set, true},
    {".BYTE", LineKind::Db, true},
    {".B", LineKind::Db, true},
    {".TEXT", LineKind::Db, true},
    {".ASCII", LineKind::Db, true},
    {".ASCIZ", LineKind::Asciz, true},
    {".WORD", LineKind::Dw, true},
    {".W", LineKind::Dw, true},
    {".BLOCK", LineKind::Ds, true},
    {".FILL", LineKind::Fill, true},
    {"CPU", LineKind::Cpu, false},
    {".8080", LineKind::Cpu, true},
    {".8085", LineKind::Cpu, true},
    // Code is always absolute here, and every notation of numbers is always read.
    {"ASEG", LineKind::Listing, false},
    {"RELAXED", LineKind::Listing, false},
    // Listing and output controls of other assemblers change nothing in the code.
    {"TITLE", LineKind::Listing, false},
    {"SUBTTL", LineKind::Listing, false},
    {"PAGE", LineKind::Listing, false},
    {"EJECT", LineKind::Listing, false},
    {"LIST", LineKind::Listing, false},
    {"NOLIST", LineKind::Listing, false},
    {".XLIST", LineKind::Listing, true},
    {".LALL", LineKind::Listing, true},
    {".SALL", LineKind::Listing, true},
    {".XALL", LineKind::Listing, true},
    {".CREF", LineKind::Listing, true},
    {".XCREF", LineKind::Listing, true},
    {".LFCOND", LineKind::Listing, true},
    {".SFCOND", LineKind::Listing, true},
    {".TFCOND", LineKind::Listing, true},
    {".CODES", LineKind::Listing, true},
    {".NOCODES", LineKind::Listing, true},
    {".MODULE", LineKind::Listing, true},
    {".PROJECT", LineKind::Listing, true},
    {".TAPE", LineKind::Listing, true},
    // The relocating assemblers' sections and linkage.
    {"CSEG", LineKind::Relocatable, false},
    {"DSEG", LineKind::Relocatable, false},
    {"COMMON", LineKind::Relocatable, false},
    {"PUBLIC", LineKind::Relocatable, false},
    {"ENTRY", LineKind::Relocatable, false},
    {"GLOBAL", LineKind::Relocatable, false},
    {"EXTRN", LineKind::Relocatable, false},
    {"EXT", LineKind::Relocatable, false},
    {"EXTERNAL", LineKind::Relocatable, false},
    {"NAME", LineKind::Relocatable, false},
    {".PHASE", LineKind::Relocatable, true},
    {".DEPHASE", LineKind::Relocatable, true},
    {".REQUEST", LineKind::Relocatable, true},
    // Known so that their lines are reported as the directives they are.
    {"IF", LineKind::Unsupported, false},
    {"IFDEF", LineKind::Unsupported, false},
    {"IFNDEF", LineKind::Unsupported, false},
    {"ELSE", LineKind::Unsupported, false},
    {"ENDIF", LineKind::Unsupported, false},
    {"MACRO", LineKind::Unsupported, false},
    {"ENDM", LineKind::Unsupported, false},
    {"EXITM", LineKind::Unsupported, false},
    {"LOCAL", LineKind::Unsupported, false},
    {"REPT", LineKind::Unsupported, false},
    {"IRP", LineKind::Unsupported, false},
    {"IRPC", LineKind::Unsupported, false},
    {"INCLUDE", LineKind::Unsupported, false},
    {"MACLIB", LineKind::Unsupported, false},
};

// The directive a word names, with or without a leading dot; null for none.
// Every line asks, so the names are indexed once.
const DirectiveName* FindDirective(const std::string& word)
{
    static const std::unordered_map<std::string, const DirectiveName*> index = [] {
        std::unordered_map<std::string, const DirectiveName*> names;
        for (const DirectiveName& directive : Directives) {
            names.emplace(directive.Name, &directive);
            if (directive.Name[0] != '.')
                names.emplace(std::string(".") + directive.Name, &directive);
        }
        return names;
    }();
    auto found = index.find(word);
    return found == index.end() ? nullptr : found->second;
}

} // namespace

void ReportError(Program& program, ProgramLine& line, const std::string& message)
{
    LogStream << "*****ERROR: line " << line.LineNumber << ": " << message << std::endl;
    program.Diagnostics.push_back(Diagnostic{line.LineNumber, false, message});
    line.Failed = true;
}

void ReportWarning(Program& program, const ProgramLine& line, const std::string& message)
{
    LogStream << "*****WARNING: line " << line.LineNumber << ": " << message << std::endl;
    program.Diagnostics.push_back(Diagnostic{line.LineNumber, true, message});
}

LineKind OperationKind(const Program& program, const std::string& operation, int& rule)
{
    rule = -1;
    if (const DirectiveName* directive = FindDirective(operation))
        return directive->Kind;
    // Rows beyond the 80 encoding rules have no encoding in the second pass.
    int index = operation.size() < sizeof(OpcodeTableStructure::Mnemonic)
        ? CheckMnemonic(operation.c_str(), program.Table)
        : -1;
    if (index < 0 || index >= _RuleCount)
        return LineKind::Unknown;
    rule = index;
    return LineKind::Instruction;
}

void CollectOperationNames(Program& program)
{
    for (const DirectiveName& directive : Directives) {
        program.Operations.emplace(directive.Name, directive.Reserved);
        if (directive.Name[0] != '.')
            program.Operations.emplace(std::string(".") + directive.Name, true);
    }
    for (int i = 0; i < _OpcodeCount && i < _RuleCount; i++) {
        if (program.Table[i].Mnemonic[0] != '\0')
            program.Operations.emplace(program.Table[i].Mnemonic, true);
    }
}

const char* ReservedNameKind(const Program& program, const std::string& name)
{
    if (IsRegisterName(name))
        return "a register name";
    if (IsOperatorWord(name))
        return "an operator";
    int rule = -1;
    if (OperationKind(program, name, rule) == LineKind::Instruction)
        return "a mnemonic";
    const DirectiveName* directive = FindDirective(name);
    if (directive != nullptr && directive->Reserved)
        return "a directive";
    return nullptr;
}
