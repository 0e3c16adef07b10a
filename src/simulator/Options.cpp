// The simulator's options: one table row per option, one reader per kind of
// value, numbers in the assembler's own forms.
#include "simulator/Options.h"

#include <cctype>
#include <cstring>

#include "pass1/Pass1.h"

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

bool ParseAddress(const std::string& text, std::uint16_t& value)
{
    return ParseNumberLiteral(text, value);
}

bool ParseByte(const std::string& text, std::uint8_t& value)
{
    std::uint16_t word = 0;
    if (!ParseNumberLiteral(text, word) || word > 0xFF)
        return false;
    value = static_cast<std::uint8_t>(word);
    return true;
}

// "1,2,0FFH": at least one byte, no empty item.
bool ParseByteList(const std::string& text, std::vector<std::uint8_t>& bytes)
{
    bytes.clear();
    std::size_t from = 0;
    for (;;) {
        std::size_t comma = text.find(',', from);
        std::uint8_t byte = 0;
        if (!ParseByte(text.substr(from, comma == std::string::npos ? std::string::npos : comma - from), byte))
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

bool ParseRegisterValue(const std::string& text, RegisterValue& setting)
{
    std::string name, value;
    if (!SplitAssignment(text, name, value) || !FindRegister(name, setting.Register))
        return false;
    if (!ParseNumberLiteral(value, setting.Value))
        return false;
    return IsRegisterPair(setting.Register) || setting.Value <= 0xFF;
}

bool ParseMemoryBytes(const std::string& text, MemoryBytes& memory)
{
    std::string address, bytes;
    return SplitAssignment(text, address, bytes) && ParseAddress(address, memory.Address)
        && ParseByteList(bytes, memory.Bytes);
}

bool ParsePortBytes(const std::string& text, PortBytes& port)
{
    std::string number, bytes;
    return SplitAssignment(text, number, bytes) && ParseByte(number, port.Port) && ParseByteList(bytes, port.Bytes);
}

// The one value reader of each option: true if the value was good.
bool ApplyStart(const std::string& value, SimOptions& options)
{
    options.HasStart = ParseAddress(value, options.Start);
    return options.HasStart;
}

bool ApplyLoad(const std::string& value, SimOptions& options)
{
    options.HasLoad = ParseAddress(value, options.LoadAddress);
    return options.HasLoad;
}

bool ApplyFill(const std::string& value, SimOptions& options)
{
    return ParseByte(value, options.Fill);
}

bool ApplyMaxSteps(const std::string& value, SimOptions& options)
{
    options.HasMaxSteps = true;
    return ParseCount(value, options.MaxSteps) && options.MaxSteps >= 1 && options.MaxSteps <= MaxStepLimit;
}

bool ApplyBreak(const std::string& value, SimOptions& options)
{
    std::uint16_t address = 0;
    if (!ParseAddress(value, address))
        return false;
    options.Breakpoints.push_back(address);
    return true;
}

bool ApplySet(const std::string& value, SimOptions& options)
{
    MemoryBytes memory;
    if (!ParseMemoryBytes(value, memory) || memory.Address + memory.Bytes.size() > 0x10000)
        return false;
    options.Sets.push_back(memory);
    return true;
}

bool ApplyRegister(const std::string& value, SimOptions& options)
{
    RegisterValue setting{RegA, 0};
    if (!ParseRegisterValue(value, setting))
        return false;
    options.Registers.push_back(setting);
    return true;
}

bool ApplyIn(const std::string& value, SimOptions& options)
{
    PortBytes port;
    if (!ParsePortBytes(value, port))
        return false;
    options.Inputs.push_back(port);
    return true;
}

bool ApplySerialIn(const std::string& value, SimOptions& options)
{
    if (value != "0" && value != "1")
        return false;
    options.HasSerialIn = true;
    options.SerialIn = value == "1";
    return true;
}

bool ApplyInterrupt(const std::string& value, SimOptions& options)
{
    static const struct {
        const char* Name;
        InterruptLine Line;
    } Lines[] = {{"TRAP", Trap}, {"RST7.5", Rst75}, {"RST6.5", Rst65}, {"RST5.5", Rst55}};
    std::size_t at = value.find('@');
    if (at == std::string::npos)
        return false;
    std::string name = UpperCase(value.substr(0, at));
    ScheduledInterrupt interrupt{Trap, 0};
    if (!ParseCount(value.substr(at + 1), interrupt.Step))
        return false;
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
bool ApplyClock(const std::string& value, SimOptions& options)
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

bool ApplyDump(const std::string& value, SimOptions& options)
{
    std::size_t dash = value.find('-');
    DumpRange range{0, 0};
    if (dash == std::string::npos || !ParseAddress(value.substr(0, dash), range.First)
        || !ParseAddress(value.substr(dash + 1), range.Last) || range.Last < range.First)
        return false;
    options.Dumps.push_back(range);
    return true;
}

// --expect takes a register (its name starts with a letter) or an address
// (a number starts with a digit).
bool ApplyExpect(const std::string& value, SimOptions& options)
{
    Expectation expectation{};
    std::string name, rest;
    if (!SplitAssignment(value, name, rest))
        return false;
    if (std::isdigit(static_cast<unsigned char>(name[0]))) {
        expectation.Kind = ExpectMemory;
        if (!ParseMemoryBytes(value, expectation.Memory)
            || expectation.Memory.Address + expectation.Memory.Bytes.size() > 0x10000)
            return false;
    } else {
        expectation.Kind = ExpectRegister;
        if (!ParseRegisterValue(value, expectation.Register))
            return false;
    }
    options.Expectations.push_back(expectation);
    return true;
}

bool ApplyExpectOut(const std::string& value, SimOptions& options)
{
    Expectation expectation{};
    expectation.Kind = ExpectOut;
    if (!ParsePortBytes(value, expectation.Out))
        return false;
    options.Expectations.push_back(expectation);
    return true;
}

bool ApplyExpectCycles(const std::string& value, SimOptions& options)
{
    Expectation expectation{};
    expectation.Kind = ExpectCycles;
    if (!ParseCount(value, expectation.Cycles))
        return false;
    options.Expectations.push_back(expectation);
    return true;
}

struct OptionRow {
    const char* Name;
    const char* Value; // what the value is, for messages and --help; null: a switch
    bool (*Apply)(const std::string& value, SimOptions& options);
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
        "raise TRAP, RST7.5, RST6.5 or RST5.5 after STEP instructions"},
    {"--clock", "MHZ", ApplyClock, nullptr, "clock for the time shown (default 3.072)"},
    {"--trace", nullptr, nullptr, &SimOptions::Trace, "print every instruction with the registers after it"},
    {"--dump", "ADDR-ADDR", ApplyDump, nullptr, "print memory in hex and ASCII after the run"},
    {"--expect", "ADDR=BYTE[,...]|REG=VALUE", ApplyExpect, nullptr, "check memory or a register after the run"},
    {"--expect-out", "PORT=BYTE[,...]", ApplyExpectOut, nullptr, "check every byte written to PORT, in order"},
    {"--expect-cycles", "N", ApplyExpectCycles, nullptr, "check the T-states of the run"},
    {"--cpm", nullptr, nullptr, &SimOptions::Cpm, "run a CP/M .COM program at 0100H with console output"},
    {"--help", nullptr, nullptr, &SimOptions::Help, "show this text"},
    {"--version", nullptr, nullptr, &SimOptions::Version, "show the version"},
};

const OptionRow* FindOption(const std::string& name)
{
    for (const OptionRow& row : OptionRows) {
        if (name == row.Name)
            return &row;
    }
    return nullptr;
}

} // namespace

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

bool ParseSimOptions(const std::vector<std::string>& arguments, SimOptions& options, std::ostream& errors)
{
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
        if (!row->Apply(value, options)) {
            errors << "Simulator: error: bad value '" << value << "' for " << row->Name << ": expected " << row->Value
                   << "\n";
            return false;
        }
    }
    return true;
}

void WriteUsage(std::ostream& out)
{
    out << "Usage: Simulator [options] FILE.o|FILE.hex|FILE.bin|FILE.asm|FILE.com\n"
           "Runs an 8085 program and shows or checks what it did. Numbers take the\n"
           "assembler's forms (0FFH, 255, 11111111B); counts are decimal.\n";
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
           "that cannot be loaded, 3 no HLT within --max-steps.\n";
}
