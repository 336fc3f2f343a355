#pragma once
// The hits histogram of an iteration run: one bar per whole degree of best azimuth angle,
// regular matches black and the geometric part green on top, with the degree labels and
// the vertical scale, as a display list. The window and the printer draw the same list.

#include <span>
#include <string>

#include "output/display_list.h"
#include "output/figure_layout.h"

namespace lamivex::output {

// The picture: x -10..105, y -10..110 upward; the bins fill x 0..100 and the tallest
// axis level y 100.
inline constexpr CoordinateSystem kHistogramCoordinates{-10, 110, 105, -10};
// The printed page's coordinate system leaves room above for the title.
inline constexpr CoordinateSystem kHistogramPageCoordinates{-10, 120, 105, -10};
inline constexpr Rgb kGeometricGreen{0, 255, 0};
// Label font size in histogram units on the screen.
inline constexpr double kHistogramLabelHeight = 3.5;

inline constexpr const char* kHistogramFrameCaption = "Number of Hits versus Azimuth Angle";
inline constexpr const char* kHistogramPrintTitle = "Number of Hits versus Azimuth Angle (degrees)";

// The values the drawing derived.
struct HistogramScale {
    int HistogramMaxHits = 1;  // the largest count, at least 1
    int HistogramTop = 5;      // hits at the top of the vertical axis
    int labelStep = 5;         // hits between labelled levels
    double labelX = -5;        // left edge of the vertical labels
    int tickStep = 1;          // hits between unlabelled ticks
    int degreeLabelStep = 2;   // degrees between degree labels
};

struct HitsHistogram {
    DisplayList list;
    HistogramScale scale;
};

// The counts of the degrees low..high + 1: element i counts degree low + i. geometric holds
// the part of each count found at multiples of the cell. Throws std::invalid_argument when either
// span is shorter than high - low + 2, when high is below low, or when a geometric count
// exceeds its degree's count.
[[nodiscard]] HitsHistogram plotHistogram(int HistogramLowAngle, int HistogramHighAngle,
                                          std::span<const int> HitsByAngle,
                                          std::span<const int> GeometricHitsByAngle,
                                          double labelHeight = kHistogramLabelHeight);

// The same counts laid out for a paper: each bar over the angles its degree counted (centred
// on the degree when the bins hold the nearest degree, else from the degree to the next), the
// count axis with room above the highest bar, round ticks, axis titles and, when some hits are
// geometric, a legend for the two colours, in the figure's points.
[[nodiscard]] HitsHistogram plotHistogram(int HistogramLowAngle, int HistogramHighAngle,
                                          std::span<const int> HitsByAngle,
                                          std::span<const int> GeometricHitsByAngle,
                                          const FigureStyle& publication,
                                          bool nearestDegree = true);

// The printout's one page, in points on the printable area of the other printouts: the
// histogram with its title, in the page coordinate system above, across the page width.
[[nodiscard]] DisplayList histogramPrintPage(int HistogramLowAngle, int HistogramHighAngle,
                                             std::span<const int> HitsByAngle,
                                             std::span<const int> GeometricHitsByAngle);

}  // namespace lamivex::output
