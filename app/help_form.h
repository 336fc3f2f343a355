#pragma once
// The help window: where the step-by-step instructions are found.

#include <QWidget>

namespace lamivex::app {

class HelpForm : public QWidget {
    Q_OBJECT

  public:
    explicit HelpForm(QWidget* parent = nullptr);

    // The instructions' address: the installed README when it is there, else the file's
    // place in the source tree.
    [[nodiscard]] static QString instructionsAddress();
};

}  // namespace lamivex::app
