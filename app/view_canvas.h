#pragma once
// The picture of a view window: one display list drawn with the same scale both ways on a
// white ground, and the mouse wheel asking for more or less of it.

#include <QWidget>

#include "output/display_list.h"

namespace lamivex::app {

class ViewCanvas : public QWidget {
    Q_OBJECT

  public:
    explicit ViewCanvas(QWidget* parent = nullptr);

    void show(output::DisplayList picture);
    [[nodiscard]] const output::DisplayList& picture() const { return m_picture; }
    [[nodiscard]] QSize sizeHint() const override { return {460, 400}; }

  signals:
    // Wheel forward: zoom in by factor (above 1); backward: out (below 1).
    void zoomBy(double factor);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    output::DisplayList m_picture;
};

// The zoom after one wheel step: from 1 (everything) to kMaxViewZoom, as far as a large
// domain's real-space picture opens zoomed in and beyond.
inline constexpr double kMaxViewZoom = 1000;
[[nodiscard]] double zoomedBy(double zoom, double factor);

}  // namespace lamivex::app
