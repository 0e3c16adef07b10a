// The front: both passes in one process, the object file read back, and the
// formats written from it; the opcode table and trace logs found at run time.
#include "front/Front.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "driver/Run.h"
#include "output/Formats.h"

#ifndef ASSEMBLER_BUILD_OPCODES
#define ASSEMBLER_BUILD_OPCODES ""
#endif

namespace {

const char ProgramName[] = "Assembler";
const char VersionText[] = "Assembler (Intel 8085 toolchain) 1.0\n";
const char UsageText[] = "Usage: Assembler [options] FILE.asm\n"
                         "       Assembler [options] --from-object FILE.o\n"
                         "Assembles FILE.asm with both passes (FILE.pass1, FILE.sym, FILE.o) and writes\n"
                         "FILE.hex (Intel HEX) and FILE.lst (listing). Any name is a source (prog.mac, prog.s):\n"
                         "the outputs drop its last extension; a name without one reads NAME.asm.\n"
                         "\n"
                         "Options:\n"
                         "  -o NAME               base name of the files written (NAME.o, NAME.hex, ...)\n"
                         "  --bin                 also write NAME.bin, lowest to highest address written\n"
                         "  --fill BYTE           the byte in the gaps of the binary (default FFH)\n"
                         "  --no-hex              write no Intel HEX file\n"
                         "  --no-lst              write no listing\n"
                         "  --crlf                end the Intel HEX lines in CR LF\n"
                         "  -I DIR                search DIR for include files (after the including file's folder)\n"
                         "  --no-skipped          leave the lines of false conditions out of the listing\n"
                         "  --from-object FILE.o  convert an object file instead of assembling\n"
                         "  --help                show this help\n"
                         "  --version             show the version\n";

const char InstalledTable[] = "/share/assembler-8085/etc/opcodes.txt";
const char LocalTable[] = "etc/opcodes.txt";
const char Pass1LogPath[] = "etc/log-Pass1.txt";
const char Pass2LogPath[] = "etc/log-Pass2.txt";
const char OverlapTail[] = ", already written by line ";
const char OverlapElsewhereTail[] = ", already written at ";

bool IsFile(const std::string& path)
{
    struct stat info;
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsDirectory(const char* path)
{
    struct stat info;
    return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

std::string ExecutablePath()
{
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string();
}

bool EndsWithNoCase(const std::string& text, const char* tail)
{
    std::size_t length = std::strlen(tail);
    if (text.size() < length)
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        char c = text[text.size() - length + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != tail[i])
            return false;
    }
    return true;
}

void ReportProgramError(std::ostream& errors, const std::string& message)
{
    errors << ProgramName << ": error: " << message << '\n';
}

void ReportLineError(std::ostream& errors, const std::string& file, int line, const std::string& message)
{
    errors << file << ':' << line << ": error: " << message << '\n';
}

// Writes one output file through write (one of the format writers); false
// when the file cannot be written whole.
template <typename Writer> bool WriteOutputFile(const std::string& path, Writer write)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file)
        return false;
    write(file);
    file.close();
    return !file.fail();
}

// The listed line (its index from 1) of every object line. The lines of the
// first pass that write bytes follow the object lines in order; one source
// line may give several object lines (a long DB list, statements separated
// by "!"), each at the address where the one before it ended. Where the
// addresses disagree the object line keeps its own number (0 here).
std::vector<int> SourceLinesOfObjectLines(const ByteImage& image, const std::vector<ListedLine>& lines)
{
    int lastObjectLine = image.Records.empty() ? 0 : image.Records.back().LineNumber;
    std::vector<int> sourceLines(static_cast<std::size_t>(lastObjectLine) + 1, 0);
    std::size_t next = 0;
    int covered = 0; // bytes of lines[next] met so far
    for (const ObjectRecord& record : image.Records) {
        while (next < lines.size() && (lines[next].ByteCount == 0 || covered >= lines[next].ByteCount)) {
            ++next;
            covered = 0;
        }
        if (next == lines.size())
            break;
        const ListedLine& line = lines[next];
        if (record.Address == static_cast<std::uint16_t>(line.Address + covered))
            sourceLines[static_cast<std::size_t>(record.LineNumber)] = static_cast<int>(next + 1);
        covered += record.ByteCount > 0 ? record.ByteCount : line.ByteCount;
    }
    return sourceLines;
}

// Each fault of the object file, on the source line it came from when the
// source is known (and then in the listing's messages too), else on the
// object line.
void ReportObjectFaults(std::ostream& errors, const std::vector<ObjectFault>& faults, AssemblyResult& result,
    const std::string& sourcePath, const std::string& objectPath)
{
    std::vector<int> sourceLines;
    if (result.FromSource)
        sourceLines = SourceLinesOfObjectLines(result.Image, result.Pass1.Lines);
    bool allMapped = !sourceLines.empty();
    for (const ObjectFault& fault : faults) {
        for (int line : {fault.LineNumber, fault.OtherLine})
            if (line != 0
                && (static_cast<std::size_t>(line) >= sourceLines.size()
                    || sourceLines[static_cast<std::size_t>(line)] == 0))
                allMapped = false;
    }
    // A line of an included file is named with its file.
    auto listed = [&](int line) -> const ListedLine& {
        return result.Pass1.Lines[static_cast<std::size_t>(sourceLines[static_cast<std::size_t>(line)] - 1)];
    };
    auto fileOf = [&](int line) {
        std::size_t file = static_cast<std::size_t>(listed(line).File);
        return file < result.Pass1.Files.size() ? result.Pass1.Files[file] : sourcePath;
    };
    for (const ObjectFault& fault : faults) {
        std::string message = fault.Message;
        if (!allMapped) {
            if (fault.OtherLine != 0)
                message += OverlapTail + std::to_string(fault.OtherLine);
            ReportLineError(errors, objectPath, fault.LineNumber, message);
            continue;
        }
        const std::string file = fileOf(fault.LineNumber);
        if (fault.OtherLine != 0 && fileOf(fault.OtherLine) == file)
            message += OverlapTail + std::to_string(listed(fault.OtherLine).LineNumber);
        else if (fault.OtherLine != 0)
            message += OverlapElsewhereTail + fileOf(fault.OtherLine) + ":"
                + std::to_string(listed(fault.OtherLine).LineNumber);
        ReportLineError(errors, file, listed(fault.LineNumber).LineNumber, message);
        result.Pass1.Messages.push_back(ListedMessage{sourceLines[static_cast<std::size_t>(fault.LineNumber)], false, message});
    }
    std::stable_sort(result.Pass1.Messages.begin(), result.Pass1.Messages.end(),
        [](const ListedMessage& a, const ListedMessage& b) { return a.LineNumber < b.LineNumber; });
}

// The source file and the base name of the outputs. FILE.asm, or any file
// named with its extension (prog.MAC, prog.8085.s: the base drops the last
// extension); a name without extension is the base name of BASE.asm, as is
// any name whose BASE.asm exists.
void ChooseSource(const std::string& name, std::string& sourcePath, std::string& base)
{
    sourcePath = name;
    base = name;
    if (EndsWithNoCase(name, ".asm")) {
        base.resize(name.size() - 4);
        return;
    }
    std::size_t slash = name.rfind('/');
    std::size_t dot = name.rfind('.');
    bool hasExtension = dot != std::string::npos && dot > (slash == std::string::npos ? 0 : slash + 1);
    if (IsFile(name + ".asm") || (!hasExtension && !IsFile(name)))
        sourcePath += ".asm";
    else if (hasExtension)
        base.resize(dot);
}

// Reads BASE.o back; 0, 1 with faults reported, 2 when it cannot be read.
int ReadObjectFile(
    const std::string& objectPath, const std::string& sourcePath, AssemblyResult& result, std::ostream& errors)
{
    std::string text;
    if (ReadFileText(objectPath, text) != FileTextRead) {
        ReportProgramError(errors, "cannot read " + objectPath);
        return 2;
    }
    std::vector<ObjectFault> faults;
    if (ReadObjectText(text, result.Image, faults))
        return 0;
    ReportObjectFaults(errors, faults, result, sourcePath, objectPath);
    return 1;
}

// The listing's lines when there is no source: one per object line.
std::vector<ListedLine> ObjectLinesAsListed(const ByteImage& image)
{
    std::vector<ListedLine> lines;
    for (const ObjectRecord& record : image.Records)
        lines.push_back(ListedLine{record.LineNumber, "", true, record.Address, record.ByteCount, false, 0});
    return lines;
}

struct ParsedCommand {
    FrontOptions Options;
    bool Help = false;
    bool Version = false;
};

// 0 and the options, or 2 with the usage fault reported.
int ParseCommandLine(int argc, const char* const argv[], ParsedCommand& command, std::ostream& errors)
{
    FrontOptions& options = command.Options;
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        bool takesValue = word == "-o" || word == "--fill" || word == "--from-object" || word == "-I";
        if (takesValue && i + 1 >= argc) {
            ReportProgramError(errors, word + " needs a value");
            return 2;
        }
        if (word == "--help")
            command.Help = true;
        else if (word == "--version")
            command.Version = true;
        else if (word == "--bin")
            options.WriteBinary = true;
        else if (word == "--no-hex")
            options.WriteHex = false;
        else if (word == "--no-lst")
            options.WriteListing = false;
        else if (word == "--crlf")
            options.CrLf = true;
        else if (word == "--no-skipped")
            options.ListSkipped = false;
        else if (word == "-I")
            options.IncludeDirectories.push_back(argv[++i]);
        else if (word.size() > 2 && word.compare(0, 2, "-I") == 0)
            options.IncludeDirectories.push_back(word.substr(2));
        else if (word == "-o")
            options.OutputBase = argv[++i];
        else if (word == "--from-object")
            options.FromObject = argv[++i];
        else if (word == "--fill") {
            std::uint16_t fill = 0;
            if (!ParseNumberLiteral(argv[++i], fill) || fill > 0xFF) {
                ReportProgramError(errors, std::string("--fill needs a byte, 0 to FFH: ") + argv[i]);
                return 2;
            }
            options.Fill = static_cast<std::uint8_t>(fill);
        } else if (word.size() > 1 && word[0] == '-') {
            ReportProgramError(errors, "unknown option " + word + " (see --help)");
            return 2;
        } else if (!options.Source.empty()) {
            ReportProgramError(errors, "more than one source file: " + options.Source + ", " + word);
            return 2;
        } else {
            options.Source = word;
        }
    }
    if (command.Help || command.Version)
        return 0;
    if (options.Source.empty() && options.FromObject.empty()) {
        ReportProgramError(errors, "no source file given (see --help)");
        return 2;
    }
    if (!options.Source.empty() && !options.FromObject.empty()) {
        ReportProgramError(errors, "a source file and --from-object together");
        return 2;
    }
    return 0;
}

} // namespace

std::string FindOpcodeTable(const std::string& executablePath)
{
    if (IsFile(LocalTable))
        return LocalTable;
    // <prefix>/bin/Assembler reads <prefix>/share/assembler-8085/etc/opcodes.txt.
    std::size_t slash = executablePath.rfind('/');
    std::size_t parent =
        slash == std::string::npos || slash == 0 ? std::string::npos : executablePath.rfind('/', slash - 1);
    if (parent != std::string::npos) {
        std::string installed = executablePath.substr(0, parent) + InstalledTable;
        if (IsFile(installed))
            return installed;
    }
    if (IsFile(ASSEMBLER_BUILD_OPCODES))
        return ASSEMBLER_BUILD_OPCODES;
    return std::string();
}

int AssembleSource(const FrontOptions& options, AssemblyResult& result, std::ostream& errors)
{
    result = AssemblyResult{};
    if (!options.FromObject.empty()) {
        std::string base = options.FromObject;
        if (EndsWithNoCase(base, ".o"))
            base.resize(base.size() - 2);
        result.BaseName = options.OutputBase.empty() ? base : options.OutputBase;
        return ReadObjectFile(options.FromObject, "", result, errors);
    }

    std::string sourcePath;
    std::string base;
    ChooseSource(options.Source, sourcePath, base);
    result.BaseName = options.OutputBase.empty() ? base : options.OutputBase;
    if (!IsFile(sourcePath) || access(sourcePath.c_str(), R_OK) != 0) {
        ReportProgramError(errors, "cannot read " + sourcePath);
        return 2;
    }
    std::string table = FindOpcodeTable(ExecutablePath());
    if (table.empty()) {
        ReportProgramError(errors, "no opcode table: neither etc/opcodes.txt here nor one installed with the program");
        return 2;
    }
    bool logs = IsDirectory("etc");

    Pass1Paths paths;
    paths.Source = sourcePath;
    paths.Statements = result.BaseName + ".pass1";
    paths.Symbols = result.BaseName + ".sym";
    paths.OpcodeTable = table;
    paths.RunLog = logs ? Pass1LogPath : "";
    paths.IncludeDirectories = options.IncludeDirectories;
    int status = RunPass1(paths, result.Pass1, errors);
    if (status != 0)
        return status;
    result.FromSource = true;
    result.HasStartAddress = result.Pass1.HasStartAddress;
    result.StartAddress = result.Pass1.StartAddress;

    std::string objectPath = result.BaseName + ".o";
    if (RunPass2(result.BaseName.c_str(), table.c_str(), logs ? Pass2LogPath : "") != 0) {
        ReportProgramError(errors, "cannot write " + objectPath);
        return 2;
    }
    return ReadObjectFile(objectPath, sourcePath, result, errors);
}

int WriteOutputs(const FrontOptions& options, const AssemblyResult& result, std::ostream& out, std::ostream& errors)
{
    const std::string& base = result.BaseName;
    const ByteImage& image = result.Image;
    if (options.WriteHex && !WriteOutputFile(base + ".hex", [&](std::ostream& file) {
            WriteIntelHex(file, image, result.HasStartAddress, result.StartAddress, options.CrLf);
        })) {
        ReportProgramError(errors, "cannot write " + base + ".hex");
        return 2;
    }
    if (options.WriteBinary) {
        if (!WriteOutputFile(base + ".bin", [&](std::ostream& file) { WriteBinary(file, image, options.Fill); })) {
            ReportProgramError(errors, "cannot write " + base + ".bin");
            return 2;
        }
        unsigned size = image.ByteCount == 0 ? 0u : image.Highest - image.Lowest + 1u;
        out << base << ".bin: " << size << " bytes, load address "
            << (size == 0 ? std::string("none") : FormatHexWord(image.Lowest)) << '\n';
    }
    if (options.WriteListing && !WriteOutputFile(base + ".lst", [&](std::ostream& file) {
            if (result.FromSource)
                WriteListing(file, result.Pass1.Lines, result.Pass1.Symbols, image, result.HasStartAddress,
                    result.StartAddress, result.Pass1.Messages, ListingOptions{result.Pass1.Files, options.ListSkipped});
            else
                WriteListing(file, ObjectLinesAsListed(image), {}, image, false, 0);
        })) {
        ReportProgramError(errors, "cannot write " + base + ".lst");
        return 2;
    }
    return 0;
}

int WriteFailedAssembly(const FrontOptions& options, const AssemblyResult& result, std::ostream& errors)
{
    const std::string& base = result.BaseName;
    for (const char* extension : {".hex", ".bin", ".o"})
        std::remove((base + extension).c_str());
    if (!options.WriteListing)
        return 1;
    // Without the second pass there are no bytes to show, only the addresses.
    std::vector<ListedLine> lines = result.Pass1.Lines;
    if (!result.FromSource) {
        for (ListedLine& line : lines)
            line.ByteCount = 0;
    }
    if (!WriteOutputFile(base + ".lst", [&](std::ostream& file) {
            WriteListing(file, lines, result.Pass1.Symbols, result.Image, result.HasStartAddress,
                result.StartAddress, result.Pass1.Messages, ListingOptions{result.Pass1.Files, options.ListSkipped});
        })) {
        ReportProgramError(errors, "cannot write " + base + ".lst");
        return 2;
    }
    return 1;
}

int AssembleAndWrite(const FrontOptions& options, AssemblyResult& result, std::ostream& out, std::ostream& errors)
{
    int status = AssembleSource(options, result, errors);
    if (status == 1 && options.FromObject.empty())
        return WriteFailedAssembly(options, result, errors);
    if (status != 0)
        return status;
    return WriteOutputs(options, result, out, errors);
}

int RunFront(int argc, const char* const argv[], std::ostream& out, std::ostream& errors)
{
    ParsedCommand command;
    int status = ParseCommandLine(argc, argv, command, errors);
    if (status != 0)
        return status;
    if (command.Help) {
        out << UsageText;
        return 0;
    }
    if (command.Version) {
        out << VersionText;
        return 0;
    }
    AssemblyResult result;
    return AssembleAndWrite(command.Options, result, out, errors);
}
