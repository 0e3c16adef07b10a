// The 8080 against the 8085: every instruction whose T-states or flags differ
// run on both, the opcodes the 8080 runs where the 8085 stops, and the
// interrupt inputs each has. Counts from the two manuals' timing tables.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "cpu/Machine.h"

namespace {

constexpr std::uint8_t S = FlagS, Z = FlagZ, AC = FlagAC, P = FlagP, CY = FlagCY;

// Code at 0100H; SP 2000H with the word 1234H on the stack; HL 3000H, the
// byte there 0FH. Flags are the five flag bits, without bit 1.
struct BothModelsCase {
    const char* Text;
    std::vector<std::uint8_t> Code;
    std::uint8_t A, B, FlagsBefore;
    unsigned TStates8085, TStates8080;
    std::uint8_t Flags8085, Flags8080;
    std::uint16_t PC; // the same on both
};

// clang-format off
const BothModelsCase BothModelsCases[] = {
    {"MOV B,C",            {0x41},             0, 0, 0,   4,  5, 0, 0, 0x0101},
    {"MOV A,A",            {0x7F},             0, 0, 0,   4,  5, 0, 0, 0x0101},
    {"MOV A,M, the same",  {0x7E},             0, 0, 0,   7,  7, 0, 0, 0x0101},
    {"INR B",              {0x04},             0, 0x0F, 0, 4, 5, AC, AC, 0x0101},
    {"DCR A",              {0x3D},             1, 0, CY,  4,  5, Z | AC | P | CY, Z | AC | P | CY, 0x0101},
    {"INR M, the same",    {0x34},             0, 0, 0,  10, 10, AC, AC, 0x0101},
    {"INX H",              {0x23},             0, 0, 0,   6,  5, 0, 0, 0x0101},
    {"DCX SP",             {0x3B},             0, 0, 0,   6,  5, 0, 0, 0x0101},
    {"SPHL",               {0xF9},             0, 0, 0,   6,  5, 0, 0, 0x0101},
    {"PCHL",               {0xE9},             0, 0, 0,   6,  5, 0, 0, 0x3000},
    {"PUSH B",             {0xC5},             0, 0, 0,  12, 11, 0, 0, 0x0101},
    {"POP B, the same",    {0xC1},             0, 0, 0,  10, 10, 0, 0, 0x0101},
    {"XTHL",               {0xE3},             0, 0, 0,  16, 18, 0, 0, 0x0101},
    {"JNZ taken",          {0xC2, 0x00, 0x40}, 0, 0, 0,  10, 10, 0, 0, 0x4000},
    {"JNZ not taken",      {0xC2, 0x00, 0x40}, 0, 0, Z,   7, 10, Z, Z, 0x0103},
    {"JMP, the same",      {0xC3, 0x00, 0x40}, 0, 0, 0,  10, 10, 0, 0, 0x4000},
    {"CALL",               {0xCD, 0x00, 0x40}, 0, 0, 0,  18, 17, 0, 0, 0x4000},
    {"CC taken",           {0xDC, 0x00, 0x40}, 0, 0, CY, 18, 17, CY, CY, 0x4000},
    {"CC not taken",       {0xDC, 0x00, 0x40}, 0, 0, 0,   9, 11, 0, 0, 0x0103},
    {"RP taken",           {0xF0},             0, 0, 0,  12, 11, 0, 0, 0x1234},
    {"RP not taken",       {0xF0},             0, 0, S,   6,  5, S, S, 0x0101},
    {"RET, the same",      {0xC9},             0, 0, 0,  10, 10, 0, 0, 0x1234},
    {"RST 3",              {0xDF},             0, 0, 0,  12, 11, 0, 0, 0x0018},
    {"HLT",                {0x76},             0, 0, 0,   5,  7, 0, 0, 0x0101},
    // ANA and ANI: the 8085 always sets AC, the 8080 to bit 3 of A OR the operand.
    {"ANA B, bit 3 clear in both", {0xA0},     0x30, 0x12, CY, 4, 4, AC, 0, 0x0101},
    {"ANA B, bit 3 in A",  {0xA0},             0x08, 0x10, 0,  4, 4, Z | AC | P, Z | AC | P, 0x0101},
    {"ANA B, bit 3 in B",  {0xA0},             0x81, 0x88, 0,  4, 4, S | AC, S | AC, 0x0101},
    {"ANA M",              {0xA6},             0xF0, 0, 0,     7, 7, Z | AC | P, Z | AC | P, 0x0101},
    {"ANI 0F0H",           {0xE6, 0xF0},       0x83, 0, CY,    7, 7, S | AC, S, 0x0102},
    // The other logic operations clear AC on both.
    {"ORA B",              {0xB0},             0x08, 0x08, AC, 4, 4, 0, 0, 0x0101},
    {"XRI 0FFH",           {0xEE, 0xFF},       0x0F, 0, AC,    7, 7, S | P, S | P, 0x0102},
};
// clang-format on

std::unique_ptr<Machine> LoadProgram(const std::vector<std::uint8_t>& code, CpuModel model)
{
    auto machine = std::make_unique<Machine>();
    ResetMachine(*machine, 0, model);
    for (std::size_t index = 0; index < code.size(); ++index) {
        machine->Memory[0x0100 + index] = code[index];
    }
    machine->PC = 0x0100;
    machine->SP = 0x2000;
    machine->Memory[0x2000] = 0x34;
    machine->Memory[0x2001] = 0x12;
    machine->H = 0x30;
    machine->Memory[0x3000] = 0x0F;
    return machine;
}

std::uint16_t PushedWord(const Machine& m)
{
    return static_cast<std::uint16_t>(m.Memory[m.SP] | (m.Memory[m.SP + 1] << 8));
}

} // namespace

TEST(Models, InstructionsThatDifferTakeEachModelsTStatesAndFlags)
{
    for (const BothModelsCase& c : BothModelsCases) {
        for (CpuModel model : {Cpu8085, Cpu8080}) {
            SCOPED_TRACE(std::string(c.Text) + (model == Cpu8080 ? " on the 8080" : " on the 8085"));
            auto m = LoadProgram(c.Code, model);
            m->A = c.A;
            m->B = c.B;
            m->Flags = static_cast<std::uint8_t>(c.FlagsBefore | 0x02);
            StepMachine(*m);
            EXPECT_EQ(m->TStates, model == Cpu8080 ? c.TStates8080 : c.TStates8085);
            EXPECT_EQ(m->Flags, (model == Cpu8080 ? c.Flags8080 : c.Flags8085) | 0x02);
            EXPECT_EQ(m->PC, c.PC);
            EXPECT_EQ(m->Steps, 1u);
        }
    }
}

// The 8080 runs the ten opcodes the 8085 leaves undocumented, and RIM and SIM.
TEST(Models, The8080RunsTheUndocumentedOpcodesAsAliases)
{
    struct Case {
        std::uint8_t Opcode;
        std::uint16_t PC, SP;
        unsigned TStates;
    };
    const Case cases[] = {
        {0x08, 0x0101, 0x2000, 4}, {0x10, 0x0101, 0x2000, 4}, {0x18, 0x0101, 0x2000, 4},
        {0x20, 0x0101, 0x2000, 4}, {0x28, 0x0101, 0x2000, 4}, {0x30, 0x0101, 0x2000, 4},
        {0x38, 0x0101, 0x2000, 4}, {0xCB, 0x4000, 0x2000, 10}, {0xD9, 0x1234, 0x2002, 10},
        {0xDD, 0x4000, 0x1FFE, 17}, {0xED, 0x4000, 0x1FFE, 17}, {0xFD, 0x4000, 0x1FFE, 17},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.Opcode));
        auto m = LoadProgram({c.Opcode, 0x00, 0x40}, Cpu8080);
        m->A = 0xC8; // a SIM that ran would unmask all three and set SOD
        EXPECT_EQ(StepMachine(*m), StepRan);
        EXPECT_EQ(m->PC, c.PC);
        EXPECT_EQ(m->SP, c.SP);
        EXPECT_EQ(m->TStates, c.TStates);
        EXPECT_EQ(m->A, 0xC8);
        EXPECT_EQ(m->InterruptMasks, 0x07);
        EXPECT_FALSE(m->SerialOut);
        if (c.SP == 0x1FFE) {
            EXPECT_EQ(PushedWord(*m), 0x0103);
        }

        auto m85 = LoadProgram({c.Opcode, 0x00, 0x40}, Cpu8085);
        EXPECT_EQ(StepMachine(*m85), IsUndocumentedOpcode(c.Opcode) ? StepUndocumented : StepRan);
    }
}

// Both push the PSW with bit 1 set and bits 3 and 5 clear, whatever was popped.
TEST(Models, BothPushThePswWithTheFixedBits)
{
    for (CpuModel model : {Cpu8085, Cpu8080}) {
        // FFFFH on the stack: POP PSW; PUSH PSW
        auto m = LoadProgram({0xF1, 0xF5}, model);
        m->SP = 0x1FFE;
        m->Memory[0x1FFE] = 0xFF;
        m->Memory[0x1FFF] = 0xFF;
        StepMachine(*m);
        StepMachine(*m);
        EXPECT_EQ(PushedWord(*m), 0xFFD7);
        EXPECT_EQ(m->TStates, model == Cpu8080 ? 10u + 11u : 10u + 12u);
    }
}

// INTR runs the RST on the bus: 12 T-states on the 8085, 11 on the 8080. The
// 8080 has no TRAP or RST 5.5/6.5/7.5: raising them does nothing.
TEST(Models, IntrTakesTheRestartOnTheBusAndThe8080HasNoOtherInput)
{
    for (CpuModel model : {Cpu8085, Cpu8080}) {
        SCOPED_TRACE(model == Cpu8080 ? "8080" : "8085");
        auto m = LoadProgram({0x00, 0x00}, model);
        m->InterruptsEnabled = true;
        RaiseInterrupt(*m, Intr, 0xEF); // RST 5
        StepMachine(*m);
        EXPECT_EQ(m->PC, 0x0028);
        EXPECT_EQ(PushedWord(*m), 0x0100);
        EXPECT_EQ(m->TStates, model == Cpu8080 ? 11u : 12u);
        EXPECT_FALSE(m->InterruptsEnabled);

        auto quiet = LoadProgram({0x00, 0x00}, model);
        quiet->InterruptsEnabled = true;
        quiet->InterruptMasks = 0;
        for (InterruptLine line : {Trap, Rst75, Rst65, Rst55}) {
            RaiseInterrupt(*quiet, line);
        }
        StepMachine(*quiet);
        EXPECT_EQ(quiet->PC, model == Cpu8080 ? 0x0101 : 0x0024);
    }
}

// The delay loop of the timing notes, as an 8080 runs it: LXI SP 10, CALL 17,
// MVI 7, 255 DCR of 5, 255 JNZ of 10 (taken or not), RET 10, HLT 7.
TEST(Models, DelayLoopTakesThe8080sTStates)
{
    auto m = LoadProgram({0x31, 0x00, 0x20, 0xCD, 0x07, 0x01, 0x76, 0x0E, 0xFF, 0x0D, 0xC2, 0x09, 0x01, 0xC9}, Cpu8080);
    StepResult result = StepRan;
    for (int step = 0; step < 1000 && result == StepRan; ++step) {
        result = StepMachine(*m);
    }
    EXPECT_EQ(result, StepHalted);
    EXPECT_EQ(m->TStates, 10u + 17u + 7u + 255u * 5u + 255u * 10u + 10u + 7u);
    EXPECT_EQ(m->Steps, 515u);
}
