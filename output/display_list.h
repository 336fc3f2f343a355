#pragma once
// A drawing as plain data: line segments, filled rectangles, text items and discs in a user
// coordinate system. The graph window, the printer, PDF, PNG and SVG all draw the same
// list, and tests read it instead of pixels.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "numbers/rgb.h"

namespace lamivex::output {

// The values at the four edges of the drawing surface, as a picture box's scale sets
// them; y may grow upward (top > bottom) or downward (top < bottom).
struct CoordinateSystem {
    double left = 0;
    double top = 0;
    double right = 1;
    double bottom = 1;

    [[nodiscard]] double width() const { return right - left; }
    [[nodiscard]] double height() const { return bottom - top; }
};

using numbers::Rgb;

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};

struct Point {
    double x = 0;
    double y = 0;
    bool operator==(const Point&) const = default;
};

struct LineSegment {
    Point from;
    Point to;
    Rgb colour = kBlack;
};

// Any two opposite corners.
struct FilledRect {
    Point corner1;
    Point corner2;
    Rgb colour = kBlack;
};

// A disc, or with filled false a circle drawn as a thin ring. The radius is in user units
// along x; pictures that hold discs keep the same scale both ways.
struct Disc {
    Point centre;
    double radius = 1;
    Rgb colour = kBlack;
    bool filled = true;
};

enum class TextFont { Proportional, Monospace };

// Where a text sits on its anchor along its own direction.
enum class TextAlign { Left, Centre, Right };

struct TextItem {
    Point topLeft;
    std::string text;   // UTF-8, one line
    double height = 1;  // font size in user units (vertical extent)
    TextFont font = TextFont::Proportional;
    Rgb colour = kBlack;
    // Above 0: the widest the text may be, in user units, so that labels in a narrow margin
    // never run into the axis beside them. A wider text first moves left by up to leftRoom
    // (into free margin), then is drawn smaller.
    double maxWidth = 0;
    double leftRoom = 0;
    // With Centre or Right, topLeft.x is the text's middle or right end, not its left edge.
    TextAlign align = TextAlign::Left;
    // Turned a quarter counter-clockwise to read upward, as a vertical axis title; topLeft
    // is then the left edge of the turned text and the alignment runs along y.
    bool vertical = false;
};

// Many filled discs of one radius and colour, drawn as one item: a large lattice becomes one
// group (or path) per colour in a file instead of one per disc.
struct DiscGroup {
    std::vector<Point> centres;
    double radius = 1;
    Rgb colour = kBlack;
};

// A grey picture (a camera's image under an overlay) stretched over the rectangle between
// two opposite corners: its first row at corner1's y, its first column at corner1's x.
struct GreyPicture {
    Point corner1;
    Point corner2;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> levels;  // width × height, row by row, 0 black to 255 white
};

using DisplayItem = std::variant<LineSegment, FilledRect, TextItem, Disc, DiscGroup, GreyPicture>;

// Items are drawn in the order they were added, so later items cover earlier ones.
struct DisplayList {
    CoordinateSystem coordinates;
    bool hasBackground = false;  // fill the whole surface with background first
    Rgb background = kWhite;
    std::vector<DisplayItem> items;

    void addLine(Point from, Point to, Rgb colour = kBlack);
    void addRect(Point corner1, Point corner2, Rgb colour);
    void addText(Point topLeft, std::string text, double height,
                 TextFont font = TextFont::Proportional, Rgb colour = kBlack);
    void addDisc(Point centre, double radius, Rgb colour, bool filled = true);
    void addDiscs(std::vector<Point> centres, double radius, Rgb colour);

    // The items of one kind, in drawing order.
    [[nodiscard]] std::vector<LineSegment> lines() const;
    [[nodiscard]] std::vector<FilledRect> rects() const;
    [[nodiscard]] std::vector<TextItem> texts() const;
    // The discs, those of a group one by one, in drawing order.
    [[nodiscard]] std::vector<Disc> discs() const;
};

// The printout's pages, in order.
using Pages = std::vector<DisplayList>;

// Appends source's items to target, with source's coordinate system mapped onto the
// rectangle whose edges are left, top, right and bottom in target's coordinates. Lines
// and rectangles are clipped to source's edges, as a picture clips what is drawn on it, and
// discs whose centre lies outside are left out;
// text heights scale with the vertical mapping; the source background is not copied.
void appendMapped(DisplayList& target, const DisplayList& source,
                  const CoordinateSystem& placeInTarget);

}  // namespace lamivex::output
