// The report, the dumps and the checks, each field formatted in one place.
#include "simulator/Report.h"

#include "simulator/HexText.h"

namespace {

std::string FormatBytes(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.empty())
        return "nothing";
    std::string text;
    for (std::uint8_t byte : bytes)
        text += (text.empty() ? "" : " ") + HexByte(byte) + "H";
    return text;
}

// What one SIM did: the masks with MSE, the 7.5 latch reset, SOD with SDE.
std::string FormatSim(std::uint8_t accumulator)
{
    std::string text;
    if (accumulator & 0x08)
        text += std::string(" masks M7.5=") + (accumulator & 4 ? "1" : "0") + " M6.5=" + (accumulator & 2 ? "1" : "0")
            + " M5.5=" + (accumulator & 1 ? "1" : "0");
    if (accumulator & 0x10)
        text += " RST7.5 latch reset";
    if (accumulator & 0x40)
        text += std::string(" SOD=") + (accumulator & 0x80 ? "1" : "0");
    return text.empty() ? " no effect" : text;
}

struct CheckOutcome {
    std::string Name, Expected, Actual;
};

CheckOutcome EvaluateCheck(const Session& session, const Expectation& expectation)
{
    const Machine& machine = *session.Cpu;
    switch (expectation.Kind) {
    case ExpectMemory: {
        std::vector<std::uint8_t> actual;
        for (std::size_t i = 0; i < expectation.Memory.Bytes.size(); i++)
            actual.push_back(machine.Memory[expectation.Memory.Address + i]);
        return {FormatAddress(session, expectation.Memory.Address), FormatBytes(expectation.Memory.Bytes),
            FormatBytes(actual)};
    }
    case ExpectRegister: {
        RegisterName name = expectation.Register.Register;
        unsigned expected = expectation.Register.Value, actual = ReadRegister(machine, name);
        if (name == RegFlags)
            expected &= FlagBits;
        if (IsRegisterPair(name))
            return {RegisterText(name), HexWord(expected) + "H", HexWord(actual) + "H"};
        return {RegisterText(name), HexByte(expected) + "H", HexByte(actual) + "H"};
    }
    case ExpectOut: {
        std::vector<std::uint8_t> actual;
        for (const PortWrite& write : session.Outputs) {
            if (write.Port == expectation.Out.Port)
                actual.push_back(write.Value);
        }
        return {"OUT " + HexByte(expectation.Out.Port) + "H", FormatBytes(expectation.Out.Bytes), FormatBytes(actual)};
    }
    case ExpectCycles:
        return {"T-states", std::to_string(expectation.Cycles), std::to_string(machine.TStates)};
    }
    return {};
}

} // namespace

std::string FormatAddress(const Session& session, std::uint16_t address)
{
    std::string text = HexWord(address) + "H";
    std::string name = session.Program.HasSymbols ? NameAddress(session.Program.Symbols, address) : "";
    return name.empty() ? text : text + " " + name;
}

std::string FormatStop(const Session& session)
{
    const Machine& machine = *session.Cpu;
    std::string at = FormatAddress(session, session.Address);
    switch (session.Stop) {
    case StopHalt:
        return "HLT at " + at;
    case StopBreakpoint:
        return "breakpoint at " + at;
    case StopMaxSteps:
        return "no HLT within " + std::to_string(session.Options.MaxSteps) + " instructions (--max-steps), PC " + at;
    case StopUndocumented:
        return "undocumented opcode " + HexByte(machine.Memory[session.Address]) + "H at " + at;
    case StopWarmBoot:
        return "warm boot (jump to 0000H)";
    case StopBdosReset:
        return "BDOS function 0 (system reset)";
    case StopWatchpoint:
        return "watchpoint " + std::to_string(session.Watch.Number) + " at " + FormatAddress(session, session.Watch.Address)
            + ": " + HexByte(session.Watch.Old) + " -> " + HexByte(session.Watch.New) + ", written by the instruction at "
            + FormatAddress(session, session.Watch.Writer);
    case StopDone:
        return "at " + at;
    case StopPaused:
        return "interrupted at " + at;
    case StopInputWanted:
        return "waiting for input at " + at;
    case StopCancelled:
        return "warm boot (Ctrl-C at the start of a line)";
    case StopInputSpent:
        return "the program kept reading after the end of its input, at " + at;
    case StopNone:
        return "not run yet, PC " + at;
    }
    return "";
}


std::string CpuLine(CpuModel model)
{
    return model == Cpu8080 ? "CPU: 8080\n" : "";
}

void WriteReport(const Session& session, std::ostream& out)
{
    const Machine& machine = *session.Cpu;
    bool is8085 = machine.Model == Cpu8085;
    out << CpuLine(machine.Model);
    out << "Stopped: " << FormatStop(session) << "\n";
    out << "Registers: " << FormatRegisters(machine, true) << "\n";
    out << "Flags: S=" << (machine.Flags & FlagS ? 1 : 0) << " Z=" << (machine.Flags & FlagZ ? 1 : 0)
        << " AC=" << (machine.Flags & FlagAC ? 1 : 0) << " P=" << (machine.Flags & FlagP ? 1 : 0)
        << " CY=" << (machine.Flags & FlagCY ? 1 : 0) << "\n";
    // The 8080 has no masks and no serial lines.
    out << "Interrupts: IE=" << (machine.InterruptsEnabled ? 1 : 0);
    if (is8085)
        out << " M7.5=" << (machine.InterruptMasks & 4 ? 1 : 0) << " M6.5=" << (machine.InterruptMasks & 2 ? 1 : 0)
            << " M5.5=" << (machine.InterruptMasks & 1 ? 1 : 0) << " SID=" << (machine.SerialIn ? 1 : 0)
            << " SOD=" << (machine.SerialOut ? 1 : 0);
    // A raised line the program never let in is worth a word.
    std::string pending;
    for (int line = Trap; line <= Intr; line++) {
        if (IsInterruptPending(machine, static_cast<InterruptLine>(line)))
            pending += std::string(" ") + InterruptName(static_cast<InterruptLine>(line));
    }
    out << (pending.empty() ? "" : " pending:") << pending << "\n";
    out << "Instructions: " << machine.Steps << "\n";
    out << "T-states: " << machine.TStates << "\n";
    out << "Time: " << FormatTime(machine.TStates, session.Options.ClockKHz) << "\n";

    std::size_t changed = 0;
    for (std::uint32_t address = 0; address < 0x10000; address++)
        changed += machine.Memory[address] != session.MemoryBefore[address];
    out << "Memory changed: " << changed << "\n";
    for (std::uint32_t address = 0; address < 0x10000; address++) {
        if (machine.Memory[address] != session.MemoryBefore[address])
            out << "  " << FormatAddress(session, static_cast<std::uint16_t>(address)) << ": "
                << HexByte(session.MemoryBefore[address]) << " -> "
                << HexByte(machine.Memory[address]) << "\n";
    }
    out << "OUT: " << session.Outputs.size() << "\n";
    for (const PortWrite& write : session.Outputs)
        out << "  port " << HexByte(write.Port) << "H: " << HexByte(write.Value) << "\n";
    if (is8085)
        out << "SIM: " << session.SimWrites.size() << "\n";
    for (std::uint8_t accumulator : session.SimWrites)
        out << "  " << HexByte(accumulator) << "H:" << FormatSim(accumulator) << "\n";
    if (session.DroppedWrites != 0)
        out << "  (" << session.DroppedWrites << " more OUT and SIM writes not kept)\n";
}

void WriteDump(const Machine& machine, const DumpRange& range, std::ostream& out)
{
    out << "Memory " << HexWord(range.First) << "H-" << HexWord(range.Last) << "H:\n";
    for (std::uint32_t row = range.First; row <= range.Last; row += 16) {
        std::string hex, text;
        for (std::uint32_t address = row; address < row + 16; address++) {
            if (address > range.Last) {
                hex += "   ";
                continue;
            }
            std::uint8_t byte = machine.Memory[address];
            hex += " " + HexByte(byte);
            text += (byte >= 0x20 && byte < 0x7F) ? static_cast<char>(byte) : '.';
        }
        out << HexWord(row) << " " << hex << "  " << text << "\n";
    }
}

bool WriteChecks(const Session& session, std::ostream& out)
{
    const std::vector<Expectation>& expectations = session.Options.Expectations;
    if (expectations.empty())
        return true;
    int failed = 0;
    std::string lines;
    for (const Expectation& expectation : expectations) {
        CheckOutcome outcome = EvaluateCheck(session, expectation);
        bool passed = outcome.Expected == outcome.Actual;
        failed += passed ? 0 : 1;
        lines += std::string("  ") + (passed ? "passed: " : "failed: ") + outcome.Name + ": expected "
            + outcome.Expected + ", actual " + outcome.Actual + "\n";
    }
    out << "Checks: " << expectations.size() - failed << " passed, " << failed << " failed\n" << lines;
    return failed == 0;
}
