// Standard input and the terminal around a run: the terminal's mode while a
// program reads it, waiting for typed bytes, and the signals that stop a run.
#pragma once

#include <atomic>
#include <csignal>
#include <cstdint>
#include <vector>

#include <termios.h>

struct LiveInput {
    int Fd = -1;
    bool IsTerminal = false;
    bool Raw = false; // switched to character-at-a-time, no echo
    termios Saved{};
};

enum FetchResult { FetchGot, FetchNothing, FetchEnded, FetchInterrupted };

// Takes fd as the console's live source; a terminal is switched to
// character-at-a-time without echo (Ctrl-C still stops the run) until
// RestoreTerminal.
void OpenLiveInput(LiveInput& input, int fd);
void RestoreTerminal(LiveInput& input);

// The bytes that have arrived: waits up to timeoutMs for the first (-1: as
// long as it takes). A signal ends the wait.
FetchResult FetchInput(LiveInput& input, std::vector<std::uint8_t>& bytes, int timeoutMs);

// SIGINT, SIGTERM and SIGHUP set *pause (a session's pause request) for the
// run to stop at an instruction boundary; a second one restores the terminal
// and ends the process at once by the signal's default action.
void InstallStopSignals(std::atomic<bool>* pause, const LiveInput* input);
// The signal that asked for the pause, or 0.
int CaughtStopSignal();
// Back to the default actions.
void RemoveStopSignals();
