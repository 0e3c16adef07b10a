// The run log: one global stream that every subsystem writes its trace to.
#pragma once

#include <ostream>

// Open from the start of the run to its end; every line ends with std::endl,
// which hands the finished line to the file in one write, so the file on
// disk is complete up to the last finished line. While the log is not open,
// whatever is written to it is dropped. A log that refuses a write is named
// once on standard output ("FATAL ERROR: Unable to write " and its path) and
// keeps its finished lines; the lines after it are dropped.
extern std::ostream LogStream;

// Opens the log on path, emptying it; false when it cannot be opened.
bool OpenRunLog(const char* path);

// Closes the log; a line not yet ended is written first.
void CloseRunLog();
