// What the simulator shows: the trace, the report at the end of a run, the
// memory dumps and the checks.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "simulator/Session.h"

// "A=05 B=00 ... SP=FFFF" and, if asked, " PC=0800".
std::string FormatRegisters(const Machine& machine, bool withPC);
// The five flags as letters, '.' where clear: ".Z.P." is Z and P.
std::string FormatFlagLetters(std::uint8_t flags);
// T-states at a clock in kHz as microseconds, rounded to the nanosecond.
std::string FormatTime(std::uint64_t tStates, std::uint32_t clockKHz);

// "0800  3E 05     MVI A,05H       A=05 ... SP=0000 F=..... T=7"
void WriteTraceLine(std::ostream& out, const Machine& after, std::uint16_t address, const std::uint8_t bytes[3],
    int length, const char* text, std::uint64_t tStates);
void WriteInterruptTrace(std::ostream& out, const Machine& after, InterruptLine line, std::uint64_t tStates);

// "FE00  BDOS 9 ..." for a BDOS call served in CP/M mode.
void WriteBdosTrace(std::ostream& out, const Machine& after, std::uint8_t function);

void WriteReport(const Session& session, std::ostream& out);
void WriteDump(const Machine& machine, const DumpRange& range, std::ostream& out);
// One line per check; true when every check passed.
bool WriteChecks(const Session& session, std::ostream& out);
