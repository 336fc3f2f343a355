#include "output/graph_plot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/angle_best_table.h"
#include "engine/match_kernel.h"
#include "numbers/input_error.h"

namespace lamivex::output {
namespace {

// The angles a run over lower..lower + steps·spacing produces (lower + k·spacing + 0.001).
std::vector<float> runAngles(double lower, float spacing, int lastAngleIndex) {
    std::vector<float> angles;
    for (int k = 0; k <= lastAngleIndex; ++k) {
        angles.push_back(engine::azimuthAngle(lower, spacing, k));
    }
    return angles;
}

std::vector<std::string> textsAt(const DisplayList& list, double y) {
    std::vector<std::string> out;
    for (const TextItem& t : list.texts()) {
        if (t.topLeft.y == y) {
            out.push_back(t.text);
        }
    }
    return out;
}

// Vertical labels sit at y = v + 7 (v = 0, 25, ..., 100), bottom to top.
std::vector<std::string> verticalLabels(const DisplayList& list) {
    std::vector<std::string> out;
    for (const TextItem& t : list.texts()) {
        if (t.topLeft.x == -30) {
            out.push_back(t.text);
        }
    }
    return out;
}

std::vector<std::string> horizontalLabels(const DisplayList& list) {
    return textsAt(list, -10);
}

TEST(GraphPlotTest, AxisOfPointNineNineToOneWhenEveryValueIsInside) {
    const std::vector<float> angles = runAngles(0, 1, 4);
    const std::vector<double> vvo{0.995, 0.9999, 0.992, 0.999, 0.9905};
    const AzimuthGraph g = plotAzimuthGraph(angles, vvo, 4);
    EXPECT_DOUBLE_EQ(g.scale.vMin, 0.99);
    EXPECT_DOUBLE_EQ(g.scale.vMax, 1.0);
    const std::vector<std::string> labels = verticalLabels(g.list);
    ASSERT_EQ(labels.size(), 5U);
    EXPECT_EQ(labels.front(), "0.99");
    EXPECT_EQ(labels[1], "0.99");  // 0.9925
    EXPECT_EQ(labels.back(), "1.00");
    const std::vector<TextItem> texts = g.list.texts();
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(texts[static_cast<std::size_t>(i)].topLeft, (Point{-30, 25.0 * i + 7}));
    }
}

TEST(GraphPlotTest, ValuesFromPointTwoToOneLabelEveryFifth) {
    const std::vector<float> angles = runAngles(0, 10, 2);
    const std::vector<double> vvo{0.2, 0.7, 1.0};
    const AzimuthGraph g = plotAzimuthGraph(angles, vvo, 2);
    EXPECT_EQ(verticalLabels(g.list),
              (std::vector<std::string>{"0.20", "0.40", "0.60", "0.80", "1.00"}));
    // The lowest and highest values touch the bottom and top of the data area.
    const std::vector<LineSegment> curve = g.list.lines();
    ASSERT_EQ(curve.size(), 2U + 2U);
    EXPECT_FLOAT_EQ(static_cast<float>(curve[2].from.y), 0.0F);
    EXPECT_FLOAT_EQ(static_cast<float>(curve[3].to.y), 100.0F);
}

TEST(GraphPlotTest, ValuesAboveOneWidenTheAxisUpward) {
    const std::vector<float> angles = runAngles(0, 1, 1);
    const std::vector<double> vvo{0.995, 10};  // 10: a step no pair went below
    const AzimuthGraph g = plotAzimuthGraph(angles, vvo, 1);
    EXPECT_DOUBLE_EQ(g.scale.vMin, 0.99);
    EXPECT_DOUBLE_EQ(g.scale.vMax, 10);
    EXPECT_EQ(verticalLabels(g.list).back(), "10.00");
}

TEST(GraphPlotTest, HorizontalLabelsInWholeDegreesFromTheFirstAngle) {
    // 0..10 by 0.25: the first angle is 0.001, so 2.501 and 7.501 round up.
    const std::vector<float> ten = runAngles(0, 0.25F, 40);
    const AzimuthGraph a = plotAzimuthGraph(ten, std::vector<double>(41, 0.995), 40);
    EXPECT_EQ(horizontalLabels(a.list), (std::vector<std::string>{"0", "3", "5", "8", "10"}));

    const std::vector<float> sixty = runAngles(0, 0.25F, 240);
    const AzimuthGraph b = plotAzimuthGraph(sixty, std::vector<double>(241, 0.995), 240);
    EXPECT_EQ(horizontalLabels(b.list), (std::vector<std::string>{"0", "15", "30", "45", "60"}));
    const std::vector<TextItem> texts = b.list.texts();
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(texts[static_cast<std::size_t>(5 + i)].topLeft, (Point{25.0 * i - 1, -10}));
    }
}

TEST(GraphPlotTest, DrawsAxesLabelsAndAConnectedCurveInThatOrder) {
    const int N = 40;
    const std::vector<float> angles = runAngles(-5, 0.25F, N);
    std::vector<double> vvo;
    for (int k = 0; k <= N; ++k) {
        vvo.push_back(0.6 + 0.3 * std::sin(k * 0.3));
    }
    const AzimuthGraph g = plotAzimuthGraph(angles, vvo, N);
    const std::vector<DisplayItem>& items = g.list.items;
    ASSERT_EQ(items.size(), 1U + 5U + 1U + 5U + static_cast<std::size_t>(N));
    const auto& vAxis = std::get<LineSegment>(items[0]);
    EXPECT_EQ(vAxis.from, (Point{0, -5}));
    EXPECT_EQ(vAxis.to, (Point{0, 120}));
    const auto& hAxis = std::get<LineSegment>(items[6]);
    EXPECT_EQ(hAxis.from, (Point{0, -5}));
    EXPECT_EQ(hAxis.to, (Point{120, -5}));
    for (std::size_t i = 1; i <= 5; ++i) {
        EXPECT_TRUE(std::holds_alternative<TextItem>(items[i]));
        EXPECT_TRUE(std::holds_alternative<TextItem>(items[i + 6]));
    }

    // Point k: ((angle_k - first)·xFactor, (vvo_k - vMin)·yFactor) at single precision;
    // the data fill 0..100 both ways.
    const GraphScale& s = g.scale;
    for (int k = 1; k <= N; ++k) {
        const auto& seg = std::get<LineSegment>(items[static_cast<std::size_t>(11 + k)]);
        const double x =
            static_cast<float>((angles[static_cast<std::size_t>(k)] - s.firstAngle) * s.xFactor);
        const double y =
            static_cast<float>((vvo[static_cast<std::size_t>(k)] - s.vMin) * s.yFactor);
        EXPECT_EQ(seg.to, (Point{x, y})) << "k = " << k;
        if (k > 1) {
            const auto& prev = std::get<LineSegment>(items[static_cast<std::size_t>(10 + k)]);
            EXPECT_EQ(seg.from, prev.to);
        }
        EXPECT_GE(seg.to.x, 0);
        EXPECT_LE(seg.to.x, 100);
        EXPECT_GE(seg.to.y, 0);
        EXPECT_LE(seg.to.y, 100);
    }
    EXPECT_EQ(std::get<LineSegment>(items[12]).from.x, 0);
    EXPECT_FLOAT_EQ(static_cast<float>(std::get<LineSegment>(items.back()).to.x), 100.0F);
    EXPECT_EQ(g.list.coordinates.left, -30);
    EXPECT_EQ(g.list.coordinates.right, 120);
    EXPECT_EQ(g.list.coordinates.top, 110);
    EXPECT_EQ(g.list.coordinates.bottom, -20);
}

TEST(GraphPlotTest, OneStepGivesOnePointAndOneAngleLabel) {
    const std::vector<float> angles{30.001F};
    const std::vector<double> vvo{0.5};
    const AzimuthGraph g = plotAzimuthGraph(angles, vvo, 0);
    EXPECT_EQ(horizontalLabels(g.list), (std::vector<std::string>{"30"}));
    EXPECT_EQ(g.scale.xFactor, 0);
    // Axes plus a small cross at the point's height, nothing non-finite.
    const std::vector<LineSegment> lines = g.list.lines();
    ASSERT_EQ(lines.size(), 4U);
    for (const LineSegment& line : lines) {
        for (const Point p : {line.from, line.to}) {
            EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
            EXPECT_GE(p.x, 0);
            EXPECT_LE(p.x, 120);
        }
    }
    EXPECT_DOUBLE_EQ(lines[2].from.y, 0);  // 0.5 is the bottom of the axis
}

TEST(GraphPlotTest, NoStepsGiveTheAxesOnly) {
    const AzimuthGraph g = plotAzimuthGraph(std::vector<float>{}, std::vector<double>{}, -1);
    EXPECT_EQ(g.list.lines().size(), 2U);
    EXPECT_TRUE(horizontalLabels(g.list).empty());
    EXPECT_EQ(verticalLabels(g.list).size(), 5U);
}

TEST(GraphPlotTest, RefusesTablesShorterThanTheSteps) {
    const std::vector<float> angles = runAngles(0, 1, 3);
    EXPECT_THROW((void)plotAzimuthGraph(angles, std::vector<double>(3, 0.5), 3),
                 std::invalid_argument);
    EXPECT_THROW((void)plotAzimuthGraph(std::vector<float>(2), std::vector<double>(4, 0.5), 3),
                 std::invalid_argument);
}

TEST(GraphPlotTest, PlotsTheLowestValueOverAllMultiplesAndRedrawsIdentically) {
    // Two steps, M = 2; at step 1 the best pair is b1 x 2, b2 x 1.
    engine::ScanResults r = engine::ScanResults::create(1, 2);
    r.AzimuthAngles = runAngles(0, 1, 1);
    for (int i = 1; i <= 2; ++i) {
        for (int j = 1; j <= 2; ++j) {
            r.vvo(0, i, j) = 0.9;
            r.vvo(1, i, j) = 0.8;
        }
    }
    r.vvo(1, 2, 1) = 0.3;
    const engine::AngleBestTable table = engine::buildAngleBestTable(r);
    const AzimuthGraph first = plotAzimuthGraph(r.AzimuthAngles, table, 1);
    EXPECT_DOUBLE_EQ(first.scale.vMin, 0.3);
    EXPECT_EQ(verticalLabels(first.list).front(), "0.30");
    const LineSegment curve = first.list.lines().back();
    EXPECT_FLOAT_EQ(static_cast<float>(curve.to.y), 0.0F);

    // A second activation rebuilds the same table and the same drawing.
    const AzimuthGraph second =
        plotAzimuthGraph(r.AzimuthAngles, engine::buildAngleBestTable(r), 1);
    ASSERT_EQ(second.list.items.size(), first.list.items.size());
    const std::vector<LineSegment> a = first.list.lines();
    const std::vector<LineSegment> b = second.list.lines();
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].from, b[i].from);
        EXPECT_EQ(a[i].to, b[i].to);
    }
}

TEST(DisplayListTest, AppendMappedFlipsAnUpwardSystemOntoAPage) {
    DisplayList graph;
    graph.coordinates = kGraphCoordinates;
    graph.addLine({-30, 110}, {120, -20});
    graph.addText({0, 100}, "1.00", 6);
    DisplayList page;
    page.coordinates = {0, 0, 600, 800};
    appendMapped(page, graph, {100, 200, 400, 460});  // 2 points per unit, y downward
    const LineSegment line = page.lines().at(0);
    EXPECT_EQ(line.from, (Point{100, 200}));
    EXPECT_EQ(line.to, (Point{400, 460}));
    const TextItem text = page.texts().at(0);
    EXPECT_DOUBLE_EQ(text.topLeft.x, 160);
    EXPECT_DOUBLE_EQ(text.topLeft.y, 220);
    EXPECT_DOUBLE_EQ(text.height, 12);
    EXPECT_EQ(text.text, "1.00");
}

TEST(DisplayListTest, AppendMappedClipsToTheSourceEdgesAsAPictureDoes) {
    DisplayList graph;
    graph.coordinates = kGraphCoordinates;
    graph.addLine({0, -5}, {0, 120});    // the vertical axis overruns the top (110)
    graph.addLine({130, 0}, {140, 50});  // wholly right of the picture
    graph.addRect({-40, 100}, {10, 200}, kBlack);
    DisplayList page;
    page.coordinates = {0, 0, 600, 800};
    appendMapped(page, graph, {100, 200, 400, 460});
    const std::vector<LineSegment> lines = page.lines();
    ASSERT_EQ(lines.size(), 1U);
    EXPECT_DOUBLE_EQ(lines[0].from.y, 200 + (110 - (-5)) * 2.0);
    EXPECT_DOUBLE_EQ(lines[0].to.y, 200);  // stops at the top edge
    const FilledRect rect = page.rects().at(0);
    EXPECT_DOUBLE_EQ(std::min(rect.corner1.x, rect.corner2.x), 100);
    EXPECT_DOUBLE_EQ(std::max(rect.corner1.x, rect.corner2.x), 180);
    EXPECT_DOUBLE_EQ(std::min(rect.corner1.y, rect.corner2.y), 200);
    EXPECT_DOUBLE_EQ(std::max(rect.corner1.y, rect.corner2.y), 220);
}

}  // namespace
}  // namespace lamivex::output
