#pragma once
// Where the windows that accompany the main window (progress, graph, Iteration, histogram,
// results, help, views) appear: beside it and beside each other, inside the screen's
// available area, never over its controls.

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

// Where a window of size frame goes among the windows shown (anchor, the window it belongs
// to, among them), as a frame: beside the anchor as besideMainWindow puts it when that covers
// none of them; else the free spot inside the available area nearest the anchor, beside or
// below a shown window or in a corner, at full size or, where none has room, made smaller
// (not below smallest); when nothing is free, at full size where it hides the least, the
// anchor and title bars above all.
[[nodiscard]] QRect besideShownWindows(const QSize& frame, const QSize& smallest,
                                       const QRect& anchor, std::span<const QRect> shown,
                                       const QRect& available);

// Moves window, about to be shown, to besideShownWindows among the visible windows of the
// program, in frames as the window manager draws them; a window shown before stays where it
// is while it covers no other and lies on the screen.
void placeAmongShownWindows(QWidget* window, QWidget* anchor);

class Services;

// Has the services place window beside main each time it is shown.
void keepBesideMainWindow(Services& services, QWidget* window, QWidget* main);

}  // namespace lamivex::app
