// The 8085 processor, or the 8080 it grew from: one record of machine state
// and one step function. The core knows nothing of files, options or
// consoles: ports, the serial lines and the CP/M console are reached through
// the hooks in the record.
#pragma once

#include <cstdint>

// Flag bits of the PSW's low byte: S Z - AC - P - CY.
constexpr std::uint8_t FlagS = 0x80;
constexpr std::uint8_t FlagZ = 0x40;
constexpr std::uint8_t FlagAC = 0x10;
constexpr std::uint8_t FlagP = 0x04;
constexpr std::uint8_t FlagCY = 0x01;

// The interrupt inputs of the 8085, by vector. The 8080 has INTR alone.
enum InterruptLine { Trap, Rst75, Rst65, Rst55, Intr };

// The processor a machine runs as. The 8080 differs in T-states, in AC after
// ANA and ANI, in running the ten opcodes the 8085 leaves undocumented (and
// RIM and SIM) as aliases, and in having no interrupt input but INTR.
enum CpuModel { Cpu8085, Cpu8080 };

// The opcode an interrupting device puts on the bus when INTR is taken
// unless it says otherwise: RST 7.
constexpr std::uint8_t DefaultIntrOpcode = 0xFF;

struct Machine;

// Port hooks: IN gives the byte read from a port; OUT and SIM report what
// the program wrote; Sid, when set, gives the SID level each RIM reads (kept
// in SerialIn). Null hooks read FFH and drop what is written; without Sid,
// RIM reads SerialIn as it stands.
struct MachineHooks {
    void* Context;
    std::uint8_t (*In)(void* context, std::uint8_t port);
    void (*Out)(void* context, std::uint8_t port, std::uint8_t value);
    void (*Sim)(void* context, std::uint8_t accumulator);
    bool (*Sid)(void* context);
};

// Why the last step ended the run, if it did.
enum StepResult {
    StepRan,            // an instruction ran
    StepHalted,         // HLT ran (or the processor was halted already)
    StepUndocumented,   // an undocumented opcode at PC: not executed
};

struct Machine {
    std::uint8_t A, B, C, D, E, H, L;
    std::uint8_t Flags;                 // S Z - AC - P - CY, bits 1, 3 and 5 as pushed
    std::uint16_t SP, PC;
    std::uint8_t Memory[65536];
    CpuModel Model;

    bool Halted;
    bool InterruptsEnabled;             // IE
    bool EnablePending;                 // EI ran: IE turns on after the next instruction
    std::uint8_t InterruptMasks;        // bit 0 M5.5, bit 1 M6.5, bit 2 M7.5
    bool Rst75Pending;                  // the RST 7.5 latch
    bool PendingLines[5];               // raised lines by InterruptLine, not yet taken
    bool SerialIn;                      // the SID input, read by RIM
    bool SerialOut;                     // the SOD latch, set by SIM
    bool TrapTaken;                     // TRAP was taken and no RIM has run since
    bool EnabledBeforeTrap;             // IE as it was when TRAP was taken: RIM shows it once
    std::uint8_t IntrOpcode;            // the RST the bus carries when INTR is taken

    std::uint64_t Steps;                // instructions executed
    std::uint64_t TStates;              // clock states spent

    MachineHooks Hooks;
};

// Power-on state: registers 0, flags clear (the PSW byte 02H: bit 1 always
// reads 1), memory filled with fill, PC and SP 0, interrupts disabled and
// masked, the hooks null; the model as given.
void ResetMachine(Machine& machine, std::uint8_t fill, CpuModel model = Cpu8085);

// Runs one instruction (or takes a pending interrupt, which counts as one
// step of an RST's T-states: 12, on the 8080 11) and counts its steps and
// T-states, as the machine's model has them. HLT leaves PC behind it; an
// 8085's undocumented opcode is not run: PC stays on it and nothing is
// counted. A halted machine with nothing to take counts nothing.
StepResult StepMachine(Machine& machine);

// StepMachine for one model, for a run loop that picks it once: a step then
// costs no test of the model.
using StepFunction = StepResult (*)(Machine& machine);
StepFunction StepFunctionFor(CpuModel model);

// The ten opcodes the 8085's documentation leaves out (08 10 18 28 38 CB D9
// DD ED FD). The 8080 runs them as NOP, JMP, RET and CALL.
bool IsUndocumentedOpcode(std::uint8_t opcode);

// Raises an interrupt input; it is taken when enabled and unmasked (TRAP
// always). RST 7.5 sets its edge latch (Rst75Pending); the other lines stay
// raised in PendingLines until they are taken. INTR is taken by running the
// restart opcode on the bus (an RST: C7H, CFH, ... FFH); an 8080 has no
// other input and ignores the rest.
void RaiseInterrupt(Machine& machine, InterruptLine line, std::uint8_t restart = DefaultIntrOpcode);

// The disassembly of the instruction at address ("MVI A,3AH") and its length,
// as the machine's model reads the opcode. The text is cut to fit textSize
// (ended with NUL when textSize > 0).
int DisassembleInstruction(const Machine& machine, std::uint16_t address, char* text, int textSize);
// The same for an instruction's bytes as they stood (the opcode and the two
// bytes after it, whatever its length), as the model reads them.
int DisassembleBytes(const std::uint8_t bytes[3], char* text, int textSize, CpuModel model = Cpu8085);
