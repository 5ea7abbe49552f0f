#include "hosts/headless/json.h"

#include <cstdio>

namespace {

void Escape(std::string& out, char32_t c) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
    out += buffer;
}

}  // namespace

std::string JsonString(std::u16string_view text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            Escape(out, c);
        } else if (c == u'"') {
            out += "\\\"";
        } else if (c == u'\\') {
            out += "\\\\";
        } else if (c == u'\n') {
            out += "\\n";
        } else if (c == u'\r') {
            out += "\\r";
        } else if (c == u'\t') {
            out += "\\t";
        } else if (c < 0x20) {
            Escape(out, c);
        } else {
            AppendUtf8(out, c);
        }
    }
    out += "\"";
    return out;
}

std::string JsonString(std::string_view utf8) {
    return JsonString(FromUtf8(utf8));
}

std::string JsonBool(bool value) {
    return value ? "true" : "false";
}

JsonObject& JsonObject::Raw(std::string_view key, std::string value) {
    m_fields.emplace_back(std::string(key), std::move(value));
    return *this;
}

std::string JsonObject::Str() const {
    std::string out = "{";
    for (size_t i = 0; i < m_fields.size(); ++i) {
        if (i) out += ", ";
        out += JsonString(std::string_view(m_fields[i].first));
        out += ": ";
        out += m_fields[i].second;
    }
    return out + "}";
}

std::string JsonArray(const std::vector<std::string>& items) {
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) out += ", ";
        out += items[i];
    }
    return out + "]";
}
