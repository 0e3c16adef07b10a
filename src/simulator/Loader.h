// Loading a program into the 64 KiB byte image: object files, Intel HEX, raw
// binaries and CP/M .COM files, each byte with the line it came from.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "output/ByteImage.h"
#include "simulator/Symbols.h"

struct LoadedProgram {
    ByteImage Image;
    bool HasStart = false; // the file gave a start address
    std::uint16_t Start = 0;
    bool HasSymbols = false; // from the source, or a BASE.sym beside the file
    ProgramSymbols Symbols;
    ProgramSource Source; // its lines when assembled here (Source.Lines empty otherwise)
};

// The loaders of each file kind. Each reads the whole file and returns false
// after writing "FILE:LINE: error: ..." (or "Simulator: error: ...") to
// errors: a byte loaded twice names both lines, bytes past FFFFH are refused.
bool LoadObjectFile(const std::string& path, LoadedProgram& program, std::ostream& errors);
bool LoadIntelHex(const std::string& path, LoadedProgram& program, std::ostream& errors);
bool LoadBinary(const std::string& path, std::uint16_t address, LoadedProgram& program, std::ostream& errors);

// The Intel HEX reader behind LoadIntelHex: true when text holds an end
// record and no fault (faults are appended; the reading stops at the first).
bool ReadIntelHexText(const std::string& text, LoadedProgram& program, std::vector<ObjectFault>& faults);

// The file kinds by extension, in either case.
enum ProgramKind { KindObject, KindHex, KindBinary, KindSource, KindCom, KindUnknown };
ProgramKind FindProgramKind(const std::string& path);
