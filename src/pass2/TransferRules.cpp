// Rules 0 to 44: data transfer, stack, input and output, arithmetic, logic.
#include "pass2/EncodingRules.h"

namespace {
const char MviMessage[] = "Error: A byte should follow an MVI instruction";
const char LxiMessage[] = "Error: A 2 Byte Immediate Data should follow an LXI instruction";
const char LdaxMessage[] = "Parse Error: Only B and D is allowed with LDAX";
const char StaxMessage[] = "Parse Error: Only B and D is allowed with STAX";
} // namespace

const EncodingRule TransferRules[_TransferRuleCount] = {
    /*  0 MOV  */ {0x40, RegisterRegister, 4, DecodeFirst, nullptr, nullptr},
    /*  1 MVI  */ {0x06, RegisterByte, 4, DecodeFirst, MviMessage, nullptr},
    /*  2 LDAX */ {0x0A, PairBOrD, 3, DecodeFirst, LdaxMessage, nullptr},
    /*  3 LHLD */ {0x2A, WordOperand, 3, OpcodeFirst, nullptr, nullptr},
    /*  4 LDA  */ {0x3A, WordOperand, 3, OpcodeFirst, nullptr, nullptr},
    /*  5 STAX */ {0x02, PairBOrD, 3, DecodeFirst, StaxMessage, nullptr},
    /*  6 SHLD */ {0x22, WordOperand, 3, OpcodeFirst, nullptr, nullptr},
    /*  7 STA  */ {0x32, WordOperand, 3, OpcodeFirst, nullptr, nullptr},
    /*  8 LXI  */ {0x01, PairWord, 4, DecodeFirst, LxiMessage, nullptr},
    /*  9 SPHL */ {0xF9, NoOperand, 2, OpcodeFirst, nullptr, nullptr},
    /* 10 XTHL */ {0xE3, NoOperand, 2, OpcodeFirst, nullptr, nullptr},
    /* 11 XCHG */ {0xEB, NoOperand, 2, OpcodeFirst, nullptr, nullptr},
    /* 12 OUT  */ {0xD3, ByteOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 13 IN   */ {0xDB, ByteOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 14 PUSH */ {0xC5, RegisterPair, 3, DecodeFirst, nullptr, nullptr},
    /* 15 POP  */ {0xC1, RegisterPair, 3, DecodeFirst, nullptr, nullptr},
    /* 16 ADD  */ {0x80, RegisterLow, 3, DecodeFirst, nullptr, nullptr},
    /* 17 ADC  */ {0x88, RegisterLow, 3, DecodeFirst, nullptr, nullptr},
    /* 18 ADI  */ {0xC6, ByteOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 19 ACI  */ {0xCE, ByteOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 20 SUB  */ {0x90, RegisterLow, 3, DecodeFirst, nullptr, nullptr},
    /* 21 SBB  */ {0x98, RegisterLow, 3, DecodeFirst, nullptr, nullptr},
    /* 22 SUI  */ {0xD6, ByteOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 23 SBI  */ {0xDE, ByteOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 24 DAD  */ {0x09, RegisterPair, 3, DecodeFirst, nullptr, nullptr},
    /* 25 DAA  */ {0x27, NoOperand, 0, OpcodeOnly, nullptr, nullptr},
    /* 26 INR  */ {0x04, RegisterHigh, 3, DecodeFirst, nullptr, nullptr},
    /* 27 INX  */ {0x03, RegisterPair, 3, DecodeFirst, nullptr, nullptr},
    /* 28 DCR  */ {0x05, RegisterHigh, 3, DecodeFirst, nullptr, nullptr},
    /* 29 DCX  */ {0x0B, RegisterPair, 3, DecodeFirst, nullptr, nullptr},
    /* 30 STC  */ {0x37, NoOperand, 0, OpcodeOnly, nullptr, nullptr},
    /* 31 ANA  */ {0xA0, RegisterLow, 3, DecodeFirst, nullptr, nullptr},
    /* 32 ANI  */ {0xE6, ByteOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 33 XRA  */ {0xA8, RegisterLow, 3, DecodeFirst, nullptr, nullptr},
    /* 34 XRI  */ {0xEE, ByteOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 35 ORA  */ {0xB0, RegisterLow, 3, DecodeFirst, nullptr, nullptr},
    /* 36 ORI  */ {0xF6, ByteOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 37 CMP  */ {0xB8, RegisterLow, 3, DecodeFirst, nullptr, nullptr},
    /* 38 CPI  */ {0xFE, ByteOperand, 3, OpcodeFirst, nullptr, nullptr},
    /* 39 RLC  */ {0x07, NoOperand, 0, OpcodeOnly, nullptr, nullptr},
    /* 40 RRC  */ {0x0F, NoOperand, 0, OpcodeOnly, nullptr, nullptr},
    /* 41 RAL  */ {0x17, NoOperand, 0, OpcodeOnly, nullptr, nullptr},
    /* 42 RAR  */ {0x1F, NoOperand, 0, OpcodeOnly, nullptr, nullptr},
    /* 43 CMA  */ {0x2F, NoOperand, 0, OpcodeOnly, nullptr, nullptr},
    /* 44 CMC  */ {0x3F, NoOperand, 0, OpcodeOnly, nullptr, nullptr},
};
