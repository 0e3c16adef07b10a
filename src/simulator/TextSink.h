// Text sinks: where the simulator's text goes.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>

// Where the session's text goes (the program's console output, warnings).
// Write gets each piece as it is made; Flush, when set, is called where a
// person watching should see what came so far. StreamSink and StringSink
// below make the two common ones.
struct TextSink {
    void* Context = nullptr;
    void (*Write)(void* context, const char* text, std::size_t length) = nullptr;
    void (*Flush)(void* context) = nullptr;
};
TextSink StreamSink(std::ostream& out);
TextSink StringSink(std::string& text);
void WriteText(const TextSink& sink, const std::string& text);
void FlushText(const TextSink& sink);
