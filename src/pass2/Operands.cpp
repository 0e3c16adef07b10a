// Decoding of register and register-pair names, and of value operands.
#include "pass2/Operands.h"

#include <cstring>

#include "driver/RunLog.h"
#include "pass2/ObjectLine.h"
#include "symbols/NumericLiteral.h"
#include "symbols/SymbolTable.h"

namespace {

struct RegisterName {
    const char* Name;
    int Code;
    const char* Identified; // the log line of a match
};

// In the order the names are tried.
const RegisterName Registers[] = {
    {"A", 7, "Register A identified"},
    {"B", 0, "Register B identified"},
    {"C", 1, "Register C identified"},
    {"D", 2, "Register D identified"},
    {"E", 3, "Register E identified"},
    {"H", 4, "Register H identified"},
    {"L", 5, "Register L identified"},
    {"M", 6, "Register M identified"},
};

const RegisterName RegisterPairs[] = {
    {"B", 0, "Register Pair B identified"},
    {"D", 1, "Register Pair D identified"},
    {"H", 2, "Register Pair H identified"},
    {"PSW", 3, "Register Pair PSW identified"},
    {"SP", 3, "Register SP identified"},
};

template <std::size_t N> int FindRegister(const RegisterName (&names)[N], const char* token)
{
    for (const RegisterName& name : names) {
        if (std::strcmp(token, name.Name) == 0) {
            LogStream << name.Identified << std::endl;
            return name.Code;
        }
    }
    return -1;
}

} // namespace

int IdentifyREG(const char* token)
{
    LogStream << "IdentifyREG: Identifying " << token << "..." << std::endl;
    return FindRegister(Registers, token);
}

int IdentifyREGP(const char* token)
{
    LogStream << "IdentifyREGP: Identifying " << token << "..." << std::endl;
    return FindRegister(RegisterPairs, token);
}

bool ResolveValueOperand(const char* token, int requiredSize, std::string& line)
{
    int size = 0;
    SymbolData value = MakeSymbolData(0);
    if (!SymbolExists(token, size, value))
        value = Str2SymbolData(token, size);
    if (size != requiredSize)
        return false;
    unsigned bits = SymbolBits(value);
    WriteOperandByteField(line, bits & 0xFFu);
    if (requiredSize == WordSizeClass)
        WriteOperandByteField(line, bits >> 8);
    return true;
}
