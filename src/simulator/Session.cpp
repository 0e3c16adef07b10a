// Setting up and running one program: hooks for the ports, the run loop with
// breakpoints, scheduled interrupts and the step limit, and the trace.
#include "simulator/Session.h"

#include <algorithm>
#include <cstring>

#include "simulator/HexText.h"
#include "simulator/Report.h"

namespace {

std::uint8_t ReadQueuedInput(void* context, std::uint8_t port)
{
    Session& session = *static_cast<Session*>(context);
    std::size_t& read = session.InRead[port];
    if (read < session.InQueues[port].size())
        return session.InQueues[port][read++];
    if (!session.WarnedPorts[port]) {
        session.WarnedPorts[port] = true;
        *session.Errors << "Simulator: warning: IN " << HexByte(port) << "H at " << HexWord(session.Address)
                        << "H found no queued byte and reads FFH (see --in)\n";
    }
    return 0xFF;
}

void RecordOut(void* context, std::uint8_t port, std::uint8_t value)
{
    Session& session = *static_cast<Session*>(context);
    if (session.Outputs.size() < MaxRecordedWrites)
        session.Outputs.push_back(PortWrite{port, value});
    else
        session.DroppedWrites++;
}

void RecordSim(void* context, std::uint8_t accumulator)
{
    Session& session = *static_cast<Session*>(context);
    if (session.SimWrites.size() < MaxRecordedWrites)
        session.SimWrites.push_back(accumulator);
    else
        session.DroppedWrites++;
}

void SetRegister(Machine& machine, RegisterName name, std::uint16_t value)
{
    std::uint8_t high = static_cast<std::uint8_t>(value >> 8), low = static_cast<std::uint8_t>(value);
    switch (name) {
    case RegA:
        machine.A = low;
        break;
    case RegB:
        machine.B = low;
        break;
    case RegC:
        machine.C = low;
        break;
    case RegD:
        machine.D = low;
        break;
    case RegE:
        machine.E = low;
        break;
    case RegH:
        machine.H = low;
        break;
    case RegL:
        machine.L = low;
        break;
    // Only the five flags are settable; bits 1, 3 and 5 stay as the core keeps them.
    case RegFlags:
        machine.Flags = static_cast<std::uint8_t>((machine.Flags & ~FlagBits) | (low & FlagBits));
        break;
    case RegBC:
        machine.B = high, machine.C = low;
        break;
    case RegDE:
        machine.D = high, machine.E = low;
        break;
    case RegHL:
        machine.H = high, machine.L = low;
        break;
    case RegSP:
        machine.SP = value;
        break;
    case RegPC:
        machine.PC = value;
        break;
    }
}

// After a HLT the processor waits for an interrupt: the next scheduled one
// comes at once. False when none is left.
bool RaiseNextForHalt(Session& session)
{
    if (session.NextInterrupt >= session.Schedule.size())
        return false;
    RaiseInterrupt(*session.Cpu, session.Schedule[session.NextInterrupt++].Line);
    return true;
}

void RaiseDueInterrupts(Session& session)
{
    while (session.NextInterrupt < session.Schedule.size()
        && session.Schedule[session.NextInterrupt].Step <= session.Cpu->Steps)
        RaiseInterrupt(*session.Cpu, session.Schedule[session.NextInterrupt++].Line);
}

// One step with its trace line: the instruction as it stood before it ran,
// the registers after; an interrupt taken instead gets a line of its own.
StepResult StepWithTrace(Session& session)
{
    Machine& machine = *session.Cpu;
    std::uint16_t address = machine.PC;
    char text[32];
    int length = DisassembleInstruction(machine, address, text, sizeof text);
    std::uint8_t bytes[3];
    for (int i = 0; i < 3; i++)
        bytes[i] = machine.Memory[static_cast<std::uint16_t>(address + i)];
    bool pending[Intr + 1];
    for (int line = Trap; line <= Intr; line++)
        pending[line] = IsInterruptPending(machine, static_cast<InterruptLine>(line));
    std::uint64_t tStates = machine.TStates;
    bool halted = machine.Halted;
    StepResult result = StepMachine(machine);
    for (int line = Trap; line <= Rst55; line++) {
        InterruptLine taken = static_cast<InterruptLine>(line);
        if (result == StepRan && pending[line] && !IsInterruptPending(machine, taken)
            && machine.PC == InterruptVector(taken)) {
            WriteInterruptTrace(*session.Report, machine, taken, machine.TStates - tStates);
            return result;
        }
    }
    if (result != StepUndocumented && !halted)
        WriteTraceLine(*session.Report, machine, address, bytes, length, text, machine.TStates - tStates);
    return result;
}

} // namespace

bool IsInterruptPending(const Machine& machine, InterruptLine line)
{
    return machine.PendingLines[line] || (line == Rst75 && machine.Rst75Pending);
}

std::uint16_t InterruptVector(InterruptLine line)
{
    static const std::uint16_t Vectors[] = {0x24, 0x3C, 0x34, 0x2C, 0x38};
    return Vectors[line];
}

void SetUpCpmPageZero(Machine& machine)
{
    static const std::uint8_t PageZero[] = {
        0xC3, 0x03, BdosEntry >> 8,             // 0000H: JMP to the warm boot, which ends the run
        0x00, 0x00,                             // IOBYTE, drive
        0xC3, BdosEntry & 0xFF, BdosEntry >> 8, // 0005H: JMP BDOS
    };
    std::memcpy(machine.Memory, PageZero, sizeof PageZero);
    machine.Memory[BdosEntry] = 0xC9;     // RET, never run: the call is served before
    machine.Memory[BdosEntry + 3] = 0x76; // HLT at the warm boot, never run either
    // The program starts with 0000H on the stack, so its RET is a warm boot.
    machine.SP = BdosEntry - 2;
    machine.Memory[BdosEntry - 2] = 0x00;
    machine.Memory[BdosEntry - 1] = 0x00;
}

bool SetUpSession(Session& session, const ByteImage& image, std::uint16_t start, std::ostream& errors)
{
    const SimOptions& options = session.Options;
    session.Cpu.reset(new Machine());
    Machine& machine = *session.Cpu;
    ResetMachine(machine, options.Fill);
    if (options.Cpm) {
        for (std::uint32_t address = 0; address < 0x10000; address++) {
            if (image.Lines[address] != 0 && (address < 0x100 || address >= BdosEntry)) {
                errors << "Simulator: error: the program loads " << HexWord(address)
                       << "H, but a CP/M program must stay within 0100H-" << HexWord(BdosEntry - 1) << "H\n";
                return false;
            }
        }
        SetUpCpmPageZero(machine);
    }
    for (std::uint32_t address = 0; address < 0x10000; address++) {
        if (image.Lines[address] != 0)
            machine.Memory[address] = image.Bytes[address];
    }
    for (const MemoryBytes& set : options.Sets)
        std::memcpy(machine.Memory + set.Address, set.Bytes.data(), set.Bytes.size());
    machine.PC = start;
    for (const RegisterValue& setting : options.Registers)
        SetRegister(machine, setting.Register, setting.Value);
    if (options.HasSerialIn)
        machine.SerialIn = options.SerialIn;

    session.MemoryBefore.assign(machine.Memory, machine.Memory + 0x10000);
    session.Breakpoints.assign(0x10000, false);
    for (std::uint16_t address : options.Breakpoints)
        session.Breakpoints[address] = true;
    session.Schedule = options.Interrupts;
    std::stable_sort(session.Schedule.begin(), session.Schedule.end(),
        [](const ScheduledInterrupt& a, const ScheduledInterrupt& b) { return a.Step < b.Step; });
    session.InQueues.assign(256, {});
    session.InRead.assign(256, 0);
    session.WarnedPorts.assign(256, false);
    session.WarnedBdos.assign(256, false);
    for (const PortBytes& input : options.Inputs) {
        std::vector<std::uint8_t>& queue = session.InQueues[input.Port];
        queue.insert(queue.end(), input.Bytes.begin(), input.Bytes.end());
    }
    machine.Hooks = MachineHooks{&session, ReadQueuedInput, RecordOut, RecordSim};
    return true;
}

bool ServeCpmCall(Session& session)
{
    Machine& machine = *session.Cpu;
    if (machine.PC == 0x0000) {
        session.Stop = StopWarmBoot;
        return true;
    }
    std::uint8_t function = machine.C;
    if (function == 0) {
        session.Stop = StopBdosReset;
        return true;
    }
    if (function == 2) {
        session.Console->put(static_cast<char>(machine.E));
    } else if (function == 9) {
        // Up to '$', and never more than all of memory.
        std::uint16_t address = static_cast<std::uint16_t>(machine.D << 8 | machine.E);
        for (std::uint32_t count = 0; count < 0x10000 && machine.Memory[address] != '$'; count++)
            session.Console->put(static_cast<char>(machine.Memory[address++]));
    } else if (!session.WarnedBdos[function]) {
        session.WarnedBdos[function] = true;
        *session.Errors << "Simulator: warning: BDOS function " << static_cast<unsigned>(function)
                        << " is not served (only 0, 2 and 9); it returns at once\n";
    }
    // Return as RET would, and count the call as that RET.
    machine.PC =
        static_cast<std::uint16_t>(machine.Memory[machine.SP] | machine.Memory[(machine.SP + 1) & 0xFFFF] << 8);
    machine.SP = static_cast<std::uint16_t>(machine.SP + 2);
    machine.Steps++;
    machine.TStates += 10;
    return false;
}

void RunSession(Session& session)
{
    Machine& machine = *session.Cpu;
    const SimOptions& options = session.Options;
    bool first = true;
    std::uint16_t haltAddress = machine.PC;
    for (;;) {
        if (machine.Steps >= options.MaxSteps) {
            session.Stop = StopMaxSteps;
            session.Address = machine.PC;
            return;
        }
        RaiseDueInterrupts(session);
        std::uint16_t address = machine.PC;
        session.Address = address;
        // A breakpoint at the start address would stop before anything ran.
        if (!first && session.Breakpoints[address]) {
            session.Stop = StopBreakpoint;
            return;
        }
        first = false;
        if (options.Cpm && (address == 0x0000 || address == BdosEntry)) {
            std::uint8_t function = machine.C;
            if (ServeCpmCall(session))
                return;
            if (options.Trace)
                WriteBdosTrace(*session.Report, machine, function);
            continue;
        }
        bool halted = machine.Halted;
        StepResult result = options.Trace ? StepWithTrace(session) : StepMachine(machine);
        if (result == StepUndocumented) {
            session.Stop = StopUndocumented;
            return;
        }
        if (result == StepHalted) {
            if (!halted)
                haltAddress = address;
            if (!RaiseNextForHalt(session)) {
                session.Stop = StopHalt;
                session.Address = haltAddress;
                return;
            }
        }
    }
}
