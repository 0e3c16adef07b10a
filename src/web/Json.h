// The JSON the binding answers with: strings escaped for JSON.parse, bytes as
// hexadecimal text, and the fields of an object written in order.
#pragma once

#include <cstdint>
#include <string>

void AppendJsonString(std::string& out, const std::string& text);
// Bytes as one string of two upper-case hexadecimal digits each ("3E05").
void AppendJsonBytes(std::string& out, const std::uint8_t* bytes, std::size_t count);

// An object or array being written into Text: each Field or Item puts the
// comma before it.
struct JsonWriter {
    std::string Text;
    bool First = true;
};

void OpenJson(JsonWriter& json, char bracket);
void CloseJson(JsonWriter& json, char bracket);
// The name of the next field (with its colon), or the separator of the next item.
void NextJsonField(JsonWriter& json, const char* name);
void NextJsonItem(JsonWriter& json);

void WriteJsonField(JsonWriter& json, const char* name, const std::string& value);
void WriteJsonField(JsonWriter& json, const char* name, const char* value);
void WriteJsonField(JsonWriter& json, const char* name, std::uint64_t value);
void WriteJsonField(JsonWriter& json, const char* name, int value);
void WriteJsonField(JsonWriter& json, const char* name, bool value);
void WriteJsonBytesField(JsonWriter& json, const char* name, const std::uint8_t* bytes, std::size_t count);
