// Tokenize on a random statement line of at most 510 characters, as the line
// reader hands it over: the count stays within the slots, every stored token
// is terminated inside its slot, and nothing is written beyond the count.
#include <cstdint>
#include <cstring>
#include <memory>

#include "FuzzSupport.h"
#include "lexer/Tokenizer.h"

namespace {

const std::size_t MaxLineText = 510;
const char Untouched = '\x5A';

bool IsSeparator(char c)
{
    return c == ' ' || c == '\t' || c == ',';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::size_t length = size < MaxLineText ? size : MaxLineText;
    // Exactly as long as the line, so a read past its terminator is caught.
    std::unique_ptr<char[]> line(new char[length + 1]);
    std::memcpy(line.get(), data, length);
    line[length] = '\0';

    // The slots are on the heap too, filled with a mark that shows a write.
    std::unique_ptr<char[][_MaxTokenLength]> tokens(new char[_MaxTokens][_MaxTokenLength]);
    std::memset(tokens.get(), Untouched, sizeof(char) * _MaxTokens * _MaxTokenLength);

    int count = Tokenize(line.get(), tokens.get());

    FUZZ_CHECK(count >= 0 && count <= _MaxTokens, "token count " + std::to_string(count));
    std::string_view text(line.get());
    FUZZ_CHECK((count > 0) == LineHasToken(text), "token count " + std::to_string(count));

    for (int i = 0; i < count; i++) {
        const char* token = tokens[i];
        const void* end = std::memchr(token, '\0', _MaxTokenLength);
        FUZZ_CHECK(end != nullptr, "slot " + std::to_string(i) + " is not terminated");
        std::size_t tokenLength = static_cast<const char*>(end) - token;
        FUZZ_CHECK(tokenLength > 0, "slot " + std::to_string(i) + " holds an empty token");
        bool isString = token[0] == '"' || token[0] == '\'';
        if (!isString) {
            for (std::size_t k = 0; k < tokenLength; k++) {
                FUZZ_CHECK(!IsSeparator(token[k]), "a word token holds a separator");
                FUZZ_CHECK(!(token[k] >= 'a' && token[k] <= 'z'), "a word token holds a lower-case letter");
            }
            // A word token is a piece of the line, upper-cased.
            bool found = false;
            for (std::size_t at = 0; !found && at + tokenLength <= text.size(); at++) {
                bool same = true;
                for (std::size_t k = 0; same && k < tokenLength; k++) {
                    char c = text[at + k];
                    if (c >= 'a' && c <= 'z')
                        c = static_cast<char>(c - 'a' + 'A');
                    same = c == token[k];
                }
                found = same;
            }
            FUZZ_CHECK(found, std::string("word token not in the line: ") + token);
        }
    }
    for (int i = count; i < _MaxTokens; i++) {
        for (int k = 0; k < _MaxTokenLength; k++)
            FUZZ_CHECK(tokens[i][k] == Untouched, "slot " + std::to_string(i) + " beyond the count was written");
    }
    return 0;
}
