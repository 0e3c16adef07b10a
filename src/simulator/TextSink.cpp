// The two common text sinks, and writing and flushing through any sink.
#include "simulator/TextSink.h"

TextSink StreamSink(std::ostream& out)
{
    TextSink sink;
    sink.Context = &out;
    sink.Write = [](void* context, const char* text, std::size_t length) {
        static_cast<std::ostream*>(context)->write(text, static_cast<std::streamsize>(length));
    };
    sink.Flush = [](void* context) { static_cast<std::ostream*>(context)->flush(); };
    return sink;
}

TextSink StringSink(std::string& text)
{
    TextSink sink;
    sink.Context = &text;
    sink.Write = [](void* context, const char* piece, std::size_t length) {
        static_cast<std::string*>(context)->append(piece, length);
    };
    return sink;
}

void WriteText(const TextSink& sink, const std::string& text)
{
    if (sink.Write != nullptr && !text.empty())
        sink.Write(sink.Context, text.data(), text.size());
}

void FlushText(const TextSink& sink)
{
    if (sink.Flush != nullptr)
        sink.Flush(sink.Context);
}
