// The program as bytes in the 8085's 64 KiB: read back from an object file,
// each byte with the object line that wrote it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One object line that writes bytes (or should have: a rejected statement).
struct ObjectRecord {
    int LineNumber; // in the object file, the header line being 1
    std::uint16_t Address;
    int ByteCount;
};

// The 64 KiB address space. Lines[a] is the object line that wrote address a,
// 0 where nothing was written.
struct ByteImage {
    std::vector<std::uint8_t> Bytes;   // 65536 entries
    std::vector<int> Lines;            // 65536 entries
    std::vector<ObjectRecord> Records; // in the order of the object file
    int ByteCount = 0;                 // addresses written
    std::uint16_t Lowest = 0;          // meaningful when ByteCount > 0
    std::uint16_t Highest = 0;
};

// A fault of the object file. OtherLine names the line written over by an
// overlap, 0 otherwise.
struct ObjectFault {
    int LineNumber;
    int OtherLine;
    std::string Message;
};

// An empty 64 KiB image.
void ClearImage(ByteImage& image);

// Places bytes at address on behalf of an object line. A byte whose address
// is already written stays as it is and each earlier line it meets gives one
// overlap fault; bytes past FFFFH give one fault and are dropped.
void PlaceBytes(ByteImage& image, int lineNumber, std::uint16_t address, const std::vector<std::uint8_t>& bytes,
    std::vector<ObjectFault>& faults);

// Reads the object file text into image (cleared first). Returns true when
// the text is an object file without faults; every fault is appended.
bool ReadObjectText(const std::string& text, ByteImage& image, std::vector<ObjectFault>& faults);

// Reading a whole file (an object file, or whatever a loader reads) as text.
enum FileTextStatus { FileTextRead, FileTextNotOpened, FileTextNotRead };
FileTextStatus ReadFileText(const std::string& path, std::string& text);
