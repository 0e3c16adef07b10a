// The debugger's commands, one table row each, what it shows after every
// stop, and the loop that reads the commands (libedit on a terminal).
#include "simulator/Debugger.h"

#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <vector>

#include <unistd.h>

#ifdef SIMULATOR_WITH_LIBEDIT
#include <editline/readline.h>
#endif

#include "simulator/Console.h"
#include "simulator/HexText.h"
#include "simulator/Report.h"
#include "simulator/Simulator.h"

namespace {

const char Prompt[] = "(sim) ";

// The session a Ctrl-C pauses while a command runs it, and the Ctrl-Cs so
// far (one at the prompt only clears the line).
Session* volatile RunningSession = nullptr;
volatile std::sig_atomic_t Interrupts = 0;

void PauseOnInterrupt(int)
{
    Interrupts = Interrupts + 1;
    Session* session = RunningSession;
    if (session != nullptr)
        RequestPause(*session);
}

std::ostream& Out(Debugger& debugger)
{
    return *debugger.Out;
}

void ShowError(Debugger& debugger, const std::string& message)
{
    Out(debugger) << "error: " << message << "\n";
}

std::string TrimText(const std::string& text)
{
    std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return "";
    std::size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// The words of an argument text, split at blanks.
std::vector<std::string> SplitWords(const std::string& text)
{
    std::istringstream words(text);
    std::vector<std::string> list;
    for (std::string word; words >> word;)
        list.push_back(word);
    return list;
}

const ProgramSymbols& Symbols(const Debugger& debugger)
{
    return debugger.Run.Program.Symbols;
}

bool ReadAddress(Debugger& debugger, const std::string& text, std::uint16_t& address)
{
    std::string message;
    if (EvaluateSymbolic(text, Symbols(debugger), debugger.Run.Cpu->PC, address, message))
        return true;
    ShowError(debugger, "bad address '" + text + "': " + message);
    return false;
}

bool ReadCount(Debugger& debugger, const std::string& text, std::uint64_t& count)
{
    if (ParseDecimalCount(text, count) && count >= 1)
        return true;
    ShowError(debugger, "bad count '" + text + "': expected a decimal number from 1");
    return false;
}

// Reads text as the value of a command-line option would be read, into a
// fresh option record: the same syntax, names and messages.
bool ReadAsOption(Debugger& debugger, const char* option, const std::string& text, SimOptions& into)
{
    std::ostringstream errors;
    if (ParseSimOptions({option, text}, into, errors, &Symbols(debugger)))
        return true;
    std::string message = errors.str();
    const std::string prefix = "Simulator: error: ";
    if (message.compare(0, prefix.size(), prefix) == 0)
        message.erase(0, prefix.size());
    ShowError(debugger, TrimText(message));
    return false;
}

// "0805  C2 02 08  JNZ LOOP        ; 7:         JNZ LOOP", after a line for
// each label of the address.
void ShowInstruction(Debugger& debugger, std::uint16_t address)
{
    const Session& session = debugger.Run;
    const Machine& machine = *session.Cpu;
    const std::uint8_t bytes[3] = {machine.Memory[address], machine.Memory[static_cast<std::uint16_t>(address + 1)],
        machine.Memory[static_cast<std::uint16_t>(address + 2)]};
    std::string text;
    int length =
        FormatInstruction(bytes, session.Program.HasSymbols ? &Symbols(debugger) : nullptr, text, machine.Model);
    std::string hex;
    for (int i = 0; i < length && i < 3; i++)
        hex += (i == 0 ? "" : " ") + HexByte(bytes[i]);
    hex.resize(10, ' ');
    if (text.size() < 16)
        text.resize(16, ' ');
    std::string line = HexWord(address) + "  " + hex + text;
    const ProgramSource& source = session.Program.Source;
    int number = source.LineOf.empty() ? 0 : source.LineOf[address];
    if (number > 0 && static_cast<std::size_t>(number) <= source.Lines.size())
        line += "; " + source.Places[static_cast<std::size_t>(number) - 1] + ": "
            + TrimText(source.Lines[static_cast<std::size_t>(number) - 1]);
    std::string labels;
    if (session.Program.HasSymbols)
        AppendLabelLines(labels, Symbols(debugger), address);
    Out(debugger) << labels << TrimText(line) << "\n";
}

void ShowRegisters(Debugger& debugger)
{
    const Machine& machine = *debugger.Run.Cpu;
    Out(debugger) << FormatRegisters(machine, true) << " F=" << FormatFlagLetters(machine.Flags) << "\n";
}

// Where the program stands: why it stopped (unless it did what was asked),
// the instruction there and the registers.
void ShowStop(Debugger& debugger)
{
    const Session& session = debugger.Run;
    if (session.Stop != StopDone && session.Stop != StopNone)
        Out(debugger) << "Stopped: " << FormatStop(session) << "\n";
    ShowInstruction(debugger, session.Stop == StopHalt ? session.Address : session.Cpu->PC);
    ShowRegisters(debugger);
}

// Runs where Ctrl-C can reach it (see RunDebugger), and passes the trace on.
StopReason RunQuietly(Debugger& debugger, const RunRequest& request)
{
    RunningSession = &debugger.Run;
    StopReason stop = RunSession(debugger.Run, request);
    RunningSession = nullptr;
    FlushTrace(debugger.Trace);
    // What the debugger says starts on a line of its own after the program's output.
    if (!debugger.Run.Io.AtLineStart) {
        Out(debugger) << "\n";
        debugger.Run.Io.AtLineStart = true;
    }
    return stop;
}

void RunAndShow(Debugger& debugger, const RunRequest& request)
{
    RunQuietly(debugger, request);
    ShowStop(debugger);
}

void CommandStep(Debugger& debugger, const std::string& arguments, bool over)
{
    std::uint64_t count = 1;
    if (!arguments.empty() && !ReadCount(debugger, arguments, count))
        return;
    debugger.Repeat = std::string(over ? "next" : "step") + (arguments.empty() ? "" : " " + arguments);
    if (!over) {
        RunRequest request;
        request.Steps = count;
        RunAndShow(debugger, request);
        return;
    }
    // Over a call: to the instruction after it, in this routine's frame.
    for (std::uint64_t i = 0; i < count; i++) {
        if (RunQuietly(debugger, StepOverRequest(*debugger.Run.Cpu)) != StopDone)
            break;
    }
    ShowStop(debugger);
}

void CommandStepInto(Debugger& debugger, const std::string& arguments)
{
    CommandStep(debugger, arguments, false);
}

void CommandNext(Debugger& debugger, const std::string& arguments)
{
    CommandStep(debugger, arguments, true);
}

void CommandFinish(Debugger& debugger, const std::string&)
{
    RunAndShow(debugger, StepOutRequest(*debugger.Run.Cpu));
}

void CommandContinue(Debugger& debugger, const std::string&)
{
    RunAndShow(debugger, RunRequest());
}

void CommandUntil(Debugger& debugger, const std::string& arguments)
{
    RunRequest request;
    request.HasUntil = true;
    if (ReadAddress(debugger, arguments, request.Until))
        RunAndShow(debugger, request);
}

void AddBreak(Debugger& debugger, const std::string& arguments, bool temporary)
{
    std::uint16_t address = 0;
    if (!ReadAddress(debugger, arguments, address))
        return;
    int number = AddBreakpoint(debugger.Run, address, temporary);
    Out(debugger) << (temporary ? "Temporary breakpoint " : "Breakpoint ") << number << " at "
                  << FormatAddress(debugger.Run, address) << "\n";
}

void CommandBreak(Debugger& debugger, const std::string& arguments)
{
    AddBreak(debugger, arguments, false);
}

void CommandTbreak(Debugger& debugger, const std::string& arguments)
{
    AddBreak(debugger, arguments, true);
}

std::string RangeText(const Session& session, std::uint16_t first, std::uint16_t last)
{
    return FormatAddress(session, first) + (first == last ? "" : " to " + FormatAddress(session, last));
}

void CommandWatch(Debugger& debugger, const std::string& arguments)
{
    std::uint16_t first = 0, last = 0;
    std::string message;
    if (!EvaluateRange(arguments, Symbols(debugger), debugger.Run.Cpu->PC, first, last, message)) {
        ShowError(debugger, "bad range '" + arguments + "': " + message);
        return;
    }
    int number = AddWatchpoint(debugger.Run, first, last);
    Out(debugger) << "Watchpoint " << number << " on " << RangeText(debugger.Run, first, last) << "\n";
}

void CommandDelete(Debugger& debugger, const std::string& arguments)
{
    if (arguments.empty()) {
        DeleteAllBreakpoints(debugger.Run);
        Out(debugger) << "Deleted every breakpoint and watchpoint\n";
        return;
    }
    std::uint64_t number = 0;
    if (!ParseDecimalCount(arguments, number) || number > 0x7FFFFFFF
        || !DeleteBreakpoint(debugger.Run, static_cast<int>(number))) {
        ShowError(debugger, "no breakpoint or watchpoint '" + arguments + "'");
        return;
    }
    Out(debugger) << "Deleted " << number << "\n";
}

void CommandBreaks(Debugger& debugger, const std::string&)
{
    const Session& session = debugger.Run;
    if (session.Breakpoints.empty() && session.Watchpoints.empty())
        Out(debugger) << "No breakpoints or watchpoints\n";
    // In the order they were made: their numbers.
    for (int number = 1; number <= session.LastNumber; number++) {
        for (const Breakpoint& breakpoint : session.Breakpoints) {
            if (breakpoint.Number == number)
                Out(debugger) << number << (breakpoint.Temporary ? "  tbreak " : "  break  ")
                              << FormatAddress(session, breakpoint.Address) << "\n";
        }
        for (const Watchpoint& watch : session.Watchpoints) {
            if (watch.Number == number)
                Out(debugger) << number << "  watch  " << RangeText(session, watch.First, watch.Last) << "\n";
        }
    }
}

void CommandRegisters(Debugger& debugger, const std::string&)
{
    const Machine& machine = *debugger.Run.Cpu;
    ShowRegisters(debugger);
    Out(debugger) << "Instructions: " << machine.Steps << ", T-states: " << machine.TStates << "\n";
}

// "set HL=TABLE" or "set BUF=1,2,3": a register by name, else memory.
void CommandSet(Debugger& debugger, const std::string& arguments)
{
    std::size_t equals = arguments.find('=');
    RegisterName name = RegA;
    SimOptions values;
    if (equals != std::string::npos && FindRegister(TrimText(arguments.substr(0, equals)), name)) {
        if (!ReadAsOption(debugger, "--reg", arguments, values))
            return;
        WriteRegister(*debugger.Run.Cpu, values.Registers[0].Register, values.Registers[0].Value);
        ShowRegisters(debugger);
        return;
    }
    if (!ReadAsOption(debugger, "--set", arguments, values))
        return;
    const MemoryBytes& set = values.Sets[0];
    for (std::size_t i = 0; i < set.Bytes.size(); i++)
        debugger.Run.Cpu->Memory[set.Address + i] = set.Bytes[i];
    Out(debugger) << "Set " << set.Bytes.size() << (set.Bytes.size() == 1 ? " byte" : " bytes") << " at "
                  << FormatAddress(debugger.Run, set.Address) << "\n";
}

void CommandExamine(Debugger& debugger, const std::string& arguments)
{
    std::vector<std::string> words = SplitWords(arguments);
    std::uint16_t address = 0;
    std::uint64_t count = 16;
    if (words.empty() || words.size() > 2) {
        ShowError(debugger, "x takes ADDR [COUNT]");
        return;
    }
    if (!ReadAddress(debugger, words[0], address) || (words.size() == 2 && !ReadCount(debugger, words[1], count)))
        return;
    std::uint32_t last = address + count - 1;
    WriteDump(*debugger.Run.Cpu, DumpRange{address, static_cast<std::uint16_t>(last > 0xFFFF ? 0xFFFF : last)},
        Out(debugger));
}

void CommandDisassemble(Debugger& debugger, const std::string& arguments)
{
    std::vector<std::string> words = SplitWords(arguments);
    std::uint16_t address = debugger.Run.Cpu->PC;
    std::uint64_t count = 8;
    if (words.size() > 2) {
        ShowError(debugger, "dis takes [ADDR [COUNT]]");
        return;
    }
    if ((!words.empty() && !ReadAddress(debugger, words[0], address))
        || (words.size() == 2 && !ReadCount(debugger, words[1], count)))
        return;
    for (std::uint64_t i = 0; i < count && i < 0x10000; i++) {
        ShowInstruction(debugger, address);
        char text[32];
        address = static_cast<std::uint16_t>(address + DisassembleInstruction(*debugger.Run.Cpu, address, text, 0));
    }
}

// The source lines around PC, its own marked "=>".
void CommandList(Debugger& debugger, const std::string&)
{
    const ProgramSource& source = debugger.Run.Program.Source;
    std::uint16_t pc = debugger.Run.Cpu->PC;
    int current = source.LineOf.empty() ? 0 : source.LineOf[pc];
    if (current == 0) {
        Out(debugger) << (source.Lines.empty() ? "No source: the program was not assembled here\n"
                                               : "No source line places " + HexWord(pc) + "H\n");
        return;
    }
    int first = current > 5 ? current - 5 : 1;
    int last = std::min(current + 5, static_cast<int>(source.Lines.size()));
    for (int number = first; number <= last; number++) {
        const std::string& label = source.Places[static_cast<std::size_t>(number) - 1];
        Out(debugger) << (number == current ? "=> " : "   ") << std::string(label.size() < 4 ? 4 - label.size() : 0, ' ')
                      << label << "  " << source.Lines[static_cast<std::size_t>(number) - 1] << "\n";
    }
}

void CommandIn(Debugger& debugger, const std::string& arguments)
{
    SimOptions values;
    if (!ReadAsOption(debugger, "--in", arguments, values))
        return;
    const PortBytes& input = values.Inputs[0];
    QueuePortInput(debugger.Run, input.Port, input.Bytes);
    Out(debugger) << "Queued " << input.Bytes.size() << (input.Bytes.size() == 1 ? " byte" : " bytes") << " for IN "
                  << HexByte(input.Port) << "H\n";
}

// Keys for the program's console (CP/M, a UART, the serial line), with the
// escapes of --input.
void CommandType(Debugger& debugger, const std::string& arguments)
{
    std::vector<std::uint8_t> bytes;
    if (!ParseConsoleText(arguments, bytes)) {
        ShowError(debugger, "bad text '" + arguments + "': a bad escape");
        return;
    }
    QueueConsoleInput(debugger.Run.Io, bytes.data(), bytes.size());
    Out(debugger) << "Typed " << bytes.size() << (bytes.size() == 1 ? " byte" : " bytes") << "\n";
}

void CommandInterrupt(Debugger& debugger, const std::string& arguments)
{
    SimOptions values;
    std::ostringstream ignored;
    bool is8080 = debugger.Run.Cpu->Model == Cpu8080;
    std::vector<std::string> words = {"--interrupt", arguments + "@0"};
    if (is8080)
        words.insert(words.end(), {"--cpu", "8080"});
    if (!ParseSimOptions(words, values, ignored)) {
        ShowError(debugger, "no interrupt line '" + arguments + "'" + (is8080 ? " (the 8080 has INTR alone)" : ""));
        return;
    }
    RaiseSessionInterrupt(debugger.Run, values.Interrupts[0].Line, values.Interrupts[0].Restart);
    Out(debugger) << "Raised " << InterruptName(values.Interrupts[0].Line) << "\n";
}

void CommandTrace(Debugger& debugger, const std::string& arguments)
{
    if (arguments == "on") {
        debugger.Tracing = true;
        debugger.Run.Observer = TraceObserver(debugger.Trace);
    } else if (arguments == "off") {
        debugger.Tracing = false;
        debugger.Run.Observer = StepObserver();
    } else {
        ShowError(debugger, "trace takes on or off");
        return;
    }
    Out(debugger) << "Trace " << arguments << "\n";
}

void CommandReset(Debugger& debugger, const std::string&)
{
    ResetSession(debugger.Run);
    ShowStop(debugger);
}

void CommandReport(Debugger& debugger, const std::string&)
{
    WriteReport(debugger.Run, Out(debugger));
    for (const DumpRange& range : debugger.Run.Options.Dumps)
        WriteDump(*debugger.Run.Cpu, range, Out(debugger));
    WriteChecks(debugger.Run, Out(debugger));
}

void CommandQuit(Debugger& debugger, const std::string&)
{
    debugger.Quit = true;
}

void CommandHelp(Debugger& debugger, const std::string&);

struct CommandRow {
    const char* Name;
    const char* Short;
    const char* Arguments;
    void (*Run)(Debugger& debugger, const std::string& arguments);
    const char* Help;
};

const CommandRow CommandRows[] = {
    {"step", "s", "[N]", CommandStepInto, "run one instruction (or N)"},
    {"next", "n", "[N]", CommandNext, "the same, but over a CALL, Ccc or RST"},
    {"finish", "f", "", CommandFinish, "run until the current routine returns"},
    {"continue", "c", "", CommandContinue, "run until a breakpoint, watchpoint or the end"},
    {"until", "u", "ADDR", CommandUntil, "run until PC reaches ADDR"},
    {"break", "b", "ADDR", CommandBreak, "stop when PC reaches ADDR"},
    {"tbreak", "tb", "ADDR", CommandTbreak, "the same, once"},
    {"delete", "d", "[N]", CommandDelete, "delete breakpoint or watchpoint N (all without N)"},
    {"breaks", "bl", "", CommandBreaks, "list the breakpoints and watchpoints"},
    {"watch", "w", "ADDR[-ADDR]", CommandWatch, "stop when the program writes a byte there"},
    {"regs", "r", "", CommandRegisters, "show the registers, flags and counts"},
    {"set", "=", "REG=VALUE|ADDR=BYTE[,...]", CommandSet, "change a register or memory"},
    {"x", "x", "ADDR [COUNT]", CommandExamine, "show COUNT bytes of memory (default 16), hex and ASCII"},
    {"dis", "i", "[ADDR [COUNT]]", CommandDisassemble, "disassemble COUNT instructions (default 8 at PC)"},
    {"list", "l", "", CommandList, "the source lines around PC"},
    {"in", "in", "PORT=BYTE[,...]", CommandIn, "queue bytes for IN PORT"},
    {"type", "ty", "TEXT", CommandType, "keys for the program's console (escapes as --input: \\r \\x1A)"},
    {"interrupt", "int", "NAME", CommandInterrupt, "raise TRAP, RST7.5, RST6.5, RST5.5 or INTR[:RSTn]"},
    {"trace", "t", "on|off", CommandTrace, "show every instruction as it runs"},
    {"reset", "rs", "", CommandReset, "start the program again"},
    {"report", "rep", "", CommandReport, "the report of a run, with its dumps and checks"},
    {"help", "h", "", CommandHelp, "this list"},
    {"quit", "q", "", CommandQuit, "leave"},
};

void CommandHelp(Debugger& debugger, const std::string&)
{
    for (const CommandRow& row : CommandRows) {
        std::string left = std::string("  ") + row.Name + (row.Arguments[0] != '\0' ? std::string(" ") + row.Arguments : "");
        if (left.size() < 34)
            left.resize(34, ' ');
        Out(debugger) << left << "(" << row.Short << ")  " << row.Help << "\n";
    }
    Out(debugger) << "Addresses and values take numbers, names and expressions (LOOP, TABLE+2);\n"
                     "an empty line repeats the last step or next; Ctrl-C stops a running program.\n";
}

const CommandRow* FindCommand(const std::string& word)
{
    for (const CommandRow& row : CommandRows) {
        if (word == row.Name || word == row.Short)
            return &row;
    }
    return nullptr;
}

// One line from a terminal through libedit, or from the stream; false at
// the end of the input.
bool ReadCommandLine(std::istream& in, bool terminal, std::ostream& out, std::string& line)
{
#ifdef SIMULATOR_WITH_LIBEDIT
    if (terminal) {
        out.flush();
        std::sig_atomic_t before = Interrupts;
        char* read = readline(Prompt);
        // Ctrl-C at the prompt: a new line and a new prompt.
        while (read == nullptr && Interrupts != before) {
            out << "\n";
            out.flush();
            before = Interrupts;
            read = readline(Prompt);
        }
        if (read == nullptr)
            return false;
        line = read;
        std::free(read);
        if (!TrimText(line).empty())
            add_history(line.c_str());
        return true;
    }
#endif
    out << Prompt;
    out.flush();
    if (!std::getline(in, line))
        return false;
    // From a pipe the command is not echoed by a terminal: the transcript shows it.
    if (!terminal)
        out << line << "\n";
    return true;
}

} // namespace

bool StartDebugger(Debugger& debugger, const SimOptions& options, const LoadedProgram& program, std::ostream& out,
    std::ostream& errors)
{
    debugger.Out = &out;
    debugger.Run.Options = options;
    std::uint16_t start = FindStartAddress(options, program);
    // The console waits for keys the type command gives: a read stops the run.
    debugger.Run.Io.MoreMayCome = true;
    if (!SetUpSession(debugger.Run, program, start, errors))
        return false;
    debugger.Run.Console = StreamSink(out);
    debugger.Run.Warnings = StreamSink(out);
    // The trace options of a run set the trace up, and turn it on.
    if (!OpenTraceWriter(options, debugger.Run.Program, out, debugger.TraceFile, debugger.Trace, errors))
        return false;
    if (options.Trace) {
        debugger.Tracing = true;
        debugger.Run.Observer = TraceObserver(debugger.Trace);
    }
    return true;
}

void RunDebuggerCommand(Debugger& debugger, const std::string& line)
{
    std::string text = TrimText(line);
    if (text.empty()) {
        if (!debugger.Repeat.empty())
            RunDebuggerCommand(debugger, debugger.Repeat);
        return;
    }
    std::size_t space = text.find_first_of(" \t");
    std::string word = text.substr(0, space);
    std::string arguments = space == std::string::npos ? "" : TrimText(text.substr(space));
    for (char& c : word)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const CommandRow* row = FindCommand(word);
    if (row == nullptr) {
        ShowError(debugger, "unknown command '" + word + "' (see help)");
        return;
    }
    bool takesArguments = row->Arguments[0] != '\0';
    bool needsArguments = takesArguments && row->Arguments[0] != '[';
    if ((!takesArguments && !arguments.empty()) || (needsArguments && arguments.empty())) {
        ShowError(debugger, std::string(row->Name) + " takes " + (takesArguments ? row->Arguments : "nothing"));
        return;
    }
    row->Run(debugger, arguments);
    if (row->Run != CommandStepInto && row->Run != CommandNext)
        debugger.Repeat.clear();
}

int RunDebugger(const SimOptions& options, const LoadedProgram& program, std::istream& in, std::ostream& out,
    std::ostream& errors)
{
    Debugger debugger;
    if (!StartDebugger(debugger, options, program, out, errors))
        return 2;
    bool terminal = &in == &std::cin && isatty(STDIN_FILENO) != 0;
    // Ctrl-C pauses a running program and does nothing at the prompt; reads
    // it interrupts go on.
    struct sigaction action = {}, previous = {};
    action.sa_handler = PauseOnInterrupt;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previous);
    out << "Debugging " << options.File << " (help lists the commands)\n";
    ShowStop(debugger);
    std::string line;
    while (!debugger.Quit && ReadCommandLine(in, terminal, out, line))
        RunDebuggerCommand(debugger, line);
    // The end of the input ends the prompt's line.
    if (!debugger.Quit)
        out << "\n";
    sigaction(SIGINT, &previous, nullptr);
    out.flush();
    return 0;
}
