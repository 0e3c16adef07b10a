// The line source in front of the splitter: include files, conditional
// assembly and macro expansion, all done to text. It hands out one line at a
// time and remembers where each came from (file, line, includes and calls).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "pass1/Messages.h"
#include "pass1/SourceLine.h"

enum class ReadOutcome {
    Read,
    Missing, // no such file: the search goes on
    Failed,  // there, but it cannot be read: the reason says why
};

// How source files are read; tests and the fuzz target put their own files
// in memory.
struct SourceFileSystem {
    virtual ~SourceFileSystem() = default;
    virtual ReadOutcome ReadFile(const std::string& path, std::string& content, std::string& reason) const = 0;
};
const SourceFileSystem& DiskFileSystem();

// Files held in memory by their path (the fuzz target's and the tests'); a
// path in Unreadable is there but cannot be read, for the reason given.
struct MemoryFileSystem : SourceFileSystem {
    std::map<std::string, std::string> Files;
    std::map<std::string, std::string> Unreadable;
    ReadOutcome ReadFile(const std::string& path, std::string& content, std::string& reason) const override;
};

// The bounds of the text layer, each reported once as one error.
struct TextLayerBounds {
    int IncludeDepth = 32;            // files open at once, the main file counted
    int ExpansionDepth = 1024;        // macro calls and repeats inside each other
    long ExpandedLines = 500000;      // lines made by expansions in the whole run
    std::size_t LineLength = 8192;    // characters of one line made by substitution
};

enum class LineRole : unsigned char {
    Statement, // for the splitter and the layout
    TextLayer, // a conditional, macro, repeat or include directive, or a body being defined
    Skipped,   // under a false condition
    AfterEnd,  // after END
};

enum class ContextKind : unsigned char { Include, Expansion };

// One include or expansion: what led to the lines read in it.
struct LineContext {
    ContextKind Kind;
    std::string Name; // the macro (or REPT, IRP, IRPC); for an include the file
    int CallLine;     // the line (as handed out, from 1) of the INCLUDE or the call
};

struct LineOrigin {
    int File;     // index into LineSource::Files
    int Line;     // line number within that file
    int Context;  // index into LineSource::Contexts, -1 for the main file's own lines
    LineRole Role;
};

// What the line source asks of the layout: the value of a condition or a
// repeat count from the symbols defined above, whether a name is defined,
// and whether a word is reserved.
struct LayoutHooks {
    std::function<bool(const std::string& directive, const std::string& text, std::uint16_t& value, std::string& error)>
        Evaluate;
    std::function<bool(const std::string& name)> IsDefined;
    std::function<const char*(const std::string& name)> ReservedKind;
};

// A macro, or the body of one REPT, IRP or IRPC: the lines as written (";;"
// comments dropped) with the file and line of each.
struct MacroDefinition {
    std::string Name;
    std::vector<std::string> Parameters; // upper case
    std::vector<std::string> Locals;     // upper case
    std::vector<std::string> Lines;
    std::vector<std::pair<int, int>> Places; // file index, line number
    int DefinitionLine = 0;                  // as handed out
};

struct InputFrame {
    bool IsFile = true;
    int Context = -1;
    std::size_t ConditionBase = 0; // conditionals opened before this frame
    // A file: its text, the read position and the last line number read.
    int File = 0;
    std::string Content;
    std::size_t Position = 0;
    int LineNumber = 0;
    // An expansion: the body, the next line, the values of the parameters
    // and the iterations still to go (REPT count, IRP values, IRPC characters).
    std::shared_ptr<const MacroDefinition> Body;
    std::size_t Next = 0;
    std::vector<std::string> Names;  // parameters, then locals
    std::vector<std::string> Values; // their texts in this iteration
    std::vector<std::string> Iterations; // IRP, IRPC: one value each
    long Count = 1;                      // iterations in all
    long Iteration = 0;
};

struct Conditional {
    int IfLine;   // as handed out
    bool Active;  // the lines around the IF are taken
    bool Taking;  // this branch is taken
    bool SeenElse;
};

enum class CollectKind : unsigned char { None, Macro, Rept, Irp, Irpc };

// A body being collected up to its ENDM.
struct Collection {
    CollectKind Kind = CollectKind::None;
    std::shared_ptr<MacroDefinition> Definition;
    int Depth = 0;               // MACRO, REPT, IRP, IRPC inside it
    std::size_t FrameCount = 0;  // the frame it is read from
    long Count = 0;              // REPT
    std::vector<std::string> Iterations; // IRP, IRPC
};

// A line as the line source hands it out.
struct DeliveredLine {
    int LineNumber = 0; // from 1, in the order handed out
    LineRole Role = LineRole::Statement;
    std::string Label; // a label on a text-layer line, to define at the current address
};

struct LineSource {
    const SourceFileSystem* FileSystem = nullptr;
    std::vector<std::string> IncludeDirectories;
    const OperationWords* Operations = nullptr;
    std::vector<Diagnostic>* Diagnostics = nullptr;
    TextLayerBounds Bounds;

    std::vector<std::string> Files;    // every file read, the main one first
    std::vector<LineContext> Contexts; // every include and expansion
    std::vector<std::string> Texts;    // every line handed out
    std::vector<LineOrigin> Origins;   // where each came from

    std::vector<InputFrame> Frames;
    std::vector<Conditional> Conditions;
    std::unordered_map<std::string, std::shared_ptr<const MacroDefinition>> Macros;
    Collection Collecting;
    int ExpansionDepth = 0;
    long ExpandedLines = 0;
    long LocalCounter = 0;
    bool BoundReported = false;
    bool Ended = false;
};

// Opens the main file; false with the reason when it cannot be read.
bool OpenLineSource(LineSource& source, const std::string& mainPath, std::string& reason);

// Hands out the next line; false at the end of the main file (reporting
// what is left open there).
bool ReadNextLine(LineSource& source, const LayoutHooks& hooks, DeliveredLine& line);

// After END: the rest of the main file is handed out as it is, unread.
void EndLineSource(LineSource& source);

// "FILE:LINE" of a line handed out, and the chain that led to it:
// " (in expansion of MOVE at prog.asm:45, included from prog.asm:3)", or "".
std::string LinePlace(const LineSource& source, int lineNumber);
// True for a line of the main file itself (not included, not made).
bool IsMainFileLine(const LineSource& source, int lineNumber);
std::string LineChain(const LineSource& source, int lineNumber);

// The pieces of a line the text layer reads: a label, an operation word
// (upper case, without a leading dot) and where the operands start.
struct TextLayerWords {
    std::string Label;
    std::string Operation;
    std::size_t OperandStart = 0;
};

// The operand text of a line from start: up to a ";" outside strings, trimmed.
std::string OperandText(const std::string& text, std::size_t start);

// Arguments of a macro call or IRP list: split at commas outside strings and
// "<...>", each trimmed, the brackets of a "<a, b>" argument removed.
std::vector<std::string> SplitArguments(const std::string& text);

// Puts values in place of names (upper case) in text wherever a whole name
// matches, in strings too but not in a comment; a "&" beside a replaced
// name joins and is dropped. False when the result would exceed maxLength.
bool SubstituteNames(const std::string& text, const std::vector<std::string>& names,
    const std::vector<std::string>& values, std::size_t maxLength, std::string& result);
