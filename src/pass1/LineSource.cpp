// The line source: input frames (files and expansions), the conditional
// stack, the macro table, and the bounds checked where frames are pushed.
#include "pass1/LineSource.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "driver/RunLog.h"

namespace {

enum class Word {
    None,
    If,
    Ife,
    Ifdef,
    Ifndef,
    Ifb,
    Ifnb,
    Ifidn,
    Ifdif,
    If1,
    If2,
    Else,
    Endif,
    Macro,
    Endm,
    Local,
    Exitm,
    Rept,
    Irp,
    Irpc,
    Include,
    Maclib,
    Call, // a macro's name
};

struct WordName {
    const char* Name;
    Word Kind;
};

// The directives of the text layer; each may also be written with a leading dot.
const WordName TextLayerWordNames[] = {
    {"IF", Word::If},
    {"IFE", Word::Ife},
    {"IFDEF", Word::Ifdef},
    {"IFNDEF", Word::Ifndef},
    {"IFB", Word::Ifb},
    {"IFNB", Word::Ifnb},
    {"IFIDN", Word::Ifidn},
    {"IFDIF", Word::Ifdif},
    {"IF1", Word::If1},
    {"IF2", Word::If2},
    {"ELSE", Word::Else},
    {"ENDIF", Word::Endif},
    {"ENDC", Word::Endif},
    {"MACRO", Word::Macro},
    {"ENDM", Word::Endm},
    {"LOCAL", Word::Local},
    {"EXITM", Word::Exitm},
    {"REPT", Word::Rept},
    {"IRP", Word::Irp},
    {"IRPC", Word::Irpc},
    {"INCLUDE", Word::Include},
    {"MACLIB", Word::Maclib},
};

const char* const MacroLibraryExtension = ".LIB";

bool IsConditionalOpening(Word word)
{
    return word >= Word::If && word <= Word::If2;
}

bool OpensBody(Word word)
{
    return word == Word::Macro || word == Word::Rept || word == Word::Irp || word == Word::Irpc;
}

Word TextLayerWord(const std::string& upper)
{
    for (const WordName& name : TextLayerWordNames) {
        if (upper == name.Name)
            return name.Kind;
    }
    return Word::None;
}

std::string LowerCased(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::size_t SkipBlanks(const std::string& text, std::size_t pos)
{
    while (pos < text.size() && IsBlank(text[pos]))
        pos++;
    return pos;
}

// A word at pos, with an optional leading dot: its normal form (upper case,
// no dot) and whether it had the dot; pos moves past it.
std::string ReadWord(const std::string& text, std::size_t& pos, bool& dotted)
{
    dotted = IsOperationStart(text, pos) && text[pos] == '.';
    std::size_t start = dotted ? pos + 1 : pos;
    // The text layer's words are names (.8085 is none of them).
    if (start >= text.size() || !IsNameStart(text[start])) {
        dotted = false;
        return "";
    }
    pos = ScanOperationWord(text, pos);
    return NormalWord(text.substr(start, pos - start));
}

struct ScannedLine {
    std::string Label;
    Word Kind = Word::None;
    std::string Operation;
    std::size_t OperandStart = 0;
    bool MacroAsLabel = false; // "MOVE:" or "MOVE EQU 1" where MOVE is a macro
};

bool IsMacroName(const LineSource& source, const std::string& name, bool dotted)
{
    return !dotted && !name.empty() && source.Macros.count(name) != 0;
}

// Finds the text-layer directive or macro call of a line, if it has one.
ScannedLine ScanLine(const LineSource& source, const std::string& text)
{
    ScannedLine line;
    if (text.empty() || text[0] == ';' || text[0] == '*' || text[0] == '$')
        return line;
    std::size_t pos = SkipBlanks(text, 0);
    bool dotted1 = false;
    std::string first = ReadWord(text, pos, dotted1);
    if (first.empty())
        return line;
    bool colon = pos < text.size() && text[pos] == ':';
    std::size_t afterFirst = colon ? pos + 1 : pos;
    std::size_t secondStart = SkipBlanks(text, afterFirst);
    std::size_t afterSecond = secondStart;
    bool dotted2 = false;
    std::string second = secondStart > afterFirst || colon ? ReadWord(text, afterSecond, dotted2) : "";
    Word firstWord = TextLayerWord(first);
    Word secondWord = TextLayerWord(second);
    bool firstMacro = IsMacroName(source, first, dotted1);
    bool secondMacro = IsMacroName(source, second, dotted2);
    auto operationIs = [&](const std::string& word, Word kind, bool macro, std::size_t end) {
        line.Operation = word;
        line.Kind = kind != Word::None ? kind : (macro ? Word::Call : Word::None);
        line.OperandStart = end;
    };
    // A name before a mnemonic or directive is a label, whatever word it is (REPT DB 1).
    auto reservedSecond = source.Operations->find(second);
    bool secondReserved = !dotted2 && reservedSecond != source.Operations->end() && reservedSecond->second
        && (afterSecond >= text.size() || IsBlank(text[afterSecond]) || text[afterSecond] == ';');
    if (secondReserved && !firstMacro)
        return line;
    if (colon) {
        line.Label = first;
        line.MacroAsLabel = firstMacro;
        if (secondWord != Word::None || secondMacro)
            operationIs(second, secondWord, secondMacro, afterSecond);
    } else if (firstWord != Word::None) {
        operationIs(first, firstWord, false, pos);
    } else if (secondWord == Word::Macro) {
        line.Label = first;
        operationIs(second, secondWord, false, afterSecond);
    } else if (firstMacro && (second == "EQU" || second == "SET")) {
        line.Label = first;
        line.MacroAsLabel = true;
    } else if (firstMacro) {
        operationIs(first, Word::Call, true, pos);
    } else if (secondWord != Word::None || secondMacro) {
        auto reserved = source.Operations->find(first);
        if (reserved == source.Operations->end() || !reserved->second) {
            line.Label = first;
            operationIs(second, secondWord, secondMacro, afterSecond);
        }
    }
    if (line.Kind == Word::None && !line.MacroAsLabel)
        line.Label.clear();
    return line;
}

// Where a ";;" comment starts outside strings, or npos.
std::size_t MacroCommentStart(const std::string& text)
{
    for (std::size_t pos = 0; pos < text.size(); pos++) {
        char c = text[pos];
        if (c == '\'' || c == '"') {
            std::size_t end = ScanQuoted(text, pos, nullptr);
            if (end == std::string::npos)
                return std::string::npos;
            pos = end - 1;
        } else if (c == ';') {
            return pos + 1 < text.size() && text[pos + 1] == ';' ? pos : std::string::npos;
        }
    }
    return std::string::npos;
}

// Makes a file's text ready to be read line by line: the end-of-file mark
// and a byte order mark go.
void PrepareText(std::string& content)
{
    content.resize(FindEndOfFileMark(content));
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0)
        content.erase(0, 3);
}

void Report(LineSource& source, int lineNumber, const std::string& message)
{
    LogStream << "*****ERROR: line " << lineNumber << ": " << message << std::endl;
    source.Diagnostics->push_back(Diagnostic{lineNumber, false, message});
}

// The name a conditional or body is reported under: "the end of FILE" or
// "the end of the expansion of NAME".
std::string FrameEndText(const LineSource& source, const InputFrame& frame)
{
    if (frame.IsFile)
        return "the end of " + source.Files[static_cast<std::size_t>(frame.File)];
    return "the end of the expansion of " + source.Contexts[static_cast<std::size_t>(frame.Context)].Name;
}

// Drops the conditionals opened in the top frame, reporting each when asked.
void CloseConditionals(LineSource& source, bool report)
{
    const InputFrame& frame = source.Frames.back();
    while (source.Conditions.size() > frame.ConditionBase) {
        if (report)
            Report(source, source.Conditions.back().IfLine, OpenConditionalMessage(FrameEndText(source, frame)));
        source.Conditions.pop_back();
    }
}

void PopFrame(LineSource& source, bool report)
{
    const InputFrame& frame = source.Frames.back();
    if (source.Collecting.Kind != CollectKind::None && source.Collecting.FrameCount == source.Frames.size()) {
        if (report)
            Report(source, source.Collecting.Definition->DefinitionLine,
                OpenBodyMessage(source.Collecting.Kind == CollectKind::Macro ? "MACRO"
                        : source.Collecting.Kind == CollectKind::Rept        ? "REPT"
                        : source.Collecting.Kind == CollectKind::Irp         ? "IRP"
                                                                             : "IRPC",
                    FrameEndText(source, frame)));
        source.Collecting = Collection{};
    }
    CloseConditionals(source, report);
    if (!source.Frames.back().IsFile)
        source.ExpansionDepth--;
    source.Frames.pop_back();
}

// The call that started the expansions now open (0: none): a bound passed
// deep inside is reported there, with a short chain.
int OutermostCallLine(const LineSource& source)
{
    for (const InputFrame& frame : source.Frames) {
        if (!frame.IsFile)
            return source.Contexts[static_cast<std::size_t>(frame.Context)].CallLine;
    }
    return 0;
}

// Drops every expansion (and what they include) after a bound was passed.
void AbandonExpansions(LineSource& source)
{
    std::size_t keep = source.Frames.size();
    for (std::size_t i = source.Frames.size(); i-- > 0;) {
        if (!source.Frames[i].IsFile)
            keep = i;
    }
    while (source.Frames.size() > keep)
        PopFrame(source, false);
}

// Sets the values of one iteration: the parameter's value for IRP and IRPC,
// and fresh names for the LOCAL names.
void StartIteration(LineSource& source, InputFrame& frame)
{
    const MacroDefinition& body = *frame.Body;
    std::size_t parameters = body.Parameters.size();
    if (!frame.Iterations.empty() && parameters > 0)
        frame.Values[0] = frame.Iterations[static_cast<std::size_t>(frame.Iteration)];
    for (std::size_t i = 0; i < body.Locals.size(); i++) {
        char name[24];
        std::snprintf(name, sizeof name, "??%04ld", ++source.LocalCounter);
        frame.Values[parameters + i] = name;
    }
    frame.Next = 0;
}

// Pushes an expansion of body; false (reported) past the depth bound.
bool PushExpansion(LineSource& source, std::shared_ptr<const MacroDefinition> body, std::vector<std::string> values,
    std::vector<std::string> iterations, long count, int callLine)
{
    // After the total of expanded lines was passed nothing more expands; an
    // empty body gives nothing, however often it is repeated.
    if (source.BoundReported || body->Lines.empty())
        return false;
    if (source.ExpansionDepth >= source.Bounds.ExpansionDepth) {
        Report(source, OutermostCallLine(source), ExpansionDepthMessage(source.Bounds.ExpansionDepth, body->Name));
        AbandonExpansions(source);
        return false;
    }
    InputFrame frame;
    frame.IsFile = false;
    frame.Context = static_cast<int>(source.Contexts.size());
    source.Contexts.push_back(LineContext{ContextKind::Expansion, body->Name, callLine});
    frame.ConditionBase = source.Conditions.size();
    frame.Names = body->Parameters;
    frame.Names.insert(frame.Names.end(), body->Locals.begin(), body->Locals.end());
    values.resize(frame.Names.size());
    frame.Values = std::move(values);
    frame.Iterations = std::move(iterations);
    frame.Count = count;
    frame.Body = std::move(body);
    source.Frames.push_back(std::move(frame));
    source.ExpansionDepth++;
    if (count > 0)
        StartIteration(source, source.Frames.back());
    return true;
}

// The next line of the top frame with its file and line; false at its end.
// An expansion's line has its names put in place.
bool NextFrameLine(LineSource& source, std::string& text, int& file, int& line)
{
    InputFrame& frame = source.Frames.back();
    if (frame.IsFile) {
        if (frame.Position >= frame.Content.size())
            return false;
        std::size_t end = frame.Content.find('\n', frame.Position);
        if (end == std::string::npos)
            end = frame.Content.size();
        std::size_t length = end - frame.Position;
        if (length > 0 && frame.Content[frame.Position + length - 1] == '\r')
            length--;
        text = frame.Content.substr(frame.Position, length);
        frame.Position = end + 1;
        file = frame.File;
        line = ++frame.LineNumber;
        return true;
    }
    const MacroDefinition& body = *frame.Body;
    while (frame.Next >= body.Lines.size() || frame.Iteration >= frame.Count) {
        if (++frame.Iteration >= frame.Count)
            return false;
        StartIteration(source, frame);
    }
    file = body.Places[frame.Next].first;
    line = body.Places[frame.Next].second;
    const std::string& written = body.Lines[frame.Next++];
    if (!SubstituteNames(written, frame.Names, frame.Values, source.Bounds.LineLength, text)) {
        text = written;
        line = -line; // too long: handed out unread, and reported then
    }
    return true;
}

std::string DirectoryOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

// The file name of an INCLUDE or MACLIB operand: quoted, in "<...>" or a word.
std::string IncludeName(const std::string& operands, bool library)
{
    std::string name;
    if (!operands.empty() && (operands[0] == '"' || operands[0] == '\'')) {
        std::size_t end = operands.find(operands[0], 1);
        name = operands.substr(1, end == std::string::npos ? std::string::npos : end - 1);
    } else if (!operands.empty() && operands[0] == '<') {
        std::size_t end = operands.find('>', 1);
        name = operands.substr(1, end == std::string::npos ? std::string::npos : end - 1);
    } else {
        std::size_t end = 0;
        while (end < operands.size() && !IsBlank(operands[end]))
            end++;
        name = operands.substr(0, end);
    }
    if (library && !name.empty() && name.find('.', name.rfind('/') == std::string::npos ? 0 : name.rfind('/')) == std::string::npos)
        name += MacroLibraryExtension;
    return name;
}

std::string NormalPath(const std::string& path)
{
    return std::filesystem::path(path).lexically_normal().string();
}

void IncludeFile(LineSource& source, const std::string& operands, bool library, int lineNumber, int fromFile)
{
    std::string name = IncludeName(operands, library);
    if (name.empty()) {
        Report(source, lineNumber, MissingFileNameMessage(library ? "MACLIB" : "INCLUDE"));
        return;
    }
    int open = 0;
    for (const InputFrame& frame : source.Frames)
        open += frame.IsFile ? 1 : 0;
    if (open >= source.Bounds.IncludeDepth) {
        Report(source, lineNumber, IncludeDepthMessage(source.Bounds.IncludeDepth));
        return;
    }
    std::vector<std::string> directories;
    directories.push_back(name[0] == '/' ? "" : DirectoryOf(source.Files[static_cast<std::size_t>(fromFile)]));
    if (name[0] != '/')
        directories.insert(directories.end(), source.IncludeDirectories.begin(), source.IncludeDirectories.end());
    std::string searched;
    for (const std::string& directory : directories) {
        searched += (searched.empty() ? "" : ", ") + (directory.empty() ? std::string(".") : directory);
        for (const std::string& spelling : {name, UpperCased(name), LowerCased(name)}) {
            std::string path = directory;
            if (!path.empty())
                path += '/';
            path += spelling;
            path = NormalPath(path);
            std::string content;
            std::string reason;
            ReadOutcome outcome = source.FileSystem->ReadFile(path, content, reason);
            if (outcome == ReadOutcome::Missing)
                continue;
            if (outcome == ReadOutcome::Failed) {
                Report(source, lineNumber, CannotReadIncludeMessage(path, reason));
                return;
            }
            std::string chain;
            bool circle = false;
            for (const InputFrame& frame : source.Frames) {
                if (!frame.IsFile)
                    continue;
                const std::string& other = source.Files[static_cast<std::size_t>(frame.File)];
                circle = circle || NormalPath(other) == path;
                if (circle || !chain.empty())
                    chain += other + " -> ";
            }
            if (circle) {
                Report(source, lineNumber, IncludeCircleMessage(chain + path));
                return;
            }
            PrepareText(content);
            InputFrame frame;
            frame.File = static_cast<int>(source.Files.size());
            source.Files.push_back(path);
            frame.Context = static_cast<int>(source.Contexts.size());
            source.Contexts.push_back(LineContext{ContextKind::Include, path, lineNumber});
            frame.ConditionBase = source.Conditions.size();
            frame.Content = std::move(content);
            source.Frames.push_back(std::move(frame));
            return;
        }
    }
    Report(source, lineNumber, IncludeNotFoundMessage(name, searched));
}

// A conditional directive; gives the role of its line.
LineRole ReadConditional(LineSource& source, const LayoutHooks& hooks, const ScannedLine& scanned,
    const std::string& text, int lineNumber)
{
    bool skipping = !source.Conditions.empty() && !source.Conditions.back().Taking;
    if (IsConditionalOpening(scanned.Kind)) {
        if (skipping) {
            source.Conditions.push_back(Conditional{lineNumber, false, false, false});
            return LineRole::Skipped;
        }
        std::string operands = OperandText(text, scanned.OperandStart);
        bool taken = false;
        switch (scanned.Kind) {
        case Word::If:
        case Word::Ife: {
            std::uint16_t value = 0;
            std::string error;
            if (hooks.Evaluate(scanned.Operation, operands, value, error))
                taken = (value != 0) == (scanned.Kind == Word::If);
            else
                Report(source, lineNumber, error);
            break;
        }
        case Word::Ifdef:
        case Word::Ifndef: {
            std::size_t end = 0;
            bool dotted = false;
            std::string name = ReadWord(operands, end, dotted);
            if (name.empty() || dotted || end != operands.size()) {
                Report(source, lineNumber, ConditionNameMessage(scanned.Operation));
                break;
            }
            bool defined = hooks.IsDefined(name) || source.Macros.count(name) != 0;
            taken = defined == (scanned.Kind == Word::Ifdef);
            break;
        }
        case Word::Ifb:
        case Word::Ifnb: {
            std::vector<std::string> arguments = SplitArguments(operands);
            bool blank = arguments.empty() || arguments[0].empty();
            taken = blank == (scanned.Kind == Word::Ifb);
            break;
        }
        case Word::Ifidn:
        case Word::Ifdif: {
            std::vector<std::string> arguments = SplitArguments(operands);
            if (arguments.size() != 2) {
                Report(source, lineNumber, ConditionPairMessage(scanned.Operation, static_cast<int>(arguments.size())));
                break;
            }
            bool same = UpperCased(arguments[0]) == UpperCased(arguments[1]);
            taken = same == (scanned.Kind == Word::Ifidn);
            break;
        }
        default: // IF1 and IF2: this first pass is the one pass that decides
            taken = scanned.Kind == Word::If1;
            break;
        }
        source.Conditions.push_back(Conditional{lineNumber, true, taken, false});
        return LineRole::TextLayer;
    }
    if (source.Conditions.size() <= source.Frames.back().ConditionBase) {
        Report(source, lineNumber, UnmatchedConditionalMessage(scanned.Operation));
        return LineRole::TextLayer;
    }
    Conditional& open = source.Conditions.back();
    LineRole role = open.Active ? LineRole::TextLayer : LineRole::Skipped;
    if (scanned.Kind == Word::Endif) {
        source.Conditions.pop_back();
    } else if (open.SeenElse) {
        Report(source, lineNumber, SecondElseMessage(LinePlace(source, open.IfLine)));
        open.Taking = false;
    } else {
        open.SeenElse = true;
        open.Taking = open.Active && !open.Taking;
    }
    return role;
}

// A line of a body being collected: counted for nesting, kept for the body.
void CollectLine(LineSource& source, const std::string& text, int file, int line, int lineNumber)
{
    Collection& collecting = source.Collecting;
    ScannedLine scanned = ScanLine(source, text);
    if (OpensBody(scanned.Kind)) {
        collecting.Depth++;
    } else if (scanned.Kind == Word::Endm && collecting.Depth > 0) {
        collecting.Depth--;
    } else if (scanned.Kind == Word::Endm) {
        Collection done = std::move(collecting);
        collecting = Collection{};
        std::shared_ptr<const MacroDefinition> body = std::move(done.Definition);
        if (done.Kind == CollectKind::Macro) {
            if (!body->Name.empty())
                source.Macros[body->Name] = body;
        } else if (done.Count > 0) {
            PushExpansion(source, body, {}, std::move(done.Iterations), done.Count, body->DefinitionLine);
        }
        return;
    } else if (scanned.Kind == Word::Local && collecting.Depth == 0) {
        for (const std::string& name : SplitArguments(OperandText(text, scanned.OperandStart))) {
            std::string upper = NormalWord(name);
            if (upper.empty() || !IsNameStart(upper[0]) || ScanWord(upper, 0) != upper.size())
                Report(source, lineNumber, ParameterNameMessage(name));
            else
                collecting.Definition->Locals.push_back(upper);
        }
        return;
    }
    std::size_t comment = MacroCommentStart(text);
    if (comment == std::string::npos) {
        collecting.Definition->Lines.push_back(text);
    } else {
        std::string kept = text.substr(0, comment);
        while (!kept.empty() && IsBlank(kept.back()))
            kept.pop_back();
        if (kept.empty())
            return; // a line that is only a ";;" comment leaves nothing
        collecting.Definition->Lines.push_back(kept);
    }
    collecting.Definition->Places.emplace_back(file, line);
}

// Parameter names: each a name; false (reported) otherwise.
bool ReadParameterNames(
    LineSource& source, const std::string& text, int lineNumber, std::vector<std::string>& names)
{
    for (const std::string& name : SplitArguments(text)) {
        std::string upper = NormalWord(name);
        if (upper.empty() || !IsNameStart(upper[0]) || ScanWord(upper, 0) != upper.size()) {
            Report(source, lineNumber, ParameterNameMessage(name));
            return false;
        }
        names.push_back(upper);
    }
    return true;
}

void StartCollecting(LineSource& source, CollectKind kind, const std::string& name, int lineNumber)
{
    source.Collecting = Collection{};
    source.Collecting.Kind = kind;
    source.Collecting.Definition = std::make_shared<MacroDefinition>();
    source.Collecting.Definition->Name = name;
    source.Collecting.Definition->DefinitionLine = lineNumber;
    source.Collecting.FrameCount = source.Frames.size();
}

void DefineMacro(LineSource& source, const LayoutHooks& hooks, const ScannedLine& scanned, const std::string& text,
    int lineNumber)
{
    std::string name = scanned.Label;
    std::string operands = OperandText(text, scanned.OperandStart);
    if (name.empty()) {
        // MACRO NAME p1, ...
        std::size_t end = 0;
        bool dotted = false;
        name = ReadWord(operands, end, dotted);
        std::size_t start = SkipBlanks(operands, end);
        if (start < operands.size() && operands[start] == ',')
            start++;
        operands = operands.substr(std::min(start, operands.size()));
        if (dotted)
            name.clear();
    }
    std::vector<std::string> parameters;
    bool valid = ReadParameterNames(source, operands, lineNumber, parameters);
    if (name.empty()) {
        Report(source, lineNumber, MacroNameMissingMessage());
        valid = false;
    } else if (const char* kind = hooks.ReservedKind(name)) {
        Report(source, lineNumber, MacroNameReservedMessage(name, kind));
        valid = false;
    } else if (hooks.IsDefined(name)) {
        Report(source, lineNumber, MacroNameTakenMessage(name));
        valid = false;
    }
    // A faulty definition is still read to its ENDM, and then forgotten.
    StartCollecting(source, CollectKind::Macro, valid ? name : "", lineNumber);
    source.Collecting.Definition->Parameters = parameters;
}

void StartRepeat(LineSource& source, const LayoutHooks& hooks, const ScannedLine& scanned, const std::string& text,
    int lineNumber)
{
    std::string operands = OperandText(text, scanned.OperandStart);
    if (scanned.Kind == Word::Rept) {
        std::uint16_t count = 0;
        std::string error;
        if (!hooks.Evaluate(scanned.Operation, operands, count, error))
            Report(source, lineNumber, error);
        StartCollecting(source, CollectKind::Rept, "REPT", lineNumber);
        source.Collecting.Count = count;
        return;
    }
    bool irp = scanned.Kind == Word::Irp;
    StartCollecting(source, irp ? CollectKind::Irp : CollectKind::Irpc, irp ? "IRP" : "IRPC", lineNumber);
    std::vector<std::string> arguments = SplitArguments(operands);
    std::vector<std::string> parameter;
    // A faulty repeat is collected and dropped: its count stays 0.
    if (arguments.size() < 2 || arguments[0].empty()) {
        Report(source, lineNumber, RepeatOperandsMessage(scanned.Operation));
        return;
    }
    if (!ReadParameterNames(source, arguments[0], lineNumber, parameter))
        return;
    source.Collecting.Definition->Parameters = parameter;
    std::vector<std::string>& values = source.Collecting.Iterations;
    if (irp) {
        values = arguments.size() == 2 ? SplitArguments(arguments[1])
                                       : std::vector<std::string>(arguments.begin() + 1, arguments.end());
    } else {
        std::string characters;
        for (std::size_t i = 1; i < arguments.size(); i++)
            characters += (i > 1 ? "," : "") + arguments[i];
        for (char c : characters)
            values.emplace_back(1, c);
    }
    source.Collecting.Count = static_cast<long>(values.size());
}

void CallMacro(LineSource& source, const ScannedLine& scanned, const std::string& text, int lineNumber)
{
    std::shared_ptr<const MacroDefinition> body = source.Macros[scanned.Operation];
    std::vector<std::string> arguments = SplitArguments(OperandText(text, scanned.OperandStart));
    if (arguments.size() > body->Parameters.size()) {
        Report(source, lineNumber,
            TooManyArgumentsMessage(body->Name, static_cast<int>(body->Parameters.size()),
                static_cast<int>(arguments.size())));
        return;
    }
    PushExpansion(source, body, std::move(arguments), {}, 1, lineNumber);
}

// Pops up to and including the innermost expansion; false when there is none.
bool ExitExpansion(LineSource& source)
{
    if (source.ExpansionDepth == 0)
        return false;
    while (source.Frames.back().IsFile)
        PopFrame(source, false);
    PopFrame(source, false);
    return true;
}

// A line the layout does not see, or a statement: reads the text-layer
// directives and calls; gives the line's role.
LineRole ReadLine(LineSource& source, const LayoutHooks& hooks, const std::string& text, int file, int lineNumber,
    std::string& label)
{
    ScannedLine scanned = ScanLine(source, text);
    bool skipping = !source.Conditions.empty() && !source.Conditions.back().Taking;
    if (skipping)
        return IsConditionalOpening(scanned.Kind) || scanned.Kind == Word::Else || scanned.Kind == Word::Endif
            ? ReadConditional(source, hooks, scanned, text, lineNumber)
            : LineRole::Skipped;
    if (scanned.MacroAsLabel) {
        Report(source, lineNumber, MacroAsLabelMessage(scanned.Label));
        return LineRole::TextLayer;
    }
    if (scanned.Kind == Word::None)
        return LineRole::Statement;
    if (scanned.Kind != Word::Macro)
        label = scanned.Label;
    std::string operands = OperandText(text, scanned.OperandStart);
    switch (scanned.Kind) {
    case Word::Else:
    case Word::Endif:
        label.clear();
        return ReadConditional(source, hooks, scanned, text, lineNumber);
    case Word::Macro:
        DefineMacro(source, hooks, scanned, text, lineNumber);
        break;
    case Word::Endm:
        Report(source, lineNumber, UnmatchedEndmMessage());
        break;
    case Word::Local:
        Report(source, lineNumber, OutsideMacroMessage(scanned.Operation));
        break;
    case Word::Exitm:
        if (!ExitExpansion(source))
            Report(source, lineNumber, OutsideMacroMessage(scanned.Operation));
        break;
    case Word::Rept:
    case Word::Irp:
    case Word::Irpc:
        StartRepeat(source, hooks, scanned, text, lineNumber);
        break;
    case Word::Include:
    case Word::Maclib:
        IncludeFile(source, operands, scanned.Kind == Word::Maclib, lineNumber, file);
        break;
    case Word::Call:
        CallMacro(source, scanned, text, lineNumber);
        break;
    default:
        return ReadConditional(source, hooks, scanned, text, lineNumber);
    }
    return LineRole::TextLayer;
}

// Counts a line made by an expansion; false (reported once, every expansion
// dropped) past the bound.
bool CountExpandedLine(LineSource& source)
{
    if (++source.ExpandedLines <= source.Bounds.ExpandedLines)
        return true;
    if (!source.BoundReported)
        Report(source, OutermostCallLine(source), ExpandedLinesMessage(source.Bounds.ExpandedLines));
    source.BoundReported = true;
    AbandonExpansions(source);
    return false;
}

class Disk : public SourceFileSystem {
public:
    ReadOutcome ReadFile(const std::string& path, std::string& content, std::string& reason) const override
    {
        errno = 0;
        std::FILE* in = std::fopen(path.c_str(), "rb");
        if (in == nullptr) {
            reason = errno != 0 ? std::strerror(errno) : "unknown error";
            return errno == ENOENT || errno == ENOTDIR ? ReadOutcome::Missing : ReadOutcome::Failed;
        }
        char block[65536];
        std::size_t got = 0;
        while ((got = std::fread(block, 1, sizeof block, in)) > 0)
            content.append(block, got);
        bool failed = std::ferror(in) != 0;
        reason = errno != 0 ? std::strerror(errno) : "unknown error";
        std::fclose(in);
        return failed ? ReadOutcome::Failed : ReadOutcome::Read;
    }
};

} // namespace

ReadOutcome MemoryFileSystem::ReadFile(const std::string& path, std::string& content, std::string& reason) const
{
    auto refused = Unreadable.find(path);
    if (refused != Unreadable.end()) {
        reason = refused->second;
        return ReadOutcome::Failed;
    }
    auto found = Files.find(path);
    if (found == Files.end()) {
        reason = std::strerror(ENOENT);
        return ReadOutcome::Missing;
    }
    content = found->second;
    return ReadOutcome::Read;
}

const SourceFileSystem& DiskFileSystem()
{
    static const Disk disk;
    return disk;
}

bool OpenLineSource(LineSource& source, const std::string& mainPath, std::string& reason)
{
    InputFrame frame;
    if (source.FileSystem->ReadFile(mainPath, frame.Content, reason) != ReadOutcome::Read)
        return false;
    PrepareText(frame.Content);
    source.Files.push_back(mainPath);
    source.Frames.push_back(std::move(frame));
    return true;
}

bool ReadNextLine(LineSource& source, const LayoutHooks& hooks, DeliveredLine& line)
{
    for (;;) {
        if (source.Frames.empty())
            return false;
        std::string text;
        int file = 0;
        int place = 0;
        int lineNumber = static_cast<int>(source.Texts.size() + 1);
        if (!NextFrameLine(source, text, file, place)) {
            PopFrame(source, !source.Ended);
            continue;
        }
        bool expanded = !source.Frames.back().IsFile;
        if (expanded && !CountExpandedLine(source))
            continue;
        int context = source.Frames.back().Context;
        line.LineNumber = lineNumber;
        line.Label.clear();
        bool unread = place < 0;
        source.Texts.push_back(text);
        source.Origins.push_back(LineOrigin{file, unread ? -place : place, context, LineRole::TextLayer});
        LineRole role = LineRole::TextLayer;
        if (source.Ended)
            role = LineRole::AfterEnd;
        else if (unread)
            Report(source, lineNumber, LineTooLongMessage(source.Bounds.LineLength));
        else if (source.Collecting.Kind != CollectKind::None)
            CollectLine(source, text, file, place, lineNumber);
        else
            role = ReadLine(source, hooks, text, file, lineNumber, line.Label);
        source.Origins[static_cast<std::size_t>(lineNumber - 1)].Role = role;
        line.Role = role;
        return true;
    }
}

void EndLineSource(LineSource& source)
{
    while (source.Frames.size() > 1)
        PopFrame(source, false);
    source.Collecting = Collection{};
    source.Conditions.clear();
    if (!source.Frames.empty())
        source.Frames.back().ConditionBase = 0;
    source.Ended = true;
}

std::string LinePlace(const LineSource& source, int lineNumber)
{
    const LineOrigin& origin = source.Origins[static_cast<std::size_t>(lineNumber - 1)];
    return source.Files[static_cast<std::size_t>(origin.File)] + ":" + std::to_string(origin.Line);
}

bool IsMainFileLine(const LineSource& source, int lineNumber)
{
    const LineOrigin& origin = source.Origins[static_cast<std::size_t>(lineNumber - 1)];
    return origin.File == 0 && origin.Context < 0;
}

std::string LineChain(const LineSource& source, int lineNumber)
{
    const std::size_t Shown = 4; // steps shown at each end of a long chain
    std::vector<int> steps;
    int context = source.Origins[static_cast<std::size_t>(lineNumber - 1)].Context;
    while (context >= 0) {
        steps.push_back(context);
        context = source.Origins[static_cast<std::size_t>(source.Contexts[static_cast<std::size_t>(context)].CallLine - 1)]
                      .Context;
    }
    std::string chain;
    for (std::size_t i = 0; i < steps.size(); i++) {
        if (steps.size() > 2 * Shown && i >= Shown && i < steps.size() - Shown) {
            if (i == Shown)
                chain += ", ...";
            continue;
        }
        const LineContext& step = source.Contexts[static_cast<std::size_t>(steps[i])];
        chain += chain.empty() ? " (" : ", ";
        chain += step.Kind == ContextKind::Expansion ? ExpansionStepText(step.Name, LinePlace(source, step.CallLine))
                                                     : IncludeStepText(LinePlace(source, step.CallLine));
    }
    return chain.empty() ? chain : chain + ")";
}

std::string OperandText(const std::string& text, std::size_t start)
{
    start = std::min(start, text.size());
    std::size_t pos = start;
    while (pos < text.size() && text[pos] != ';') {
        if (text[pos] == '\'' || text[pos] == '"') {
            pos = ScanQuoted(text, pos, nullptr);
            if (pos == std::string::npos)
                pos = text.size(); // an open string runs to the end of the line
        } else {
            pos++;
        }
    }
    return Trimmed(text, start, pos);
}

std::vector<std::string> SplitArguments(const std::string& text)
{
    std::vector<std::string> arguments;
    if (Trimmed(text, 0, text.size()).empty())
        return arguments;
    std::size_t start = 0;
    int depth = 0;
    for (std::size_t pos = 0;; pos++) {
        if (pos >= text.size() || (text[pos] == ',' && depth == 0)) {
            std::string argument = Trimmed(text, start, std::min(pos, text.size()));
            if (argument.size() >= 2 && argument.front() == '<' && argument.back() == '>')
                argument = argument.substr(1, argument.size() - 2);
            arguments.push_back(argument);
            if (pos >= text.size())
                return arguments;
            start = pos + 1;
        } else if (text[pos] == '<') {
            depth++;
        } else if (text[pos] == '>' && depth > 0) {
            depth--;
        } else if ((text[pos] == '\'' || text[pos] == '"') && depth == 0) {
            std::size_t end = ScanQuoted(text, pos, nullptr);
            if (end != std::string::npos)
                pos = end - 1;
        }
    }
}

bool SubstituteNames(const std::string& text, const std::vector<std::string>& names,
    const std::vector<std::string>& values, std::size_t maxLength, std::string& result)
{
    result.clear();
    bool inComment = false;
    char quote = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        char c = text[pos];
        if (inComment || names.empty()) {
            result.append(text, pos, std::string::npos);
            break;
        }
        if (quote == 0 && c == ';') {
            inComment = true;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = quote == 0 ? c : (quote == c ? 0 : quote);
            result += c;
            pos++;
            continue;
        }
        if (c >= '0' && c <= '9') {
            std::size_t end = pos;
            while (end < text.size() && (IsNameChar(text[end]) || text[end] == '$'))
                end++;
            result.append(text, pos, end - pos);
            pos = end;
            continue;
        }
        if (!IsNameStart(c)) {
            result += c;
            pos++;
            continue;
        }
        std::size_t end = pos;
        while (end < text.size() && IsNameChar(text[end]))
            end++;
        std::string word = UpperCased(text.substr(pos, end - pos));
        std::size_t found = 0;
        while (found < names.size() && names[found] != word)
            found++;
        if (found == names.size()) {
            result.append(text, pos, end - pos);
        } else {
            if (!result.empty() && result.back() == '&')
                result.pop_back(); // "L&NUM": the "&" joins
            result += values[found];
            if (end < text.size() && text[end] == '&')
                end++;
        }
        pos = end;
        if (result.size() > maxLength)
            return false;
    }
    return result.size() <= maxLength;
}
