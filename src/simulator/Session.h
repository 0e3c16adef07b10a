// The session: one program loaded into one machine, and everything a front
// end does with it. The command-line run, the debugger and the page all drive
// the simulator through these records and procedures and nothing else.
//
// How a front end uses it:
//   1. Fill session.Options (ParseSimOptions, or by hand) and load a program
//      (LoadProgram in Simulator.h, or a LoadedProgram built in memory).
//   2. Point the sinks and the observer where the front end wants them.
//   3. SetUpSession once; then RunSession as often as it likes: each call
//      runs until one stop and says which. Between runs the front end may
//      read and change registers and memory (session.Cpu), set breakpoints and
//      watchpoints, queue input, raise interrupts, take the console text.
//   4. ResetSession starts the program again as it was set up.
// The report (Report.h) reads a stopped session; the session never writes it.
//
// The core's StepMachine knows nothing of any of this. A run with no
// watchpoint, no observer and no until/finish condition takes a fast loop
// that checks nothing between instructions but one byte per address for the
// breakpoints and the CP/M entry points (and not even that when there are
// none); everything else is looked at between slices of instructions.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cpu/Machine.h"
#include "simulator/Loader.h"
#include "simulator/Options.h"
#include "simulator/SerialLine.h"
#include "simulator/TextSink.h"

// Why a run stopped. A session never run yet says StopNone.
enum StopReason {
    StopNone,
    StopHalt,         // HLT with no interrupt left to wait for; Address is the HLT's
    StopBreakpoint,   // PC reached a breakpoint (not on the run's first instruction)
    StopMaxSteps,     // the session's limit, Options.MaxSteps, is reached
    StopUndocumented, // the opcode at Address is undocumented; it did not run
    StopWarmBoot,     // CP/M: the program jumped to 0000H
    StopBdosReset,    // CP/M: BDOS function 0
    StopWatchpoint,   // a watched byte was written: see session.Watch
    StopDone,         // the run did what the request asked (steps, until, finish)
    StopPaused,       // RequestPause was called (another thread, a signal handler)
    StopInputWanted,  // the next instruction reads input that is not there yet, or the console waits
                      // for a key (Io.Waiting: a BDOS read, or polls that want a look at the source)
    StopCancelled,    // CP/M: Ctrl-C at the start of a BDOS 10 line, a warm boot
    StopInputSpent,   // the console's input has ended and the program keeps reading
};

struct PortWrite {
    std::uint8_t Port;
    std::uint8_t Value;
};

// The five flags of the PSW's low byte.
constexpr std::uint8_t FlagBits = FlagS | FlagZ | FlagAC | FlagP | FlagCY;

// Where CP/M programs find the BDOS: a JMP at 0005H leads here, and the word
// at 0006H, this address, is the top of the program's memory.
constexpr std::uint16_t BdosEntry = 0xFE00;
// Port and SIM writes kept for the report; a longer run counts the rest.
constexpr std::size_t MaxRecordedWrites = 1u << 20;


// One step as an observer sees it (the trace is such an observer).
enum StepEventKind {
    EventInstruction, // an instruction ran (HLT included, once)
    EventInterrupt,   // an interrupt was taken instead of an instruction
    EventBdos,        // CP/M: a BDOS call was served at BdosEntry
};
struct StepEvent {
    StepEventKind Kind;
    std::uint16_t Address;    // PC before the step
    std::uint8_t Bytes[3];    // the memory at Address before the step
    InterruptLine Line;       // EventInterrupt: which line
    std::uint8_t Function;    // EventBdos: C at the call
    std::uint64_t TStates;    // spent by this step
};
// Called after each step, with the machine as the step left it. A run with
// an observer takes the checked loop.
struct StepObserver {
    void* Context = nullptr;
    void (*Stepped)(void* context, const Machine& after, const StepEvent& event) = nullptr;
};

struct Breakpoint {
    int Number; // from 1, never reused within a session
    std::uint16_t Address;
    bool Temporary; // deleted when it stops a run
};

// Stops a run when the program writes a byte in First..Last (a write of the
// same value counts).
struct Watchpoint {
    int Number; // shares the numbering of breakpoints
    std::uint16_t First, Last;
};

// What the last StopWatchpoint saw: the first watched byte the instruction
// at Writer wrote, with its value before and after.
struct WatchHit {
    int Number;
    std::uint16_t Address;
    std::uint8_t Old, New;
    std::uint16_t Writer;
};

// What one RunSession call asks beyond the session's own stops. The default
// runs until one of those.
struct RunRequest {
    std::uint64_t Steps = 0;    // > 0: stop (StopDone) after this many instructions
    bool HasUntil = false;      // stop (StopDone) when PC reaches Until ...
    std::uint16_t Until = 0;
    bool UntilInFrame = false;  // ... and SP is not below FrameSP (over a call, even a recursive one)
    bool UntilReturn = false;   // stop (StopDone) after a return that lifts SP above FrameSP
    std::uint16_t FrameSP = 0;
};

struct Session {
    SimOptions Options;     // what the run was asked (Options.h); set before SetUpSession
    LoadedProgram Program;  // the image, start, symbols and source, kept for ResetSession
    std::uint16_t Start = 0;
    std::unique_ptr<Machine> Cpu; // registers, flags and memory: read and change them freely between runs
    std::vector<std::uint8_t> MemoryBefore; // memory as the run began, for the changed bytes

    // Breakpoints and watchpoints: change them through the procedures below,
    // which keep Marks in step.
    std::vector<Breakpoint> Breakpoints;
    std::vector<Watchpoint> Watchpoints;
    int LastNumber = 0;
    std::vector<std::uint8_t> Marks; // 65536: MarkBreak, MarkCpm bits per address

    std::vector<ScheduledInterrupt> Schedule; // by step, from Options.Interrupts
    std::size_t NextInterrupt = 0;

    std::vector<std::vector<std::uint8_t>> InQueues; // 256 ports
    std::vector<std::size_t> InRead;                 // bytes of each queue read so far
    std::vector<bool> WarnedPorts;
    std::vector<std::int16_t> HeldInputs; // 256: what IN reads once the port's queue is spent; -1: FFH, with a warning
    bool WaitForInput = false; // IN from an empty queue stops the run (StopInputWanted) instead of reading FFH
    std::vector<PortWrite> Outputs;  // every OUT, in order (up to MaxRecordedWrites)
    std::vector<std::uint8_t> SimWrites; // the accumulator of every SIM
    std::uint64_t DroppedWrites = 0;
    std::vector<bool> WarnedBdos;

    StopReason Stop = StopNone;
    std::uint16_t Address = 0; // where the run stopped (for StopHalt: the HLT)
    WatchHit Watch{};          // for StopWatchpoint
    std::atomic<bool> PauseRequested{false};

    ConsoleIo Io;           // the console's typed bytes (QueueConsoleInput) and its state
    SerialLine Serial;      // SID and SOD with --serial-baud
    TextSink Console;       // the program's console output (CP/M, UART, SOD)
    TextSink Warnings;      // "Simulator: warning: ..." lines
    StepObserver Observer;  // the trace, or any front end's own
};

// Marks bits: a breakpoint, a CP/M entry served outside the core.
constexpr std::uint8_t MarkBreak = 1;
constexpr std::uint8_t MarkCpm = 2;

// Lays out memory (fill, image, CP/M page zero, --set), the registers, the
// breakpoints of the options and the hooks, from session.Options and
// program. False with a message when the image and the CP/M layout clash.
bool SetUpSession(Session& session, const LoadedProgram& program, std::uint16_t start, std::ostream& errors);

// The program as SetUpSession left it: memory, registers, counts, queues
// and logs. Breakpoints and watchpoints stay.
void ResetSession(Session& session);

// Runs until a stop and returns it (also in session.Stop). A run does not
// stop at a breakpoint on its own first instruction, so continuing from a
// breakpoint moves on.
StopReason RunSession(Session& session, const RunRequest& request = RunRequest());

// What "step over" and "step out" ask at the machine's PC. Over: a CALL, a
// conditional call or an RST runs to the instruction behind it in this
// frame (a recursive call included); anything else is one step. Out: until
// a return lifts SP above where it is now.
RunRequest StepOverRequest(const Machine& machine);
RunRequest StepOutRequest(const Machine& machine);

// Asks a running RunSession to stop (StopPaused) at the next slice boundary,
// within a few thousand instructions. Safe from a signal handler or another
// thread; a request made while no run is going stops the next run at once.
void RequestPause(Session& session);

// Breakpoints and watchpoints; each gets a number. Delete* are false when
// no such number exists.
int AddBreakpoint(Session& session, std::uint16_t address, bool temporary);
int AddWatchpoint(Session& session, std::uint16_t first, std::uint16_t last);
bool DeleteBreakpoint(Session& session, int number); // a watchpoint's number too
void DeleteAllBreakpoints(Session& session);         // and watchpoints

// Registers by name (RegFlags: only the five flags are written).
unsigned ReadRegister(const Machine& machine, RegisterName name);
void WriteRegister(Machine& machine, RegisterName name, std::uint16_t value);

// Bytes for successive IN PORT; the input a StopInputWanted waited for.
void QueuePortInput(Session& session, std::uint8_t port, const std::vector<std::uint8_t>& bytes);

// After the last RunSession: a frame under way on SOD is read out.
void FinishSession(Session& session);

// A value the port gives every IN once its queue is spent, as a switch on a
// kit's input port holds it (-1: none again). It stays over ResetSession.
void HoldPortInput(Session& session, std::uint8_t port, int value);

// Raises an interrupt line now; the core takes it when it may. INTR carries
// the restart opcode on the bus.
void RaiseSessionInterrupt(Session& session, InterruptLine line, std::uint8_t restart = DefaultIntrOpcode);

// A line raised and not taken yet (RST 7.5: its latch).
bool IsInterruptPending(const Machine& machine, InterruptLine line);
// Where the processor goes to take an interrupt (INTR: the restart's), and
// the line's name.
std::uint16_t InterruptVector(InterruptLine line, std::uint8_t restart = DefaultIntrOpcode);
const char* InterruptName(InterruptLine line);

// Lays out page zero and the BDOS entry.
void SetUpCpmPageZero(Machine& machine);
