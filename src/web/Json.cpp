// The binding's JSON writer: escaping, hexadecimal bytes, commas between fields.
#include "web/Json.h"

#include "output/Formats.h"

void AppendJsonString(std::string& out, const std::string& text)
{
    out += '"';
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (byte < 0x20 || byte == 0x7F) {
            out += "\\u00";
            AppendHexDigits(out, byte, 2);
        } else {
            out += c;
        }
    }
    out += '"';
}

void AppendJsonBytes(std::string& out, const std::uint8_t* bytes, std::size_t count)
{
    out += '"';
    for (std::size_t i = 0; i < count; ++i)
        AppendHexDigits(out, bytes[i], 2);
    out += '"';
}

void OpenJson(JsonWriter& json, char bracket)
{
    json.Text += bracket;
    json.First = true;
}

void CloseJson(JsonWriter& json, char bracket)
{
    json.Text += bracket;
    json.First = false;
}

void NextJsonItem(JsonWriter& json)
{
    if (!json.First)
        json.Text += ',';
    json.First = false;
}

void NextJsonField(JsonWriter& json, const char* name)
{
    NextJsonItem(json);
    AppendJsonString(json.Text, name);
    json.Text += ':';
}

void WriteJsonField(JsonWriter& json, const char* name, const std::string& value)
{
    NextJsonField(json, name);
    AppendJsonString(json.Text, value);
}

void WriteJsonField(JsonWriter& json, const char* name, const char* value)
{
    WriteJsonField(json, name, std::string(value));
}

void WriteJsonField(JsonWriter& json, const char* name, std::uint64_t value)
{
    NextJsonField(json, name);
    json.Text += std::to_string(value);
}

void WriteJsonField(JsonWriter& json, const char* name, int value)
{
    NextJsonField(json, name);
    json.Text += std::to_string(value);
}

void WriteJsonField(JsonWriter& json, const char* name, bool value)
{
    NextJsonField(json, name);
    json.Text += value ? "true" : "false";
}

void WriteJsonBytesField(JsonWriter& json, const char* name, const std::uint8_t* bytes, std::size_t count)
{
    NextJsonField(json, name);
    AppendJsonBytes(json.Text, bytes, count);
}
