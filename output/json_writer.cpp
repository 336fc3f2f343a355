#include "output/json_writer.h"

#include <algorithm>

#include <cmath>

#include <fmt/format.h>

#include "numbers/text_safety.h"

namespace lamivex::output {
namespace {

template <typename T>
std::string jsonNumber(T value) {
    if (!std::isfinite(value)) {
        return "null";  // JSON has no NaN or infinity
    }
    return fmt::format("{}", value);  // shortest round-trip text of the type
}

}  // namespace

namespace {

// Text that needs neither escapes nor a UTF-8 check: the keys and most values.
bool plainAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x20 && u < 0x80 && c != '"' && c != '\\';
    });
}

void appendQuoted(std::string& out, std::string_view text) {
    out += '"';
    if (plainAscii(text)) {
        out += text;
        out += '"';
        return;
    }
    // JSON is UTF-8: bytes of a foreign file that are not become U+FFFD.
    const std::string valid = numbers::withReplacementCharacters(text);
    for (const char c : valid) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    out += fmt::format("\\u{:04x}", static_cast<unsigned>(c));
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

}  // namespace

std::string jsonQuoted(std::string_view text) {
    std::string out;
    appendQuoted(out, text);
    return out;
}

void JsonWriter::separate(std::string_view key) {
    if (m_needComma) {
        m_text += ',';
    }
    if (!key.empty()) {
        appendQuoted(m_text, key);
        m_text += ':';
    }
    m_needComma = true;
}

void JsonWriter::beginObject() {
    separate({});
    m_text += '{';
    m_needComma = false;
}

void JsonWriter::beginObject(std::string_view key) {
    separate(key);
    m_text += '{';
    m_needComma = false;
}

void JsonWriter::endObject() {
    m_text += '}';
    m_needComma = true;
}

void JsonWriter::beginArray(std::string_view key) {
    separate(key);
    m_text += '[';
    m_needComma = false;
}

void JsonWriter::endArray() {
    m_text += ']';
    m_needComma = true;
}

void JsonWriter::number(std::string_view key, double value) {
    separate(key);
    m_text += jsonNumber(value);
}

void JsonWriter::number(std::string_view key, float value) {
    separate(key);
    m_text += jsonNumber(value);
}

void JsonWriter::integer(std::string_view key, long long value) {
    separate(key);
    m_text += std::to_string(value);
}

void JsonWriter::string(std::string_view key, std::string_view value) {
    separate(key);
    appendQuoted(m_text, value);
}

void JsonWriter::null(std::string_view key) {
    separate(key);
    m_text += "null";
}

void JsonWriter::boolean(std::string_view key, bool value) {
    separate(key);
    m_text += value ? "true" : "false";
}

}  // namespace lamivex::output
