#pragma once
// The overlayer picker: the names of the Overlayer table in List2.

#include "app/picker_window.h"

namespace lamivex::app {

class Overlist : public PickerWindow {
    Q_OBJECT

  public:
    explicit Overlist(QWidget* parent = nullptr)
        : PickerWindow(QStringLiteral("Overlist"), QStringLiteral("List2"), parent) {}
};

}  // namespace lamivex::app
