#include "output_match.h"

#include <cmath>
#include <cstdlib>
#include <regex>

namespace lamivex::testing {
namespace {

const std::regex& numberPattern() {
    static const std::regex pattern(R"([-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?)");
    return pattern;
}

struct Piece {
    bool number = false;
    std::string text;
};

std::vector<Piece> pieces(const std::string& line) {
    std::vector<Piece> out;
    std::size_t at = 0;
    for (auto it = std::sregex_iterator(line.begin(), line.end(), numberPattern());
         it != std::sregex_iterator(); ++it) {
        const auto start = static_cast<std::size_t>(it->position());
        if (start > at) {
            out.push_back({false, line.substr(at, start - at)});
        }
        out.push_back({true, it->str()});
        at = start + static_cast<std::size_t>(it->length());
    }
    if (at < line.size()) {
        out.push_back({false, line.substr(at)});
    }
    return out;
}

int significantDigits(const std::string& number) {
    int digits = 0;
    bool leading = true;
    for (const char c : number) {
        if (c == 'e' || c == 'E') {
            break;
        }
        if (c >= '1' && c <= '9') {
            leading = false;
        }
        if (c >= '0' && c <= '9' && !leading) {
            ++digits;
        }
    }
    return digits;
}

bool numbersMatch(const std::string& shown, const std::string& printed) {
    if (shown == printed) {
        return true;
    }
    if (significantDigits(shown) < 12) {
        return false;
    }
    const double a = std::strtod(shown.c_str(), nullptr);
    const double b = std::strtod(printed.c_str(), nullptr);
    return std::abs(a - b) <= 1e-9 * std::max(1.0, std::abs(a));
}

bool endsWithEllipsis(std::string_view line) {
    return line.size() > 3 && line.substr(line.size() - 3) == "...";
}

}  // namespace

bool lineMatches(std::string_view shown, std::string_view printed) {
    if (endsWithEllipsis(shown)) {
        const std::string_view start = shown.substr(0, shown.size() - 3);
        return printed.substr(0, start.size()) == start;
    }
    const std::vector<Piece> a = pieces(std::string(shown));
    const std::vector<Piece> b = pieces(std::string(printed));
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].number != b[i].number) {
            return false;
        }
        if (a[i].number ? !numbersMatch(a[i].text, b[i].text) : a[i].text != b[i].text) {
            return false;
        }
    }
    return true;
}

std::string outputMismatch(const std::vector<std::string>& shown,
                           const std::vector<std::string>& printed) {
    std::size_t p = 0;
    for (std::size_t s = 0; s < shown.size(); ++s) {
        if (shown[s] == "...") {
            if (s + 1 == shown.size()) {
                return {};
            }
            while (p < printed.size() && !lineMatches(shown[s + 1], printed[p])) {
                ++p;
            }
            if (p == printed.size()) {
                return "no printed line after the skipped ones matches: " + shown[s + 1];
            }
            continue;
        }
        if (p == printed.size()) {
            return "output ends before the shown line: " + shown[s];
        }
        if (!lineMatches(shown[s], printed[p])) {
            return "shown:   " + shown[s] + "\nprinted: " + printed[p];
        }
        ++p;
    }
    if (p != printed.size()) {
        return "printed more than shown, from: " + printed[p];
    }
    return {};
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string line(text.substr(0, end));
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    return lines;
}

}  // namespace lamivex::testing
