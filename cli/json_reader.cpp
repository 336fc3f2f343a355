#include "cli/json_reader.h"

#include <stdexcept>

#include <fmt/format.h>

#include "numbers/text_safety.h"

namespace lamivex::cli {
namespace {

constexpr int kMaxDepth = 200;

class Parser {
  public:
    explicit Parser(std::string_view text) : m_text(text) {}

    JsonValue document() {
        JsonValue v = value(0);
        skipBlanks();
        if (m_at != m_text.size()) {
            fail("more after the end of the JSON value");
        }
        return v;
    }

  private:
    [[noreturn]] void fail(const std::string& what) const {
        int line = 1;
        int column = 1;
        for (std::size_t i = 0; i < m_at && i < m_text.size(); ++i) {
            if (m_text[i] == '\n') {
                ++line;
                column = 1;
            } else {
                ++column;
            }
        }
        throw std::invalid_argument(fmt::format("at line {}, column {}: {}", line, column, what));
    }

    void skipBlanks() {
        while (m_at < m_text.size() && (m_text[m_at] == ' ' || m_text[m_at] == '\t' ||
                                        m_text[m_at] == '\n' || m_text[m_at] == '\r')) {
            ++m_at;
        }
    }

    bool take(char c) {
        skipBlanks();
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }

    void expect(char c) {
        if (!take(c)) {
            fail(fmt::format("expected '{}'", c));
        }
    }

    bool word(std::string_view w) {
        if (m_text.substr(m_at, w.size()) == w) {
            m_at += w.size();
            return true;
        }
        return false;
    }

    JsonValue value(int depth) {
        if (depth > kMaxDepth) {
            fail("nested too deeply");
        }
        skipBlanks();
        if (m_at >= m_text.size()) {
            fail("the text ends where a value should be");
        }
        JsonValue v;
        const char c = m_text[m_at];
        if (c == '{') {
            ++m_at;
            v.kind = JsonValue::Kind::Object;
            if (take('}')) {
                return v;
            }
            do {
                skipBlanks();
                if (m_at >= m_text.size() || m_text[m_at] != '"') {
                    fail("expected a member name in double quotes");
                }
                std::string key = string();
                expect(':');
                v.members.emplace_back(std::move(key), value(depth + 1));
            } while (take(','));
            expect('}');
        } else if (c == '[') {
            ++m_at;
            v.kind = JsonValue::Kind::Array;
            if (take(']')) {
                return v;
            }
            do {
                v.items.push_back(value(depth + 1));
            } while (take(','));
            expect(']');
        } else if (c == '"') {
            v.kind = JsonValue::Kind::String;
            v.text = string();
        } else if (word("true")) {
            v.kind = JsonValue::Kind::Boolean;
            v.boolean = true;
        } else if (word("false")) {
            v.kind = JsonValue::Kind::Boolean;
        } else if (word("null")) {
            v.kind = JsonValue::Kind::Null;
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            v.kind = JsonValue::Kind::Number;
            v.text = number();
        } else {
            fail(fmt::format("unexpected '{}'", numbers::visiblyEscaped(std::string(1, c))));
        }
        return v;
    }

    std::string number() {
        const std::size_t start = m_at;
        const auto digits = [this] {
            const std::size_t from = m_at;
            while (m_at < m_text.size() && m_text[m_at] >= '0' && m_text[m_at] <= '9') {
                ++m_at;
            }
            return m_at - from;
        };
        take('-');
        if (m_at < m_text.size() && m_text[m_at] == '0') {
            ++m_at;
        } else if (digits() == 0) {
            fail("a number needs digits");
        }
        if (m_at < m_text.size() && m_text[m_at] == '.') {
            ++m_at;
            if (digits() == 0) {
                fail("a number needs digits after its point");
            }
        }
        if (m_at < m_text.size() && (m_text[m_at] == 'e' || m_text[m_at] == 'E')) {
            ++m_at;
            if (m_at < m_text.size() && (m_text[m_at] == '+' || m_text[m_at] == '-')) {
                ++m_at;
            }
            if (digits() == 0) {
                fail("a number needs digits in its exponent");
            }
        }
        return std::string(m_text.substr(start, m_at - start));
    }

    static void appendUtf8(std::string& out, unsigned code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    unsigned hex4() {
        if (m_at + 4 > m_text.size()) {
            fail("\\u needs four hexadecimal digits");
        }
        unsigned code = 0;
        for (int i = 0; i < 4; ++i) {
            const char h = m_text[m_at++];
            code <<= 4;
            if (h >= '0' && h <= '9') {
                code |= static_cast<unsigned>(h - '0');
            } else if (h >= 'a' && h <= 'f') {
                code |= static_cast<unsigned>(h - 'a' + 10);
            } else if (h >= 'A' && h <= 'F') {
                code |= static_cast<unsigned>(h - 'A' + 10);
            } else {
                fail("\\u needs four hexadecimal digits");
            }
        }
        return code;
    }

    std::string string() {
        ++m_at;  // the opening quote
        std::string out;
        for (;;) {
            if (m_at >= m_text.size()) {
                fail("the text ends inside a string");
            }
            const char c = m_text[m_at++];
            if (c == '"') {
                break;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                fail("a control character inside a string");
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_at >= m_text.size()) {
                fail("the text ends inside a string");
            }
            const char e = m_text[m_at++];
            switch (e) {
                case '"':
                    out += '"';
                    break;
                case '\\':
                    out += '\\';
                    break;
                case '/':
                    out += '/';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    unsigned code = hex4();
                    if (code >= 0xD800 && code < 0xDC00 && m_text.substr(m_at, 2) == "\\u") {
                        m_at += 2;
                        const unsigned low = hex4();
                        code = low >= 0xDC00 && low < 0xE000
                                   ? 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00)
                                   : 0xFFFD;
                    } else if (code >= 0xD800 && code < 0xE000) {
                        code = 0xFFFD;  // a lone surrogate
                    }
                    appendUtf8(out, code);
                    break;
                }
                default:
                    fail(fmt::format("unknown escape '\\{}'",
                                     numbers::visiblyEscaped(std::string(1, e))));
            }
        }
        return out;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
};

}  // namespace

JsonValue::JsonValue() = default;

const JsonValue* JsonValue::member(std::string_view key) const {
    for (const auto& [name, value] : members) {
        if (name == key) {
            return &value;
        }
    }
    return nullptr;
}

JsonValue parseJson(std::string_view text) {
    return Parser(text).document();
}

}  // namespace lamivex::cli
