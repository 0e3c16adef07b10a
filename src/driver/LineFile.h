// An output file written a whole line at a time: each finished line reaches
// the file in one write, so the file on disk is complete up to its last
// finished line and costs no more than the writes themselves.
#pragma once

#include <cstddef>
#include <sys/types.h>

struct LineFile {
    int Descriptor = -1;
    bool Failed = false; // a write or the close failed: the file is not whole
    off_t Whole = 0;     // the length of the finished text on disk
};

// Creates the file or empties it; false when it cannot be opened.
bool OpenLineFile(LineFile& file, const char* path);

bool IsLineFileOpen(const LineFile& file);

// Writes text as it stands; a file that is not open drops it. False when the
// file refuses it, or refused an earlier text: from the first refusal on
// nothing more is written, and the file is cut back to its last whole text,
// so it never holds a line in part or a line after a gap.
bool WriteLineFile(LineFile& file, const char* text, std::size_t length);

// Closes the file; false when it was open and not written whole.
bool CloseLineFile(LineFile& file);

// WriteLineFile and CloseLineFile that also name the file's first refusal on
// standard output, once: "FATAL ERROR: Unable to write " and path.
bool WriteNamedLineFile(LineFile& file, const char* path, const char* text, std::size_t length);
bool CloseNamedLineFile(LineFile& file, const char* path);
