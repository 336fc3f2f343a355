#pragma once
// The azimuth graph: the lowest V/Vo of every azimuth step against the angle, as a
// display list in the graph picture's coordinate system (x -30..120, y -20..110 upward;
// the data occupy 0..100 in both directions).

#include <span>

#include "engine/angle_best_table.h"
#include "output/display_list.h"
#include "output/figure_layout.h"

namespace lamivex::output {

inline constexpr CoordinateSystem kGraphCoordinates{-30, 110, 120, -20};
// Label font size in graph units.
inline constexpr double kGraphLabelHeight = 5;

// The values the drawing derived, kept for the window and for tests.
struct GraphScale {
    double vMin = 0.99;     // bottom of the vertical axis, V/Vo
    double vMax = 1;        // top of the vertical axis, V/Vo
    double firstAngle = 0;  // degrees, at x = 0
    double lastAngle = 0;   // degrees, at x = 100
    double yFactor = 0;     // graph units per V/Vo
    double xFactor = 0;     // graph units per degree; 0 for a single step
};

struct AzimuthGraph {
    DisplayList list;
    GraphScale scale;
};

// The graph of steps 0..lastAngleIndex from the angles (single, degrees) and the lowest
// V/Vo of each step. The axis spans at least 0.99..1 and widens to every value. A single
// step (lastAngleIndex = 0) gives one point in the middle of the axis with one angle
// label; no steps (-1) give the axes and the V/Vo labels only. Throws std::invalid_argument when
// either span is shorter than lastAngleIndex + 1.
// labelHeight is the label font size in graph units.
[[nodiscard]] AzimuthGraph plotAzimuthGraph(std::span<const float> azimuthAngles,
                                            std::span<const double> minVVo, int lastAngleIndex,
                                            double labelHeight = kGraphLabelHeight);

// The same, reading the V/Vo of each step from column 1 of the per-angle table.
[[nodiscard]] AzimuthGraph plotAzimuthGraph(std::span<const float> azimuthAngles,
                                            std::span<const engine::AngleBestRow> table,
                                            int lastAngleIndex,
                                            double labelHeight = kGraphLabelHeight);

// The same curve laid out for a paper: round ticks, axis titles, the axes over the run's
// angles and V/Vo range, in the figure's points.
[[nodiscard]] AzimuthGraph plotAzimuthGraph(std::span<const float> azimuthAngles,
                                            std::span<const double> minVVo, int lastAngleIndex,
                                            const FigureStyle& publication);
[[nodiscard]] AzimuthGraph plotAzimuthGraph(std::span<const float> azimuthAngles,
                                            std::span<const engine::AngleBestRow> table,
                                            int lastAngleIndex, const FigureStyle& publication);

}  // namespace lamivex::output
