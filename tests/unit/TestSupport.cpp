// Temporary files and log capture for the unit tests.
#include "TestSupport.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "driver/RunLog.h"
#include "symbols/SymbolTable.h"

namespace {

std::string NewTempPath()
{
    static int counter = 0;
    return "/tmp/pass2-unit-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TempFile::TempFile(const std::string& contents) : Path(NewTempPath())
{
    std::ofstream(Path, std::ios::binary) << contents;
}

TempFile::~TempFile()
{
    std::remove(Path.c_str());
}

LogCapture::LogCapture() : Path(NewTempPath())
{
    OpenRunLog(Path.c_str());
}

LogCapture::~LogCapture()
{
    CloseRunLog();
    std::remove(Path.c_str());
}

std::string LogCapture::Text()
{
    LogStream.flush();
    return ReadAll(Path);
}

std::vector<std::string> LogCapture::Lines()
{
    std::vector<std::string> lines;
    std::istringstream text(Text());
    std::string line;
    while (std::getline(text, line))
        lines.push_back(line);
    return lines;
}

std::string ShippedOpcodeTable()
{
    return PASS2_SOURCE_DIR "/etc/opcodes.txt";
}

void ResetSymbols()
{
    CleanSymbolList(SymbolList);
    SymbolList = nullptr;
    SymbolCount = 0;
}

GuardedTokens::GuardedTokens()
{
    for (auto& slot : Slots)
        std::snprintf(slot, sizeof slot, "STALE");
    for (char& c : Guard)
        c = '#';
}

bool GuardedTokens::GuardIntact() const
{
    for (char c : Guard)
        if (c != '#')
            return false;
    return true;
}
