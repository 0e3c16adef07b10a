// Register, register-pair and value operands of the encoding rules.
#pragma once

#include <string>

// Register code 0 to 7 (B C D E H L M A), or -1.
int IdentifyREG(const char* token);

// Pair code 0 to 3 (B D H, PSW and SP both 3), or -1.
int IdentifyREGP(const char* token);

// The operand value rule: the token as a symbol, else as a literal, accepted
// only with exactly the required size class. Writes the operand byte fields
// (low byte first) and answers true, or writes nothing and answers false.
bool ResolveValueOperand(const char* token, int requiredSize, std::string& line);
