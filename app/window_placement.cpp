#include "app/window_placement.h"

#include <array>
#include <limits>
#include <vector>

#include <QEvent>
#include <QScreen>
#include <QWidget>

namespace lamivex::app {
namespace {

constexpr int kGap = 8;  // pixels between the two frames

int clamped(int value, int low, int high) {
    return high < low ? low : std::clamp(value, low, high);
}

long long area(const QRect& r) {
    return r.isEmpty() ? 0 : static_cast<long long>(r.width()) * r.height();
}

class BesideMain : public QObject {
  public:
    BesideMain(QWidget* window, QWidget* main) : QObject(window), m_window(window), m_main(main) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_window && event->type() == QEvent::Show && m_main->isVisible()) {
            place();
        }
        return false;
    }

  private:
    void place() {
        const QRect mainFrame = m_main->frameGeometry();
        // A window not shown yet has no frame: take the main window's as its measure.
        const QMargins frameMargins(m_main->geometry().left() - mainFrame.left(),
                                    m_main->geometry().top() - mainFrame.top(),
                                    mainFrame.right() - m_main->geometry().right(),
                                    mainFrame.bottom() - m_main->geometry().bottom());
        const QRect frame =
            m_placed ? m_window->frameGeometry() : m_window->geometry().marginsAdded(frameMargins);
        if (m_placed && !frame.intersects(mainFrame)) {
            return;
        }
        const QScreen* screen = m_main->screen();
        if (screen == nullptr) {
            return;
        }
        m_window->move(besideMainWindow(mainFrame, frame.size(), screen->availableGeometry()));
        m_placed = true;
    }

    QWidget* m_window;
    QWidget* m_main;
    bool m_placed = false;
};

}  // namespace

QPoint besideMainWindow(const QRect& mainFrame, const QSize& frame, const QRect& available) {
    const int w = frame.width();
    const int h = frame.height();
    const int top = clamped(mainFrame.top(), available.top(), available.bottom() + 1 - h);
    const int left = clamped(mainFrame.left(), available.left(), available.right() + 1 - w);
    const std::array<QPoint, 4> sides = {
        QPoint(mainFrame.right() + 1 + kGap, top),    // right
        QPoint(mainFrame.left() - kGap - w, top),     // left
        QPoint(left, mainFrame.bottom() + 1 + kGap),  // below
        QPoint(left, mainFrame.top() - kGap - h),     // above
    };
    for (const QPoint& corner : sides) {
        const QRect placed(corner, frame);
        if (available.contains(placed) && !placed.intersects(mainFrame)) {
            return corner;
        }
    }
    // No room beside it: the sides pushed inside the area, and the area's corners.
    const int right = available.right() + 1 - w;
    const int bottom = available.bottom() + 1 - h;
    const std::array<QPoint, 8> candidates = {sides[0],
                                              sides[1],
                                              sides[2],
                                              sides[3],
                                              available.topLeft(),
                                              QPoint(right, available.top()),
                                              QPoint(available.left(), bottom),
                                              QPoint(right, bottom)};
    QPoint best = sides[0];
    long long leastCovered = std::numeric_limits<long long>::max();
    for (const QPoint& corner : candidates) {
        const QPoint inside(clamped(corner.x(), available.left(), available.right() + 1 - w),
                            clamped(corner.y(), available.top(), available.bottom() + 1 - h));
        const long long covered = area(QRect(inside, frame).intersected(mainFrame));
        if (covered < leastCovered) {
            leastCovered = covered;
            best = inside;
        }
    }
    return best;
}

QPoint clearOfOthers(const QRect& frame, std::span<const QRect> others, const QRect& mainFrame,
                     const QRect& available) {
    std::vector<QPoint> candidates = {frame.topLeft()};
    for (const QRect& other : others) {
        candidates.emplace_back(frame.left(), other.bottom() + 1 + kGap);           // below it
        candidates.emplace_back(other.right() + 1 + kGap, frame.top());             // to its right
        candidates.emplace_back(other.left() - kGap - frame.width(), frame.top());  // its left
    }
    const auto covered = [&](const QRect& placed) {
        long long sum = area(placed.intersected(mainFrame));
        for (const QRect& other : others) {
            sum += area(placed.intersected(other));
        }
        return sum;
    };
    QPoint best = frame.topLeft();
    long long least = std::numeric_limits<long long>::max();
    for (const QPoint& corner : candidates) {
        const QPoint inside(
            clamped(corner.x(), available.left(), available.right() + 1 - frame.width()),
            clamped(corner.y(), available.top(), available.bottom() + 1 - frame.height()));
        const long long c = covered(QRect(inside, frame.size()));
        if (c < least) {
            least = c;
            best = inside;
        }
    }
    return best;
}

QPoint mainWindowCorner(const QSize& mainFrame, int companionWidth, const QRect& available) {
    const int pair = mainFrame.width() + kGap + companionWidth;
    const int x = available.left() + std::max(0, (available.width() - pair) / 2);
    const int y = available.top() + std::max(0, (available.height() - mainFrame.height()) / 2);
    return {x, y};
}

void keepBesideMainWindow(QWidget* window, QWidget* main) {
    window->installEventFilter(new BesideMain(window, main));
}

}  // namespace lamivex::app
