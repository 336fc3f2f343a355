#include "app/field_rules.h"

#include <string>

#include <QApplication>
#include <QFocusEvent>
#include <QTimer>

#include "app/qt_support.h"
#include "app/services.h"

namespace lamivex::app {
EntryField::EntryField(const QString& objectName, QWidget* parent) : QLineEdit(parent) {
    setObjectName(objectName);
}

void EntryField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    emit entered(event->reason());
}

void EntryField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    emit left(event->reason());
}

FieldRules::FieldRules(Services& services, QWidget* window)
    : QObject(window), m_services(services), m_window(window) {}

void FieldRules::add(EntryField* field, Rule rule) {
    m_rules.insert(field, rule);
    connect(field, &EntryField::entered, this,
            [this, field](Qt::FocusReason reason) { onEntered(field, reason); });
    connect(field, &EntryField::left, this,
            [this, field](Qt::FocusReason reason) { onLeft(field, reason); });
}

void FieldRules::onEntered(EntryField* field, Qt::FocusReason reason) {
    // Focus handed around while a refusal's message is up is not an entry; neither is the
    // focus coming back to the field the user was in. The first focus a window gives is.
    if (m_checking || (isWindowSwitch(reason) && m_current != nullptr)) {
        return;
    }
    m_current = field;
    selectWholeText(field, reason);
    const Rule rule = m_rules.value(field);
    if (rule != Rule::Name) {
        m_entryValue = qs(numbers::entryValueOf(rule, utf8(field->text())));
    }
}

void FieldRules::onLeft(EntryField* field, Qt::FocusReason reason) {
    if (isWindowSwitch(reason) || m_checking || m_current != field) {
        return;
    }
    m_current = nullptr;
    const QString lower = m_lowerAngle != nullptr ? m_lowerAngle->text() : QString();
    if (numbers::checkEntry(m_rules.value(field), utf8(field->text()), utf8(lower)).accepted) {
        return;
    }
    m_checking = true;
    m_services.message(m_window,
                       QString::fromUtf8(numbers::kInvalidData.data(),
                                         static_cast<qsizetype>(numbers::kInvalidData.size())));
    m_checking = false;
    field->setText(m_entryValue);
    field->setFocus(Qt::OtherFocusReason);
    // Not every window system gives the activation back when the box closes.
    if (QApplication::activeWindow() == nullptr && m_window->isVisible()) {
        m_window->activateWindow();
    }
}

}  // namespace lamivex::app
