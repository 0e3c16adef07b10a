// The symbol list and its file reader. Beside the list an index by name
// answers look-ups without a scan; it always points at the node the scan
// would find first, the latest record of a name.
#include "symbols/SymbolTable.h"

#include <cstring>
#include <new>
#include <string>
#include <unordered_map>

#include "driver/RunLog.h"
#include "driver/WordReader.h"

SymbolListNode* SymbolList = nullptr;
int SymbolCount = 0;

namespace {

const std::size_t MaxNameLength = _MaxSymbolNameSize - 1;

struct SymbolIndexState {
    std::unordered_map<std::string, SymbolListNode*> Nodes;
    SymbolListNode* Head = nullptr; // the list head the index was made for
    bool Stale = false;             // to be made anew from SymbolList
};

SymbolIndexState& SymbolIndex()
{
    static SymbolIndexState index;
    return index;
}

// A list hung from SymbolList by other means than Append is indexed anew;
// the first node of a name, the one a scan from the head finds, wins.
void RefreshSymbolIndex()
{
    SymbolIndexState& index = SymbolIndex();
    if (index.Head == SymbolList && !index.Stale)
        return;
    index.Nodes.clear();
    for (SymbolListNode* node = SymbolList; node != nullptr; node = node->Next)
        index.Nodes.emplace(node->Name, node);
    index.Head = SymbolList;
    index.Stale = false;
}

// Reads one record; false (after a report) when the file ends or is damaged.
bool ReadSymbolRecord(WordReader& reader, const std::string& name, const char* fileName)
{
    DecimalNumber size{0, 0};
    DecimalNumber value{0, 0};
    if (!ReadNumber(reader, size) || !ReadNumber(reader, value)) {
        // cppcheck-suppress stlcstrStream ; a name with a NUL byte is logged up to it
        LogStream << "CRITICAL ERROR: Unable to read Size and Value of Symbol " << name.c_str()
                  << ", reading of Symbol File " << fileName << " stopped" << std::endl;
        return false;
    }
    // A size class beyond the int range is refused like any other above 2.
    int sizeClass = static_cast<int>(size.Value < -1 ? -1 : (size.Value > 3 ? 3 : size.Value));
    SymbolData data = MakeSymbolData(value.Low16);
    // cppcheck-suppress stlcstrStream ; a name with a NUL byte is logged up to it
    LogStream << "Adding Symbol " << name.c_str() << " Size: " << size.Value
              << " Byte: " << static_cast<unsigned>(data.Byte) << " Word: " << data.Word << std::endl;
    Append(name.c_str(), sizeClass, data);
    return true;
}

} // namespace

void ReadSymbolTable(SymbolListNode* /*head*/, const char* fileName)
{
    WordReader reader;
    if (!OpenWordReader(reader, fileName))
        LogStream << "CRITICAL ERROR: Unable to open Symbol File " << fileName << std::endl;
    ReadSymbolTable(reader, fileName);
}

void ReadSymbolTable(WordReader& reader, const char* fileName)
{
    std::string name;
    while (ReadWord(reader, name, MaxNameLength)) {
        if (!ReadSymbolRecord(reader, name, fileName))
            break;
    }
    LogStream << SymbolCount << " Symbol Read" << std::endl;
}

void Append(const char* name, int size, SymbolData data)
{
    if (static_cast<unsigned>(size) > 2u) {
        LogStream << "CRITICAL ERROR: Unable to add Symbol. Size of symbol cannot  be greater than " << 2 << std::endl;
        return;
    }
    if (std::strlen(name) > MaxNameLength) {
        LogStream << "CRITICAL ERROR: Unable to add Symbol. Name of symbol cannot be longer than " << MaxNameLength
                  << std::endl;
        return;
    }
    SymbolListNode* node = new (std::nothrow) SymbolListNode;
    if (node == nullptr) {
        LogStream << "FATAL ERROR: Unable to allocate memory for Symbol" << std::endl;
        return;
    }
    std::memcpy(node->Name, name, std::strlen(name) + 1);
    node->Size = size;
    node->Data = data;
    RefreshSymbolIndex();
    node->Next = SymbolList;
    SymbolList = node;
    SymbolCount++;
    SymbolIndex().Nodes[node->Name] = node;
    SymbolIndex().Head = node;
    LogStream << "Added Symbol: " << name << " to Symbol List" << std::endl;
    LogStream << "Symbol Count: " << SymbolCount << std::endl;
}

int SymbolExists(const char* name, int& size, SymbolData& data)
{
    RefreshSymbolIndex();
    const auto& nodes = SymbolIndex().Nodes;
    auto found = nodes.find(name);
    if (found == nodes.end())
        return 0;
    size = found->second->Size;
    data = found->second->Data;
    return 1;
}

void CleanSymbolList(SymbolListNode* head)
{
    // Freeing the whole list leaves it empty rather than hanging from freed
    // nodes; after any other list is freed the index is made anew.
    SymbolIndexState& index = SymbolIndex();
    index.Nodes.clear();
    index.Stale = (head != SymbolList);
    if (head == SymbolList)
        SymbolList = nullptr;
    index.Head = SymbolList;
    while (head != nullptr) {
        SymbolListNode* next = head->Next;
        delete head;
        head = next;
    }
}
