// The words of the source language that are not symbols: directives,
// register names, and the operation kind of each line.
#include "pass1/Program.h"

#include <cstring>

#include "driver/RunLog.h"
#include "pass1/Expression.h"
#include "pass2/EncodingRules.h"

namespace {

struct DirectiveName {
    const char* Name;
    LineKind Kind;
};

const DirectiveName Directives[] = {
    {"ORG", LineKind::Org},
    {"EQU", LineKind::Equ},
    {"SET", LineKind::Set},
    {"DB", LineKind::Db},
    {"DW", LineKind::Dw},
    {"DS", LineKind::Ds},
    {"END", LineKind::End},
    // Listing controls of Intel-style assemblers change nothing in the code.
    {"TITLE", LineKind::Listing},
    {"SUBTTL", LineKind::Listing},
    {"PAGE", LineKind::Listing},
    {"EJECT", LineKind::Listing},
    // Known so that their lines are reported as the directives they are.
    {"IF", LineKind::Unsupported},
    {"IFDEF", LineKind::Unsupported},
    {"IFNDEF", LineKind::Unsupported},
    {"ELSE", LineKind::Unsupported},
    {"ENDIF", LineKind::Unsupported},
    {"MACRO", LineKind::Unsupported},
    {"ENDM", LineKind::Unsupported},
    {"EXITM", LineKind::Unsupported},
    {"LOCAL", LineKind::Unsupported},
    {"REPT", LineKind::Unsupported},
    {"IRP", LineKind::Unsupported},
    {"IRPC", LineKind::Unsupported},
    {"INCLUDE", LineKind::Unsupported},
    {"MACLIB", LineKind::Unsupported},
};

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
    for (const DirectiveName& directive : Directives) {
        if (operation == directive.Name)
            return directive.Kind;
    }
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
    for (const DirectiveName& directive : Directives)
        program.Operations.emplace(
            directive.Name, directive.Kind != LineKind::Listing && directive.Kind != LineKind::Unsupported);
    for (int i = 0; i < _OpcodeCount && i < _RuleCount; i++) {
        if (program.Table[i].Mnemonic[0] != '\0')
            program.Operations.emplace(program.Table[i].Mnemonic, true);
    }
}

const char* ReservedNameKind(const Program& program, const std::string& name)
{
    if (IsRegisterName(name))
        return "a register name";
    int rule = -1;
    switch (OperationKind(program, name, rule)) {
    case LineKind::Instruction:
        return "a mnemonic";
    case LineKind::Unknown:
    case LineKind::Listing:
    case LineKind::Unsupported: // not this assembler's words: free for labels
        break;
    default:
        return "a directive";
    }
    if (IsOperatorWord(name))
        return "an operator";
    return nullptr;
}
