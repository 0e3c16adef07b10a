// Times and clock rates as the simulator's reports and messages write them.
#pragma once

#include <cstdint>
#include <string>

// "3.072 MHz": a clock in kHz with its three decimals.
std::string FormatClock(std::uint32_t clockKHz);
// T-states at a clock, in a fitting unit: "730.469 us" below 10 ms (to the
// nanosecond), "1523.438 ms" below 10 s (to the microsecond), then "42.7 s"
// (to the tenth), each rounded; then " at 3.072 MHz".
std::string FormatTime(std::uint64_t tStates, std::uint32_t clockKHz);
