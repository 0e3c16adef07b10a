// An input file read a character at a time through its stream buffer. A read
// that fails part-way ends the file as its end would, after one log line.
#pragma once

#include <fstream>
#include <streambuf>
#include <string>

struct InputFile {
    std::filebuf File;                // the file on disk, when opened by path
    std::streambuf* Source = nullptr; // where the characters come from; null: nothing to read
    std::string Name;                 // the name the failure line gives
    bool Failed = false;              // a read failed; from then on the file is at its end
};

// Opens path for reading; false, with nothing to read, when it is missing,
// cannot be opened, or names a folder (which no read could ever get through).
bool OpenInputFile(InputFile& input, const char* path);

// Reads from buffer instead of a file, as if it were the file called name.
void UseInputBuffer(InputFile& input, std::streambuf& buffer, const char* name);

// Logs the failure line and ends the reading; called where a read from
// Source threw (a reader with a loop of its own guards the whole loop).
void StopFailedInput(InputFile& input);

// The next character without taking it; end of file at the end, after a
// failed read, or when nothing is open.
inline int PeekInputChar(InputFile& input)
{
    if (input.Source == nullptr)
        return std::char_traits<char>::eof();
    try {
        return input.Source->sgetc();
    } catch (...) { // a file buffer reports a failing disk by throwing
        StopFailedInput(input);
        return std::char_traits<char>::eof();
    }
}

// Takes the next character; the same ends as PeekInputChar.
inline int TakeInputChar(InputFile& input)
{
    if (input.Source == nullptr)
        return std::char_traits<char>::eof();
    try {
        return input.Source->sbumpc();
    } catch (...) {
        StopFailedInput(input);
        return std::char_traits<char>::eof();
    }
}

void CloseInputFile(InputFile& input);
