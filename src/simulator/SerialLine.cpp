// The serial line of SID and SOD: frames timed in T-states at the baud rate,
// sampled in the middle of each bit as a UART does.
#include "simulator/SerialLine.h"

#include "simulator/TimeText.h"

namespace {

constexpr int StopSample = 9;
constexpr int FrameBits = 10; // start, 8 data bits, one stop bit

// The middle of bit k of the frame (0 the start bit), exactly: the bit time
// is ClockHz / Baud T-states, not always a whole number.
std::uint64_t SampleTime(const SerialLine& line, int k)
{
    return line.FrameStart + (static_cast<std::uint64_t>(2 * k + 1) * line.ClockHz) / (2 * line.Baud);
}

void FailFrame(SerialLine& line)
{
    line.InFrame = false;
    line.Failed = true;
}

// Reads the samples of the frame under way that fall before upTo (all of
// them when all is set) at the level the line has had since the last edge.
void ReadSamples(SerialLine& line, std::uint64_t upTo, bool all, std::string& decoded)
{
    while (line.InFrame && (all || SampleTime(line, line.NextSample) < upTo)) {
        int k = line.NextSample++;
        if (k == 0) {
            if (line.Sod)
                FailFrame(line); // the start bit ended before its middle
        } else if (k < StopSample) {
            line.Byte = static_cast<std::uint8_t>(line.Byte | (line.Sod ? 1 : 0) << (k - 1));
        } else {
            line.InFrame = false;
            if (line.Sod)
                decoded += static_cast<char>(line.Byte);
            else
                line.Failed = true; // no stop bit: a framing error
        }
    }
}

} // namespace

void SetUpSerialLine(SerialLine& line, std::uint32_t baud, std::uint32_t clockKHz)
{
    line = SerialLine();
    line.Enabled = true;
    line.Baud = baud;
    line.ClockHz = static_cast<std::uint64_t>(clockKHz) * 1000;
}

std::uint64_t SerialBitTStates(const SerialLine& line)
{
    return (line.ClockHz + line.Baud / 2) / line.Baud;
}

void SetSod(SerialLine& line, std::uint64_t tStates, bool level, std::string& decoded)
{
    if (level == line.Sod)
        return;
    ReadSamples(line, tStates, false, decoded);
    if (line.HasEdge) {
        std::uint64_t run = tStates - line.LastEdge;
        if (line.ShortestRun == 0 || run < line.ShortestRun)
            line.ShortestRun = run;
        // Bits shorter than half of ours: the program sends faster.
        if (line.InFrame && 2 * run < SerialBitTStates(line))
            FailFrame(line);
    }
    line.HasEdge = true;
    line.LastEdge = tStates;
    line.Sod = level;
    if (level) {
        line.SodHigh = true;
    } else if (line.SodHigh && !line.InFrame) {
        line.InFrame = true;
        line.FrameStart = tStates;
        line.NextSample = 0;
        line.Byte = 0;
    }
}

void AdvanceSod(SerialLine& line, std::uint64_t tStates, std::string& decoded)
{
    ReadSamples(line, tStates, false, decoded);
}

void FinishSod(SerialLine& line, std::string& decoded)
{
    ReadSamples(line, 0, true, decoded);
}

std::string TakeSodFailure(SerialLine& line, std::uint32_t clockKHz)
{
    if (!line.Failed || line.Reported)
        return "";
    line.Reported = true;
    std::string text = "Simulator: warning: SOD does not decode at " + std::to_string(line.Baud) + " baud ("
        + std::to_string(SerialBitTStates(line)) + " T-states a bit at " + FormatClock(clockKHz) + ")";
    if (line.ShortestRun != 0)
        text += "; the program's bits seem to be " + std::to_string(line.ShortestRun) + " T-states long (about "
            + std::to_string((line.ClockHz + line.ShortestRun / 2) / line.ShortestRun) + " baud)";
    return text + "\n";
}

bool SampleSid(SerialLine& line, ConsoleIo& console, std::uint64_t tStates, std::uint64_t step)
{
    if (line.SidFrame) {
        std::uint64_t bit = (tStates - line.SidStart) * line.Baud / line.ClockHz;
        if (bit < static_cast<std::uint64_t>(FrameBits)) {
            if (bit == 0)
                return false;
            return bit > 8 || ((line.SidByte >> (bit - 1)) & 1) != 0;
        }
        line.SidFrame = false;
    }
    if (HasTypedByte(console)) {
        line.SidByte = TakeTypedByte(console);
        line.SidFrame = true;
        line.SidStart = tStates;
        return false;
    }
    NoteEmptyPoll(console, step);
    return true;
}
