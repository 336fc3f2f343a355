#pragma once
// Draws a display list with a QPainter, so the graph window, the printer, PDF, PNG and
// SVG files share one drawing path.

#include <QRectF>

#include "output/display_list.h"

class QPainter;

namespace lamivex::render {

enum class Fit {
    Stretch,     // the coordinate system fills the rectangle, as a picture box's scale does
    KeepAspect,  // same scale both ways, centred across and aligned to the top (pages)
};

// The part of target that the list's coordinate system covers.
[[nodiscard]] QRectF drawingArea(const output::CoordinateSystem& coordinates, const QRectF& target,
                                 Fit fit);

// Draws list into target (device coordinates of the painter's device), clipped to it.
// Lines are about 0.75 pt wide on any device; text is drawn with its top-left corner at
// the item's position and its size mapped from user units.
void drawDisplayList(QPainter& painter, const output::DisplayList& list, const QRectF& target,
                     Fit fit = Fit::Stretch);

}  // namespace lamivex::render
