// Large 8085 sources for timing the first pass.
//
//   pass1_generate STATEMENTS SYMBOLS BASENAME [macro]
//
// writes BASENAME.asm: STATEMENTS instructions and data lines that together
// fill most of the 64 KiB, with SYMBOLS names (half labels, half EQU
// constants, the constants first). Operands name symbols drawn evenly from
// the whole table (forward references included), or are numbers in every
// base, expressions with $, HIGH/LOW and character constants; DB lines carry
// strings. About one line in eight has a comment. The statement stream comes
// from a fixed seed, so sources for 10 and 10,000 symbols differ only in the
// names they use.
//
// With "macro" the same program is written with the text layer: the
// constants in an include file BASENAME-equ.inc, a thousand macro
// definitions in the library BASENAME.LIB (MACLIB), and every second
// statement a call of one of them whose expansion is that statement (and a
// conditional that skips a line), so both sources give the same bytes.
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

// One kind of line: its text with @B (a byte operand), @W (a word operand)
// standing for an operand, and its size in bytes.
struct LineForm {
    const char* Text;
    int Size;
    int Weight;
};

const LineForm Forms[] = {
    {"MOV A,B", 1, 120},
    {"MOV M,A", 1, 40},
    {"MVI A,@B", 2, 60},
    {"MVI C,@B", 2, 30},
    {"LXI H,@W", 3, 40},
    {"LXI SP,@W", 3, 4},
    {"LDA @W", 3, 12},
    {"STA @W", 3, 12},
    {"CALL @W", 3, 60},
    {"JMP @W", 3, 30},
    {"JNZ @W", 3, 40},
    {"CPI @B", 2, 30},
    {"ANI @B", 2, 20},
    {"OUT @B", 2, 10},
    {"INX H", 1, 50},
    {"DCR C", 1, 40},
    {"PUSH PSW", 1, 20},
    {"POP B", 1, 20},
    {"DAD D", 1, 10},
    {"LDAX D", 1, 10},
    {"RST 7", 1, 4},
    {"RET", 1, 50},
    {"XCHG", 1, 20},
    {"NOP", 1, 10},
    {"DB 'TEXT ''@''', 0DH, 0AH, '$'", 11, 6},
    {"DB @B,@B,@B,@B", 4, 6},
    {"DW @W,@W", 4, 6},
};

const char* const ByteLiterals[] = {"0", "255", "0FFH", "7FH", "101B", "17Q", "'A'", "LOW 1234H", "-1", "10D"};
const char* const WordLiterals[] = {"0", "1234H", "0FFFFH", "$", "$+3", "HIGH 0ABCDH SHL 8", "2*100H+5", "'AB'"};

const int MacroCount = 1000;

// Each macro writes its operation and operands, then skips a line: the
// expansion is the statement plus three conditional lines.
bool WriteMacroLibrary(const std::string& path)
{
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (out == nullptr)
        return false;
    for (int i = 0; i < MacroCount; i++)
        std::fprintf(out, "M%04d\tMACRO\tOP,ARGS\t;; operation and operands\n\tOP\tARGS\n\tIF\tDEBUG\n\tNOP\n\tENDIF\n\tENDM\n",
            i);
    return std::fclose(out) == 0;
}

std::string SymbolName(int index)
{
    char name[16];
    std::snprintf(name, sizeof name, "%s%05d", index % 2 == 0 ? "LBL" : "VAL", index);
    return name;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 4 && !(argc == 5 && std::string(argv[4]) == "macro")) {
        std::fprintf(stderr, "usage: pass1_generate STATEMENTS SYMBOLS BASENAME [macro]\n");
        return 2;
    }
    const bool macros = argc == 5;
    const int statements = std::atoi(argv[1]);
    const int symbols = std::atoi(argv[2]) < 2 ? 2 : std::atoi(argv[2]);
    const std::string path = std::string(argv[3]) + ".asm";
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (out == nullptr)
        return 2;

    std::vector<int> weights;
    for (const LineForm& form : Forms)
        weights.push_back(form.Weight);
    std::mt19937 lines(85);   // the statement stream
    std::mt19937 picks(8085); // which symbol an operand names
    std::discrete_distribution<int> chooseForm(weights.begin(), weights.end());
    std::uniform_int_distribution<int> chooseSymbol(0, symbols - 1);
    std::uniform_int_distribution<int> percent(0, 99);

    std::fprintf(out, "; generated: %d statements, %d symbols\n\tORG 0\n", statements, symbols);
    std::FILE* constants = out;
    if (macros) {
        const std::string base = argv[3];
        const std::string name = base.substr(base.rfind('/') == std::string::npos ? 0 : base.rfind('/') + 1);
        constants = std::fopen((base + "-equ.inc").c_str(), "w");
        if (constants == nullptr || !WriteMacroLibrary(base + ".LIB"))
            return 2;
        std::fprintf(out, "DEBUG\tEQU 0\n\tMACLIB\t%s\n\tINCLUDE\t%s-equ.inc\n", name.c_str(), name.c_str());
    }
    // The constants: odd symbols, values that fit a byte or a word alike.
    for (int i = 1; i < symbols; i += 2)
        std::fprintf(constants, "%s\tEQU %d\n", SymbolName(i).c_str(), i % 200);
    if (constants != out)
        std::fclose(constants);
    int labelsLeft = symbols / 2;
    const int labelStep = statements / labelsLeft > 0 ? statements / labelsLeft : 1;
    int address = 0;
    int written = 0;
    for (int n = 0; n < statements; n++) {
        const LineForm& form = Forms[chooseForm(lines)];
        std::string text;
        for (const char* p = form.Text; *p != '\0'; p++) {
            if (p[0] == '@' && (p[1] == 'B' || p[1] == 'W')) {
                bool named = percent(lines) < 40;
                int symbol = chooseSymbol(picks);
                if (named && p[1] == 'W')
                    text += SymbolName(symbol - symbol % 2); // a label
                else if (named)
                    text += SymbolName((symbol | 1) < symbols ? (symbol | 1) : 1); // a constant
                else if (p[1] == 'B')
                    text += ByteLiterals[percent(lines) % 10];
                else
                    text += WordLiterals[percent(lines) % 8];
                p++;
            } else {
                text += *p;
            }
        }
        // Labels spread evenly over the program.
        std::string label;
        if (labelsLeft > 0 && n % labelStep == 0) {
            label = SymbolName(2 * (symbols / 2 - labelsLeft)) + ":";
            labelsLeft--;
        }
        const char* comment = percent(lines) < 12 ? "\t; comment" : "";
        if (macros && n % 2 == 1) {
            // "MOV A,B" as "Mnnnn MOV,<A,B>".
            std::size_t blank = text.find(' ');
            std::string operation = text.substr(0, blank);
            std::string operands = blank == std::string::npos ? "" : text.substr(blank + 1);
            std::fprintf(out, "%s\tM%04d\t%s,<%s>%s\n", label.c_str(), n / 2 % MacroCount, operation.c_str(),
                operands.c_str(), comment);
        } else {
            std::fprintf(out, "%s\t%s%s\n", label.c_str(), text.c_str(), comment);
        }
        address += form.Size;
        written++;
    }
    std::fprintf(out, "\tEND 0\n");
    std::fclose(out);
    std::printf("%s: %d statements, %d symbols, %d bytes\n", path.c_str(), written, symbols, address);
    return address > 0x10000 ? 1 : 0;
}
