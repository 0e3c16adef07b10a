// Helpers shared by the fuzz targets: a private scratch directory, whole-file
// reading and writing, the check that ends a run, and the question whether a
// statement line holds a token at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Writes the message to standard error and aborts, which libFuzzer reports
// as a crash with the input that caused it.
[[noreturn]] void FuzzFailure(const std::string& message);

#define FUZZ_CHECK(condition, message)                                                                                 \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            FuzzFailure(std::string(#condition) + ": " + std::string(message));                                        \
    } while (0)

// A directory of this process under $TMPDIR (or /tmp), created on first use
// and removed at exit.
const std::string& ScratchDirectory();

void WriteWholeFile(const std::string& path, const void* data, std::size_t size);
std::string ReadWholeFile(const std::string& path);

// True when the tokenizer finds at least one token in line (the line ends at
// its first NUL): the first character that is not a blank, tab or comma is a
// quote, or any other character that does not start a comment.
bool LineHasToken(std::string_view line);

// The line up to its first NUL.
std::string_view UpToNul(std::string_view text);

// Where a read of the input is made to fail: taken from its last two bytes,
// so the seed files stay good inputs as they are. From 0 to size + 1; at or
// past the end, no read fails.
std::size_t FailurePoint(const std::uint8_t* data, std::size_t size);
