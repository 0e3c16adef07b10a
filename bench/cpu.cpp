// Speed of the 8085 core: instructions per second on an exerciser-like loop
// that mixes every instruction group, the bare DCR/JNZ delay loop, both also
// run as an 8080, and the disassembler of the trace.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "cpu/Machine.h"
#include "Exerciser.h"

namespace {

// MVI C,0; LOOP: DCR C; JNZ LOOP; JMP 0000H.
const std::uint8_t DelayLoop[] = {0x0E, 0x00, 0x0D, 0xC2, 0x02, 0x00, 0xC3, 0x00, 0x00};

const int StepsPerIteration = 1000000;

std::unique_ptr<Machine> Load(const std::uint8_t* code, std::size_t size, CpuModel model = Cpu8085)
{
    auto machine = std::make_unique<Machine>();
    ResetMachine(*machine, 0, model);
    for (std::size_t index = 0; index < size; ++index) {
        machine->Memory[index] = code[index];
    }
    return machine;
}

// Steps as a driver does with the trace off: the model's step function
// picked once, each result looked at.
void RunSteps(benchmark::State& state, const std::uint8_t* code, std::size_t size, CpuModel model = Cpu8085)
{
    auto machine = Load(code, size, model);
    StepFunction step = StepFunctionFor(model);
    for (auto _ : state) {
        for (int count = 0; count < StepsPerIteration; ++count) {
            if (step(*machine) != StepRan) {
                state.SkipWithError("the program stopped");
                return;
            }
        }
    }
    benchmark::DoNotOptimize(machine->A);
    state.SetItemsProcessed(state.iterations() * StepsPerIteration);
    // The clock the processor would need to keep pace: T-states per second.
    state.counters["TStates"] = benchmark::Counter(static_cast<double>(machine->TStates), benchmark::Counter::kIsRate);
}

void StepExerciser(benchmark::State& state)
{
    RunSteps(state, Exerciser, sizeof Exerciser);
}
BENCHMARK(StepExerciser)->Unit(benchmark::kMillisecond);

void StepDelayLoop(benchmark::State& state)
{
    RunSteps(state, DelayLoop, sizeof DelayLoop);
}
BENCHMARK(StepDelayLoop)->Unit(benchmark::kMillisecond);

void StepExerciser8080(benchmark::State& state)
{
    RunSteps(state, Exerciser, sizeof Exerciser, Cpu8080);
}
BENCHMARK(StepExerciser8080)->Unit(benchmark::kMillisecond);

void StepDelayLoop8080(benchmark::State& state)
{
    RunSteps(state, DelayLoop, sizeof DelayLoop, Cpu8080);
}
BENCHMARK(StepDelayLoop8080)->Unit(benchmark::kMillisecond);

// One trace line's disassembly, over the exerciser's instructions.
void DisassembleExerciser(benchmark::State& state)
{
    auto machine = Load(Exerciser, sizeof Exerciser);
    char text[32];
    std::uint16_t address = 0;
    for (auto _ : state) {
        int length = DisassembleInstruction(*machine, address, text, sizeof text);
        benchmark::DoNotOptimize(text);
        address = static_cast<std::uint16_t>(address + length);
        if (address >= sizeof Exerciser) {
            address = 0;
        }
    }
}
BENCHMARK(DisassembleExerciser);

} // namespace

BENCHMARK_MAIN();
