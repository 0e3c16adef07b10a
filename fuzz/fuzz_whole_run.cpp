// A whole run of the program on a random statement file and symbol file.
// The input is the statement file, then optionally the separator "@@SYM@@"
// and the symbol file (without the separator no symbol file exists). The run
// happens in a scratch working directory that holds the shipped opcode table.
// Checked: the run returns 0 and prints nothing; prog.o begins with its header
// and holds one object line per statement line with a token, in order, each
// with the address that token 0 gives (or the one before) and fields of the
// shapes an object line can have; the run log ends with its closing line.
#include <cstdint>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "FuzzSupport.h"
#include "driver/Run.h"
#include "symbols/SymbolTable.h"

namespace {

const std::string_view SymbolSeparator("@@SYM@@");
const std::size_t MaxLineText = 510;
const std::size_t MaxTokenText = 63;

struct Workplace {
    std::string Home;      // the working directory of the fuzzer itself
    std::string Directory; // where the program runs
};

const Workplace& GetWorkplace()
{
    static Workplace* place = nullptr;
    if (place == nullptr) {
        place = new Workplace;
        std::vector<char> home(4096);
        if (getcwd(home.data(), home.size()) == nullptr)
            FuzzFailure("getcwd failed");
        place->Home = home.data();
        place->Directory = ScratchDirectory() + "/run";
        if (mkdir(place->Directory.c_str(), 0700) != 0 || mkdir((place->Directory + "/etc").c_str(), 0700) != 0)
            FuzzFailure("cannot create " + place->Directory + "/etc");
        std::string table = ReadWholeFile(std::string(PASS2_SOURCE_DIR) + "/etc/opcodes.txt");
        WriteWholeFile(place->Directory + "/etc/opcodes.txt", table.data(), table.size());
    }
    return *place;
}

bool IsSeparator(char c)
{
    return c == ' ' || c == '\t' || c == ',';
}

// The statement lines as the reader sees them: split at every newline (a
// final newline leaves one more, empty, line), each cut to 510 characters
// and ended at its first NUL.
std::vector<std::string_view> StatementLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find('\n', start);
        std::string_view line =
            text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        lines.push_back(UpToNul(line.substr(0, MaxLineText)));
        if (end == std::string_view::npos)
            return lines;
        start = end + 1;
    }
}

// The address after a statement line with a token: token 0 read as "%d",
// the low 32 bits of the number as its first 63 characters write it; the
// previous address when it holds no number.
std::uint32_t NextAddress(std::string_view line, std::uint32_t previous)
{
    std::size_t at = 0;
    while (at < line.size() && IsSeparator(line[at]))
        at++;
    if (at == line.size() || line[at] == '"' || line[at] == '\'')
        return previous;
    std::size_t end = at;
    while (end < line.size() && !IsSeparator(line[end]))
        end++;
    std::string_view token = line.substr(at, std::min(end - at, MaxTokenText));
    std::size_t i = 0;
    while (i < token.size() && std::strchr(" \t\n\v\f\r", token[i]) != nullptr && token[i] != '\0')
        i++;
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) {
        negative = token[i] == '-';
        i++;
    }
    if (i == token.size() || token[i] < '0' || token[i] > '9')
        return previous;
    std::uint32_t value = 0;
    for (; i < token.size() && token[i] >= '0' && token[i] <= '9'; i++)
        value = value * 10u + static_cast<std::uint32_t>(token[i] - '0');
    return negative ? 0u - value : value;
}

std::string HexAddress(std::uint32_t address)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02X", address);
    return text;
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// "XX  " repeated: the data byte fields of DB and DW.
bool IsDataFields(std::string_view rest)
{
    if (rest.size() % 4 != 0)
        return false;
    for (std::size_t i = 0; i < rest.size(); i += 4) {
        if (!IsHexDigit(rest[i]) || !IsHexDigit(rest[i + 1]) || rest[i + 2] != ' ' || rest[i + 3] != ' ')
            return false;
    }
    return true;
}

// An opcode field "XX" and up to two operand byte fields "  XX", all of them
// optional, then optionally the closing mark.
bool IsInstructionFields(std::string_view rest)
{
    std::string_view mark("\t\t*");
    if (rest.size() >= mark.size() && rest.substr(rest.size() - mark.size()) == mark)
        rest.remove_suffix(mark.size());
    if (rest.empty())
        return true;
    if (rest.size() != 2 && rest.size() != 6 && rest.size() != 10)
        return false;
    if (!IsHexDigit(rest[0]) || !IsHexDigit(rest[1]))
        return false;
    for (std::size_t i = 2; i < rest.size(); i += 4) {
        if (rest[i] != ' ' || rest[i + 1] != ' ' || !IsHexDigit(rest[i + 2]) || !IsHexDigit(rest[i + 3]))
            return false;
    }
    return true;
}

void CheckObjectFile(const std::string& object, std::string_view statements)
{
    const std::string header = "#Everything is Hexadecimal\n";
    FUZZ_CHECK(object.compare(0, header.size(), header) == 0, "prog.o lacks its header: " + object.substr(0, 40));
    FUZZ_CHECK(object.back() == '\n', "prog.o does not end with a line end");

    std::vector<std::string_view> objectLines;
    std::string_view rest(object);
    rest.remove_prefix(header.size());
    while (!rest.empty()) {
        std::size_t end = rest.find('\n');
        objectLines.push_back(rest.substr(0, end));
        rest.remove_prefix(end + 1);
    }

    std::size_t next = 0;
    std::uint32_t address = 0;
    for (std::string_view line : StatementLines(statements)) {
        if (!LineHasToken(line))
            continue;
        FUZZ_CHECK(next < objectLines.size(),
            "only " + std::to_string(objectLines.size()) + " object lines; none for: " + std::string(line));
        address = NextAddress(line, address);
        std::string_view objectLine = objectLines[next++];
        std::string start = HexAddress(address) + " \t ";
        FUZZ_CHECK(objectLine.substr(0, start.size()) == start,
            "object line " + std::string(objectLine) + " should begin with " + start);
        std::string_view fields = objectLine.substr(start.size());
        FUZZ_CHECK(IsDataFields(fields) || IsInstructionFields(fields),
            "object line with odd fields: " + std::string(objectLine));
    }
    FUZZ_CHECK(next == objectLines.size(),
        std::to_string(objectLines.size()) + " object lines for " + std::to_string(next) + " statements");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Workplace& place = GetWorkplace();
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::size_t split = input.find(SymbolSeparator);
    std::string_view statements = input.substr(0, split);

    const std::string statementPath = place.Directory + "/prog.pass1";
    const std::string symbolPath = place.Directory + "/prog.sym";
    const std::string objectPath = place.Directory + "/prog.o";
    const std::string logPath = place.Directory + "/etc/log-Pass2.txt";
    WriteWholeFile(statementPath, statements.data(), statements.size());
    unlink(symbolPath.c_str());
    if (split != std::string_view::npos) {
        std::string_view symbols = input.substr(split + SymbolSeparator.size());
        WriteWholeFile(symbolPath, symbols.data(), symbols.size());
    }
    unlink(objectPath.c_str());

    if (chdir(place.Directory.c_str()) != 0)
        FuzzFailure("cannot enter " + place.Directory);
    std::ostringstream printed;
    std::streambuf* console = std::cout.rdbuf(printed.rdbuf());
    const char* const argv[] = {"Assembler-Pass2", "prog", nullptr};
    int status = RunAssembler(2, argv);
    std::cout.rdbuf(console);
    SymbolList = nullptr; // the run freed the nodes; its globals go back to their start
    SymbolCount = 0;
    if (chdir(place.Home.c_str()) != 0)
        FuzzFailure("cannot go back to " + place.Home);

    FUZZ_CHECK(status == 0, "exit status " + std::to_string(status));
    FUZZ_CHECK(printed.str().empty(), "standard output: " + printed.str());
    CheckObjectFile(ReadWholeFile(objectPath), statements);
    std::string log = ReadWholeFile(logPath);
    const std::string closing = "\nSymbol Table Cleaned\n";
    FUZZ_CHECK(log.size() >= closing.size() && log.compare(log.size() - closing.size(), closing.size(), closing) == 0,
        "the run log does not end with Symbol Table Cleaned");
    return 0;
}
