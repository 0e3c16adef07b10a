// The simulator's command line: what a run is asked to load, set up, stop at,
// show and check, read into one plain record.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "cpu/Machine.h"
#include "simulator/Symbols.h"
#include "simulator/Uart.h"

// The registers and pairs that --reg and --expect name.
enum RegisterName { RegA, RegB, RegC, RegD, RegE, RegH, RegL, RegFlags, RegBC, RegDE, RegHL, RegSP, RegPC };

struct RegisterValue {
    RegisterName Register;
    std::uint16_t Value;
};

// Bytes for consecutive addresses (--set, --expect ADDR=...).
struct MemoryBytes {
    std::uint16_t Address;
    std::vector<std::uint8_t> Bytes;
};

// Bytes for one port (--in, --expect-out).
struct PortBytes {
    std::uint8_t Port;
    std::vector<std::uint8_t> Bytes;
};

struct ScheduledInterrupt {
    InterruptLine Line;
    std::uint64_t Step;                         // raised once this many instructions have run
    std::uint8_t Restart = DefaultIntrOpcode;   // INTR: the RST on the bus
};

struct DumpRange {
    std::uint16_t First, Last;
};

enum ExpectationKind { ExpectMemory, ExpectRegister, ExpectOut, ExpectCycles };

struct Expectation {
    ExpectationKind Kind;
    MemoryBytes Memory;
    RegisterValue Register;
    PortBytes Out;
    std::uint64_t Cycles;
};

struct SimOptions {
    std::string File;
    CpuModel Model = Cpu8085;
    bool HasStart = false;
    std::uint16_t Start = 0;
    bool HasLoad = false;
    std::uint16_t LoadAddress = 0;
    std::uint8_t Fill = 0;
    bool HasMaxSteps = false;
    std::uint64_t MaxSteps = 10000000;
    std::vector<std::uint16_t> Breakpoints;
    std::vector<MemoryBytes> Sets;
    std::vector<RegisterValue> Registers;
    std::vector<PortBytes> Inputs;
    bool HasSerialIn = false;
    bool SerialIn = false;
    std::uint32_t SerialBaud = 0; // 0: SID and SOD are plain lines
    std::vector<ScheduledInterrupt> Interrupts;
    std::uint32_t ClockKHz = 3072; // 3.072 MHz, the common kit crystal halved
    bool Trace = false;
    std::string TraceFile; // empty: the trace goes with the report
    bool HasTraceFrom = false;
    std::uint16_t TraceFrom = 0;
    std::uint64_t TraceCount = 0; // 0: no limit
    std::vector<DumpRange> Dumps;
    std::vector<Expectation> Expectations;
    bool Cpm = false;
    bool Debug = false;
    bool HasConsoleInput = false;
    UartPorts Uart;
    bool Help = false;
    bool Version = false;
    // Names met before the program's symbols were known; when there are any,
    // the arguments are read again with the symbols (see ParseSimOptions).
    std::vector<std::string> PendingNames;
    std::vector<std::uint8_t> ConsoleInput; // --input, in order
};

// The most --max-steps may ask: keeps T-state and time sums far from overflow.
// It is also the limit of a CP/M run without --max-steps, since the
// instruction exercisers run for billions of instructions.
constexpr std::uint64_t MaxStepLimit = 100000000000ull;

// Reads the arguments after the program name. Messages go to errors as
// "Simulator: error: ..."; false on the first bad argument. Addresses and
// values are expressions of the assembler's syntax. Without symbols a name
// is taken on trust (value 0) and listed in options.PendingNames; with them
// (the program's, once loaded) an unknown name is a bad value that says so.
bool ParseSimOptions(const std::vector<std::string>& arguments, SimOptions& options, std::ostream& errors,
    const ProgramSymbols* symbols = nullptr);

// A count as options take it: decimal digits, at most 15 of them.
bool ParseDecimalCount(const std::string& text, std::uint64_t& value);

// The usage text of --help.
void WriteUsage(std::ostream& out);

// The register's name as options and reports write it, and its width.
const char* RegisterText(RegisterName name);
bool IsRegisterPair(RegisterName name);
// Looks a register name up, in either case; false if there is none.
bool FindRegister(const std::string& text, RegisterName& name);
