#include "app/field_rules.h"

#include <cmath>
#include <string>

#include <QApplication>
#include <QFocusEvent>
#include <QTimer>

#include "app/services.h"
#include "engine/number_text.h"

namespace lamivex::app {
namespace {

const char* const kInvalidData = "Invalid data";

std::string utf8(const QString& text) {
    return text.toStdString();
}

// Focus that moves to a message box, a menu or another window does not leave the field
// in the user's sense: the field is still being edited when the focus comes back.
bool isWindowSwitch(Qt::FocusReason reason) {
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

// EntryValue as the text a refusal writes back: the value the field is read as, or the
// text itself where the rule remembers the text (or the text cannot be read).
QString entryValueOf(const QString& text, FieldRules::Rule rule) {
    using engine::Parsed;
    switch (rule) {
        case FieldRules::Rule::Single:
        case FieldRules::Rule::Angle:
        case FieldRules::Rule::UpperAngle: {
            const Parsed<float> value = engine::toSingle(utf8(text));
            return value.ok() ? QString::fromStdString(engine::formatSingle(value.value)) : text;
        }
        case FieldRules::Rule::Count: {
            const Parsed<int16_t> value = engine::toInt16(utf8(text));
            return value.ok() ? QString::number(value.value) : text;
        }
        case FieldRules::Rule::LowerAngle:
        case FieldRules::Rule::Name:
            break;
    }
    return text;
}

}  // namespace

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
    field->selectAll();
    if (reason == Qt::MouseFocusReason) {
        // The click that gave the focus places the cursor after this; select once it has.
        QTimer::singleShot(0, field, [field] {
            if (field->hasFocus()) {
                field->selectAll();
            }
        });
    }
    const Rule rule = m_rules.value(field);
    if (rule != Rule::Name) {
        m_entryValue = entryValueOf(field->text(), rule);
    }
}

void FieldRules::onLeft(EntryField* field, Qt::FocusReason reason) {
    if (isWindowSwitch(reason) || m_checking || m_current != field) {
        return;
    }
    m_current = nullptr;
    if (accepts(field->text(), m_rules.value(field))) {
        return;
    }
    m_checking = true;
    m_services.message(m_window, QString::fromLatin1(kInvalidData));
    m_checking = false;
    field->setText(m_entryValue);
    field->setFocus(Qt::OtherFocusReason);
    // Not every window system gives the activation back when the box closes.
    if (QApplication::activeWindow() == nullptr && m_window->isVisible()) {
        m_window->activateWindow();
    }
}

bool FieldRules::accepts(const QString& text, Rule rule) const {
    if (rule == Rule::Name) {
        return true;
    }
    const std::string value = utf8(text);
    if (!engine::isNumeric(value)) {
        return false;
    }
    if (rule == Rule::Count) {
        // A size the run cannot hold is refused here rather than at the next run.
        return engine::toInt16(value).ok();
    }
    const engine::Parsed<float> single = engine::toSingle(value);
    if (!single.ok()) {
        return false;
    }
    switch (rule) {
        case Rule::Angle:
            return std::fabs(single.value) < 360.0F;
        case Rule::UpperAngle: {
            if (m_lowerAngle == nullptr) {
                return true;
            }
            // A lower bound that cannot be read is the run's to refuse, not this field's.
            const engine::Parsed<float> lower = engine::toSingle(utf8(m_lowerAngle->text()));
            return !lower.ok() || lower.value <= single.value;
        }
        default:
            return true;
    }
}

}  // namespace lamivex::app
