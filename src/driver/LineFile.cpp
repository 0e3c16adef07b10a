// Line files on the POSIX file interface: the standard streams add several
// layers per flush, and both outputs are flushed at every line.
#include "driver/LineFile.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

bool OpenLineFile(LineFile& file, const char* path)
{
    CloseLineFile(file);
    file.Descriptor = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return file.Descriptor >= 0;
}

bool IsLineFileOpen(const LineFile& file)
{
    return file.Descriptor >= 0;
}

void WriteLineFile(LineFile& file, const char* text, std::size_t length)
{
    while (file.Descriptor >= 0 && length > 0) {
        ssize_t written = ::write(file.Descriptor, text, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        text += written;
        length -= static_cast<std::size_t>(written);
    }
}

void CloseLineFile(LineFile& file)
{
    if (file.Descriptor >= 0)
        ::close(file.Descriptor);
    file.Descriptor = -1;
}
