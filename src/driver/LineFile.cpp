// Line files on the POSIX file interface: the standard streams add several
// layers per flush, and both outputs are flushed at every line.
#include "driver/LineFile.h"

#include <cerrno>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

bool OpenLineFile(LineFile& file, const char* path)
{
    CloseLineFile(file);
    file.Descriptor = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    file.Failed = false;
    file.Whole = 0;
    return file.Descriptor >= 0;
}

bool IsLineFileOpen(const LineFile& file)
{
    return file.Descriptor >= 0;
}

bool WriteLineFile(LineFile& file, const char* text, std::size_t length)
{
    if (file.Descriptor < 0)
        return true;
    if (file.Failed)
        return false;
    const std::size_t whole = length;
    while (length > 0) {
        ssize_t written = ::write(file.Descriptor, text, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            // A device that refuses every write cannot be cut either; the
            // attempt is all there is to do.
            file.Failed = true;
            const bool cut = ::ftruncate(file.Descriptor, file.Whole) == 0;
            static_cast<void>(cut);
            return false;
        }
        text += written;
        length -= static_cast<std::size_t>(written);
    }
    file.Whole += static_cast<off_t>(whole);
    return true;
}

bool CloseLineFile(LineFile& file)
{
    if (file.Descriptor < 0)
        return true;
    // A file system that writes back late reports its failure here.
    if (::close(file.Descriptor) != 0 && errno != EINTR)
        file.Failed = true;
    file.Descriptor = -1;
    return !file.Failed;
}

namespace {

// A file that has not failed before the call and failed in it is named.
bool NameNewFailure(bool failedBefore, bool whole, const char* path)
{
    if (!whole && !failedBefore)
        std::cout << "FATAL ERROR: Unable to write " << path << std::endl;
    return whole;
}

} // namespace

bool WriteNamedLineFile(LineFile& file, const char* path, const char* text, std::size_t length)
{
    const bool failedBefore = file.Failed;
    return NameNewFailure(failedBefore, WriteLineFile(file, text, length), path);
}

bool CloseNamedLineFile(LineFile& file, const char* path)
{
    const bool failedBefore = file.Failed;
    return NameNewFailure(failedBefore, CloseLineFile(file), path);
}
