// The opcode table reader on random file contents: the count stays within
// 0 to 4096, every row holds a terminated mnemonic of at most 11 characters,
// and a look-up of a row's name answers with the first row of that name. A
// read made to fail part-way keeps exactly the table the file cut there gives.
#include <cstdint>
#include <cstring>

#include "FailingReadBuffer.h"
#include "FuzzSupport.h"
#include "driver/WordReader.h"
#include "opcodes/OpcodeTable.h"

namespace {

// The rows that text read through a buffer failing at failAt gives, one a line.
std::string ReadThrough(const std::string& text, std::size_t failAt, std::size_t chunk)
{
    FailingReadBuffer buffer(text, failAt, chunk);
    WordReader reader;
    UseWordBuffer(reader, buffer, "etc/opcodes.txt");
    OpcodeTableStructure* table = ReadOpcodeTable(reader);
    std::string rows = std::to_string(_OpcodeCount) + "\n";
    for (int i = 0; i < _OpcodeCount; i++)
        rows += std::string(table[i].Mnemonic) + " " + std::to_string(table[i].Size) + "\n";
    delete[] table;
    _OpcodeCount = 0;
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = ScratchDirectory() + "/opcodes.txt";
    WriteWholeFile(path, data, size);

    _OpcodeCount = -99;
    OpcodeTableStructure* table = ReadOpcodeTable(path.c_str());

    FUZZ_CHECK(_OpcodeCount >= 0 && _OpcodeCount <= _MaxOpcodeCount, "count " + std::to_string(_OpcodeCount));
    FUZZ_CHECK(table != nullptr || _OpcodeCount == 0, "no table for a count of " + std::to_string(_OpcodeCount));
    for (int i = 0; i < _OpcodeCount; i++) {
        // The look-ups scan from row 0: check the first rows and the last one.
        if (i >= 256 && i != _OpcodeCount - 1)
            continue;
        const char* name = table[i].Mnemonic;
        FUZZ_CHECK(std::memchr(name, '\0', sizeof table[i].Mnemonic) != nullptr,
            "row " + std::to_string(i) + " is not terminated");
        int found = CheckMnemonic(name, table);
        FUZZ_CHECK(found >= 0 && found <= i && std::strcmp(table[found].Mnemonic, name) == 0,
            "row " + std::to_string(i) + " looks up as " + std::to_string(found));
        for (int k = 0; k < found; k++)
            FUZZ_CHECK(std::strcmp(table[k].Mnemonic, name) != 0, "a look-up passes over an earlier row");
    }
    delete[] table;
    _OpcodeCount = 0;

    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::size_t failAt = FailurePoint(data, size);
    const std::size_t chunk = size == 0 ? 1 : data[0] % 16 + 1;
    const std::string kept = ReadThrough(text, failAt, chunk);
    const std::string cut = ReadThrough(text.substr(0, failAt), std::string::npos, chunk);
    FUZZ_CHECK(kept == cut, "a read failing at byte " + std::to_string(failAt) + " kept another table");
    return 0;
}
