#pragma once
// A shape laid over an image toggle that shows whether the toggle's window is shown:
// fill style 1 is transparent, fill style 7 draws a diagonal cross-hatch over it.

#include <QWidget>

namespace lamivex::app {

class CoverShape : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int fillStyle READ fillStyle WRITE setFillStyle)

  public:
    static constexpr int kTransparent = 1;
    static constexpr int kCrossHatched = 7;

    // Covers target and follows its size; clicks pass through to it.
    explicit CoverShape(QWidget* target);

    [[nodiscard]] int fillStyle() const { return m_fillStyle; }
    void setFillStyle(int style);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    QWidget* m_target;
    int m_fillStyle = kTransparent;
};

}  // namespace lamivex::app
