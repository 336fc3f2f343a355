#include "app/window_placement.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <tuple>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "app/services.h"

namespace lamivex::app {
namespace {

constexpr int kGap = 8;  // pixels between the two frames

int clamped(int value, int low, int high) {
    return high < low ? low : std::clamp(value, low, high);
}

long long area(const QRect& r) {
    return r.isEmpty() ? 0 : static_cast<long long>(r.width()) * r.height();
}

constexpr const char* kPlacedProperty = "lamivexPlaced";
constexpr const char* kPlacedAtProperty = "lamivexPlacedAt";

QMargins marginsOf(const QWidget* widget) {
    const QRect frame = widget->frameGeometry();
    const QRect inner = widget->geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

// A frame smaller than the window it holds was read while the window manager was still making
// it (its frame is 1 x 1 then).
bool isStale(const QMargins& margins) {
    return margins.left() < 0 || margins.top() < 0 || margins.right() < 0 || margins.bottom() < 0;
}

// Asks the services to place the window on each show the program makes (not the window
// system's, as when a minimised window comes back). A window not framed yet is moved by its
// inside on some systems, so that its title bar lands above the spot, over the window there:
// once the window manager has framed it, the frame is put where it was meant to go.
class BesideMain : public QObject {
  public:
    BesideMain(Services& services, QWidget* window, QWidget* main)
        : QObject(window), m_services(services), m_window(window), m_main(main) {
        m_framing.setInterval(50);
        connect(&m_framing, &QTimer::timeout, this, &BesideMain::putFrame);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_window && event->type() == QEvent::Show && !event->spontaneous()) {
            m_services.placeBeside(m_window, m_main);
            const QMargins margins = marginsOf(m_window);
            if ((margins.isNull() || isStale(margins)) &&
                m_window->property(kPlacedAtProperty).isValid()) {
                m_nudgedFrom.reset();
                m_waited.start();
                m_framing.start();
            }
        }
        return false;
    }

  private:
    // The toolkit reads a window's frame when the window is configured and keeps that reading
    // until it is configured again. Read while the window manager was still making the frame,
    // it is wrong (no frame, a 1 x 1 one, or the frame without the window inside it yet), and
    // stays wrong. So once the window is on the screen a one-pixel move has the frame read
    // again, finished; then the frame is put where it was meant to go.
    void putFrame() {
        if (!m_window->isVisible() || m_waited.elapsed() > 3000) {
            m_framing.stop();  // no window manager frames it
            return;
        }
        const QWindow* handle = m_window->windowHandle();
        const bool framed = !marginsOf(m_window).isNull() || !marginsOf(m_main).isNull();
        if (handle == nullptr || !handle->isExposed() || !framed) {
            return;
        }
        if (!m_nudgedFrom) {
            m_nudgedFrom = m_window->geometry();
            m_window->move(m_window->pos() + QPoint(1, 0));
            return;
        }
        const QMargins margins = marginsOf(m_window);
        if (m_window->geometry() == *m_nudgedFrom || margins.isNull() || isStale(margins)) {
            return;  // the move has not come back from the window manager yet
        }
        m_framing.stop();
        const QPoint meant = m_window->property(kPlacedAtProperty).toPoint();
        if (m_window->frameGeometry().topLeft() != meant) {
            m_window->move(meant);
        }
    }

    Services& m_services;
    QWidget* m_window;
    QWidget* m_main;
    QTimer m_framing;  // shown without a frame and placed: waits for the frame
    QElapsedTimer m_waited;
    std::optional<QRect> m_nudgedFrom;  // the window's place before the one-pixel move
};

// Windows the user sees as windows: not menus, tooltips or the desktop.
bool isOrdinaryWindow(const QWidget* widget) {
    const Qt::WindowType type = widget->windowType();
    return widget->isWindow() && widget->isVisible() &&
           (type == Qt::Window || type == Qt::Dialog || type == Qt::Tool);
}

bool coversAny(const QRect& frame, std::span<const QRect> others) {
    return std::any_of(others.begin(), others.end(),
                       [&frame](const QRect& other) { return frame.intersects(other); });
}

// The gap between two rectangles, 0 when they touch or overlap.
double distance(const QRect& a, const QRect& b) {
    const int dx = std::max({0, b.left() - a.right() - 1, a.left() - b.right() - 1});
    const int dy = std::max({0, b.top() - a.bottom() - 1, a.top() - b.bottom() - 1});
    return std::hypot(dx, dy);
}

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

namespace {

// The free spot for a frame of size among the shown windows nearest the anchor, of spots as
// near the one more level with it: corners beside, below, above and level with each shown
// window and the area's edges.
std::optional<QPoint> freeSpot(const QSize& size, const QRect& anchor, std::span<const QRect> shown,
                               const QRect& available) {
    std::vector<int> xs = {available.left(), available.right() + 1 - size.width()};
    std::vector<int> ys = {available.top(), available.bottom() + 1 - size.height()};
    for (const QRect& r : shown) {
        xs.insert(xs.end(), {r.left(), r.right() + 1 + kGap, r.left() - kGap - size.width()});
        ys.insert(ys.end(), {r.top(), r.bottom() + 1 + kGap, r.top() - kGap - size.height()});
    }
    std::optional<QPoint> best;
    std::tuple<double, int, int> nearest{std::numeric_limits<double>::max(), 0, 0};
    for (const int y : ys) {
        for (const int x : xs) {
            const QRect placed(QPoint(x, y), size);
            if (!available.contains(placed) || coversAny(placed, shown)) {
                continue;
            }
            const std::tuple<double, int, int> score{
                distance(placed, anchor), std::abs(y - anchor.top()), std::abs(x - anchor.left())};
            if (score < nearest) {
                nearest = score;
                best = placed.topLeft();
            }
        }
    }
    return best;
}

// What a window at placed hides: the anchor's area counts four times (its fields and results
// are what the user works in), and any window over the placed one's title bar counts heavily,
// as a title bar under another window cannot be grabbed.
long long hidden(const QRect& placed, const QRect& anchor, std::span<const QRect> shown) {
    constexpr int kTitleBar = 32;
    const QRect title(placed.topLeft(), QSize(placed.width(), kTitleBar));
    long long sum = 0;
    for (const QRect& r : shown) {
        sum +=
            area(placed.intersected(r)) * (r == anchor ? 4 : 1) + 50 * area(title.intersected(r));
    }
    return sum;
}

}  // namespace

QRect besideShownWindows(const QSize& frame, const QSize& smallest, const QRect& anchor,
                         std::span<const QRect> shown, const QRect& available) {
    const QPoint beside = besideMainWindow(anchor, frame, available);
    if (!coversAny(QRect(beside, frame), shown) && available.contains(QRect(beside, frame))) {
        return {beside, frame};
    }
    // A free spot at the full size, else at the largest size down to the smallest that has one.
    std::vector<QSize> sizes;
    for (int w = frame.width(); w >= std::min(smallest.width(), frame.width());
         w -= frame.width() / 10) {
        for (int h = frame.height(); h >= std::min(smallest.height(), frame.height());
             h -= frame.height() / 10) {
            sizes.emplace_back(std::min(w, available.width()), std::min(h, available.height()));
        }
    }
    std::stable_sort(sizes.begin(), sizes.end(), [](const QSize& a, const QSize& b) {
        return static_cast<long long>(a.width()) * a.height() >
               static_cast<long long>(b.width()) * b.height();
    });
    for (const QSize& size : sizes) {
        if (const std::optional<QPoint> spot = freeSpot(size, anchor, shown, available)) {
            return {*spot, size};
        }
    }
    // Nowhere free: where it hides the least, at full size inside the area.
    const QSize size = frame.boundedTo(available.size());
    std::vector<int> xs = {available.left(), available.right() + 1 - size.width(), beside.x()};
    std::vector<int> ys = {available.top(), available.bottom() + 1 - size.height(), beside.y()};
    for (const QRect& r : shown) {
        xs.insert(xs.end(), {r.left(), r.right() + 1 + kGap, r.left() - kGap - size.width()});
        ys.insert(ys.end(), {r.top(), r.bottom() + 1 + kGap, r.top() - kGap - size.height()});
    }
    QRect best(QPoint(clamped(beside.x(), available.left(), available.right() + 1 - size.width()),
                      clamped(beside.y(), available.top(), available.bottom() + 1 - size.height())),
               size);
    long long least = hidden(best, anchor, shown);
    for (const int y : ys) {
        for (const int x : xs) {
            const QRect placed(QPoint(x, y), size);
            if (!available.contains(placed)) {
                continue;
            }
            const long long h = hidden(placed, anchor, shown);
            if (h < least) {
                least = h;
                best = placed;
            }
        }
    }
    return best;
}

void placeAmongShownWindows(QWidget* window, QWidget* anchor) {
    std::vector<QRect> shown;
    QMargins margins;  // of a window the window manager has framed, for one not yet framed
    std::vector<const QWidget*> others;
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other != window && isOrdinaryWindow(other)) {
            others.push_back(other);
            const QMargins framed = marginsOf(other);
            if (!isStale(framed) && (margins.isNull() || other == anchor)) {
                margins = framed;
            }
        }
    }
    shown.reserve(others.size());
    for (const QWidget* other : others) {
        shown.push_back(isStale(marginsOf(other)) ? other->geometry().marginsAdded(margins)
                                                  : other->frameGeometry());
    }
    const bool placedBefore = window->property(kPlacedProperty).toBool();
    if (const QMargins own = marginsOf(window); placedBefore && !own.isNull() && !isStale(own)) {
        margins = own;
    }
    const QScreen* screen = anchor->isVisible() ? anchor->screen() : window->screen();
    if (screen == nullptr) {
        return;
    }
    const QRect available = screen->availableGeometry();
    const QRect frame = window->geometry().marginsAdded(margins);
    if (placedBefore && available.contains(frame) && !coversAny(frame, shown)) {
        return;
    }
    // Without the anchor on the screen, beside the first window shown, or at the area's corner.
    QRect near = anchor->isVisible()
                     ? anchor->frameGeometry()
                     : (shown.empty() ? QRect(available.topLeft(), QSize(1, 1)) : shown.front());
    const QSize smallest =
        window->minimumSizeHint().expandedTo(window->minimumSize()).grownBy(margins);
    const QRect placed = besideShownWindows(frame.size(), smallest, near, shown, available);
    if (placed.size() != frame.size()) {
        window->resize(placed.size().shrunkBy(margins));
    }
    window->move(placed.topLeft());
    window->setProperty(kPlacedProperty, true);
    window->setProperty(kPlacedAtProperty, placed.topLeft());
}

void keepBesideMainWindow(Services& services, QWidget* window, QWidget* main) {
    window->installEventFilter(new BesideMain(services, window, main));
}

}  // namespace lamivex::app
