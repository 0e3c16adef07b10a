// The console a program talks to: what it prints (passed on at once), what is
// typed to it (--input, then standard input), and the CP/M console calls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cpu/Machine.h"
#include "simulator/TextSink.h"

// Why a run should stop for the console, if it should.
enum ConsoleRequest {
    ConsoleGoesOn,
    ConsoleWantsKey,  // a read waits and nothing is typed yet
    ConsoleWantsPoll, // a status poll found nothing: look for typed bytes (and wait a little when idle)
    ConsoleInputSpent // the input has ended and the program keeps asking
};

// A BDOS 10 line as it is typed.
struct LineEditor {
    bool Active = false;
    std::uint8_t Max = 0;
    std::vector<std::uint8_t> Text;
};

// What one key does to a line being typed.
enum LineKey { LineGoesOn, LineDone, LineCancelled };

struct ConsoleIo {
    const TextSink* Out = nullptr; // flushed after each piece
    bool Printed = false;      // anything at all
    bool AtLineStart = true;   // the last byte printed was LF (or nothing was printed)

    std::vector<std::uint8_t> Typed; // bytes typed, LF already CR
    std::size_t TypedRead = 0;
    bool AfterReturn = false;  // the last byte queued was CR: an LF after it is dropped
    bool MoreMayCome = false;  // a live source may still bring bytes

    LineEditor Line;
    std::uint64_t ReadsPastEnd = 0;  // waits answered with the end of input
    std::uint64_t EmptyPolls = 0;    // in a row, nothing printed since
    std::uint64_t PollsSinceCheck = 0;
    std::uint64_t LastCheckStep = 0; // when the live source was last looked at
    bool Checked = false;            // it has been looked at at least once
    ConsoleRequest Request = ConsoleGoesOn; // until the run loop has stopped for it
    ConsoleRequest Waiting = ConsoleGoesOn; // what the last stop for the console was for
};

// How often the end of input may be answered before the run is stopped:
// waits (BDOS 1 and 10), and status polls that find nothing with nothing
// printed in between.
constexpr std::uint64_t MaxReadsPastEnd = 10;
constexpr std::uint64_t MaxPollsPastEnd = 1000000;
// A program polling a live source is looked at every this many instructions.
constexpr std::uint64_t PollCheckSteps = 10000;

// "A\r\n\x1A" to bytes: the C escapes \r \n \t \\ \" \' \0 \a \b \e \f \v
// and \xHH (one or two hex digits). False for a bad escape.
bool ParseConsoleText(const std::string& text, std::vector<std::uint8_t>& bytes);

// Adds typed bytes: LF becomes CR, and CR LF one CR.
void QueueConsoleInput(ConsoleIo& console, const std::uint8_t* bytes, std::size_t count);
bool HasTypedByte(const ConsoleIo& console);
std::uint8_t TakeTypedByte(ConsoleIo& console);
// Nothing is queued and nothing more can come.
bool InputEnded(const ConsoleIo& console);

// Prints bytes and passes them on at once.
void PrintConsole(ConsoleIo& console, const char* bytes, std::size_t count);
void PrintConsoleByte(ConsoleIo& console, std::uint8_t byte);

// A status poll that found nothing typed, at the given step. True when the
// run should stop to look at the live source (or end: the input is spent).
bool NoteEmptyPoll(ConsoleIo& console, std::uint64_t step);
// A byte arrived or the source was looked at: polls start counting again.
void NoteInputChecked(ConsoleIo& console, std::uint64_t step);

// One key typed into a BDOS 10 line, with CP/M's editing: CR or LF ends it
// (echoed as CR), BS or DEL takes back a character, Ctrl-U starts over on a
// new line, Ctrl-X erases the line, Ctrl-R types it again, Ctrl-E starts a
// new screen line, Ctrl-C at the start cancels (the program ends). The line
// also ends when it is full. echo gets what the key shows.
LineKey EditLine(LineEditor& line, std::uint8_t key, std::string& echo);

// The outcome of a BDOS call for the console.
enum ConsoleCall {
    CallServed,     // the results are in the registers: return to the program
    CallWaits,      // input wanted (Request says how): serve the call again later
    CallCancelled,  // Ctrl-C at the start of a line: a warm boot
    CallInputSpent, // the program keeps reading after the end of its input
    CallNotConsole  // not a console function
};

// Serves BDOS 1, 2, 6, 9, 10, 11 and 12 for the machine's registers. A call
// that returns a value leaves it in A and L, with B and H zero.
ConsoleCall ServeConsoleCall(ConsoleIo& console, Machine& machine, std::uint8_t function);
