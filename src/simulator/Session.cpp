// The session: setting up and resetting one program, the run loop (a fast
// slice loop and a checked one), breakpoints, watchpoints, the port hooks and
// the CP/M calls served outside the core.
#include "simulator/Session.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "simulator/HexText.h"

namespace {

// Instructions between two looks at the pause request and the schedule in
// the fast loop: short enough to answer at once, long enough to cost nothing.
constexpr std::uint64_t SliceSteps = 1u << 16;

// Characters decoded from SOD go to the console; a line that does not
// decode is named once.
void PassOnSerialText(Session& session, const std::string& decoded)
{
    PrintConsole(session.Io, decoded.data(), decoded.size());
    WriteText(session.Warnings, TakeSodFailure(session.Serial, session.Options.ClockKHz));
}

std::uint8_t ReadQueuedInput(void* context, std::uint8_t port)
{
    Session& session = *static_cast<Session*>(context);
    std::uint8_t value = 0;
    if (ReadUart(session.Options.Uart, session.Io, port, session.Cpu->Steps, value))
        return value;
    std::size_t& read = session.InRead[port];
    if (read < session.InQueues[port].size())
        return session.InQueues[port][read++];
    if (session.HeldInputs[port] >= 0)
        return static_cast<std::uint8_t>(session.HeldInputs[port]);
    if (!session.WarnedPorts[port]) {
        session.WarnedPorts[port] = true;
        // The core has fetched the IN and its port: PC is past both.
        std::uint16_t address = static_cast<std::uint16_t>(session.Cpu->PC - 2);
        WriteText(session.Warnings,
            "Simulator: warning: IN " + HexByte(port) + "H at " + HexWord(address)
                + "H found no queued byte and reads FFH (see --in)\n");
    }
    return 0xFF;
}

// The UART's data bytes are console output, not listed.
void RecordOut(void* context, std::uint8_t port, std::uint8_t value)
{
    Session& session = *static_cast<Session*>(context);
    if (WriteUart(session.Options.Uart, session.Io, port, value))
        return;
    if (session.Outputs.size() < MaxRecordedWrites)
        session.Outputs.push_back(PortWrite{port, value});
    else
        session.DroppedWrites++;
}

// On a serial line a SIM that only sets SOD sends a bit: decoded, not listed.
void RecordSim(void* context, std::uint8_t accumulator)
{
    Session& session = *static_cast<Session*>(context);
    if (session.Serial.Enabled && (accumulator & 0x40) != 0) {
        std::string decoded;
        SetSod(session.Serial, session.Cpu->TStates, (accumulator & 0x80) != 0, decoded);
        PassOnSerialText(session, decoded);
        if ((accumulator & 0x18) == 0)
            return;
    }
    if (session.SimWrites.size() < MaxRecordedWrites)
        session.SimWrites.push_back(accumulator);
    else
        session.DroppedWrites++;
}

bool SampleSerialIn(void* context)
{
    Session& session = *static_cast<Session*>(context);
    // A program that looks at SID has finished what it sent on SOD.
    std::string decoded;
    AdvanceSod(session.Serial, session.Cpu->TStates, decoded);
    PassOnSerialText(session, decoded);
    return SampleSid(session.Serial, session.Io, session.Cpu->TStates, session.Cpu->Steps);
}

// After a HLT the processor waits for an interrupt: the next scheduled one
// comes at once. False when none is left.
bool RaiseNextForHalt(Session& session)
{
    if (session.NextInterrupt >= session.Schedule.size())
        return false;
    const ScheduledInterrupt& interrupt = session.Schedule[session.NextInterrupt++];
    RaiseInterrupt(*session.Cpu, interrupt.Line, interrupt.Restart);
    return true;
}

void RaiseDueInterrupts(Session& session)
{
    while (session.NextInterrupt < session.Schedule.size()
        && session.Schedule[session.NextInterrupt].Step <= session.Cpu->Steps) {
        const ScheduledInterrupt& interrupt = session.Schedule[session.NextInterrupt++];
        RaiseInterrupt(*session.Cpu, interrupt.Line, interrupt.Restart);
    }
}

void RebuildMarks(Session& session)
{
    session.Marks.assign(0x10000, 0);
    for (const Breakpoint& breakpoint : session.Breakpoints)
        session.Marks[breakpoint.Address] |= MarkBreak;
    if (session.Options.Cpm) {
        session.Marks[0x0000] |= MarkCpm;
        session.Marks[BdosEntry] |= MarkCpm;
    }
}

StopReason Stopped(Session& session, StopReason reason, std::uint16_t address)
{
    session.Stop = reason;
    session.Address = address;
    return reason;
}

// The console asked for a stop: for input, or because the input is spent.
StopReason StopForConsole(Session& session, std::uint16_t address)
{
    ConsoleIo& io = session.Io;
    io.Waiting = io.Request;
    io.Request = ConsoleGoesOn;
    return Stopped(session, io.Waiting == ConsoleInputSpent ? StopInputSpent : StopInputWanted, address);
}

// SP is below frame, counting round the top of memory as a stack does.
bool IsBelowFrame(std::uint16_t sp, std::uint16_t frame)
{
    return static_cast<std::uint16_t>(sp - frame) >= 0x8000;
}

bool IsReturnOpcode(std::uint8_t opcode)
{
    return opcode == 0xC9 || opcode == 0xD9 || (opcode & 0xC7) == 0xC0;
}

// PUSH, CALL, Ccc, RST, and the 8080's CALL forms: they write below SP.
bool IsPushOpcode(std::uint8_t opcode)
{
    return (opcode & 0xCF) == 0xC5 || opcode == 0xCD || (opcode & 0xC7) == 0xC4 || (opcode & 0xC7) == 0xC7
        || opcode == 0xDD || opcode == 0xED || opcode == 0xFD;
}

// The bytes an instruction writes through HL, BC, DE, its address operand
// or SP itself, worked out before it runs; the pushes are found after it.
int FixedWrites(const Machine& machine, std::uint16_t written[2])
{
    std::uint16_t at = machine.PC;
    std::uint8_t opcode = machine.Memory[at];
    std::uint16_t operand = static_cast<std::uint16_t>(
        machine.Memory[static_cast<std::uint16_t>(at + 1)] | machine.Memory[static_cast<std::uint16_t>(at + 2)] << 8);
    auto pair = [](std::uint8_t high, std::uint8_t low) { return static_cast<std::uint16_t>(high << 8 | low); };
    if ((opcode >= 0x70 && opcode <= 0x77 && opcode != 0x76) || (opcode >= 0x34 && opcode <= 0x36)) {
        written[0] = pair(machine.H, machine.L);
        return 1;
    }
    switch (opcode) {
    case 0x02:
        written[0] = pair(machine.B, machine.C);
        return 1;
    case 0x12:
        written[0] = pair(machine.D, machine.E);
        return 1;
    case 0x32:
        written[0] = operand;
        return 1;
    case 0x22:
        written[0] = operand;
        written[1] = static_cast<std::uint16_t>(operand + 1);
        return 2;
    case 0xE3:
        written[0] = machine.SP;
        written[1] = static_cast<std::uint16_t>(machine.SP + 1);
        return 2;
    default:
        return 0;
    }
}

const Watchpoint* FindWatchpoint(const Session& session, std::uint16_t address)
{
    for (const Watchpoint& watch : session.Watchpoints) {
        if (address >= watch.First && address <= watch.Last)
            return &watch;
    }
    return nullptr;
}

// The interrupt the last step took instead of an instruction, if any.
bool FindTakenInterrupt(const Machine& after, const bool pendingBefore[], InterruptLine& taken)
{
    for (int line = Trap; line <= Intr; line++) {
        InterruptLine candidate = static_cast<InterruptLine>(line);
        if (pendingBefore[line] && !IsInterruptPending(after, candidate)
            && after.PC == InterruptVector(candidate, after.IntrOpcode)) {
            taken = candidate;
            return true;
        }
    }
    return false;
}

// Candidate bytes a step may write, with their values before it.
struct WriteWatch {
    std::uint16_t Fixed[2];
    int FixedCount;
    std::uint16_t Sp;
    std::uint8_t Before[4]; // Fixed[0], Fixed[1], SP-1, SP-2
};

void PrepareWriteWatch(const Machine& machine, WriteWatch& watch)
{
    watch.FixedCount = FixedWrites(machine, watch.Fixed);
    watch.Sp = machine.SP;
    for (int i = 0; i < watch.FixedCount; i++)
        watch.Before[i] = machine.Memory[watch.Fixed[i]];
    watch.Before[2] = machine.Memory[static_cast<std::uint16_t>(watch.Sp - 1)];
    watch.Before[3] = machine.Memory[static_cast<std::uint16_t>(watch.Sp - 2)];
}

// The first watched byte the step wrote, in the order the processor writes.
bool FindWatchHit(const Session& session, const WriteWatch& watch, bool pushed, bool ranInstruction,
    std::uint16_t writer, WatchHit& hit)
{
    std::uint16_t addresses[4];
    std::uint8_t before[4];
    int count = 0;
    if (ranInstruction) {
        for (int i = 0; i < watch.FixedCount; i++) {
            addresses[count] = watch.Fixed[i];
            before[count++] = watch.Before[i];
        }
    }
    if (pushed) {
        addresses[count] = static_cast<std::uint16_t>(watch.Sp - 1);
        before[count++] = watch.Before[2];
        addresses[count] = static_cast<std::uint16_t>(watch.Sp - 2);
        before[count++] = watch.Before[3];
    }
    for (int i = 0; i < count; i++) {
        if (const Watchpoint* watchpoint = FindWatchpoint(session, addresses[i])) {
            hit = WatchHit{watchpoint->Number, addresses[i], before[i], session.Cpu->Memory[addresses[i]], writer};
            return true;
        }
    }
    return false;
}

// One instruction with everything a checked run looks at: the observer,
// watchpoints, input wanted, a finish. Sets stop when the step ends the run.
StepResult StepChecked(Session& session, const RunRequest& request, StopReason& stop)
{
    Machine& machine = *session.Cpu;
    std::uint16_t address = machine.PC;
    std::uint8_t opcode = machine.Memory[address];
    if (session.WaitForInput && opcode == 0xDB) {
        std::uint8_t port = machine.Memory[static_cast<std::uint16_t>(address + 1)];
        if (session.InRead[port] >= session.InQueues[port].size() && session.HeldInputs[port] < 0) {
            stop = StopInputWanted;
            return StepRan;
        }
    }
    StepEvent event{};
    event.Kind = EventInstruction;
    event.Address = address;
    for (int i = 0; i < 3; i++)
        event.Bytes[i] = machine.Memory[static_cast<std::uint16_t>(address + i)];
    bool pending[Intr + 1];
    for (int line = Trap; line <= Intr; line++)
        pending[line] = IsInterruptPending(machine, static_cast<InterruptLine>(line));
    bool watching = !session.Watchpoints.empty();
    WriteWatch watch{};
    if (watching)
        PrepareWriteWatch(machine, watch);
    std::uint16_t sp = machine.SP;
    std::uint64_t tStates = machine.TStates;
    bool halted = machine.Halted;

    StepResult result = StepMachine(machine);
    if (result == StepUndocumented)
        return result;
    InterruptLine line = Trap;
    bool interrupt = result == StepRan && FindTakenInterrupt(machine, pending, line);
    bool ran = !interrupt && !halted;
    if (interrupt) {
        event.Kind = EventInterrupt;
        event.Line = line;
    }
    event.TStates = machine.TStates - tStates;
    if (session.Observer.Stepped != nullptr && (interrupt || ran))
        session.Observer.Stepped(session.Observer.Context, machine, event);
    if (watching) {
        bool pushed = interrupt || (ran && IsPushOpcode(opcode) && machine.SP == static_cast<std::uint16_t>(sp - 2));
        if (FindWatchHit(session, watch, pushed, ran, address, session.Watch)) {
            stop = StopWatchpoint;
            return result;
        }
    }
    if (request.UntilReturn && ran && IsReturnOpcode(opcode) && machine.SP == static_cast<std::uint16_t>(sp + 2)
        && !IsBelowFrame(machine.SP, request.FrameSP) && machine.SP != request.FrameSP)
        stop = StopDone;
    return result;
}

// The fast loop: instructions until end, a mark or anything but a plain
// step. marks is null when nothing is marked. The model's step function is
// picked once, so no step tests the model.
StepResult RunSlice(Machine& machine, const std::uint8_t* marks, std::uint64_t end)
{
    StepFunction step = StepFunctionFor(machine.Model);
    StepResult result = step(machine);
    if (marks == nullptr) {
        while (result == StepRan && machine.Steps < end)
            result = step(machine);
    } else {
        while (result == StepRan && machine.Steps < end && marks[machine.PC] == 0)
            result = step(machine);
    }
    return result;
}

// Serves the CP/M calls when PC is at 0000H or the BDOS entry; true when the
// program is over (session.Stop says how).
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
    switch (ServeConsoleCall(session.Io, machine, function)) {
    case CallServed:
        break;
    case CallWaits:
    case CallInputSpent:
        StopForConsole(session, machine.PC);
        return true;
    case CallCancelled:
        session.Stop = StopCancelled;
        return true;
    case CallNotConsole:
        if (!session.WarnedBdos[function]) {
            session.WarnedBdos[function] = true;
            WriteText(session.Warnings,
                "Simulator: warning: BDOS function " + std::to_string(function)
                    + " is not served (only 0, 1, 2, 6, 9, 10, 11 and 12); it returns at once\n");
        }
        break;
    }
    // Return as RET would, and count the call as that RET.
    machine.PC =
        static_cast<std::uint16_t>(machine.Memory[machine.SP] | machine.Memory[(machine.SP + 1) & 0xFFFF] << 8);
    machine.SP = static_cast<std::uint16_t>(machine.SP + 2);
    machine.Steps++;
    machine.TStates += 10;
    return false;
}

// True when the call ends the run (session.Stop says how).
bool ServeCpmAndObserve(Session& session)
{
    Machine& machine = *session.Cpu;
    StepEvent event{};
    event.Kind = EventBdos;
    event.Address = machine.PC;
    event.Function = machine.C;
    event.TStates = 10;
    if (ServeCpmCall(session))
        return true;
    if (session.Observer.Stepped != nullptr)
        session.Observer.Stepped(session.Observer.Context, machine, event);
    return false;
}

} // namespace

bool IsInterruptPending(const Machine& machine, InterruptLine line)
{
    return machine.PendingLines[line] || (line == Rst75 && machine.Rst75Pending);
}

std::uint16_t InterruptVector(InterruptLine line, std::uint8_t restart)
{
    static const std::uint16_t Vectors[] = {0x24, 0x3C, 0x34, 0x2C};
    return line == Intr ? restart & 0x38 : Vectors[line];
}

const char* InterruptName(InterruptLine line)
{
    static const char* const Names[] = {"TRAP", "RST7.5", "RST6.5", "RST5.5", "INTR"};
    return Names[line];
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

unsigned ReadRegister(const Machine& machine, RegisterName name)
{
    switch (name) {
    case RegA:
        return machine.A;
    case RegB:
        return machine.B;
    case RegC:
        return machine.C;
    case RegD:
        return machine.D;
    case RegE:
        return machine.E;
    case RegH:
        return machine.H;
    case RegL:
        return machine.L;
    case RegFlags:
        return machine.Flags & FlagBits;
    case RegBC:
        return machine.B << 8 | machine.C;
    case RegDE:
        return machine.D << 8 | machine.E;
    case RegHL:
        return machine.H << 8 | machine.L;
    case RegSP:
        return machine.SP;
    case RegPC:
        return machine.PC;
    }
    return 0;
}

void WriteRegister(Machine& machine, RegisterName name, std::uint16_t value)
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
    // A processor sent elsewhere is no longer waiting at its HLT.
    case RegPC:
        machine.PC = value;
        machine.Halted = false;
        break;
    }
}

bool SetUpSession(Session& session, const LoadedProgram& program, std::uint16_t start, std::ostream& errors)
{
    if (session.Options.Cpm) {
        for (std::uint32_t address = 0; address < 0x10000; address++) {
            if (program.Image.Lines[address] != 0 && (address < 0x100 || address >= BdosEntry)) {
                errors << "Simulator: error: the program loads " << HexWord(address)
                       << "H, but a CP/M program must stay within 0100H-" << HexWord(BdosEntry - 1) << "H\n";
                return false;
            }
        }
    }
    session.Program = program;
    session.Start = start;
    session.Breakpoints.clear();
    session.Watchpoints.clear();
    for (std::uint16_t address : session.Options.Breakpoints)
        AddBreakpoint(session, address, false);
    RebuildMarks(session);
    ResetSession(session);
    return true;
}

void ResetSession(Session& session)
{
    const SimOptions& options = session.Options;
    if (!session.Cpu)
        session.Cpu.reset(new Machine());
    Machine& machine = *session.Cpu;
    ResetMachine(machine, options.Fill, options.Model);
    if (options.Cpm)
        SetUpCpmPageZero(machine);
    const ByteImage& image = session.Program.Image;
    for (std::uint32_t address = 0; address < 0x10000; address++) {
        if (image.Lines[address] != 0)
            machine.Memory[address] = image.Bytes[address];
    }
    for (const MemoryBytes& set : options.Sets)
        std::memcpy(machine.Memory + set.Address, set.Bytes.data(), set.Bytes.size());
    machine.PC = session.Start;
    for (const RegisterValue& setting : options.Registers)
        WriteRegister(machine, setting.Register, setting.Value);
    if (options.HasSerialIn)
        machine.SerialIn = options.SerialIn;
    session.Serial = SerialLine();
    if (options.SerialBaud != 0)
        SetUpSerialLine(session.Serial, options.SerialBaud, options.ClockKHz);
    machine.Hooks =
        MachineHooks{&session, ReadQueuedInput, RecordOut, RecordSim, session.Serial.Enabled ? SampleSerialIn : nullptr};
    // A fresh console keeps where it prints and whether a live source follows.
    bool moreMayCome = session.Io.MoreMayCome;
    session.Io = ConsoleIo();
    session.Io.Out = &session.Console;
    session.Io.MoreMayCome = moreMayCome;
    QueueConsoleInput(session.Io, options.ConsoleInput.data(), options.ConsoleInput.size());

    session.MemoryBefore.assign(machine.Memory, machine.Memory + 0x10000);
    session.Schedule = options.Interrupts;
    std::stable_sort(session.Schedule.begin(), session.Schedule.end(),
        [](const ScheduledInterrupt& a, const ScheduledInterrupt& b) { return a.Step < b.Step; });
    session.NextInterrupt = 0;
    session.InQueues.assign(256, {});
    session.InRead.assign(256, 0);
    session.WarnedPorts.assign(256, false);
    session.WarnedBdos.assign(256, false);
    if (session.HeldInputs.size() != 256)
        session.HeldInputs.assign(256, -1);
    for (const PortBytes& input : options.Inputs)
        QueuePortInput(session, input.Port, input.Bytes);
    session.Outputs.clear();
    session.SimWrites.clear();
    session.DroppedWrites = 0;
    session.Stop = StopNone;
    session.Address = machine.PC;
    session.Watch = WatchHit{};
    if (session.Marks.size() != 0x10000)
        RebuildMarks(session);
}

StopReason RunSession(Session& session, const RunRequest& request)
{
    Machine& machine = *session.Cpu;
    const std::uint64_t limit = session.Options.MaxSteps;
    const std::uint64_t most = std::numeric_limits<std::uint64_t>::max();
    const std::uint64_t stepEnd =
        request.Steps == 0 ? most : (machine.Steps > most - request.Steps ? most : machine.Steps + request.Steps);
    const bool checked = session.Observer.Stepped != nullptr || !session.Watchpoints.empty() || request.HasUntil
        || request.UntilReturn || session.WaitForInput;
    const std::uint8_t* marks = session.Breakpoints.empty() && !session.Options.Cpm ? nullptr : session.Marks.data();
    bool first = true;
    for (;;) {
        if (machine.Steps >= limit)
            return Stopped(session, StopMaxSteps, machine.PC);
        if (machine.Steps >= stepEnd)
            return Stopped(session, StopDone, machine.PC);
        if (session.PauseRequested.load(std::memory_order_relaxed) && session.PauseRequested.exchange(false))
            return Stopped(session, StopPaused, machine.PC);
        if (session.Io.Request != ConsoleGoesOn)
            return StopForConsole(session, machine.PC);
        RaiseDueInterrupts(session);
        std::uint16_t address = machine.PC;
        session.Address = address;
        std::uint8_t mark = session.Marks[address];
        if (!first && (mark & MarkBreak) != 0) {
            // A temporary breakpoint goes once it has stopped a run.
            session.Breakpoints.erase(std::remove_if(session.Breakpoints.begin(), session.Breakpoints.end(),
                                          [address](const Breakpoint& b) { return b.Temporary && b.Address == address; }),
                session.Breakpoints.end());
            RebuildMarks(session);
            return Stopped(session, StopBreakpoint, address);
        }
        if (!first && request.HasUntil && address == request.Until
            && (!request.UntilInFrame || !IsBelowFrame(machine.SP, request.FrameSP)))
            return Stopped(session, StopDone, address);
        first = false;
        if ((mark & MarkCpm) != 0) {
            if (ServeCpmAndObserve(session))
                return session.Stop == StopInputWanted || session.Stop == StopInputSpent
                    ? session.Stop
                    : Stopped(session, session.Stop, address);
            continue;
        }
        StepResult result;
        if (checked) {
            StopReason stop = StopNone;
            result = StepChecked(session, request, stop);
            if (stop != StopNone)
                return Stopped(session, stop, machine.PC);
        } else {
            std::uint64_t end = std::min(std::min(limit, stepEnd), machine.Steps + SliceSteps);
            if (session.NextInterrupt < session.Schedule.size())
                end = std::min(end, session.Schedule[session.NextInterrupt].Step);
            result = RunSlice(machine, marks, end);
        }
        if (result == StepUndocumented)
            return Stopped(session, StopUndocumented, machine.PC);
        if (result == StepHalted && !RaiseNextForHalt(session))
            return Stopped(session, StopHalt, static_cast<std::uint16_t>(machine.PC - 1));
    }
}

void FinishSession(Session& session)
{
    std::string decoded;
    if (session.Serial.Enabled)
        FinishSod(session.Serial, decoded);
    PassOnSerialText(session, decoded);
}

RunRequest StepOverRequest(const Machine& machine)
{
    std::uint8_t opcode = machine.Memory[machine.PC];
    // The 8080 also calls with DD, ED and FD; on the 8085 they stop the run as undocumented.
    bool call = opcode == 0xCD || (opcode & 0xC7) == 0xC4 || opcode == 0xDD || opcode == 0xED || opcode == 0xFD;
    bool restart = (opcode & 0xC7) == 0xC7;
    RunRequest request;
    if (!call && !restart) {
        request.Steps = 1;
        return request;
    }
    request.HasUntil = true;
    request.Until = static_cast<std::uint16_t>(machine.PC + (call ? 3 : 1));
    request.UntilInFrame = true;
    request.FrameSP = machine.SP;
    return request;
}

RunRequest StepOutRequest(const Machine& machine)
{
    RunRequest request;
    request.UntilReturn = true;
    request.FrameSP = machine.SP;
    return request;
}

void RequestPause(Session& session)
{
    session.PauseRequested.store(true);
}

int AddBreakpoint(Session& session, std::uint16_t address, bool temporary)
{
    session.Breakpoints.push_back(Breakpoint{++session.LastNumber, address, temporary});
    if (session.Marks.size() == 0x10000)
        session.Marks[address] |= MarkBreak;
    return session.LastNumber;
}

int AddWatchpoint(Session& session, std::uint16_t first, std::uint16_t last)
{
    session.Watchpoints.push_back(Watchpoint{++session.LastNumber, std::min(first, last), std::max(first, last)});
    return session.LastNumber;
}

bool DeleteBreakpoint(Session& session, int number)
{
    std::size_t before = session.Breakpoints.size() + session.Watchpoints.size();
    session.Breakpoints.erase(std::remove_if(session.Breakpoints.begin(), session.Breakpoints.end(),
                                  [number](const Breakpoint& b) { return b.Number == number; }),
        session.Breakpoints.end());
    session.Watchpoints.erase(std::remove_if(session.Watchpoints.begin(), session.Watchpoints.end(),
                                  [number](const Watchpoint& w) { return w.Number == number; }),
        session.Watchpoints.end());
    RebuildMarks(session);
    return session.Breakpoints.size() + session.Watchpoints.size() < before;
}

void DeleteAllBreakpoints(Session& session)
{
    session.Breakpoints.clear();
    session.Watchpoints.clear();
    RebuildMarks(session);
}

void QueuePortInput(Session& session, std::uint8_t port, const std::vector<std::uint8_t>& bytes)
{
    std::vector<std::uint8_t>& queue = session.InQueues[port];
    queue.insert(queue.end(), bytes.begin(), bytes.end());
}

void HoldPortInput(Session& session, std::uint8_t port, int value)
{
    session.HeldInputs[port] = value < 0 ? -1 : static_cast<std::int16_t>(value & 0xFF);
}

void RaiseSessionInterrupt(Session& session, InterruptLine line, std::uint8_t restart)
{
    RaiseInterrupt(*session.Cpu, line, restart);
}
