// Statement lines through AssembleLine with the shipped opcode table: the
// object line of every mnemonic, and what each kind of rejection leaves on
// the line with its message (the last line of the log).
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "pass2/AssemblerPass2.h"
#include "symbols/SymbolTable.h"

namespace {

typedef std::vector<std::string> Lines;

struct Assembled {
    bool Produced;
    std::string Object;
    Lines Log;
};

class EncodingRules : public ::testing::Test {
protected:
    // Symbols of the statements: LABEL a word, SMALL a byte.
    static void SetUpTestSuite()
    {
        ResetSymbols();
        LogCapture quiet;
        Table = ReadOpcodeTable(ShippedOpcodeTable().c_str());
        Append("LABEL", 2, MakeSymbolData(0x2050));
        Append("SMALL", 1, MakeSymbolData(0x10));
    }
    static void TearDownTestSuite()
    {
        delete[] Table;
        ResetSymbols();
    }

    Assembled Assemble(const std::string& line)
    {
        LogCapture log;
        std::string object = "untouched";
        bool produced = AssembleLine(line.c_str(), Tokens.Slots, Address, Table, object);
        return Assembled{produced, object, log.Lines()};
    }

    static OpcodeTableStructure* Table;
    GuardedTokens Tokens;
    std::uint32_t Address = 0;
};

OpcodeTableStructure* EncodingRules::Table = nullptr;

struct StatementCase {
    const char* Line;
    const char* Object;
    std::string LastLog;
};

std::string R(int size, int data)
{
    return "str2symboldata Results: size = " + std::to_string(size) + " data = " + std::to_string(data);
}

std::string CountMessage(const char* mnemonic)
{
    return std::string("Parse Error: Invalid number of Arguments to ") + mnemonic;
}

std::string AddressMessage(const char* mnemonic)
{
    return std::string("Error: A 2 Byte Address should follow an ") + mnemonic + " instruction";
}

std::string DataByte(const char* mnemonic)
{
    return std::string("Error: An Immediate Data Byte should follow an ") + mnemonic + " instruction";
}

class EncodingStatements : public EncodingRules, public ::testing::WithParamInterface<StatementCase> { };

TEST_P(EncodingStatements, GiveTheirObjectLine)
{
    const StatementCase& c = GetParam();
    Assembled result = Assemble(c.Line);
    EXPECT_TRUE(result.Produced);
    EXPECT_EQ(result.Object, c.Object);
    ASSERT_FALSE(result.Log.empty());
    EXPECT_EQ(result.Log.back(), c.LastLog);
}

std::string StatementName(const ::testing::TestParamInfo<StatementCase>& info)
{
    std::string name = "n" + std::to_string(info.index) + "_";
    for (const char* p = info.param.Line; *p != '\0'; p++)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

// EncodingStatements beyond the plain cases of the families below.
INSTANTIATE_TEST_SUITE_P(Accepted, EncodingStatements,
    ::testing::Values(StatementCase{"0 MOV B,C", "00 \t 41\t\t*\n", "Register C identified"},
        StatementCase{"0 MOV M,M", "00 \t 76\t\t*\n", "Register M identified"},
        StatementCase{"0 mov a, m ; lower case", "00 \t 7E\t\t*\n", "Register M identified"},
        StatementCase{"2048 MVI A,3AH", "800 \t 3E  3A\t\t*\n", R(1, 58)},
        StatementCase{"0 MVI C,-1", "00 \t 0E  FF\t\t*\n", R(1, -1)},
        StatementCase{"0 LDAX B", "00 \t 0A\t\t*\n", "Register Pair B identified"},
        StatementCase{"0 LDAX D", "00 \t 1A\t\t*\n", "Register Pair D identified"},
        StatementCase{"0 STAX B", "00 \t 02\t\t*\n", "Register Pair B identified"},
        StatementCase{"0 STAX D", "00 \t 12\t\t*\n", "Register Pair D identified"},
        StatementCase{"0 LXI H,2050H", "00 \t 21  50  20\t\t*\n", R(2, 8272)},
        StatementCase{"0 LXI SP,LABEL", "00 \t 31  50  20\t\t*\n", "Register SP identified"},
        StatementCase{"0 LXI PSW,1234H", "00 \t 31  34  12\t\t*\n", R(2, 4660)},
        StatementCase{"0 LXI D,0000", "00 \t 11  00  00\t\t*\n", R(2, 0)},
        StatementCase{"2050 LDA 2100H", "802 \t 3A  00  21\t\t*\n", R(2, 8448)},
        StatementCase{"0 SHLD LABEL", "00 \t 22  50  20\t\t*\n", "Identified SHLD"},
        StatementCase{"0 STA 0100", "00 \t 32  64  00\t\t*\n", R(2, 100)},
        StatementCase{"0 IN SMALL", "00 \t DB  10\t\t*\n", "Identified IN"},
        StatementCase{"0 ACI -1", "00 \t CE  FF\t\t*\n", R(1, -1)},
        StatementCase{"0 CPI 'A'", "00 \t FE  00\t\t*\n", R(1, 0)},
        StatementCase{"0 JNZ LABEL", "00 \t C2  50  20\t\t*\n", "Identified JNZ"},
        StatementCase{"0 JC 8000H", "00 \t DA  00  80\t\t*\n", R(2, -32768)},
        StatementCase{"0 JPE START", "00 \t EA  00  00\t\t*\n", R(2, 0)},
        StatementCase{"0 JP 1000", "00 \t F2  E8  03\t\t*\n", R(2, 1000)},
        StatementCase{"0 CALL C350H", "00 \t CD  50  C3\t\t*\n", R(2, -15536)},
        StatementCase{"65535 HLT", "FFFF \t 76\t\t*\n", "Identified HLT"}),
    StatementName);

// Rejections: the line keeps what was written before the check that failed,
// has no closing mark, and the message is the last line of the log.
INSTANTIATE_TEST_SUITE_P(Rejected, EncodingStatements,
    ::testing::Values(
        // decode-first count test: nothing after the separator
        StatementCase{"0 MOV A", "00 \t \n", CountMessage("MOV")},
        StatementCase{"0 MOV A,B,C", "00 \t \n", CountMessage("MOV")},
        StatementCase{"0 MVI A", "00 \t \n", CountMessage("MVI")},
        StatementCase{"0 LDAX", "00 \t \n", CountMessage("LDAX")},
        StatementCase{"0 LXI H", "00 \t \n", CountMessage("LXI")},
        StatementCase{"0 CMP A,B", "00 \t \n", CountMessage("CMP")},
        // a register or pair that does not decode
        StatementCase{"0 MOV X,B", "00 \t \n", "Parse Error: Invalid Register X"},
        StatementCase{"0 MOV A,X", "00 \t \n", "Parse Error: Invalid Register X"},
        StatementCase{"0 MVI Q,5", "00 \t \n", "Parse Error: Invalid Register Q"},
        StatementCase{"0 ADD 'A'", "00 \t \n", "Parse Error: Invalid Register 'A"},
        StatementCase{"0 INR SP", "00 \t \n", "Parse Error: Invalid Register SP"},
        StatementCase{"0 POP HL", "00 \t \n", "Parse Error: Invalid Register HL"},
        StatementCase{"0 LXI A,1234H", "00 \t \n", "Parse Error: Invalid Register A"},
        StatementCase{"0 STAX Q", "00 \t \n", "Parse Error: Invalid Register Q"},
        // LDAX and STAX take B and D only
        StatementCase{"0 LDAX H", "00 \t \n", "Parse Error: Only B and D is allowed with LDAX"},
        StatementCase{"0 LDAX PSW", "00 \t \n", "Parse Error: Only B and D is allowed with LDAX"},
        StatementCase{"0 STAX SP", "00 \t \n", "Parse Error: Only B and D is allowed with STAX"},
        // MVI and LXI values of the wrong size: the opcode stays
        StatementCase{"0 MVI B,0100H", "00 \t 06\n", "Error: A byte should follow an MVI instruction"},
        StatementCase{"2062 MVI A,300", "80E \t 3E\n", "Error: A byte should follow an MVI instruction"},
        StatementCase{"0 MVI C,LABEL", "00 \t 0E\n", "Error: A byte should follow an MVI instruction"},
        StatementCase{"0 LXI H,50H", "00 \t 21\n", "Error: A 2 Byte Immediate Data should follow an LXI instruction"},
        StatementCase{"0 LXI B,SMALL", "00 \t 01\n", "Error: A 2 Byte Immediate Data should follow an LXI instruction"},
        // byte and word values of the wrong size: the opcode stays
        StatementCase{"0 OUT 100H", "00 \t D3\n", DataByte("OUT")},
        StatementCase{"0 IN LABEL", "00 \t DB\n", DataByte("IN")},
        StatementCase{"0 CPI 256", "00 \t FE\n", DataByte("CPI")},
        StatementCase{"0 SUI 12345H", "00 \t D6\n", DataByte("SUI")},
        StatementCase{"0 JZ SMALL", "00 \t CA\n", AddressMessage("JZ")},
        StatementCase{"0 JNZ 100", "00 \t C2\n", AddressMessage("JNZ")},
        StatementCase{"0 CALL 12345H", "00 \t CD\n", AddressMessage("CALL")},
        StatementCase{"0 CP 0", "00 \t F4\n", AddressMessage("CP")},
        // RST writes nothing until its operand matched
        StatementCase{"0 RST", "00 \t \n", "Parse Error: Invalid number of Arguments to RST"},
        StatementCase{"0 RST 1,2", "00 \t \n", "Parse Error: Invalid number of Arguments to RST"},
        StatementCase{"0 RST 8", "00 \t \n", "Error: Invalid Argument to RST : 8"},
        StatementCase{"0 RST 00", "00 \t \n", "Error: Invalid Argument to RST : 00"},
        StatementCase{"0 RST 3H", "00 \t \n", "Error: Invalid Argument to RST : 3H"},
        StatementCase{"0 RST LABEL", "00 \t \n", "Error: Invalid Argument to RST : LABEL"},
        StatementCase{"0 RST '1'", "00 \t \n", "Error: Invalid Argument to RST : '1"},
        // unknown mnemonics keep the closing mark; an address alone has no mnemonic
        StatementCase{"2061 FOO A", "80D \t \t\t*\n", "Error: Unidentified Mnemonic FOO"},
        StatementCase{"0 MOVE A,B", "00 \t \t\t*\n", "Error: Unidentified Mnemonic MOVE"},
        StatementCase{"0 'MOV' A,B", "00 \t \t\t*\n", "Error: Unidentified Mnemonic 'MOV"},
        StatementCase{"5", "05 \t \n", "Parse Error: No Mnemonic follows the Address"}),
    StatementName);

// Rule families: one mnemonic and its hand-written opcode per row.
struct Opcode {
    const char* Mnemonic;
    const char* Hex;
};

std::string Accepted(const char* fields)
{
    return std::string("00 \t ") + fields + "\t\t*\n";
}

std::string Rejected(const char* fields)
{
    return std::string("00 \t ") + fields + "\n";
}

TEST_F(EncodingRules, OpcodeOnlyRulesIgnoreTheirOperands)
{
    const Opcode rules[] = {{"DAA", "27"}, {"STC", "37"}, {"RLC", "07"}, {"RRC", "0F"}, {"RAL", "17"}, {"RAR", "1F"},
        {"CMA", "2F"}, {"CMC", "3F"}, {"RET", "C9"}, {"RNZ", "C0"}, {"RZ", "C8"}, {"RNC", "D0"}, {"RC", "D8"},
        {"RPO", "E0"}, {"RPE", "E8"}, {"RP", "F0"}, {"RM", "F8"}, {"NOP", "00"}, {"HLT", "76"}, {"DI", "F3"},
        {"EI", "FB"}, {"RIM", "20"}, {"SIM", "30"}};
    for (const Opcode& r : rules) {
        std::string m = r.Mnemonic;
        for (const char* operands : {"", " 5", " A,B,C"}) {
            Assembled result = Assemble("0 " + m + operands);
            EXPECT_EQ(result.Object, Accepted(r.Hex)) << m << operands;
            EXPECT_EQ(result.Log.back(), "Identified " + m) << m << operands;
        }
    }
}

TEST_F(EncodingRules, RulesWithoutOperandCountTheirTokens)
{
    for (const Opcode& r : {Opcode{"SPHL", "F9"}, Opcode{"XTHL", "E3"}, Opcode{"XCHG", "EB"}, Opcode{"PCHL", "E9"}}) {
        std::string m = r.Mnemonic;
        EXPECT_EQ(Assemble("0 " + m).Object, Accepted(r.Hex)) << m;
        for (const char* operands : {" H", " 1,2"}) {
            Assembled extra = Assemble("0 " + m + operands);
            EXPECT_EQ(extra.Object, Rejected(r.Hex)) << m << operands;
            EXPECT_EQ(extra.Log.back(), CountMessage(r.Mnemonic));
        }
    }
}

TEST_F(EncodingRules, WordRulesWriteLowByteFirst)
{
    const Opcode rules[] = {{"LHLD", "2A"}, {"LDA", "3A"}, {"SHLD", "22"}, {"STA", "32"}, {"JMP", "C3"}, {"JNZ", "C2"},
        {"JZ", "CA"}, {"JNC", "D2"}, {"JC", "DA"}, {"JPO", "E2"}, {"JPE", "EA"}, {"JP", "F2"}, {"JM", "FA"},
        {"CALL", "CD"}, {"CNZ", "C4"}, {"CZ", "CC"}, {"CNC", "D4"}, {"CC", "DC"}, {"CPO", "E4"}, {"CPE", "EC"},
        {"CP", "F4"}, {"CM", "FC"}};
    for (const Opcode& r : rules) {
        std::string m = r.Mnemonic;
        Assembled ok = Assemble("0 " + m + " 2050H");
        EXPECT_EQ(ok.Object, Accepted((std::string(r.Hex) + "  50  20").c_str())) << m;
        EXPECT_EQ(ok.Log.back(), R(2, 8272)) << m;
        Assembled byte = Assemble("0 " + m + " 10H");
        EXPECT_EQ(byte.Object, Rejected(r.Hex)) << m;
        EXPECT_EQ(byte.Log.back(), AddressMessage(r.Mnemonic));
        for (const char* operands : {"", " 10H,20H"}) {
            Assembled wrong = Assemble("0 " + m + operands);
            EXPECT_EQ(wrong.Object, Rejected(r.Hex)) << m << operands;
            EXPECT_EQ(wrong.Log.back(), CountMessage(r.Mnemonic));
        }
    }
}

TEST_F(EncodingRules, ByteRulesWriteOneByte)
{
    const Opcode rules[] = {{"OUT", "D3"}, {"IN", "DB"}, {"ADI", "C6"}, {"ACI", "CE"}, {"SUI", "D6"}, {"SBI", "DE"},
        {"ANI", "E6"}, {"XRI", "EE"}, {"ORI", "F6"}, {"CPI", "FE"}};
    for (const Opcode& r : rules) {
        std::string m = r.Mnemonic;
        Assembled ok = Assemble("0 " + m + " 7FH");
        EXPECT_EQ(ok.Object, Accepted((std::string(r.Hex) + "  7F").c_str())) << m;
        EXPECT_EQ(ok.Log.back(), R(1, 127)) << m;
        Assembled word = Assemble("0 " + m + " 0FFH");
        EXPECT_EQ(word.Object, Rejected(r.Hex)) << m;
        EXPECT_EQ(word.Log.back(), DataByte(r.Mnemonic));
        Assembled none = Assemble("0 " + m);
        EXPECT_EQ(none.Object, Rejected(r.Hex)) << m;
        EXPECT_EQ(none.Log.back(), CountMessage(r.Mnemonic));
    }
}

TEST_F(EncodingRules, RegisterRulesPlaceTheirRegister)
{
    // E (code 3) in bits 0 to 2; L (code 5) in bits 3 to 5 for INR and DCR
    const Opcode rules[] = {{"ADD E", "83"}, {"ADC E", "8B"}, {"SUB E", "93"}, {"SBB E", "9B"}, {"ANA E", "A3"},
        {"XRA E", "AB"}, {"ORA E", "B3"}, {"CMP E", "BB"}, {"INR L", "2C"}, {"DCR L", "2D"}};
    for (const Opcode& r : rules) {
        std::string statement = r.Mnemonic;
        std::string m = statement.substr(0, 3);
        EXPECT_EQ(Assemble("0 " + statement).Object, Accepted(r.Hex)) << m;
        Assembled bad = Assemble("0 " + m + " SP");
        EXPECT_EQ(bad.Object, Rejected("")) << m;
        EXPECT_EQ(bad.Log.back(), "Parse Error: Invalid Register SP");
        Assembled none = Assemble("0 " + m);
        EXPECT_EQ(none.Object, Rejected("")) << m;
        EXPECT_EQ(none.Log.back(), CountMessage(m.c_str()));
    }
}

TEST_F(EncodingRules, PairRulesPlaceTheirPair)
{
    // H (code 2), and SP and PSW (both code 3), in bits 4 and 5
    struct PairOpcodes {
        const char* Mnemonic;
        const char* WithH;
        const char* WithSP;
    };
    const PairOpcodes rules[] = {
        {"PUSH", "E5", "F5"}, {"POP", "E1", "F1"}, {"DAD", "29", "39"}, {"INX", "23", "33"}, {"DCX", "2B", "3B"}};
    for (const PairOpcodes& r : rules) {
        std::string m = r.Mnemonic;
        EXPECT_EQ(Assemble("0 " + m + " H").Object, Accepted(r.WithH)) << m;
        EXPECT_EQ(Assemble("0 " + m + " SP").Object, Accepted(r.WithSP)) << m;
        EXPECT_EQ(Assemble("0 " + m + " PSW").Object, Accepted(r.WithSP)) << m;
        Assembled bad = Assemble("0 " + m + " A");
        EXPECT_EQ(bad.Object, Rejected("")) << m;
        EXPECT_EQ(bad.Log.back(), "Parse Error: Invalid Register A");
        Assembled none = Assemble("0 " + m);
        EXPECT_EQ(none.Object, Rejected("")) << m;
        EXPECT_EQ(none.Log.back(), CountMessage(r.Mnemonic));
    }
}

TEST_F(EncodingRules, RestartNumberSetsBitsThreeToFive)
{
    const Opcode restarts[] = {
        {"0", "C7"}, {"1", "CF"}, {"2", "D7"}, {"3", "DF"}, {"4", "E7"}, {"5", "EF"}, {"6", "F7"}, {"7", "FF"}};
    for (const Opcode& r : restarts) {
        Assembled result = Assemble(std::string("0 RST ") + r.Mnemonic);
        EXPECT_EQ(result.Object, Accepted(r.Hex)) << r.Mnemonic;
        EXPECT_EQ(result.Log.back(), "Identified RST");
    }
}

TEST_F(EncodingRules, TraceOfOneStatement)
{
    Assembled result = Assemble("2048 MVI A,3AH");
    EXPECT_EQ(result.Log,
        (Lines{"Tokenizing 2048 MVI A,3AH", "Found Token 2048", "Found Token MVI", "Found Token A", "Found Token 3AH",
            "Tokenized to 4 Tokens", "Address is 800", "Assembling MVI", "Identified MVI",
            "IdentifyREG: Identifying A...", "Register A identified", "str2symboldata Results: size = 1 data = 58"}));
}

TEST_F(EncodingRules, RejectedSecondRegisterIsDecodedAfterTheFirst)
{
    Assembled result = Assemble("0 MOV A,X");
    Lines tail(result.Log.end() - 4, result.Log.end());
    EXPECT_EQ(tail,
        (Lines{"IdentifyREG: Identifying A...", "Register A identified", "IdentifyREG: Identifying X...",
            "Parse Error: Invalid Register X"}));
}

TEST_F(EncodingRules, LineWithoutTokensHasNoObjectLine)
{
    for (const char* line : {"", "  \t,", "; remark only"}) {
        Assembled result = Assemble(line);
        EXPECT_FALSE(result.Produced) << line;
        EXPECT_EQ(result.Log.back(), "Tokenized to 0 Tokens") << line;
    }
}

// Slots beyond the count still hold the earlier line's tokens; they must
// never complete a shorter statement.
TEST_F(EncodingRules, StaleSlotsNeverCompleteAStatement)
{
    Assemble("0 MOV A,B");
    Assembled mov = Assemble("1 MOV C");
    EXPECT_EQ(mov.Object, "01 \t \n");
    EXPECT_EQ(mov.Log.back(), CountMessage("MOV"));
    Assemble("2 RST 5");
    Assembled rst = Assemble("3 RST");
    EXPECT_EQ(rst.Object, "03 \t \n");
    Assemble("4 NOP");
    Assembled alone = Assemble("5");
    EXPECT_EQ(alone.Object, "05 \t \n");
    EXPECT_EQ(alone.Log.back(), "Parse Error: No Mnemonic follows the Address");
}

TEST_F(EncodingRules, AddressThatIsNoNumberRepeatsThePreviousOne)
{
    EXPECT_EQ(Assemble("2048 NOP").Object, "800 \t 00\t\t*\n");
    EXPECT_EQ(Assemble("LBL: NOP").Object, "800 \t 00\t\t*\n");
    EXPECT_EQ(Assemble("0800 NOP").Object, "320 \t 00\t\t*\n");
    EXPECT_EQ(Assemble("12AB NOP").Object, "0C \t 00\t\t*\n");
    EXPECT_EQ(Assemble("-1 NOP").Object, "FFFFFFFF \t 00\t\t*\n");
    EXPECT_EQ(Assemble("4294967306 NOP").Object, "0A \t 00\t\t*\n");
}

} // namespace
