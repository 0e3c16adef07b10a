// The line tokenizer. Words are upper-cased, quoted strings are kept as read
// (opening quote kept, closing quote dropped), a comment character where a
// token would begin ends the line.
#include "lexer/Tokenizer.h"

#include <cstring>

#include "driver/RunLog.h"

const char _CommentStarts[] = ";#$!~`%*";

namespace {

const int MaxTokenText = _MaxTokenLength - 1;

bool IsSeparator(char c)
{
    return c == ' ' || c == '\t' || c == ',';
}

bool IsQuote(char c)
{
    return c == '"' || c == '\'';
}

char UpperCase(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Adds one character to a token under construction, counting what does not fit.
void StoreTokenChar(char* token, int& length, int& dropped, char c)
{
    if (length < MaxTokenText)
        token[length++] = c;
    else
        dropped++;
}

// Terminates the token, reports a cut, logs it.
void FinishToken(char* token, int length, int dropped)
{
    token[length] = '\0';
    if (dropped > 0)
        LogStream << "*****ERROR: Token longer than " << MaxTokenText << " characters, cut to " << MaxTokenText
                  << std::endl;
    LogStream << "Found Token " << token << std::endl;
}

// Builds a string token from the opening quote at p; returns where scanning goes on.
const char* ReadStringToken(const char* p, char* token)
{
    char quote = *p;
    int length = 0;
    int dropped = 0;
    for (;;) {
        if (*p == '\0') {
            LogStream << "*****ERROR: String Token without Matching Closure" << std::endl;
            break;
        }
        StoreTokenChar(token, length, dropped, *p++);
        if (*p == quote) {
            p++;
            break;
        }
    }
    FinishToken(token, length, dropped);
    return p;
}

// Builds a word token from p; returns the character that ended it.
const char* ReadWordToken(const char* p, char* token)
{
    int length = 0;
    int dropped = 0;
    while (*p != '\0' && !IsSeparator(*p))
        StoreTokenChar(token, length, dropped, UpperCase(*p++));
    FinishToken(token, length, dropped);
    return p;
}

} // namespace

int Tokenize(const char* line, char tokens[_MaxTokens][_MaxTokenLength])
{
    LogStream << "Tokenizing " << line << std::endl;
    int count = 0;
    const char* p = line;
    while (*p != '\0') {
        if (IsSeparator(*p)) {
            p++;
            continue;
        }
        if (!IsQuote(*p) && IsComment(p)) {
            LogStream << "Remaining Part is Comment" << std::endl;
            break;
        }
        if (count == _MaxTokens) {
            LogStream << "*****ERROR: More than " << _MaxTokens << " Tokens, the rest of the line is ignored"
                      << std::endl;
            break;
        }
        p = IsQuote(*p) ? ReadStringToken(p, tokens[count]) : ReadWordToken(p, tokens[count]);
        count++;
    }
    return count;
}

int IsComment(const char* text)
{
    while (*text == ' ' || *text == '\t')
        text++;
    if (*text == '\0')
        return 1;
    return std::strchr(_CommentStarts, *text) != nullptr ? 1 : 0;
}

int IsDB(const char* token)
{
    return std::strcmp(token, "DB") == 0 ? 1 : 0;
}

int IsDW(const char* token)
{
    return std::strcmp(token, "DW") == 0 ? 1 : 0;
}
