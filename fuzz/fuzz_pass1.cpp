// Arbitrary source through the first pass, and what it accepts through the
// second. The input is the main file, then any include files, each after a
// line "@@NAME" (read from memory; lib/ is the include folder). Checked: the
// first pass returns 0 or 1 (never crashes or hangs); the lines made by
// expansions stay within their bound; on 0 the second pass logs no error,
// writes one object line per statement, closes every instruction line and
// writes exactly the bytes the first pass laid out; on 1 neither output file
// exists.
#include <cctype>
#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>

#include "FuzzSupport.h"
#include "driver/Run.h"
#include "pass1/LineSource.h"
#include "pass1/Pass1.h"

namespace {

const long MaxExpandedLines = 4000; // keeps each input quick

// prog.asm, then a file for each "@@NAME" line.
MemoryFileSystem SplitFiles(const std::string& input)
{
    MemoryFileSystem files;
    std::string name = "prog.asm";
    std::size_t start = 0;
    for (;;) {
        std::size_t mark = input.find("\n@@", start);
        files.Files[name] = input.substr(start, mark == std::string::npos ? std::string::npos : mark + 1 - start);
        if (mark == std::string::npos)
            return files;
        std::size_t end = input.find('\n', mark + 3);
        name = input.substr(mark + 3, end == std::string::npos ? std::string::npos : end - mark - 3);
        start = end == std::string::npos ? input.size() : end + 1;
    }
}

int CountLines(const std::string& text)
{
    int count = 0;
    for (char c : text)
        count += c == '\n' ? 1 : 0;
    return count;
}

// The data bytes of one object line: two hex digits each, after the address.
int CountObjectBytes(const std::string& line)
{
    std::size_t tab = line.find('\t');
    if (tab == std::string::npos)
        return 0;
    int count = 0;
    for (std::size_t i = tab; i + 1 < line.size(); i++) {
        if (std::isxdigit(static_cast<unsigned char>(line[i])) && std::isxdigit(static_cast<unsigned char>(line[i + 1]))
            && (i == 0 || line[i - 1] == ' ')) {
            count++;
            i++;
        }
    }
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string base = ScratchDirectory() + "/prog";
    const std::string opcodes = std::string(PASS2_SOURCE_DIR) + "/etc/opcodes.txt";
    const std::string input(reinterpret_cast<const char*>(data), size);
    MemoryFileSystem files = SplitFiles(input);
    Pass1Paths paths{"prog.asm", base + ".pass1", base + ".sym", opcodes, ""};
    paths.FileSystem = &files;
    paths.IncludeDirectories = {"lib"};
    paths.MaxExpandedLines = MaxExpandedLines;
    Pass1Result result;
    std::ostringstream errors;
    int status = RunPass1(paths, result, errors);
    FUZZ_CHECK(status == 0 || status == 1, "status " + std::to_string(status) + ": " + errors.str());
    // Every line is read from a file (each at most once per include of it) or made by an expansion.
    long readLines = 0;
    for (const ListedLine& line : result.Lines)
        readLines += line.Expanded ? 0 : 1;
    FUZZ_CHECK(static_cast<long>(result.Lines.size()) - readLines <= MaxExpandedLines,
        "expansions made " + std::to_string(result.Lines.size() - static_cast<std::size_t>(readLines)) + " lines");
    if (status == 1) {
        FUZZ_CHECK(access(paths.Statements.c_str(), F_OK) != 0, "statement file left after errors");
        FUZZ_CHECK(access(paths.Symbols.c_str(), F_OK) != 0, "symbol file left after errors");
        return 0;
    }
    const std::string log = ScratchDirectory() + "/log-Pass2.txt";
    RunPass2(base.c_str(), opcodes.c_str(), log.c_str());
    std::string logText = ReadWholeFile(log);
    FUZZ_CHECK(logText.find("rror") == std::string::npos && logText.find("ERROR") == std::string::npos,
        "the second pass logged an error");
    FUZZ_CHECK(logText.find("Unidentified") == std::string::npos, "the second pass met an unknown mnemonic");

    std::string statements = ReadWholeFile(paths.Statements);
    std::string object = ReadWholeFile(base + ".o");
    FUZZ_CHECK(CountLines(object) == CountLines(statements) + 1, "not one object line per statement");
    std::istringstream statementLines(statements);
    std::istringstream objectLines(object);
    std::string statement;
    std::string objectLine;
    std::getline(objectLines, objectLine); // the header
    long bytes = 0;
    while (std::getline(statementLines, statement) && std::getline(objectLines, objectLine)) {
        bool isData = statement.find(" DB ") != std::string::npos || statement.find(" DW ") != std::string::npos;
        if (!isData)
            FUZZ_CHECK(objectLine.size() >= 3 && objectLine.compare(objectLine.size() - 3, 3, "\t\t*") == 0,
                "instruction without its closing mark: " + statement);
        bytes += CountObjectBytes(objectLine);
    }
    long laidOut = 0;
    for (const ListedLine& line : result.Lines)
        laidOut += line.ByteCount;
    FUZZ_CHECK(bytes == laidOut, "object bytes " + std::to_string(bytes) + ", laid out " + std::to_string(laidOut));
    return 0;
}
