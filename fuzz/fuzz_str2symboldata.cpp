// Str2SymbolData on a random token: the size class is 1, 2 or -1, both views
// of the value agree, and the size class follows from how the token is
// written (hexadecimal digit count, or decimal length).
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "FuzzSupport.h"
#include "symbols/NumericLiteral.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::unique_ptr<char[]> token(new char[size + 1]);
    std::memcpy(token.get(), data, size);
    token[size] = '\0';
    std::size_t length = std::strlen(token.get());

    int sizeClass = 12345;
    SymbolData value = Str2SymbolData(token.get(), sizeClass);

    FUZZ_CHECK(sizeClass == 1 || sizeClass == 2 || sizeClass == -1, "size class " + std::to_string(sizeClass));
    FUZZ_CHECK(value.Byte == (static_cast<std::uint16_t>(value.Word) & 0xFFu),
        "Byte " + std::to_string(value.Byte) + " Word " + std::to_string(value.Word));

    char last = length > 0 ? token[length - 1] : '\0';
    if (last == 'H' || last == 'h') {
        std::size_t digits = length - 1;
        int expected = digits <= 2 ? 1 : (digits <= 4 ? 2 : -1);
        FUZZ_CHECK(sizeClass == expected, "hexadecimal size class " + std::to_string(sizeClass));
        if (expected == -1) {
            FUZZ_CHECK(value.Word == 0, "an oversize literal keeps the value 0");
        } else {
            // Four digits at most: "%x" cannot overflow, and the H stops it.
            unsigned read = 0;
            if (std::sscanf(token.get(), "%x", &read) != 1)
                read = 0;
            FUZZ_CHECK(static_cast<std::uint16_t>(value.Word) == (read & 0xFFFFu),
                "hexadecimal value " + std::to_string(value.Word) + ", %x reads " + std::to_string(read));
        }
    } else if (length > 0) {
        // Where "%d" cannot overflow, it must read the same value.
        std::size_t at = 0;
        while (at < length && std::isspace(static_cast<unsigned char>(token[at])))
            at++;
        if (at < length && (token[at] == '+' || token[at] == '-'))
            at++;
        std::size_t digitsAt = at;
        while (at < length && token[at] >= '0' && token[at] <= '9')
            at++;
        if (at - digitsAt <= 9) {
            int read = 0;
            if (std::sscanf(token.get(), "%d", &read) != 1)
                read = 0;
            FUZZ_CHECK(static_cast<std::uint16_t>(value.Word) == (static_cast<unsigned>(read) & 0xFFFFu),
                "decimal value " + std::to_string(value.Word) + ", %d reads " + std::to_string(read));
        }
        if (length <= 2)
            FUZZ_CHECK(sizeClass == 1, "short decimal size class " + std::to_string(sizeClass));
        else if (length == 3)
            FUZZ_CHECK(sizeClass == (value.Word <= 255 ? 1 : 2), "three-character decimal size class");
        else
            FUZZ_CHECK(sizeClass == 2, "long decimal size class " + std::to_string(sizeClass));
    }
    return 0;
}
