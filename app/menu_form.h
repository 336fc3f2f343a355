#pragma once
// The start-up menu: a toolbar with the ways into the epitaxy calculator (Lamivex), the
// crystal tool set (Vantrell) and out of the program.

#include <functional>

#include <QWidget>

class QToolBar;
class QAction;

namespace lamivex::app {

class MenuForm : public QWidget {
    Q_OBJECT

  public:
    explicit MenuForm(QWidget* parent = nullptr);

    // The Vantrell button opens the crystal window through this; without it the button
    // stays disabled.
    void setVantrellAction(std::function<void()> open);

    [[nodiscard]] QToolBar* toolbar() const { return m_toolbar; }
    // The toolbar button of a key ("Lamivex", "Vantrell", "Exit").
    [[nodiscard]] QAction* button(const QString& key) const;

  signals:
    void lamivexRequested();
    void exitRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buttonClicked(const QString& key);

    QToolBar* m_toolbar;
    std::function<void()> m_openVantrell;
};

}  // namespace lamivex::app
