// A stream buffer over a text whose read of byte FailAt fails the way a file
// on a failing disk does (the file buffer throws); shared by tests and fuzzing.
#pragma once

#include <algorithm>
#include <cstddef>
#include <ios>
#include <streambuf>
#include <string>
#include <utility>

struct FailingReadBuffer : std::streambuf {
    std::string Text;
    std::size_t FailAt;      // at or past the end of Text: the read never fails
    std::size_t Chunk;       // bytes handed over per refill, as a file buffer's block
    std::size_t Reached = 0; // the end of the text handed over so far
    bool Thrown = false;

    FailingReadBuffer(std::string text, std::size_t failAt, std::size_t chunk = 7)
        : Text(std::move(text)), FailAt(failAt), Chunk(chunk == 0 ? 1 : chunk)
    {
    }

    int_type underflow() override
    {
        const std::size_t limit = std::min(FailAt, Text.size());
        if (Reached < limit) {
            const std::size_t start = Reached;
            Reached = std::min(limit, start + Chunk);
            char* base = &Text[0];
            setg(base + start, base + start, base + Reached);
            return traits_type::to_int_type(Text[start]);
        }
        if (Reached < Text.size()) {
            Thrown = true;
            throw std::ios_base::failure("read error");
        }
        return traits_type::eof();
    }
};
