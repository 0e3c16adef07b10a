// Reading the opcode table file and looking mnemonics up by name.
#include "opcodes/OpcodeTable.h"

#include <cstring>
#include <new>
#include <string>

#include "driver/RunLog.h"
#include "driver/WordReader.h"

int _OpcodeCount = 0;

namespace {

const std::size_t MaxMnemonicLength = sizeof(OpcodeTableStructure::Mnemonic) - 1;

// Reads the count; a count that cannot be a table leaves it empty.
int ReadOpcodeCount(WordReader& reader)
{
    DecimalNumber count{0, 0};
    ReadNumber(reader, count); // no number at all leaves the count 0
    LogStream << "Opcode Count is " << count.Value << std::endl;
    if (count.Value < 0 || count.Value > _MaxOpcodeCount) {
        LogStream << "ERROR: Invalid Opcode Count " << count.Value << ", the Opcodes Table is left empty" << std::endl;
        return 0;
    }
    return static_cast<int>(count.Value);
}

// Fills one row from the file; false once the file has nothing more to give.
// A row the file does not supply keeps the empty name and the size 0.
bool ReadOpcodeRow(WordReader& reader, OpcodeTableStructure& row)
{
    std::string mnemonic;
    if (!ReadWord(reader, mnemonic, MaxMnemonicLength))
        return false;
    if (mnemonic.size() > MaxMnemonicLength) {
        LogStream << "ERROR: Mnemonic " << mnemonic.substr(0, MaxMnemonicLength)
                  << "... is longer than 11 characters, its row is left empty" << std::endl;
    } else {
        std::memcpy(row.Mnemonic, mnemonic.c_str(), mnemonic.size() + 1);
    }
    DecimalNumber size{0, 0};
    if (!ReadNumber(reader, size) || size.Value < -2147483647LL - 1 || size.Value > 2147483647LL)
        return false;
    row.Size = static_cast<int>(size.Value);
    return true;
}

void LogOpcodeRow(int index, const OpcodeTableStructure& row)
{
    LogStream << '\t' << index << ".\t\t" << row.Mnemonic << "\t\t" << row.Size << std::endl;
}

} // namespace

OpcodeTableStructure* ReadOpcodeTable(const char* fileName)
{
    WordReader reader;
    OpenWordReader(reader, fileName); // a file that cannot be opened reads as an empty one
    return ReadOpcodeTable(reader);
}

OpcodeTableStructure* ReadOpcodeTable(WordReader& reader)
{
    int count = ReadOpcodeCount(reader);
    OpcodeTableStructure* table = new (std::nothrow) OpcodeTableStructure[count];
    if (table == nullptr) {
        LogStream << "ERROR: Unable to allocate memory for the Opcodes Table" << std::endl;
        _OpcodeCount = 0;
        return nullptr;
    }
    _OpcodeCount = count;
    bool reading = true;
    for (int i = 0; i < count; i++) {
        table[i] = OpcodeTableStructure{{0}, 0};
        if (reading)
            reading = ReadOpcodeRow(reader, table[i]);
        LogOpcodeRow(i, table[i]);
    }
    return table;
}

int CheckMnemonic(const char* mnemonic, const OpcodeTableStructure* table)
{
    for (int i = 0; i < _OpcodeCount; i++) {
        if (std::strcmp(mnemonic, table[i].Mnemonic) == 0)
            return i;
    }
    return -1;
}

int GetInstructionSize(const OpcodeTableStructure* table, const char* mnemonic)
{
    int index = CheckMnemonic(mnemonic, table);
    if (index >= 0)
        return table[index].Size;
    LogStream << "ERROR: Unable to find Mnemonic " << mnemonic;
    return -1;
}
