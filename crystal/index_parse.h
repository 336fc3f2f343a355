#pragma once
// Reading plane indices (h k l) and direction indices [u v w] from the index fields.

#include <cstdint>
#include <optional>
#include <string>
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

// The command line's and the scripts' readings, where no field shows what was read: a text
// either means exactly the indices it shows or is refused, with the problem in words.
template <typename Indices>
struct IndexReading {
    std::optional<Indices> indices;
    std::string problem;  // set when indices is not
};

// As parseMillerPlane, but an index that is not a whole number ("1.5 1 1") is refused
// instead of rounded.
[[nodiscard]] IndexReading<MillerPlane> readWholeMillerPlane(std::string_view text);

// As parseDirection where every number of the text is read: one to three numbers separated
// by single blanks ("1 1 0"; "1 1" is [1 0 1] and "1" is [0 0 1] as in the window). Refused:
// an empty text, four or more numbers, anything but blanks between them ("1,1,1") and blanks
// that would make a number vanish ("1  1 1").
[[nodiscard]] IndexReading<Direction> readDirectionExactly(std::string_view text);

}  // namespace lamivex::crystal
