#include "output/histogram_plot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "numbers/input_error.h"

namespace lamivex::output {
namespace {

// Counts over degrees low..high + 1, all zero.
struct Counts {
    int low;
    int high;
    std::vector<int> hits;
    std::vector<int> geometric;

    Counts(int lowDegree, int highDegree)
        : low(lowDegree),
          high(highDegree),
          hits(static_cast<std::size_t>(highDegree - lowDegree + 2), 0),
          geometric(hits.size(), 0) {}
    void add(int degree, int count, int geometricCount = 0) {
        hits.at(static_cast<std::size_t>(degree - low)) += count;
        geometric.at(static_cast<std::size_t>(degree - low)) += geometricCount;
    }
    [[nodiscard]] HitsHistogram plot() const { return plotHistogram(low, high, hits, geometric); }
};

std::vector<std::string> textsWithLeft(const DisplayList& list, double x) {
    std::vector<std::string> out;
    for (const TextItem& t : list.texts()) {
        if (t.topLeft.x == x) {
            out.push_back(t.text);
        }
    }
    return out;
}

// Degree labels hang from y = -4.
std::vector<std::string> degreeLabels(const DisplayList& list) {
    std::vector<std::string> out;
    for (const TextItem& t : list.texts()) {
        if (t.topLeft.y == -4) {
            out.push_back(t.text);
        }
    }
    return out;
}

std::vector<std::string> numbers(int from, int to, int step) {
    std::vector<std::string> out;
    for (int i = from; i <= to; i += step) {
        out.push_back(std::to_string(i));
    }
    return out;
}

TEST(HitsHistogram, OneMatchAtBin13OfSixtyDegrees) {
    Counts c(0, 60);
    c.add(13, 1);  // a best angle of 12.6 rounds into bin 13
    const HitsHistogram h = c.plot();
    EXPECT_EQ(h.scale.HistogramMaxHits, 1);
    EXPECT_EQ(h.scale.HistogramTop, 5);

    const std::vector<FilledRect> rects = h.list.rects();
    ASSERT_EQ(rects.size(), 1U);
    EXPECT_DOUBLE_EQ(rects[0].corner1.x, 100.0 * 13 / 61);
    EXPECT_DOUBLE_EQ(rects[0].corner2.x, 100.0 * 14 / 61);
    EXPECT_DOUBLE_EQ(rects[0].corner1.y, 0);
    EXPECT_DOUBLE_EQ(rects[0].corner2.y, 20);
    EXPECT_EQ(rects[0].colour, kBlack);

    EXPECT_EQ(textsWithLeft(h.list, -5), (std::vector<std::string>{"0", "5"}));
    // Labelled levels 0 and 5 at 0 and 100; ticks at every hit.
    int ticks = 0;
    for (const LineSegment& l : h.list.lines()) {
        if (l.from.x == -3 && l.to.x == -2) {
            EXPECT_DOUBLE_EQ(l.from.y, 20.0 * ticks);
            ++ticks;
        }
    }
    EXPECT_EQ(ticks, 6);
    EXPECT_EQ(h.list.coordinates.left, -10);
    EXPECT_EQ(h.list.coordinates.right, 105);
    EXPECT_EQ(h.list.coordinates.top, 110);
    EXPECT_EQ(h.list.coordinates.bottom, -10);
}

TEST(HitsHistogram, AxisTopIsTheNextMultipleOfFiveAboveTheLargestCount) {
    Counts five(0, 10);
    five.add(3, 5);
    EXPECT_EQ(five.plot().scale.HistogramTop, 10);

    Counts hundred(0, 10);
    hundred.add(4, 100);
    const HitsHistogram h = hundred.plot();
    EXPECT_EQ(h.scale.HistogramTop, 105);
    EXPECT_EQ(textsWithLeft(h.list, -6), numbers(0, 100, 10));
    EXPECT_EQ(h.scale.tickStep, 2);

    Counts many(0, 10);
    many.add(4, 300);
    const HitsHistogram big = many.plot();
    EXPECT_EQ(big.scale.HistogramTop, 305);
    EXPECT_EQ(textsWithLeft(big.list, -6), numbers(0, 300, 25));
    EXPECT_EQ(big.scale.tickStep, 5);
}

TEST(HitsHistogram, GeometricPartSitsOnTopInGreen) {
    Counts c(0, 60);
    c.add(20, 3, 1);
    c.add(30, 2, 2);  // all geometric: no black bar
    const HitsHistogram h = c.plot();
    ASSERT_EQ(h.scale.HistogramTop, 5);
    const std::vector<FilledRect> rects = h.list.rects();
    ASSERT_EQ(rects.size(), 3U);
    EXPECT_EQ(rects[0].colour, kBlack);
    EXPECT_DOUBLE_EQ(rects[0].corner1.y, 0);
    EXPECT_DOUBLE_EQ(rects[0].corner2.y, 40);
    EXPECT_EQ(rects[1].colour, kGeometricGreen);
    EXPECT_DOUBLE_EQ(rects[1].corner1.y, 40);
    EXPECT_DOUBLE_EQ(rects[1].corner2.y, 60);
    EXPECT_EQ(rects[2].colour, (Rgb{0, 255, 0}));
    EXPECT_DOUBLE_EQ(rects[2].corner1.y, 0);
    EXPECT_DOUBLE_EQ(rects[2].corner2.y, 40);
    EXPECT_DOUBLE_EQ(rects[2].corner1.x, 100.0 * 30 / 61);
}

TEST(HitsHistogram, DegreeLabelsEveryTwoOrEveryFour) {
    const HitsHistogram sixty = Counts(0, 60).plot();
    EXPECT_EQ(degreeLabels(sixty.list), numbers(0, 60, 2));
    const HitsHistogram ninety = Counts(0, 90).plot();
    EXPECT_EQ(degreeLabels(ninety.list), numbers(0, 88, 4));
    // One short tick per bin 0..91, one long tick per label.
    int shortTicks = 0;
    int longTicks = 0;
    for (const LineSegment& l : ninety.list.lines()) {
        shortTicks += l.from.y == -2 && l.to.y == 0 ? 1 : 0;
        longTicks += l.from.y == -3.25 && l.to.y == -2 ? 1 : 0;
    }
    EXPECT_EQ(shortTicks, 92);
    EXPECT_EQ(longTicks, 23);
    // Wider numbers start further left.
    Counts wide(95, 125);
    for (const TextItem& t : wide.plot().list.texts()) {
        if (t.text == "96") {
            EXPECT_DOUBLE_EQ(t.topLeft.x, 100.0 * 1 / 31 - 0.05);
        } else if (t.text == "100") {
            EXPECT_DOUBLE_EQ(t.topLeft.x, 100.0 * 5 / 31 - 0.1);
        }
    }
}

TEST(HitsHistogram, NegativeBounds) {
    Counts c(-1, 30);  // a lower bound of -0.5 floors to -1
    c.add(-1, 2);
    const HitsHistogram h = c.plot();
    EXPECT_EQ(degreeLabels(h.list), numbers(0, 30, 2));
    Counts wider(-9, 10);
    EXPECT_EQ(degreeLabels(wider.plot().list), numbers(-8, 10, 2));
    const std::vector<FilledRect> rects = h.list.rects();
    ASSERT_EQ(rects.size(), 1U);
    EXPECT_DOUBLE_EQ(rects[0].corner1.x, 0);
    EXPECT_DOUBLE_EQ(rects[0].corner2.x, 100.0 / 32);
}

TEST(HitsHistogram, RefusesCountsThatDoNotFit) {
    Counts c(0, 60);
    c.hits.pop_back();
    EXPECT_THROW((void)c.plot(), std::invalid_argument);
    Counts g(0, 10);
    g.add(3, 1, 2);
    EXPECT_THROW((void)g.plot(), std::invalid_argument);
    const std::vector<int> none(2, 0);
    EXPECT_THROW((void)plotHistogram(5, 4, none, none), std::invalid_argument);
}

TEST(HitsHistogram, PrintPageHasTheTitleAndTheSameBars) {
    Counts c(0, 60);
    c.add(13, 1);
    c.add(14, 3, 2);
    const DisplayList page = histogramPrintPage(c.low, c.high, c.hits, c.geometric);
    EXPECT_EQ(page.coordinates.width(), 540);
    bool titled = false;
    for (const TextItem& t : page.texts()) {
        titled = titled || t.text == "Number of Hits versus Azimuth Angle (degrees)";
    }
    EXPECT_TRUE(titled);
    const std::vector<FilledRect> rects = page.rects();
    ASSERT_EQ(rects.size(), 3U);
    EXPECT_EQ(rects[2].colour, kGeometricGreen);
    // The bars stand on the same baseline and keep their proportions across the page.
    EXPECT_DOUBLE_EQ(rects[0].corner1.y, rects[1].corner1.y);
    const double unitHeight = rects[0].corner1.y - rects[0].corner2.y;  // y grows downward
    EXPECT_NEAR(rects[2].corner1.y - rects[2].corner2.y, 2 * unitHeight, 1e-9);
    for (const FilledRect& r : rects) {
        EXPECT_GE(r.corner1.x, 0);
        EXPECT_LE(r.corner2.x, 540);
    }
}

// Labels may be drawn smaller but never wider than their room: the hit labels end before the
// axis ticks at x = -3, the degree labels before the next degree label.
TEST(HitsHistogram, LabelsKeepClearOfTheAxisAndOfEachOther) {
    for (const int largest : {4, 150, 460}) {
        Counts c(0, 90);
        c.add(30, largest);
        const HitsHistogram h = c.plot();
        int hitLabels = 0;
        int degreeLabels = 0;
        for (const TextItem& t : h.list.texts()) {
            ASSERT_GT(t.maxWidth, 0) << t.text;
            if (t.topLeft.y == -4) {
                ++degreeLabels;
                EXPECT_LT(t.topLeft.x + t.maxWidth, t.topLeft.x + 0.1 + 4 * 100.0 / 91) << t.text;
            } else {
                ++hitLabels;
                EXPECT_LE(t.topLeft.x + t.maxWidth, -3) << largest << ": " << t.text;
                // Moving left stays inside the picture.
                EXPECT_GT(t.leftRoom, 0);
                EXPECT_GE(t.topLeft.x - t.leftRoom, kHistogramCoordinates.left) << t.text;
            }
        }
        EXPECT_GT(hitLabels, 1);
        EXPECT_EQ(degreeLabels, 23);  // 0, 4, ..., 88
    }
    // The printed page maps the room with the picture.
    Counts c(0, 60);
    c.add(20, 460);
    const DisplayList page = histogramPrintPage(c.low, c.high, c.hits, c.geometric);
    const double pageUnitsPerPictureUnit = 540.0 / 115;
    const double hitRoom = (-3 - -6 - 0.3) * pageUnitsPerPictureUnit;  // labels at x = -6
    const double degreeRoom = (2 * 100.0 / 61 - 0.3) * pageUnitsPerPictureUnit;
    int checked = 0;
    for (const TextItem& t : page.texts()) {
        if (t.text == "Number of Hits versus Azimuth Angle (degrees)") {
            continue;
        }
        const double room =
            t.topLeft.x < page.coordinates.width() * 10 / 115 ? hitRoom : degreeRoom;
        EXPECT_NEAR(t.maxWidth, room, 1e-9) << t.text;
        if (room == hitRoom) {
            EXPECT_NEAR(t.leftRoom, (-6 - -10 - 0.3) * pageUnitsPerPictureUnit, 1e-9);
        }
        ++checked;
    }
    EXPECT_GT(checked, 40);
}

// Hits are counted at the nearest whole degree, so in the exported figure the bar of degree i
// stands centred under the tick of i (not over i..i + 1); a rigid substrate run counts the
// degree below, and there the bar starts at its tick. The count axis goes on above the highest
// bar instead of ending at its top.
TEST(HitsHistogram, ExportedBarsStandOverTheAnglesTheirDegreeCountedBelowTheTopOfTheAxis) {
    const struct {
        int low, high, degree, count;
        const char* tick;
        bool nearestDegree;
        double barMiddleFromTick;  // in bins
    } kCases[] = {{0, 60, 30, 7, "30", true, 0},
                  {10, 12, 11, 3, "11", true, 0},
                  {-30, 30, -20, 10, "\u221220", true, 0},
                  {0, 60, 30, 7, "30", false, 0.5}};
    const FigureStyle style{450, 340, 10};
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.tick << (c.nearestDegree ? " nearest" : " below"));
        Counts counts(c.low, c.high);
        counts.add(c.degree, c.count);
        const DisplayList figure =
            plotHistogram(c.low, c.high, counts.hits, counts.geometric, style, c.nearestDegree)
                .list;
        const std::vector<FilledRect> bars = figure.rects();
        ASSERT_EQ(bars.size(), 1U);
        const FilledRect& bar = bars[0];
        std::optional<TextItem> label;
        for (const TextItem& t : figure.texts()) {
            if (t.text == c.tick && t.align == TextAlign::Centre) {
                label = t;
            }
        }
        ASSERT_TRUE(label.has_value());
        const double width = std::fabs(bar.corner2.x - bar.corner1.x);
        EXPECT_NEAR((bar.corner1.x + bar.corner2.x) / 2,
                    label->topLeft.x + c.barMiddleFromTick * width, 1e-6);
        // The count axis is the longest vertical line.
        double bottom = 0;
        double top = 0;
        for (const LineSegment& line : figure.lines()) {
            if (line.from.x == line.to.x && line.to.y - line.from.y > top - bottom) {
                bottom = line.from.y;
                top = line.to.y;
            }
        }
        const double barTop = std::max(bar.corner1.y, bar.corner2.y);
        EXPECT_LT(barTop, top - 0.1 * (top - bottom));
    }
}

}  // namespace
}  // namespace lamivex::output
