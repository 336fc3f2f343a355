#include "app/view_canvas.h"

#include <algorithm>
#include <cmath>

#include <QPainter>
#include <QWheelEvent>

#include "render/display_list_painter.h"

namespace lamivex::app {

ViewCanvas::ViewCanvas(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(240, 200);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ViewCanvas::show(output::DisplayList picture) {
    m_picture = std::move(picture);
    update();
}

void ViewCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    render::drawDisplayList(painter, m_picture, QRectF(rect()), render::Fit::KeepAspect);
}

void ViewCanvas::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0) {
        emit zoomBy(std::pow(1.25, steps));
    }
    event->accept();
}

double zoomedBy(double zoom, double factor) {
    return std::clamp(zoom * factor, 1.0, kMaxViewZoom);
}

}  // namespace lamivex::app
