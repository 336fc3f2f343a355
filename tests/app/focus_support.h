#pragma once
// What a message box or a popup does to the field being edited: the focus goes and comes
// back with a reason that must not count as the user leaving the field; and captions as shown.

#include <QApplication>
#include <QFocusEvent>
#include <QString>
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

// A caption as the user reads it: the access-key marker "&" removed ("&&" shows one "&").
inline QString shownCaption(const QString& caption) {
    QString shown;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && ++i == caption.size()) {
            break;
        }
        shown += caption[i];
    }
    return shown;
}

}  // namespace lamivex::app::test
