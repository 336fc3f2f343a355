#pragma once
// Keyboard conduct shared by the windows: what Escape and Enter do when no control has
// used them, and access keys (Alt+letter) that leave the field being edited the way a
// click would, so that the field's own check runs before the command.

#include <functional>

#include <QObject>
#include <QPointer>

class QPushButton;
class QWidget;

namespace lamivex::app {

// Watches the key presses that reach a window unused by its controls.
class WindowKeys : public QObject {
    Q_OBJECT

  public:
    // Installs itself on window and lives as its child.
    explicit WindowKeys(QWidget* window);

    // Escape runs this.
    void setEscape(std::function<void()> action) { m_escape = std::move(action); }
    // With a default button, Enter presses the push button that has the focus, else this
    // one; without, Enter is left to the controls.
    void setDefaultButton(QPushButton* button);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* m_window;
    std::function<void()> m_escape;
    QPointer<QPushButton> m_default;
};

// Makes every button of window with an access key take the focus before it acts on that
// key: the field being left checks itself, and a refusal (the field keeping the focus)
// cancels the command. Covers the buttons that exist when it is called.
void checkFieldsBeforeAccessKeys(QWidget* window);

// Tab stops at the chosen option of each group of options in window, not at the group's
// first, so that the arrow keys go on from the choice the user sees.
void tabToCheckedOptions(QWidget* window);

}  // namespace lamivex::app
