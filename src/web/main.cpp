// The WebAssembly module's entry points (embind): JavaScript values in,
// JSON text out; web/src/toolchain.js turns it into the objects of api.ts.
#include <emscripten/bind.h>

#include "web/WebApi.h"

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

std::string Assemble(const std::string& source, const std::string& mainFile, const val& files, int fill, bool crLf)
{
    return AssembleToJson(source, mainFile, ReadFileList(files), static_cast<std::uint8_t>(fill), crLf);
}

std::string RunCommand(const std::string& program, const val& arguments, const val& files)
{
    return RunCommandToJson(program, emscripten::vecFromJSArray<std::string>(arguments), ReadFileList(files));
}

} // namespace

EMSCRIPTEN_BINDINGS(toolchain)
{
    emscripten::function("assemble", &Assemble);
    emscripten::function("runCommand", &RunCommand);
}
