// The whole run, step by step, as the program's main performs it, and the
// same run with its paths given, for the front that runs both passes.
#pragma once

// The fixed paths of the run, relative to the working directory.
extern const char* const RunLogPath;
extern const char* const OpcodeTablePath;

// The base name of a run started without one.
extern const char* const DefaultBaseName;

// Runs the assembler on argv[1] with the fixed paths; the usage lines first
// when no argument is given. Returns what RunPass2 returns.
int RunAssembler(int argc, const char* const argv[]);

// The whole second pass on baseName (.pass1 and .sym in, .o out) with the
// given opcode table and run log; a null or empty runLogPath opens no log and
// its lines are dropped. Returns 0, or 1 when the object file could not be
// written whole. Leaves the symbol list empty, so a later run starts afresh.
int RunPass2(const char* baseName, const char* opcodeTablePath, const char* runLogPath);
