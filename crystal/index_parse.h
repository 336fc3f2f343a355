#pragma once
// Reading plane indices (h k l) and direction indices [u v w] from the index fields.

#include <cstdint>
#include <optional>
#include <string_view>

namespace lamivex::crystal {

struct MillerPlane {
    int16_t h = 0;
    int16_t k = 0;
    int16_t l = 0;

    friend bool operator==(const MillerPlane&, const MillerPlane&) = default;
};

struct Direction {
    double u = 0;
    double v = 0;
    double w = 0;

    friend bool operator==(const Direction&, const Direction&) = default;
};

// The default texts of the index fields.
inline constexpr std::string_view kDefaultSpacingPlaneText = "1 0 0";
inline constexpr std::string_view kDefaultPlane1Text = "1 0 0";
inline constexpr std::string_view kDefaultPlane2Text = "0 1 0";
inline constexpr std::string_view kDefaultDirection1Text = "1 0 0";
inline constexpr std::string_view kDefaultDirection2Text = "0 1 0";

// Strict: after the leading blanks, h runs up to and including the first blank, k up to
// and including the next blank, l is the rest. Each piece must be one number (blanks
// around it allowed), rounded halves to even and within -32768..32767. So "1 0 0" and
// "  1 0  0" parse, while "1  0 0", "100" and "1,0,0" fail, and "0.5 0 0" is (0 0 0).
// All or nothing: a failure gives no indices, so a caller never keeps a half-updated plane.
[[nodiscard]] std::optional<MillerPlane> parseMillerPlane(std::string_view text);

// Lenient: the same cuts, each piece read like a cell field (blanks inside ignored, the
// longest leading number, 0 if none). Never fails: "1 1" gives [1 0 1], "1" gives [0 0 1].
[[nodiscard]] Direction parseDirection(std::string_view text);

}  // namespace lamivex::crystal
