#pragma once
// Services for tests: records every message and question, answers questions and file
// dialogs from a queued script, and never blocks.

#include <deque>
#include <functional>
#include <vector>

#include "app/services.h"

namespace lamivex::app {

class ScriptedServices : public Services {
  public:
    struct Placement {
        QWidget* window;
        bool above;
    };

    void message(QWidget* parent, const QString& text) override;
    Answer question(QWidget* parent, const QString& text, Answer defaultAnswer) override;
    // Answered from the queue of queueText; cancelled when it is empty.
    std::optional<QString> textInput(QWidget* parent, const QString& title, const QString& label,
                                     const QString& initial) override;
    // Answered from the queue of queueFigure; the initial size when it is empty.
    std::optional<FigureRequest> figureSize(QWidget* parent, const FigureRequest& initial) override;
    QString openFileName(QWidget* parent, const FileDialogRequest& request) override;
    QString saveFileName(QWidget* parent, const FileDialogRequest& request) override;
    QPrinter* printer() override { return m_printer; }
    void setBusy(bool busy) override;
    void keepAbove(QWidget* window, bool above) override;
    // Places the window for real, as on a desktop, and records it.
    void placeBeside(QWidget* window, QWidget* anchor) override;
    // Delivers the events for real, then runs the hook with the number of calls so far.
    void deliverPendingEvents() override;

    // Script.
    void queueAnswer(Answer answer) { m_answers.push_back(answer); }
    // An empty name answers the dialog as cancelled.
    void queueFileName(const QString& name) { m_fileNames.push_back(name); }
    void queueText(const QString& text) { m_texts.push_back(text); }
    // nullopt answers the figure dialog as cancelled.
    void queueFigure(std::optional<FigureRequest> figure) { m_figures.push_back(figure); }
    void setPrinter(QPrinter* printer) { m_printer = printer; }
    void setDeliverHook(std::function<void(int call)> hook) { m_deliverHook = std::move(hook); }

    // What the windows asked for.
    [[nodiscard]] const QStringList& messages() const { return m_messages; }
    [[nodiscard]] const QStringList& questions() const { return m_questions; }
    // The answer Enter would have given to each question, in order.
    [[nodiscard]] const std::vector<Answer>& questionDefaults() const { return m_questionDefaults; }
    [[nodiscard]] const std::vector<FileDialogRequest>& dialogs() const { return m_dialogs; }
    // What each figure dialog offered.
    [[nodiscard]] const std::vector<FigureRequest>& figureDialogs() const {
        return m_figureDialogs;
    }
    [[nodiscard]] const std::vector<Placement>& placements() const { return m_placements; }
    // The windows placed beside another, in order.
    [[nodiscard]] const std::vector<QWidget*>& placedBeside() const { return m_placedBeside; }
    [[nodiscard]] int busyDepth() const { return m_busyDepth; }
    [[nodiscard]] int busyCalls() const { return m_busyCalls; }
    [[nodiscard]] int deliverCalls() const { return m_deliverCalls; }
    // Questions and dialogs the script had no answer for (answered No / cancelled).
    [[nodiscard]] int unscripted() const { return m_unscripted; }
    void clearRecord();

  private:
    QString nextFileName(const FileDialogRequest& request);

    QStringList m_messages;
    QStringList m_questions;
    std::vector<Answer> m_questionDefaults;
    std::vector<FileDialogRequest> m_dialogs;
    std::vector<Placement> m_placements;
    std::vector<QWidget*> m_placedBeside;
    std::deque<Answer> m_answers;
    std::deque<QString> m_fileNames;
    std::deque<QString> m_texts;
    std::deque<std::optional<FigureRequest>> m_figures;
    std::vector<FigureRequest> m_figureDialogs;
    std::function<void(int)> m_deliverHook;
    QPrinter* m_printer = nullptr;
    int m_busyDepth = 0;
    int m_busyCalls = 0;
    int m_deliverCalls = 0;
    int m_unscripted = 0;
};

}  // namespace lamivex::app
