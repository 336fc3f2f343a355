#include "screening/name_pattern.h"

#include <cstddef>

namespace lamivex::screening {
namespace {

char folded(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool matchesPattern(std::string_view name, std::string_view pattern) {
    // Greedy with one backtrack point: the last '*' seen and where its match ended.
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starAt = std::string_view::npos;
    std::size_t starMatchEnd = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            starMatchEnd = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || folded(pattern[p]) == folded(name[n]))) {
            ++p;
            ++n;
        } else if (starAt != std::string_view::npos) {
            p = starAt + 1;
            n = ++starMatchEnd;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace lamivex::screening
