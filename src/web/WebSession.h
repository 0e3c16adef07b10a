// One simulator session of the WebAssembly module: the simulator's Session
// with what the page has not been shown yet (console text, warnings, port
// writes, memory since the previous snapshot), each call answered in JSON.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "simulator/Session.h"
#include "web/WebApi.h"

struct WebSession {
    std::unique_ptr<Session> Run; // null until a program is loaded
    std::string Console;          // output since the previous snapshot
    std::string Warnings;
    std::size_t OutputsShown = 0;         // of Run->Outputs
    std::vector<std::uint8_t> MemoryShown; // empty: the next snapshot sends all memory
};

// Loads a program as Simulator PROGRAM OPTIONS would (the files beside it),
// without running it: {status, stdout, stderr}. Without --max-steps a
// session runs to the largest limit, since its user stops it.
std::string LoadWebSession(WebSession& web, const WebFile& program, const std::vector<WebFile>& files,
    const std::vector<std::string>& options);

// Runs: "step" count instructions, "run" at most count, "over", "out";
// answers the stop {reason, address, text}.
std::string RunWebSession(WebSession& web, const std::string& how, std::uint64_t count);
void ResetWebSession(WebSession& web);

std::string SnapshotJson(WebSession& web);
std::string ReportText(const WebSession& web);
// The --expect, --expect-out and --expect-cycles checks in options, each
// evaluated on the machine as it stands: {ok, error, checks: [{text, passed, line}]}.
std::string ChecksJson(WebSession& web, const std::vector<std::string>& options);
std::string BreakpointsJson(const WebSession& web);

// Breakpoints and watchpoints by address (a watchpoint watches one byte's writes).
void SetWebBreakpoint(WebSession& web, std::uint16_t address, bool on);
void SetWebWatchpoint(WebSession& web, std::uint16_t address, bool on);
// False when name is no register.
bool SetWebRegister(WebSession& web, const std::string& name, std::uint16_t value);
std::string ReadWebMemory(const WebSession& web, std::uint16_t address, std::uint32_t length);
void WriteWebMemory(WebSession& web, std::uint16_t address, const std::string& bytes);
void QueueWebInput(WebSession& web, std::uint8_t port, const std::string& bytes);
// What IN reads from the port once its queue is spent (-1: FFH again).
void HoldWebInput(WebSession& web, std::uint8_t port, int value);
// Keys typed at the program's console (LF is taken as CR, as a terminal sends it).
void SendWebConsole(WebSession& web, const std::string& bytes);
// The next run (or the running one, from another thread) stops at once.
void PauseWebSession(WebSession& web);
// False when name is no interrupt line (TRAP, RST7.5, RST6.5, RST5.5, INTR).
bool RaiseWebInterrupt(WebSession& web, const std::string& name);
