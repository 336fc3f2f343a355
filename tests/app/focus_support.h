#pragma once
// What a message box or a popup does to the field being edited: the focus goes and comes
// back with a reason that must not count as the user leaving the field.

#include <QApplication>
#include <QFocusEvent>
#include <QWidget>

namespace lamivex::app::test {

inline void focusTakenAndGivenBack(QWidget* field) {
    for (const Qt::FocusReason reason : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(field, &out);
        QFocusEvent in(QEvent::FocusIn, reason);
        QApplication::sendEvent(field, &in);
    }
}

}  // namespace lamivex::app::test
