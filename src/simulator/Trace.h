// The trace: an observer of the session that writes one line per step,
// buffered, to a stream or a file, with the program's labels when it has them.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "simulator/Session.h"
#include "simulator/Symbols.h"

struct TraceWriter {
    std::ostream* Out = nullptr;              // where the lines go, a block at a time
    const ProgramSymbols* Symbols = nullptr;  // label lines and named jump targets
    bool HasFrom = false;                     // --trace-from: nothing before PC first reaches From
    std::uint16_t From = 0;
    std::uint64_t Count = 0;                  // --trace-count: at most this many lines (0: no limit)
    bool Started = false;
    std::uint64_t Written = 0;                // step lines written
    std::string Buffer;                       // not yet passed on to Out
};

// The observer that hands each step to writer.
StepObserver TraceObserver(TraceWriter& writer);
// Passes on what is buffered (call after each run).
void FlushTrace(TraceWriter& writer);

// Text that joins the trace in its order (a warning while the trace shares
// its stream), as a sink.
TextSink TraceSink(TraceWriter& writer);

// "A=05 B=00 ... SP=FFFF" and, if asked, " PC=0800".
std::string FormatRegisters(const Machine& machine, bool withPC);
// The five flags as letters, '.' where clear: ".Z.P." is Z and P.
std::string FormatFlagLetters(std::uint8_t flags);

// The instruction of these bytes as the trace and the debugger show it, as
// the model reads them: a jump or call to a label names it ("JNZ LOOP").
// Gives its length.
int FormatInstruction(const std::uint8_t bytes[3], const ProgramSymbols* symbols, std::string& text,
    CpuModel model = Cpu8085);

// "LOOP:" a line for each label of address, in order of definition.
void AppendLabelLines(std::string& out, const ProgramSymbols& symbols, std::uint16_t address);

// The line of one step, without the label lines: "0800  3E 05     MVI A,05H
// A=05 ... SP=0000 F=..... T=7".
void AppendTraceLine(std::string& out, const Machine& after, const StepEvent& event, const ProgramSymbols* symbols);
