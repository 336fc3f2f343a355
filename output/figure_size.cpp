#include "output/figure_size.h"

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string>

#include <fmt/format.h>

namespace lamivex::output {
namespace {

double side(std::string_view text, std::string_view whole) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || !(value > 0) ||
        !std::isfinite(value)) {
        throw std::invalid_argument(fmt::format(
            "expected WIDTHxHEIGHT with positive numbers, in pixels or ending in in or mm "
            "(1200x900, 6x4.5in, 160x120mm), got '{}'",
            whole));
    }
    return value;
}

}  // namespace

void checkFigureDpi(double dpi) {
    if (!(dpi >= kLowestDpi && dpi <= kHighestDpi)) {
        throw std::invalid_argument(fmt::format(
            "must be from {:g} to {:g} dots per inch (it is {:g})", kLowestDpi, kHighestDpi, dpi));
    }
}

FigureExtent parseFigureSize(std::string_view text, double dpi) {
    checkFigureDpi(dpi);
    std::string_view sides = text;
    double pointsPerUnit = 72 / dpi;  // pixels
    if (sides.ends_with("mm")) {
        pointsPerUnit = 72 / 25.4;
        sides.remove_suffix(2);
    } else if (sides.ends_with("in")) {
        pointsPerUnit = 72;
        sides.remove_suffix(2);
    } else if (sides.ends_with("px")) {
        sides.remove_suffix(2);
    }
    const std::size_t x = sides.find('x');
    if (x == std::string_view::npos) {
        side("", text);  // throws the message for the form
    }
    const FigureExtent extent{side(sides.substr(0, x), text) * pointsPerUnit,
                              side(sides.substr(x + 1), text) * pointsPerUnit};
    for (const double points : {extent.widthPt, extent.heightPt}) {
        const double pixels = points / 72 * dpi;
        if (std::lround(pixels) < kFewestPixels || std::lround(pixels) > kMostPixels) {
            throw std::invalid_argument(
                fmt::format("'{}' at {:g} dpi is {:.0f} pixels a side; a picture may have {} to {}",
                            text, dpi, pixels, kFewestPixels, kMostPixels));
        }
    }
    return extent;
}

}  // namespace lamivex::output
