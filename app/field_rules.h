#pragma once
// The entry rules of the main window's fields. On entry a field selects its whole text and
// remembers its value in EntryValue (one value shared by all fields); on leaving it checks
// its text, and a refused text brings the message "Invalid data", the remembered value
// back and the focus back to the field.

#include <QHash>
#include <QLineEdit>
#include <QPointer>

#include "engine/field_rules.h"

namespace lamivex::app {

class Services;

// A text field that reports entry and leaving after Qt has finished its own focus work,
// so that a rule may move the focus back.
class EntryField : public QLineEdit {
    Q_OBJECT

  public:
    explicit EntryField(const QString& objectName, QWidget* parent = nullptr);

  signals:
    void entered(Qt::FocusReason reason);
    void left(Qt::FocusReason reason);

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

class FieldRules : public QObject {
    Q_OBJECT

  public:
    using Rule = numbers::EntryRule;

    FieldRules(Services& services, QWidget* window);

    void add(EntryField* field, Rule rule);
    // The field the upper-angle rule compares with.
    void setLowerAngleField(QLineEdit* field) { m_lowerAngle = field; }

    // The value remembered on the last entry, as the text a refusal writes back.
    [[nodiscard]] const QString& entryValue() const { return m_entryValue; }

  private:
    void onEntered(EntryField* field, Qt::FocusReason reason);
    void onLeft(EntryField* field, Qt::FocusReason reason);

    Services& m_services;
    QWidget* m_window;
    QLineEdit* m_lowerAngle = nullptr;
    QHash<EntryField*, Rule> m_rules;
    QString m_entryValue;
    // The field the user is in: a field is only checked when it leaves after an entry, so
    // focus moves caused by the check itself are not checked again.
    QPointer<EntryField> m_current;
    bool m_checking = false;
};

}  // namespace lamivex::app
