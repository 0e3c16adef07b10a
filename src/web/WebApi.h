// The toolchain as the WebAssembly module offers it: assembling a source and
// running a program's command line on the in-memory file system, each call
// answered in JSON (the shapes of web/src/api.ts).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A file of the run's working directory: a name (it may hold folders) and its bytes.
struct WebFile {
    std::string Name;
    std::string Data;
};

// One message of the assembler or simulator, taken apart. Chain holds the
// lines printed before it that are no message of their own (an include or
// expansion chain).
struct Diagnostic {
    std::string File;
    int Line = 0;
    std::string Severity; // error, warning, note
    std::string Message;
    std::string Chain;
    std::string Text;
};

// Splits a program's standard error into its messages.
std::vector<Diagnostic> ParseDiagnostics(const std::string& errorText);

// Assembles mainFile (with source as its text, and the other files beside
// it) as Assembler does, in a fresh working directory. An AssembleResult.
std::string AssembleToJson(const std::string& source, const std::string& mainFile, const std::vector<WebFile>& files,
    std::uint8_t fill, bool crLf);

// Runs the command line of Assembler or Simulator with the files in a fresh
// working directory: {status, stdout, stderr, files} with every file the run
// wrote or changed, its bytes in hexadecimal.
std::string RunCommandToJson(
    const std::string& program, const std::vector<std::string>& arguments, const std::vector<WebFile>& files);

// A fresh working directory for one call, entered for its lifetime and
// removed with whatever was written in it.
struct ScratchDirectory {
    std::string Path;
    std::string Previous;
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
};

// Writes the files into the working directory, creating their folders; false
// (and the name in failed) when one cannot be written.
bool WriteWebFiles(const std::vector<WebFile>& files, std::string& failed);
