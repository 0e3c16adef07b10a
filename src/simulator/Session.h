// One run of a program: the machine set up from the options and the loaded
// image, the run loop with its stops, and what the program did on its ports.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <vector>

#include "cpu/Machine.h"
#include "simulator/Loader.h"
#include "simulator/Options.h"

enum StopReason { StopHalt, StopBreakpoint, StopMaxSteps, StopUndocumented, StopWarmBoot, StopBdosReset };

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

struct Session {
    SimOptions Options;
    std::unique_ptr<Machine> Cpu;
    std::vector<std::uint8_t> MemoryBefore; // memory as the run began, for the changed bytes
    std::vector<bool> Breakpoints;          // 65536
    std::vector<ScheduledInterrupt> Schedule;
    std::size_t NextInterrupt = 0;

    std::vector<std::vector<std::uint8_t>> InQueues; // 256 ports
    std::vector<std::size_t> InRead;                 // bytes of each queue read so far
    std::vector<bool> WarnedPorts;
    std::vector<PortWrite> Outputs;
    std::vector<std::uint8_t> SimWrites; // the accumulator of every SIM
    std::uint64_t DroppedWrites = 0;
    std::vector<bool> WarnedBdos;

    StopReason Stop = StopHalt;
    std::uint16_t Address = 0; // of the instruction running, and where the run stopped

    std::ostream* Console = nullptr; // the CP/M program's output
    std::ostream* Report = nullptr;  // the report and the trace
    std::ostream* Errors = nullptr;  // warnings and errors
};

// Lays out memory (fill, image, CP/M page zero, --set), the registers and
// the hooks. False with a message when the image and the CP/M layout clash.
bool SetUpSession(Session& session, const ByteImage& image, std::uint16_t start, std::ostream& errors);

// Runs until HLT, a breakpoint, the step limit, an undocumented opcode or
// the end of a CP/M program.
void RunSession(Session& session);

// A line raised and not taken yet (RST 7.5: its latch).
bool IsInterruptPending(const Machine& machine, InterruptLine line);
// Where the processor goes to take an interrupt.
std::uint16_t InterruptVector(InterruptLine line);

// Serves the CP/M calls when PC is at 0000H or the BDOS entry; true when the
// program is over.
bool ServeCpmCall(Session& session);
// Lays out page zero and the BDOS entry.
void SetUpCpmPageZero(Machine& machine);
