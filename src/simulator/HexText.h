// Hexadecimal texts of the simulator's messages and reports: upper case,
// two digits a byte, four a word.
#pragma once

#include <cstdint>
#include <string>

#include "symbols/NumericLiteral.h" // HexDigitValue

std::string HexByte(unsigned value);
std::string HexWord(unsigned value);
