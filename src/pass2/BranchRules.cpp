// Rules 45 to 79: jumps, restarts, calls, returns, machine control.
#include "pass2/EncodingRules.h"

namespace {
const char RstCountMessage[] = "Parse Error: Invalid number of Arguments to RST";
const char RstArgumentMessage[] = "Error: Invalid Argument to RST : ";
} // namespace

const EncodingRule BranchRules[_RuleCount - _TransferRuleCount] = {
    /* 45 JMP  */ {0xC3, WordOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 46 JNZ  */ {0xC2, WordOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 47 JZ   */ {0xCA, WordOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 48 JNC  */ {0xD2, WordOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 49 JC   */ {0xDA, WordOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 50 JPO  */ {0xE2, WordOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 51 JPE  */ {0xEA, WordOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 52 JP   */ {0xF2, WordOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 53 JM   */ {0xFA, WordOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 54 PCHL */ {0xE9, NoOperand, 2, OpcodeFirst, nullptr, nullptr},
    /* 55 RST  */ {0xC7, RestartNumber, 3, DecodeFirst, RstArgumentMessage, RstCountMessage},
    /* 56 CALL */ {0xCD, WordOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 57 CNZ  */ {0xC4, WordOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 58 CZ   */ {0xCC, WordOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 59 CNC  */ {0xD4, WordOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 60 CC   */ {0xDC, WordOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 61 CPO  */ {0xE4, WordOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 62 CPE  */ {0xEC, WordOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 63 CP   */ {0xF4, WordOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 64 CM   */ {0xFC, WordOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 65 RET  */ {0xC9, NoOperand, 0, OpcodeOnly, nullptr, nullptr},
    /* 66 RNZ  */ {0xC0, NoOperand, 0, OpcodeOnly, nullptr, nullptr},
    /* 67 RZ   */ {0xC8, NoOperand, 0, OpcodeOnly, nullptr, nullptr},
    /* 68 RNC  */ {0xD0, NoOperand, 0, OpcodeOnly, nullptr, nullptr},
    /* 69 RC   */ {0xD8, NoOperand, 0, OpcodeOnly, nullptr, nullptr},
    /* 70 RPO  */ {0xE0, NoOperand, 0, OpcodeOnly, nullptr, nullptr},
    /* 71 RPE  */ {0xE8, NoOperand, 0, OpcodeOnly, nullptr, nullptr},
    /* 72 RP   */ {0xF0, NoOperand, 0, OpcodeOnly, nullptr, nullptr},
    /* 73 RM   */ {0xF8, NoOperand, 0, OpcodeOnly, nullptr, nullptr},
    /* 74 NOP  */ {0x00, NoOperand, 0, OpcodeOnly, nullptr, nullptr},
    /* 75 HLT  */ {0x76, NoOperand, 0, OpcodeOnly, nullptr, nullptr},
    /* 76 DI   */ {0xF3, NoOperand, 0, OpcodeOnly, nullptr, nullptr},
    /* 77 EI   */ {0xFB, NoOperand, 0, OpcodeOnly, nullptr, nullptr},
    /* 78 RIM  */ {0x20, NoOperand, 0, OpcodeOnly, nullptr, nullptr},
    /* 79 SIM  */ {0x30, NoOperand, 0, OpcodeOnly, nullptr, nullptr},
};
