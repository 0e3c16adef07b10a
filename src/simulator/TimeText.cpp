// The time of a run in a unit that fits it, and the clock it ran at.
#include "simulator/TimeText.h"

namespace {

// whole.fraction, the fraction with digits digits.
std::string FixedPoint(std::uint64_t value, std::uint64_t scale, int digits)
{
    std::string fraction = std::to_string(value % scale);
    return std::to_string(value / scale) + "." + std::string(digits - fraction.size(), '0') + fraction;
}

std::uint64_t RoundedDivide(std::uint64_t value, std::uint64_t divisor)
{
    return value / divisor + (value % divisor >= (divisor + 1) / 2 ? 1 : 0);
}

} // namespace

std::string FormatClock(std::uint32_t clockKHz)
{
    return FixedPoint(clockKHz, 1000, 3) + " MHz";
}

std::string FormatTime(std::uint64_t tStates, std::uint32_t clockKHz)
{
    // T-states stay below 2^44 (the step limit), so the product fits.
    std::uint64_t nanoseconds = RoundedDivide(tStates * 1000000, clockKHz);
    std::string time;
    if (nanoseconds < 10000000)
        time = FixedPoint(nanoseconds, 1000, 3) + " us";
    else if (RoundedDivide(nanoseconds, 1000) < 10000000)
        time = FixedPoint(RoundedDivide(nanoseconds, 1000), 1000, 3) + " ms";
    else
        time = FixedPoint(RoundedDivide(nanoseconds, 100000000), 10, 1) + " s";
    return time + " at " + FormatClock(clockKHz);
}
