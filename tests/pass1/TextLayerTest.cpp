// Conditional assembly, macros, repeats and include files: each form with
// the bytes it gives through both passes, and each error with its exact
// message, file and line. The files live in memory.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <stdlib.h>

#include "TestSupport.h"
#include "driver/Run.h"
#include "pass1/LineSource.h"
#include "pass1/Pass1.h"

namespace {

namespace fs = std::filesystem;

typedef std::vector<std::pair<std::string, std::string>> FileList; // the first is prog.asm

struct Outcome {
    int Status;
    std::string Messages;
    std::string Bytes; // the object bytes in address order, "3E 01 ..."
    Pass1Result Result;
};

// Runs both passes on files (the outputs go to a directory of their own);
// include directories are lib, then more.
Outcome Assemble(const FileList& files, long maxExpandedLines = 0)
{
    char pattern[] = "/tmp/text-layer-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr)
        throw std::runtime_error("cannot make a temporary directory");
    const std::string directory = made;
    MemoryFileSystem memory;
    for (const auto& file : files)
        memory.Files[file.first] = file.second;
    memory.Unreadable["bad.inc"] = "Permission denied";
    Pass1Paths paths{"prog.asm", directory + "/prog.pass1", directory + "/prog.sym", ShippedOpcodeTable(), ""};
    paths.IncludeDirectories = {"lib", "more"};
    paths.FileSystem = &memory;
    paths.MaxExpandedLines = maxExpandedLines;
    Outcome outcome;
    std::ostringstream errors;
    outcome.Status = RunPass1(paths, outcome.Result, errors);
    outcome.Messages = errors.str();
    if (outcome.Status == 0) {
        const std::string base = directory + "/prog";
        RunPass2(base.c_str(), ShippedOpcodeTable().c_str(), "");
        std::ifstream object(base + ".o");
        std::string line;
        std::getline(object, line); // the header
        while (std::getline(object, line)) {
            std::istringstream fields(line.substr(std::min(line.find('\t'), line.size())));
            std::string field;
            while (fields >> field && field != "*")
                outcome.Bytes += (outcome.Bytes.empty() ? "" : " ") + field;
        }
    }
    std::error_code ignored;
    fs::remove_all(directory, ignored);
    return outcome;
}

struct FormCase {
    FileList Files;
    const char* Bytes;
};

const FormCase FormCases[] = {
    // IF, ELSE, ENDIF; IFE; IFDEF and IFNDEF; IF1 and IF2; ENDC, dotted and lower-case spellings
    {{{"prog.asm", " IF 1\n MVI A,1\n ELSE\n MVI A,2\n ENDIF\n"}}, "3E 01"},
    {{{"prog.asm", " IF 0\n MVI A,1\n ELSE\n MVI A,2\n ENDIF\n"}}, "3E 02"},
    {{{"prog.asm", " IFE 0\n NOP\n ENDIF\n IFE 5\n HLT\n ENDIF\n"}}, "00"},
    {{{"prog.asm", "X EQU 1\n IFDEF X\n INR A\n ENDIF\n IFNDEF X\n DCR A\n ENDIF\n IFNDEF Y\n INR B\n ENDIF\n"}},
        "3C 04"},
    {{{"prog.asm", " IF1\n NOP\n ENDIF\n IF2\n HLT\n ENDIF\n"}}, "00"},
    {{{"prog.asm", " .if 1\n inr a\n .else\n dcr a\n .endif\n if 0\n nop\n endc\n"}}, "3C"},
    // skipped lines may hold anything but the conditionals, which still nest
    {{{"prog.asm", " IF 0\nthis is 'junk ! with \"quotes\n MVI A,\n ENDM\n MACRO\n IF junk(\n ENDIF\n ELSE\n RET\n ENDIF\n"}},
        "C9"},
    {{{"prog.asm", " IF 1\n IF 0\n NOP\n ELSE\n IF 1\n INR A\n ENDIF\n ENDIF\n ELSE\n IF 1\n HLT\n ENDIF\n ENDIF\n"}}, "3C"},
    // conditions read the symbols above them and the address
    {{{"prog.asm", "N EQU 3\n IF N-3\n NOP\n ELSE\n HLT\n ENDIF\n IF $-1\n INR A\n ENDIF\n"}}, "76"},
    // a SET counter in a repeat
    {{{"prog.asm", "X SET 0\n REPT 3\nX SET X+1\n IF X-2\n DB X\n ENDIF\n ENDM\n"}}, "01 03"},
    // a label on a conditional line takes the address
    {{{"prog.asm", " NOP\nHERE: IF 1\n ENDIF\n DW HERE\n"}}, "00 01 00"},

    // parameters by text; MACRO NAME and .macro spellings; lower case
    {{{"prog.asm", "MOVE MACRO D,S\n MOV D,S\n ENDM\n MOVE A,B\n MOVE C,M\n"}}, "78 4E"},
    {{{"prog.asm", " MACRO LD R,V\n MVI R,V\n ENDM\n LD B,5\n.macro twice x\n inr x\n inr x\n.endm\n twice c\n"}},
        "06 05 0C 0C"},
    // & joins a parameter to the text beside it; a label made from a parameter
    {{{"prog.asm", "GEN MACRO N\nL&N: DB N\n DW L&N\n ENDM\n GEN 7\n"}}, "07 00 00"},
    // <a, b> arguments; a missing argument is empty (IFNB)
    {{{"prog.asm", "DATA MACRO LIST,EXTRA\n DB LIST\n IFNB <EXTRA>\n DB EXTRA\n ENDIF\n ENDM\n DATA <1, 2>\n DATA 3,4\n"}},
        "01 02 03 04"},
    // LOCAL gives each expansion its own label
    {{{"prog.asm", "DELAY MACRO\n LOCAL LOOP\nLOOP: DCR A\n JNZ LOOP\n ENDM\n DELAY\n DELAY\n"}},
        "3D C2 00 00 3D C2 04 00"},
    // EXITM inside a condition ends the expansion
    {{{"prog.asm", "MM MACRO X\n IFB <X>\n EXITM\n ENDIF\n DB X\n ENDM\n MM\n MM 9\n"}}, "09"},
    // recursion ended by a condition
    {{{"prog.asm", "COUNT MACRO N\n IF N\n DB N\n COUNT N-1\n ENDIF\n ENDM\n COUNT 3\n"}}, "03 02 01"},
    // a macro that defines a macro; a macro that calls a macro
    {{{"prog.asm", "OUTER MACRO NAME,OP\nNAME MACRO\n OP\n ENDM\n ENDM\n OUTER HALT,HLT\n HALT\n"}}, "76"},
    {{{"prog.asm", "INNER MACRO\n NOP\n ENDM\nWRAP MACRO\n INNER\n INR A\n ENDM\n WRAP\n"}}, "00 3C"},
    // names are replaced whole (TR stays), inside strings too
    {{{"prog.asm", "S MACRO T,R\n DB 'T',TR,R\n ENDM\nTR EQU 5\n S X,1\n"}}, "58 05 01"},
    // REPT with a count from a symbol, IRP over nothing, IRPC over characters, nested REPT
    {{{"prog.asm", "N EQU 2\n REPT N\n INR A\n ENDM\n IRP X,<>\n HLT\n ENDM\n IRPC C,AB\n DB 'C'\n ENDM\n"}},
        "3C 3C 41 42"},
    {{{"prog.asm", " IRP R,<B,C,D>\n INR R\n ENDM\n"}}, "04 0C 14"},
    {{{"prog.asm", " REPT 2\n REPT 2\n NOP\n ENDM\n HLT\n ENDM\n"}}, "00 00 76 00 00 76"},
    // a label on a call line names the first byte of the expansion
    {{{"prog.asm", "MM MACRO\n NOP\n ENDM\nHERE: MM\n JMP HERE\n"}}, "00 C3 00 00"},
    // IFIDN and IFDIF compare texts, letter case aside
    {{{"prog.asm", "R MACRO X\n IFIDN <X>,<a>\n INR A\n ENDIF\n IFDIF <X>,<A>\n DCR X\n ENDIF\n ENDM\n R A\n R b\n"}},
        "3C 05"},
    // ";;" comments are dropped, ";" comments kept
    {{{"prog.asm", "CMT MACRO\n ;; only a comment\n NOP ;; why\n ENDM\n CMT\n"}}, "00"},

    // INCLUDE in every spelling; a file's lines are read in place
    {{{"prog.asm", " INCLUDE defs.inc\n DB V\n"}, {"defs.inc", "V EQU 7\n"}}, "07"},
    {{{"prog.asm", " INCLUDE \"a.inc\"\n INCLUDE <b.inc>\n .include 'c.inc'\n"}, {"a.inc", " DB 1\n"},
         {"b.inc", " DB 2\n"}, {"c.inc", " DB 3\n"}},
        "01 02 03"},
    // beside the including file first, then -I in order
    {{{"prog.asm", " INCLUDE x.inc\n INCLUDE sub/y.inc\n"}, {"x.inc", " DB 1\n"}, {"lib/x.inc", " DB 2\n"},
         {"sub/y.inc", " INCLUDE z.inc\n"}, {"lib/z.inc", " DB 3\n"}, {"more/z.inc", " DB 4\n"}},
        "01 03"},
    {{{"prog.asm", " INCLUDE w.inc\n"}, {"more/w.inc", " DB 4\n"}}, "04"},
    // names as written, then upper and lower case; MACLIB adds .LIB
    {{{"prog.asm", " MACLIB macs\n INCLUDE Defs.Inc\n"}, {"MACS.LIB", "MM MACRO\n DB 5\n ENDM\n"}, {"defs.inc", " MM\n"}},
        "05"},
};

TEST(TextLayer, FormsGiveTheirBytes)
{
    for (const FormCase& c : FormCases) {
        Outcome outcome = Assemble(c.Files);
        EXPECT_EQ(outcome.Status, 0) << c.Files[0].second << outcome.Messages;
        EXPECT_EQ(outcome.Messages, "") << c.Files[0].second;
        EXPECT_EQ(outcome.Bytes, c.Bytes) << c.Files[0].second;
    }
}

struct ErrorCase {
    FileList Files;
    const char* Messages;
};

const ErrorCase ErrorCases[] = {
    {{{"prog.asm", " ELSE\n ENDIF\n"}}, "prog.asm:1: error: ELSE without IF\nprog.asm:2: error: ENDIF without IF\n"},
    {{{"prog.asm", " NOP\n IF 1\n NOP\n"}}, "prog.asm:2: error: IF without ENDIF: the end of prog.asm comes first\n"},
    {{{"prog.asm", " IF 1\n ELSE\n ELSE\n ENDIF\n"}}, "prog.asm:3: error: a second ELSE for the IF at prog.asm:1\n"},
    {{{"prog.asm", " IF LATER\n ENDIF\nLATER EQU 1\n"}},
        "prog.asm:1: error: the operand of IF uses LATER, which is not defined before this line\n"},
    {{{"prog.asm", " IFIDN <a>\n ENDIF\n IFDEF\n ENDIF\n"}},
        "prog.asm:1: error: IFIDN takes two arguments (<a>,<b>), found 1\nprog.asm:3: error: IFDEF takes one name\n"},
    // an include must close its own conditionals
    {{{"prog.asm", " INCLUDE a.inc\n ENDIF\n"}, {"a.inc", " NOP\n IF 1\n"}},
        "a.inc:2: error: IF without ENDIF: the end of a.inc comes first (included from prog.asm:1)\n"
        "prog.asm:2: error: ENDIF without IF\n"},
    {{{"prog.asm", "MM MACRO\n IF 1\n ENDM\n MM\n"}},
        "prog.asm:2: error: IF without ENDIF: the end of the expansion of MM comes first (in expansion of MM at "
        "prog.asm:4)\n"},
    {{{"prog.asm", " ENDM\n LOCAL X\n EXITM\n"}},
        "prog.asm:1: error: ENDM without MACRO, REPT, IRP or IRPC\nprog.asm:2: error: LOCAL outside a macro\n"
        "prog.asm:3: error: EXITM outside a macro\n"},
    {{{"prog.asm", "MM MACRO\n NOP\n"}}, "prog.asm:1: error: MACRO without ENDM: the end of prog.asm comes first\n"},
    {{{"prog.asm", "MM MACRO A\n ENDM\n MM 1,2\n"}}, "prog.asm:3: error: MM takes 1 argument, found 2\n"},
    {{{"prog.asm", "MM MACRO 1X\n ENDM\n IRP X\n ENDM\n INCLUDE\n"}},
        "prog.asm:1: error: a macro parameter or LOCAL name must be a name, not '1X'\n"
        "prog.asm:3: error: IRP takes a parameter name and a list\nprog.asm:5: error: INCLUDE without a file name\n"},
    // names: a macro is no label, a symbol or a mnemonic no macro, and a macro is defined before its use
    {{{"prog.asm", "MM MACRO\n ENDM\nMM: NOP\nX EQU 1\nX MACRO\n ENDM\nMOV MACRO\n ENDM\n LATER\nLATER MACRO\n ENDM\n"}},
        "prog.asm:3: error: MM is a macro and cannot be a label\n"
        "prog.asm:5: error: X is already a symbol and cannot name a macro\n"
        "prog.asm:7: error: MOV is a mnemonic and cannot name a macro\n"
        "prog.asm:9: error: unknown mnemonic or directive 'LATER'\n"},
    // errors inside expansions name the body line and the calls
    {{{"prog.asm", "MOVE MACRO D,S\n MOV D,S\n ENDM\n NOP\n MOVE A,Q\n"}},
        "prog.asm:2: error: MOV takes a register A, B, C, D, E, H, L or M, not 'Q' (in expansion of MOVE at "
        "prog.asm:5)\n"},
    {{{"prog.asm", "IN1 MACRO\n FOO\n ENDM\nOUT1 MACRO\n IN1\n ENDM\n OUT1\n"}},
        "prog.asm:2: error: unknown mnemonic or directive 'FOO' (in expansion of IN1 at prog.asm:5, in expansion of "
        "OUT1 at prog.asm:7)\n"},
    {{{"prog.asm", " INCLUDE m.inc\n BAD\n"}, {"m.inc", "BAD MACRO\n DB 300\n ENDM\n"}},
        "m.inc:2: error: value 300 does not fit in a byte (-128 to 255) (in expansion of BAD at prog.asm:2)\n"},
    {{{"prog.asm", "MM MACRO\nL1: NOP\n ENDM\n MM\n MM\n"}},
        "prog.asm:2: error: symbol L1 is already defined at prog.asm:2 (in expansion of MM at prog.asm:5)\n"},
    // include files: errors in them, not found, unreadable, circles
    {{{"prog.asm", " INCLUDE a.inc\n"}, {"a.inc", " JMP NOWHERE\n"}},
        "a.inc:1: error: undefined symbol NOWHERE (included from prog.asm:1)\n"},
    {{{"prog.asm", " INCLUDE missing.inc\n INCLUDE bad.inc\n"}},
        "prog.asm:1: error: cannot find include file 'missing.inc' (looked in ., lib, more)\n"
        "prog.asm:2: error: cannot read include file bad.inc: Permission denied\n"},
    {{{"prog.asm", " INCLUDE a.inc\n"}, {"a.inc", " INCLUDE b.inc\n"}, {"b.inc", " INCLUDE a.inc\n"}},
        "b.inc:1: error: include circle: a.inc -> b.inc -> a.inc (included from a.inc:1, included from prog.asm:1)\n"},
    // a line that doubles at each call, until it is too long (the chain shortened)
    {{{"prog.asm", "DBL MACRO X\n DBL X&X\n ENDM\n DBL AB\n"}},
        "prog.asm:2: error: a line made by substitution is longer than 8192 characters ("
        "in expansion of DBL at prog.asm:2, in expansion of DBL at prog.asm:2, in expansion of DBL at prog.asm:2, in expansion of DBL at prog.asm:2, ..., "
        "in expansion of DBL at prog.asm:2, in expansion of DBL at prog.asm:2, in expansion of DBL at prog.asm:2, in expansion of DBL at prog.asm:4)\n"},
    // recursion without end: one error at the first call
    {{{"prog.asm", "R MACRO\n R\n ENDM\n NOP\n R\n"}},
        "prog.asm:5: error: expansions nested deeper than 1024 levels at R (a macro that calls itself without end?)\n"},
};

TEST(TextLayer, ErrorsNameTheirFileLineAndChain)
{
    for (const ErrorCase& c : ErrorCases) {
        Outcome outcome = Assemble(c.Files);
        EXPECT_EQ(outcome.Status, 1) << c.Files[0].second;
        EXPECT_EQ(outcome.Messages, c.Messages) << c.Files[0].second;
    }
}

TEST(TextLayer, BoundsEndInOneError)
{
    // the total of expanded lines, also for two calls per level
    Outcome repeat = Assemble({{"prog.asm", " NOP\n REPT 1000\n NOP\n ENDM\n REPT 1000\n NOP\n ENDM\n"}}, 100);
    EXPECT_EQ(repeat.Messages,
        "prog.asm:2: error: expansions made more than 100 lines (a repeat or recursion without end?); nothing more is "
        "expanded\n");
    Outcome tree = Assemble({{"prog.asm", "T MACRO\n T\n T\n ENDM\n T\n"}}, 5000);
    EXPECT_EQ(tree.Status, 1);
    EXPECT_EQ(std::count(tree.Messages.begin(), tree.Messages.end(), '\n'), 1) << tree.Messages;
    // include depth: 32 files open at once, the main one counted
    FileList chain = {{"prog.asm", " INCLUDE i1.inc\n"}};
    for (int i = 1; i <= 40; i++)
        chain.emplace_back("i" + std::to_string(i) + ".inc", " INCLUDE i" + std::to_string(i + 1) + ".inc\n");
    Outcome deep = Assemble(chain);
    EXPECT_EQ(deep.Messages.substr(0, deep.Messages.find(" (")),
        "i31.inc:1: error: include files nested deeper than 32");
    EXPECT_NE(deep.Messages.find("included from i30.inc:1, included from i29.inc:1, included from i28.inc:1, "
                                 "included from i27.inc:1, ..., included from i3.inc:1, included from i2.inc:1, "
                                 "included from i1.inc:1, included from prog.asm:1)"),
        std::string::npos)
        << deep.Messages;
    // conditionals nest 40 deep
    std::string nested;
    for (int i = 0; i < 40; i++)
        nested += " IF 1\n";
    nested += " NOP\n";
    for (int i = 0; i < 40; i++)
        nested += " ENDIF\n";
    EXPECT_EQ(Assemble({{"prog.asm", nested}}).Bytes, "00");
}

// What the listing gets: every line with its file and line, expansions and
// skipped lines marked, ";;" comments gone.
TEST(TextLayer, ListedLinesKeepTheirOrigin)
{
    Outcome outcome = Assemble({{"prog.asm", " INCLUDE m.inc\n IF 0\n HLT\n ENDIF\n TWO\n"},
        {"m.inc", "TWO MACRO\n ;; said once\n NOP ;; and here\n ENDM\n"}});
    ASSERT_EQ(outcome.Status, 0) << outcome.Messages;
    EXPECT_EQ(outcome.Result.Files, (std::vector<std::string>{"prog.asm", "m.inc"}));
    std::string listed;
    for (const ListedLine& line : outcome.Result.Lines)
        listed += std::to_string(line.File) + ":" + std::to_string(line.LineNumber) + (line.Expanded ? "+" : "")
            + (line.Skipped ? "-" : "") + " " + line.Text + " (" + std::to_string(line.ByteCount) + ")\n";
    EXPECT_EQ(listed,
        "0:1  INCLUDE m.inc (0)\n"
        "1:1 TWO MACRO (0)\n"
        "1:2  ;; said once (0)\n"
        "1:3  NOP ;; and here (0)\n"
        "1:4  ENDM (0)\n"
        "0:2  IF 0 (0)\n"
        "0:3-  HLT (0)\n"
        "0:4  ENDIF (0)\n"
        "0:5  TWO (0)\n"
        "1:3+  NOP (1)\n");
}

} // namespace
