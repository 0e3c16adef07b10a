// The trace's disassembler against the 8085 opcode map, every documented
// form, and the assembler's number forms.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "cpu/Machine.h"

namespace {

// The opcode map, row by row (high digit), with the bytes 34H 12H behind
// each opcode; null where the opcode is undocumented.
// clang-format off
const char* const OpcodeMap[16][16] = {
    {"NOP", "LXI B,1234H", "STAX B", "INX B", "INR B", "DCR B", "MVI B,34H", "RLC",
     nullptr, "DAD B", "LDAX B", "DCX B", "INR C", "DCR C", "MVI C,34H", "RRC"},
    {nullptr, "LXI D,1234H", "STAX D", "INX D", "INR D", "DCR D", "MVI D,34H", "RAL",
     nullptr, "DAD D", "LDAX D", "DCX D", "INR E", "DCR E", "MVI E,34H", "RAR"},
    {"RIM", "LXI H,1234H", "SHLD 1234H", "INX H", "INR H", "DCR H", "MVI H,34H", "DAA",
     nullptr, "DAD H", "LHLD 1234H", "DCX H", "INR L", "DCR L", "MVI L,34H", "CMA"},
    {"SIM", "LXI SP,1234H", "STA 1234H", "INX SP", "INR M", "DCR M", "MVI M,34H", "STC",
     nullptr, "DAD SP", "LDA 1234H", "DCX SP", "INR A", "DCR A", "MVI A,34H", "CMC"},
    {"MOV B,B", "MOV B,C", "MOV B,D", "MOV B,E", "MOV B,H", "MOV B,L", "MOV B,M", "MOV B,A",
     "MOV C,B", "MOV C,C", "MOV C,D", "MOV C,E", "MOV C,H", "MOV C,L", "MOV C,M", "MOV C,A"},
    {"MOV D,B", "MOV D,C", "MOV D,D", "MOV D,E", "MOV D,H", "MOV D,L", "MOV D,M", "MOV D,A",
     "MOV E,B", "MOV E,C", "MOV E,D", "MOV E,E", "MOV E,H", "MOV E,L", "MOV E,M", "MOV E,A"},
    {"MOV H,B", "MOV H,C", "MOV H,D", "MOV H,E", "MOV H,H", "MOV H,L", "MOV H,M", "MOV H,A",
     "MOV L,B", "MOV L,C", "MOV L,D", "MOV L,E", "MOV L,H", "MOV L,L", "MOV L,M", "MOV L,A"},
    {"MOV M,B", "MOV M,C", "MOV M,D", "MOV M,E", "MOV M,H", "MOV M,L", "HLT", "MOV M,A",
     "MOV A,B", "MOV A,C", "MOV A,D", "MOV A,E", "MOV A,H", "MOV A,L", "MOV A,M", "MOV A,A"},
    {"ADD B", "ADD C", "ADD D", "ADD E", "ADD H", "ADD L", "ADD M", "ADD A",
     "ADC B", "ADC C", "ADC D", "ADC E", "ADC H", "ADC L", "ADC M", "ADC A"},
    {"SUB B", "SUB C", "SUB D", "SUB E", "SUB H", "SUB L", "SUB M", "SUB A",
     "SBB B", "SBB C", "SBB D", "SBB E", "SBB H", "SBB L", "SBB M", "SBB A"},
    {"ANA B", "ANA C", "ANA D", "ANA E", "ANA H", "ANA L", "ANA M", "ANA A",
     "XRA B", "XRA C", "XRA D", "XRA E", "XRA H", "XRA L", "XRA M", "XRA A"},
    {"ORA B", "ORA C", "ORA D", "ORA E", "ORA H", "ORA L", "ORA M", "ORA A",
     "CMP B", "CMP C", "CMP D", "CMP E", "CMP H", "CMP L", "CMP M", "CMP A"},
    {"RNZ", "POP B", "JNZ 1234H", "JMP 1234H", "CNZ 1234H", "PUSH B", "ADI 34H", "RST 0",
     "RZ", "RET", "JZ 1234H", nullptr, "CZ 1234H", "CALL 1234H", "ACI 34H", "RST 1"},
    {"RNC", "POP D", "JNC 1234H", "OUT 34H", "CNC 1234H", "PUSH D", "SUI 34H", "RST 2",
     "RC", nullptr, "JC 1234H", "IN 34H", "CC 1234H", nullptr, "SBI 34H", "RST 3"},
    {"RPO", "POP H", "JPO 1234H", "XTHL", "CPO 1234H", "PUSH H", "ANI 34H", "RST 4",
     "RPE", "PCHL", "JPE 1234H", "XCHG", "CPE 1234H", nullptr, "XRI 34H", "RST 5"},
    {"RP", "POP PSW", "JP 1234H", "DI", "CP 1234H", "PUSH PSW", "ORI 34H", "RST 6",
     "RM", "SPHL", "JM 1234H", "EI", "CM 1234H", nullptr, "CPI 34H", "RST 7"},
};
// clang-format on

std::string Disassemble(const Machine& m, std::uint16_t address, int& length)
{
    char text[32];
    length = DisassembleInstruction(m, address, text, sizeof text);
    return text;
}

} // namespace

TEST(Disassembler, EveryDocumentedOpcodeReadsAsTheOpcodeMap)
{
    auto m = std::make_unique<Machine>();
    ResetMachine(*m, 0);
    int documented = 0;
    for (int opcode = 0; opcode < 256; ++opcode) {
        const char* expected = OpcodeMap[opcode >> 4][opcode & 15];
        m->Memory[0x0100] = static_cast<std::uint8_t>(opcode);
        m->Memory[0x0101] = 0x34;
        m->Memory[0x0102] = 0x12;
        int length = 0;
        std::string text = Disassemble(*m, 0x0100, length);
        if (expected == nullptr) {
            EXPECT_TRUE(IsUndocumentedOpcode(static_cast<std::uint8_t>(opcode))) << opcode;
            EXPECT_EQ(length, 1);
            EXPECT_EQ(text.compare(0, 3, "DB "), 0) << text;
            continue;
        }
        ++documented;
        // The length follows from the operand: a word, a byte, or none.
        int expectedLength = std::strstr(expected, "1234H") ? 3 : std::strstr(expected, "34H") ? 2 : 1;
        EXPECT_EQ(text, expected) << "opcode " << opcode;
        EXPECT_EQ(length, expectedLength) << expected;
    }
    EXPECT_EQ(documented, 246);
}

TEST(Disassembler, NumbersTakeTheAssemblersFormAndTheTextIsCutToFit)
{
    struct Case {
        std::uint8_t Bytes[3];
        const char* Text;
    };
    const Case cases[] = {
        {{0x3E, 0x3A, 0}, "MVI A,3AH"},
        {{0x3E, 0xFF, 0}, "MVI A,0FFH"},
        {{0xC3, 0x00, 0x08}, "JMP 0800H"},
        {{0x31, 0xFF, 0xFF}, "LXI SP,0FFFFH"},
        {{0x21, 0x0A, 0xB0}, "LXI H,0B00AH"},
        {{0xDB, 0x00, 0}, "IN 00H"},
        {{0xCB, 0, 0}, "DB 0CBH"},
        {{0x08, 0, 0}, "DB 08H"},
    };
    auto m = std::make_unique<Machine>();
    ResetMachine(*m, 0);
    for (const Case& c : cases) {
        std::memcpy(m->Memory + 0x0200, c.Bytes, 3);
        int length = 0;
        EXPECT_EQ(Disassemble(*m, 0x0200, length), c.Text);
    }

    // The operand of an instruction at FFFFH comes from 0000H on.
    m->Memory[0xFFFF] = 0xC3;
    m->Memory[0x0000] = 0x34;
    m->Memory[0x0001] = 0x12;
    int length = 0;
    EXPECT_EQ(Disassemble(*m, 0xFFFF, length), "JMP 1234H");

    char small[6];
    std::memset(small, '#', sizeof small);
    EXPECT_EQ(DisassembleInstruction(*m, 0xFFFF, small, 4), 3);
    EXPECT_STREQ(small, "JMP");
    EXPECT_EQ(small[4], '#');
    EXPECT_EQ(DisassembleInstruction(*m, 0xFFFF, small, 0), 3);
    EXPECT_EQ(small[0], 'J');
}

// As an 8080 runs them: the 8085's undocumented opcodes and RIM and SIM read
// as what they do; every other opcode as on the 8085.
TEST(Disassembler, The8080ReadsItsAliases)
{
    auto m85 = std::make_unique<Machine>();
    auto m80 = std::make_unique<Machine>();
    ResetMachine(*m85, 0, Cpu8085);
    ResetMachine(*m80, 0, Cpu8080);
    int aliases = 0;
    for (int opcode = 0; opcode < 256; ++opcode) {
        for (Machine* m : {m85.get(), m80.get()}) {
            m->Memory[0x0100] = static_cast<std::uint8_t>(opcode);
            m->Memory[0x0101] = 0x34;
            m->Memory[0x0102] = 0x12;
        }
        int length85 = 0, length80 = 0;
        std::string text85 = Disassemble(*m85, 0x0100, length85);
        std::string text80 = Disassemble(*m80, 0x0100, length80);
        const char* alias = nullptr;
        switch (opcode) {
        case 0x08: case 0x10: case 0x18: case 0x20: case 0x28: case 0x30: case 0x38:
            alias = "NOP";
            break;
        case 0xCB:
            alias = "JMP 1234H";
            break;
        case 0xD9:
            alias = "RET";
            break;
        case 0xDD: case 0xED: case 0xFD:
            alias = "CALL 1234H";
            break;
        default:
            break;
        }
        if (alias == nullptr) {
            EXPECT_EQ(text80, text85);
            EXPECT_EQ(length80, length85);
            continue;
        }
        ++aliases;
        EXPECT_EQ(text80, alias) << "opcode " << opcode;
        EXPECT_EQ(length80, std::strstr(alias, "1234H") ? 3 : 1) << alias;
    }
    EXPECT_EQ(aliases, 12);
}
