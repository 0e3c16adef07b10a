// The 80 encoding rules, one row each, and the three orders that read them.
#pragma once

#include <string>

#include "lexer/Tokenizer.h"

// Where the operands of a rule go. Register fields: 01 ddd sss for MOV,
// bits 3 to 5 (ddd) or bits 0 to 2 (sss) for one register, bits 4 and 5 for a pair.
enum OperandShape {
    NoOperand,
    RegisterHigh,     // one register in bits 3 to 5 (INR, DCR)
    RegisterLow,      // one register in bits 0 to 2 (ADD ... CMP)
    RegisterRegister, // destination in bits 3 to 5, source in bits 0 to 2 (MOV)
    RegisterByte,     // register in bits 3 to 5, then a data byte (MVI)
    RegisterPair,     // pair in bits 4 and 5 (PUSH, POP, DAD, INX, DCX)
    PairBOrD,         // pair B or D only (LDAX, STAX)
    PairWord,         // pair in bits 4 and 5, then a data word (LXI)
    ByteOperand,      // one data byte or port (ADI, OUT, ...)
    WordOperand,      // one address (LDA, JMP, CALL, ...)
    RestartNumber,    // 0 to 7 in bits 3 to 5 (RST)
};

enum RuleOrder {
    DecodeFirst, // count, operands, then the opcode field
    OpcodeFirst, // the opcode field, then count and value
    OpcodeOnly,  // the opcode field, nothing tested
};

struct EncodingRule {
    unsigned char BaseOpcode;
    OperandShape Operands;
    int TokenCount; // 0 where the count is not tested
    RuleOrder Order;
    const char* OwnMessage;   // the rule's own value, pair or argument message
    const char* CountMessage; // a fixed count message, or null for the built one
};

constexpr int _RuleCount = 80;
constexpr int _TransferRuleCount = 45;

extern const EncodingRule TransferRules[_TransferRuleCount];
extern const EncodingRule BranchRules[_RuleCount - _TransferRuleCount];

// The row of rule index (0 to 79).
const EncodingRule& GetEncodingRule(int index);

// Rule index (0 to 79) of the statement; mnemonic is the name of its table row.
// True when the statement is accepted; on rejection the message is in the log
// and the line holds the fields written before it.
bool ApplyEncodingRule(
    int index, const char* mnemonic, const char tokens[_MaxTokens][_MaxTokenLength], int count, std::string& line);
