#include "app/window_keys.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

namespace lamivex::app {
namespace {

bool isEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// One filter for the guarded buttons of a window, living as the window's child.
class AccessKeyFocus : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Shortcut) {
            return false;
        }
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (button == nullptr || button->focusPolicy() == Qt::NoFocus) {
            return false;
        }
        button->setFocus(Qt::ShortcutFocusReason);
        // A field that refused its text has taken the focus back: the command waits.
        return button->window()->focusWidget() != button;
    }
};

}  // namespace

WindowKeys::WindowKeys(QWidget* window) : QObject(window), m_window(window) {
    window->installEventFilter(this);
}

void WindowKeys::setDefaultButton(QPushButton* button) {
    m_default = button;
}

bool WindowKeys::eventFilter(QObject* watched, QEvent* event) {
    // A key press reaches the window only when the control with the focus passed it on.
    if (watched != m_window || event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier) {
        return false;
    }
    if (key->key() == Qt::Key_Escape && m_escape) {
        m_escape();
        return true;
    }
    // Enter is only taken in windows that have a default button.
    if (isEnter(key->key()) && m_default != nullptr) {
        auto* focused = qobject_cast<QPushButton*>(m_window->focusWidget());
        QPushButton* target = focused != nullptr ? focused : m_default.data();
        if (target != nullptr && target->isVisible() && target->isEnabled()) {
            target->click();
            return true;
        }
    }
    return false;
}

void checkFieldsBeforeAccessKeys(QWidget* window) {
    auto* filter = new AccessKeyFocus(window);
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (!QKeySequence::mnemonic(button->text()).isEmpty()) {
            button->installEventFilter(filter);
        }
    }
}

void tabToCheckedOptions(QWidget* window) {
    for (QRadioButton* option : window->findChildren<QRadioButton*>()) {
        const auto becomeTabStop = [option] {
            const QWidget* group = option->parentWidget();
            for (QRadioButton* other :
                 group->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly)) {
                const Qt::FocusPolicy policy = other->focusPolicy();
                other->setFocusPolicy(other == option ? Qt::FocusPolicy(policy | Qt::TabFocus)
                                                      : Qt::FocusPolicy(policy & ~Qt::TabFocus));
            }
        };
        QObject::connect(option, &QRadioButton::toggled, option, [becomeTabStop](bool checked) {
            if (checked) {
                becomeTabStop();
            }
        });
        if (option->isChecked()) {
            becomeTabStop();
        }
    }
}

}  // namespace lamivex::app
