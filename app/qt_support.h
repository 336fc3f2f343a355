#pragma once
// Small helpers every window shares: text between the libraries (UTF-8) and Qt, the busy
// pointer for as long as a piece of work lasts, and the focus habits of the entry fields.

#include <string>
#include <string_view>

#include <QLineEdit>
#include <QString>
#include <QTimer>

#include "app/services.h"

namespace lamivex::app {

[[nodiscard]] inline QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
[[nodiscard]] inline std::string utf8(const QString& text) {
    return text.toStdString();
}

// Focus that moves to a message box, a menu or another window does not leave the field in
// the user's sense: the field is still being edited when the focus comes back.
[[nodiscard]] inline bool isWindowSwitch(Qt::FocusReason reason) {
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

// A field entered selects its whole text, so that typing replaces it.
inline void selectWholeText(QLineEdit* field, Qt::FocusReason reason) {
    field->selectAll();
    if (reason == Qt::MouseFocusReason) {
        // The click that gave the focus places the cursor after this; select once it has.
        QTimer::singleShot(0, field, [field] {
            if (field->hasFocus()) {
                field->selectAll();
            }
        });
    }
}

// The hourglass for as long as the work lasts, however it ends, and no longer: release()
// before a message or a question, which are read with the normal pointer.
class BusyPointer {
  public:
    explicit BusyPointer(Services& services) : m_services(services) { m_services.setBusy(true); }
    ~BusyPointer() { release(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
    void release() {
        if (m_on) {
            m_on = false;
            m_services.setBusy(false);
        }
    }

  private:
    Services& m_services;
    bool m_on = true;
};

}  // namespace lamivex::app
