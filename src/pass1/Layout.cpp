// The first sweep: addresses laid out line by line from the opcode table's
// sizes and the directives, labels and constants defined on the way.
#include <cstdio>
#include <set>

#include "driver/RunLog.h"
#include "pass1/Expression.h"
#include "pass1/LineSource.h"
#include "pass1/Program.h"

namespace {

const std::uint32_t MemoryEnd = 0x10000;
const std::size_t MaxNameLength = 63; // the second pass keeps 63 characters of a token

struct LayoutState {
    std::uint32_t Here = 0;
    bool Overflowed = false; // reported once until an ORG sets a new address
    bool Only8080 = false;   // a CPU line chose the 8080: no RIM, no SIM
    std::vector<std::size_t> PendingConstants;
    std::set<std::string> RelocatableReported; // the words refused so far
};

std::string HexWord(std::uint32_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value & 0xFFFFFu));
    return text;
}

void ReportOverflow(Program& program, ProgramLine& line, LayoutState& state)
{
    if (!state.Overflowed)
        ReportError(program, line, AddressOverflowMessage());
    state.Overflowed = true;
}

// Moves the address on by size bytes, stopping at the end of memory.
void Advance(Program& program, ProgramLine& line, LayoutState& state, std::uint32_t size)
{
    if (state.Here + size > MemoryEnd) {
        ReportOverflow(program, line, state);
        state.Here = MemoryEnd;
        return;
    }
    state.Here += size;
}

// "symbol X is already defined on line N", or at the file and line where
// that definition came from an include or an expansion.
std::string DuplicateMessage(const Program& program, const std::string& name, int firstLine)
{
    if (!IsMainFileLine(*program.Source, firstLine))
        return DuplicateSymbolAtMessage(name, LinePlace(*program.Source, firstLine));
    return DuplicateSymbolMessage(name, program.Source->Origins[static_cast<std::size_t>(firstLine - 1)].Line);
}

// A name may be defined when it is short enough and no register or operator;
// one that is also a mnemonic or directive is one with a warning.
bool CheckNewName(Program& program, ProgramLine& line, const std::string& name)
{
    if (name.size() > MaxNameLength) {
        ReportError(program, line, NameTooLongMessage(name));
        return false;
    }
    const char* kind = ReservedNameKind(program, name);
    if (kind == nullptr)
        return true;
    if (IsRegisterName(name) || IsOperatorWord(name)) {
        ReportError(program, line, ReservedLabelMessage(name, kind));
        return false;
    }
    ReportWarning(program, line, ShadowedNameWarning(name, kind));
    return true;
}

void DefineLabel(Program& program, ProgramLine& line, const SourceLine& source, LayoutState& state)
{
    const std::string& name = source.Label;
    line.HasAddress = true;
    line.Address = state.Here;
    if (!CheckNewName(program, line, name))
        return;
    if (const SourceSymbol* first = FindSourceSymbol(program.Symbols, name)) {
        ReportError(program, line, DuplicateMessage(program, name, first->LineNumber));
        return;
    }
    // A label just past the last byte of memory names no byte; like $ there it is 0.
    auto value = static_cast<std::uint16_t>(state.Here & 0xFFFFu);
    AddSourceSymbol(program.Symbols, SourceSymbol{name, SymbolKind::Label, value, true, line.LineNumber});
    LogStream << "Label " << name << " defined as " << HexWord(value) << std::endl;
}

// A line whose bytes (or reserved room) start at the current address, which
// its label names.
void PlaceAtHere(Program& program, ProgramLine& line, const SourceLine& source, LayoutState& state)
{
    if (!source.Label.empty())
        DefineLabel(program, line, source, state);
    line.HasAddress = true;
    line.Address = state.Here;
}

bool CheckOperandCount(Program& program, ProgramLine& line, const SourceLine& source, int wanted)
{
    int found = static_cast<int>(source.Operands.size());
    if (found == wanted)
        return true;
    ReportError(program, line, OperandCountMessage(source.Operation, wanted, found));
    return false;
}

// ORG, DS and the count of .FILL need their value now, from what is defined
// above them.
bool EvaluateNow(Program& program, ProgramLine& line, const SourceLine& source, LayoutState& state,
    std::uint16_t& value, int mostOperands = 1)
{
    int found = static_cast<int>(source.Operands.size());
    if (found == 0 || found > mostOperands) {
        CheckOperandCount(program, line, source, found == 0 ? 1 : mostOperands);
        return false;
    }
    auto here = static_cast<std::uint16_t>(state.Here & 0xFFFFu);
    ExpressionValue result = EvaluateExpression(source.Operands[0], program.Symbols, here);
    if (result.Status == ValueStatus::Failed) {
        ReportError(program, line, result.Message);
        return false;
    }
    if (result.Status == ValueStatus::Unknown) {
        ReportError(program, line, NotYetDefinedMessage(source.Operation, result.Name));
        return false;
    }
    value = result.Value;
    line.HasValue = true;
    line.Value = value;
    return true;
}

void LayOutOrg(Program& program, ProgramLine& line, const SourceLine& source, LayoutState& state)
{
    std::uint16_t value = 0;
    if (EvaluateNow(program, line, source, state, value)) {
        state.Here = value;
        state.Overflowed = false;
        LogStream << "Origin is " << HexWord(value) << std::endl;
    }
    // A label on an ORG line names the new address.
    PlaceAtHere(program, line, source, state);
}

void LayOutDs(Program& program, ProgramLine& line, const SourceLine& source, LayoutState& state)
{
    PlaceAtHere(program, line, source, state);
    std::uint16_t value = 0;
    if (EvaluateNow(program, line, source, state, value)) {
        LogStream << "Address is " << HexWord(state.Here) << " Reserved " << value << std::endl;
        Advance(program, line, state, value);
    }
}

// .FILL count[, value]: count bytes, laid out now; the value (0 when there is
// none) is a byte worked out in the second sweep.
void LayOutFill(Program& program, ProgramLine& line, const SourceLine& source, LayoutState& state)
{
    PlaceAtHere(program, line, source, state);
    std::uint16_t count = 0;
    if (!EvaluateNow(program, line, source, state, count, 2))
        return;
    line.ByteCount = count;
    LogStream << "Address is " << HexWord(state.Here) << " Size " << count << std::endl;
    Advance(program, line, state, count);
}

// CPU 8080, CPU 8085, .8080, .8085: the 8080 lacks RIM and SIM.
void LayOutCpu(Program& program, ProgramLine& line, const SourceLine& source, LayoutState& state)
{
    if (!source.Label.empty())
        DefineLabel(program, line, source, state);
    bool named = source.Operation == ".8080" || source.Operation == ".8085"; // the CPU in the directive
    if (!CheckOperandCount(program, line, source, named ? 0 : 1))
        return;
    std::string cpu = named ? source.Operation.substr(1) : UpperCased(source.Operands[0]);
    if (cpu != "8080" && cpu != "8085") {
        ReportError(program, line, UnsupportedCpuMessage(source.Operands[0]));
        return;
    }
    state.Only8080 = cpu == "8080";
    LogStream << "CPU is " << cpu << std::endl;
}

// The relocating assemblers' sections and linkage need a linker we lack:
// one error at the first line of each such word. Names declared external
// are taken as 0, so that their uses add no errors of their own.
void LayOutRelocatable(Program& program, ProgramLine& line, const SourceLine& source, LayoutState& state)
{
    std::string word = source.Operation[0] == '.' ? source.Operation.substr(1) : source.Operation;
    if (state.RelocatableReported.insert(word).second)
        ReportError(program, line, RelocatableMessage(source.Operation));
    else
        line.Failed = true;
    if (word != "EXTRN" && word != "EXT" && word != "EXTERNAL")
        return;
    std::string name;
    for (const std::string& operand : source.Operands) {
        if (IsSingleName(operand, name) && FindSourceSymbol(program.Symbols, name) == nullptr)
            AddSourceSymbol(program.Symbols, SourceSymbol{name, SymbolKind::Constant, 0, true, line.LineNumber});
    }
}

// EQU and SET name a value; one that waits for a later label is worked out
// after the sweep (EQU) or in the second sweep (SET).
void LayOutConstant(
    Program& program, ProgramLine& line, const SourceLine& source, LayoutState& state, std::size_t index)
{
    const std::string& name = source.Label;
    if (name.empty()) {
        ReportError(program, line, MissingNameMessage(source.Operation));
        return;
    }
    if (!CheckNewName(program, line, name) || !CheckOperandCount(program, line, source, 1))
        return;
    SymbolKind kind = line.Kind == LineKind::Equ ? SymbolKind::Constant : SymbolKind::Variable;
    SourceSymbol* symbol = FindSourceSymbol(program.Symbols, name);
    if (symbol != nullptr && (kind == SymbolKind::Constant || symbol->Kind != SymbolKind::Variable)) {
        ReportError(program, line, DuplicateMessage(program, name, symbol->LineNumber));
        return;
    }
    auto here = static_cast<std::uint16_t>(state.Here & 0xFFFFu);
    ExpressionValue result = EvaluateExpression(source.Operands[0], program.Symbols, here);
    if (result.Status == ValueStatus::Failed)
        ReportError(program, line, result.Message);
    bool known = result.Status == ValueStatus::Known;
    if (symbol == nullptr) {
        // A constant that failed still gets defined, so its uses raise no more errors.
        AddSourceSymbol(program.Symbols, SourceSymbol{name, kind, result.Value, known || line.Failed, line.LineNumber});
    } else {
        symbol->Value = result.Value;
        symbol->Known = known || line.Failed;
        symbol->LineNumber = line.LineNumber;
    }
    line.Address = state.Here;
    if (known) {
        line.HasValue = true;
        line.Value = result.Value;
        LogStream << "Symbol " << name << " defined as " << HexWord(result.Value) << std::endl;
    } else if (!line.Failed && kind == SymbolKind::Constant) {
        LogStream << "Symbol " << name << " waits for " << result.Name << std::endl;
        state.PendingConstants.push_back(index);
    }
}

// DB and DW bytes are counted now and evaluated in the second sweep.
int DataByteCount(Program& program, ProgramLine& line, const SourceLine& source)
{
    const std::vector<std::string>& items = source.Operands;
    if (items.empty()) {
        ReportError(program, line, NoItemsMessage(source.Operation));
        return 0;
    }
    if (line.Kind == LineKind::Dw)
        return static_cast<int>(2 * items.size());
    std::size_t count = line.Kind == LineKind::Asciz ? 1 : 0;
    std::string characters;
    for (const std::string& item : items)
        count += IsSingleString(item, characters) ? characters.size() : 1;
    // More bytes than memory holds are an address overflow either way.
    return count > MemoryEnd ? static_cast<int>(MemoryEnd + 1) : static_cast<int>(count);
}

void LayOutCode(Program& program, ProgramLine& line, const SourceLine& source, LayoutState& state)
{
    PlaceAtHere(program, line, source, state);
    if (state.Only8080 && (source.Operation == "RIM" || source.Operation == "SIM"))
        ReportError(program, line, Only8085Message(source.Operation));
    int size =
        line.Kind == LineKind::Instruction ? program.Table[line.Rule].Size : DataByteCount(program, line, source);
    line.ByteCount = size;
    LogStream << "Address is " << HexWord(state.Here) << " Size " << size << std::endl;
    Advance(program, line, state, static_cast<std::uint32_t>(size));
}

// Returns false at END.
bool LayOutLine(Program& program, std::size_t index, LayoutState& state)
{
    ProgramLine& line = program.Lines[index];
    const std::string text = StatementText(program, index);
    LogStream << "-----------" << std::endl;
    LogStream << "Read line " << line.LineNumber << " : " << text << std::endl;
    SourceLine source;
    std::string error;
    if (!SplitSourceLine(text, program.Operations, source, error)) {
        ReportError(program, line, error);
        source.Operation.clear();
    }
    line.Kind = source.Operation.empty() ? LineKind::Empty : OperationKind(program, source.Operation, line.Rule);
    switch (line.Kind) {
    case LineKind::Org:
        LayOutOrg(program, line, source, state);
        break;
    case LineKind::Equ:
    case LineKind::Set:
        LayOutConstant(program, line, source, state, index);
        break;
    case LineKind::Ds:
        LayOutDs(program, line, source, state);
        break;
    case LineKind::Instruction:
    case LineKind::Db:
    case LineKind::Dw:
    case LineKind::Asciz:
        LayOutCode(program, line, source, state);
        break;
    case LineKind::Fill:
        LayOutFill(program, line, source, state);
        break;
    case LineKind::Cpu:
        LayOutCpu(program, line, source, state);
        break;
    case LineKind::Relocatable:
        LayOutRelocatable(program, line, source, state);
        break;
    case LineKind::Unsupported:
    case LineKind::Unknown:
        if (!source.Label.empty())
            DefineLabel(program, line, source, state);
        ReportError(program, line, UnknownOperationMessage(source.Operation));
        break;
    default: // empty, listing controls and END: a label takes the address
        if (!source.Label.empty())
            DefineLabel(program, line, source, state);
        break;
    }
    return line.Kind != LineKind::End;
}

// Constants that name later labels, worked out now that every label is
// known; one may wait for another, so this goes round until nothing changes.
void ResolvePendingConstants(Program& program, LayoutState& state)
{
    std::vector<std::size_t>& pending = state.PendingConstants;
    bool progress = true;
    while (progress && !pending.empty()) {
        progress = false;
        std::vector<std::size_t> waiting;
        for (std::size_t index : pending) {
            ProgramLine& line = program.Lines[index];
            SourceLine source = SplitProgramLine(program, index);
            SourceSymbol* symbol = FindSourceSymbol(program.Symbols, source.Label);
            ExpressionValue result = EvaluateExpression(
                source.Operands[0], program.Symbols, static_cast<std::uint16_t>(line.Address & 0xFFFFu));
            if (result.Status == ValueStatus::Unknown) {
                waiting.push_back(index);
                continue;
            }
            progress = true;
            symbol->Known = true;
            if (result.Status == ValueStatus::Failed) {
                ReportError(program, line, result.Message);
                continue;
            }
            symbol->Value = result.Value;
            line.HasValue = true;
            line.Value = result.Value;
            LogStream << "Symbol " << symbol->Name << " defined as " << HexWord(result.Value) << std::endl;
        }
        pending.swap(waiting);
    }
    std::vector<std::string> unresolved;
    for (std::size_t index : pending) {
        ProgramLine& line = program.Lines[index];
        SourceLine source = SplitProgramLine(program, index);
        ExpressionValue result =
            EvaluateExpression(source.Operands[0], program.Symbols, static_cast<std::uint16_t>(line.Address & 0xFFFFu));
        if (FindSourceSymbol(program.Symbols, result.Name) == nullptr)
            ReportError(program, line, UndefinedSymbolMessage(result.Name));
        else
            ReportError(program, line, CircularDefinitionMessage(source.Label));
        unresolved.push_back(source.Label);
    }
    // Only now, so that each of a circle is reported as such.
    for (const std::string& name : unresolved)
        FindSourceSymbol(program.Symbols, name)->Known = true;
}

} // namespace

std::string StatementText(const Program& program, std::size_t index)
{
    const ProgramLine& line = program.Lines[index];
    const std::string& text = (*program.Texts)[static_cast<std::size_t>(line.LineNumber - 1)];
    // A statement after a "!" does not start in column 1: no label without colon, no comment star.
    return (line.TextStart > 0 ? " " : "") + text.substr(line.TextStart, line.TextLength);
}

SourceLine SplitProgramLine(const Program& program, std::size_t index)
{
    SourceLine source;
    std::string error;
    SplitSourceLine(StatementText(program, index), program.Operations, source, error);
    source.LineNumber = program.Lines[index].LineNumber;
    return source;
}

namespace {

// What the line source asks of the layout: values from the symbols defined
// above the line, at the current address.
LayoutHooks MakeLayoutHooks(Program& program, const LayoutState& state)
{
    LayoutHooks hooks;
    hooks.Evaluate = [&program, &state](const std::string& directive, const std::string& text, std::uint16_t& value,
                         std::string& error) {
        ExpressionValue result =
            EvaluateExpression(text, program.Symbols, static_cast<std::uint16_t>(state.Here & 0xFFFFu));
        if (result.Status == ValueStatus::Failed)
            error = result.Message;
        else if (result.Status == ValueStatus::Unknown)
            error = NotYetDefinedMessage(directive, result.Name);
        value = result.Value;
        return result.Status == ValueStatus::Known;
    };
    hooks.IsDefined = [&program](const std::string& name) {
        return FindSourceSymbol(program.Symbols, name) != nullptr;
    };
    hooks.ReservedKind = [&program](const std::string& name) { return ReservedNameKind(program, name); };
    return hooks;
}

} // namespace

void LayOutProgram(Program& program, LineSource& source)
{
    LayoutState state;
    program.Texts = &source.Texts;
    program.Source = &source;
    LayoutHooks hooks = MakeLayoutHooks(program, state);
    DeliveredLine delivered;
    bool ended = false;
    while (ReadNextLine(source, hooks, delivered)) {
        const std::string& text = source.Texts[static_cast<std::size_t>(delivered.LineNumber - 1)];
        ProgramLine line;
        line.LineNumber = delivered.LineNumber;
        line.TextLength = text.size();
        if (ended || delivered.Role == LineRole::AfterEnd) {
            line.AfterEnd = true;
            program.Lines.push_back(line);
            continue;
        }
        if (delivered.Role != LineRole::Statement) {
            // The line source read it: the layout sees no statement, only a label to define.
            line.TextLength = 0;
            program.Lines.push_back(line);
            LogStream << "-----------" << std::endl;
            LogStream << "Read line " << line.LineNumber << " : " << text << std::endl;
            if (!delivered.Label.empty()) {
                SourceLine labelOnly;
                labelOnly.Label = delivered.Label;
                DefineLabel(program, program.Lines.back(), labelOnly, state);
            }
            continue;
        }
        for (const auto& piece : SplitStatements(text)) {
            line.TextStart = piece.first;
            line.TextLength = piece.second;
            program.Lines.push_back(line);
            if (!ended)
                ended = !LayOutLine(program, program.Lines.size() - 1, state);
            else
                program.Lines.back().AfterEnd = true;
        }
        if (ended)
            EndLineSource(source);
    }
    ResolvePendingConstants(program, state);
}
