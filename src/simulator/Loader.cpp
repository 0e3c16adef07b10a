// The loaders: object file (read by the output layer), Intel HEX and raw
// binary into one byte image, every fault with the line it is on.
#include "simulator/Loader.h"

#include <cctype>

#include "simulator/HexText.h"
#include "symbols/NumericLiteral.h"

namespace {

bool ReadWholeFile(const std::string& path, std::string& contents, std::ostream& errors)
{
    FileTextStatus status = ReadFileText(path, contents);
    if (status == FileTextNotOpened)
        errors << "Simulator: error: cannot open '" << path << "'\n";
    else if (status == FileTextNotRead)
        errors << "Simulator: error: cannot read '" << path << "'\n";
    return status == FileTextRead;
}

void WriteLineError(std::ostream& errors, const std::string& file, int line, const std::string& message)
{
    errors << file << ":" << line << ": error: " << message << "\n";
}

// Each fault on its line; an overlap also names the line it wrote over.
bool WriteFaults(std::ostream& errors, const std::string& file, const std::vector<ObjectFault>& faults)
{
    for (const ObjectFault& fault : faults)
        WriteLineError(errors, file, fault.LineNumber,
            fault.Message
                + (fault.OtherLine != 0 ? ", loaded already from line " + std::to_string(fault.OtherLine) : ""));
    return faults.empty();
}

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The bytes of one ":LLAAAATT...CC" record, checksum included; false for
// anything else or a wrong checksum.
bool ReadHexRecord(const std::string& text, std::vector<std::uint8_t>& record)
{
    record.clear();
    if (text.empty() || text[0] != ':' || text.size() % 2 != 1 || text.size() < 11)
        return false;
    unsigned sum = 0;
    for (std::size_t at = 1; at < text.size(); at += 2) {
        int high = HexDigitValue(text[at]), low = HexDigitValue(text[at + 1]);
        if (high < 0 || low < 0)
            return false;
        record.push_back(static_cast<std::uint8_t>(high * 16 + low));
        sum += record.back();
    }
    return record.size() == record[0] + 5u && (sum & 0xFF) == 0;
}

// One record of a HEX file; false with faults for a bad one. ended is set
// by the end-of-file record.
bool ReadHexLine(
    const std::string& text, int line, LoadedProgram& program, bool& ended, std::vector<ObjectFault>& faults)
{
    std::size_t faultsBefore = faults.size();
    std::vector<std::uint8_t> record;
    if (!ReadHexRecord(text, record)) {
        faults.push_back({line, 0, "not an Intel HEX record, or its checksum is wrong"});
        return false;
    }
    unsigned address = record[1] * 256u + record[2], type = record[3];
    std::vector<std::uint8_t> data(record.begin() + 4, record.end() - 1);
    if (type == 0) {
        PlaceBytes(program.Image, line, static_cast<std::uint16_t>(address), data, faults);
    } else if (type == 1) {
        // Our own writer puts the start address in the end record; 0 stands for none.
        ended = true;
        if (address != 0) {
            program.HasStart = true;
            program.Start = static_cast<std::uint16_t>(address);
        }
    } else if ((type == 2 || type == 4) && data.size() == 2) {
        if (data[0] != 0 || data[1] != 0)
            faults.push_back({line, 0, "an extended address beyond 64 KiB"});
    } else if ((type == 3 || type == 5) && data.size() == 4) {
        std::uint32_t high = data[0] * 256u + data[1], low = data[2] * 256u + data[3];
        std::uint32_t start = type == 3 ? high * 16 + low : high * 65536 + low;
        if (start > 0xFFFF) {
            faults.push_back({line, 0, "a start address beyond FFFFH"});
        } else {
            program.HasStart = true;
            program.Start = static_cast<std::uint16_t>(start);
        }
    } else {
        faults.push_back({line, 0, "an Intel HEX record of unknown type " + HexByte(type) + "H"});
    }
    return faults.size() == faultsBefore;
}

} // namespace

bool LoadObjectFile(const std::string& path, LoadedProgram& program, std::ostream& errors)
{
    std::string contents;
    if (!ReadWholeFile(path, contents, errors))
        return false;
    std::vector<ObjectFault> faults;
    ReadObjectText(contents, program.Image, faults);
    return WriteFaults(errors, path, faults);
}

bool ReadIntelHexText(const std::string& text, LoadedProgram& program, std::vector<ObjectFault>& faults)
{
    ClearImage(program.Image);
    program.HasStart = false;
    std::size_t faultsBefore = faults.size(), from = 0;
    int line = 0;
    bool ended = false;
    while (from < text.size() && !ended) {
        std::size_t end = text.find('\n', from);
        if (end == std::string::npos)
            end = text.size();
        std::string record = text.substr(from, end - from);
        if (!record.empty() && record.back() == '\r')
            record.pop_back();
        from = end + 1;
        line++;
        if (!record.empty() && !ReadHexLine(record, line, program, ended, faults))
            return false;
    }
    if (!ended)
        faults.push_back({line > 0 ? line : 1, 0, "no end-of-file record: the file may be cut short"});
    return faults.size() == faultsBefore;
}

bool LoadIntelHex(const std::string& path, LoadedProgram& program, std::ostream& errors)
{
    std::string contents;
    if (!ReadWholeFile(path, contents, errors))
        return false;
    std::vector<ObjectFault> faults;
    ReadIntelHexText(contents, program, faults);
    return WriteFaults(errors, path, faults);
}

bool LoadBinary(const std::string& path, std::uint16_t address, LoadedProgram& program, std::ostream& errors)
{
    std::string contents;
    if (!ReadWholeFile(path, contents, errors))
        return false;
    ClearImage(program.Image);
    if (contents.size() > 0x10000u - address) {
        errors << path << ": error: " << contents.size() << " bytes loaded at " << HexWord(address)
               << "H run past FFFFH\n";
        return false;
    }
    std::vector<ObjectFault> faults;
    PlaceBytes(program.Image, 1, address, std::vector<std::uint8_t>(contents.begin(), contents.end()), faults);
    return WriteFaults(errors, path, faults);
}

ProgramKind FindProgramKind(const std::string& path)
{
    static const struct {
        const char* Extension;
        ProgramKind Kind;
    } Kinds[] = {{".o", KindObject}, {".hex", KindHex}, {".bin", KindBinary}, {".asm", KindSource}, {".mac", KindSource},
        {".a85", KindSource}, {".s", KindSource}, {".com", KindCom}};
    std::string lower = path;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const auto& kind : Kinds) {
        if (EndsWith(lower, kind.Extension))
            return kind.Kind;
    }
    return KindUnknown;
}
