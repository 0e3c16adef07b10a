// Assembling and command-line runs for the WebAssembly module: the files put
// in a scratch directory, the front and the simulator run on them as the
// programs run them, and what they leave answered in JSON.
#include "web/WebApi.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <unistd.h>

#include "front/Front.h"
#include "output/ByteImage.h"
#include "simulator/Simulator.h"
#include "web/Json.h"

namespace fs = std::filesystem;

namespace {

const char* const Severities[] = {"error", "warning", "note"};

// "FILE:LINE" or a program name before the severity.
void ReadMessagePlace(const std::string& place, Diagnostic& diagnostic)
{
    std::size_t colon = place.rfind(':');
    if (colon != std::string::npos && colon + 1 < place.size()
        && place.find_first_not_of("0123456789", colon + 1) == std::string::npos && colon + 10 > place.size()) {
        diagnostic.File = place.substr(0, colon);
        diagnostic.Line = std::stoi(place.substr(colon + 1));
    }
}

std::string ReadWorkingFile(const std::string& path)
{
    std::string text;
    ReadFileText(path, text);
    return text;
}

const std::uint8_t* BytesOf(const std::string& data)
{
    return reinterpret_cast<const std::uint8_t*>(data.data());
}

void WriteDiagnostics(JsonWriter& json, const std::string& errorText)
{
    NextJsonField(json, "diagnostics");
    OpenJson(json, '[');
    for (const Diagnostic& diagnostic : ParseDiagnostics(errorText)) {
        NextJsonItem(json);
        OpenJson(json, '{');
        WriteJsonField(json, "file", diagnostic.File);
        WriteJsonField(json, "line", diagnostic.Line);
        WriteJsonField(json, "severity", diagnostic.Severity);
        WriteJsonField(json, "message", diagnostic.Message);
        WriteJsonField(json, "chain", diagnostic.Chain);
        WriteJsonField(json, "text", diagnostic.Text);
        CloseJson(json, '}');
    }
    CloseJson(json, ']');
}

// Every run of consecutive written addresses.
void WriteImageRanges(JsonWriter& json, const ByteImage& image)
{
    NextJsonField(json, "image");
    OpenJson(json, '[');
    std::uint32_t address = 0;
    while (image.ByteCount > 0 && address < 0x10000) {
        if (image.Lines[address] == 0) {
            ++address;
            continue;
        }
        std::uint32_t end = address;
        while (end < 0x10000 && image.Lines[end] != 0)
            ++end;
        NextJsonItem(json);
        OpenJson(json, '{');
        WriteJsonField(json, "address", static_cast<int>(address));
        WriteJsonBytesField(json, "bytes", image.Bytes.data() + address, end - address);
        CloseJson(json, '}');
        address = end;
    }
    CloseJson(json, ']');
}

void WriteAssembledSource(JsonWriter& json, const AssemblyResult& result, const std::string& mainFile)
{
    NextJsonField(json, "symbols");
    OpenJson(json, '[');
    for (const DefinedSymbol& symbol : result.Pass1.Symbols) {
        NextJsonItem(json);
        OpenJson(json, '{');
        WriteJsonField(json, "name", symbol.Name);
        WriteJsonField(json, "value", static_cast<int>(symbol.Value));
        WriteJsonField(json, "line", symbol.LineNumber);
        CloseJson(json, '}');
    }
    CloseJson(json, ']');
    NextJsonField(json, "lines");
    OpenJson(json, '[');
    for (const ListedLine& line : result.Pass1.Lines) {
        if (!line.HasAddress)
            continue;
        NextJsonItem(json);
        OpenJson(json, '{');
        // The line of an include file is within that file.
        const std::vector<std::string>& files = result.Pass1.Files;
        std::size_t file = static_cast<std::size_t>(line.File);
        WriteJsonField(json, "file", file < files.size() && file > 0 ? files[file] : mainFile);
        WriteJsonField(json, "line", line.LineNumber);
        WriteJsonField(json, "address", static_cast<int>(line.Address));
        WriteJsonField(json, "size", line.ByteCount);
        CloseJson(json, '}');
    }
    CloseJson(json, ']');
}

std::string CurrentDirectory()
{
    std::error_code error;
    return fs::current_path(error).string();
}

} // namespace

ScratchDirectory::ScratchDirectory() : Previous(CurrentDirectory())
{
    static unsigned counter = 0;
    std::error_code error;
    fs::path path = fs::temp_directory_path(error)
        / ("toolchain-" + std::to_string(getpid()) + "-" + std::to_string(++counter));
    fs::remove_all(path, error);
    if (fs::create_directories(path, error) && chdir(path.c_str()) == 0)
        Path = path.string();
}

ScratchDirectory::~ScratchDirectory()
{
    if (Path.empty())
        return;
    std::error_code error;
    if (chdir(Previous.c_str()) == 0)
        fs::remove_all(Path, error);
}

bool WriteWebFiles(const std::vector<WebFile>& files, std::string& failed)
{
    for (const WebFile& file : files) {
        fs::path path(file.Name);
        std::error_code error;
        if (path.has_parent_path())
            fs::create_directories(path.parent_path(), error);
        std::ofstream out(file.Name, std::ios::binary | std::ios::trunc);
        out.write(file.Data.data(), static_cast<std::streamsize>(file.Data.size()));
        out.close();
        if (!out) {
            failed = file.Name;
            return false;
        }
    }
    return true;
}

std::vector<Diagnostic> ParseDiagnostics(const std::string& errorText)
{
    std::vector<Diagnostic> diagnostics;
    std::string chain;
    std::istringstream lines(errorText);
    std::string line;
    while (std::getline(lines, line)) {
        std::size_t at = std::string::npos;
        const char* severity = nullptr;
        for (const char* name : Severities) {
            std::size_t found = line.find(std::string(": ") + name + ": ");
            if (found < at) {
                at = found;
                severity = name;
            }
        }
        if (severity == nullptr) {
            chain += line + "\n";
            continue;
        }
        Diagnostic diagnostic;
        ReadMessagePlace(line.substr(0, at), diagnostic);
        diagnostic.Severity = severity;
        diagnostic.Message = line.substr(at + diagnostic.Severity.size() + 4);
        diagnostic.Chain = chain;
        diagnostic.Text = chain + line;
        if (!diagnostic.Chain.empty())
            diagnostic.Chain.pop_back();
        chain.clear();
        diagnostics.push_back(diagnostic);
    }
    return diagnostics;
}

std::string AssembleToJson(const std::string& source, const std::string& mainFile, const std::vector<WebFile>& files,
    std::uint8_t fill, bool crLf)
{
    ScratchDirectory scratch;
    std::vector<WebFile> all = files;
    all.push_back(WebFile{mainFile, source});
    std::ostringstream out, errors;
    FrontOptions options;
    options.Source = mainFile;
    options.WriteBinary = true;
    options.Fill = fill;
    options.CrLf = crLf;
    AssemblyResult result{};
    std::string failed;
    int status = 2;
    if (!WriteWebFiles(all, failed))
        errors << "Assembler: error: cannot write " << failed << '\n';
    else
        status = AssembleAndWrite(options, result, out, errors);

    JsonWriter json;
    OpenJson(json, '{');
    WriteJsonField(json, "status", status);
    WriteJsonField(json, "errorText", errors.str());
    WriteDiagnostics(json, errors.str());
    std::string base = result.BaseName;
    bool written = status == 0;
    // A failed assembly still has its listing, with the messages under their lines.
    WriteJsonField(json, "listing", status <= 1 ? ReadWorkingFile(base + ".lst") : std::string());
    WriteJsonField(json, "hex", written ? ReadWorkingFile(base + ".hex") : std::string());
    std::string binary = written ? ReadWorkingFile(base + ".bin") : std::string();
    WriteJsonBytesField(json, "binary", BytesOf(binary), binary.size());
    WriteJsonField(json, "loadAddress", static_cast<int>(result.Image.ByteCount > 0 ? result.Image.Lowest : 0));
    WriteImageRanges(json, result.Image);
    NextJsonField(json, "start");
    json.Text += result.HasStartAddress ? std::to_string(result.StartAddress) : "null";
    WriteAssembledSource(json, result, mainFile);
    CloseJson(json, '}');
    return json.Text;
}

std::string RunCommandToJson(
    const std::string& program, const std::vector<std::string>& arguments, const std::vector<WebFile>& files)
{
    ScratchDirectory scratch;
    std::ostringstream out, errors;
    std::string failed;
    int status = 2;
    if (!WriteWebFiles(files, failed)) {
        errors << program << ": error: cannot write " << failed << '\n';
    } else if (program == "Assembler") {
        std::vector<const char*> argv{"Assembler"};
        for (const std::string& argument : arguments)
            argv.push_back(argument.c_str());
        status = RunFront(static_cast<int>(argv.size()), argv.data(), out, errors);
    } else if (program == "Simulator") {
        status = RunSimulator(arguments, out, errors);
    } else {
        errors << "no program " << program << " (Assembler or Simulator)\n";
    }

    std::map<std::string, std::string> given;
    for (const WebFile& file : files)
        given[fs::path(file.Name).lexically_normal().string()] = file.Data;
    JsonWriter json;
    OpenJson(json, '{');
    WriteJsonField(json, "status", status);
    WriteJsonField(json, "stdout", out.str());
    WriteJsonField(json, "stderr", errors.str());
    NextJsonField(json, "files");
    OpenJson(json, '{');
    std::error_code error;
    for (fs::recursive_directory_iterator entry(".", error), end; !error && entry != end; entry.increment(error)) {
        if (!entry->is_regular_file(error))
            continue;
        std::string name = entry->path().lexically_relative(".").string();
        std::string data = ReadWorkingFile(name);
        auto before = given.find(name);
        if (before != given.end() && before->second == data)
            continue;
        NextJsonItem(json);
        AppendJsonString(json.Text, name);
        json.Text += ':';
        AppendJsonBytes(json.Text, BytesOf(data), data.size());
    }
    CloseJson(json, '}');
    CloseJson(json, '}');
    return json.Text;
}
