#include "render/display_list_painter.h"

#include <algorithm>
#include <cmath>
#include <variant>

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QStringList>

namespace lamivex::render {
namespace {

QColor toColor(const output::Rgb& c) {
    return {c.red, c.green, c.blue};
}

// Fonts present on a plain Debian desktop first; the style hint covers the rest.
QFont fontFor(output::TextFont kind) {
    QFont font;
    if (kind == output::TextFont::Monospace) {
        font.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"),
                          QStringLiteral("Courier New"), QStringLiteral("monospace")});
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
    } else {
        font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                          QStringLiteral("Arial"), QStringLiteral("sans-serif")});
        font.setStyleHint(QFont::SansSerif);
    }
    return font;
}

class Mapper {
  public:
    Mapper(const output::CoordinateSystem& cs, const QRectF& area)
        : m_cs(cs),
          m_area(area),
          m_scaleX(area.width() / cs.width()),
          m_scaleY(area.height() / cs.height()) {}

    [[nodiscard]] QPointF operator()(output::Point p) const {
        return {m_area.left() + (p.x - m_cs.left) * m_scaleX,
                m_area.top() + (p.y - m_cs.top) * m_scaleY};
    }
    [[nodiscard]] double verticalScale() const { return std::fabs(m_scaleY); }
    [[nodiscard]] double horizontalScale() const { return std::fabs(m_scaleX); }

  private:
    output::CoordinateSystem m_cs;
    QRectF m_area;
    double m_scaleX;
    double m_scaleY;
};

void drawGreyPicture(QPainter& painter, const output::GreyPicture& grey, const Mapper& map) {
    if (grey.width <= 0 || grey.height <= 0 ||
        grey.levels.size() != static_cast<std::size_t>(grey.width) * grey.height) {
        return;
    }
    const QImage image(grey.levels.data(), grey.width, grey.height, grey.width,
                       QImage::Format_Grayscale8);
    const QPointF a = map(grey.corner1);
    const QPointF b = map(grey.corner2);
    // A corner order that flips an axis flips the picture the same way.
    const bool flipX = b.x() < a.x();
    const bool flipY = b.y() < a.y();
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(a, b).normalized(), image.mirrored(flipX, flipY));
    painter.restore();
}

// One style for all discs of a group. In an SVG file they are one path of round dots (each a
// stroke a tenth of a unit long with round caps, at a tenth of a unit): a few megabytes for
// 10^5 points, where a circle element each with its own group took some 200 bytes apiece.
void drawDiscGroup(QPainter& painter, const output::DiscGroup& group, const Mapper& map,
                   double penWidth) {
    const double radius = std::max(group.radius * map.horizontalScale(), penWidth / 2);
    const QColor colour = toColor(group.colour);
    const QPaintEngine* engine = painter.paintEngine();
    if (engine != nullptr && engine->type() == QPaintEngine::SVG) {
        QPen pen(colour, 2 * radius);
        pen.setCapStyle(Qt::RoundCap);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        const auto tenth = [](double v) { return std::round(v * 10) / 10; };
        // Paths of a thousand dots: readers refuse longer path data (Qt's own truncates it).
        constexpr std::size_t kDotsPerPath = 1000;
        for (std::size_t first = 0; first < group.centres.size(); first += kDotsPerPath) {
            QPainterPath dots;
            const std::size_t last = std::min(group.centres.size(), first + kDotsPerPath);
            for (std::size_t i = first; i < last; ++i) {
                const QPointF at = map(group.centres[i]);
                dots.moveTo(tenth(at.x()), tenth(at.y()));
                dots.lineTo(tenth(at.x()) + 0.1, tenth(at.y()));
            }
            painter.drawPath(dots);
        }
        return;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    for (const output::Point& centre : group.centres) {
        painter.drawEllipse(map(centre), radius, radius);
    }
}

}  // namespace

QRectF drawingArea(const output::CoordinateSystem& coordinates, const QRectF& target, Fit fit) {
    if (fit == Fit::Stretch || coordinates.width() == 0 || coordinates.height() == 0) {
        return target;
    }
    const double aspect = std::fabs(coordinates.width() / coordinates.height());
    double width = target.width();
    double height = width / aspect;
    if (height > target.height()) {
        height = target.height();
        width = height * aspect;
    }
    return {target.left() + (target.width() - width) / 2, target.top(), width, height};
}

void drawDisplayList(QPainter& painter, const output::DisplayList& list, const QRectF& target,
                     Fit fit) {
    const output::CoordinateSystem& cs = list.coordinates;
    if (cs.width() == 0 || cs.height() == 0 || target.isEmpty()) {
        return;  // nothing can be mapped
    }
    const QRectF area = drawingArea(cs, target, fit);
    const Mapper map(cs, area);
    const QPaintDevice* device = painter.device();
    const double dpi = device != nullptr ? device->logicalDpiY() : 96.0;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setClipRect(area, Qt::IntersectClip);
    if (list.hasBackground) {
        painter.fillRect(area, toColor(list.background));
    }
    // 0.75 pt, which is one pixel on a 96 dpi screen and never thinner than a pixel.
    const double penWidth = std::max(1.0, dpi / 96.0);

    for (const output::DisplayItem& item : list.items) {
        if (const auto* line = std::get_if<output::LineSegment>(&item)) {
            QPen pen(toColor(line->colour), penWidth);
            pen.setCapStyle(Qt::RoundCap);
            painter.setPen(pen);
            painter.drawLine(map(line->from), map(line->to));
        } else if (const auto* rect = std::get_if<output::FilledRect>(&item)) {
            painter.fillRect(QRectF(map(rect->corner1), map(rect->corner2)).normalized(),
                             toColor(rect->colour));
        } else if (const auto* disc = std::get_if<output::Disc>(&item)) {
            // At least a pixel across, so that a zoomed-out lattice still shows its points.
            const double radius = std::max(disc->radius * map.horizontalScale(), penWidth / 2);
            const QColor colour = toColor(disc->colour);
            if (disc->filled) {
                painter.setPen(Qt::NoPen);
                painter.setBrush(colour);
            } else {
                painter.setPen(QPen(colour, penWidth));
                painter.setBrush(Qt::NoBrush);
            }
            painter.drawEllipse(map(disc->centre), radius, radius);
        } else if (const auto* group = std::get_if<output::DiscGroup>(&item)) {
            drawDiscGroup(painter, *group, map, penWidth);
        } else if (const auto* grey = std::get_if<output::GreyPicture>(&item)) {
            drawGreyPicture(painter, *grey, map);
        } else if (const auto* text = std::get_if<output::TextItem>(&item)) {
            const double pixels = text->height * map.verticalScale();
            if (pixels <= 0) {
                continue;
            }
            QFont font = fontFor(text->font);
            font.setPointSizeF(pixels * 72.0 / dpi);
            const QString shown = QString::fromStdString(text->text);
            double shift = 0;
            double allowed = text->maxWidth * map.horizontalScale();
            if (allowed > 0) {
                const double wide = QFontMetricsF(font, device).horizontalAdvance(shown);
                shift = std::clamp(wide - allowed, 0.0, text->leftRoom * map.horizontalScale());
                allowed += shift;
                if (wide > allowed) {
                    font.setPointSizeF(font.pointSizeF() * allowed / wide);
                }
            }
            painter.setFont(font);
            painter.setPen(toColor(text->colour));
            const QFontMetricsF metrics(font, device);
            double along = -shift;  // from the anchor to the text's start, along its direction
            if (text->align != output::TextAlign::Left) {
                const double wide = metrics.horizontalAdvance(shown);
                along = text->align == output::TextAlign::Centre ? -wide / 2 : -wide;
            }
            if (text->vertical) {
                painter.save();
                painter.translate(map(text->topLeft));
                painter.rotate(-90);
                painter.drawText(QPointF(along, metrics.ascent()), shown);
                painter.restore();
            } else {
                const QPointF topLeft = map(text->topLeft) + QPointF(along, 0);
                painter.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()), shown);
            }
        }
    }
    painter.restore();
}

}  // namespace lamivex::render
