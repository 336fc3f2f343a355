// The JSON writer driven by the input as a program of writer calls (one byte picks the call,
// the bytes after it give its key, text or number). Whatever the keys and texts hold, the
// output must be UTF-8 JSON that the reader reads back to the same members and values. The
// reader also gets the raw input, which it must read or refuse with invalid_argument.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "cli/json_reader.h"
#include "cli/json_writer.h"
#include "numbers/text_safety.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using lamivex::cli::JsonValue;
using lamivex::cli::JsonWriter;
using lamivex::fuzz::require;

// Below the reader's limit of 200 levels.
constexpr std::size_t kMaxDepth = 100;

// UTF-8 as RFC 3629 tabulates its well-formed sequences, written apart from the library's
// check so that a fault in one does not hide in the other.
bool wellFormedUtf8(std::string_view text) {
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned c = s[i];
        std::size_t length = 0;
        unsigned low = 0x80;
        unsigned high = 0xBF;  // the bounds of the second byte
        if (c <= 0x7F) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            low = c == 0xE0 ? 0xA0 : 0x80;
            high = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            low = c == 0xF0 ? 0x90 : 0x80;
            high = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (i + length > n || s[i + 1] < low || s[i + 1] > high) {
            return false;
        }
        for (std::size_t k = 2; k < length; ++k) {
            if (s[i + k] < 0x80 || s[i + k] > 0xBF) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

// A document flattened in order: what was written and what was read are compared as such.
struct Event {
    enum class Kind { Object, Array, End, Key, String, Number, Boolean, Null };
    Kind kind;
    std::string text;     // a key, a string, an integer's digits or a boolean
    double value = 0;     // a number written as a double or a single
    bool single = false;  // read the number back as a single
};

class Program {
  public:
    explicit Program(std::string_view bytes) : m_bytes(bytes) {}
    [[nodiscard]] bool done() const { return m_bytes.empty(); }
    unsigned char byte() {
        if (m_bytes.empty()) {
            return 0;
        }
        const auto b = static_cast<unsigned char>(m_bytes.front());
        m_bytes.remove_prefix(1);
        return b;
    }
    std::string text() {
        const std::size_t size = std::min<std::size_t>(byte(), m_bytes.size());
        std::string out(m_bytes.substr(0, size));
        m_bytes.remove_prefix(size);
        return out;
    }
    template <typename T>
    T bits() {
        unsigned char raw[sizeof(T)] = {};
        for (unsigned char& b : raw) {
            b = byte();
        }
        T value{};
        std::memcpy(&value, raw, sizeof value);
        return value;
    }

  private:
    std::string_view m_bytes;
};

std::string expectedText(const std::string& written) {
    return wellFormedUtf8(written) ? written : lamivex::numbers::withReplacementCharacters(written);
}

class Writing {
  public:
    explicit Writing(Program& program) : m_program(program) {
        m_writer.beginObject();
        m_events.push_back({Event::Kind::Object, {}});
        m_inObject.push_back(true);
    }

    void step() {
        switch (m_program.byte() % 10) {
            case 0:
                container(true);
                break;
            case 1:
                close(true, false);
                break;
            case 2:
                container(false);
                break;
            case 3:
                close(false, false);
                break;
            case 4:
                number<double>();
                break;
            case 5:
                number<float>();
                break;
            case 6: {
                const std::string key = keyOf();
                const auto value = m_program.bits<long long>();
                m_writer.integer(key, value);
                m_events.push_back({Event::Kind::Number, std::to_string(value)});
                break;
            }
            case 7: {
                const std::string key = keyOf();
                const std::string value = m_program.text();
                m_writer.string(key, value);
                m_events.push_back({Event::Kind::String, expectedText(value)});
                break;
            }
            case 8: {
                const std::string key = keyOf();
                const bool value = (m_program.byte() & 1U) != 0;
                m_writer.boolean(key, value);
                m_events.push_back({Event::Kind::Boolean, value ? "true" : "false"});
                break;
            }
            default: {
                const std::string key = keyOf();
                m_writer.null(key);
                m_events.push_back({Event::Kind::Null, {}});
            }
        }
    }

    void finish() {
        while (!m_inObject.empty()) {
            close(m_inObject.back(), true);
        }
    }

    [[nodiscard]] const std::string& text() const { return m_writer.text(); }
    [[nodiscard]] const std::vector<Event>& events() const { return m_events; }

  private:
    // A member needs a name; the writer takes an empty key as none, for array items.
    std::string keyOf() {
        std::string key = m_program.text();
        if (!m_inObject.back()) {
            return {};
        }
        if (key.empty()) {
            key = "_";
        }
        m_events.push_back({Event::Kind::Key, expectedText(key)});
        return key;
    }

    void container(bool object) {
        if (m_inObject.size() >= kMaxDepth) {
            return;
        }
        const std::string key = keyOf();
        if (object) {
            m_writer.beginObject(key);
        } else {
            m_writer.beginArray(key);
        }
        m_events.push_back({object ? Event::Kind::Object : Event::Kind::Array, {}});
        m_inObject.push_back(object);
    }

    // The outermost object stays open until the program ends.
    void close(bool object, bool outermostToo) {
        if (m_inObject.size() <= (outermostToo ? 0U : 1U) || m_inObject.back() != object) {
            return;
        }
        if (object) {
            m_writer.endObject();
        } else {
            m_writer.endArray();
        }
        m_events.push_back({Event::Kind::End, {}});
        m_inObject.pop_back();
    }

    template <typename T>
    void number() {
        const std::string key = keyOf();
        const T value = m_program.bits<T>();
        m_writer.number(key, value);
        if (std::isfinite(value)) {
            m_events.push_back({Event::Kind::Number, {}, value, std::is_same_v<T, float>});
        } else {
            m_events.push_back({Event::Kind::Null, {}});  // JSON has no NaN or infinity
        }
    }

    Program& m_program;
    JsonWriter m_writer;
    std::vector<Event> m_events;
    std::vector<bool> m_inObject;  // the open containers, innermost last
};

void flatten(const JsonValue& v, std::vector<Event>& out) {
    switch (v.kind) {
        case JsonValue::Kind::Object:
            out.push_back({Event::Kind::Object, {}});
            for (const auto& [key, member] : v.members) {
                out.push_back({Event::Kind::Key, key});
                flatten(member, out);
            }
            out.push_back({Event::Kind::End, {}});
            break;
        case JsonValue::Kind::Array:
            out.push_back({Event::Kind::Array, {}});
            for (const JsonValue& item : v.items) {
                flatten(item, out);
            }
            out.push_back({Event::Kind::End, {}});
            break;
        case JsonValue::Kind::String:
            out.push_back({Event::Kind::String, v.text});
            break;
        case JsonValue::Kind::Number:
            out.push_back({Event::Kind::Number, v.text});
            break;
        case JsonValue::Kind::Boolean:
            out.push_back({Event::Kind::Boolean, v.boolean ? "true" : "false"});
            break;
        case JsonValue::Kind::Null:
            out.push_back({Event::Kind::Null, {}});
            break;
    }
}

template <typename T>
bool readsBackTo(const std::string& text, double value) {
    T back{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), back);
    return ec == std::errc{} && end == text.data() + text.size() && back == static_cast<T>(value);
}

void compare(const std::vector<Event>& written, const std::vector<Event>& read) {
    require(written.size() == read.size(), "the JSON read back has what was written");
    for (std::size_t i = 0; i < written.size(); ++i) {
        const Event& w = written[i];
        const Event& r = read[i];
        require(w.kind == r.kind, "a value reads back as its kind", r.text);
        if (w.kind == Event::Kind::Number && w.text.empty()) {
            require(w.single ? readsBackTo<float>(r.text, w.value)
                             : readsBackTo<double>(r.text, w.value),
                    "a number reads back to its value", r.text);
        } else {
            require(w.text == r.text, "a text reads back unchanged", r.text);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view input = lamivex::fuzz::asText(data, size);
    try {
        (void)lamivex::cli::parseJson(input);
    } catch (const std::invalid_argument&) {
    }

    Program program(input);
    Writing writing(program);
    while (!program.done()) {
        writing.step();
    }
    writing.finish();
    const std::string& json = writing.text();
    require(wellFormedUtf8(json), "the JSON is UTF-8", json);
    JsonValue read;
    try {
        read = lamivex::cli::parseJson(json);
    } catch (const std::invalid_argument& e) {
        lamivex::fuzz::broken("the JSON reads back", e.what());
    }
    std::vector<Event> events;
    flatten(read, events);
    compare(writing.events(), events);
    return 0;
}
