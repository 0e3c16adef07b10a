// The 8085 core, and the 8080 it can run as: power-on state, the interrupt
// inputs and one step of the processor, with the flag rules of each
// operation family in one place each and the T-states of each model in a
// table of its own.
#include "cpu/Machine.h"

#include <array>
#include <cstring>

namespace {

// Bit 1 of the PSW's low byte always reads 1; bits 3 and 5 always read 0.
constexpr std::uint8_t FlagFixed = 0x02;
constexpr std::uint8_t FlagMask = FlagS | FlagZ | FlagAC | FlagP | FlagCY;

// S, Z and P of every result byte, with the fixed bit 1.
constexpr std::array<std::uint8_t, 256> MakeResultFlags()
{
    std::array<std::uint8_t, 256> flags{};
    for (int value = 0; value < 256; ++value) {
        int ones = 0;
        for (int bit = 0; bit < 8; ++bit) {
            ones += (value >> bit) & 1;
        }
        flags[value] = static_cast<std::uint8_t>(
            (value & 0x80) | (value == 0 ? FlagZ : 0) | ((ones & 1) == 0 ? FlagP : 0) | FlagFixed);
    }
    return flags;
}
constexpr std::array<std::uint8_t, 256> ResultFlags = MakeResultFlags();

// The 8085's T-states of every opcode; a conditional transfer's entry is its
// count when the condition fails (the taken count adds the model's extra for
// a jump, call or return). The undocumented rows are 0: they never run.
// clang-format off
constexpr std::uint8_t TStateTable[256] = {
    //  0   1   2   3   4   5   6   7   8   9   A   B   C   D   E   F
        4, 10,  7,  6,  4,  4,  7,  4,  0, 10,  7,  6,  4,  4,  7,  4, // 0x
        0, 10,  7,  6,  4,  4,  7,  4,  0, 10,  7,  6,  4,  4,  7,  4, // 1x
        4, 10, 16,  6,  4,  4,  7,  4,  0, 10, 16,  6,  4,  4,  7,  4, // 2x
        4, 10, 13,  6, 10, 10, 10,  4,  0, 10, 13,  6,  4,  4,  7,  4, // 3x
        4,  4,  4,  4,  4,  4,  7,  4,  4,  4,  4,  4,  4,  4,  7,  4, // 4x MOV B / C
        4,  4,  4,  4,  4,  4,  7,  4,  4,  4,  4,  4,  4,  4,  7,  4, // 5x MOV D / E
        4,  4,  4,  4,  4,  4,  7,  4,  4,  4,  4,  4,  4,  4,  7,  4, // 6x MOV H / L
        7,  7,  7,  7,  7,  7,  5,  7,  4,  4,  4,  4,  4,  4,  7,  4, // 7x MOV M / HLT / MOV A
        4,  4,  4,  4,  4,  4,  7,  4,  4,  4,  4,  4,  4,  4,  7,  4, // 8x ADD ADC
        4,  4,  4,  4,  4,  4,  7,  4,  4,  4,  4,  4,  4,  4,  7,  4, // 9x SUB SBB
        4,  4,  4,  4,  4,  4,  7,  4,  4,  4,  4,  4,  4,  4,  7,  4, // Ax ANA XRA
        4,  4,  4,  4,  4,  4,  7,  4,  4,  4,  4,  4,  4,  4,  7,  4, // Bx ORA CMP
        6, 10,  7, 10,  9, 12,  7, 12,  6, 10,  7,  0,  9, 18,  7, 12, // Cx
        6, 10,  7, 10,  9, 12,  7, 12,  6,  0,  7, 10,  9,  0,  7, 12, // Dx
        6, 10,  7, 16,  9, 12,  7, 12,  6,  6,  7,  4,  9,  0,  7, 12, // Ex
        6, 10,  7,  4,  9, 12,  7, 12,  6,  6,  7,  4,  9,  0,  7, 12, // Fx
};
// clang-format on

// The 8080's T-states: the 8085's but where the 8080 differs. Its
// undocumented opcodes take what the instruction they alias takes.
constexpr std::array<std::uint8_t, 256> MakeTStates8080()
{
    std::array<std::uint8_t, 256> states{};
    for (int opcode = 0; opcode < 256; ++opcode) {
        states[opcode] = TStateTable[opcode];
    }
    for (int target = 0; target < 8; ++target) {
        for (int source = 0; source < 8; ++source) {
            if (target != 6 && source != 6) {
                states[0x40 | target << 3 | source] = 5; // MOV r,r
            }
        }
        if (target != 6) {
            states[0x04 | target << 3] = states[0x05 | target << 3] = 5; // INR r, DCR r
        }
        states[0xC2 | target << 3] = 10; // Jcc: 10 either way
        states[0xC4 | target << 3] = 11; // Ccc: 11 / 17
        states[0xC0 | target << 3] = 5;  // Rcc: 5 / 11
        states[0xC7 | target << 3] = 11; // RST
    }
    for (int pair = 0; pair < 4; ++pair) {
        states[0x03 | pair << 4] = states[0x0B | pair << 4] = 5; // INX, DCX
        states[0xC5 | pair << 4] = 11;                           // PUSH
    }
    states[0xF9] = states[0xE9] = 5; // SPHL, PCHL
    states[0xE3] = 18;               // XTHL
    states[0xCD] = 17;               // CALL
    states[0x76] = 7;                // HLT
    for (int nop : {0x08, 0x10, 0x18, 0x20, 0x28, 0x30, 0x38}) {
        states[nop] = 4;
    }
    states[0xCB] = states[0xD9] = 10;                // JMP, RET
    states[0xDD] = states[0xED] = states[0xFD] = 17; // CALL
    return states;
}
constexpr std::array<std::uint8_t, 256> TStates8080 = MakeTStates8080();

// What the taken branch of a conditional transfer adds, and what taking an
// interrupt costs (an RST's machine cycles), by model.
struct ModelTiming {
    unsigned TakenJumpExtra;   // 8085 Jcc 7 / 10; 8080 10 either way
    unsigned TakenCallExtra;   // 8085 Ccc 9 / 18; 8080 11 / 17
    unsigned TakenReturnExtra; // 8085 Rcc 6 / 12; 8080 5 / 11
    unsigned InterruptTStates;
};
constexpr ModelTiming Timings[2] = {{3, 9, 6, 12}, {0, 6, 6, 11}};

template <CpuModel Model>
constexpr unsigned BaseTStates(std::uint8_t opcode)
{
    return Model == Cpu8080 ? TStates8080[opcode] : TStateTable[opcode];
}

inline std::uint16_t Pair(std::uint8_t high, std::uint8_t low)
{
    return static_cast<std::uint16_t>((high << 8) | low);
}

inline std::uint16_t ReadWord(const Machine& m, std::uint16_t address)
{
    return Pair(m.Memory[static_cast<std::uint16_t>(address + 1)], m.Memory[address]);
}

// The operand word behind the opcode; PC moves past it.
inline std::uint16_t FetchWord(Machine& m)
{
    std::uint16_t word = ReadWord(m, m.PC);
    m.PC = static_cast<std::uint16_t>(m.PC + 2);
    return word;
}

inline std::uint8_t FetchByte(Machine& m)
{
    std::uint8_t byte = m.Memory[m.PC];
    m.PC = static_cast<std::uint16_t>(m.PC + 1);
    return byte;
}

inline void Push(Machine& m, std::uint16_t word)
{
    m.SP = static_cast<std::uint16_t>(m.SP - 1);
    m.Memory[m.SP] = static_cast<std::uint8_t>(word >> 8);
    m.SP = static_cast<std::uint16_t>(m.SP - 1);
    m.Memory[m.SP] = static_cast<std::uint8_t>(word);
}

inline std::uint16_t Pop(Machine& m)
{
    std::uint16_t word = ReadWord(m, m.SP);
    m.SP = static_cast<std::uint16_t>(m.SP + 2);
    return word;
}

inline void SetPair(std::uint8_t& high, std::uint8_t& low, std::uint16_t word)
{
    high = static_cast<std::uint8_t>(word >> 8);
    low = static_cast<std::uint8_t>(word);
}

inline std::uint16_t HL(const Machine& m)
{
    return Pair(m.H, m.L);
}

// The PSW's low byte as pushed and as POP PSW leaves it.
inline std::uint8_t NormalFlags(std::uint8_t flags)
{
    return static_cast<std::uint8_t>((flags & FlagMask) | FlagFixed);
}

// ADD ADC ADI ACI: CY is the carry out of bit 7, AC the carry out of bit 3.
inline void Add(Machine& m, std::uint8_t value, unsigned carry)
{
    unsigned sum = m.A + value + carry;
    unsigned carries = m.A ^ value ^ sum;
    m.Flags = static_cast<std::uint8_t>(ResultFlags[sum & 0xFF] | (carries & FlagAC) | (sum >> 8));
    m.A = static_cast<std::uint8_t>(sum);
}

// SUB SBB SUI SBI CMP CPI: the processor adds the complement of the operand
// with a carry in of 1 (0 when SBB borrows). CY is the inverted carry out of
// bit 7, a borrow; AC is the carry out of bit 3 as it comes, not inverted.
inline std::uint8_t Subtract(Machine& m, std::uint8_t value, unsigned borrow)
{
    unsigned complement = static_cast<std::uint8_t>(~value);
    unsigned sum = m.A + complement + (1 - borrow);
    unsigned carries = m.A ^ complement ^ sum;
    m.Flags = static_cast<std::uint8_t>(ResultFlags[sum & 0xFF] | (carries & FlagAC) | ((sum >> 8) ^ 1));
    return static_cast<std::uint8_t>(sum);
}

// ANA ANI clear CY. The 8085 sets AC; the 8080 sets it to bit 3 of A OR
// the operand, as its AND gates leave the carry out of bit 3.
template <CpuModel Model>
inline void And(Machine& m, std::uint8_t value)
{
    std::uint8_t halfCarry = Model == Cpu8080 ? static_cast<std::uint8_t>(((m.A | value) << 1) & FlagAC) : FlagAC;
    m.A &= value;
    m.Flags = static_cast<std::uint8_t>(ResultFlags[m.A] | halfCarry);
}

// XRA XRI ORA ORI: AC and CY clear.
inline void Xor(Machine& m, std::uint8_t value)
{
    m.A ^= value;
    m.Flags = ResultFlags[m.A];
}

inline void Or(Machine& m, std::uint8_t value)
{
    m.A |= value;
    m.Flags = ResultFlags[m.A];
}

// INR and DCR leave CY. INR's AC is the carry out of bit 3; DCR adds FFH, so
// its AC is that addition's carry out of bit 3: set unless the low digit was 0.
inline std::uint8_t Increment(Machine& m, std::uint8_t value)
{
    std::uint8_t result = static_cast<std::uint8_t>(value + 1);
    m.Flags = static_cast<std::uint8_t>((m.Flags & FlagCY) | ResultFlags[result] | ((result & 0x0F) == 0 ? FlagAC : 0));
    return result;
}

inline std::uint8_t Decrement(Machine& m, std::uint8_t value)
{
    std::uint8_t result = static_cast<std::uint8_t>(value - 1);
    m.Flags =
        static_cast<std::uint8_t>((m.Flags & FlagCY) | ResultFlags[result] | ((result & 0x0F) != 0x0F ? FlagAC : 0));
    return result;
}

// Rotates, DAD, STC and CMC change CY alone.
inline void SetCarry(Machine& m, unsigned carry)
{
    m.Flags = static_cast<std::uint8_t>((m.Flags & ~FlagCY) | carry);
}

inline void AddToHL(Machine& m, std::uint16_t value)
{
    unsigned sum = HL(m) + value;
    SetPair(m.H, m.L, static_cast<std::uint16_t>(sum));
    SetCarry(m, sum >> 16);
}

// DAA: 6 is added when the low digit is over 9 or AC is set, 60H when the
// high digit is over 9 or CY is set (the high digit as the first addition
// left it). AC is the first addition's carry out of bit 3; CY is set by the
// second addition and otherwise stays as it was.
inline void DecimalAdjust(Machine& m)
{
    unsigned low = m.A & 0x0F;
    unsigned high = m.A >> 4;
    unsigned correction = 0;
    unsigned carry = m.Flags & FlagCY;
    if (low > 9 || (m.Flags & FlagAC) != 0) {
        correction = 0x06;
    }
    if (carry != 0 || high > 9 || (high == 9 && low > 9)) {
        correction |= 0x60;
        carry = 1;
    }
    unsigned halfCarry = (low + (correction & 0x0F)) & 0x10;
    m.A = static_cast<std::uint8_t>(m.A + correction);
    m.Flags = static_cast<std::uint8_t>(ResultFlags[m.A] | halfCarry | carry);
}

// The condition in bits 3 to 5 of a conditional transfer: NZ Z NC C PO PE P M.
inline bool ConditionHolds(const Machine& m, std::uint8_t opcode)
{
    static constexpr std::uint8_t FlagOfCondition[4] = {FlagZ, FlagCY, FlagP, FlagS};
    bool set = (m.Flags & FlagOfCondition[(opcode >> 4) & 3]) != 0;
    return set == ((opcode & 0x08) != 0);
}

inline void Call(Machine& m)
{
    std::uint16_t target = FetchWord(m);
    Push(m, m.PC);
    m.PC = target;
}

template <CpuModel Model>
inline unsigned JumpIf(Machine& m, std::uint8_t opcode)
{
    std::uint16_t target = FetchWord(m);
    if (!ConditionHolds(m, opcode)) {
        return 0;
    }
    m.PC = target;
    return Timings[Model].TakenJumpExtra;
}

template <CpuModel Model>
inline unsigned CallIf(Machine& m, std::uint8_t opcode)
{
    std::uint16_t target = FetchWord(m);
    if (!ConditionHolds(m, opcode)) {
        return 0;
    }
    Push(m, m.PC);
    m.PC = target;
    return Timings[Model].TakenCallExtra;
}

template <CpuModel Model>
inline unsigned ReturnIf(Machine& m, std::uint8_t opcode)
{
    if (!ConditionHolds(m, opcode)) {
        return 0;
    }
    m.PC = Pop(m);
    return Timings[Model].TakenReturnExtra;
}

// An 8085 opcode the manual leaves out is not run: PC stays on it.
inline StepResult LeaveUndocumented(Machine& m)
{
    m.PC = static_cast<std::uint16_t>(m.PC - 1);
    return StepUndocumented;
}

inline std::uint8_t ReadPort(Machine& m, std::uint8_t port)
{
    return m.Hooks.In != nullptr ? m.Hooks.In(m.Hooks.Context, port) : 0xFF;
}

inline void WritePort(Machine& m, std::uint8_t port, std::uint8_t value)
{
    if (m.Hooks.Out != nullptr) {
        m.Hooks.Out(m.Hooks.Context, port, value);
    }
}

// RIM: SID, pending 7.5 6.5 5.5, IE, masks 7.5 6.5 5.5. Right after TRAP it
// shows IE as it was before TRAP cleared it.
inline std::uint8_t ReadInterruptMasks(Machine& m)
{
    bool enabled = m.TrapTaken ? m.EnabledBeforeTrap : m.InterruptsEnabled;
    m.TrapTaken = false;
    if (m.Hooks.Sid != nullptr) {
        m.SerialIn = m.Hooks.Sid(m.Hooks.Context);
    }
    return static_cast<std::uint8_t>((m.SerialIn ? 0x80 : 0) | (m.Rst75Pending ? 0x40 : 0)
        | (m.PendingLines[Rst65] ? 0x20 : 0) | (m.PendingLines[Rst55] ? 0x10 : 0) | (enabled ? 0x08 : 0)
        | (m.InterruptMasks & 0x07));
}

// SIM: bit 3 lets bits 0 to 2 set the masks, bit 4 resets the RST 7.5
// latch, bit 6 lets bit 7 set SOD.
inline void SetInterruptMasks(Machine& m)
{
    if ((m.A & 0x08) != 0) {
        m.InterruptMasks = m.A & 0x07;
    }
    if ((m.A & 0x10) != 0) {
        m.Rst75Pending = false;
    }
    if ((m.A & 0x40) != 0) {
        m.SerialOut = (m.A & 0x80) != 0;
    }
    if (m.Hooks.Sim != nullptr) {
        m.Hooks.Sim(m.Hooks.Context, m.A);
    }
}

// Without branches: it runs before every instruction.
inline int InterruptRaised(const Machine& m)
{
    return m.PendingLines[Trap] | m.Rst75Pending | m.PendingLines[Rst65] | m.PendingLines[Rst55] | m.PendingLines[Intr];
}

// Takes the highest raised interrupt that may be taken: TRAP, then the
// unmasked RST 7.5, 6.5, 5.5, then INTR, the last four only with IE set.
// The 8080 has INTR alone. INTR runs the RST on the bus.
template <CpuModel Model>
bool TakeInterrupt(Machine& m)
{
    std::uint16_t vector;
    if (Model == Cpu8085 && m.PendingLines[Trap]) {
        m.PendingLines[Trap] = false;
        m.TrapTaken = true;
        m.EnabledBeforeTrap = m.InterruptsEnabled;
        vector = 0x24;
    } else if (!m.InterruptsEnabled) {
        return false;
    } else if (Model == Cpu8085 && m.Rst75Pending && (m.InterruptMasks & 0x04) == 0) {
        m.Rst75Pending = false;
        vector = 0x3C;
    } else if (Model == Cpu8085 && m.PendingLines[Rst65] && (m.InterruptMasks & 0x02) == 0) {
        m.PendingLines[Rst65] = false;
        vector = 0x34;
    } else if (Model == Cpu8085 && m.PendingLines[Rst55] && (m.InterruptMasks & 0x01) == 0) {
        m.PendingLines[Rst55] = false;
        vector = 0x2C;
    } else if (m.PendingLines[Intr]) {
        m.PendingLines[Intr] = false;
        vector = m.IntrOpcode & 0x38;
    } else {
        return false;
    }
    m.InterruptsEnabled = false;
    m.EnablePending = false;
    m.Halted = false;
    Push(m, m.PC);
    m.PC = vector;
    m.Steps += 1;
    m.TStates += Timings[Model].InterruptTStates;
    return true;
}

// clang-format off
// Eight cases for the register field in bits 0 to 2 (B C D E H L M A), and
// eight for the field in bits 3 to 5; OPERATION gets the register as an lvalue.
#define SOURCE_ROW(base, OPERATION)                                                                                    \
    case (base) + 0: OPERATION(m.B); break;                                                                            \
    case (base) + 1: OPERATION(m.C); break;                                                                            \
    case (base) + 2: OPERATION(m.D); break;                                                                            \
    case (base) + 3: OPERATION(m.E); break;                                                                            \
    case (base) + 4: OPERATION(m.H); break;                                                                            \
    case (base) + 5: OPERATION(m.L); break;                                                                            \
    case (base) + 6: OPERATION(m.Memory[HL(m)]); break;                                                                \
    case (base) + 7: OPERATION(m.A); break;

#define TARGET_COLUMN(base, OPERATION)                                                                                 \
    case (base) + 0x00: OPERATION(m.B); break;                                                                         \
    case (base) + 0x08: OPERATION(m.C); break;                                                                         \
    case (base) + 0x10: OPERATION(m.D); break;                                                                         \
    case (base) + 0x18: OPERATION(m.E); break;                                                                         \
    case (base) + 0x20: OPERATION(m.H); break;                                                                         \
    case (base) + 0x28: OPERATION(m.L); break;                                                                         \
    case (base) + 0x30: OPERATION(m.Memory[HL(m)]); break;                                                             \
    case (base) + 0x38: OPERATION(m.A); break;

#define MOVE_TO_B(r) m.B = (r)
#define MOVE_TO_C(r) m.C = (r)
#define MOVE_TO_D(r) m.D = (r)
#define MOVE_TO_E(r) m.E = (r)
#define MOVE_TO_H(r) m.H = (r)
#define MOVE_TO_L(r) m.L = (r)
#define MOVE_TO_A(r) m.A = (r)
#define ADD_OPERATION(r) Add(m, (r), 0)
#define ADC_OPERATION(r) Add(m, (r), m.Flags & FlagCY)
#define SUB_OPERATION(r) m.A = Subtract(m, (r), 0)
#define SBB_OPERATION(r) m.A = Subtract(m, (r), m.Flags & FlagCY)
#define ANA_OPERATION(r) And<Model>(m, (r))
#define XRA_OPERATION(r) Xor(m, (r))
#define ORA_OPERATION(r) Or(m, (r))
#define CMP_OPERATION(r) Subtract(m, (r), 0)
#define INR_OPERATION(r) (r) = Increment(m, (r))
#define DCR_OPERATION(r) (r) = Decrement(m, (r))
#define MVI_OPERATION(r) (r) = FetchByte(m)
// clang-format on

} // namespace

bool IsUndocumentedOpcode(std::uint8_t opcode)
{
    switch (opcode) {
    // clang-format off
    case 0x08: case 0x10: case 0x18: case 0x28: case 0x38:
    case 0xCB: case 0xD9: case 0xDD: case 0xED: case 0xFD:
        return true;
    // clang-format on
    default:
        return false;
    }
}

void ResetMachine(Machine& machine, std::uint8_t fill, CpuModel model)
{
    machine.Model = model;
    machine.A = machine.B = machine.C = machine.D = machine.E = machine.H = machine.L = 0;
    machine.Flags = FlagFixed;
    machine.SP = machine.PC = 0;
    std::memset(machine.Memory, fill, sizeof machine.Memory);
    machine.Halted = false;
    machine.InterruptsEnabled = false;
    machine.EnablePending = false;
    machine.InterruptMasks = 0x07;
    machine.Rst75Pending = false;
    for (bool& line : machine.PendingLines) {
        line = false;
    }
    machine.SerialIn = false;
    machine.SerialOut = false;
    machine.TrapTaken = false;
    machine.EnabledBeforeTrap = false;
    machine.IntrOpcode = DefaultIntrOpcode;
    machine.Steps = 0;
    machine.TStates = 0;
    machine.Hooks = MachineHooks{nullptr, nullptr, nullptr, nullptr, nullptr};
}

void RaiseInterrupt(Machine& machine, InterruptLine line, std::uint8_t restart)
{
    if (line == Intr) {
        machine.IntrOpcode = restart;
        machine.PendingLines[Intr] = true;
    } else if (machine.Model == Cpu8080) {
        return; // the 8080 has no such input
    } else if (line == Rst75) {
        machine.Rst75Pending = true;
    } else if (line >= Trap && line < Intr) {
        machine.PendingLines[line] = true;
    }
}

namespace {

// One step as the model runs it: each model gets its own copy of the switch,
// with its tables and rules fixed at compile time, so neither pays for the
// other's rules.
template <CpuModel Model>
StepResult Step(Machine& m)
{
    // EI's enable lands after the instruction that follows it.
    bool enableAfter = false;
    // One test on the common path: no line raised, not halted, no EI pending.
    if ((InterruptRaised(m) | m.Halted | m.EnablePending) != 0) {
        if (InterruptRaised(m) != 0 && TakeInterrupt<Model>(m)) {
            return StepRan;
        }
        if (m.Halted) {
            return StepHalted;
        }
        enableAfter = m.EnablePending;
    }
    std::uint8_t opcode = m.Memory[m.PC];
    m.PC = static_cast<std::uint16_t>(m.PC + 1);
    unsigned tStates = BaseTStates<Model>(opcode);
    std::uint16_t word;
    std::uint8_t byte;

    // One case per opcode, laid out as a reference card.
    // clang-format off
    switch (opcode) {
    // Undocumented on the 8085; the 8080 runs them as NOP, JMP, RET, CALL.
    case 0x08: case 0x10: case 0x18: case 0x28: case 0x38:
        if constexpr (Model == Cpu8085) return LeaveUndocumented(m);
        break;
    case 0xCB:
        if constexpr (Model == Cpu8085) return LeaveUndocumented(m);
        m.PC = FetchWord(m);
        break;
    case 0xD9:
        if constexpr (Model == Cpu8085) return LeaveUndocumented(m);
        m.PC = Pop(m);
        break;
    case 0xDD: case 0xED: case 0xFD:
        if constexpr (Model == Cpu8085) return LeaveUndocumented(m);
        Call(m);
        break;

    // Data transfer.
    SOURCE_ROW(0x40, MOVE_TO_B)
    SOURCE_ROW(0x48, MOVE_TO_C)
    SOURCE_ROW(0x50, MOVE_TO_D)
    SOURCE_ROW(0x58, MOVE_TO_E)
    SOURCE_ROW(0x60, MOVE_TO_H)
    SOURCE_ROW(0x68, MOVE_TO_L)
    SOURCE_ROW(0x78, MOVE_TO_A)
    case 0x70: m.Memory[HL(m)] = m.B; break;
    case 0x71: m.Memory[HL(m)] = m.C; break;
    case 0x72: m.Memory[HL(m)] = m.D; break;
    case 0x73: m.Memory[HL(m)] = m.E; break;
    case 0x74: m.Memory[HL(m)] = m.H; break;
    case 0x75: m.Memory[HL(m)] = m.L; break;
    case 0x77: m.Memory[HL(m)] = m.A; break;
    TARGET_COLUMN(0x06, MVI_OPERATION)
    case 0x01: word = FetchWord(m); SetPair(m.B, m.C, word); break;
    case 0x11: word = FetchWord(m); SetPair(m.D, m.E, word); break;
    case 0x21: word = FetchWord(m); SetPair(m.H, m.L, word); break;
    case 0x31: m.SP = FetchWord(m); break;
    case 0x02: m.Memory[Pair(m.B, m.C)] = m.A; break;
    case 0x12: m.Memory[Pair(m.D, m.E)] = m.A; break;
    case 0x0A: m.A = m.Memory[Pair(m.B, m.C)]; break;
    case 0x1A: m.A = m.Memory[Pair(m.D, m.E)]; break;
    case 0x22:
        word = FetchWord(m);
        m.Memory[word] = m.L;
        m.Memory[static_cast<std::uint16_t>(word + 1)] = m.H;
        break;
    case 0x2A: word = FetchWord(m); SetPair(m.H, m.L, ReadWord(m, word)); break;
    case 0x32: m.Memory[FetchWord(m)] = m.A; break;
    case 0x3A: m.A = m.Memory[FetchWord(m)]; break;
    case 0xEB:
        byte = m.H; m.H = m.D; m.D = byte;
        byte = m.L; m.L = m.E; m.E = byte;
        break;

    // Arithmetic and logic.
    SOURCE_ROW(0x80, ADD_OPERATION)
    SOURCE_ROW(0x88, ADC_OPERATION)
    SOURCE_ROW(0x90, SUB_OPERATION)
    SOURCE_ROW(0x98, SBB_OPERATION)
    SOURCE_ROW(0xA0, ANA_OPERATION)
    SOURCE_ROW(0xA8, XRA_OPERATION)
    SOURCE_ROW(0xB0, ORA_OPERATION)
    SOURCE_ROW(0xB8, CMP_OPERATION)
    case 0xC6: Add(m, FetchByte(m), 0); break;
    case 0xCE: byte = FetchByte(m); Add(m, byte, m.Flags & FlagCY); break;
    case 0xD6: m.A = Subtract(m, FetchByte(m), 0); break;
    case 0xDE: byte = FetchByte(m); m.A = Subtract(m, byte, m.Flags & FlagCY); break;
    case 0xE6: And<Model>(m, FetchByte(m)); break;
    case 0xEE: Xor(m, FetchByte(m)); break;
    case 0xF6: Or(m, FetchByte(m)); break;
    case 0xFE: Subtract(m, FetchByte(m), 0); break;
    TARGET_COLUMN(0x04, INR_OPERATION)
    TARGET_COLUMN(0x05, DCR_OPERATION)
    case 0x03: SetPair(m.B, m.C, static_cast<std::uint16_t>(Pair(m.B, m.C) + 1)); break;
    case 0x13: SetPair(m.D, m.E, static_cast<std::uint16_t>(Pair(m.D, m.E) + 1)); break;
    case 0x23: SetPair(m.H, m.L, static_cast<std::uint16_t>(HL(m) + 1)); break;
    case 0x33: m.SP = static_cast<std::uint16_t>(m.SP + 1); break;
    case 0x0B: SetPair(m.B, m.C, static_cast<std::uint16_t>(Pair(m.B, m.C) - 1)); break;
    case 0x1B: SetPair(m.D, m.E, static_cast<std::uint16_t>(Pair(m.D, m.E) - 1)); break;
    case 0x2B: SetPair(m.H, m.L, static_cast<std::uint16_t>(HL(m) - 1)); break;
    case 0x3B: m.SP = static_cast<std::uint16_t>(m.SP - 1); break;
    case 0x09: AddToHL(m, Pair(m.B, m.C)); break;
    case 0x19: AddToHL(m, Pair(m.D, m.E)); break;
    case 0x29: AddToHL(m, HL(m)); break;
    case 0x39: AddToHL(m, m.SP); break;
    case 0x27: DecimalAdjust(m); break;
    case 0x2F: m.A = static_cast<std::uint8_t>(~m.A); break;
    case 0x37: SetCarry(m, 1); break;
    case 0x3F: SetCarry(m, (m.Flags & FlagCY) ^ 1); break;
    case 0x07: // RLC
        m.A = static_cast<std::uint8_t>((m.A << 1) | (m.A >> 7));
        SetCarry(m, m.A & 1);
        break;
    case 0x0F: // RRC
        m.A = static_cast<std::uint8_t>((m.A >> 1) | (m.A << 7));
        SetCarry(m, m.A >> 7);
        break;
    case 0x17: // RAL
        byte = m.A;
        m.A = static_cast<std::uint8_t>((byte << 1) | (m.Flags & FlagCY));
        SetCarry(m, byte >> 7);
        break;
    case 0x1F: // RAR
        byte = m.A;
        m.A = static_cast<std::uint8_t>((byte >> 1) | ((m.Flags & FlagCY) << 7));
        SetCarry(m, byte & 1);
        break;

    // Branches.
    case 0xC3: m.PC = FetchWord(m); break;
    case 0xC2: case 0xCA: case 0xD2: case 0xDA: case 0xE2: case 0xEA: case 0xF2: case 0xFA:
        tStates += JumpIf<Model>(m, opcode);
        break;
    case 0xCD: Call(m); break;
    case 0xC4: case 0xCC: case 0xD4: case 0xDC: case 0xE4: case 0xEC: case 0xF4: case 0xFC:
        tStates += CallIf<Model>(m, opcode);
        break;
    case 0xC9: m.PC = Pop(m); break;
    case 0xC0: case 0xC8: case 0xD0: case 0xD8: case 0xE0: case 0xE8: case 0xF0: case 0xF8:
        tStates += ReturnIf<Model>(m, opcode);
        break;
    case 0xC7: case 0xCF: case 0xD7: case 0xDF: case 0xE7: case 0xEF: case 0xF7: case 0xFF:
        Push(m, m.PC);
        m.PC = opcode & 0x38;
        break;
    case 0xE9: m.PC = HL(m); break;

    // Stack.
    case 0xC5: Push(m, Pair(m.B, m.C)); break;
    case 0xD5: Push(m, Pair(m.D, m.E)); break;
    case 0xE5: Push(m, HL(m)); break;
    case 0xF5: Push(m, Pair(m.A, NormalFlags(m.Flags))); break;
    case 0xC1: word = Pop(m); SetPair(m.B, m.C, word); break;
    case 0xD1: word = Pop(m); SetPair(m.D, m.E, word); break;
    case 0xE1: word = Pop(m); SetPair(m.H, m.L, word); break;
    case 0xF1:
        word = Pop(m);
        m.A = static_cast<std::uint8_t>(word >> 8);
        m.Flags = NormalFlags(static_cast<std::uint8_t>(word));
        break;
    case 0xE3: // XTHL
        word = ReadWord(m, m.SP);
        m.Memory[m.SP] = m.L;
        m.Memory[static_cast<std::uint16_t>(m.SP + 1)] = m.H;
        SetPair(m.H, m.L, word);
        break;
    case 0xF9: m.SP = HL(m); break;

    // Input, output and machine control.
    case 0xDB: byte = FetchByte(m); m.A = ReadPort(m, byte); break;
    case 0xD3: byte = FetchByte(m); WritePort(m, byte, m.A); break;
    case 0x00: break;
    case 0x76: m.Halted = true; break;
    case 0xF3: m.InterruptsEnabled = false; m.EnablePending = false; break;
    case 0xFB: m.EnablePending = true; break;
    // RIM and SIM; the 8080 runs both opcodes as NOP.
    case 0x20: if constexpr (Model == Cpu8085) m.A = ReadInterruptMasks(m); break;
    case 0x30: if constexpr (Model == Cpu8085) SetInterruptMasks(m); break;
    }
    // clang-format on

    m.Steps += 1;
    m.TStates += tStates;
    if (enableAfter && m.EnablePending) {
        m.InterruptsEnabled = true;
        m.EnablePending = false;
    }
    return m.Halted ? StepHalted : StepRan;
}

} // namespace

StepFunction StepFunctionFor(CpuModel model)
{
    return model == Cpu8080 ? Step<Cpu8080> : Step<Cpu8085>;
}

StepResult StepMachine(Machine& machine)
{
    return StepFunctionFor(machine.Model)(machine);
}
