#pragma once
// What the fuzz targets share: the input read as the texts of a form, and the one way a
// target reports a broken property, which libFuzzer then counts as a crash.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace lamivex::fuzz {

inline std::string_view asText(const uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// One text per line, so that a seed reads like the form it fills and most mutations change
// one field. A form's fields beyond the last line keep their defaults.
inline std::vector<std::string> lines(std::string_view text) {
    std::vector<std::string> out;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        out.emplace_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return out;
}

// Fills fields in order from the lines starting at first.
inline void assignLines(const std::vector<std::string>& from, std::size_t first,
                        const std::vector<std::string*>& fields) {
    for (std::size_t i = 0; i < fields.size() && first + i < from.size(); ++i) {
        *fields[i] = from[first + i];
    }
}

[[noreturn]] inline void broken(const char* property, std::string_view detail = {}) {
    std::fprintf(stderr, "property broken: %s [%.*s]\n", property, static_cast<int>(detail.size()),
                 detail.data());
    std::abort();
}

inline void require(bool holds, const char* property, std::string_view detail = {}) {
    if (!holds) {
        broken(property, detail);
    }
}

}  // namespace lamivex::fuzz
