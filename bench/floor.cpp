// The floor: what the pass's output costs when nothing but the writes is done.
//
//   pass2_floor IN OUT [IN OUT ...]
//
// Reads each IN whole, then recreates OUT and writes IN back into it with one
// plain write() per line, line end included. Run on the run log and the object
// file that the pass produced, it issues exactly the writes the pass must
// issue (one per finished line, both files flushed at every line end).
//
// Reading the inputs is no part of the floor: the time it took is printed on
// standard output as "READ wall_ms cpu_ms", for the caller to take off the
// time of the whole process. What is left is the cost of the writes plus the
// start and end of a process, which the pass pays as well.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

double WallMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double CpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto ms = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

bool ReadWhole(const char* path, std::vector<char>& text)
{
    int fd = open(path, O_RDONLY);
    struct stat info { };
    if (fd < 0 || fstat(fd, &info) != 0)
        return false;
    text.resize(static_cast<std::size_t>(info.st_size));
    std::size_t used = 0;
    while (used < text.size()) {
        ssize_t got = read(fd, text.data() + used, text.size() - used);
        if (got <= 0)
            break;
        used += static_cast<std::size_t>(got);
    }
    text.resize(used);
    close(fd);
    return true;
}

bool WriteLines(const char* path, const std::vector<char>& text)
{
    int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        const char* eol = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        const char* next = eol != nullptr ? eol + 1 : end;
        if (write(fd, p, static_cast<std::size_t>(next - p)) < 0) {
            close(fd);
            return false;
        }
        p = next;
    }
    close(fd);
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3 || argc % 2 == 0) {
        std::fprintf(stderr, "usage: %s IN OUT [IN OUT ...]\n", argv[0]);
        return 2;
    }
    // Everything is read before the first write, so reading can be timed apart.
    const double wallStart = WallMs();
    const double cpuStart = CpuMs();
    std::vector<std::vector<char>> texts(static_cast<std::size_t>(argc - 1) / 2);
    for (int i = 1; i < argc; i += 2) {
        if (!ReadWhole(argv[i], texts[static_cast<std::size_t>(i - 1) / 2])) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
    }
    std::printf("READ %.3f %.3f\n", WallMs() - wallStart, CpuMs() - cpuStart);
    std::fflush(stdout);
    for (int i = 1; i < argc; i += 2) {
        if (!WriteLines(argv[i + 1], texts[static_cast<std::size_t>(i - 1) / 2])) {
            std::fprintf(stderr, "cannot write %s\n", argv[i + 1]);
            return 1;
        }
    }
    return 0;
}
