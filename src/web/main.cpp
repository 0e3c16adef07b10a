// The WebAssembly module's entry points (embind): JavaScript values in,
// JSON text out; web/src/toolchain.js turns it into the objects of api.ts.
#include <emscripten/bind.h>

#include "web/WebApi.h"
#include "web/WebSession.h"

namespace {

using emscripten::val;

// Files come flattened as [name, data, name, data, ...]; data is a string or
// a Uint8Array.
std::vector<WebFile> ReadFileList(const val& list)
{
    std::vector<std::string> flat = emscripten::vecFromJSArray<std::string>(list);
    std::vector<WebFile> files;
    for (std::size_t i = 0; i + 1 < flat.size(); i += 2)
        files.push_back(WebFile{flat[i], flat[i + 1]});
    return files;
}

std::vector<std::string> ReadWords(const val& list)
{
    return emscripten::vecFromJSArray<std::string>(list);
}

std::string Assemble(const std::string& source, const std::string& mainFile, const val& files, int fill, bool crLf)
{
    return AssembleToJson(source, mainFile, ReadFileList(files), static_cast<std::uint8_t>(fill), crLf);
}

std::string RunCommand(const std::string& program, const val& arguments, const val& files)
{
    return RunCommandToJson(program, ReadWords(arguments), ReadFileList(files));
}

std::string Load(WebSession& web, const std::string& name, const std::string& data, const val& files, const val& options)
{
    return LoadWebSession(web, WebFile{name, data}, ReadFileList(files), ReadWords(options));
}

std::string Run(WebSession& web, const std::string& how, double count)
{
    return RunWebSession(web, how, count < 1 ? 0 : static_cast<std::uint64_t>(count));
}

std::string Checks(WebSession& web, const val& options)
{
    return ChecksJson(web, ReadWords(options));
}

} // namespace

EMSCRIPTEN_BINDINGS(toolchain)
{
    emscripten::function("assemble", &Assemble);
    emscripten::function("runCommand", &RunCommand);
    emscripten::class_<WebSession>("WebSession")
        .constructor<>()
        .function("load", &Load)
        .function("run", &Run)
        .function("reset", &ResetWebSession)
        .function("pause", &PauseWebSession)
        .function("snapshot", &SnapshotJson)
        .function("report", &ReportText)
        .function("checks", &Checks)
        .function("breakpoints", &BreakpointsJson)
        .function("setBreakpoint", &SetWebBreakpoint)
        .function("setWatchpoint", &SetWebWatchpoint)
        .function("setRegister", &SetWebRegister)
        .function("readMemory", &ReadWebMemory)
        .function("writeMemory", &WriteWebMemory)
        .function("queueInput", &QueueWebInput)
        .function("holdInput", &HoldWebInput)
        .function("sendConsole", &SendWebConsole)
        .function("raiseInterrupt", &RaiseWebInterrupt);
}
