// Large, realistic inputs for timing the pass: a statement file as the first
// pass would leave it and a symbol file to go with it.
//
//   pass2_generate STATEMENTS SYMBOLS BASENAME
//
// writes BASENAME.pass1 and BASENAME.sym and prints one line of figures.
//
// The statements mix every mnemonic of the shipped opcode table, DB and DW,
// weighted roughly as 8085 code uses them. Addresses start at 0 and each one
// is the previous address plus the previous statement's size, so a long
// program runs over the whole 64 KiB (and a little past it). About a third of
// the value operands name a symbol of the right size class; the named symbols
// are drawn evenly from the whole table, so a look-up that walks the symbol
// list pays for its length. Every statement assembles without an error.
//
// Two random streams keep the programs comparable: the statements (mnemonics,
// registers, literals, which operands are symbols) come from one stream whose
// seed never changes, the symbol picks from another. So the programs for 10,
// 1,000 and 10,000 symbols differ only in which names they use (every name has
// the same length), and a shorter program is the start of a longer one.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

enum Shape {
    None,      // CMA
    Reg,       // ADD B
    RegReg,    // MOV A,B
    RegByte,   // MVI A,3AH
    PairBD,    // LDAX B
    PairSP,    // INX H (B, D, H, SP)
    PairPSW,   // PUSH PSW (B, D, H, PSW)
    PairWord,  // LXI H,2100H
    Byte,      // ADI 10
    Word,      // JMP LOOP0042
    Restart,   // RST 7
    DataBytes, // DB 1,2,3
    DataWords, // DW 1234H
};

struct Mnemonic {
    const char* Name;
    int Size; // bytes; for DB and DW per item
    Shape Operands;
    int Weight; // statements per about 1,000
};

// Every row of the shipped opcode table, in its order, then DB and DW.
const Mnemonic Mnemonics[] = {
    {"MOV", 1, RegReg, 170},
    {"MVI", 2, RegByte, 60},
    {"LDAX", 1, PairBD, 8},
    {"LHLD", 3, Word, 6},
    {"LDA", 3, Word, 14},
    {"STAX", 1, PairBD, 8},
    {"SHLD", 3, Word, 6},
    {"STA", 3, Word, 14},
    {"LXI", 3, PairWord, 35},
    {"SPHL", 1, None, 2},
    {"XTHL", 1, None, 2},
    {"XCHG", 1, None, 10},
    {"OUT", 2, Byte, 6},
    {"IN", 2, Byte, 6},
    {"PUSH", 1, PairPSW, 22},
    {"POP", 1, PairPSW, 22},
    {"ADD", 1, Reg, 16},
    {"ADC", 1, Reg, 6},
    {"ADI", 2, Byte, 10},
    {"ACI", 2, Byte, 4},
    {"SUB", 1, Reg, 10},
    {"SBB", 1, Reg, 4},
    {"SUI", 2, Byte, 6},
    {"SBI", 2, Byte, 3},
    {"DAD", 1, PairSP, 10},
    {"DAA", 1, None, 3},
    {"INR", 1, Reg, 25},
    {"INX", 1, PairSP, 30},
    {"DCR", 1, Reg, 25},
    {"DCX", 1, PairSP, 15},
    {"STC", 1, None, 3},
    {"ANA", 1, Reg, 8},
    {"ANI", 2, Byte, 10},
    {"XRA", 1, Reg, 10},
    {"XRI", 2, Byte, 4},
    {"ORA", 1, Reg, 10},
    {"ORI", 2, Byte, 6},
    {"CMP", 1, Reg, 12},
    {"CPI", 2, Byte, 15},
    {"RLC", 1, None, 4},
    {"RRC", 1, None, 4},
    {"RAL", 1, None, 4},
    {"RAR", 1, None, 4},
    {"CMA", 1, None, 4},
    {"CMC", 1, None, 2},
    {"JMP", 3, Word, 18},
    {"JNZ", 3, Word, 28},
    {"JZ", 3, Word, 18},
    {"JNC", 3, Word, 8},
    {"JC", 3, Word, 10},
    {"JPO", 3, Word, 2},
    {"JPE", 3, Word, 2},
    {"JP", 3, Word, 3},
    {"JM", 3, Word, 3},
    {"PCHL", 1, None, 2},
    {"RST", 1, Restart, 4},
    {"CALL", 3, Word, 36},
    {"CNZ", 3, Word, 3},
    {"CZ", 3, Word, 3},
    {"CNC", 3, Word, 3},
    {"CC", 3, Word, 3},
    {"CPO", 3, Word, 2},
    {"CPE", 3, Word, 2},
    {"CP", 3, Word, 2},
    {"CM", 3, Word, 2},
    {"RET", 1, None, 30},
    {"RNZ", 1, None, 4},
    {"RZ", 1, None, 5},
    {"RNC", 1, None, 3},
    {"RC", 1, None, 3},
    {"RPO", 1, None, 2},
    {"RPE", 1, None, 2},
    {"RP", 1, None, 2},
    {"RM", 1, None, 2},
    {"NOP", 1, None, 5},
    {"HLT", 1, None, 2},
    {"DI", 1, None, 3},
    {"EI", 1, None, 3},
    {"RIM", 1, None, 2},
    {"SIM", 1, None, 2},
    {"DB", 1, DataBytes, 24},
    {"DW", 2, DataWords, 12},
};
const int MnemonicCount = sizeof(Mnemonics) / sizeof(Mnemonics[0]);

const char* const Registers[] = {"B", "C", "D", "E", "H", "L", "M", "A"};

// Symbol names: a prefix and four digits, eight characters in all. The first
// four prefixes are byte symbols (size class 1), the others words (2).
const char* const Prefixes[] = {"PORT", "CHAR", "MASK", "CNTR", "LOOP", "NEXT", "DATA", "BUFF", "TEXT", "DONE"};
const int PrefixCount = 10;
const int BytePrefixes = 4;

bool IsByteSymbol(int index)
{
    return index % PrefixCount < BytePrefixes;
}

std::string SymbolName(int index)
{
    char text[16];
    std::snprintf(text, sizeof text, "%s%04d", Prefixes[index % PrefixCount], index);
    return text;
}

struct Generator {
    std::mt19937 Statements{20480}; // the layout of the program
    std::mt19937 Picks{8085};       // which symbol each symbol operand names
    int SymbolTotal = 0;
    long ValueOperands = 0;
    long SymbolOperands = 0;

    int Uniform(int below) { return static_cast<int>(Statements() % static_cast<unsigned>(below)); }

    // A byte value as the source would write it: hexadecimal of two digits
    // (only when the first one is a decimal digit) or decimal.
    std::string ByteLiteral()
    {
        unsigned value = Statements() % 256u;
        char text[16];
        if (value < 0xA0u && Uniform(2) == 0)
            std::snprintf(text, sizeof text, "%02XH", value);
        else
            std::snprintf(text, sizeof text, "%u", value);
        return text;
    }

    // A word value: four hexadecimal digits below A000H, five decimal digits above.
    std::string WordLiteral()
    {
        unsigned value = Statements() % 65536u;
        if (value < 1000u)
            value += 1000u; // a shorter decimal would be taken for a byte
        char text[16];
        if (value < 0xA000u)
            std::snprintf(text, sizeof text, "%04XH", value);
        else
            std::snprintf(text, sizeof text, "%u", value);
        return text;
    }

    std::string PickSymbol(bool byteClass)
    {
        for (;;) {
            int index = static_cast<int>(Picks() % static_cast<unsigned>(SymbolTotal));
            if (IsByteSymbol(index) == byteClass)
                return SymbolName(index);
        }
    }

    // A value operand: a symbol of the right class about a third of the time.
    std::string Value(bool byteClass)
    {
        ValueOperands++;
        if (Uniform(3) == 0) {
            SymbolOperands++;
            return PickSymbol(byteClass);
        }
        return byteClass ? ByteLiteral() : WordLiteral();
    }

    std::string Register() { return Registers[Uniform(8)]; }

    const Mnemonic& PickMnemonic(int totalWeight)
    {
        int ticket = Uniform(totalWeight);
        for (const Mnemonic& m : Mnemonics) {
            if (ticket < m.Weight)
                return m;
            ticket -= m.Weight;
        }
        return Mnemonics[0];
    }

    // The operand text of one statement and its size in bytes.
    std::string Operands(const Mnemonic& m, int& size)
    {
        static const char* const PairsSP[] = {"B", "D", "H", "SP"};
        static const char* const PairsPSW[] = {"B", "D", "H", "PSW"};
        size = m.Size;
        switch (m.Operands) {
        case None:
            return "";
        case Reg:
            return Register();
        case RegReg: {
            std::string to = Register();
            std::string from = Register();
            if (to == "M" && from == "M")
                from = "A"; // MOV M,M is HLT
            return to + "," + from;
        }
        case RegByte: {
            std::string to = Register();
            return to + "," + Value(true);
        }
        case PairBD:
            return Uniform(2) == 0 ? "B" : "D";
        case PairSP:
            return PairsSP[Uniform(4)];
        case PairPSW:
            return PairsPSW[Uniform(4)];
        case PairWord: {
            std::string pair = PairsSP[Uniform(4)];
            return pair + "," + Value(false);
        }
        case Byte:
            return Value(true);
        case Word:
            return Value(false);
        case Restart:
            return std::to_string(Uniform(8));
        case DataBytes:
        case DataWords: {
            int items = 1 + Uniform(m.Operands == DataBytes ? 4 : 2);
            std::string text;
            for (int i = 0; i < items; i++) {
                if (i > 0)
                    text += ",";
                text += m.Operands == DataBytes ? ByteLiteral() : WordLiteral();
            }
            size = m.Size * items;
            return text;
        }
        }
        return "";
    }
};

const char* const Comments[] = {
    "; next byte", "; count down", "; save the pair", "; wait for the port", "; table entry"};

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s STATEMENTS SYMBOLS BASENAME\n", argv[0]);
        return 2;
    }
    long statements = std::atol(argv[1]);
    int symbols = std::atoi(argv[2]);
    std::string base = argv[3];
    if (statements < 1 || symbols < 2) {
        std::fprintf(stderr, "need at least one statement and two symbols\n");
        return 2;
    }

    std::FILE* sym = std::fopen((base + ".sym").c_str(), "w");
    std::FILE* pass1 = std::fopen((base + ".pass1").c_str(), "w");
    if (sym == nullptr || pass1 == nullptr) {
        std::fprintf(stderr, "cannot write %s.sym / %s.pass1\n", base.c_str(), base.c_str());
        return 1;
    }

    std::mt19937 values(4096);
    for (int i = 0; i < symbols; i++) {
        bool byteClass = IsByteSymbol(i);
        unsigned value = byteClass ? values() % 256u : values() % 65536u;
        std::fprintf(sym, "%s %d %u\n", SymbolName(i).c_str(), byteClass ? 1 : 2, value);
    }

    Generator gen;
    gen.SymbolTotal = symbols;
    int totalWeight = 0;
    for (const Mnemonic& m : Mnemonics)
        totalWeight += m.Weight;

    std::vector<long> used(MnemonicCount, 0);
    unsigned long address = 0;
    unsigned long lastAddress = 0;
    for (long n = 0; n < statements; n++) {
        // Every mnemonic turns up in the first statements; the weights rule after.
        const Mnemonic& m = n < MnemonicCount ? Mnemonics[n] : gen.PickMnemonic(totalWeight);
        used[&m - Mnemonics]++;
        int size = 0;
        std::string operands = gen.Operands(m, size);
        bool comment = gen.Uniform(10) == 0;
        std::fprintf(pass1, "%lu %s%s%s%s%s\n", address, m.Name, operands.empty() ? "" : " ", operands.c_str(),
            comment ? "\t\t" : "", comment ? Comments[gen.Uniform(5)] : "");
        lastAddress = address;
        address += static_cast<unsigned long>(size);
    }
    std::fclose(sym);
    std::fclose(pass1);

    long unused = 0;
    for (long count : used)
        unused += count == 0 ? 1 : 0;
    std::printf("%s: %ld statements, addresses 0 to %lu, %d symbols, %ld value operands of which %ld (%.1f%%) "
                "name symbols, %ld mnemonics unused\n",
        base.c_str(), statements, lastAddress, symbols, gen.ValueOperands, gen.SymbolOperands,
        gen.ValueOperands ? 100.0 * static_cast<double>(gen.SymbolOperands) / static_cast<double>(gen.ValueOperands)
                          : 0.0,
        unused);
    return 0;
}
