// The simulator's options: one table row per option, one reader per kind of
// value, numbers in the assembler's own forms.
#include "simulator/Options.h"

#include <cctype>
#include <cstring>

#include "pass1/Expression.h"
#include "pass1/Pass1.h"
#include "simulator/SerialLine.h"

namespace {

struct RegisterRow {
    const char* Name;
    RegisterName Register;
};

// F and FLAGS both name the flags byte.
const RegisterRow RegisterRows[] = {
    {"A", RegA},
    {"B", RegB},
    {"C", RegC},
    {"D", RegD},
    {"E", RegE},
    {"H", RegH},
    {"L", RegL},
    {"F", RegFlags},
    {"FLAGS", RegFlags},
    {"BC", RegBC},
    {"DE", RegDE},
    {"HL", RegHL},
    {"SP", RegSP},
    {"PC", RegPC},
};

std::string UpperCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Where the values of one parse come from: numbers and expressions in the
// assembler's syntax, and the program's names once it is loaded. Before
// that (Symbols null) a name is taken on trust, kept in Pending, and the
// arguments are read again when the program's symbols are known.
struct ValueContext {
    const ProgramSymbols* Symbols;
    std::vector<std::string>* Pending;
    std::string Message; // why the last value was refused, when it says more than "bad value"
};

bool ParseAddress(const std::string& text, std::uint16_t& value, ValueContext& context)
{
    static const ProgramSymbols NoSymbols;
    std::string message;
    if (EvaluateSymbolic(text, context.Symbols != nullptr ? *context.Symbols : NoSymbols, 0, value, message))
        return true;
    ExpressionValue result = EvaluateExpression(text, NoSymbols.Table, 0);
    if (result.Status != ValueStatus::Unknown)
        return false;
    if (context.Symbols != nullptr) {
        context.Message = message;
        return false;
    }
    context.Pending->push_back(result.Name);
    value = 0;
    return true;
}

bool ParseByte(const std::string& text, std::uint8_t& value, ValueContext& context)
{
    std::uint16_t word = 0;
    if (!ParseAddress(text, word, context) || word > 0xFF)
        return false;
    value = static_cast<std::uint8_t>(word);
    return true;
}

// "1,2,0FFH": at least one byte, no empty item.
bool ParseByteList(const std::string& text, std::vector<std::uint8_t>& bytes, ValueContext& context)
{
    bytes.clear();
    std::size_t from = 0;
    for (;;) {
        std::size_t comma = text.find(',', from);
        std::uint8_t byte = 0;
        if (!ParseByte(text.substr(from, comma == std::string::npos ? std::string::npos : comma - from), byte, context))
            return false;
        bytes.push_back(byte);
        if (comma == std::string::npos)
            return true;
        from = comma + 1;
    }
}

// A count of instructions or T-states: decimal digits only, since the
// assembler's forms stop at FFFFH.
bool ParseCount(const std::string& text, std::uint64_t& value)
{
    if (text.empty() || text.size() > 15)
        return false;
    std::uint64_t count = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        count = count * 10 + static_cast<std::uint64_t>(c - '0');
    }
    value = count;
    return true;
}

// "NAME=VALUE" split at the first '='; both sides must be there.
bool SplitAssignment(const std::string& text, std::string& name, std::string& value)
{
    std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == text.size())
        return false;
    name = text.substr(0, equals);
    value = text.substr(equals + 1);
    return true;
}

bool ParseRegisterValue(const std::string& text, RegisterValue& setting, ValueContext& context)
{
    std::string name, value;
    if (!SplitAssignment(text, name, value) || !FindRegister(name, setting.Register))
        return false;
    if (!ParseAddress(value, setting.Value, context))
        return false;
    return IsRegisterPair(setting.Register) || setting.Value <= 0xFF;
}

bool ParseMemoryBytes(const std::string& text, MemoryBytes& memory, ValueContext& context)
{
    std::string address, bytes;
    return SplitAssignment(text, address, bytes) && ParseAddress(address, memory.Address, context)
        && ParseByteList(bytes, memory.Bytes, context);
}

bool ParsePortBytes(const std::string& text, PortBytes& port, ValueContext& context)
{
    std::string number, bytes;
    return SplitAssignment(text, number, bytes) && ParseByte(number, port.Port, context) && ParseByteList(bytes, port.Bytes, context);
}

// The one value reader of each option: true if the value was good.
bool ApplyStart(const std::string& value, SimOptions& options, ValueContext& context)
{
    options.HasStart = ParseAddress(value, options.Start, context);
    return options.HasStart;
}

bool ApplyLoad(const std::string& value, SimOptions& options, ValueContext& context)
{
    options.HasLoad = ParseAddress(value, options.LoadAddress, context);
    return options.HasLoad;
}

bool ApplyFill(const std::string& value, SimOptions& options, ValueContext& context)
{
    return ParseByte(value, options.Fill, context);
}

bool ApplyMaxSteps(const std::string& value, SimOptions& options, ValueContext&)
{
    options.HasMaxSteps = true;
    return ParseCount(value, options.MaxSteps) && options.MaxSteps >= 1 && options.MaxSteps <= MaxStepLimit;
}

bool ApplyBreak(const std::string& value, SimOptions& options, ValueContext& context)
{
    std::uint16_t address = 0;
    if (!ParseAddress(value, address, context))
        return false;
    options.Breakpoints.push_back(address);
    return true;
}

bool ApplySet(const std::string& value, SimOptions& options, ValueContext& context)
{
    MemoryBytes memory;
    if (!ParseMemoryBytes(value, memory, context) || memory.Address + memory.Bytes.size() > 0x10000)
        return false;
    options.Sets.push_back(memory);
    return true;
}

bool ApplyRegister(const std::string& value, SimOptions& options, ValueContext& context)
{
    RegisterValue setting{RegA, 0};
    if (!ParseRegisterValue(value, setting, context))
        return false;
    options.Registers.push_back(setting);
    return true;
}

bool ApplyIn(const std::string& value, SimOptions& options, ValueContext& context)
{
    PortBytes port;
    if (!ParsePortBytes(value, port, context))
        return false;
    options.Inputs.push_back(port);
    return true;
}

bool ApplySerialIn(const std::string& value, SimOptions& options, ValueContext&)
{
    if (value != "0" && value != "1")
        return false;
    options.HasSerialIn = true;
    options.SerialIn = value == "1";
    return true;
}

bool ApplyCpu(const std::string& value, SimOptions& options, ValueContext&)
{
    if (value != "8080" && value != "8085")
        return false;
    options.Model = value == "8080" ? Cpu8080 : Cpu8085;
    return true;
}

// The restart an interrupting device puts on the bus for INTR: "RST5" or the
// opcode itself ("0EFH"), which must be an RST. A number, never a name.
bool ParseRestart(const std::string& text, std::uint8_t& opcode)
{
    std::string upper = UpperCase(text);
    if (upper.size() == 4 && upper.compare(0, 3, "RST") == 0 && upper[3] >= '0' && upper[3] <= '7') {
        opcode = static_cast<std::uint8_t>(0xC7 | (upper[3] - '0') << 3);
        return true;
    }
    std::uint16_t word = 0;
    if (!ParseNumberLiteral(text, word) || word > 0xFF || (word & 0xC7) != 0xC7)
        return false;
    opcode = static_cast<std::uint8_t>(word);
    return true;
}

// "NAME@STEP"; INTR may name its restart: "INTR:RST5@STEP" (plain INTR is RST 7).
bool ApplyInterrupt(const std::string& value, SimOptions& options, ValueContext&)
{
    static const struct {
        const char* Name;
        InterruptLine Line;
    } Lines[] = {{"TRAP", Trap}, {"RST7.5", Rst75}, {"RST6.5", Rst65}, {"RST5.5", Rst55}, {"INTR", Intr}};
    std::size_t at = value.find('@');
    if (at == std::string::npos)
        return false;
    std::string name = UpperCase(value.substr(0, at));
    ScheduledInterrupt interrupt{Trap, 0};
    if (!ParseCount(value.substr(at + 1), interrupt.Step))
        return false;
    std::size_t colon = name.find(':');
    if (colon != std::string::npos) {
        if (name.compare(0, colon, "INTR") != 0 || !ParseRestart(name.substr(colon + 1), interrupt.Restart))
            return false;
        name = "INTR";
    }
    for (const auto& line : Lines) {
        if (name == line.Name) {
            interrupt.Line = line.Line;
            options.Interrupts.push_back(interrupt);
            return true;
        }
    }
    return false;
}

// MHz with up to three decimals, kept in kHz so the time is exact.
bool ApplyClock(const std::string& value, SimOptions& options, ValueContext&)
{
    std::uint32_t kiloHertz = 0;
    int decimals = -1;
    for (char c : value) {
        if (c == '.' && decimals < 0) {
            decimals = 0;
            continue;
        }
        if (c < '0' || c > '9' || decimals == 3 || kiloHertz > 100000)
            return false;
        kiloHertz = kiloHertz * 10 + static_cast<std::uint32_t>(c - '0');
        if (decimals >= 0)
            decimals++;
    }
    if (value.empty() || value == ".")
        return false;
    for (int scale = decimals < 0 ? 0 : decimals; scale < 3; scale++)
        kiloHertz *= 10;
    if (kiloHertz == 0 || kiloHertz > 1000000)
        return false;
    options.ClockKHz = kiloHertz;
    return true;
}

// "FIRST-LAST", split at the first '-' that leaves two good values, so
// "TABLE-TABLE+9" is TABLE to TABLE+9 (a subtraction in FIRST goes in
// parentheses).
bool ApplyDump(const std::string& value, SimOptions& options, ValueContext& context)
{
    for (std::size_t dash = value.find('-'); dash != std::string::npos; dash = value.find('-', dash + 1)) {
        DumpRange range{0, 0};
        ValueContext trial{context.Symbols, context.Pending, ""};
        std::size_t pending = context.Pending->size();
        if (ParseAddress(value.substr(0, dash), range.First, trial)
            && ParseAddress(value.substr(dash + 1), range.Last, trial)) {
            // Names still unknown leave the order to the second reading.
            if (range.Last < range.First && context.Pending->size() == pending)
                return false;
            options.Dumps.push_back(range);
            return true;
        }
        context.Pending->resize(pending);
        if (!trial.Message.empty())
            context.Message = trial.Message;
    }
    return false;
}

// --expect takes a register by name, or else a memory address.
bool ApplyExpect(const std::string& value, SimOptions& options, ValueContext& context)
{
    Expectation expectation{};
    std::string name, rest;
    RegisterName reg = RegA;
    if (!SplitAssignment(value, name, rest))
        return false;
    if (!FindRegister(name, reg)) {
        expectation.Kind = ExpectMemory;
        if (!ParseMemoryBytes(value, expectation.Memory, context)
            || expectation.Memory.Address + expectation.Memory.Bytes.size() > 0x10000)
            return false;
    } else {
        expectation.Kind = ExpectRegister;
        if (!ParseRegisterValue(value, expectation.Register, context))
            return false;
    }
    options.Expectations.push_back(expectation);
    return true;
}

bool ApplyExpectOut(const std::string& value, SimOptions& options, ValueContext& context)
{
    Expectation expectation{};
    expectation.Kind = ExpectOut;
    if (!ParsePortBytes(value, expectation.Out, context))
        return false;
    options.Expectations.push_back(expectation);
    return true;
}

bool ApplyExpectCycles(const std::string& value, SimOptions& options, ValueContext&)
{
    Expectation expectation{};
    expectation.Kind = ExpectCycles;
    if (!ParseCount(value, expectation.Cycles))
        return false;
    options.Expectations.push_back(expectation);
    return true;
}

bool ApplyTraceFile(const std::string& value, SimOptions& options, ValueContext&)
{
    options.Trace = true;
    options.TraceFile = value;
    return !value.empty();
}

bool ApplyTraceFrom(const std::string& value, SimOptions& options, ValueContext& context)
{
    options.Trace = true;
    options.HasTraceFrom = ParseAddress(value, options.TraceFrom, context);
    return options.HasTraceFrom;
}

bool ApplyTraceCount(const std::string& value, SimOptions& options, ValueContext&)
{
    options.Trace = true;
    return ParseCount(value, options.TraceCount) && options.TraceCount >= 1;
}

bool ApplyInput(const std::string& value, SimOptions& options, ValueContext&)
{
    std::vector<std::uint8_t> bytes;
    if (!ParseConsoleText(value, bytes))
        return false;
    options.HasConsoleInput = true;
    options.ConsoleInput.insert(options.ConsoleInput.end(), bytes.begin(), bytes.end());
    return true;
}

// "2sio", "8251,DATA,STATUS" or "DATA,STATUS[,RXREADY,TXREADY]" (the
// 6850's bits by default); the ports differ and no bit is zero.
bool ApplyUart(const std::string& value, SimOptions& options, ValueContext& context)
{
    UartPorts uart = Altair2Sio;
    if (UpperCase(value) == "2SIO") {
        options.Uart = uart;
        return true;
    }
    std::vector<std::string> fields;
    for (std::size_t from = 0;;) {
        std::size_t comma = value.find(',', from);
        fields.push_back(value.substr(from, comma == std::string::npos ? std::string::npos : comma - from));
        if (comma == std::string::npos)
            break;
        from = comma + 1;
    }
    if (!fields.empty() && fields[0] == "8251") {
        fields.erase(fields.begin());
        if (fields.size() != 2)
            return false;
        uart.ReceiveReady = I8251ReceiveReady;
        uart.TransmitReady = I8251TransmitReady;
    }
    if ((fields.size() != 2 && fields.size() != 4) || !ParseByte(fields[0], uart.Data, context)
        || !ParseByte(fields[1], uart.Status, context) || uart.Data == uart.Status)
        return false;
    if (fields.size() == 4
        && (!ParseByte(fields[2], uart.ReceiveReady, context) || !ParseByte(fields[3], uart.TransmitReady, context)
            || uart.ReceiveReady == 0 || uart.TransmitReady == 0))
        return false;
    options.Uart = uart;
    return true;
}

bool ApplySerialBaud(const std::string& value, SimOptions& options, ValueContext&)
{
    std::uint64_t baud = 0;
    if (!ParseCount(value, baud) || baud == 0 || baud > MaxSerialBaud)
        return false;
    options.SerialBaud = static_cast<std::uint32_t>(baud);
    return true;
}

struct OptionRow {
    const char* Name;
    const char* Value; // what the value is, for messages and --help; null: a switch
    bool (*Apply)(const std::string& value, SimOptions& options, ValueContext& context);
    bool SimOptions::*Switch;
    const char* Help;
};

const OptionRow OptionRows[] = {
    {"--start", "ADDR", ApplyStart, nullptr, "start here (default: the END address, else the lowest byte)"},
    {"--load", "ADDR", ApplyLoad, nullptr, "load a .bin file here"},
    {"--fill", "BYTE", ApplyFill, nullptr, "fill memory with BYTE before loading (default 0)"},
    {"--max-steps", "N", ApplyMaxSteps, nullptr, "stop after N instructions (default 10000000; --cpm 10^11)"},
    {"--break", "ADDR", ApplyBreak, nullptr, "stop when the program reaches ADDR (repeatable)"},
    {"--set", "ADDR=BYTE[,BYTE...]", ApplySet, nullptr, "put bytes in memory before the run"},
    {"--reg", "NAME=VALUE", ApplyRegister, nullptr, "set A B C D E H L, BC DE HL SP PC, or F (FLAGS)"},
    {"--in", "PORT=BYTE[,BYTE...]", ApplyIn, nullptr, "queue bytes for IN PORT (an empty queue reads FFH)"},
    {"--sid", "BIT", ApplySerialIn, nullptr, "the serial input line that RIM reads (0 or 1)"},
    {"--interrupt", "NAME@STEP", ApplyInterrupt, nullptr,
        "raise TRAP, RST7.5, RST6.5, RST5.5 or INTR[:RSTn] after STEP instructions"},
    {"--clock", "MHZ", ApplyClock, nullptr, "clock for the time shown (default 3.072)"},
    {"--trace", nullptr, nullptr, &SimOptions::Trace, "print every instruction with the registers after it"},
    {"--trace-file", "FILE", ApplyTraceFile, nullptr, "write the trace to FILE (implies --trace)"},
    {"--trace-from", "ADDR", ApplyTraceFrom, nullptr, "trace from the first time PC reaches ADDR (implies --trace)"},
    {"--trace-count", "N", ApplyTraceCount, nullptr, "trace at most N instructions (implies --trace)"},
    {"--dump", "ADDR-ADDR", ApplyDump, nullptr, "print memory in hex and ASCII after the run"},
    {"--expect", "ADDR=BYTE[,...]|REG=VALUE", ApplyExpect, nullptr, "check memory or a register after the run"},
    {"--expect-out", "PORT=BYTE[,...]", ApplyExpectOut, nullptr, "check every byte written to PORT, in order"},
    {"--expect-cycles", "N", ApplyExpectCycles, nullptr, "check the T-states of the run"},
    {"--cpm", nullptr, nullptr, &SimOptions::Cpm, "run a CP/M .COM program at 0100H with console output"},
    {"--debug", nullptr, nullptr, &SimOptions::Debug, "load the program and give a debugger prompt (see help there)"},
    {"--input", "TEXT", ApplyInput, nullptr,
        "type TEXT to the console (\\r \\n \\xHH; repeatable)"},
    {"--uart", "DATA,STATUS[,RX,TX]|2sio|8251,DATA,STATUS", ApplyUart, nullptr,
        "a serial console on two ports (RX, TX: the status bits)"},
    {"--serial-baud", "BAUD", ApplySerialBaud, nullptr, "a serial console on SID and SOD at BAUD (see --clock)"},
    {"--cpu", "8085|8080", ApplyCpu, nullptr, "the processor to run as (default 8085)"},
    {"--help", nullptr, nullptr, &SimOptions::Help, "show this text"},
    {"--version", nullptr, nullptr, &SimOptions::Version, "show the version"},
};

// The 8080 has INTR alone, and no serial input line.
bool CheckModelOptions(const SimOptions& options, std::ostream& errors)
{
    if (options.Model != Cpu8080)
        return true;
    for (const ScheduledInterrupt& interrupt : options.Interrupts) {
        if (interrupt.Line != Intr) {
            errors << "Simulator: error: the 8080 has no TRAP or RST 5.5/6.5/7.5 input: --interrupt takes INTR only\n";
            return false;
        }
    }
    if (options.HasSerialIn || options.SerialBaud != 0) {
        errors << "Simulator: error: the 8080 has no SID and SOD lines (--sid, --serial-baud)\n";
        return false;
    }
    return true;
}

const OptionRow* FindOption(const std::string& name)
{
    for (const OptionRow& row : OptionRows) {
        if (name == row.Name)
            return &row;
    }
    return nullptr;
}

} // namespace

bool ParseDecimalCount(const std::string& text, std::uint64_t& value)
{
    return ParseCount(text, value);
}

const char* RegisterText(RegisterName name)
{
    for (const RegisterRow& row : RegisterRows) {
        if (row.Register == name)
            return row.Name;
    }
    return "?";
}

bool IsRegisterPair(RegisterName name)
{
    return name >= RegBC;
}

bool FindRegister(const std::string& text, RegisterName& name)
{
    std::string upper = UpperCase(text);
    for (const RegisterRow& row : RegisterRows) {
        if (upper == row.Name) {
            name = row.Register;
            return true;
        }
    }
    return false;
}

bool ParseSimOptions(
    const std::vector<std::string>& arguments, SimOptions& options, std::ostream& errors, const ProgramSymbols* symbols)
{
    ValueContext context{symbols, &options.PendingNames, ""};
    for (std::size_t i = 0; i < arguments.size(); i++) {
        const std::string& argument = arguments[i];
        if (argument.size() < 2 || argument[0] != '-') {
            if (!options.File.empty()) {
                errors << "Simulator: error: more than one program file: '" << options.File << "' and '" << argument
                       << "'\n";
                return false;
            }
            options.File = argument;
            continue;
        }
        // "--name value" or "--name=value".
        std::size_t equals = argument.find('=');
        std::string name = argument.substr(0, equals);
        const OptionRow* row = FindOption(name);
        if (row == nullptr) {
            errors << "Simulator: error: unknown option '" << name << "' (see --help)\n";
            return false;
        }
        if (row->Value == nullptr) {
            if (equals != std::string::npos) {
                errors << "Simulator: error: " << row->Name << " takes no value\n";
                return false;
            }
            options.*(row->Switch) = true;
            continue;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            errors << "Simulator: error: " << row->Name << " needs a value: " << row->Value << "\n";
            return false;
        }
        context.Message.clear();
        if (!row->Apply(value, options, context)) {
            errors << "Simulator: error: bad value '" << value << "' for " << row->Name << ": "
                   << (context.Message.empty() ? "expected " + std::string(row->Value) : context.Message) << "\n";
            return false;
        }
    }
    return CheckModelOptions(options, errors);
}

void WriteUsage(std::ostream& out)
{
    out << "Usage: Simulator [options] FILE.o|FILE.hex|FILE.bin|FILE.asm|FILE.com\n"
           "Runs an 8085 (or, with --cpu 8080, an 8080) program and shows or checks what\n"
           "it did. Addresses and values take the assembler's numbers and expressions\n"
           "(0FFH, 255, 11111111B, TABLE+2), with the program's names when it has them;\n"
           "counts are decimal.\n";
    for (const OptionRow& row : OptionRows) {
        std::string left = std::string("  ") + row.Name + (row.Value != nullptr ? std::string(" ") + row.Value : "");
        if (left.size() < 38)
            left.resize(38, ' ');
        else
            left += "\n" + std::string(38, ' ');
        out << left << row.Help << "\n";
    }
    out << "Exit status: 0 ran and every check passed, 1 a check failed or the program\n"
           "ran an undocumented opcode (or the source has errors), 2 bad usage or a file\n"
           "that cannot be loaded, 3 no HLT within --max-steps (or the program read on\n"
           "after the end of its input), 128+N stopped by signal N (130: Ctrl-C).\n";
}
