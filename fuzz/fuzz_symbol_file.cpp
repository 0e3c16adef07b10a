// The symbol file reader on random bytes: SymbolCount equals the length of
// the list, every node holds a terminated name, an accepted size class and
// agreeing views of its value, and a look-up by name answers with the node
// that a scan from the head finds first. A read made to fail part-way keeps
// exactly the list that the file cut at that place gives.
#include <cstdint>
#include <cstring>

#include "FailingReadBuffer.h"
#include "FuzzSupport.h"
#include "driver/WordReader.h"
#include "symbols/SymbolTable.h"

namespace {

// The list that text read through a buffer failing at failAt leaves, one
// record a line; the list is freed again.
std::string LoadThrough(const std::string& text, std::size_t failAt, std::size_t chunk)
{
    FailingReadBuffer buffer(text, failAt, chunk);
    WordReader reader;
    UseWordBuffer(reader, buffer, "prog.sym");
    ReadSymbolTable(reader, "prog.sym");
    std::string list;
    for (const SymbolListNode* node = SymbolList; node != nullptr; node = node->Next)
        list +=
            std::string(node->Name) + " " + std::to_string(node->Size) + " " + std::to_string(node->Data.Word) + "\n";
    CleanSymbolList(SymbolList);
    SymbolCount = 0;
    return list;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = ScratchDirectory() + "/prog.sym";
    WriteWholeFile(path, data, size);

    ReadSymbolTable(SymbolList, path.c_str());

    int length = 0;
    for (const SymbolListNode* node = SymbolList; node != nullptr; node = node->Next) {
        length++;
        FUZZ_CHECK(std::memchr(node->Name, '\0', sizeof node->Name) != nullptr, "a name is not terminated");
        FUZZ_CHECK(node->Size >= 0 && node->Size <= 2, "size class " + std::to_string(node->Size));
        FUZZ_CHECK(node->Data.Byte == (static_cast<std::uint16_t>(node->Data.Word) & 0xFFu), "the views differ");

        const SymbolListNode* first = SymbolList;
        while (std::strcmp(first->Name, node->Name) != 0)
            first = first->Next;
        int foundSize = -7;
        SymbolData foundData{0, 0};
        FUZZ_CHECK(SymbolExists(node->Name, foundSize, foundData) == 1, std::string("not found: ") + node->Name);
        FUZZ_CHECK(foundSize == first->Size && foundData.Word == first->Data.Word && foundData.Byte == first->Data.Byte,
            std::string("look-up does not answer with the newest record of ") + node->Name);
    }
    FUZZ_CHECK(SymbolCount == length,
        "SymbolCount " + std::to_string(SymbolCount) + ", list length " + std::to_string(length));

    CleanSymbolList(SymbolList);
    SymbolList = nullptr;
    SymbolCount = 0;
    int ignoredSize = 0;
    SymbolData ignoredData{0, 0};
    FUZZ_CHECK(SymbolExists("LOOP", ignoredSize, ignoredData) == 0, "a look-up finds a freed symbol");

    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::size_t failAt = FailurePoint(data, size);
    const std::size_t chunk = size == 0 ? 1 : data[0] % 16 + 1;
    const std::string kept = LoadThrough(text, failAt, chunk);
    const std::string cut = LoadThrough(text.substr(0, failAt), std::string::npos, chunk);
    FUZZ_CHECK(
        kept == cut, "a read failing at byte " + std::to_string(failAt) + " kept\n" + kept + "instead of\n" + cut);
    return 0;
}
