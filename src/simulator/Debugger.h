// The interactive debugger: a command reader around one session. Commands
// come a line at a time, from a terminal (with libedit's line editing and
// history where it was built in) or from a pipe, so a session can be a script.
#pragma once

#include <fstream>
#include <istream>
#include <ostream>
#include <string>

#include "simulator/Loader.h"
#include "simulator/Options.h"
#include "simulator/Session.h"
#include "simulator/Trace.h"

struct Debugger {
    Session Run;
    std::ostream* Out = nullptr;
    TraceWriter Trace; // into Out (or --trace-file), while "trace on"
    std::ofstream TraceFile;
    bool Tracing = false;
    std::string Repeat; // the last step or next, which an empty line runs again
    bool Quit = false;
};

// Sets the debugger's session up from the options and the program (its
// console, warnings and messages going to out); false with a message on
// errors when the program cannot be laid out.
bool StartDebugger(Debugger& debugger, const SimOptions& options, const LoadedProgram& program, std::ostream& out,
    std::ostream& errors);

// Runs one command line; what it shows goes to the debugger's Out.
void RunDebuggerCommand(Debugger& debugger, const std::string& line);

// The whole interactive session: loads, shows where the program starts,
// then reads commands from in (or the terminal) until quit or the end of
// the input. Returns the exit status.
int RunDebugger(const SimOptions& options, const LoadedProgram& program, std::istream& in, std::ostream& out,
    std::ostream& errors);
