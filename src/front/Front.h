// The front: one command from source (or an object file) to Intel HEX,
// binary and listing; and the same assembly in-process for the simulator.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "output/ByteImage.h"
#include "pass1/Pass1.h"

// What the command line asks for.
struct FrontOptions {
    std::string Source;       // FILE.asm, or the base name FILE
    std::string OutputBase;   // -o NAME; empty: the base name of the input
    std::string FromObject;   // --from-object FILE.o; empty: assemble Source
    bool WriteHex = true;     // --no-hex clears it
    bool WriteBinary = false; // --bin
    bool WriteListing = true; // --no-lst clears it
    bool CrLf = false;        // --crlf: Intel HEX lines end in CR LF
    std::uint8_t Fill = 0xFF; // --fill: the gaps of the binary
    std::vector<std::string> IncludeDirectories; // -I DIR, in order
    bool ListSkipped = true;                     // --no-skipped clears it
};

// What an assembly leaves: the bytes, the start address, and (when assembled
// from source) the first pass's lines and symbols for the listing.
struct AssemblyResult {
    ByteImage Image;
    bool HasStartAddress = false;
    std::uint16_t StartAddress = 0;
    bool FromSource = false;
    Pass1Result Pass1;
    std::string BaseName; // of every file written: BASE.pass1, BASE.o, BASE.hex...
};

// Assembles options.Source with both passes (or reads options.FromObject) and
// reads the object file back into result. Writes BASE.pass1, BASE.sym, BASE.o
// and the trace logs (in ./etc when it exists) but no HEX, binary or listing.
// Messages go to errors. Returns 0, 1 when the source or object file has
// errors, 2 on an I/O failure.
int AssembleSource(const FrontOptions& options, AssemblyResult& result, std::ostream& errors);

// Writes the formats options asks for from an assembled result; returns 0 or
// 2 when a file cannot be written. The binary's load address goes to out.
int WriteOutputs(const FrontOptions& options, const AssemblyResult& result, std::ostream& out, std::ostream& errors);

// After an assembly that failed with errors in the source (status 1): no
// Intel HEX, binary or object file, not even an earlier run's, so nobody
// loads yesterday's program by mistake; the listing (when options ask for
// it) with every message under its line. Returns 1, or 2 when the listing
// cannot be written.
int WriteFailedAssembly(const FrontOptions& options, const AssemblyResult& result, std::ostream& errors);

// The opcode table to read: etc/opcodes.txt of the working directory when it
// exists, else the one installed beside the program (executablePath's
// ../share/assembler-8085/etc/opcodes.txt), else the build tree's.
std::string FindOpcodeTable(const std::string& executablePath);

// What the command line does once its options are read: the assembly, then
// the outputs, or after errors in the source the listing with its messages.
// Returns the exit status.
int AssembleAndWrite(const FrontOptions& options, AssemblyResult& result, std::ostream& out, std::ostream& errors);

// The whole program: options, assembly, outputs. Returns the exit status.
int RunFront(int argc, const char* const argv[], std::ostream& out, std::ostream& errors);
