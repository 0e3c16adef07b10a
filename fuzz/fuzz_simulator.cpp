// The simulator around the core: arbitrary arguments (one a line, before a
// NUL byte) and an arbitrary Intel HEX file after it, run for a bounded number
// of steps. Never a crash, never a read outside memory, never a hang.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "simulator/Loader.h"
#include "simulator/Options.h"
#include "simulator/Simulator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    std::size_t split = text.find('\0');
    std::string head = split == std::string::npos ? "" : text.substr(0, split);
    std::string hex = split == std::string::npos ? text : text.substr(split + 1);

    std::vector<std::string> arguments;
    std::istringstream lines(head);
    for (std::string line; std::getline(lines, line);)
        arguments.push_back(line);
    SimOptions options;
    std::ostringstream out, errors;
    if (!ParseSimOptions(arguments, options, errors))
        return 0;
    LoadedProgram program;
    std::vector<ObjectFault> faults;
    if (!ReadIntelHexText(hex, program, faults) || program.Image.ByteCount == 0)
        return 0;
    // Bounded: a trace line a step costs more than the step.
    options.MaxSteps = std::min<std::uint64_t>(options.MaxSteps, options.Trace ? 2000 : 20000);
    options.HasMaxSteps = true;
    // The trace stays in memory: a fuzzed file name could land anywhere.
    options.TraceFile.clear();
    RunProgram(options, program, out, errors);
    return 0;
}
