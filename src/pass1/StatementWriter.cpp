// The second sweep: each statement written in the form the second pass
// reads, a symbol's name where the second pass resolves it to the same value
// and size, a hexadecimal literal of the operand's width everywhere else.
#include <cstdio>

#include "driver/RunLog.h"
#include "pass1/Expression.h"
#include "pass1/Program.h"
#include "pass2/EncodingRules.h"
#include "symbols/NumericLiteral.h"

namespace {

// The second pass takes 16 tokens: the address, DB or DW, and 14 items.
const std::size_t MaxItemsPerStatement = 14;

const char* const Registers[] = {"A", "B", "C", "D", "E", "H", "L", "M"};

bool FitsByte(std::uint16_t value)
{
    return value <= 0xFFu || value >= 0xFF80u; // 0 to 255, or -128 to -1
}

// The low 8 bits as two hexadecimal digits, or 16 bits as four, and H: the
// digit count is what gives the second pass the size class.
std::string HexLiteral(std::uint16_t value, int sizeClass)
{
    char text[8];
    if (sizeClass == ByteSizeClass)
        std::snprintf(text, sizeof text, "%02XH", value & 0xFFu);
    else
        std::snprintf(text, sizeof text, "%04XH", static_cast<unsigned>(value));
    return text;
}

// An operand literal: hexadecimal, or decimal where a symbol has the
// hexadecimal text as its name (the second pass would look that up first).
// Decimal keeps the size class: up to 255 in three digits, a word in four.
std::string OperandLiteral(const Program& program, std::uint16_t value, int sizeClass)
{
    std::string hex = HexLiteral(value, sizeClass);
    if (FindSourceSymbol(program.Symbols, hex) == nullptr)
        return hex;
    char text[8];
    if (sizeClass == ByteSizeClass)
        std::snprintf(text, sizeof text, "%u", value & 0xFFu);
    else
        std::snprintf(text, sizeof text, "%04u", static_cast<unsigned>(value));
    return text;
}

std::uint16_t HereOf(const ProgramLine& line)
{
    return static_cast<std::uint16_t>(line.Address & 0xFFFFu);
}

// Evaluates an operand now that every label is known; false after a report.
bool EvaluateOperand(Program& program, ProgramLine& line, const std::string& text, std::uint16_t& value)
{
    ExpressionValue result = EvaluateExpression(text, program.Symbols, HereOf(line));
    if (result.Status == ValueStatus::Failed) {
        ReportError(program, line, result.Message);
        return false;
    }
    if (result.Status == ValueStatus::Unknown) {
        ReportError(program, line, UndefinedSymbolMessage(result.Name));
        return false;
    }
    value = result.Value;
    return true;
}

bool EvaluateByte(Program& program, ProgramLine& line, const std::string& text, std::uint16_t& value)
{
    if (!EvaluateOperand(program, line, text, value))
        return false;
    if (FitsByte(value))
        return true;
    ReportError(program, line, ByteRangeMessage(value));
    return false;
}

// A byte or word operand: the symbol's name when the second pass gives it
// the same value and size class, else a literal.
bool WriteValueOperand(Program& program, ProgramLine& line, const std::string& text, int sizeClass, std::string& out)
{
    std::string name;
    if (IsSingleName(text, name)) {
        const SourceSymbol* symbol = FindSourceSymbol(program.Symbols, name);
        if (symbol != nullptr && symbol->Known && symbol->Kind != SymbolKind::Variable
            && SymbolSizeClass(*symbol) == sizeClass) {
            out += name;
            return true;
        }
    }
    std::uint16_t value = 0;
    bool valid = sizeClass == ByteSizeClass ? EvaluateByte(program, line, text, value)
                                            : EvaluateOperand(program, line, text, value);
    if (valid)
        out += OperandLiteral(program, value, sizeClass);
    return valid;
}

bool WriteRegister(
    Program& program, ProgramLine& line, const SourceLine& source, const std::string& text, std::string& out)
{
    std::string name = UpperCased(text);
    for (const char* reg : Registers) {
        if (name == reg) {
            out += name;
            return true;
        }
    }
    ReportError(program, line, BadRegisterMessage(source.Operation, text));
    return false;
}

// Pair 3 is PSW for the stack operations (opcodes 11xx0x01) and SP for the
// rest; LDAX and STAX take only B and D.
bool WritePair(Program& program, ProgramLine& line, const SourceLine& source, const EncodingRule& rule,
    const std::string& text, std::string& out)
{
    std::string name = UpperCased(text);
    const char* pairs = "B, D, H or SP";
    const char* third = "SP";
    if (rule.Operands == PairBOrD) {
        pairs = "B or D";
        third = nullptr;
    } else if ((rule.BaseOpcode & 0xC0u) == 0xC0u) {
        pairs = "B, D, H or PSW";
        third = "PSW";
    }
    bool valid = name == "B" || name == "D" || (third != nullptr && (name == "H" || name == third));
    if (valid)
        out += name;
    else
        ReportError(program, line, BadPairMessage(source.Operation, pairs, text));
    return valid;
}

bool WriteRestart(Program& program, ProgramLine& line, const std::string& text, std::string& out)
{
    std::uint16_t value = 0;
    if (!EvaluateOperand(program, line, text, value))
        return false;
    if (value > 7) {
        ReportError(program, line, RestartRangeMessage(value));
        return false;
    }
    out += static_cast<char>('0' + value);
    return true;
}

bool WriteOperands(
    Program& program, ProgramLine& line, const SourceLine& source, const EncodingRule& rule, std::string& out)
{
    const std::vector<std::string>& operands = source.Operands;
    switch (rule.Operands) {
    case RegisterHigh:
    case RegisterLow:
        return WriteRegister(program, line, source, operands[0], out);
    case RegisterRegister:
        if (!WriteRegister(program, line, source, operands[0], out))
            return false;
        out += ',';
        if (!WriteRegister(program, line, source, operands[1], out))
            return false;
        if (UpperCased(operands[0]) == "M" && UpperCased(operands[1]) == "M")
            ReportWarning(program, line, MovMemoryMemoryWarning());
        return true;
    case RegisterByte:
        if (!WriteRegister(program, line, source, operands[0], out))
            return false;
        out += ',';
        return WriteValueOperand(program, line, operands[1], ByteSizeClass, out);
    case RegisterPair:
    case PairBOrD:
        return WritePair(program, line, source, rule, operands[0], out);
    case PairWord:
        if (!WritePair(program, line, source, rule, operands[0], out))
            return false;
        out += ',';
        return WriteValueOperand(program, line, operands[1], WordSizeClass, out);
    case ByteOperand:
        return WriteValueOperand(program, line, operands[0], ByteSizeClass, out);
    case WordOperand:
        return WriteValueOperand(program, line, operands[0], WordSizeClass, out);
    case RestartNumber:
        return WriteRestart(program, line, operands[0], out);
    default:
        return true;
    }
}

std::string StatementStart(std::uint32_t address, const std::string& operation)
{
    return std::to_string(address) + " " + operation;
}

void WriteInstruction(Program& program, ProgramLine& line, const SourceLine& source, std::string& statements)
{
    const EncodingRule& rule = GetEncodingRule(line.Rule);
    int wanted = OperandCountOfShape(rule.Operands);
    int found = static_cast<int>(source.Operands.size());
    if (found != wanted) {
        ReportError(program, line, OperandCountMessage(source.Operation, wanted, found));
        return;
    }
    std::string statement = StatementStart(line.Address, source.Operation);
    std::string operands;
    if (!WriteOperands(program, line, source, rule, operands))
        return;
    if (!operands.empty())
        statement += " " + operands;
    LogStream << "Statement " << statement << std::endl;
    statements += statement;
    statements += '\n';
}

// The bytes of .FILL count, value: the value a byte, 0 when there is none.
bool FillValues(Program& program, ProgramLine& line, const SourceLine& source, std::vector<std::uint16_t>& values)
{
    std::uint16_t value = 0;
    if (source.Operands.size() > 1 && !EvaluateByte(program, line, source.Operands[1], value))
        return false;
    values.assign(static_cast<std::size_t>(line.ByteCount), value);
    return true;
}

// The values of DB and DW items: a string in DB gives one byte per character.
bool ItemValues(Program& program, ProgramLine& line, const SourceLine& source, int sizeClass,
    std::vector<std::uint16_t>& values)
{
    std::string characters;
    for (const std::string& item : source.Operands) {
        if (sizeClass == ByteSizeClass && IsSingleString(item, characters)) {
            for (char c : characters)
                values.push_back(static_cast<unsigned char>(c));
            continue;
        }
        std::uint16_t value = 0;
        bool valid = sizeClass == ByteSizeClass ? EvaluateByte(program, line, item, value)
                                                : EvaluateOperand(program, line, item, value);
        if (!valid)
            return false;
        values.push_back(value);
    }
    return true;
}

// DB and DW (in any of their spellings): every item a literal of its width,
// 14 to a statement, longer lists going on at the following addresses.
void WriteData(Program& program, ProgramLine& line, const SourceLine& source, std::string& statements)
{
    int sizeClass = line.Kind == LineKind::Dw ? WordSizeClass : ByteSizeClass;
    std::vector<std::uint16_t> values;
    bool valid = line.Kind == LineKind::Fill ? FillValues(program, line, source, values)
                                             : ItemValues(program, line, source, sizeClass, values);
    if (!valid)
        return;
    if (line.Kind == LineKind::Asciz)
        values.push_back(0);
    std::uint32_t address = line.Address;
    for (std::size_t first = 0; first < values.size(); first += MaxItemsPerStatement) {
        std::string statement = StatementStart(address, sizeClass == ByteSizeClass ? "DB" : "DW");
        for (std::size_t i = first; i < values.size() && i < first + MaxItemsPerStatement; i++) {
            statement += i == first ? " " : ",";
            statement += HexLiteral(values[i], sizeClass);
            address += static_cast<std::uint32_t>(sizeClass);
        }
        LogStream << "Statement " << statement << std::endl;
        statements += statement;
        statements += '\n';
    }
}

// A SET is worked out again in order, so each use sees the value set last.
void WriteSet(Program& program, ProgramLine& line, const SourceLine& source)
{
    std::uint16_t value = 0;
    if (!EvaluateOperand(program, line, source.Operands[0], value))
        return;
    SourceSymbol* symbol = FindSourceSymbol(program.Symbols, source.Label);
    symbol->Value = value;
    symbol->Known = true;
    symbol->LineNumber = line.LineNumber;
    line.HasValue = true;
    line.Value = value;
}

void WriteEnd(Program& program, ProgramLine& line, const SourceLine& source)
{
    if (source.Operands.size() > 1) {
        ReportError(program, line, OperandCountMessage(source.Operation, 1, static_cast<int>(source.Operands.size())));
        return;
    }
    std::uint16_t value = 0;
    if (source.Operands.empty() || !EvaluateOperand(program, line, source.Operands[0], value))
        return;
    program.HasStartAddress = true;
    program.StartAddress = value;
    line.HasValue = true;
    line.Value = value;
    char text[8];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value));
    LogStream << "END address " << text << std::endl;
}

void WriteSymbols(const Program& program, std::string& symbols)
{
    for (const SourceSymbol& symbol : program.Symbols.List) {
        symbols +=
            symbol.Name + " " + std::to_string(SymbolSizeClass(symbol)) + " " + std::to_string(symbol.Value) + "\n";
    }
}

} // namespace

int OperandCountOfShape(OperandShape shape)
{
    switch (shape) {
    case NoOperand:
        return 0;
    case RegisterRegister:
    case RegisterByte:
    case PairWord:
        return 2;
    default:
        return 1;
    }
}

int EncodedSizeOfShape(OperandShape shape)
{
    switch (shape) {
    case RegisterByte:
    case ByteOperand:
        return 2;
    case PairWord:
    case WordOperand:
        return 3;
    default:
        return 1;
    }
}

void WriteProgram(Program& program, std::string& statements, std::string& symbols)
{
    for (std::size_t index = 0; index < program.Lines.size(); index++) {
        ProgramLine& line = program.Lines[index];
        if (line.Failed || line.AfterEnd || line.Kind == LineKind::Empty)
            continue;
        SourceLine source = SplitProgramLine(program, index);
        switch (line.Kind) {
        case LineKind::Instruction:
            WriteInstruction(program, line, source, statements);
            break;
        case LineKind::Db:
        case LineKind::Dw:
        case LineKind::Asciz:
        case LineKind::Fill:
            WriteData(program, line, source, statements);
            break;
        case LineKind::Set:
            WriteSet(program, line, source);
            break;
        case LineKind::End:
            WriteEnd(program, line, source);
            break;
        default:
            break;
        }
    }
    WriteSymbols(program, symbols);
}
