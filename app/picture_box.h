#pragma once
// A picture box: keeps what has been drawn on it, one display list over the other, until
// it is cleared, and paints that on a white ground at whatever size it has.

#include <optional>

#include <QWidget>

#include "output/display_list.h"

namespace lamivex::app {

class PictureBox : public QWidget {
    Q_OBJECT

  public:
    explicit PictureBox(QWidget* parent = nullptr);

    // Draws list over what the picture shows. Drawing the same list again changes
    // nothing, so an unchanged redraw leaves the picture as it was.
    void draw(const output::DisplayList& list);
    void clear();
    // Drawn above the layers and kept apart from them (a marker); nullopt takes it away.
    void setOverlay(std::optional<output::DisplayList> overlay);
    [[nodiscard]] const std::optional<output::DisplayList>& overlay() const { return m_overlay; }

    // What the picture shows, bottom to top.
    [[nodiscard]] const std::vector<output::DisplayList>& layers() const { return m_layers; }

    [[nodiscard]] QSize sizeHint() const override;

    // Where a point of the widget lies in the coordinates of the top layer.
    [[nodiscard]] output::Point toPicture(QPointF position) const;

  signals:
    // A left click on a drawn picture, in the coordinates of its top layer.
    void clickedAt(output::Point point);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    std::vector<output::DisplayList> m_layers;
    std::optional<output::DisplayList> m_overlay;
};

// Item for item the same drawing.
[[nodiscard]] bool sameDrawing(const output::DisplayList& a, const output::DisplayList& b);

}  // namespace lamivex::app
