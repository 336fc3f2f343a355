#pragma once
// The size a user asks a figure to have: "1200x900" (pixels at the figure's resolution),
// "6x4.5in" or "160x120mm".

#include <string_view>

namespace lamivex::output {

struct FigureExtent {
    double widthPt = 0;
    double heightPt = 0;
};

inline constexpr double kLowestDpi = 30;
inline constexpr double kHighestDpi = 2400;
inline constexpr int kFewestPixels = 16;
inline constexpr int kMostPixels = 16384;

// The size in points. Throws std::invalid_argument saying what is wrong: not W x H with an
// optional px, in or mm, a side that is not a positive number, or a picture outside
// 16..16384 pixels a side at dpi.
[[nodiscard]] FigureExtent parseFigureSize(std::string_view text, double dpi);

// Throws std::invalid_argument unless dpi lies within kLowestDpi..kHighestDpi.
void checkFigureDpi(double dpi);

}  // namespace lamivex::output
