// What the session costs around the core: the exerciser loop stepped bare,
// through the run loop as it was before the session interface, and through
// RunSession's fast and checked loops; and the trace written to a file.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "Exerciser.h"
#include "cpu/Machine.h"
#include "simulator/Session.h"
#include "simulator/Trace.h"

namespace {

const int StepsPerIteration = 1000000;

LoadedProgram ExerciserProgram()
{
    LoadedProgram program;
    ClearImage(program.Image);
    std::vector<ObjectFault> faults;
    PlaceBytes(program.Image, 1, 0, std::vector<std::uint8_t>(Exerciser, Exerciser + sizeof Exerciser), faults);
    return program;
}

std::unique_ptr<Session> ExerciserSession()
{
    auto session = std::make_unique<Session>();
    session->Options.MaxSteps = MaxStepLimit;
    std::ostringstream errors;
    SetUpSession(*session, ExerciserProgram(), 0, errors);
    return session;
}

// The bare core, as cpu.cpp's StepExerciser: the ratio's denominator.
void CoreExerciser(benchmark::State& state)
{
    auto session = ExerciserSession();
    Machine& machine = *session->Cpu;
    for (auto _ : state) {
        for (int step = 0; step < StepsPerIteration; ++step) {
            if (StepMachine(machine) != StepRan) {
                state.SkipWithError("the program stopped");
                return;
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * StepsPerIteration);
}
BENCHMARK(CoreExerciser)->Unit(benchmark::kMillisecond);

// The run loop before the session interface, kept here as it was: every
// instruction looked at for the step limit, the schedule, a breakpoint
// (a vector<bool>), the CP/M entries and the trace switch.
void PreviousLoopExerciser(benchmark::State& state)
{
    auto session = ExerciserSession();
    Machine& machine = *session->Cpu;
    const SimOptions& options = session->Options;
    // Escaped, as the session's own were: the core could change them, so
    // every instruction reads them again.
    std::vector<bool> breakpoints(0x10000, false);
    benchmark::DoNotOptimize(&breakpoints);
    bool first = true;
    for (auto _ : state) {
        std::uint64_t end = machine.Steps + StepsPerIteration;
        while (machine.Steps < end) {
            if (machine.Steps >= options.MaxSteps)
                break;
            while (session->NextInterrupt < session->Schedule.size()
                && session->Schedule[session->NextInterrupt].Step <= machine.Steps)
                RaiseInterrupt(machine, session->Schedule[session->NextInterrupt++].Line);
            std::uint16_t address = machine.PC;
            session->Address = address;
            if (!first && breakpoints[address])
                break;
            first = false;
            if (options.Cpm && (address == 0x0000 || address == BdosEntry))
                continue;
            bool halted = machine.Halted;
            benchmark::DoNotOptimize(halted);
            StepResult result = options.Trace ? StepRan : StepMachine(machine);
            if (result != StepRan) {
                state.SkipWithError("the program stopped");
                return;
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * StepsPerIteration);
}
BENCHMARK(PreviousLoopExerciser)->Unit(benchmark::kMillisecond);

void RunExerciserSession(benchmark::State& state, Session& session)
{
    RunRequest request;
    request.Steps = StepsPerIteration;
    for (auto _ : state) {
        if (RunSession(session, request) != StopDone) {
            state.SkipWithError("the program stopped");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * StepsPerIteration);
}

// RunSession's fast loop: nothing marked.
void SessionExerciser(benchmark::State& state)
{
    auto session = ExerciserSession();
    RunExerciserSession(state, *session);
}
BENCHMARK(SessionExerciser)->Unit(benchmark::kMillisecond);

// The fast loop with a breakpoint the program never reaches: one byte
// looked at per instruction.
void SessionExerciserBreakpoint(benchmark::State& state)
{
    auto session = ExerciserSession();
    AddBreakpoint(*session, 0x4000, false);
    RunExerciserSession(state, *session);
}
BENCHMARK(SessionExerciserBreakpoint)->Unit(benchmark::kMillisecond);

// The checked loop: a watchpoint on bytes the program never writes.
void SessionExerciserWatchpoint(benchmark::State& state)
{
    auto session = ExerciserSession();
    AddWatchpoint(*session, 0x4000, 0x40FF);
    RunExerciserSession(state, *session);
}
BENCHMARK(SessionExerciserWatchpoint)->Unit(benchmark::kMillisecond);

// The trace of the exerciser into a file, with or without the loop's labels
// (label lines, named jump and call targets): items are instructions traced.
void TraceExerciserToFile(benchmark::State& state, bool labels)
{
    auto session = ExerciserSession();
    ProgramSymbols symbols;
    const struct {
        const char* Name;
        std::uint16_t Value;
    } rows[] = {{"START", 0x00}, {"OUTER", 0x06}, {"LOOP", 0x0C}, {"SKIP", 0x29}, {"NEXT", 0x32}, {"SUBR", 0x58}};
    for (const auto& row : rows)
        AddSourceSymbol(symbols.Table, SourceSymbol{row.Name, SymbolKind::Label, row.Value, true, 1});
    IndexLabels(symbols);
    std::ofstream file("trace-bench.txt", std::ios::binary | std::ios::trunc);
    TraceWriter trace;
    trace.Out = &file;
    trace.Symbols = labels ? &symbols : nullptr;
    session->Observer = TraceObserver(trace);
    const int steps = 100000;
    RunRequest request;
    request.Steps = steps;
    for (auto _ : state) {
        RunSession(*session, request);
        FlushTrace(trace);
    }
    state.SetItemsProcessed(state.iterations() * steps);
    file.close();
    std::remove("trace-bench.txt");
}

void TraceExerciserToFilePlain(benchmark::State& state)
{
    TraceExerciserToFile(state, false);
}
BENCHMARK(TraceExerciserToFilePlain)->Unit(benchmark::kMillisecond);

void TraceExerciserToFileWithLabels(benchmark::State& state)
{
    TraceExerciserToFile(state, true);
}
BENCHMARK(TraceExerciserToFileWithLabels)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
