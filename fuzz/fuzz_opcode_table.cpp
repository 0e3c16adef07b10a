// The opcode table reader on random file contents: the count stays within
// 0 to 4096, every row holds a terminated mnemonic of at most 11 characters,
// and a look-up of a row's name answers with the first row of that name.
#include <cstdint>
#include <cstring>

#include "FuzzSupport.h"
#include "opcodes/OpcodeTable.h"

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
    return 0;
}
