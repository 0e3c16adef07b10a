// The debugger's command reader and the options that name addresses: option
// lines ("--...") and then command lines, before a NUL; the program's bytes
// after it, at 0800H, with a fixed set of names. Every run is bounded by the
// step limit. Never a crash, never a read outside memory, never a hang.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "simulator/Debugger.h"
#include "simulator/Options.h"

namespace {

ProgramSymbols FuzzSymbols()
{
    ProgramSymbols symbols;
    const struct {
        const char* Name;
        std::uint16_t Value;
        bool Label;
    } rows[] = {{"START", 0x0800, true}, {"LOOP", 0x0802, true}, {"SUB", 0x0810, true}, {"TABLE", 0x2000, true},
        {"COUNT", 10, false}};
    int line = 1;
    for (const auto& row : rows)
        AddSourceSymbol(symbols.Table,
            SourceSymbol{row.Name, row.Label ? SymbolKind::Label : SymbolKind::Constant, row.Value, true, line++});
    IndexLabels(symbols);
    return symbols;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    std::size_t split = text.find('\0');
    std::string head = split == std::string::npos ? text : text.substr(0, split);
    std::string code = split == std::string::npos ? "" : text.substr(split + 1, 0x800);

    LoadedProgram program;
    ClearImage(program.Image);
    std::vector<ObjectFault> faults;
    code.push_back('\x76');
    PlaceBytes(program.Image, 1, 0x0800, std::vector<std::uint8_t>(code.begin(), code.end()), faults);
    program.Symbols = FuzzSymbols();
    program.HasSymbols = true;

    std::vector<std::string> arguments, commands;
    std::istringstream lines(head);
    for (std::string line; std::getline(lines, line) && commands.size() < 64;) {
        if (commands.empty() && line.rfind("--", 0) == 0)
            arguments.push_back(line);
        else
            commands.push_back(line);
    }
    SimOptions options;
    std::ostringstream out, errors;
    if (!ParseSimOptions(arguments, options, errors, &program.Symbols))
        return 0;
    // Bounded: a trace line a step costs more than the step.
    options.MaxSteps = std::min<std::uint64_t>(options.MaxSteps, 20000);
    options.HasMaxSteps = true;
    options.File = "fuzz.asm";
    // The trace stays in memory: a fuzzed file name could land anywhere.
    options.TraceFile.clear();
    Debugger debugger;
    if (!StartDebugger(debugger, options, program, out, errors))
        return 0;
    for (const std::string& command : commands) {
        RunDebuggerCommand(debugger, command);
        if (debugger.Quit)
            break;
        // Keep the transcript small; what matters is that each command is sound.
        if (out.tellp() > (1 << 20))
            out.str("");
    }
    return 0;
}
