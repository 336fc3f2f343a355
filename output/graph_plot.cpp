#include "output/graph_plot.h"

#include <utility>

#include <stdexcept>

#include <fmt/format.h>

#include "numbers/number_text.h"

namespace lamivex::output {
namespace {

constexpr double kSingleStepX = 50;    // where the only point of a one-step run sits
constexpr double kSingleStepMark = 2;  // half the size of its cross, graph units
constexpr double kLabelSteps[] = {0, 25, 50, 75, 100};

void checkLength(std::size_t have, int lastAngleIndex, const char* what) {
    if (lastAngleIndex < -1 || std::cmp_less(have, lastAngleIndex + 1)) {
        throw std::invalid_argument(
            fmt::format("{} has {} entries; the graph needs {}.", what, have, lastAngleIndex + 1));
    }
}

// The curve's coordinates are kept at single precision, as the picture receives them.
double asSingle(double value) {
    return static_cast<double>(static_cast<float>(value));
}

}  // namespace

namespace {

GraphScale scaleFor(std::span<const float> azimuthAngles, std::span<const double> minVVo, int N) {
    const auto at = [](auto values, int k) { return values[static_cast<std::size_t>(k)]; };
    GraphScale s;
    for (int k = 0; k <= N; ++k) {
        const double v = at(minVVo, k);
        if (v > s.vMax) {
            s.vMax = v;
        }
        if (v < s.vMin) {
            s.vMin = v;
        }
    }
    if (N >= 0) {
        s.firstAngle = at(azimuthAngles, 0);
        s.lastAngle = at(azimuthAngles, N);
    }
    s.yFactor = 100 / (s.vMax - s.vMin);
    // One step has no angle range to spread over the axis.
    s.xFactor = N > 0 ? 100 / (s.lastAngle - s.firstAngle) : 0;
    return s;
}

// The window's axes: fixed label places in its own coordinate system.
void drawWindowAxes(DisplayList& list, const GraphScale& s, int N, double labelHeight) {
    list.coordinates = kGraphCoordinates;
    list.hasBackground = true;
    list.background = kWhite;
    list.addLine({0, -5}, {0, 120});
    for (const double v : kLabelSteps) {
        list.addText({-30, v + 7}, numbers::formatFixed2(s.vMin + v / s.yFactor), labelHeight);
    }
    list.addLine({0, -5}, {120, -5});
    if (N > 0) {
        for (const double h : kLabelSteps) {
            list.addText({h - 1, -10}, numbers::formatWhole(h / s.xFactor + s.firstAngle),
                         labelHeight);
        }
    } else if (N == 0) {
        list.addText({kSingleStepX - 1, -10}, numbers::formatWhole(s.firstAngle), labelHeight);
    }
}

// The curve, or a cross for a single step, through place(angle, V/Vo); lastAngleIndex -1
// draws nothing.
template <typename Place>
void drawCurve(DisplayList& list, std::span<const float> azimuthAngles,
               std::span<const double> minVVo, int N, double crossHalf, const Place& place) {
    const auto point = [&](int k) {
        const Point p =
            place(azimuthAngles[static_cast<std::size_t>(k)], minVVo[static_cast<std::size_t>(k)]);
        return Point{asSingle(p.x), asSingle(p.y)};
    };
    for (int k = 1; k <= N; ++k) {
        list.addLine(point(k - 1), point(k));
    }
    if (N == 0) {
        const Point c = point(0);
        list.addLine({c.x - crossHalf, c.y}, {c.x + crossHalf, c.y});
        list.addLine({c.x, c.y - crossHalf}, {c.x, c.y + crossHalf});
    }
}

}  // namespace

AzimuthGraph plotAzimuthGraph(std::span<const float> azimuthAngles, std::span<const double> minVVo,
                              int lastAngleIndex, double labelHeight) {
    checkLength(azimuthAngles.size(), lastAngleIndex, "The angle list");
    checkLength(minVVo.size(), lastAngleIndex, "The V/Vo list");
    const int N = lastAngleIndex;
    AzimuthGraph graph;
    const GraphScale s = graph.scale = scaleFor(azimuthAngles, minVVo, N);
    drawWindowAxes(graph.list, s, N, labelHeight);
    drawCurve(graph.list, azimuthAngles, minVVo, N, kSingleStepMark,
              [&s, N](double angle, double v) {
                  const double x = N > 0 ? (angle - s.firstAngle) * s.xFactor : kSingleStepX;
                  return Point{x, (v - s.vMin) * s.yFactor};
              });
    return graph;
}

AzimuthGraph plotAzimuthGraph(std::span<const float> azimuthAngles, std::span<const double> minVVo,
                              int lastAngleIndex, const FigureStyle& publication) {
    checkLength(azimuthAngles.size(), lastAngleIndex, "The angle list");
    checkLength(minVVo.size(), lastAngleIndex, "The V/Vo list");
    const int N = lastAngleIndex;
    AzimuthGraph graph;
    const GraphScale s = graph.scale = scaleFor(azimuthAngles, minVVo, N);
    // The angle axis spans the run; a single step sits in the middle of one degree.
    const double from = N > 0 ? s.firstAngle : s.firstAngle - 0.5;
    const double to = N > 0 ? s.lastAngle : s.firstAngle + 0.5;
    const FigureFrame frame(graph.list, publication, {kAngleAxisTitle, from, to},
                            {kMatchAxisTitle, s.vMin, s.vMax});
    drawCurve(graph.list, azimuthAngles, minVVo, N, publication.fontPt * 0.4, frame);
    frame.drawAxes(graph.list);
    return graph;
}

namespace {

std::vector<double> minVVoOf(std::span<const engine::AngleBestRow> table) {
    std::vector<double> minVVo;
    minVVo.reserve(table.size());
    for (const engine::AngleBestRow& row : table) {
        minVVo.push_back(row.minVVo);
    }
    return minVVo;
}

}  // namespace

AzimuthGraph plotAzimuthGraph(std::span<const float> azimuthAngles,
                              std::span<const engine::AngleBestRow> table, int lastAngleIndex,
                              double labelHeight) {
    return plotAzimuthGraph(azimuthAngles, minVVoOf(table), lastAngleIndex, labelHeight);
}

AzimuthGraph plotAzimuthGraph(std::span<const float> azimuthAngles,
                              std::span<const engine::AngleBestRow> table, int lastAngleIndex,
                              const FigureStyle& publication) {
    return plotAzimuthGraph(azimuthAngles, minVVoOf(table), lastAngleIndex, publication);
}

}  // namespace lamivex::output
