#include "app/picture_box.h"

#include <QMouseEvent>
#include <QPainter>

#include "render/display_list_painter.h"

namespace lamivex::app {
namespace {

// Pixels: large enough that labels of the graph's proportions read well on screen.
constexpr int kPictureWidth = 390;
constexpr int kPictureHeight = 338;

bool sameItem(const output::DisplayItem& a, const output::DisplayItem& b) {
    if (a.index() != b.index()) {
        return false;
    }
    if (const auto* line = std::get_if<output::LineSegment>(&a)) {
        const auto& other = std::get<output::LineSegment>(b);
        return line->from == other.from && line->to == other.to && line->colour == other.colour;
    }
    if (const auto* rect = std::get_if<output::FilledRect>(&a)) {
        const auto& other = std::get<output::FilledRect>(b);
        return rect->corner1 == other.corner1 && rect->corner2 == other.corner2 &&
               rect->colour == other.colour;
    }
    if (const auto* disc = std::get_if<output::Disc>(&a)) {
        const auto& other = std::get<output::Disc>(b);
        return disc->centre == other.centre && disc->radius == other.radius &&
               disc->colour == other.colour && disc->filled == other.filled;
    }
    if (const auto* group = std::get_if<output::DiscGroup>(&a)) {
        const auto& other = std::get<output::DiscGroup>(b);
        return group->centres == other.centres && group->radius == other.radius &&
               group->colour == other.colour;
    }
    if (const auto* grey = std::get_if<output::GreyPicture>(&a)) {
        const auto& other = std::get<output::GreyPicture>(b);
        return grey->corner1 == other.corner1 && grey->corner2 == other.corner2 &&
               grey->width == other.width && grey->levels == other.levels;
    }
    const auto& text = std::get<output::TextItem>(a);
    const auto& other = std::get<output::TextItem>(b);
    return text.topLeft == other.topLeft && text.text == other.text &&
           text.height == other.height && text.font == other.font && text.colour == other.colour;
}

}  // namespace

bool sameDrawing(const output::DisplayList& a, const output::DisplayList& b) {
    const output::CoordinateSystem& ca = a.coordinates;
    const output::CoordinateSystem& cb = b.coordinates;
    if (ca.left != cb.left || ca.top != cb.top || ca.right != cb.right || ca.bottom != cb.bottom ||
        a.hasBackground != b.hasBackground || !(a.background == b.background) ||
        a.items.size() != b.items.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.items.size(); ++i) {
        if (!sameItem(a.items[i], b.items[i])) {
            return false;
        }
    }
    return true;
}

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(kPictureWidth / 2, kPictureHeight / 2);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PictureBox::draw(const output::DisplayList& list) {
    output::DisplayList layer = list;
    // The picture's own ground is painted once; a later drawing must not cover the earlier.
    layer.hasBackground = false;
    if (!m_layers.empty() && sameDrawing(m_layers.back(), layer)) {
        return;
    }
    m_layers.push_back(std::move(layer));
    update();
}

void PictureBox::clear() {
    m_layers.clear();
    update();
}

void PictureBox::setOverlay(std::optional<output::DisplayList> overlay) {
    m_overlay = std::move(overlay);
    update();
}

output::Point PictureBox::toPicture(QPointF position) const {
    const output::CoordinateSystem cs =
        m_layers.empty() ? output::CoordinateSystem{} : m_layers.back().coordinates;
    // The layers fill the widget, as a picture box's scale does.
    return {cs.left + position.x() / width() * cs.width(),
            cs.top + position.y() / height() * cs.height()};
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && !m_layers.empty()) {
        emit clickedAt(toPicture(event->position()));
    }
}

QSize PictureBox::sizeHint() const {
    return {kPictureWidth, kPictureHeight};
}

void PictureBox::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    for (const output::DisplayList& list : m_layers) {
        render::drawDisplayList(painter, list, QRectF(rect()));
    }
    if (m_overlay) {
        render::drawDisplayList(painter, *m_overlay, QRectF(rect()));
    }
}

}  // namespace lamivex::app
