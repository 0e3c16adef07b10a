// The three orders in which a rule checks its statement and writes its
// fields. The order decides what a rejected statement leaves on its line.
#include "pass2/EncodingRules.h"

#include <cstring>

#include "driver/RunLog.h"
#include "pass2/ObjectLine.h"
#include "pass2/Operands.h"
#include "symbols/NumericLiteral.h"

namespace {

typedef const char Tokens[_MaxTokens][_MaxTokenLength];

const char* const RestartNames[] = {"0", "1", "2", "3", "4", "5", "6", "7"};

// Every rule message is one line of the log; the statement is then rejected.
bool Reject(const std::string& message)
{
    LogStream << message << std::endl;
    return false;
}

bool RejectCount(const EncodingRule& rule, const char* mnemonic)
{
    if (rule.CountMessage != nullptr)
        return Reject(rule.CountMessage);
    return Reject(std::string("Parse Error: Invalid number of Arguments to ") + mnemonic);
}

bool RejectValue(const EncodingRule& rule, const char* mnemonic)
{
    if (rule.OwnMessage != nullptr)
        return Reject(rule.OwnMessage);
    if (rule.Operands == ByteOperand)
        return Reject(std::string("Error: An Immediate Data Byte should follow an ") + mnemonic + " instruction");
    return Reject(std::string("Error: A 2 Byte Address should follow an ") + mnemonic + " instruction");
}

bool PlaceRegister(const char* token, int shift, unsigned& opcode)
{
    int code = IdentifyREG(token);
    if (code < 0)
        return Reject(std::string("Parse Error: Invalid Register ") + token);
    opcode |= static_cast<unsigned>(code) << shift;
    return true;
}

// Pair codes above highest are refused with the rule's own message.
bool PlacePair(const EncodingRule& rule, const char* token, int highest, unsigned& opcode)
{
    int code = IdentifyREGP(token);
    if (code < 0)
        return Reject(std::string("Parse Error: Invalid Register ") + token);
    if (code > highest)
        return Reject(rule.OwnMessage);
    opcode |= static_cast<unsigned>(code) << 4;
    return true;
}

bool PlaceRestart(const EncodingRule& rule, const char* token, unsigned& opcode)
{
    for (unsigned n = 0; n < 8; n++) {
        if (std::strcmp(token, RestartNames[n]) == 0) {
            opcode |= n << 3;
            return true;
        }
    }
    return Reject(std::string(rule.OwnMessage) + token);
}

// Decodes the register, pair or restart operands into the opcode value.
bool DecodeOperands(const EncodingRule& rule, Tokens tokens, unsigned& opcode)
{
    switch (rule.Operands) {
    case RegisterHigh:
    case RegisterByte:
        return PlaceRegister(tokens[2], 3, opcode);
    case RegisterLow:
        return PlaceRegister(tokens[2], 0, opcode);
    case RegisterRegister:
        return PlaceRegister(tokens[2], 3, opcode) && PlaceRegister(tokens[3], 0, opcode);
    case RegisterPair:
    case PairWord:
        return PlacePair(rule, tokens[2], 3, opcode);
    case PairBOrD:
        return PlacePair(rule, tokens[2], 1, opcode);
    case RestartNumber:
        return PlaceRestart(rule, tokens[2], opcode);
    default:
        return true;
    }
}

// The value operand, if the rule has one, with its token and its size class.
bool ResolveRuleValue(const EncodingRule& rule, const char* mnemonic, Tokens tokens, std::string& line)
{
    switch (rule.Operands) {
    case RegisterByte:
        return ResolveValueOperand(tokens[3], ByteSizeClass, line) || RejectValue(rule, mnemonic);
    case PairWord:
        return ResolveValueOperand(tokens[3], WordSizeClass, line) || RejectValue(rule, mnemonic);
    case ByteOperand:
        return ResolveValueOperand(tokens[2], ByteSizeClass, line) || RejectValue(rule, mnemonic);
    case WordOperand:
        return ResolveValueOperand(tokens[2], WordSizeClass, line) || RejectValue(rule, mnemonic);
    default:
        return true;
    }
}

bool EncodeDecodeFirst(const EncodingRule& rule, const char* mnemonic, Tokens tokens, int count, std::string& line)
{
    if (count != rule.TokenCount)
        return RejectCount(rule, mnemonic);
    unsigned opcode = rule.BaseOpcode;
    if (!DecodeOperands(rule, tokens, opcode))
        return false;
    WriteOpcodeField(line, opcode);
    return ResolveRuleValue(rule, mnemonic, tokens, line);
}

bool EncodeOpcodeFirst(const EncodingRule& rule, const char* mnemonic, Tokens tokens, int count, std::string& line)
{
    WriteOpcodeField(line, rule.BaseOpcode);
    if (count != rule.TokenCount)
        return RejectCount(rule, mnemonic);
    return ResolveRuleValue(rule, mnemonic, tokens, line);
}

bool EncodeOpcodeOnly(const EncodingRule& rule, std::string& line)
{
    WriteOpcodeField(line, rule.BaseOpcode);
    return true;
}

} // namespace

const EncodingRule& GetEncodingRule(int index)
{
    return index < _TransferRuleCount ? TransferRules[index] : BranchRules[index - _TransferRuleCount];
}

bool ApplyEncodingRule(int index, const char* mnemonic, Tokens tokens, int count, std::string& line)
{
    const EncodingRule& rule = GetEncodingRule(index);
    switch (rule.Order) {
    case DecodeFirst:
        return EncodeDecodeFirst(rule, mnemonic, tokens, count, line);
    case OpcodeFirst:
        return EncodeOpcodeFirst(rule, mnemonic, tokens, count, line);
    default:
        return EncodeOpcodeOnly(rule, line);
    }
}
