// The exported figures' layout: round ticks with their values centred on them, titles,
// a legend for two series, and nothing outside the figure.

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "output/figure_layout.h"
#include "output/figure_size.h"
#include "output/graph_plot.h"
#include "output/histogram_plot.h"

namespace lamivex::output {
namespace {

const FigureStyle kStyle{450, 340, 10};

double valueOf(std::string text) {
    if (text.rfind("\u2212", 0) == 0) {
        text = "-" + text.substr(3);
    }
    std::size_t used = 0;
    const double value = std::stod(text, &used);
    EXPECT_EQ(used, text.size()) << text;
    return value;
}

bool isOneTwoFive(double step) {
    const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    return std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 ||
           std::fabs(mantissa - 5) < 1e-9;
}

struct Ticks {
    std::vector<LineSegment> x;  // short vertical lines below the angle axis
    std::vector<LineSegment> y;  // short horizontal lines left of the value axis
};

// The tick marks are the short lines; the axes and the curve are longer or slanted.
Ticks ticksOf(const DisplayList& figure, double fontPt) {
    Ticks ticks;
    for (const LineSegment& line : figure.lines()) {
        const double dx = line.to.x - line.from.x;
        const double dy = line.to.y - line.from.y;
        if (dx == 0 && dy < 0 && std::fabs(dy) < fontPt) {
            ticks.x.push_back(line);
        } else if (dy == 0 && dx < 0 && std::fabs(dx) < fontPt) {
            ticks.y.push_back(line);
        }
    }
    return ticks;
}

std::optional<TextItem> labelAt(const DisplayList& figure, TextAlign align, double x, double y,
                                double tolerance) {
    for (const TextItem& text : figure.texts()) {
        if (text.align == align && !text.vertical && std::fabs(text.topLeft.x - x) <= tolerance &&
            std::fabs(text.topLeft.y - y) <= tolerance) {
            return text;
        }
    }
    return std::nullopt;
}

// Every tick has a round value centred under (or level beside) it, the steps are 1, 2 or 5
// times a power of ten, both titles are there and nothing leaves the figure.
void expectPublishable(const DisplayList& figure, const std::string& yTitle) {
    const double f = kStyle.fontPt;
    const double halfChar = 0.32 * f;
    const Ticks ticks = ticksOf(figure, f);
    ASSERT_GE(ticks.x.size(), 2U);
    ASSERT_GE(ticks.y.size(), 2U);
    for (const auto& [lines, align, along] : {std::tuple{ticks.x, TextAlign::Centre, true},
                                              std::tuple{ticks.y, TextAlign::Right, false}}) {
        std::vector<double> values;
        for (const LineSegment& tick : lines) {
            // Under the tick, or level with it: the digits' middle 0.56 em below the top.
            const std::optional<TextItem> label =
                along
                    ? labelAt(figure, align, tick.from.x, tick.to.y - 0.3 * f, halfChar)
                    : labelAt(figure, align, tick.to.x - 0.3 * f, tick.from.y + 0.56 * f, halfChar);
            ASSERT_TRUE(label.has_value())
                << "no value at the tick at " << tick.from.x << ", " << tick.from.y;
            SCOPED_TRACE(label->text);
            values.push_back(valueOf(label->text));
        }
        const double step = values[1] - values[0];
        EXPECT_TRUE(isOneTwoFive(step)) << step;
        for (const double v : values) {
            EXPECT_NEAR(v / step, std::round(v / step), 1e-6) << v;
        }
    }
    bool angleTitle = false;
    bool valueTitle = false;
    for (const TextItem& text : figure.texts()) {
        angleTitle |= text.text == kAngleAxisTitle && !text.vertical;
        valueTitle |= text.text == yTitle && text.vertical;
        const double w = estimatedTextWidth(text.text, text.height);
        const double start = text.align == TextAlign::Left     ? 0
                             : text.align == TextAlign::Centre ? -w / 2
                                                               : -w;
        if (text.vertical) {
            EXPECT_GE(text.topLeft.x, 0) << text.text;
            EXPECT_LE(text.topLeft.x + 1.2 * text.height, kStyle.widthPt) << text.text;
            EXPECT_GE(text.topLeft.y + start, 0) << text.text;
            EXPECT_LE(text.topLeft.y + start + w, kStyle.heightPt) << text.text;
        } else {
            EXPECT_GE(text.topLeft.x + start, 0) << text.text;
            EXPECT_LE(text.topLeft.x + start + w, kStyle.widthPt) << text.text;
            EXPECT_LE(text.topLeft.y, kStyle.heightPt) << text.text;
            EXPECT_GE(text.topLeft.y - 1.2 * text.height, 0) << text.text;
        }
    }
    EXPECT_TRUE(angleTitle);
    EXPECT_TRUE(valueTitle);
    const auto inside = [](Point p) {
        return p.x >= 0 && p.x <= kStyle.widthPt && p.y >= 0 && p.y <= kStyle.heightPt;
    };
    for (const LineSegment& line : figure.lines()) {
        EXPECT_TRUE(inside(line.from) && inside(line.to));
    }
    for (const FilledRect& rect : figure.rects()) {
        EXPECT_TRUE(inside(rect.corner1) && inside(rect.corner2));
    }
}

TEST(FigureLayout, RoundStepsAndTheirText) {
    const struct {
        double span;
        int target;
        bool whole;
        double step;
    } kCases[] = {{60, 8, false, 10}, {1.69, 5, false, 0.5}, {0.01, 5, false, 0.002},
                  {3, 5, true, 1},    {210, 5, true, 50},    {0.5, 1, false, 0.5},
                  {25, 5, false, 5}};
    for (const auto& c : kCases) {
        EXPECT_DOUBLE_EQ(roundTickStep(c.span, c.target, c.whole), c.step) << c.span;
    }
    EXPECT_EQ(tickText(-0.5, 0.5), "\u22120.5");
    EXPECT_EQ(tickText(-1e-17, 0.002), "0.000");
    EXPECT_EQ(tickText(0.994, 0.002), "0.994");
    const std::vector<double> ticks = ticksWithin(0.99, 1, 0.002);
    ASSERT_EQ(ticks.size(), 6U);
    EXPECT_EQ(ticks[3], 0.996);  // exactly the decimal, not 0.99 + 3 × 0.002
}

std::vector<float> anglesFrom(double first, double step, int count) {
    std::vector<float> angles;
    for (int k = 0; k < count; ++k) {
        angles.push_back(static_cast<float>(first + step * k));
    }
    return angles;
}

TEST(FigureLayout, GraphsOfEveryShapeArePublishable) {
    const struct {
        const char* what;
        double first, step;
        int count;
        double low;  // the V/Vo of the middle step, 1 elsewhere
    } kCases[] = {{"root three from 0.001", 0.001, 0.25, 241, -0.4999},
                  {"flat, 0.99..1", 0, 1, 61, 0.995},
                  {"negative angles", -45, 0.5, 91, 0.2},
                  {"a single step", 30, 1, 1, 0.5},
                  {"a narrow range", 29.9, 0.01, 21, 0.9}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        const std::vector<float> angles = anglesFrom(c.first, c.step, c.count);
        std::vector<double> vvo(angles.size(), 1.0);
        vvo[angles.size() / 2] = c.low;
        const AzimuthGraph graph =
            plotAzimuthGraph(angles, vvo, static_cast<int>(angles.size()) - 1, kStyle);
        expectPublishable(graph.list, kMatchAxisTitle);
    }
}

TEST(FigureLayout, TheMinimumSitsAtItsAngleOnTheAxis) {
    // The root-three minimum at 30° lies under the value 30, within half a character.
    const std::vector<float> angles = anglesFrom(0.001, 0.25, 241);
    std::vector<double> vvo(angles.size(), 1.0);
    vvo[120] = -0.5;
    const AzimuthGraph graph = plotAzimuthGraph(angles, vvo, 240, kStyle);
    Point lowest{0, 1e9};
    for (const LineSegment& line : graph.list.lines()) {
        if (line.from.x == line.to.x || line.from.y == line.to.y) {
            continue;  // the axes and the ticks; the curve's sides slant
        }
        for (const Point p : {line.from, line.to}) {
            lowest = p.y < lowest.y ? p : lowest;
        }
    }
    bool found = false;
    for (const TextItem& text : graph.list.texts()) {
        if (text.text == "30") {
            found = true;
            EXPECT_NEAR(text.topLeft.x, lowest.x, 0.32 * kStyle.fontPt);
        }
    }
    EXPECT_TRUE(found);
}

TEST(FigureLayout, HistogramsArePublishableAndNameTheirTwoSeries) {
    const struct {
        int low, high;
        int hits, geometric;  // at the middle degree
    } kCases[] = {{0, 60, 7, 0}, {0, 60, 314, 100}, {-30, 30, 1, 1}, {10, 12, 3, 0}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.hits);
        const auto bins = static_cast<std::size_t>(c.high - c.low + 2);
        std::vector<int> hits(bins, 0);
        std::vector<int> geometric(bins, 0);
        hits[bins / 2] = c.hits;
        geometric[bins / 2] = c.geometric;
        const HitsHistogram histogram = plotHistogram(c.low, c.high, hits, geometric, kStyle);
        expectPublishable(histogram.list, kHitsAxisTitle);
        int legend = 0;
        for (const TextItem& text : histogram.list.texts()) {
            legend += text.text == "Regular hits" || text.text == "Geometric hits" ? 1 : 0;
        }
        EXPECT_EQ(legend, c.geometric > 0 ? 2 : 0);
    }
}

TEST(FigureLayout, ATooSmallFigureIsRefusedWithTheReason) {
    const std::vector<float> angles = anglesFrom(0, 1, 3);
    const std::vector<double> vvo = {1, 0.5, 1};
    try {
        (void)plotAzimuthGraph(angles, vvo, 2, FigureStyle{40, 30, 12});
        FAIL() << "accepted";
    } catch (const std::invalid_argument& error) {
        EXPECT_NE(std::string(error.what()).find("font smaller"), std::string::npos);
    }
}

TEST(FigureSize, PixelsInchesAndMillimetres) {
    const struct {
        const char* text;
        double dpi, width, height;  // points; 0: refused
    } kCases[] = {{"1200x900", 144, 600, 450}, {"1200x900px", 300, 288, 216},
                  {"6x4.5in", 144, 432, 324},  {"160x120mm", 144, 453.5433, 340.1575},
                  {"12x", 144, 0, 0},          {"x9", 144, 0, 0},
                  {"0x5in", 144, 0, 0},        {"-3x4in", 144, 0, 0},
                  {"1200", 144, 0, 0},         {"20000x100", 144, 0, 0},
                  {"8x8", 144, 0, 0},          {"100x100", 10, 0, 0},
                  {"4x3cm", 144, 0, 0}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.text);
        if (c.width == 0) {
            EXPECT_THROW((void)parseFigureSize(c.text, c.dpi), std::invalid_argument);
            continue;
        }
        const FigureExtent extent = parseFigureSize(c.text, c.dpi);
        EXPECT_NEAR(extent.widthPt, c.width, 1e-3);
        EXPECT_NEAR(extent.heightPt, c.height, 1e-3);
    }
}

}  // namespace
}  // namespace lamivex::output
