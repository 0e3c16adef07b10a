// Short programs on the core: interrupts and their masks, EI's delay, HLT,
// the port hooks, the undocumented opcodes and a timed delay loop.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "cpu/Machine.h"

namespace {

std::unique_ptr<Machine> LoadProgram(const std::vector<std::uint8_t>& code, std::uint16_t origin = 0x0100)
{
    auto machine = std::make_unique<Machine>();
    ResetMachine(*machine, 0);
    for (std::size_t index = 0; index < code.size(); ++index) {
        machine->Memory[origin + index] = code[index];
    }
    machine->PC = origin;
    machine->SP = 0x2000;
    return machine;
}

std::uint16_t PushedWord(const Machine& m)
{
    return static_cast<std::uint16_t>(m.Memory[m.SP] | (m.Memory[m.SP + 1] << 8));
}

struct PortLog {
    std::vector<int> Events; // port * 256 + value for OUT; -1 - accumulator for SIM
};

std::uint8_t ReadHook(void*, std::uint8_t port)
{
    return static_cast<std::uint8_t>(port + 1);
}

void WriteHook(void* context, std::uint8_t port, std::uint8_t value)
{
    static_cast<PortLog*>(context)->Events.push_back(port * 256 + value);
}

void SimHook(void* context, std::uint8_t accumulator)
{
    static_cast<PortLog*>(context)->Events.push_back(-1 - accumulator);
}

} // namespace

// The classic delay loop: LXI SP; CALL DELAY; HLT; DELAY: MVI C,0FFH;
// LOOP: DCR C; JNZ LOOP; RET. 10 + 18 + 7 + 255*4 + 254*10 + 7 + 10 + 5.
TEST(Machine, DelayLoopTakesItsDocumentedTStates)
{
    auto m = LoadProgram({0x31, 0x00, 0x20, 0xCD, 0x07, 0x01, 0x76, 0x0E, 0xFF, 0x0D, 0xC2, 0x09, 0x01, 0xC9});
    StepResult result = StepRan;
    for (int step = 0; step < 1000 && result == StepRan; ++step) {
        result = StepMachine(*m);
    }
    EXPECT_EQ(result, StepHalted);
    EXPECT_EQ(m->TStates, 3617u);
    EXPECT_EQ(m->Steps, 515u);
    EXPECT_EQ(m->PC, 0x0107);
    // A halted machine with nothing to take stays put and counts nothing.
    EXPECT_EQ(StepMachine(*m), StepHalted);
    EXPECT_EQ(m->Steps, 515u);
}

TEST(Machine, UndocumentedOpcodesAreNotRun)
{
    const std::uint8_t undocumented[] = {0x08, 0x10, 0x18, 0x28, 0x38, 0xCB, 0xD9, 0xDD, 0xED, 0xFD};
    int count = 0;
    for (int opcode = 0; opcode < 256; ++opcode) {
        count += IsUndocumentedOpcode(static_cast<std::uint8_t>(opcode)) ? 1 : 0;
    }
    EXPECT_EQ(count, 10);
    for (std::uint8_t opcode : undocumented) {
        auto m = LoadProgram({opcode, 0x00, 0x00});
        EXPECT_TRUE(IsUndocumentedOpcode(opcode));
        EXPECT_EQ(StepMachine(*m), StepUndocumented) << int(opcode);
        EXPECT_EQ(m->PC, 0x0100);
        EXPECT_EQ(m->Steps, 0u);
        EXPECT_EQ(m->TStates, 0u);
    }
}

TEST(Machine, PortHooksSeeInOutAndSim)
{
    // IN 41H; OUT 07H; MVI A,0C0H; SIM
    auto m = LoadProgram({0xDB, 0x41, 0xD3, 0x07, 0x3E, 0xC0, 0x30});
    PortLog log;
    m->Hooks = MachineHooks{&log, ReadHook, WriteHook, SimHook, nullptr};
    for (int step = 0; step < 4; ++step) {
        StepMachine(*m);
    }
    EXPECT_EQ(log.Events, (std::vector<int>{0x07 * 256 + 0x42, -1 - 0xC0}));
    EXPECT_TRUE(m->SerialOut);
}

// SIM: bit 3 sets the masks, bit 4 clears the 7.5 latch, bit 6 sets SOD from
// bit 7. RIM: SID, pending 7.5 6.5 5.5, IE, masks.
TEST(Machine, SimSetsMasksAndSodAndRimReadsThemBack)
{
    struct Case {
        std::uint8_t Sim;
        std::uint8_t MasksAfter;
        bool Latch75After;
        bool SodAfter;
        std::uint8_t Rim; // with SID 1, IE 0, 6.5 raised
    };
    const Case cases[] = {
        {0x0D, 0x05, true, false, 0x80 | 0x40 | 0x20 | 0x05}, // masks 7.5 and 5.5
        {0x05, 0x07, true, false, 0x80 | 0x40 | 0x20 | 0x07}, // no MSE: masks stay
        {0x18, 0x00, false, false, 0x80 | 0x20},              // unmask all, reset 7.5
        {0xC0, 0x07, true, true, 0x80 | 0x40 | 0x20 | 0x07},  // SOD 1
        {0x80, 0x07, true, false, 0x80 | 0x40 | 0x20 | 0x07}, // no SDE: SOD stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.Sim));
        // MVI A,sim; SIM; RIM
        auto m = LoadProgram({0x3E, c.Sim, 0x30, 0x20});
        m->SerialIn = true;
        RaiseInterrupt(*m, Rst75);
        RaiseInterrupt(*m, Rst65);
        StepMachine(*m);
        StepMachine(*m);
        EXPECT_EQ(m->InterruptMasks, c.MasksAfter);
        EXPECT_EQ(m->Rst75Pending, c.Latch75After);
        EXPECT_EQ(m->SerialOut, c.SodAfter);
        StepMachine(*m);
        EXPECT_EQ(m->A, c.Rim);
    }
}

// Which vector is taken with lines raised, the masks and IE as given.
TEST(Machine, InterruptsAreTakenByPriorityWhenEnabledAndUnmasked)
{
    struct Case {
        const char* Name;
        std::vector<InterruptLine> Raised;
        std::uint8_t Masks;
        bool Enabled;
        int Vector; // -1: the NOP runs instead
    };
    const std::vector<InterruptLine> all = {Rst55, Rst65, Rst75, Trap, Intr};
    const Case cases[] = {
        {"TRAP first", all, 0, true, 0x24},
        {"then 7.5", {Rst55, Rst65, Rst75, Intr}, 0, true, 0x3C},
        {"then 6.5", {Rst55, Rst65, Rst75}, 0x04, true, 0x34},
        {"then 5.5", {Rst55, Rst65, Rst75}, 0x06, true, 0x2C},
        {"INTR last, as RST 7", {Intr}, 0x07, true, 0x38},
        {"all masked", {Rst55, Rst65, Rst75}, 0x07, true, -1},
        {"disabled", {Rst55, Rst65, Rst75, Intr}, 0, false, -1},
        {"TRAP when disabled", {Trap}, 0x07, false, 0x24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        auto m = LoadProgram({0x00});
        m->InterruptMasks = c.Masks;
        m->InterruptsEnabled = c.Enabled;
        for (InterruptLine line : c.Raised) {
            RaiseInterrupt(*m, line);
        }
        EXPECT_EQ(StepMachine(*m), StepRan);
        if (c.Vector < 0) {
            EXPECT_EQ(m->PC, 0x0101);
            EXPECT_EQ(m->TStates, 4u);
            continue;
        }
        EXPECT_EQ(m->PC, c.Vector);
        EXPECT_EQ(PushedWord(*m), 0x0100);
        EXPECT_EQ(m->SP, 0x1FFE);
        EXPECT_FALSE(m->InterruptsEnabled);
        EXPECT_EQ(m->TStates, 12u);
        EXPECT_EQ(m->Steps, 1u);
    }
}

TEST(Machine, EiEnablesAfterTheNextInstructionAndDiCancelsIt)
{
    // EI; NOP; NOP with RST 6.5 unmasked and raised: taken before the second NOP.
    auto m = LoadProgram({0xFB, 0x00, 0x00});
    m->InterruptMasks = 0;
    RaiseInterrupt(*m, Rst65);
    StepMachine(*m);
    EXPECT_FALSE(m->InterruptsEnabled);
    StepMachine(*m);
    EXPECT_TRUE(m->InterruptsEnabled);
    EXPECT_EQ(m->PC, 0x0102);
    StepMachine(*m);
    EXPECT_EQ(m->PC, 0x0034);
    EXPECT_EQ(PushedWord(*m), 0x0102);
    EXPECT_EQ(m->TStates, 4u + 4u + 12u);

    // EI; DI; NOP: never taken.
    m = LoadProgram({0xFB, 0xF3, 0x00});
    m->InterruptMasks = 0;
    RaiseInterrupt(*m, Rst55);
    for (int step = 0; step < 3; ++step) {
        StepMachine(*m);
    }
    EXPECT_EQ(m->PC, 0x0103);
    EXPECT_TRUE(m->PendingLines[Rst55]);
}

TEST(Machine, InterruptWakesHltAndReturnsBehindIt)
{
    // EI; HLT; NOP. 7.5 arrives while halted.
    auto m = LoadProgram({0xFB, 0x76, 0x00});
    m->InterruptMasks = 0;
    StepMachine(*m);
    EXPECT_EQ(StepMachine(*m), StepHalted);
    EXPECT_TRUE(m->Halted);
    EXPECT_EQ(StepMachine(*m), StepHalted);
    RaiseInterrupt(*m, Rst75);
    EXPECT_EQ(StepMachine(*m), StepRan);
    EXPECT_FALSE(m->Halted);
    EXPECT_FALSE(m->Rst75Pending);
    EXPECT_EQ(m->PC, 0x003C);
    EXPECT_EQ(PushedWord(*m), 0x0102);
    EXPECT_EQ(m->TStates, 4u + 5u + 12u);
}

TEST(Machine, RimRightAfterTrapShowsTheEarlierIe)
{
    // TRAP while enabled, then RIM; RIM at 0024H.
    auto m = LoadProgram({0x00});
    m->Memory[0x24] = 0x20;
    m->Memory[0x25] = 0x20;
    m->InterruptsEnabled = true;
    RaiseInterrupt(*m, Trap);
    StepMachine(*m);
    StepMachine(*m);
    EXPECT_EQ(m->A & 0x08, 0x08);
    StepMachine(*m);
    EXPECT_EQ(m->A & 0x08, 0x00);
}

// ADC then DAA on two BCD bytes gives their decimal sum and carry, for every
// pair and carry in.
TEST(Machine, DaaAfterAdcGivesTheDecimalSumOfEveryPair)
{
    auto m = LoadProgram({0x88, 0x27}); // ADC B; DAA
    int wrong = 0;
    for (int x = 0; x < 100; ++x) {
        for (int y = 0; y < 100; ++y) {
            for (int carry = 0; carry < 2; ++carry) {
                m->PC = 0x0100;
                m->A = static_cast<std::uint8_t>((x / 10) * 16 + x % 10);
                m->B = static_cast<std::uint8_t>((y / 10) * 16 + y % 10);
                m->Flags = static_cast<std::uint8_t>(0x02 | carry);
                StepMachine(*m);
                StepMachine(*m);
                int sum = x + y + carry;
                bool right = m->A == ((sum % 100) / 10) * 16 + sum % 10 && (m->Flags & FlagCY) == (sum >= 100 ? 1 : 0);
                wrong += right ? 0 : 1;
                EXPECT_TRUE(right) << x << " + " << y << " + " << carry;
                if (wrong > 5) {
                    return;
                }
            }
        }
    }
}
