// The 8085's own serial line at a baud rate: what the program bit-bangs on
// SOD through SIM, decoded into characters, and typed bytes sent on SID bit
// by bit for RIM to read. Times are T-states.
#pragma once

#include <cstdint>
#include <string>

#include "simulator/Console.h"

struct SerialLine {
    bool Enabled = false;
    std::uint64_t ClockHz = 0; // T-states a second
    std::uint32_t Baud = 0;

    // SOD: a frame is a start bit (low), 8 data bits low first, a stop bit
    // (high), each sampled in its middle; more stop bits are idle line.
    bool Sod = false;     // SOD is low after reset
    bool SodHigh = false; // the line has been high: a fall starts a frame
    bool InFrame = false;
    std::uint64_t FrameStart = 0;
    int NextSample = 0; // 0 the start bit, 1 to 8 the data bits, 9 the stop bit
    std::uint8_t Byte = 0;
    bool HasEdge = false;
    std::uint64_t LastEdge = 0;
    std::uint64_t ShortestRun = 0; // between two edges: about the program's bit time
    bool Failed = false;           // a frame did not decode
    bool Reported = false;

    // SID: a frame starts when the program samples the idle line while a
    // typed byte waits.
    bool SidFrame = false;
    std::uint64_t SidStart = 0;
    std::uint8_t SidByte = 0;
};

// The most --serial-baud takes.
constexpr std::uint32_t MaxSerialBaud = 1000000;

void SetUpSerialLine(SerialLine& line, std::uint32_t baud, std::uint32_t clockKHz);
// The T-states of one bit, rounded: the figure the messages give.
std::uint64_t SerialBitTStates(const SerialLine& line);

// SOD set to level at tStates (SIM with SDE); the characters completed before
// then are appended to decoded.
void SetSod(SerialLine& line, std::uint64_t tStates, bool level, std::string& decoded);
// The samples of the frame under way up to tStates, read at the line's level:
// a character shows as soon as its stop bit has been sampled.
void AdvanceSod(SerialLine& line, std::uint64_t tStates, std::string& decoded);
// The run is over: the line stays as it is, so a frame under way is read out.
void FinishSod(SerialLine& line, std::string& decoded);
// Once, after a frame failed: the warning naming the bit time the program
// seems to use; empty otherwise.
std::string TakeSodFailure(SerialLine& line, std::uint32_t clockKHz);

// The SID level RIM reads at tStates. An idle line starts the next typed
// byte's frame; with none waiting it counts as a poll of the console.
bool SampleSid(SerialLine& line, ConsoleIo& console, std::uint64_t tStates, std::uint64_t step);
