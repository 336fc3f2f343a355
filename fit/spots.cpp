#include "fit/spots.h"

#include <algorithm>
#include <cctype>

namespace lamivex::fit {

const char* kindName(SpotKind kind) {
    switch (kind) {
        case SpotKind::Unknown:
            return "";
        case SpotKind::Substrate:
            return "substrate";
        case SpotKind::Overlayer:
            return "overlayer";
    }
    return "";
}

std::optional<SpotKind> kindFromName(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower.empty()) {
        return SpotKind::Unknown;
    }
    if (lower == "substrate") {
        return SpotKind::Substrate;
    }
    if (lower == "overlayer") {
        return SpotKind::Overlayer;
    }
    return std::nullopt;
}

}  // namespace lamivex::fit
