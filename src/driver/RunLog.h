// The run log: one global stream that every subsystem writes its trace to.
#pragma once

#include <fstream>

// Open from the start of the run to its end; every line ends with std::endl,
// so the file on disk is complete up to the last finished line.
extern std::ofstream LogStream;
