// Every documented 8085 instruction form from source, through both passes, to
// its object line; and the forms the first pass refuses although the second
// would encode them.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <stdlib.h>

#include "TestSupport.h"
#include "driver/Run.h"
#include "pass1/Pass1.h"

namespace {

namespace fs = std::filesystem;

// A working directory of its own with etc/opcodes.txt, removed at the end.
struct ChainDirectory {
    std::string Path;
    ChainDirectory()
    {
        char pattern[] = "/tmp/chain-forms-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (made == nullptr) // never fall back to paths outside a directory of our own
            throw std::runtime_error("cannot make a temporary directory");
        Path = made;
        fs::create_directories(Path + "/etc");
        fs::copy_file(ShippedOpcodeTable(), Path + "/etc/opcodes.txt");
    }
    ~ChainDirectory()
    {
        std::error_code ignored;
        fs::remove_all(Path, ignored);
    }
    std::string Base() const { return Path + "/prog"; }

    int AssembleFirst(const std::string& source, Pass1Result& result, std::ostream& errors) const
    {
        std::ofstream(Base() + ".asm", std::ios::binary) << source;
        Pass1Paths paths{Base() + ".asm", Base() + ".pass1", Base() + ".sym", Path + "/etc/opcodes.txt",
            Path + "/etc/log-Pass1.txt"};
        return RunPass1(paths, result, errors);
    }

    void AssembleSecond() const
    {
        const std::string opcodes = Path + "/etc/opcodes.txt";
        const std::string log = Path + "/etc/log-Pass2.txt";
        RunPass2(Base().c_str(), opcodes.c_str(), log.c_str());
    }

    std::vector<std::string> ObjectLines() const
    {
        std::vector<std::string> lines;
        std::ifstream in(Base() + ".o", std::ios::binary);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
};

struct Form {
    const char* Source; // one statement as a programmer writes it
    const char* Bytes;  // its bytes in hexadecimal, blank-separated
};

// The 246 forms, each opcode written out; operands of every number form.
const Form Forms[] = {
    // MOV r1,r2: 40 + destination * 8 + source (B C D E H L M A = 0..7)
    {"MOV B,B", "40"},
    {"MOV B,C", "41"},
    {"MOV B,D", "42"},
    {"MOV B,E", "43"},
    {"MOV B,H", "44"},
    {"MOV B,L", "45"},
    {"MOV B,M", "46"},
    {"MOV B,A", "47"},
    {"MOV C,B", "48"},
    {"MOV C,C", "49"},
    {"MOV C,D", "4A"},
    {"MOV C,E", "4B"},
    {"MOV C,H", "4C"},
    {"MOV C,L", "4D"},
    {"MOV C,M", "4E"},
    {"MOV C,A", "4F"},
    {"MOV D,B", "50"},
    {"MOV D,C", "51"},
    {"MOV D,D", "52"},
    {"MOV D,E", "53"},
    {"MOV D,H", "54"},
    {"MOV D,L", "55"},
    {"MOV D,M", "56"},
    {"MOV D,A", "57"},
    {"MOV E,B", "58"},
    {"MOV E,C", "59"},
    {"MOV E,D", "5A"},
    {"MOV E,E", "5B"},
    {"MOV E,H", "5C"},
    {"MOV E, L", "5D"},
    {"MOV E,M", "5E"},
    {"MOV E,A", "5F"},
    {"MOV H,B", "60"},
    {"MOV H,C", "61"},
    {"MOV H,D", "62"},
    {"MOV H,E", "63"},
    {"MOV H,H", "64"},
    {"MOV H,L", "65"},
    {"MOV H,M", "66"},
    {"MOV H,A", "67"},
    {"MOV L,B", "68"},
    {"MOV L,C", "69"},
    {"MOV L,D", "6A"},
    {"MOV L,E", "6B"},
    {"MOV L,H", "6C"},
    {"MOV L,L", "6D"},
    {"MOV L,M", "6E"},
    {"MOV L,A", "6F"},
    {"MOV M,B", "70"},
    {"MOV M,C", "71"},
    {"MOV M,D", "72"},
    {"MOV M,E", "73"},
    {"MOV M,H", "74"},
    {"MOV M,L", "75"},
    {"mov m,a", "77"},
    {"MOV A,B", "78"},
    {"MOV A,C", "79"},
    {"MOV A,D", "7A"},
    {"MOV A,E", "7B"},
    {"MOV A,H", "7C"},
    {"MOV A,L", "7D"},
    {"MOV A,M", "7E"},
    {"MOV A,A", "7F"},
    // MVI r,byte
    {"MVI B,0", "06 00"},
    {"MVI C,255", "0E FF"},
    {"MVI D,-1", "16 FF"},
    {"MVI E,','", "1E 2C"},
    {"MVI H,1010B", "26 0A"},
    {"MVI L,17Q", "2E 0F"},
    {"MVI M,377O", "36 FF"},
    {"MVI A,3AH", "3E 3A"},
    // LXI rp,word
    {"LXI B,0", "01 00 00"},
    {"LXI D,\t65535", "11 FF FF"},
    {"LXI H,1234H", "21 34 12"},
    {"lxi sp,0c350h", "31 50 C3"},
    // direct loads and stores, indirect through B and D, exchange
    {"LDA 2050H", "3A 50 20"},
    {"STA 8000H", "32 00 80"},
    {"LHLD 100", "2A 64 00"},
    {"SHLD 0FFFFH", "22 FF FF"},
    {"LDAX B", "0A"},
    {"LDAX D", "1A"},
    {"STAX B", "02"},
    {"STAX D", "12"},
    {"XCHG", "EB"},
    // register arithmetic and logic: base + source
    {"ADD B", "80"},
    {"ADD C", "81"},
    {"ADD D", "82"},
    {"ADD E", "83"},
    {"ADD H", "84"},
    {"ADD L", "85"},
    {"ADD M", "86"},
    {"ADD A", "87"},
    {"ADC B", "88"},
    {"ADC C", "89"},
    {"ADC D", "8A"},
    {"ADC E", "8B"},
    {"ADC H", "8C"},
    {"ADC L", "8D"},
    {"ADC M", "8E"},
    {"ADC A", "8F"},
    {"SUB B", "90"},
    {"SUB C", "91"},
    {"SUB D", "92"},
    {"SUB E", "93"},
    {"SUB H", "94"},
    {"SUB L", "95"},
    {"SUB M", "96"},
    {"SUB A", "97"},
    {"SBB B", "98"},
    {"SBB C", "99"},
    {"SBB D", "9A"},
    {"SBB E", "9B"},
    {"SBB H", "9C"},
    {"SBB L", "9D"},
    {"SBB M", "9E"},
    {"SBB A", "9F"},
    {"ANA B", "A0"},
    {"ANA C", "A1"},
    {"ANA D", "A2"},
    {"ANA E", "A3"},
    {"ANA H", "A4"},
    {"ANA L", "A5"},
    {"ANA M", "A6"},
    {"ANA A", "A7"},
    {"XRA B", "A8"},
    {"XRA C", "A9"},
    {"XRA D", "AA"},
    {"XRA E", "AB"},
    {"XRA H", "AC"},
    {"XRA L", "AD"},
    {"XRA M", "AE"},
    {"XRA A", "AF"},
    {"ORA B", "B0"},
    {"ORA C", "B1"},
    {"ORA D", "B2"},
    {"ORA E", "B3"},
    {"ORA H", "B4"},
    {"ORA L", "B5"},
    {"ORA M", "B6"},
    {"ORA A", "B7"},
    {"CMP B", "B8"},
    {"CMP C", "B9"},
    {"CMP D", "BA"},
    {"CMP E", "BB"},
    {"CMP H", "BC"},
    {"CMP L", "BD"},
    {"CMP M", "BE"},
    {"CMP A", "BF"},
    // immediate arithmetic and logic, with expressions and characters
    {"ADI ';'", "C6 3B"},
    {"ACI 80H", "CE 80"},
    {"SUI 0FFH", "D6 FF"},
    {"SBI ''''", "DE 27"},
    {"ANI 0F0H", "E6 F0"},
    {"XRI 11111111B", "EE FF"},
    {"ORI 'a'", "F6 61"},
    {"CPI 'Z'+1", "FE 5B"},
    // increment and decrement: base + register * 8
    {"INR B", "04"},
    {"INR C", "0C"},
    {"INR D", "14"},
    {"INR E", "1C"},
    {"INR H", "24"},
    {"INR L", "2C"},
    {"INR M", "34"},
    {"INR A", "3C"},
    {"DCR B", "05"},
    {"DCR C", "0D"},
    {"DCR D", "15"},
    {"DCR E", "1D"},
    {"DCR H", "25"},
    {"DCR L", "2D"},
    {"DCR M", "35"},
    {"DCR A", "3D"},
    // pair arithmetic: base + pair * 16
    {"INX B", "03"},
    {"INX D", "13"},
    {"INX H", "23"},
    {"INX SP", "33"},
    {"DCX B", "0B"},
    {"DCX D", "1B"},
    {"DCX H", "2B"},
    {"DCX SP", "3B"},
    {"DAD B", "09"},
    {"DAD D", "19"},
    {"DAD H", "29"},
    {"DAD SP", "39"},
    // accumulator and carry
    {"DAA", "27"},
    {"CMA", "2F"},
    {"CMC", "3F"},
    {"STC", "37"},
    {"RLC", "07"},
    {"RRC", "0F"},
    {"RAL", "17"},
    {"RAR", "1F"},
    // jumps
    {"JMP 0", "C3 00 00"},
    {"JNZ 1", "C2 01 00"},
    {"JZ 0FFH", "CA FF 00"},
    {"JNC 256", "D2 00 01"},
    {"JC 1234H", "DA 34 12"},
    {"JPO 0ABCDH", "E2 CD AB"},
    {"JPE 7FFFH", "EA FF 7F"},
    {"JP 8000H", "F2 00 80"},
    {"JM 0FFFFH", "FA FF FF"},
    // calls
    {"CALL 5", "CD 05 00"},
    {"CNZ 10H", "C4 10 00"},
    {"CZ 4000H+2", "CC 02 40"},
    {"CNC 1000000000000000B", "D4 00 80"},
    {"CC 177777Q", "DC FF FF"},
    {"CPO 2050H", "E4 50 20"},
    {"CPE 0EDCBH", "EC CB ED"},
    {"CP 4660D", "F4 34 12"},
    {"CM 'AB'", "FC 42 41"},
    // returns
    {"RET", "C9"},
    {"RNZ", "C0"},
    {"RZ", "C8"},
    {"RNC", "D0"},
    {"RC", "D8"},
    {"RPO", "E0"},
    {"RPE", "E8"},
    {"RP", "F0"},
    {"RM", "F8"},
    // restarts
    {"RST 0", "C7"},
    {"RST 1", "CF"},
    {"RST 2", "D7"},
    {"RST 3", "DF"},
    {"RST 4", "E7"},
    {"RST 5", "EF"},
    {"RST 6", "F7"},
    {"RST 7", "FF"},
    // stack, the program counter and the stack pointer
    {"PCHL", "E9"},
    {"PUSH B", "C5"},
    {"PUSH D", "D5"},
    {"PUSH H", "E5"},
    {"PUSH PSW", "F5"},
    {"POP B", "C1"},
    {"POP D", "D1"},
    {"POP H", "E1"},
    {"POP PSW", "F1"},
    {"XTHL", "E3"},
    {"SPHL", "F9"},
    // input, output and machine control
    {"IN 0FEH", "DB FE"},
    {"OUT 10", "D3 0A"},
    {"EI", "FB"},
    {"DI", "F3"},
    {"HLT", "76"},
    {"NOP", "00"},
    {"RIM", "20"},
    {"SIM", "30"},
};

const unsigned FirstAddress = 0x4000;

// The object line of a statement at this address with these bytes.
std::string ObjectLine(unsigned address, const std::string& bytes, unsigned& byteCount)
{
    char field[8];
    std::snprintf(field, sizeof field, "%02X", address);
    std::string line = std::string(field) + " \t ";
    std::istringstream words(bytes);
    byteCount = 0;
    for (std::string byte; words >> byte; byteCount++)
        line += (byteCount == 0 ? "" : "  ") + byte;
    return line + "\t\t*";
}

TEST(InstructionForms, AllDocumentedFormsAssembleToTheirBytes)
{
    ASSERT_EQ(sizeof Forms / sizeof Forms[0], 246u);
    std::string source = "        ORG 4000H\n";
    for (const Form& form : Forms)
        source += std::string("        ") + form.Source + "\n";
    source += "        END\n";

    ChainDirectory dir;
    Pass1Result result;
    std::ostringstream errors;
    ASSERT_EQ(dir.AssembleFirst(source, result, errors), 0) << errors.str();
    EXPECT_EQ(errors.str(), "");
    dir.AssembleSecond();

    std::vector<std::string> lines = dir.ObjectLines();
    ASSERT_EQ(lines.size(), 247u);
    EXPECT_EQ(lines[0], "#Everything is Hexadecimal");
    unsigned address = FirstAddress;
    for (size_t i = 0; i < 246; i++) {
        unsigned count = 0;
        EXPECT_EQ(lines[i + 1], ObjectLine(address, Forms[i].Bytes, count)) << Forms[i].Source;
        // the listing's view of the same line (line 1 is the ORG)
        ASSERT_GT(result.Lines.size(), i + 1);
        EXPECT_EQ(result.Lines[i + 1].Address, address) << Forms[i].Source;
        EXPECT_EQ(result.Lines[i + 1].ByteCount, static_cast<int>(count)) << Forms[i].Source;
        address += count;
    }
}

struct Refused {
    const char* Source;
    int Status;
    int Warnings;
};

// The first pass refuses what the second would take or mis-take: pairs an
// instruction has no use for, a restart number or value out of range.
const Refused RefusedForms[] = {
    {"LDAX H", 1, 0},
    {"STAX SP", 1, 0},
    {"PUSH SP", 1, 0},
    {"POP SP", 1, 0},
    {"DAD PSW", 1, 0},
    {"INX PSW", 1, 0},
    {"LXI PSW,0", 1, 0},
    {"RST 8", 1, 0},
    {"MVI A,256", 1, 0},
    {"MVI A,-129", 1, 0},
    {"MVI A,-128", 0, 0},
    {"MOV A", 1, 0},
    {"LDA 65536", 1, 0},
    {"IN 256", 1, 0},
    {"OUT -129", 1, 0},
    {"RST -1", 1, 0},
    {"JMP", 1, 0},
    // MOV M,M is encoded 76H, which is HLT: allowed, with a warning
    {"MOV M,M", 0, 1},
};

TEST(InstructionForms, RefusedFormsFailTheFirstPass)
{
    for (const Refused& form : RefusedForms) {
        ChainDirectory dir;
        Pass1Result result;
        std::ostringstream errors;
        int status = dir.AssembleFirst(std::string("        ") + form.Source + "\n", result, errors);
        EXPECT_EQ(status, form.Status) << form.Source << "\n" << errors.str();
        EXPECT_EQ(result.WarningCount, form.Warnings) << form.Source << "\n" << errors.str();
        EXPECT_EQ(fs::exists(dir.Base() + ".pass1"), form.Status == 0) << form.Source;
    }
}

} // namespace
