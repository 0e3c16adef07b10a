// A source line split into its label, operation and operand texts, and the
// character classes of the source language.
#include "pass1/SourceLine.h"

#include <algorithm>

#include "pass1/Messages.h"

namespace {

std::size_t SkipBlanks(const std::string& text, std::size_t pos)
{
    while (pos < text.size() && IsBlank(text[pos]))
        pos++;
    return pos;
}

bool IsQuote(char c)
{
    return c == '\'' || c == '"';
}

// The operand field runs to a semicolon outside quotes; commas outside
// quotes separate the operands.
bool SplitOperands(const std::string& text, std::size_t pos, std::vector<std::string>& operands, std::string& error)
{
    std::size_t start = pos;
    bool any = false;
    for (;;) {
        bool atEnd = pos >= text.size() || IsCommentStart(text, pos);
        if (atEnd || text[pos] == ',') {
            std::string operand = Trimmed(text, start, pos);
            if (!atEnd || any || !operand.empty()) {
                if (operand.empty()) {
                    error = MissingOperandMessage();
                    return false;
                }
                operands.push_back(operand);
                any = true;
            }
            if (atEnd)
                return true;
            start = ++pos;
        } else if (IsQuote(text[pos])) {
            pos = ScanQuoted(text, pos, nullptr);
            if (pos == std::string::npos) {
                error = UnterminatedStringMessage();
                return false;
            }
        } else {
            pos++;
        }
    }
}

// The word after the first one, upper case; empty when there is none.
std::string NextWord(const std::string& text, std::size_t pos)
{
    std::size_t start = SkipBlanks(text, pos);
    if (start == pos || !IsOperationStart(text, start))
        return "";
    return NormalWord(text.substr(start, ScanOperationWord(text, start) - start));
}

// "NAME = expr" defines NAME as SET does; "==" is a comparison.
bool IsAssignmentAt(const std::string& text, std::size_t pos)
{
    return pos < text.size() && text[pos] == '=' && (pos + 1 >= text.size() || text[pos + 1] != '=');
}

// The words before which a name is the constant's name, whatever word it is.
bool IsConstantDefinition(const std::string& word)
{
    for (const char* definer : {"EQU", "SET", "DEFL", ".EQU", ".SET"}) {
        if (word == definer)
            return true;
    }
    return false;
}

// Whether the first word of a line (without colon) is its label: before
// EQU, SET or "=" always; a mnemonic or reserved directive is otherwise the
// operation (" JZ END" jumps); a word that is a directive of other assemblers
// is a label before an operation (PAGE DS 1); any other name is a label in
// column 1 or before an operation.
bool IsUnmarkedLabel(const std::string& text, std::size_t pos, std::size_t end, const std::string& first,
    const OperationWords& operations)
{
    std::string nextWord = NextWord(text, end);
    if (IsAssignmentAt(text, SkipBlanks(text, end)) || IsConstantDefinition(nextWord))
        return true;
    auto self = operations.find(first);
    auto next = operations.find(nextWord);
    if (self != operations.end())
        return !self->second && next != operations.end() && next->second;
    return pos == 0 || next != operations.end();
}

// ".equ NAME, expr" and ".set NAME, expr", as GNU-style sources write them,
// are NAME .equ expr.
void MoveConstantName(SourceLine& line)
{
    if (!line.Label.empty() || line.Operands.size() != 2 || (line.Operation != ".EQU" && line.Operation != ".SET"))
        return;
    const std::string& name = line.Operands[0];
    if (name.empty() || !IsNameStart(name[0]) || ScanWord(name, 0) != name.size())
        return;
    line.Label = NormalWord(name);
    line.Operands.erase(line.Operands.begin());
}

} // namespace

bool IsBlank(char c)
{
    // Form feeds and stray carriage returns come with listings from other systems.
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

bool IsNameStart(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '?' || c == '@';
}

bool IsOperationStart(const std::string& text, std::size_t pos)
{
    return pos < text.size()
        && (IsNameStart(text[pos]) || (text[pos] == '.' && pos + 1 < text.size() && IsNameChar(text[pos + 1])));
}

std::size_t ScanOperationWord(const std::string& text, std::size_t start)
{
    return ScanWord(text, text[start] == '.' ? start + 1 : start);
}

bool IsRegisterName(const std::string& upperName)
{
    for (const char* name : {"A", "B", "C", "D", "E", "H", "L", "M", "SP", "PSW"}) {
        if (upperName == name)
            return true;
    }
    return false;
}

bool IsCommentStart(const std::string& text, std::size_t pos)
{
    // No operator is written "//", so outside a string it can only start a comment.
    return text[pos] == ';' || (text[pos] == '/' && pos + 1 < text.size() && text[pos + 1] == '/');
}

bool IsNameChar(char c)
{
    return IsNameStart(c) || (c >= '0' && c <= '9');
}

std::string Trimmed(const std::string& text, std::size_t begin, std::size_t end)
{
    while (begin < end && IsBlank(text[begin]))
        begin++;
    while (end > begin && IsBlank(text[end - 1]))
        end--;
    return text.substr(begin, end - begin);
}

std::string UpperCased(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

std::size_t ScanWord(const std::string& text, std::size_t start)
{
    std::size_t pos = start;
    while (pos < text.size() && (IsNameChar(text[pos]) || (text[pos] == '$' && pos > start)))
        pos++;
    return pos;
}

std::string NormalWord(const std::string& text)
{
    std::string word;
    for (char c : text) {
        if (c != '$')
            word += c;
    }
    return UpperCased(word);
}

std::size_t FindEndOfFileMark(const std::string& content)
{
    bool lineStart = true;
    for (std::size_t pos = 0; pos < content.size(); pos++) {
        char c = content[pos];
        bool atLineStart = lineStart;
        lineStart = c == '\n';
        if (c == EndOfFileMark)
            return pos;
        if (c == '\'' || c == '"') {
            std::size_t close = content.find_first_of(std::string(1, c) + "\n", pos + 1);
            if (close == std::string::npos || content[close] == '\n') {
                pos = close == std::string::npos ? content.size() : close - 1; // unterminated: reported later
                continue;
            }
            pos = close; // a doubled quote reads as two strings here, which ends the same
        } else if (IsCommentStart(content, pos) || (atLineStart && c == '*')) {
            std::size_t end = content.find('\n', pos);
            if (end == std::string::npos)
                end = content.size();
            auto mark = std::find(content.begin() + static_cast<std::ptrdiff_t>(pos),
                content.begin() + static_cast<std::ptrdiff_t>(end), EndOfFileMark);
            if (mark != content.begin() + static_cast<std::ptrdiff_t>(end))
                return static_cast<std::size_t>(mark - content.begin());
            pos = end - 1;
        }
    }
    return content.size();
}

std::size_t ScanQuoted(const std::string& text, std::size_t start, std::string* content)
{
    char quote = text[start];
    std::size_t pos = start + 1;
    for (;;) {
        if (pos >= text.size())
            return std::string::npos;
        if (text[pos] == quote) {
            if (pos + 1 < text.size() && text[pos + 1] == quote) {
                if (content != nullptr)
                    *content += quote;
                pos += 2;
                continue;
            }
            return pos + 1;
        }
        if (content != nullptr)
            *content += text[pos];
        pos++;
    }
}

std::vector<std::pair<std::size_t, std::size_t>> SplitStatements(const std::string& text)
{
    std::vector<std::pair<std::size_t, std::size_t>> pieces;
    std::size_t start = 0;
    // Comment and control lines are one piece whatever they hold.
    std::size_t pos = (text.empty() || IsCommentStart(text, 0) || text[0] == '*' || text[0] == '$') ? text.size() : 0;
    while (pos < text.size() && !IsCommentStart(text, pos)) {
        if (IsQuote(text[pos])) {
            pos = ScanQuoted(text, pos, nullptr);
            if (pos == std::string::npos)
                break; // the unterminated string is reported with its statement
        } else if (text[pos] == '!' && (pos + 1 >= text.size() || text[pos + 1] != '=')) { // != compares
            pieces.emplace_back(start, pos - start);
            start = ++pos;
        } else {
            pos++;
        }
    }
    pieces.emplace_back(start, text.size() - start);
    return pieces;
}

bool SplitSourceLine(const std::string& text, const OperationWords& operations, SourceLine& line, std::string& error)
{
    line.Label.clear();
    line.Operation.clear();
    line.Operands.clear();
    line.IsControl = false;
    if (text.empty() || IsCommentStart(text, 0) || text[0] == '*')
        return true;
    if (text[0] == '$') {
        line.IsControl = true;
        return true;
    }
    std::size_t pos = SkipBlanks(text, 0);
    if (pos >= text.size() || IsCommentStart(text, pos))
        return true;
    if (!IsOperationStart(text, pos)) {
        error = LineSyntaxMessage(
            "a line starts with a label, a mnemonic, a directive or a comment, not " + Printable(text.substr(pos, 1)));
        return false;
    }
    std::size_t end = ScanOperationWord(text, pos);
    std::string first = NormalWord(text.substr(pos, end - pos));
    bool isLabel = false;
    if (text[pos] != '.') {
        if (end < text.size() && text[end] == ':') {
            // LABEL:: exports the label from a relocatable module; in one absolute file it is a label.
            isLabel = true;
            end += end + 1 < text.size() && text[end + 1] == ':' ? 2 : 1;
        } else {
            isLabel = IsUnmarkedLabel(text, pos, end, first, operations);
        }
    }
    if (isLabel) {
        line.Label = first;
        pos = SkipBlanks(text, end);
        if (pos >= text.size() || IsCommentStart(text, pos))
            return true;
        if (IsAssignmentAt(text, pos)) {
            line.Operation = "=";
            return SplitOperands(text, SkipBlanks(text, pos + 1), line.Operands, error);
        }
        if (!IsOperationStart(text, pos)) {
            error = LineSyntaxMessage(
                "expected a mnemonic or directive after the label, not " + Printable(text.substr(pos, 1)));
            return false;
        }
        end = ScanOperationWord(text, pos);
    }
    line.Operation = NormalWord(text.substr(pos, end - pos));
    // An operand in parentheses may follow at once, as in NAME('MODULE').
    if (end < text.size() && !IsBlank(text[end]) && !IsCommentStart(text, end) && text[end] != '(') {
        error =
            LineSyntaxMessage("unexpected " + Printable(text.substr(end, 1)) + " after " + Printable(line.Operation));
        return false;
    }
    if (!SplitOperands(text, SkipBlanks(text, end), line.Operands, error))
        return false;
    MoveConstantName(line);
    return true;
}
