// A source line split into its label, operation and operand texts, and the
// character classes of the source language.
#pragma once

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// Every word that is a line's operation; true for those that are reserved
// (mnemonics and directives), false for listing controls such as PAGE.
typedef std::unordered_map<std::string, bool> OperationWords;

struct SourceLine {
    int LineNumber = 0;
    std::string Label;                 // upper case; empty when the line has none
    std::string Operation;             // upper case; empty when the line has none
    std::vector<std::string> Operands; // as written, blanks around them removed
    bool IsControl = false;            // a "$" line of assembler controls: ignored
};

// CP/M ends a text file with 1AH and fills its last record with anything.
constexpr char EndOfFileMark = '\x1A';

bool IsBlank(char c);
bool IsNameStart(char c);
bool IsNameChar(char c);
// The registers and pairs: names no symbol may take.
bool IsRegisterName(const std::string& upperName);
// A comment starts at text[pos] (outside strings): ";" or "//".
bool IsCommentStart(const std::string& text, std::size_t pos);
std::string UpperCased(std::string text);

// The characters of text from begin up to end, without blanks at either end.
std::string Trimmed(const std::string& text, std::size_t begin, std::size_t end);

// The end of the name or number that starts at text[start]. A "$" after its
// first character is a readability mark of CP/M's sources (OK$MSG).
std::size_t ScanWord(const std::string& text, std::size_t start);

// An operation word starts at text[pos]: a name, or a dot and a name or
// digits, since any directive may be written with a leading dot (.org,
// .include, .8085); and where such a word ends.
bool IsOperationStart(const std::string& text, std::size_t pos);
std::size_t ScanOperationWord(const std::string& text, std::size_t start);

// A name or number as the assembler knows it: upper case, "$" marks dropped.
std::string NormalWord(const std::string& text);

// Where the source ends: at the first end-of-file mark outside a string
// (in a comment too), or at its size.
std::size_t FindEndOfFileMark(const std::string& content);

// Reads the quoted string that opens at text[start]; a doubled quote inside
// is one quote. Gives the position after the closing quote, or npos when the
// line ends first. The characters go to content when it is not null.
std::size_t ScanQuoted(const std::string& text, std::size_t start, std::string* content);

// Where the statements of one line begin and end: a "!" outside strings and
// comments separates statements (as Digital Research's assemblers write
// several on a line); the last one keeps the comment. Pairs of start, length.
std::vector<std::pair<std::size_t, std::size_t>> SplitStatements(const std::string& text);

// Splits one line (without its line end). A name in column 1 is a label
// unless it is an operation written without a colon; an indented name is a
// label when a colon or an operation follows it. False with a message when
// the line cannot be split.
bool SplitSourceLine(const std::string& text, const OperationWords& operations, SourceLine& line, std::string& error);
