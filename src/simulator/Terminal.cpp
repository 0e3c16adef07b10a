// The live console's side of the operating system: termios, poll and read
// on standard input, and the stop signals.
#include "simulator/Terminal.h"

#include <cerrno>

#include <poll.h>
#include <unistd.h>

namespace {

const int StopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// What the handler may touch: set before it is installed.
std::atomic<bool>* PauseFlag = nullptr; // lock-free, so safe in a handler
const LiveInput* RawTerminal = nullptr;
volatile std::sig_atomic_t SignalsCaught = 0;
volatile std::sig_atomic_t FirstSignal = 0;

void StopOnSignal(int number)
{
    if (SignalsCaught++ == 0 && PauseFlag != nullptr) {
        FirstSignal = number;
        PauseFlag->store(true);
        return;
    }
    // tcsetattr, signal and raise are async-signal-safe.
    if (RawTerminal != nullptr && RawTerminal->Raw)
        tcsetattr(RawTerminal->Fd, TCSANOW, &RawTerminal->Saved);
    std::signal(number, SIG_DFL);
    std::raise(number);
}

} // namespace

void OpenLiveInput(LiveInput& input, int fd)
{
    input.Fd = fd;
    input.IsTerminal = isatty(fd) != 0 && tcgetattr(fd, &input.Saved) == 0;
    if (!input.IsTerminal)
        return;
    termios raw = input.Saved;
    // Enter arrives as CR, as CP/M programs expect; signals stay on.
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN);
    raw.c_iflag &= ~static_cast<tcflag_t>(ICRNL | INLCR | IGNCR);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    input.Raw = tcsetattr(fd, TCSANOW, &raw) == 0;
}

void RestoreTerminal(LiveInput& input)
{
    if (input.Raw)
        tcsetattr(input.Fd, TCSANOW, &input.Saved);
    input.Raw = false;
}

FetchResult FetchInput(LiveInput& input, std::vector<std::uint8_t>& bytes, int timeoutMs)
{
    pollfd ready{input.Fd, POLLIN, 0};
    int count = poll(&ready, 1, timeoutMs);
    if (count < 0)
        return errno == EINTR ? FetchInterrupted : FetchEnded;
    if (count == 0)
        return FetchNothing;
    if ((ready.revents & POLLNVAL) != 0)
        return FetchEnded;
    std::uint8_t buffer[4096];
    ssize_t length = read(input.Fd, buffer, sizeof buffer);
    if (length < 0)
        return errno == EINTR ? FetchInterrupted : errno == EAGAIN ? FetchNothing : FetchEnded;
    if (length == 0)
        return FetchEnded;
    bytes.insert(bytes.end(), buffer, buffer + length);
    return FetchGot;
}

void InstallStopSignals(std::atomic<bool>* pause, const LiveInput* input)
{
    PauseFlag = pause;
    RawTerminal = input;
    SignalsCaught = 0;
    FirstSignal = 0;
    struct sigaction action {};
    action.sa_handler = StopOnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: a wait for input ends at the signal
    for (int number : StopSignals)
        sigaction(number, &action, nullptr);
}

int CaughtStopSignal()
{
    return FirstSignal;
}

void RemoveStopSignals()
{
    for (int number : StopSignals)
        std::signal(number, SIG_DFL);
    PauseFlag = nullptr;
    RawTerminal = nullptr;
}
