// What the simulator shows of a stopped session: the report, the memory
// dumps and the checks. It only reads the session.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "simulator/Session.h"
#include "simulator/TimeText.h"
#include "simulator/Trace.h"

// "2061H", and where the program has names "2061H RESULT+1" (its nearest label).
std::string FormatAddress(const Session& session, std::uint16_t address);
// Why the session stopped, as the report's "Stopped:" line says it.
std::string FormatStop(const Session& session);
// "CPU: 8080\n" when the session runs an 8080, which the report and the trace
// begin with; nothing for the 8085, the default.
std::string CpuLine(CpuModel model);

// "Stopped: ..." and what follows it, as at the end of a run.
void WriteReport(const Session& session, std::ostream& out);
void WriteDump(const Machine& machine, const DumpRange& range, std::ostream& out);
// One line per check; true when every check passed.
bool WriteChecks(const Session& session, std::ostream& out);
