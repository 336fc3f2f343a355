#pragma once
// Where the windows that accompany the main window (progress, graph, Iteration, histogram,
// help) appear: beside it, inside the screen's available area, never over its controls.

#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <span>

class QWidget;

namespace lamivex::app {

// The top-left corner of a window frame of size frame beside the main window's frame: to
// its right, else its left, else below, else above, each moved along the main window's side
// to fit the available area; when none fits, the one of those spots or of the area's
// corners that covers the least of the main window.
[[nodiscard]] QPoint besideMainWindow(const QRect& mainFrame, const QSize& frame,
                                      const QRect& available);

// The top-left corner for the main window when it first opens: the main window and a
// companion of width companionWidth side by side, centred in the available area as a pair
// when they fit, else the main window at the area's left; centred vertically.
[[nodiscard]] QPoint mainWindowCorner(const QSize& mainFrame, int companionWidth,
                                      const QRect& available);

// Where a window of frame, placed beside the main window, covers the fewest of the other
// companions already open (others) and of the main window: where it is, or moved below or
// to the side of one of the others, inside the available area.
[[nodiscard]] QPoint clearOfOthers(const QRect& frame, std::span<const QRect> others,
                                   const QRect& mainFrame, const QRect& available);

// Places window beside main each time it is shown over main's frame (or for the first
// time); a window the user has moved elsewhere stays where it is.
void keepBesideMainWindow(QWidget* window, QWidget* main);

}  // namespace lamivex::app
