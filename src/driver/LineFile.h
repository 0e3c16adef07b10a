// An output file written a whole line at a time: each finished line reaches
// the file in one write, so the file on disk is complete up to its last
// finished line and costs no more than the writes themselves.
#pragma once

#include <cstddef>

struct LineFile {
    int Descriptor = -1;
};

// Creates the file or empties it; false when it cannot be opened.
bool OpenLineFile(LineFile& file, const char* path);

bool IsLineFileOpen(const LineFile& file);

// Writes text as it stands; a file that is not open, or a failing disk,
// drops it.
void WriteLineFile(LineFile& file, const char* text, std::size_t length);

void CloseLineFile(LineFile& file);
