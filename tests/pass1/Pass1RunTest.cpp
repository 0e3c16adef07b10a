// The first pass from source to its two files: the forms real sources are
// written in, the operand each statement gets, and every error and warning
// with its line, in one table each.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <stdlib.h>

#include "TestSupport.h"
#include "pass1/Pass1.h"

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A working directory with the shipped opcode table, removed at the end.
struct SourceDirectory {
    std::string Path;
    SourceDirectory()
    {
        char pattern[] = "/tmp/pass1-run-XXXXXX";
        const char* made = mkdtemp(pattern);
        Path = made != nullptr ? made : "";
        fs::copy_file(ShippedOpcodeTable(), Path + "/opcodes.txt");
    }
    ~SourceDirectory()
    {
        std::error_code ignored;
        fs::remove_all(Path, ignored);
    }
    Pass1Paths Paths() const
    {
        return Pass1Paths{
            Path + "/prog.asm", Path + "/prog.pass1", Path + "/prog.sym", Path + "/opcodes.txt", Path + "/log.txt"};
    }
    // Runs the pass on source; messages come back without the directory.
    int Run(const std::string& source, std::string& messages, Pass1Result& result) const
    {
        std::ofstream(Path + "/prog.asm", std::ios::binary) << source;
        std::ostringstream errors;
        int status = RunPass1(Paths(), result, errors);
        messages = errors.str();
        for (std::size_t at; (at = messages.find(Path + "/")) != std::string::npos;)
            messages.erase(at, Path.size() + 1);
        return status;
    }
    bool Exists(const char* name) const { return fs::exists(Path + "/" + name); }
};

struct AcceptedCase {
    const char* Source;
    const char* Statements; // BASE.pass1
    const char* Symbols;    // BASE.sym
};

const AcceptedCase AcceptedCases[] = {
    // empty and comment-only sources give empty files
    {"", "", ""},
    {"; only a comment\n* and a star line\n\n   \n", "", ""},
    // labels with and without colon, a mnemonic in column 1, lower case,
    // tabs, CR LF, no last line end
    {"start:\tmvi a,1\r\nNEXT MOV B,A\r\nHLT\r\n\tlxi\th, start", "0 MVI A,01H\n2 MOV B,A\n3 HLT\n4 LXI H,START\n",
        "START 2 0\nNEXT 2 2\n"},
    {"ALONE:\nTOO\n  NOP\n", "0 NOP\n", "ALONE 2 0\nTOO 2 0\n"},
    // an indented name before an operation, NAME: EQU, comments after everything
    {"  COUNT EQU 5 ; five\nPORT: equ 0F0H\n  DONE NOP ; it's done\n  OUT PORT\n", "0 NOP\n1 OUT PORT\n",
        "COUNT 1 5\nPORT 1 240\nDONE 2 0\n"},
    // a name stays where the second pass gives it the same size; literals elsewhere
    {"B1 EQU 10\nW1 EQU 300\nLP: MVI A,B1\n MVI A,W1-200\n LXI H,B1\n LXI H,W1\n JMP LP\n CALL 5\n MVI C,LP-LP\n LDA "
     "B1+W1\n",
        "0 MVI A,B1\n2 MVI A,64H\n4 LXI H,000AH\n7 LXI H,W1\n10 JMP LP\n13 CALL 0005H\n16 MVI C,00H\n18 LDA 0136H\n",
        "B1 1 10\nW1 2 300\nLP 2 0\n"},
    // negative values in two's complement; a literal that names a symbol is decimal
    {" MVI A,-1\n LXI B,-2\nFFH: ADI 0FFH\nABCDH: LXI D,0ABCDH\n LXI D,10H\n",
        "0 MVI A,255\n2 LXI B,FFFEH\n5 ADI 255\n7 LXI D,43981\n10 LXI D,0010H\n", "FFH 2 5\nABCDH 2 7\n"},
    // forward references: operands, DW, and an EQU of a later label
    {" JMP LATER\nHERE EQU LATER+1\n DW LATER,HERE\nLATER: RST 7\n", "0 JMP LATER\n3 DW 0007H,0008H\n7 RST 7\n",
        "HERE 1 8\nLATER 2 7\n"},
    // $ is the statement's own address, in DB and DW too
    {" ORG 100H\n JMP $\n DW $,$+2\n DB $-100H\n", "256 JMP 0100H\n259 DW 0103H,0105H\n263 DB 07H\n", ""},
    // strings: doubled quotes, both quote kinds, ; and , inside, empty strings
    {" DB 'it''s', 0DH, \"a;b,c\", ''\n DB ''\n DW 'AB','C'\n",
        "0 DB 69H,74H,27H,73H,0DH,61H,3BH,62H,2CH,63H\n10 DW 4142H,0043H\n", ""},
    // long lists go on over several statements at the following addresses
    {" DB 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15\n DW 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15\n",
        "0 DB 01H,02H,03H,04H,05H,06H,07H,08H,09H,0AH,0BH,0CH,0DH,0EH\n14 DB 0FH\n"
        "15 DW 0001H,0002H,0003H,0004H,0005H,0006H,0007H,0008H,0009H,000AH,000BH,000CH,000DH,000EH\n43 DW 000FH\n",
        ""},
    // ORG, DS, SET: SET is worked out in order, stays a literal, ends with its last value
    {"N SET 1\n MVI A,N\nN SET N+1\n MVI A,N\n DS 10H\nX: ORG 20H\nY: DS 2\nZ:\n", "0 MVI A,01H\n2 MVI A,02H\n",
        "N 1 2\nX 2 32\nY 2 32\nZ 2 34\n"},
    // listing controls and $ control lines have no effect; after END nothing counts
    {"$MOD85\n TITLE 'monitor'\n PAGE\n EJECT\n NOP\n END 0\n this is not assembled\n", "0 NOP\n", ""},
    // listing controls and directives this assembler lacks are no reserved words: before a
    // mnemonic or directive they are labels
    {"LOCAL: NOP\nREPT DB 1\nPAGE DS 1\nTITLE: DB 2\n  EJECT MVI A,PAGE\n LXI H,TITLE\n",
        "0 NOP\n1 DB 01H\n3 DB 02H\n4 MVI A,02H\n6 LXI H,TITLE\n",
        "LOCAL 2 0\nREPT 2 1\nPAGE 2 2\nTITLE 2 3\nEJECT 2 4\n"},
    // operators that are words, character constants as byte operands
    {" ANI NOT 80H AND 0FFH\n CPI 'a'-20H\n MVI A,' '\n MVI A,','\n MVI A,';'\n",
        "0 ANI 7FH\n2 CPI 41H\n4 MVI A,20H\n6 MVI A,2CH\n8 MVI A,3BH\n", ""},
    // a program that ends on the last byte of memory; a label there, like $, wraps to 0
    {" ORG 0FFFEH\nTOP: DW $\nPAST:\nSIZE EQU $-TOP\n", "65534 DW FFFEH\n", "TOP 2 65534\nPAST 2 0\nSIZE 1 2\n"},
    // CP/M's end-of-file mark ends the source, in a comment too, but not in a string
    {" NOP\x1A\r\n\x1A\x1A garbage ~~ of the last record\n", "0 NOP\n", ""},
    {" DB '\x1A;'\n NOP ; don't\x1A\n garbage", "0 DB 1AH,3BH\n2 NOP\n", ""},
    // CP/M's $ marks inside names and numbers are dropped; $ alone is the address
    {"OK$MSG: DB 'A'\n LXI D,ok$msg\n JMP $+3\n LXI H,0FF$FFH\nCPU$OK EQU $\n",
        "0 DB 41H\n1 LXI D,OKMSG\n4 JMP 0007H\n7 LXI H,FFFFH\n", "OKMSG 2 0\nCPUOK 1 10\n"},
    // form feeds of old listings are blanks, also before a label or mnemonic
    {"\fLOOP: NOP\n\f\n\fNOP\n\fNEXT NOP\n", "0 NOP\n1 NOP\n2 NOP\n", "LOOP 2 0\nNEXT 2 2\n"},
    // a UTF-8 byte order mark before the first line
    {"\xEF\xBB\xBFSTART: NOP\n", "0 NOP\n", "START 2 0\n"},
    // "!" separates statements outside strings and comments
    {" xchg! shld 100H! xchg ;info=DE! not a statement\nmov a,m!ora a!rz\n DB 'a!b'! DB '!'\n",
        "0 XCHG\n1 SHLD 0100H\n4 XCHG\n5 MOV A,M\n6 ORA A\n7 RZ\n8 DB 61H,21H,62H\n11 DB 21H\n", ""},
    // the cross assemblers' numbers and operators; "!=" compares, "//" starts a comment
    {" MVI A,$1F! MVI B,%101 % 3 ; x\n DB 1 != 2, 0x10 | 1 // 2\n// a comment line\n LXI H,~0 ; y\n",
        "0 MVI A,1FH\n2 MVI B,02H\n4 DB FFH,11H\n6 LXI H,FFFFH\n", ""},
    // every spelling of the data directives, a dot in any directive, .END ends the source
    {" .org 100h\nSTART: .db 1, 'AB'\n .DW 1234h\n DEFB 2\n DEFW 5\n DEFM \"hi\"\n .byte 3\n .b 4\n .word 6\n"
     " .w 7\n .text \"x\"\n .ascii 'y'\n .asciz \"ok\"\n .block 2\n DEFS 1\n .ds 1\n .fill 3, 0AAh\n .fill 2\n"
     " .end\n NOP\n",
        "256 DB 01H,41H,42H\n259 DW 1234H\n261 DB 02H\n262 DW 0005H\n264 DB 68H,69H\n266 DB 03H\n267 DB 04H\n"
        "268 DW 0006H\n270 DW 0007H\n272 DB 78H\n273 DB 79H\n274 DB 6FH,6BH,00H\n281 DB AAH,AAH,AAH\n"
        "284 DB 00H,00H\n",
        "START 2 256\n"},
    // constants: NAME = expr and DEFL as SET, .equ and .set with the name first or as an operand
    {"N = 3\nN = N + 1\n MVI A,N\nK .equ 10h\n .equ J, K+1\nV DEFL 1\n .set W, 2\n MVI B,K\n MVI C,J\n"
     " MVI D,V\n MVI E,W\n DB N == 4, N = 4\n",
        "0 MVI A,04H\n2 MVI B,K\n4 MVI C,J\n6 MVI D,01H\n8 MVI E,02H\n10 DB FFH,FFH\n",
        "N 1 4\nK 1 16\nJ 1 17\nV 1 1\nW 1 2\n"},
    // a mnemonic where an operation stands is one; a name with a colon or before EQU is a symbol
    {"RIM EQU 20H\n IN RIM\n JZ END\ndaa:  DAA\n JMP daa\nend: HLT\n DW END, DAA\n",
        "0 IN RIM\n2 JZ END\n5 DAA\n6 JMP DAA\n9 HLT\n10 DW 0009H,0005H\n", "RIM 1 32\nDAA 2 5\nEND 2 9\n"},
    // CPU lines, and the listing controls of other assemblers; a label on .org names the new address
    {" CPU 8085\n RIM\n .8080\n NOP\n .cpu 8085\n SIM\n .8085\n .list\n .nolist\n .title \"x\"\n .subttl y\n"
     " .page\n .eject\n .project DEMO\n .tape\n ASEG\n LIST\n NOLIST\n .xlist\n .module m\n RELAXED ON\nTOP .org 10h\n NOP\n",
        "0 RIM\n1 NOP\n2 SIM\n16 NOP\n", "TOP 2 16\n"},
    // a warning alone still writes the files
    {" MOV M,M\n", "0 MOV M,M\n", ""},
    // names of 63 characters, and the characters _ ? @
    {"L23456789012345678901234567890123456789012345678901234567890123: JMP "
     "L23456789012345678901234567890123456789012345678901234567890123\n_A?@1: NOP\n",
        "0 JMP L23456789012345678901234567890123456789012345678901234567890123\n3 NOP\n",
        "L23456789012345678901234567890123456789012345678901234567890123 2 0\n_A?@1 2 3\n"},
};

TEST(Pass1Run, AcceptedSources)
{
    SourceDirectory directory;
    for (const AcceptedCase& c : AcceptedCases) {
        std::string messages;
        Pass1Result result;
        int status = directory.Run(c.Source, messages, result);
        EXPECT_EQ(status, 0) << c.Source;
        EXPECT_EQ(ReadFile(directory.Path + "/prog.pass1"), c.Statements) << c.Source;
        EXPECT_EQ(ReadFile(directory.Path + "/prog.sym"), c.Symbols) << c.Source;
        EXPECT_EQ(result.ErrorCount, 0) << c.Source << messages;
    }
}

struct RejectedCase {
    const char* Source;
    const char* Messages; // standard error, with the file named prog.asm
};

const RejectedCase RejectedCases[] = {
    {" FOO A,B\n", "prog.asm:1: error: unknown mnemonic or directive 'FOO'\n"},
    // the text layer reads these now: the INCLUDE is part of LOOP's body
    {" IF 1\n NOP\n ENDIF\nLOOP MACRO\n INCLUDE 'x.asm'\n",
        "prog.asm:4: error: MACRO without ENDM: the end of prog.asm comes first\n"},
    {" MOV A\n NOP 1\n MVI A\n DB\n ORG\n END 1,2\n",
        "prog.asm:1: error: MOV takes 2 operands, found 1\n"
        "prog.asm:2: error: NOP takes 0 operands, found 1\n"
        "prog.asm:3: error: MVI takes 2 operands, found 1\n"
        "prog.asm:4: error: DB takes at least one item\n"
        "prog.asm:5: error: ORG takes 1 operand, found 0\n"
        "prog.asm:6: error: END takes 1 operand, found 2\n"},
    {" MOV A,X\n INR SP\n LDAX H\n STAX PSW\n PUSH SP\n POP A\n DAD PSW\n LXI PSW,0\n INX M\n",
        "prog.asm:1: error: MOV takes a register A, B, C, D, E, H, L or M, not 'X'\n"
        "prog.asm:2: error: INR takes a register A, B, C, D, E, H, L or M, not 'SP'\n"
        "prog.asm:3: error: LDAX takes the register pair B or D, not 'H'\n"
        "prog.asm:4: error: STAX takes the register pair B or D, not 'PSW'\n"
        "prog.asm:5: error: PUSH takes the register pair B, D, H or PSW, not 'SP'\n"
        "prog.asm:6: error: POP takes the register pair B, D, H or PSW, not 'A'\n"
        "prog.asm:7: error: DAD takes the register pair B, D, H or SP, not 'PSW'\n"
        "prog.asm:8: error: LXI takes the register pair B, D, H or SP, not 'PSW'\n"
        "prog.asm:9: error: INX takes the register pair B, D, H or SP, not 'M'\n"},
    {" JMP NOWHERE\n DB 1,MISSING\nX EQU UNKNOWN\n",
        "prog.asm:1: error: undefined symbol NOWHERE\n"
        "prog.asm:2: error: undefined symbol MISSING\n"
        "prog.asm:3: error: undefined symbol UNKNOWN\n"},
    {"LOOP: NOP\nloop: NOP\nK EQU 1\nK SET 2\nV SET 1\nV EQU 2\nV SET 3\n",
        "prog.asm:2: error: symbol LOOP is already defined on line 1\n"
        "prog.asm:4: error: symbol K is already defined on line 3\n"
        "prog.asm:6: error: symbol V is already defined on line 5\n"},
    // registers and operators stay reserved; a mnemonic or directive is a symbol with a warning
    {"A: NOP\nMOV EQU 1\nSP SET 2\nDB: NOP\nAND: NOP\nPSW\nLT EQU 1\n",
        "prog.asm:1: error: A is a register name and cannot be a label\n"
        "prog.asm:2: warning: MOV is also a mnemonic; as a symbol it stands only in operands\n"
        "prog.asm:3: error: SP is a register name and cannot be a label\n"
        "prog.asm:4: warning: DB is also a directive; as a symbol it stands only in operands\n"
        "prog.asm:5: error: AND is an operator and cannot be a label\n"
        "prog.asm:6: error: PSW is a register name and cannot be a label\n"
        "prog.asm:7: error: LT is an operator and cannot be a label\n"},
    {" MVI A,256\n MVI A,-129\n DB 300\n RST 8\n RST -1\n LXI H,65536\n MVI A,-128\n DB -1\n",
        "prog.asm:1: error: value 256 does not fit in a byte (-128 to 255)\n"
        "prog.asm:2: error: value -129 does not fit in a byte (-128 to 255)\n"
        "prog.asm:3: error: value 300 does not fit in a byte (-128 to 255)\n"
        "prog.asm:4: error: restart number 8 is outside 0 to 7\n"
        "prog.asm:5: error: restart number -1 is outside 0 to 7\n"
        "prog.asm:6: error: number 65536 does not fit in 16 bits (largest 65535, 0FFFFH)\n"},
    {" MVI A,12G\n MVI A,102B\n MVI A,FFH\n DW 8Q\n",
        "prog.asm:1: error: malformed number 12G\n"
        "prog.asm:2: error: malformed number 102B\n"
        "prog.asm:3: error: undefined symbol FFH (a hexadecimal number must start with a digit: 0FFH)\n"
        "prog.asm:4: error: malformed number 8Q\n"},
    {" MVI A,B\n LXI H,0ABH+aBh\n",
        "prog.asm:1: error: undefined symbol B (B is a register; a value is wanted here)\n"
        "prog.asm:2: error: undefined symbol ABH (a hexadecimal number must start with a digit: 0ABH)\n"},
    {" CPU 8080\n RIM\n SIM\n CPU Z80\n .8085 1\n CPU\n",
        "prog.asm:2: error: RIM is an 8085 instruction, and the CPU line above chose the 8080\n"
        "prog.asm:3: error: SIM is an 8085 instruction, and the CPU line above chose the 8080\n"
        "prog.asm:4: error: CPU Z80 is not supported: this assembler knows the 8080 and the 8085\n"
        "prog.asm:5: error: .8085 takes 0 operands, found 1\n"
        "prog.asm:6: error: CPU takes 1 operand, found 0\n"},
    // one error for each word of the relocating assemblers; external names add none
    {" CSEG\n PUBLIC START\n EXTRN PRINT\nSTART: CALL PRINT\n DSEG\n CSEG\n .phase 100h\n NAME MYMOD\n",
        "prog.asm:1: error: CSEG: relocatable sections need a linker: not supported (later lines with it are not "
        "reported again)\n"
        "prog.asm:2: error: PUBLIC: relocatable sections need a linker: not supported (later lines with it are not "
        "reported again)\n"
        "prog.asm:3: error: EXTRN: relocatable sections need a linker: not supported (later lines with it are not "
        "reported again)\n"
        "prog.asm:5: error: DSEG: relocatable sections need a linker: not supported (later lines with it are not "
        "reported again)\n"
        "prog.asm:7: error: .PHASE: relocatable sections need a linker: not supported (later lines with it are not "
        "reported again)\n"
        "prog.asm:8: error: NAME: relocatable sections need a linker: not supported (later lines with it are not "
        "reported again)\n"},
    {" .fill\n .fill 1,2,3\n .fill LATER\n .fill 2, 300\n .asciz\n .foo 1\n .nop\nX =\nLATER: NOP\n",
        "prog.asm:1: error: .FILL takes 1 operand, found 0\n"
        "prog.asm:2: error: .FILL takes 2 operands, found 3\n"
        "prog.asm:3: error: the operand of .FILL uses LATER, which is not defined before this line\n"
        "prog.asm:4: error: value 300 does not fit in a byte (-128 to 255)\n"
        "prog.asm:5: error: .ASCIZ takes at least one item\n"
        "prog.asm:6: error: unknown mnemonic or directive '.FOO'\n"
        "prog.asm:7: error: unknown mnemonic or directive '.NOP'\n"
        "prog.asm:8: error: = takes 1 operand, found 0\n"},
    {" DB 'abc\n MVI A,'x\n", "prog.asm:1: error: unterminated string\nprog.asm:2: error: unterminated string\n"},
    {" MVI A,(1\n DB 1 2\n MVI A,,\n MVI A,\n 1: NOP\n NOP,\n",
        "prog.asm:1: error: syntax error in expression: ')' expected, found the end of the expression\n"
        "prog.asm:2: error: syntax error in expression: unexpected '2'\n"
        "prog.asm:3: error: missing operand: two commas, or a comma at the start or end of the operands\n"
        "prog.asm:4: error: missing operand: two commas, or a comma at the start or end of the operands\n"
        "prog.asm:5: error: syntax error: a line starts with a label, a mnemonic, a directive or a comment, not 1\n"
        "prog.asm:6: error: syntax error: unexpected , after NOP\n"},
    {" MVI A,1/0\nZ EQU 0\n DW 5 MOD Z\n",
        "prog.asm:1: error: division by zero\nprog.asm:3: error: division by zero\n"},
    {" ORG LATER\n DS LATER\nAHEAD EQU LATER\n ORG AHEAD\nLATER: NOP\n",
        "prog.asm:1: error: the operand of ORG uses LATER, which is not defined before this line\n"
        "prog.asm:2: error: the operand of DS uses LATER, which is not defined before this line\n"
        "prog.asm:4: error: the operand of ORG uses AHEAD, which is not defined before this line\n"},
    {"P EQU Q\nQ EQU P+1\n",
        "prog.asm:1: error: the value of P depends on itself\n"
        "prog.asm:2: error: the value of Q depends on itself\n"},
    {" ORG 0FFFFH\n NOP\n NOP\n NOP\n ORG 0FFFEH\n DW 1,2\n ORG 0FFF0H\n DS 20H\n",
        "prog.asm:3: error: address beyond FFFFH\nprog.asm:6: error: address beyond FFFFH\n"
        "prog.asm:8: error: address beyond FFFFH\n"},
    {" EQU 5\n SET 3\n", "prog.asm:1: error: EQU without a name\nprog.asm:2: error: SET without a name\n"},
    {" NOP!FOO\n NOP!*\n",
        "prog.asm:1: error: unknown mnemonic or directive 'FOO'\n"
        "prog.asm:2: error: syntax error: a line starts with a label, a mnemonic, a directive or a "
        "comment, not *\n"},
    {"L234567890123456789012345678901234567890123456789012345678901234: NOP\n",
        "prog.asm:1: error: name L234567890123456789012345678901234567890123456789012345678901234 has 64 characters; "
        "names have at most 63\n"},
    // a warning among errors, and every error of the file, not just the first
    {" MOV M,M\n JMP X\n\xC3\xA9t\xC3\xA9: NOP\n",
        "prog.asm:1: warning: MOV M,M is encoded as 76H, which is HLT\n"
        "prog.asm:2: error: undefined symbol X\n"
        "prog.asm:3: error: syntax error: a line starts with a label, a mnemonic, a directive or a comment, not "
        "\\xC3\n"},
};

TEST(Pass1Run, RejectedSources)
{
    SourceDirectory directory;
    for (const RejectedCase& c : RejectedCases) {
        std::ofstream(directory.Path + "/prog.pass1") << "0 NOP\n"; // a stale file of an earlier run
        std::string messages;
        Pass1Result result;
        EXPECT_EQ(directory.Run(c.Source, messages, result), 1) << c.Source;
        EXPECT_EQ(messages, c.Messages) << c.Source;
        EXPECT_FALSE(directory.Exists("prog.pass1")) << c.Source;
        EXPECT_FALSE(directory.Exists("prog.sym")) << c.Source;
    }
}

// What the front and the listing read: each line's address, size and value.
TEST(Pass1Run, ResultListsEveryLine)
{
    SourceDirectory directory;
    std::string messages;
    Pass1Result result;
    ASSERT_EQ(directory.Run(" ORG 800H\nGO: MVI A,1\nN EQU 7\n DS 3\n DB 'ab'\n END GO\n junk\n", messages, result), 0);
    ASSERT_EQ(result.Lines.size(), 7u);
    struct Expected {
        bool HasAddress;
        unsigned Address;
        int ByteCount;
        bool HasValue;
        unsigned Value;
    };
    const Expected expected[] = {{true, 0x800, 0, true, 0x800}, {true, 0x800, 2, false, 0}, {false, 0, 0, true, 7},
        {true, 0x802, 0, true, 3}, {true, 0x805, 2, false, 0}, {false, 0, 0, true, 0x800}, {false, 0, 0, false, 0}};
    for (std::size_t i = 0; i < 7; i++) {
        const ListedLine& line = result.Lines[i];
        EXPECT_EQ(line.LineNumber, static_cast<int>(i + 1));
        EXPECT_EQ(line.HasAddress, expected[i].HasAddress) << i;
        if (line.HasAddress) {
            EXPECT_EQ(line.Address, expected[i].Address) << i;
        }
        EXPECT_EQ(line.ByteCount, expected[i].ByteCount) << i;
        EXPECT_EQ(line.HasValue, expected[i].HasValue) << i;
        if (line.HasValue) {
            EXPECT_EQ(line.Value, expected[i].Value) << i;
        }
    }
    EXPECT_EQ(result.Lines[1].Text, "GO: MVI A,1");
    ASSERT_EQ(result.Symbols.size(), 2u);
    EXPECT_EQ(result.Symbols[1].Name, "N");
    EXPECT_EQ(result.Symbols[1].LineNumber, 3);
    EXPECT_TRUE(result.HasStartAddress);
    EXPECT_EQ(result.StartAddress, 0x800);
}

// A line of several statements is listed once, with the bytes of them all.
TEST(Pass1Run, ResultAddsUpStatementsOfOneLine)
{
    SourceDirectory directory;
    std::string messages;
    Pass1Result result;
    ASSERT_EQ(directory.Run(" NOP\nGO: MVI A,1! LXI H,GO! RET\n", messages, result), 0);
    ASSERT_EQ(result.Lines.size(), 2u);
    EXPECT_EQ(result.Lines[1].Address, 1);
    EXPECT_EQ(result.Lines[1].ByteCount, 6);
    EXPECT_EQ(result.Lines[1].Text, "GO: MVI A,1! LXI H,GO! RET");
}

// A missing source or opcode table is an I/O failure, not an error of the source.
TEST(Pass1Run, MissingFilesAreIoFailures)
{
    SourceDirectory directory;
    Pass1Paths paths = directory.Paths();
    Pass1Result result;
    std::ostringstream errors;
    EXPECT_EQ(RunPass1(paths, result, errors), 2);
    EXPECT_EQ(errors.str(), "Assembler-Pass1: error: cannot read " + paths.Source + ": No such file or directory\n");
    // a directory opens but cannot be read: a message, not an exception
    fs::create_directory(paths.Source);
    errors.str("");
    EXPECT_EQ(RunPass1(paths, result, errors), 2);
    EXPECT_EQ(errors.str(), "Assembler-Pass1: error: cannot read " + paths.Source + ": Is a directory\n");
    fs::remove(paths.Source);
    std::ofstream(paths.Source) << " NOP\n";
    paths.OpcodeTable += ".missing";
    errors.str("");
    EXPECT_EQ(RunPass1(paths, result, errors), 2);
    EXPECT_EQ(
        errors.str(), "Assembler-Pass1: error: cannot read " + paths.OpcodeTable + ": No such file or directory\n");
}

// An output that cannot be written leaves neither file, not even an old one
// or the temporary copy of the one that could be written.
TEST(Pass1Run, UnwritableOutputLeavesNoFiles)
{
    SourceDirectory directory;
    Pass1Paths paths = directory.Paths();
    std::ofstream(paths.Source) << " NOP\n";
    std::ofstream(paths.Statements) << "an old statement file\n";
    paths.Symbols = directory.Path + "/missing/prog.sym";
    Pass1Result result;
    std::ostringstream errors;
    EXPECT_EQ(RunPass1(paths, result, errors), 2);
    EXPECT_EQ(errors.str(), "Assembler-Pass1: error: cannot write " + paths.Symbols + ": No such file or directory\n");
    EXPECT_FALSE(directory.Exists("prog.pass1"));
    EXPECT_FALSE(directory.Exists("prog.pass1.tmp"));
}

} // namespace
