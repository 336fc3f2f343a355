#pragma once
// The services on a real desktop: Qt's message boxes, file dialogs and printer.

#include <memory>

#include "app/services.h"

namespace lamivex::app {

class QtServices : public Services {
  public:
    QtServices();
    ~QtServices() override;

    void message(QWidget* parent, const QString& text) override;
    Answer question(QWidget* parent, const QString& text, Answer defaultAnswer) override;
    std::optional<FigureRequest> figureSize(QWidget* parent, const FigureRequest& initial) override;
    std::optional<QString> textInput(QWidget* parent, const QString& title, const QString& label,
                                     const QString& initial) override;
    QString openFileName(QWidget* parent, const FileDialogRequest& request) override;
    QString saveFileName(QWidget* parent, const FileDialogRequest& request) override;
    QPrinter* printer() override;
    void setBusy(bool busy) override;
    void keepAbove(QWidget* window, bool above) override;
    void placeBeside(QWidget* window, QWidget* anchor) override;
    void deliverPendingEvents() override;

  private:
    std::unique_ptr<QPrinter> m_printer;
    int m_busyDepth = 0;
};

}  // namespace lamivex::app
