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
        throw std::invalid_argument(fmt::format("{} has {} entries; the graph needs {}.", what, have,
                                               lastAngleIndex + 1));
    }
}

// The curve's coordinates are kept at single precision, as the picture receives them.
double asSingle(double value) {
    return static_cast<double>(static_cast<float>(value));
}

}  // namespace

AzimuthGraph plotAzimuthGraph(std::span<const float> azimuthAngles, std::span<const double> minVVo,
                              int lastAngleIndex, double labelHeight) {
    checkLength(azimuthAngles.size(), lastAngleIndex, "The angle list");
    checkLength(minVVo.size(), lastAngleIndex, "The V/Vo list");
    const int N = lastAngleIndex;
    const auto at = [](auto values, int k) { return values[static_cast<std::size_t>(k)]; };

    AzimuthGraph graph;
    GraphScale& s = graph.scale;
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

    DisplayList& list = graph.list;
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

    const auto point = [&](int k) {
        return Point{asSingle((at(azimuthAngles, k) - s.firstAngle) * s.xFactor),
                     asSingle((at(minVVo, k) - s.vMin) * s.yFactor)};
    };
    for (int k = 1; k <= N; ++k) {
        list.addLine(point(k - 1), point(k));
    }
    if (N == 0) {
        const double y = asSingle((at(minVVo, 0) - s.vMin) * s.yFactor);
        const double x = kSingleStepX;
        const double d = kSingleStepMark;
        list.addLine({x - d, y}, {x + d, y});
        list.addLine({x, y - d}, {x, y + d});
    }
    return graph;
}

AzimuthGraph plotAzimuthGraph(std::span<const float> azimuthAngles,
                              std::span<const engine::AngleBestRow> table, int lastAngleIndex,
                              double labelHeight) {
    std::vector<double> minVVo;
    minVVo.reserve(table.size());
    for (const engine::AngleBestRow& row : table) {
        minVVo.push_back(row.minVVo);
    }
    return plotAzimuthGraph(azimuthAngles, minVVo, lastAngleIndex, labelHeight);
}

}  // namespace lamivex::output
