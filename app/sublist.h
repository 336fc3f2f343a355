#pragma once
// The substrate picker: the names of the Substrate table in List1.

#include "app/picker_window.h"

namespace lamivex::app {

class Sublist : public PickerWindow {
    Q_OBJECT

  public:
    explicit Sublist(QWidget* parent = nullptr)
        : PickerWindow(QStringLiteral("Sublist"), QStringLiteral("List1"), parent) {}
};

}  // namespace lamivex::app
