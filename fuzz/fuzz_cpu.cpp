// The core on arbitrary bytes as a program, as an 8085 or an 8080: a bounded
// number of steps never crashes, never hangs, and the disassembler's length
// agrees with how far each instruction that does not branch moves PC.
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "cpu/Machine.h"

namespace {

const int MaxSteps = 4096;

// The input again as the bytes IN reads, round and round.
struct PortInput {
    const std::uint8_t* Data;
    std::size_t Size;
    std::size_t Next;
};

std::uint8_t ReadPort(void* context, std::uint8_t port)
{
    PortInput& input = *static_cast<PortInput*>(context);
    if (input.Size == 0) {
        return port;
    }
    std::uint8_t value = input.Data[input.Next];
    input.Next = (input.Next + 1) % input.Size;
    return value;
}

void DropOutput(void*, std::uint8_t, std::uint8_t)
{
}
void DropSim(void*, std::uint8_t)
{
}

// Jumps, calls, returns, restarts, PCHL and HLT set PC their own way; so do
// the 8080's JMP, RET and CALL at CBH, D9H, DDH, EDH and FDH.
bool SetsProgramCounter(std::uint8_t opcode, CpuModel model)
{
    if (opcode == 0x76 || opcode == 0xC3 || opcode == 0xC9 || opcode == 0xCD || opcode == 0xE9) {
        return true;
    }
    if (model == Cpu8080 && (opcode == 0xCB || opcode == 0xD9 || (opcode & 0xCF) == 0xCD)) {
        return true;
    }
    int low = opcode & 0x07;
    return (opcode & 0xC0) == 0xC0 && (low == 0 || low == 2 || low == 4 || low == 7);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Machine* machine = new Machine;
    Machine& m = *machine;
    ResetMachine(m, size > 0 ? data[0] : 0);
    std::memcpy(m.Memory, data, size < sizeof m.Memory ? size : sizeof m.Memory);
    // The last bytes choose the start state: SP, masks, IE, SID, when and
    // which interrupt line is raised (and the restart INTR carries), and the
    // model.
    std::uint8_t tail[7] = {0};
    for (std::size_t index = 0; index < 7 && index < size; ++index) {
        tail[index] = data[size - 1 - index];
    }
    m.Model = (tail[6] & 1) != 0 ? Cpu8080 : Cpu8085;
    m.SP = static_cast<std::uint16_t>((tail[0] << 8) | tail[1]);
    m.InterruptMasks = tail[2] & 0x07;
    m.InterruptsEnabled = (tail[2] & 0x08) != 0;
    m.SerialIn = (tail[2] & 0x10) != 0;
    int raiseAt = tail[3] * 16;
    InterruptLine line = static_cast<InterruptLine>(tail[4] % 5);
    PortInput input = {data, size, 0};
    m.Hooks = MachineHooks{&input, ReadPort, DropOutput, DropSim, nullptr};

    for (int step = 0; step < MaxSteps; ++step) {
        if (step == raiseAt) {
            RaiseInterrupt(m, line, static_cast<std::uint8_t>(tail[5] | 0xC7));
        }
        bool mayInterrupt = m.PendingLines[Trap] || m.PendingLines[Intr] || m.PendingLines[Rst55]
            || m.PendingLines[Rst65] || m.Rst75Pending;
        std::uint16_t pc = m.PC;
        std::uint8_t opcode = m.Memory[pc];
        std::uint64_t steps = m.Steps;
        char text[24];
        int length = DisassembleInstruction(m, pc, text, sizeof text);
        FUZZ_CHECK(length >= 1 && length <= 3, "length " + std::to_string(length));
        FUZZ_CHECK(std::memchr(text, '\0', sizeof text) != nullptr, "text not ended");

        StepResult result = StepMachine(m);
        if (result == StepUndocumented) {
            FUZZ_CHECK(m.Model == Cpu8085 && IsUndocumentedOpcode(opcode) && m.PC == pc && m.Steps == steps,
                "undocumented step moved");
            break;
        }
        if (result == StepHalted && m.Steps == steps) {
            break; // halted, nothing to take
        }
        FUZZ_CHECK(m.Steps == steps + 1, "one step per call");
        if (!mayInterrupt && !SetsProgramCounter(opcode, m.Model)) {
            FUZZ_CHECK(m.PC == static_cast<std::uint16_t>(pc + length), std::string("PC after ") + text);
        }
    }
    return 0;
}
