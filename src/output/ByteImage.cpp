// Reading an object file back into bytes: the line shapes the second pass
// writes, and the placing of each line's bytes in the 64 KiB image.
#include "output/ByteImage.h"

#include <cstddef>
#include <fstream>

#include "output/Formats.h"
#include "symbols/NumericLiteral.h"

namespace {

const char HeaderLine[] = "#Everything is Hexadecimal";
const char FieldSeparator[] = " \t ";
const char ClosingMark[] = "\t\t*";

const char NoHeaderMessage[] = "not an object file: the first line is not #Everything is Hexadecimal";
const char MalformedMessage[] = "malformed object line";
const char AddressMessage[] = "address is past FFFFH";
const char RejectedMessage[] = "the second pass rejected this statement";
const char UnidentifiedMessage[] = "the second pass did not identify this statement";
const char PastEndMessage[] = "bytes run past FFFFH";
const char OverlapMessage[] = "writes over address ";

bool EndsWith(const std::string& text, std::size_t end, const char* tail, std::size_t tailLength)
{
    return end >= tailLength && text.compare(end - tailLength, tailLength, tail) == 0;
}

// Two hex digits at text[pos], no more, no less.
bool ReadByteField(const std::string& text, std::size_t pos, std::uint8_t& byte)
{
    if (pos + 2 > text.size())
        return false;
    int high = HexDigitValue(text[pos]);
    int low = HexDigitValue(text[pos + 1]);
    if (high < 0 || low < 0)
        return false;
    byte = static_cast<std::uint8_t>(high * 16 + low);
    return true;
}

// The byte fields of text[begin, end): instruction fields "XX" then "  XX"
// each, or data fields "XX  " each. Both are byte, two blanks, byte...; the
// data form ends with two blanks, the instruction form does not.
bool ReadByteFields(const std::string& text, std::size_t begin, std::size_t end, std::vector<std::uint8_t>& bytes)
{
    std::size_t pos = begin;
    while (pos < end) {
        std::uint8_t byte;
        if (pos + 2 > end || !ReadByteField(text, pos, byte))
            return false;
        bytes.push_back(byte);
        pos += 2;
        if (pos == end)
            break;
        if (pos + 2 > end || text[pos] != ' ' || text[pos + 1] != ' ')
            return false;
        pos += 2;
    }
    return true;
}

void AddFault(std::vector<ObjectFault>& faults, int lineNumber, const std::string& message)
{
    faults.push_back(ObjectFault{lineNumber, 0, message});
}

// One object line after the header; lineNumber counts from 1 at the header.
void ReadObjectLine(const std::string& text, std::size_t begin, std::size_t end, int lineNumber, ByteImage& image,
    std::vector<std::uint8_t>& bytes, std::vector<ObjectFault>& faults)
{
    // Every statement line gets its record, faulty or not, so the records
    // keep pace with the statements they came from.
    image.Records.push_back(ObjectRecord{lineNumber, 0, 0});
    ObjectRecord& record = image.Records.back();
    std::size_t separator = text.find(FieldSeparator, begin);
    if (separator == std::string::npos || separator >= end || separator == begin || separator - begin > 8) {
        AddFault(faults, lineNumber, MalformedMessage);
        return;
    }
    std::uint32_t address = 0;
    for (std::size_t i = begin; i < separator; ++i) {
        int digit = HexDigitValue(text[i]);
        if (digit < 0) {
            AddFault(faults, lineNumber, MalformedMessage);
            return;
        }
        address = address * 16 + static_cast<std::uint32_t>(digit);
    }
    if (address > 0xFFFFu) {
        AddFault(faults, lineNumber, AddressMessage);
        return;
    }
    record.Address = static_cast<std::uint16_t>(address);

    std::size_t fieldsBegin = separator + sizeof FieldSeparator - 1;
    bool closed = EndsWith(text, end, ClosingMark, sizeof ClosingMark - 1) && end - fieldsBegin >= 3;
    std::size_t fieldsEnd = closed ? end - (sizeof ClosingMark - 1) : end;
    bytes.clear();
    bool wellFormed = ReadByteFields(text, fieldsBegin, fieldsEnd, bytes);
    bool dataLine = !closed && EndsWith(text, fieldsEnd, "  ", 2) && !bytes.empty();
    record.ByteCount = static_cast<int>(bytes.size());

    if (!wellFormed || (closed && bytes.size() > 3)) {
        AddFault(faults, lineNumber, MalformedMessage);
        return;
    }
    if (closed && bytes.empty()) {
        AddFault(faults, lineNumber, UnidentifiedMessage);
        return;
    }
    if (!closed && !dataLine) {
        // A statement the second pass rejected keeps the fields written
        // before the rejection but never gets its closing mark.
        AddFault(faults, lineNumber, RejectedMessage);
        return;
    }
    PlaceBytes(image, lineNumber, static_cast<std::uint16_t>(address), bytes, faults);
}

} // namespace

void ClearImage(ByteImage& image)
{
    image.Bytes.assign(0x10000, 0);
    image.Lines.assign(0x10000, 0);
    image.Records.clear();
    image.ByteCount = 0;
    image.Lowest = 0;
    image.Highest = 0;
}

void PlaceBytes(ByteImage& image, int lineNumber, std::uint16_t address, const std::vector<std::uint8_t>& bytes,
    std::vector<ObjectFault>& faults)
{
    std::vector<int> metLines;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::uint32_t at = address + static_cast<std::uint32_t>(i);
        if (at > 0xFFFFu) {
            AddFault(faults, lineNumber, PastEndMessage);
            return;
        }
        int earlier = image.Lines[at];
        if (earlier != 0) {
            bool known = false;
            for (int met : metLines)
                known = known || met == earlier;
            if (!known) {
                metLines.push_back(earlier);
                faults.push_back(ObjectFault{lineNumber, earlier, OverlapMessage + FormatHexWord(at)});
            }
            continue;
        }
        image.Bytes[at] = bytes[i];
        image.Lines[at] = lineNumber;
        if (image.ByteCount == 0 || at < image.Lowest)
            image.Lowest = static_cast<std::uint16_t>(at);
        if (image.ByteCount == 0 || at > image.Highest)
            image.Highest = static_cast<std::uint16_t>(at);
        ++image.ByteCount;
    }
}

bool ReadObjectText(const std::string& text, ByteImage& image, std::vector<ObjectFault>& faults)
{
    ClearImage(image);
    std::size_t faultsBefore = faults.size();
    std::size_t begin = 0;
    int lineNumber = 0;
    std::vector<std::uint8_t> bytes; // one line's, its room kept from line to line
    while (begin < text.size()) {
        std::size_t newline = text.find('\n', begin);
        std::size_t next = newline == std::string::npos ? text.size() : newline + 1;
        std::size_t end = newline == std::string::npos ? text.size() : newline;
        if (end > begin && text[end - 1] == '\r')
            --end;
        ++lineNumber;
        if (lineNumber == 1) {
            if (text.compare(begin, end - begin, HeaderLine) != 0) {
                AddFault(faults, 1, NoHeaderMessage);
                return false;
            }
        } else if (end > begin) {
            ReadObjectLine(text, begin, end, lineNumber, image, bytes, faults);
        }
        begin = next;
    }
    if (lineNumber == 0)
        AddFault(faults, 1, NoHeaderMessage);
    return faults.size() == faultsBefore;
}

FileTextStatus ReadFileText(const std::string& path, std::string& text)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return FileTextNotOpened;
    text.clear();
    char block[65536];
    while (file.read(block, sizeof block) || file.gcount() > 0)
        text.append(block, static_cast<std::size_t>(file.gcount()));
    return file.bad() ? FileTextNotRead : FileTextRead;
}
