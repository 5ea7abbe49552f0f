// Just enough JSON for the driver's one-line outputs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/strings.h"

// A JSON string of UTF-16 text: surrogate pairs become UTF-8, a unit outside
// a pair its \uXXXX escape.
std::string JsonString(std::u16string_view text);
std::string JsonString(std::string_view utf8);
std::string JsonBool(bool value);

// Fields in the order they are added.
class JsonObject {
public:
    JsonObject& Raw(std::string_view key, std::string value);
    JsonObject& Text(std::string_view key, std::u16string_view value) {
        return Raw(key, JsonString(value));
    }
    JsonObject& Text(std::string_view key, std::string_view value) {
        return Raw(key, JsonString(value));
    }
    JsonObject& Number(std::string_view key, long long value) {
        return Raw(key, std::to_string(value));
    }
    JsonObject& Bool(std::string_view key, bool value) { return Raw(key, JsonBool(value)); }
    std::string Str() const;

private:
    std::vector<std::pair<std::string, std::string>> m_fields;
};

// "[a, b, c]" of already-written JSON values.
std::string JsonArray(const std::vector<std::string>& items);
