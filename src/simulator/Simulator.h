// The simulator's run from arguments to exit status: options, loading,
// set-up, the run, the report and the checks.
#pragma once

#include <cstdint>
#include <fstream>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "simulator/Loader.h"
#include "simulator/Options.h"

// Exit statuses: 0 ran and every check passed, 1 a check failed, the program
// ran an undocumented opcode or its source has errors, 2 bad usage or a file
// that cannot be loaded, 3 no HLT within the step limit (or the program kept
// reading after the end of its input), 128 + N stopped by signal N.
enum SimulatorStatus {
    SimulatorOk = 0,
    SimulatorFailed = 1,
    SimulatorUsage = 2,
    SimulatorNoHalt = 3,
    SimulatorInterrupted = 128
};

// Loads the program that the options name. Returns SimulatorOk or
// the status to exit with (the message is written).
int LoadProgram(const SimOptions& options, LoadedProgram& program, std::ostream& errors);

// Reads the arguments and loads the program they name, as every run of the
// simulator begins: true with options and program ready to set up; false
// when the run ends here with status (after --help or --version, or a fault
// with its message written).
bool PrepareRun(const std::vector<std::string>& arguments, SimOptions& options, LoadedProgram& program, int& status,
    std::ostream& out, std::ostream& errors);

// The program talks to a console (CP/M, a UART, the serial line on SID/SOD).
bool HasConsole(const SimOptions& options);

// Where a run starts: --start, else the file's start address, else 0100H for
// CP/M, else the lowest byte loaded.
std::uint16_t FindStartAddress(const SimOptions& options, const LoadedProgram& program);

// Sets up and runs a loaded program, then reports and checks; returns the
// exit status. live: the console reads standard input (after --input only
// when it is a terminal) and SIGINT, SIGTERM and SIGHUP stop the run.
int RunProgram(const SimOptions& options, const LoadedProgram& program, std::ostream& out, std::ostream& errors,
    bool live = false);

// The whole run. out is standard output: the report, or with a console
// (--cpm, --uart, --serial-baud) only what the program prints (the report
// then goes to errors). in is what the debugger reads its commands from
// (--debug); without it, nothing. live as for RunProgram.
int RunSimulator(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out, std::ostream& errors,
    bool live = false);
int RunSimulator(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& errors);

// The trace as the options ask it: into the report's stream or a file of its
// own (opened into file), from an address, a number of lines, with names.
// False with a message when the file cannot be written.
struct TraceWriter;
bool OpenTraceWriter(const SimOptions& options, const LoadedProgram& program, std::ostream& report,
    std::ofstream& file, TraceWriter& trace, std::ostream& errors);
