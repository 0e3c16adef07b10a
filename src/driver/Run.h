// The whole run, step by step, as the program's main performs it.
#pragma once

// The fixed paths of the run, relative to the working directory.
extern const char* const RunLogPath;
extern const char* const OpcodeTablePath;

// The base name of a run started without one.
extern const char* const DefaultBaseName;

// Runs the assembler on argv[1]; always returns 0.
int RunAssembler(int argc, const char* const argv[]);
