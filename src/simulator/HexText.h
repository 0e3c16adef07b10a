// Hexadecimal texts of the simulator's messages and reports: upper case,
// two digits a byte, four a word.
#pragma once

#include <string>

std::string HexByte(unsigned value);
std::string HexWord(unsigned value);
