// The module's sessions: loading through the command line's own steps, runs
// and their stops, snapshots of what changed, the checks, in JSON.
#include "web/WebSession.h"

#include <sstream>

#include "simulator/Report.h"
#include "simulator/Simulator.h"
#include "web/Json.h"

namespace {

struct StopName {
    StopReason Reason;
    const char* Name;
};

// The stops as api.ts names them.
const StopName StopNames[] = {
    {StopHalt, "halt"},
    {StopBreakpoint, "breakpoint"},
    {StopWatchpoint, "watchpoint"},
    {StopDone, "count"},
    {StopMaxSteps, "limit"},
    {StopUndocumented, "undocumented"},
    {StopWarmBoot, "exit"},
    {StopBdosReset, "exit"},
    {StopInputWanted, "input"},
    {StopInputSpent, "input"},
    {StopCancelled, "exit"},
    {StopPaused, "pause"},
};

const char* const CheckOptions[] = {"--expect", "--expect-out", "--expect-cycles"};

void AppendText(void* context, const char* text, std::size_t length)
{
    static_cast<std::string*>(context)->append(text, length);
}

void WriteStop(JsonWriter& json, const Session& run)
{
    const char* reason = nullptr;
    for (const StopName& name : StopNames)
        if (name.Reason == run.Stop)
            reason = name.Name;
    if (reason == nullptr) {
        json.Text += "null";
        json.First = false;
        return;
    }
    OpenJson(json, '{');
    WriteJsonField(json, "reason", reason);
    WriteJsonField(json, "address", static_cast<int>(run.Address));
    WriteJsonField(json, "text", FormatStop(run));
    CloseJson(json, '}');
}

void WriteRegisters(JsonWriter& json, const Machine& cpu)
{
    static const char* const Names[] = {"A", "B", "C", "D", "E", "H", "L", "F", "SP", "PC"};
    static const RegisterName Registers[] = {RegA, RegB, RegC, RegD, RegE, RegH, RegL, RegFlags, RegSP, RegPC};
    NextJsonField(json, "registers");
    OpenJson(json, '{');
    for (std::size_t i = 0; i < sizeof Registers / sizeof Registers[0]; ++i)
        WriteJsonField(json, Names[i], static_cast<int>(ReadRegister(cpu, Registers[i])));
    CloseJson(json, '}');
    NextJsonField(json, "flags");
    OpenJson(json, '{');
    WriteJsonField(json, "S", (cpu.Flags & FlagS) != 0);
    WriteJsonField(json, "Z", (cpu.Flags & FlagZ) != 0);
    WriteJsonField(json, "AC", (cpu.Flags & FlagAC) != 0);
    WriteJsonField(json, "P", (cpu.Flags & FlagP) != 0);
    WriteJsonField(json, "CY", (cpu.Flags & FlagCY) != 0);
    CloseJson(json, '}');
}

void WriteInterrupts(JsonWriter& json, const Machine& cpu)
{
    NextJsonField(json, "interrupts");
    OpenJson(json, '{');
    WriteJsonField(json, "enabled", cpu.InterruptsEnabled);
    NextJsonField(json, "masks");
    OpenJson(json, '{');
    WriteJsonField(json, "m75", (cpu.InterruptMasks & 4) != 0);
    WriteJsonField(json, "m65", (cpu.InterruptMasks & 2) != 0);
    WriteJsonField(json, "m55", (cpu.InterruptMasks & 1) != 0);
    CloseJson(json, '}');
    NextJsonField(json, "pending");
    OpenJson(json, '[');
    for (int line = Trap; line <= Intr; ++line) {
        if (IsInterruptPending(cpu, static_cast<InterruptLine>(line))) {
            NextJsonItem(json);
            AppendJsonString(json.Text, InterruptName(static_cast<InterruptLine>(line)));
        }
    }
    CloseJson(json, ']');
    WriteJsonField(json, "sid", cpu.SerialIn);
    WriteJsonField(json, "sod", cpu.SerialOut);
    CloseJson(json, '}');
}

// The bytes that differ from what the page was shown, as ranges; all of
// memory when it was shown nothing yet.
void WriteChangedMemory(JsonWriter& json, const Machine& cpu, std::vector<std::uint8_t>& shown)
{
    NextJsonField(json, "changed");
    OpenJson(json, '[');
    bool all = shown.size() != 0x10000;
    std::uint32_t address = 0;
    while (address < 0x10000) {
        if (!all && cpu.Memory[address] == shown[address]) {
            ++address;
            continue;
        }
        std::uint32_t end = address + 1;
        while (end < 0x10000 && (all || cpu.Memory[end] != shown[end]))
            ++end;
        NextJsonItem(json);
        OpenJson(json, '{');
        WriteJsonField(json, "address", static_cast<int>(address));
        WriteJsonBytesField(json, "bytes", cpu.Memory + address, end - address);
        CloseJson(json, '}');
        address = end;
    }
    CloseJson(json, ']');
    shown.assign(cpu.Memory, cpu.Memory + 0x10000);
}

std::string JsonOfCommand(int status, const std::string& out, const std::string& errors)
{
    JsonWriter json;
    OpenJson(json, '{');
    WriteJsonField(json, "status", status);
    WriteJsonField(json, "stdout", out);
    WriteJsonField(json, "stderr", errors);
    CloseJson(json, '}');
    return json.Text;
}

void ClearShown(WebSession& web)
{
    web.Console.clear();
    web.Warnings.clear();
    web.OutputsShown = 0;
    web.MemoryShown.clear();
}

bool IsCheckOption(const std::string& word, std::string& name)
{
    for (const char* option : CheckOptions) {
        std::string text = option;
        if (word == text || word.compare(0, text.size() + 1, text + "=") == 0) {
            name = text;
            return true;
        }
    }
    return false;
}

} // namespace

std::string LoadWebSession(WebSession& web, const WebFile& program, const std::vector<WebFile>& files,
    const std::vector<std::string>& options)
{
    ScratchDirectory scratch;
    std::ostringstream out, errors;
    std::vector<WebFile> all = files;
    all.push_back(program);
    std::string failed;
    if (!WriteWebFiles(all, failed)) {
        errors << "Simulator: error: cannot write " << failed << '\n';
        return JsonOfCommand(SimulatorUsage, out.str(), errors.str());
    }
    std::vector<std::string> arguments = options;
    arguments.push_back(program.Name);
    auto run = std::make_unique<Session>();
    LoadedProgram loaded;
    int status = SimulatorOk;
    if (!PrepareRun(arguments, run->Options, loaded, status, out, errors))
        return JsonOfCommand(status, out.str(), errors.str());
    if (!run->Options.HasMaxSteps)
        run->Options.MaxSteps = MaxStepLimit;
    // The page's keyboard is a live source: a read waits for it.
    run->Io.MoreMayCome = HasConsole(run->Options);
    if (!SetUpSession(*run, loaded, FindStartAddress(run->Options, loaded), errors))
        return JsonOfCommand(SimulatorUsage, out.str(), errors.str());
    web.Run = std::move(run);
    ClearShown(web);
    web.Run->Console = TextSink{&web.Console, AppendText, nullptr};
    web.Run->Warnings = TextSink{&web.Warnings, AppendText, nullptr};
    return JsonOfCommand(SimulatorOk, out.str(), errors.str());
}

std::string RunWebSession(WebSession& web, const std::string& how, std::uint64_t count)
{
    if (!web.Run)
        return "null";
    RunRequest request;
    if (how == "over")
        request = StepOverRequest(*web.Run->Cpu);
    else if (how == "out")
        request = StepOutRequest(*web.Run->Cpu);
    else
        request.Steps = count == 0 ? 1 : count;
    Session& run = *web.Run;
    const std::uint64_t start = run.Cpu->Steps, total = request.Steps;
    // A console poll that found nothing only looks at the keyboard, whose
    // keys are all queued already: the run goes on (a read stops for a key).
    while (RunSession(run, request) == StopInputWanted && run.Io.Waiting == ConsoleWantsPoll) {
        NoteInputChecked(run.Io, run.Cpu->Steps);
        if (total != 0) {
            std::uint64_t ran = run.Cpu->Steps - start;
            if (ran >= total) {
                run.Stop = StopDone;
                break;
            }
            request.Steps = total - ran;
        }
    }
    JsonWriter json;
    WriteStop(json, *web.Run);
    return json.Text;
}

void ResetWebSession(WebSession& web)
{
    if (!web.Run)
        return;
    ResetSession(*web.Run);
    ClearShown(web);
}

std::string SnapshotJson(WebSession& web)
{
    if (!web.Run)
        return "null";
    const Session& run = *web.Run;
    const Machine& cpu = *run.Cpu;
    JsonWriter json;
    OpenJson(json, '{');
    WriteRegisters(json, cpu);
    WriteInterrupts(json, cpu);
    WriteJsonField(json, "halted", cpu.Halted);
    WriteJsonField(json, "steps", cpu.Steps);
    WriteJsonField(json, "tStates", cpu.TStates);
    WriteJsonField(json, "clockKHz", static_cast<std::uint64_t>(run.Options.ClockKHz));
    WriteJsonField(json, "time", FormatTime(cpu.TStates, run.Options.ClockKHz));
    WriteChangedMemory(json, cpu, web.MemoryShown);
    WriteJsonField(json, "console", web.Console);
    WriteJsonField(json, "warnings", web.Warnings);
    web.Console.clear();
    web.Warnings.clear();
    NextJsonField(json, "portWrites");
    OpenJson(json, '[');
    for (; web.OutputsShown < run.Outputs.size(); ++web.OutputsShown) {
        const PortWrite& write = run.Outputs[web.OutputsShown];
        NextJsonItem(json);
        OpenJson(json, '{');
        WriteJsonField(json, "port", static_cast<int>(write.Port));
        WriteJsonField(json, "value", static_cast<int>(write.Value));
        CloseJson(json, '}');
    }
    CloseJson(json, ']');
    NextJsonField(json, "stop");
    WriteStop(json, run);
    CloseJson(json, '}');
    return json.Text;
}

std::string ReportText(const WebSession& web)
{
    if (!web.Run)
        return "";
    std::ostringstream out;
    WriteReport(*web.Run, out);
    return out.str();
}

std::string ChecksJson(WebSession& web, const std::vector<std::string>& options)
{
    JsonWriter json;
    OpenJson(json, '{');
    std::ostringstream errors;
    // Each check read alone, so that each gets its own verdict and line.
    std::vector<std::vector<std::string>> checks;
    for (std::size_t i = 0; i < options.size(); ++i) {
        std::string name;
        if (!IsCheckOption(options[i], name)) {
            errors << "Simulator: error: not a check: " << options[i] << " (--expect, --expect-out, --expect-cycles)\n";
            break;
        }
        checks.push_back({options[i]});
        if (options[i] == name && i + 1 < options.size())
            checks.back().push_back(options[++i]);
    }
    if (!web.Run && errors.str().empty())
        errors << "Simulator: error: no program loaded\n";
    // Names in the checks are the program's.
    const ProgramSymbols* symbols = web.Run && web.Run->Program.HasSymbols ? &web.Run->Program.Symbols : nullptr;
    std::vector<SimOptions> parsed(checks.size());
    for (std::size_t i = 0; i < checks.size() && errors.str().empty(); ++i) {
        if (ParseSimOptions(checks[i], parsed[i], errors, symbols) && symbols == nullptr
            && !parsed[i].PendingNames.empty())
            errors << "Simulator: error: '" << parsed[i].PendingNames[0] << "' is a name, but the program brings no symbols\n";
    }
    std::string error = errors.str();
    bool ok = error.empty();
    WriteJsonField(json, "error", error);
    NextJsonField(json, "checks");
    OpenJson(json, '[');
    for (std::size_t i = 0; i < checks.size() && error.empty(); ++i) {
        std::vector<Expectation> kept = web.Run->Options.Expectations;
        web.Run->Options.Expectations = parsed[i].Expectations;
        std::ostringstream out;
        bool passed = WriteChecks(*web.Run, out);
        web.Run->Options.Expectations = kept;
        ok = ok && passed;
        // The verdict line follows the "Checks: ..." count, indented.
        std::string text = out.str();
        std::size_t from = text.find_first_not_of(' ', text.find('\n') + 1);
        std::string line = from == std::string::npos ? std::string() : text.substr(from, text.find('\n', from) - from);
        NextJsonItem(json);
        OpenJson(json, '{');
        WriteJsonField(json, "text", checks[i].size() == 1 ? checks[i][0] : checks[i][0] + " " + checks[i][1]);
        WriteJsonField(json, "passed", passed);
        WriteJsonField(json, "line", line);
        CloseJson(json, '}');
    }
    CloseJson(json, ']');
    WriteJsonField(json, "ok", ok);
    CloseJson(json, '}');
    return json.Text;
}

std::string BreakpointsJson(const WebSession& web)
{
    JsonWriter json;
    OpenJson(json, '[');
    if (web.Run) {
        for (const Breakpoint& breakpoint : web.Run->Breakpoints) {
            NextJsonItem(json);
            json.Text += std::to_string(breakpoint.Address);
        }
    }
    CloseJson(json, ']');
    return json.Text;
}

void SetWebBreakpoint(WebSession& web, std::uint16_t address, bool on)
{
    if (!web.Run)
        return;
    Session& run = *web.Run;
    for (std::size_t i = run.Breakpoints.size(); i-- > 0;)
        if (run.Breakpoints[i].Address == address)
            DeleteBreakpoint(run, run.Breakpoints[i].Number);
    if (on)
        AddBreakpoint(run, address, false);
}

void SetWebWatchpoint(WebSession& web, std::uint16_t address, bool on)
{
    if (!web.Run)
        return;
    Session& run = *web.Run;
    for (std::size_t i = run.Watchpoints.size(); i-- > 0;)
        if (run.Watchpoints[i].First == address && run.Watchpoints[i].Last == address)
            DeleteBreakpoint(run, run.Watchpoints[i].Number);
    if (on)
        AddWatchpoint(run, address, address);
}

bool SetWebRegister(WebSession& web, const std::string& name, std::uint16_t value)
{
    RegisterName reg;
    if (!web.Run || !FindRegister(name, reg))
        return false;
    WriteRegister(*web.Run->Cpu, reg, value);
    return true;
}

std::string ReadWebMemory(const WebSession& web, std::uint16_t address, std::uint32_t length)
{
    std::string bytes;
    for (std::uint32_t i = 0; web.Run && i < length && i < 0x10000; ++i)
        bytes += static_cast<char>(web.Run->Cpu->Memory[static_cast<std::uint16_t>(address + i)]);
    std::string json;
    AppendJsonBytes(json, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return json;
}

void WriteWebMemory(WebSession& web, std::uint16_t address, const std::string& bytes)
{
    for (std::size_t i = 0; web.Run && i < bytes.size() && i < 0x10000; ++i)
        web.Run->Cpu->Memory[static_cast<std::uint16_t>(address + i)] = static_cast<std::uint8_t>(bytes[i]);
}

void QueueWebInput(WebSession& web, std::uint8_t port, const std::string& bytes)
{
    if (web.Run)
        QueuePortInput(*web.Run, port, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

bool RaiseWebInterrupt(WebSession& web, const std::string& name)
{
    for (int line = Trap; web.Run && line <= Intr; ++line) {
        if (name == InterruptName(static_cast<InterruptLine>(line))) {
            RaiseSessionInterrupt(*web.Run, static_cast<InterruptLine>(line));
            return true;
        }
    }
    return false;
}

void HoldWebInput(WebSession& web, std::uint8_t port, int value)
{
    if (web.Run)
        HoldPortInput(*web.Run, port, value);
}

void PauseWebSession(WebSession& web)
{
    if (web.Run)
        RequestPause(*web.Run);
}

void SendWebConsole(WebSession& web, const std::string& bytes)
{
    if (web.Run)
        QueueConsoleInput(web.Run->Io, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}
