// The statement loop reading through a buffer that fails part-way: the pass
// never aborts, reports the object file written whole, and leaves exactly
// the object file that the statement file cut at that place gives.
#include <cstdint>
#include <memory>
#include <string>

#include "FailingReadBuffer.h"
#include "FuzzSupport.h"
#include "opcodes/OpcodeTable.h"
#include "pass2/AssemblerPass2.h"

namespace {

const OpcodeTableStructure* ShippedTable()
{
    static const std::unique_ptr<OpcodeTableStructure[]> table(
        ReadOpcodeTable((std::string(PASS2_SOURCE_DIR) + "/etc/opcodes.txt").c_str()));
    return table.get();
}

std::string AssembleThrough(const std::string& text, std::size_t failAt, std::size_t chunk)
{
    static const std::string objectPath = ScratchDirectory() + "/prog.o";
    FailingReadBuffer buffer(text, failAt, chunk);
    StatementReader reader;
    UseInputBuffer(reader.Input, buffer, "prog.pass1");
    FUZZ_CHECK(AssembleStatements(reader, objectPath.c_str(), ShippedTable()), "the object file is not whole");
    return ReadWholeFile(objectPath);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::size_t failAt = FailurePoint(data, size);
    const std::size_t chunk = size == 0 ? 1 : data[0] % 64 + 1;
    const std::string kept = AssembleThrough(text, failAt, chunk);
    const std::string cut = AssembleThrough(text.substr(0, failAt), std::string::npos, chunk);
    FUZZ_CHECK(kept == cut, "a read failing at byte " + std::to_string(failAt) + " left another object file");
    return 0;
}
