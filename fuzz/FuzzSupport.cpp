#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>

void FuzzFailure(const std::string& message)
{
    std::fprintf(stderr, "FUZZ CHECK FAILED: %s\n", message.c_str());
    std::fflush(stderr);
    std::abort();
}

namespace {

std::string* Scratch = nullptr;

void RemoveScratch()
{
    if (Scratch != nullptr) {
        std::error_code ignored;
        std::filesystem::remove_all(*Scratch, ignored);
    }
}

} // namespace

const std::string& ScratchDirectory()
{
    if (Scratch == nullptr) {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/pass2-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr)
            FuzzFailure("cannot create a scratch directory " + pattern);
        Scratch = new std::string(pattern);
        std::atexit(RemoveScratch);
    }
    return *Scratch;
}

void WriteWholeFile(const std::string& path, const void* data, std::size_t size)
{
    std::ofstream file(path, std::ios::out | std::ios::binary | std::ios::trunc);
    file.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    file.close();
    if (!file)
        FuzzFailure("cannot write " + path);
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::in | std::ios::binary);
    if (!file.is_open())
        FuzzFailure("cannot read " + path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string_view UpToNul(std::string_view text)
{
    std::size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

bool LineHasToken(std::string_view line)
{
    static const std::string_view Separators(" \t,");
    static const std::string_view CommentCharacters(";#$!~`%*");
    for (char c : UpToNul(line)) {
        if (Separators.find(c) != std::string_view::npos)
            continue;
        if (c == '"' || c == '\'')
            return true;
        return CommentCharacters.find(c) == std::string_view::npos;
    }
    return false;
}

std::size_t FailurePoint(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::size_t picked = data[size - 2] | static_cast<std::size_t>(data[size - 1]) << 8;
    return picked % (size + 2);
}
