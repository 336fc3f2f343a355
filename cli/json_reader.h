#pragma once
// Reads a JSON text (RFC 8259) into a tree of values, for --from-json. Numbers keep the text
// they were written with, so that a value read back is the value written, to the digit.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lamivex::cli {

struct JsonValue {
    enum class Kind { Null, Boolean, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    std::string text;              // a number as written, or a string's value (UTF-8)
    std::vector<JsonValue> items;  // an array's
    std::vector<std::pair<std::string, JsonValue>> members;  // an object's, in order

    // Defined in json_reader.cpp: clang 14 cannot define it here, where members' pair holds
    // a JsonValue that is not complete yet (libstdc++ 12, C++20).
    JsonValue();

    [[nodiscard]] const JsonValue* member(std::string_view key) const;
    [[nodiscard]] bool isNull() const { return kind == Kind::Null; }
};

// Throws std::invalid_argument "at line L, column C: what is wrong" for a text that is not
// JSON, or nested deeper than 200 levels.
[[nodiscard]] JsonValue parseJson(std::string_view text);

}  // namespace lamivex::cli
