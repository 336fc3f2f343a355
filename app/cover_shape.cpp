#include "app/cover_shape.h"

#include <QEvent>
#include <QPainter>

namespace lamivex::app {

CoverShape::CoverShape(QWidget* target) : QWidget(target), m_target(target) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(target->rect());
    target->installEventFilter(this);
}

void CoverShape::setFillStyle(int style) {
    m_fillStyle = style;
    update();
}

bool CoverShape::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_target && event->type() == QEvent::Resize) {
        setGeometry(m_target->rect());
        raise();
    }
    return QWidget::eventFilter(watched, event);
}

void CoverShape::paintEvent(QPaintEvent*) {
    if (m_fillStyle != kCrossHatched) {
        return;
    }
    QPainter painter(this);
    QColor hatch = palette().color(QPalette::WindowText);
    hatch.setAlpha(110);
    painter.fillRect(rect(), QBrush(hatch, Qt::DiagCrossPattern));
}

}  // namespace lamivex::app
