// Helpers of the unit tests: temporary files and a captured run log.
#pragma once

#include <string>
#include <vector>

#include "lexer/Tokenizer.h"

// A file with the given contents, removed again at the end of the test.
struct TempFile {
    std::string Path;
    explicit TempFile(const std::string& contents);
    ~TempFile();
};

// Opens the run log on a temporary file for the length of a test.
struct LogCapture {
    std::string Path;
    LogCapture();
    ~LogCapture();
    std::string Text();               // everything logged so far
    std::vector<std::string> Lines(); // the same, split at line ends
};

// The opcode table file that ships with the program.
std::string ShippedOpcodeTable();

// Frees the symbol list and sets its globals back to their start values.
void ResetSymbols();

// A token array with a guard row right behind it: every slot starts out as
// "STALE" and the guard as a row of '#', so writes past the array show.
struct GuardedTokens {
    char Slots[_MaxTokens][_MaxTokenLength];
    char Guard[_MaxTokenLength];
    GuardedTokens();
    bool GuardIntact() const;
};
