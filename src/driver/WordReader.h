// Reading white-space separated words and decimal numbers from the table
// files (the opcode table and the symbol file), the way a stream extraction
// reads them: a number stops at its first non-digit, which is read next.
#pragma once

#include <cstdint>
#include <streambuf>
#include <string>

#include "driver/InputFile.h"

struct WordReader {
    InputFile Input;
};

struct DecimalNumber {
    long long Value;     // the number; from 10^17 on it is held at 10^18
    std::uint16_t Low16; // the low 16 bits of the number as written
};

// False when the file cannot be opened or is a folder; nothing is read then.
bool OpenWordReader(WordReader& reader, const char* fileName);

// Reads from buffer as from the file called name (a failed read names it).
void UseWordBuffer(WordReader& reader, std::streambuf& buffer, const char* name);

// Skips white space and reads the next run of other characters. Keeps at most
// keep characters of it in word (plus one more, so a caller can see that the
// word was longer), whatever the length of the run. False at the end of file.
bool ReadWord(WordReader& reader, std::string& word, std::size_t keep);

// Skips white space and reads an optionally signed decimal number. False when
// no digit follows (the file ends, or another character stands there).
bool ReadNumber(WordReader& reader, DecimalNumber& number);

bool IsWhiteSpace(int c);
