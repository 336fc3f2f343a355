#pragma once
// The layout of an exported figure: a frame with tick marks at round values, the values
// centred on their ticks, axis titles with units and, for two series, a legend. The
// figure's coordinates are points of the finished figure with y upward, so that a font
// size in points is a text height in user units.

#include <span>
#include <string>
#include <vector>

#include "output/display_list.h"

namespace lamivex::output {

// The finished figure's size and its font size, in points (1/72 inch).
struct FigureStyle {
    double widthPt = 160 / 25.4 * 72;
    double heightPt = 120 / 25.4 * 72;
    double fontPt = 10;
};

struct AxisSpec {
    std::string title;
    double from = 0;  // the axis runs exactly over the data range
    double to = 1;
    bool wholeNumbers = false;  // counts: no step below 1
};

struct LegendEntry {
    std::string label;
    Rgb colour;
};

// 1, 2 or 5 times a power of ten, the smallest such step that divides span into at most
// targetCount intervals.
[[nodiscard]] double roundTickStep(double span, int targetCount, bool wholeNumbers);
// The multiples of step within from..to, each a whole multiple of step as exactly as
// doubles allow.
[[nodiscard]] std::vector<double> ticksWithin(double from, double to, double step);
// A tick value with as many decimals as its step needs; negative values with a minus sign.
[[nodiscard]] std::string tickText(double value, double step);
// A width for a text in the figure's proportional font, a little on the wide side, for
// margins: digits 0.64 em, the minus sign 0.84 em, points and commas 0.32 em, other
// characters 0.7 em.
[[nodiscard]] double estimatedTextWidth(const std::string& text, double height);

class FigureFrame {
  public:
    // Sets the list's coordinates and background and lays out the margins for the tick
    // values, the titles and the legend.
    FigureFrame(DisplayList& list, const FigureStyle& style, AxisSpec x, AxisSpec y,
                std::vector<LegendEntry> legend = {});

    // A data point's place in the figure.
    [[nodiscard]] Point operator()(double x, double y) const;
    // The data area: where operator() maps the axis ranges.
    [[nodiscard]] const CoordinateSystem& plotArea() const { return m_area; }

    // The axes, ticks, values, titles and legend; called after the data, so that the axes
    // are drawn over the bars.
    void drawAxes(DisplayList& list) const;

  private:
    FigureStyle m_style;
    AxisSpec m_x;
    AxisSpec m_y;
    std::vector<LegendEntry> m_legend;
    double m_xStep = 1;
    double m_yStep = 1;
    CoordinateSystem m_area;  // left/right/bottom/top in figure points, y upward
};

inline constexpr const char* kAngleAxisTitle = "Azimuth angle (\u00b0)";
inline constexpr const char* kMatchAxisTitle = "V/V\u2080";
inline constexpr const char* kHitsAxisTitle = "Number of hits";

}  // namespace lamivex::output
