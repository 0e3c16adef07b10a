// The run log stream. Its buffer holds one line and hands it to the file in
// one write when the line is ended (std::endl flushes).
#include "driver/RunLog.h"

#include <streambuf>
#include <string>

#include "driver/LineFile.h"

namespace {

// Lines are built in a fixed area; a line longer than the area goes on in
// Spill. Ending the line (sync) writes it whole and empties both.
struct RunLogLineBuffer : std::streambuf {
    LineFile File;
    std::string Path; // for the line that reports a refused write
    char Area[1024];
    std::string Spill;

    RunLogLineBuffer() { setp(Area, Area + sizeof Area); }

    void EmptyArea() { setp(Area, Area + sizeof Area); }

    int_type overflow(int_type c) override
    {
        if (IsLineFileOpen(File))
            Spill.append(pbase(), static_cast<std::size_t>(pptr() - pbase()));
        EmptyArea();
        if (!traits_type::eq_int_type(c, traits_type::eof()))
            sputc(traits_type::to_char_type(c));
        return traits_type::not_eof(c);
    }

    int sync() override
    {
        std::size_t pending = static_cast<std::size_t>(pptr() - pbase());
        if (Spill.empty()) {
            WriteNamedLineFile(File, Path.c_str(), pbase(), pending);
        } else {
            Spill.append(pbase(), pending);
            WriteNamedLineFile(File, Path.c_str(), Spill.data(), Spill.size());
        }
        Spill.clear();
        EmptyArea();
        return 0;
    }
};

RunLogLineBuffer RunLogBuffer;

} // namespace

std::ostream LogStream(&RunLogBuffer);

bool OpenRunLog(const char* path)
{
    CloseRunLog();
    RunLogBuffer.Path = path;
    return OpenLineFile(RunLogBuffer.File, path);
}

void CloseRunLog()
{
    LogStream.flush();
    LogStream.clear();
    CloseNamedLineFile(RunLogBuffer.File, RunLogBuffer.Path.c_str());
}
