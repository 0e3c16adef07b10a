// The simulator's run, step by step, and the exit status it ends with.
#include "simulator/Simulator.h"

#include <fstream>
#include <sstream>

#include <unistd.h>

#include "front/Front.h"
#include "simulator/Debugger.h"
#include "simulator/HexText.h"
#include "simulator/Report.h"
#include "simulator/Session.h"
#include "simulator/Terminal.h"
#include "simulator/Trace.h"

namespace {

const char Version[] = "Simulator (8085 assembler toolchain) 1.0";

// prog.o and prog.hex keep their names in prog.sym.
std::string SymbolFilePath(const std::string& path)
{
    std::size_t dot = path.rfind('.');
    std::size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path + ".sym";
    return path.substr(0, dot) + ".sym";
}

} // namespace

int LoadProgram(const SimOptions& options, LoadedProgram& program, std::ostream& errors)
{
    ClearImage(program.Image);
    ProgramKind kind = FindProgramKind(options.File);
    // A CP/M program is raw bytes at 0100H whatever its name, unless it
    // says where its bytes go.
    if (options.Cpm && (kind == KindCom || kind == KindUnknown))
        kind = KindBinary;
    if (options.HasLoad && kind != KindBinary && kind != KindCom) {
        errors << "Simulator: error: --load is for .bin and .com files only\n";
        return SimulatorUsage;
    }
    bool loaded = false;
    switch (kind) {
    case KindObject:
        loaded = LoadObjectFile(options.File, program, errors);
        break;
    case KindHex:
        loaded = LoadIntelHex(options.File, program, errors);
        break;
    case KindBinary:
        if (!options.HasLoad && !options.Cpm) {
            errors << "Simulator: error: a .bin file needs --load ADDR\n";
            return SimulatorUsage;
        }
        loaded = LoadBinary(options.File, options.HasLoad ? options.LoadAddress : 0x0100, program, errors);
        break;
    case KindSource: {
        // Assembled as Assembler does it, with its messages and statuses.
        if (!std::ifstream(options.File)) {
            errors << "Simulator: error: cannot open '" << options.File << "'\n";
            return SimulatorUsage;
        }
        FrontOptions front;
        front.Source = options.File;
        AssemblyResult assembly;
        int status = AssembleSource(front, assembly, errors);
        if (status != 0)
            return status == 1 ? SimulatorFailed : SimulatorUsage;
        program.Image = assembly.Image;
        program.HasStart = assembly.HasStartAddress;
        program.Start = assembly.StartAddress;
        CollectSourceSymbols(assembly.Pass1, program.Symbols);
        CollectSourceLines(options.File, assembly.Pass1, program.Source);
        program.HasSymbols = true;
        loaded = true;
        break;
    }
    case KindCom:
        errors << "Simulator: error: a .com file is a CP/M program: run it with --cpm\n";
        return SimulatorUsage;
    case KindUnknown:
        errors << "Simulator: error: cannot tell what '" << options.File
               << "' holds: name it .o, .hex, .bin, .asm or .com\n";
        return SimulatorUsage;
    }
    if (!loaded)
        return SimulatorUsage;
    // An object or HEX file's names, when its BASE.sym lies beside it.
    if ((kind == KindObject || kind == KindHex) && ReadSymbolFile(SymbolFilePath(options.File), program.Symbols))
        program.HasSymbols = true;
    if (program.Image.ByteCount == 0) {
        errors << "Simulator: error: '" << options.File << "' holds no bytes to run\n";
        return SimulatorUsage;
    }
    return SimulatorOk;
}

int RunSimulator(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& errors)
{
    std::istringstream noInput;
    return RunSimulator(arguments, noInput, out, errors);
}

bool PrepareRun(const std::vector<std::string>& arguments, SimOptions& options, LoadedProgram& program, int& status,
    std::ostream& out, std::ostream& errors)
{
    status = SimulatorUsage;
    if (!ParseSimOptions(arguments, options, errors))
        return false;
    if (options.Help || options.Version) {
        if (options.Help)
            WriteUsage(out);
        else
            out << Version << "\n";
        status = SimulatorOk;
        return false;
    }
    if (options.File.empty()) {
        errors << "Simulator: error: no program file given (see --help)\n";
        return false;
    }
    status = LoadProgram(options, program, errors);
    if (status != SimulatorOk)
        return false;
    status = SimulatorUsage;
    // Names in the options: read them again with the program's own.
    if (!options.PendingNames.empty()) {
        if (!program.HasSymbols) {
            errors << "Simulator: error: '" << options.PendingNames[0] << "' is a name, but '" << options.File
                   << "' brings no symbols (run its .asm, or put its .sym beside it)\n";
            return false;
        }
        options = SimOptions();
        if (!ParseSimOptions(arguments, options, errors, &program.Symbols))
            return false;
    }
    // A CP/M program and a debugging session may run for long: the limit is
    // the highest unless asked (a debugger user has Ctrl-C).
    if ((options.Cpm || options.Debug) && !options.HasMaxSteps)
        options.MaxSteps = MaxStepLimit;
    status = SimulatorOk;
    return true;
}

bool HasConsole(const SimOptions& options)
{
    return options.Cpm || options.Uart.Enabled || options.SerialBaud != 0;
}

std::uint16_t FindStartAddress(const SimOptions& options, const LoadedProgram& program)
{
    return options.HasStart ? options.Start
        : program.HasStart  ? program.Start
        : options.Cpm       ? 0x0100
                            : program.Image.Lowest;
}

int RunSimulator(
    const std::vector<std::string>& arguments, std::istream& in, std::ostream& out, std::ostream& errors, bool live)
{
    SimOptions options;
    LoadedProgram program;
    int status = SimulatorOk;
    if (!PrepareRun(arguments, options, program, status, out, errors))
        return status;
    if (options.Debug)
        return RunDebugger(options, program, in, out, errors);
    return RunProgram(options, program, out, errors, live);
}

bool OpenTraceWriter(const SimOptions& options, const LoadedProgram& program, std::ostream& report,
    std::ofstream& file, TraceWriter& trace, std::ostream& errors)
{
    trace.Out = &report;
    if (!options.TraceFile.empty()) {
        file.open(options.TraceFile, std::ios::binary | std::ios::trunc);
        if (!file) {
            errors << "Simulator: error: cannot write the trace to '" << options.TraceFile << "'\n";
            return false;
        }
        trace.Out = &file;
    }
    trace.Symbols = program.HasSymbols ? &program.Symbols : nullptr;
    trace.HasFrom = options.HasTraceFrom;
    trace.From = options.TraceFrom;
    trace.Count = options.TraceCount;
    return true;
}

namespace {

// How long a wait for a key lasts before the pause request is looked at
// again, and how long an idle poll waits for a key.
constexpr int KeyWaitMs = 200, IdlePollWaitMs = 50;
// Polls since the last look at the source that make a program idle.
constexpr std::uint64_t IdlePolls = 100;

// The run stopped for console input: what standard input has brought (for a
// read, what it brings: the wait ends with a byte, the end or a signal).
void FetchWantedInput(Session& session, LiveInput& input)
{
    ConsoleIo& io = session.Io;
    bool key = io.Waiting == ConsoleWantsKey;
    int timeout = key ? KeyWaitMs : io.PollsSinceCheck >= IdlePolls ? IdlePollWaitMs : 0;
    std::vector<std::uint8_t> bytes;
    FetchResult result = FetchNothing;
    do
        result = FetchInput(input, bytes, timeout);
    while (key && result == FetchNothing && !session.PauseRequested.load());
    QueueConsoleInput(io, bytes.data(), bytes.size());
    if (result == FetchEnded)
        io.MoreMayCome = false;
    NoteInputChecked(io, session.Cpu->Steps);
}

int StopStatus(const Session& session, bool passed)
{
    switch (session.Stop) {
    case StopMaxSteps:
    case StopInputSpent:
        return SimulatorNoHalt;
    case StopPaused:
        return SimulatorInterrupted + CaughtStopSignal();
    case StopUndocumented:
        return SimulatorFailed;
    default:
        return passed ? SimulatorOk : SimulatorFailed;
    }
}

} // namespace

int RunProgram(const SimOptions& options, const LoadedProgram& program, std::ostream& out, std::ostream& errors,
    bool live)
{
    Session session;
    session.Options = options;
    std::uint16_t start = FindStartAddress(options, program);
    // A program with a console owns standard output; everything the
    // simulator says goes to standard error then. Standard input follows
    // --input only from a terminal.
    bool console = HasConsole(options);
    bool reads = live && console && (!options.HasConsoleInput || isatty(0) != 0);
    session.Io.MoreMayCome = reads;
    if (!SetUpSession(session, program, start, errors))
        return SimulatorUsage;

    std::ostream& report = console ? errors : out;
    session.Console = StreamSink(out);
    session.Warnings = StreamSink(errors);
    TraceWriter trace;
    std::ofstream traceFile;
    if (options.Trace) {
        if (!OpenTraceWriter(options, session.Program, report, traceFile, trace, errors))
            return SimulatorUsage;
        trace.Buffer = CpuLine(options.Model);
        session.Observer = TraceObserver(trace);
        // Warnings keep their place among the trace lines they share a stream with.
        if (trace.Out == &errors)
            session.Warnings = TraceSink(trace);
    }
    LiveInput input;
    if (reads)
        OpenLiveInput(input, 0);
    if (live)
        InstallStopSignals(&session.PauseRequested, &input);
    RunSession(session);
    while (session.Stop == StopInputWanted && reads) {
        FlushTrace(trace);
        FetchWantedInput(session, input);
        RunSession(session);
    }
    FinishSession(session);
    RestoreTerminal(input);
    FlushTrace(trace);
    out.flush();

    if (session.Stop == StopUndocumented)
        errors << "Simulator: error: undocumented opcode " << HexByte(session.Cpu->Memory[session.Address]) << "H at "
               << HexWord(session.Address) << "H\n";
    // The report starts on a line of its own.
    if (console && !session.Io.AtLineStart)
        report << "\n";
    WriteReport(session, report);
    for (const DumpRange& range : options.Dumps)
        WriteDump(*session.Cpu, range, report);
    bool passed = WriteChecks(session, report);
    report.flush();
    if (live)
        RemoveStopSignals();
    return StopStatus(session, passed);
}
