// The disassembler of the simulator's trace: one row per opcode with its
// text pattern and length, and the operand formatting of the assembler.
#include "cpu/Machine.h"

namespace {

// %b is the byte after the opcode, %w the word after it (low byte first).
// The rows keep the register order and mnemonics of the encoding rows; the
// ten undocumented opcodes read as the DB that would place them.
struct DisassemblyRow {
    const char* Pattern;
    int Length;
};

const DisassemblyRow DisassemblyRows[256] = {
    /* 00 */ {"NOP", 1},
    /* 01 */ {"LXI B,%w", 3},
    /* 02 */ {"STAX B", 1},
    /* 03 */ {"INX B", 1},
    /* 04 */ {"INR B", 1},
    /* 05 */ {"DCR B", 1},
    /* 06 */ {"MVI B,%b", 2},
    /* 07 */ {"RLC", 1},
    /* 08 */ {"DB 08H", 1},
    /* 09 */ {"DAD B", 1},
    /* 0A */ {"LDAX B", 1},
    /* 0B */ {"DCX B", 1},
    /* 0C */ {"INR C", 1},
    /* 0D */ {"DCR C", 1},
    /* 0E */ {"MVI C,%b", 2},
    /* 0F */ {"RRC", 1},
    /* 10 */ {"DB 10H", 1},
    /* 11 */ {"LXI D,%w", 3},
    /* 12 */ {"STAX D", 1},
    /* 13 */ {"INX D", 1},
    /* 14 */ {"INR D", 1},
    /* 15 */ {"DCR D", 1},
    /* 16 */ {"MVI D,%b", 2},
    /* 17 */ {"RAL", 1},
    /* 18 */ {"DB 18H", 1},
    /* 19 */ {"DAD D", 1},
    /* 1A */ {"LDAX D", 1},
    /* 1B */ {"DCX D", 1},
    /* 1C */ {"INR E", 1},
    /* 1D */ {"DCR E", 1},
    /* 1E */ {"MVI E,%b", 2},
    /* 1F */ {"RAR", 1},
    /* 20 */ {"RIM", 1},
    /* 21 */ {"LXI H,%w", 3},
    /* 22 */ {"SHLD %w", 3},
    /* 23 */ {"INX H", 1},
    /* 24 */ {"INR H", 1},
    /* 25 */ {"DCR H", 1},
    /* 26 */ {"MVI H,%b", 2},
    /* 27 */ {"DAA", 1},
    /* 28 */ {"DB 28H", 1},
    /* 29 */ {"DAD H", 1},
    /* 2A */ {"LHLD %w", 3},
    /* 2B */ {"DCX H", 1},
    /* 2C */ {"INR L", 1},
    /* 2D */ {"DCR L", 1},
    /* 2E */ {"MVI L,%b", 2},
    /* 2F */ {"CMA", 1},
    /* 30 */ {"SIM", 1},
    /* 31 */ {"LXI SP,%w", 3},
    /* 32 */ {"STA %w", 3},
    /* 33 */ {"INX SP", 1},
    /* 34 */ {"INR M", 1},
    /* 35 */ {"DCR M", 1},
    /* 36 */ {"MVI M,%b", 2},
    /* 37 */ {"STC", 1},
    /* 38 */ {"DB 38H", 1},
    /* 39 */ {"DAD SP", 1},
    /* 3A */ {"LDA %w", 3},
    /* 3B */ {"DCX SP", 1},
    /* 3C */ {"INR A", 1},
    /* 3D */ {"DCR A", 1},
    /* 3E */ {"MVI A,%b", 2},
    /* 3F */ {"CMC", 1},
    /* 40 */ {"MOV B,B", 1},
    /* 41 */ {"MOV B,C", 1},
    /* 42 */ {"MOV B,D", 1},
    /* 43 */ {"MOV B,E", 1},
    /* 44 */ {"MOV B,H", 1},
    /* 45 */ {"MOV B,L", 1},
    /* 46 */ {"MOV B,M", 1},
    /* 47 */ {"MOV B,A", 1},
    /* 48 */ {"MOV C,B", 1},
    /* 49 */ {"MOV C,C", 1},
    /* 4A */ {"MOV C,D", 1},
    /* 4B */ {"MOV C,E", 1},
    /* 4C */ {"MOV C,H", 1},
    /* 4D */ {"MOV C,L", 1},
    /* 4E */ {"MOV C,M", 1},
    /* 4F */ {"MOV C,A", 1},
    /* 50 */ {"MOV D,B", 1},
    /* 51 */ {"MOV D,C", 1},
    /* 52 */ {"MOV D,D", 1},
    /* 53 */ {"MOV D,E", 1},
    /* 54 */ {"MOV D,H", 1},
    /* 55 */ {"MOV D,L", 1},
    /* 56 */ {"MOV D,M", 1},
    /* 57 */ {"MOV D,A", 1},
    /* 58 */ {"MOV E,B", 1},
    /* 59 */ {"MOV E,C", 1},
    /* 5A */ {"MOV E,D", 1},
    /* 5B */ {"MOV E,E", 1},
    /* 5C */ {"MOV E,H", 1},
    /* 5D */ {"MOV E,L", 1},
    /* 5E */ {"MOV E,M", 1},
    /* 5F */ {"MOV E,A", 1},
    /* 60 */ {"MOV H,B", 1},
    /* 61 */ {"MOV H,C", 1},
    /* 62 */ {"MOV H,D", 1},
    /* 63 */ {"MOV H,E", 1},
    /* 64 */ {"MOV H,H", 1},
    /* 65 */ {"MOV H,L", 1},
    /* 66 */ {"MOV H,M", 1},
    /* 67 */ {"MOV H,A", 1},
    /* 68 */ {"MOV L,B", 1},
    /* 69 */ {"MOV L,C", 1},
    /* 6A */ {"MOV L,D", 1},
    /* 6B */ {"MOV L,E", 1},
    /* 6C */ {"MOV L,H", 1},
    /* 6D */ {"MOV L,L", 1},
    /* 6E */ {"MOV L,M", 1},
    /* 6F */ {"MOV L,A", 1},
    /* 70 */ {"MOV M,B", 1},
    /* 71 */ {"MOV M,C", 1},
    /* 72 */ {"MOV M,D", 1},
    /* 73 */ {"MOV M,E", 1},
    /* 74 */ {"MOV M,H", 1},
    /* 75 */ {"MOV M,L", 1},
    /* 76 */ {"HLT", 1},
    /* 77 */ {"MOV M,A", 1},
    /* 78 */ {"MOV A,B", 1},
    /* 79 */ {"MOV A,C", 1},
    /* 7A */ {"MOV A,D", 1},
    /* 7B */ {"MOV A,E", 1},
    /* 7C */ {"MOV A,H", 1},
    /* 7D */ {"MOV A,L", 1},
    /* 7E */ {"MOV A,M", 1},
    /* 7F */ {"MOV A,A", 1},
    /* 80 */ {"ADD B", 1},
    /* 81 */ {"ADD C", 1},
    /* 82 */ {"ADD D", 1},
    /* 83 */ {"ADD E", 1},
    /* 84 */ {"ADD H", 1},
    /* 85 */ {"ADD L", 1},
    /* 86 */ {"ADD M", 1},
    /* 87 */ {"ADD A", 1},
    /* 88 */ {"ADC B", 1},
    /* 89 */ {"ADC C", 1},
    /* 8A */ {"ADC D", 1},
    /* 8B */ {"ADC E", 1},
    /* 8C */ {"ADC H", 1},
    /* 8D */ {"ADC L", 1},
    /* 8E */ {"ADC M", 1},
    /* 8F */ {"ADC A", 1},
    /* 90 */ {"SUB B", 1},
    /* 91 */ {"SUB C", 1},
    /* 92 */ {"SUB D", 1},
    /* 93 */ {"SUB E", 1},
    /* 94 */ {"SUB H", 1},
    /* 95 */ {"SUB L", 1},
    /* 96 */ {"SUB M", 1},
    /* 97 */ {"SUB A", 1},
    /* 98 */ {"SBB B", 1},
    /* 99 */ {"SBB C", 1},
    /* 9A */ {"SBB D", 1},
    /* 9B */ {"SBB E", 1},
    /* 9C */ {"SBB H", 1},
    /* 9D */ {"SBB L", 1},
    /* 9E */ {"SBB M", 1},
    /* 9F */ {"SBB A", 1},
    /* A0 */ {"ANA B", 1},
    /* A1 */ {"ANA C", 1},
    /* A2 */ {"ANA D", 1},
    /* A3 */ {"ANA E", 1},
    /* A4 */ {"ANA H", 1},
    /* A5 */ {"ANA L", 1},
    /* A6 */ {"ANA M", 1},
    /* A7 */ {"ANA A", 1},
    /* A8 */ {"XRA B", 1},
    /* A9 */ {"XRA C", 1},
    /* AA */ {"XRA D", 1},
    /* AB */ {"XRA E", 1},
    /* AC */ {"XRA H", 1},
    /* AD */ {"XRA L", 1},
    /* AE */ {"XRA M", 1},
    /* AF */ {"XRA A", 1},
    /* B0 */ {"ORA B", 1},
    /* B1 */ {"ORA C", 1},
    /* B2 */ {"ORA D", 1},
    /* B3 */ {"ORA E", 1},
    /* B4 */ {"ORA H", 1},
    /* B5 */ {"ORA L", 1},
    /* B6 */ {"ORA M", 1},
    /* B7 */ {"ORA A", 1},
    /* B8 */ {"CMP B", 1},
    /* B9 */ {"CMP C", 1},
    /* BA */ {"CMP D", 1},
    /* BB */ {"CMP E", 1},
    /* BC */ {"CMP H", 1},
    /* BD */ {"CMP L", 1},
    /* BE */ {"CMP M", 1},
    /* BF */ {"CMP A", 1},
    /* C0 */ {"RNZ", 1},
    /* C1 */ {"POP B", 1},
    /* C2 */ {"JNZ %w", 3},
    /* C3 */ {"JMP %w", 3},
    /* C4 */ {"CNZ %w", 3},
    /* C5 */ {"PUSH B", 1},
    /* C6 */ {"ADI %b", 2},
    /* C7 */ {"RST 0", 1},
    /* C8 */ {"RZ", 1},
    /* C9 */ {"RET", 1},
    /* CA */ {"JZ %w", 3},
    /* CB */ {"DB 0CBH", 1},
    /* CC */ {"CZ %w", 3},
    /* CD */ {"CALL %w", 3},
    /* CE */ {"ACI %b", 2},
    /* CF */ {"RST 1", 1},
    /* D0 */ {"RNC", 1},
    /* D1 */ {"POP D", 1},
    /* D2 */ {"JNC %w", 3},
    /* D3 */ {"OUT %b", 2},
    /* D4 */ {"CNC %w", 3},
    /* D5 */ {"PUSH D", 1},
    /* D6 */ {"SUI %b", 2},
    /* D7 */ {"RST 2", 1},
    /* D8 */ {"RC", 1},
    /* D9 */ {"DB 0D9H", 1},
    /* DA */ {"JC %w", 3},
    /* DB */ {"IN %b", 2},
    /* DC */ {"CC %w", 3},
    /* DD */ {"DB 0DDH", 1},
    /* DE */ {"SBI %b", 2},
    /* DF */ {"RST 3", 1},
    /* E0 */ {"RPO", 1},
    /* E1 */ {"POP H", 1},
    /* E2 */ {"JPO %w", 3},
    /* E3 */ {"XTHL", 1},
    /* E4 */ {"CPO %w", 3},
    /* E5 */ {"PUSH H", 1},
    /* E6 */ {"ANI %b", 2},
    /* E7 */ {"RST 4", 1},
    /* E8 */ {"RPE", 1},
    /* E9 */ {"PCHL", 1},
    /* EA */ {"JPE %w", 3},
    /* EB */ {"XCHG", 1},
    /* EC */ {"CPE %w", 3},
    /* ED */ {"DB 0EDH", 1},
    /* EE */ {"XRI %b", 2},
    /* EF */ {"RST 5", 1},
    /* F0 */ {"RP", 1},
    /* F1 */ {"POP PSW", 1},
    /* F2 */ {"JP %w", 3},
    /* F3 */ {"DI", 1},
    /* F4 */ {"CP %w", 3},
    /* F5 */ {"PUSH PSW", 1},
    /* F6 */ {"ORI %b", 2},
    /* F7 */ {"RST 6", 1},
    /* F8 */ {"RM", 1},
    /* F9 */ {"SPHL", 1},
    /* FA */ {"JM %w", 3},
    /* FB */ {"EI", 1},
    /* FC */ {"CM %w", 3},
    /* FD */ {"DB 0FDH", 1},
    /* FE */ {"CPI %b", 2},
    /* FF */ {"RST 7", 1},
};

// The 8080 runs the 8085's undocumented opcodes, and RIM and SIM, as other
// instructions; its trace shows what they do (the bytes show the opcode).
struct AliasRow {
    std::uint8_t Opcode;
    DisassemblyRow Row;
};

const AliasRow AliasRows8080[] = {
    {0x08, {"NOP", 1}},
    {0x10, {"NOP", 1}},
    {0x18, {"NOP", 1}},
    {0x20, {"NOP", 1}},
    {0x28, {"NOP", 1}},
    {0x30, {"NOP", 1}},
    {0x38, {"NOP", 1}},
    {0xCB, {"JMP %w", 3}},
    {0xD9, {"RET", 1}},
    {0xDD, {"CALL %w", 3}},
    {0xED, {"CALL %w", 3}},
    {0xFD, {"CALL %w", 3}},
};

const DisassemblyRow& FindRow(CpuModel model, std::uint8_t opcode)
{
    if (model == Cpu8080) {
        for (const AliasRow& alias : AliasRows8080) {
            if (alias.Opcode == opcode) {
                return alias.Row;
            }
        }
    }
    return DisassemblyRows[opcode];
}

// A number as the assembler writes it: hexadecimal with H, and a leading 0
// where the first digit is a letter (0FFH, 0800H).
int FormatHex(char* out, unsigned value, int digits)
{
    static const char Digits[] = "0123456789ABCDEF";
    int length = 0;
    if (((value >> (4 * (digits - 1))) & 0x0F) > 9) {
        out[length++] = '0';
    }
    for (int digit = digits - 1; digit >= 0; --digit) {
        out[length++] = Digits[(value >> (4 * digit)) & 0x0F];
    }
    out[length++] = 'H';
    return length;
}

} // namespace

int DisassembleInstruction(const Machine& machine, std::uint16_t address, char* text, int textSize)
{
    const std::uint8_t bytes[3] = {machine.Memory[address], machine.Memory[static_cast<std::uint16_t>(address + 1)],
        machine.Memory[static_cast<std::uint16_t>(address + 2)]};
    return DisassembleBytes(bytes, text, textSize, machine.Model);
}

int DisassembleBytes(const std::uint8_t bytes[3], char* text, int textSize, CpuModel model)
{
    const DisassemblyRow& row = FindRow(model, bytes[0]);
    std::uint8_t low = bytes[1];
    std::uint8_t high = bytes[2];
    // The longest text is "LXI SP,0FFFFH".
    char line[32];
    int length = 0;
    for (const char* pattern = row.Pattern; *pattern != '\0'; ++pattern) {
        if (pattern[0] == '%' && pattern[1] == 'b') {
            length += FormatHex(line + length, low, 2);
            ++pattern;
        } else if (pattern[0] == '%' && pattern[1] == 'w') {
            length += FormatHex(line + length, (high << 8) | low, 4);
            ++pattern;
        } else {
            line[length++] = *pattern;
        }
    }
    if (textSize > 0) {
        int kept = length < textSize - 1 ? length : textSize - 1;
        for (int index = 0; index < kept; ++index) {
            text[index] = line[index];
        }
        text[kept] = '\0';
    }
    return row.Length;
}
