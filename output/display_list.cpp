#include "output/display_list.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace lamivex::output {
namespace {

template <typename T>
std::vector<T> itemsOf(const std::vector<DisplayItem>& items) {
    std::vector<T> out;
    for (const DisplayItem& item : items) {
        if (const T* typed = std::get_if<T>(&item)) {
            out.push_back(*typed);
        }
    }
    return out;
}

// Linear map of one coordinate system onto a rectangle of another.
struct Mapping {
    double scaleX = 1;
    double scaleY = 1;
    double offsetX = 0;
    double offsetY = 0;

    Mapping(const CoordinateSystem& from, const CoordinateSystem& to)
        : scaleX(to.width() / from.width()),
          scaleY(to.height() / from.height()),
          offsetX(to.left - from.left * scaleX),
          offsetY(to.top - from.top * scaleY) {}

    [[nodiscard]] Point operator()(Point p) const {
        return {offsetX + p.x * scaleX, offsetY + p.y * scaleY};
    }
};

struct Bounds {
    double xMin, xMax, yMin, yMax;

    explicit Bounds(const CoordinateSystem& cs)
        : xMin(std::min(cs.left, cs.right)),
          xMax(std::max(cs.left, cs.right)),
          yMin(std::min(cs.top, cs.bottom)),
          yMax(std::max(cs.top, cs.bottom)) {}

    [[nodiscard]] bool holds(Point p) const {
        return p.x >= xMin && p.x <= xMax && p.y >= yMin && p.y <= yMax;
    }
};

// Liang-Barsky: the part of the segment inside the bounds, if any.
std::optional<LineSegment> clipped(LineSegment line, const Bounds& b) {
    const double dx = line.to.x - line.from.x;
    const double dy = line.to.y - line.from.y;
    double t0 = 0;
    double t1 = 1;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {line.from.x - b.xMin, b.xMax - line.from.x, line.from.y - b.yMin,
                        b.yMax - line.from.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) {
                return std::nullopt;
            }
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
    }
    if (t0 > t1) {
        return std::nullopt;
    }
    const Point from = line.from;
    if (t1 < 1) {
        line.to = {from.x + t1 * dx, from.y + t1 * dy};
    }
    if (t0 > 0) {
        line.from = {from.x + t0 * dx, from.y + t0 * dy};
    }
    return line;
}

std::optional<FilledRect> clipped(FilledRect rect, const Bounds& b) {
    const double x0 = std::max(std::min(rect.corner1.x, rect.corner2.x), b.xMin);
    const double x1 = std::min(std::max(rect.corner1.x, rect.corner2.x), b.xMax);
    const double y0 = std::max(std::min(rect.corner1.y, rect.corner2.y), b.yMin);
    const double y1 = std::min(std::max(rect.corner1.y, rect.corner2.y), b.yMax);
    if (x0 > x1 || y0 > y1) {
        return std::nullopt;
    }
    return FilledRect{{x0, y0}, {x1, y1}, rect.colour};
}

}  // namespace

void DisplayList::addLine(Point from, Point to, Rgb colour) {
    items.emplace_back(LineSegment{from, to, colour});
}

void DisplayList::addRect(Point corner1, Point corner2, Rgb colour) {
    items.emplace_back(FilledRect{corner1, corner2, colour});
}

void DisplayList::addText(Point topLeft, std::string text, double height, TextFont font,
                          Rgb colour) {
    items.emplace_back(TextItem{topLeft, std::move(text), height, font, colour});
}

void DisplayList::addDisc(Point centre, double radius, Rgb colour, bool filled) {
    items.emplace_back(Disc{centre, radius, colour, filled});
}

void DisplayList::addDiscs(std::vector<Point> centres, double radius, Rgb colour) {
    items.emplace_back(DiscGroup{std::move(centres), radius, colour});
}

std::vector<Disc> DisplayList::discs() const {
    std::vector<Disc> out;
    for (const DisplayItem& item : items) {
        if (const auto* disc = std::get_if<Disc>(&item)) {
            out.push_back(*disc);
        } else if (const auto* group = std::get_if<DiscGroup>(&item)) {
            for (const Point& centre : group->centres) {
                out.push_back({centre, group->radius, group->colour, true});
            }
        }
    }
    return out;
}

std::vector<LineSegment> DisplayList::lines() const {
    return itemsOf<LineSegment>(items);
}

std::vector<FilledRect> DisplayList::rects() const {
    return itemsOf<FilledRect>(items);
}

std::vector<TextItem> DisplayList::texts() const {
    return itemsOf<TextItem>(items);
}

void appendMapped(DisplayList& target, const DisplayList& source,
                  const CoordinateSystem& placeInTarget) {
    const Mapping map(source.coordinates, placeInTarget);
    // Text keeps its top-left corner and grows with the vertical scale.
    const double heightScale = std::fabs(map.scaleY);
    const Bounds bounds(source.coordinates);
    for (const DisplayItem& item : source.items) {
        if (const auto* line = std::get_if<LineSegment>(&item)) {
            if (const std::optional<LineSegment> inside = clipped(*line, bounds)) {
                target.addLine(map(inside->from), map(inside->to), inside->colour);
            }
        } else if (const auto* rect = std::get_if<FilledRect>(&item)) {
            if (const std::optional<FilledRect> inside = clipped(*rect, bounds)) {
                target.addRect(map(inside->corner1), map(inside->corner2), inside->colour);
            }
        } else if (const auto* text = std::get_if<TextItem>(&item)) {
            target.addText(map(text->topLeft), text->text, text->height * heightScale, text->font,
                           text->colour);
            TextItem& added = std::get<TextItem>(target.items.back());
            added.maxWidth = text->maxWidth * std::fabs(map.scaleX);
            added.leftRoom = text->leftRoom * std::fabs(map.scaleX);
            added.align = text->align;
            added.vertical = text->vertical;
        } else if (const auto* grey = std::get_if<GreyPicture>(&item)) {
            GreyPicture placed = *grey;
            placed.corner1 = map(grey->corner1);
            placed.corner2 = map(grey->corner2);
            target.items.emplace_back(std::move(placed));
        } else if (const auto* disc = std::get_if<Disc>(&item)) {
            if (bounds.holds(disc->centre)) {
                target.addDisc(map(disc->centre), disc->radius * std::fabs(map.scaleX),
                               disc->colour, disc->filled);
            }
        } else if (const auto* group = std::get_if<DiscGroup>(&item)) {
            std::vector<Point> inside;
            inside.reserve(group->centres.size());
            for (const Point& c : group->centres) {
                if (bounds.holds(c)) {
                    inside.push_back(map(c));
                }
            }
            if (!inside.empty()) {
                target.addDiscs(std::move(inside), group->radius * std::fabs(map.scaleX),
                                group->colour);
            }
        }
    }
}

}  // namespace lamivex::output
