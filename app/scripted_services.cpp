#include "app/scripted_services.h"

#include <QCoreApplication>

#include "app/window_placement.h"

namespace lamivex::app {

void ScriptedServices::message(QWidget*, const QString& text) {
    m_messages << text;
}

Answer ScriptedServices::question(QWidget*, const QString& text, Answer defaultAnswer) {
    m_questions << text;
    m_questionDefaults.push_back(defaultAnswer);
    if (m_answers.empty()) {
        ++m_unscripted;
        return Answer::No;
    }
    const Answer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

std::optional<QString> ScriptedServices::textInput(QWidget*, const QString&, const QString&,
                                                   const QString&) {
    if (m_texts.empty()) {
        ++m_unscripted;
        return std::nullopt;
    }
    QString text = m_texts.front();
    m_texts.pop_front();
    return text;
}

QString ScriptedServices::nextFileName(const FileDialogRequest& request) {
    m_dialogs.push_back(request);
    if (m_fileNames.empty()) {
        ++m_unscripted;
        return {};
    }
    QString name = m_fileNames.front();
    m_fileNames.pop_front();
    return name;
}

std::optional<FigureRequest> ScriptedServices::figureSize(QWidget*, const FigureRequest& initial) {
    m_figureDialogs.push_back(initial);
    if (m_figures.empty()) {
        return initial;
    }
    std::optional<FigureRequest> answer = m_figures.front();
    m_figures.pop_front();
    return answer;
}

QString ScriptedServices::openFileName(QWidget*, const FileDialogRequest& request) {
    return nextFileName(request);
}

QString ScriptedServices::saveFileName(QWidget*, const FileDialogRequest& request) {
    return nextFileName(request);
}

void ScriptedServices::setBusy(bool busy) {
    ++m_busyCalls;
    if (busy) {
        ++m_busyDepth;
    } else if (m_busyDepth > 0) {
        --m_busyDepth;
    }
}

void ScriptedServices::keepAbove(QWidget* window, bool above) {
    m_placements.push_back({window, above});
}

void ScriptedServices::placeBeside(QWidget* window, QWidget* anchor) {
    m_placedBeside.push_back(window);
    placeAmongShownWindows(window, anchor);
}

void ScriptedServices::deliverPendingEvents() {
    QCoreApplication::processEvents();
    ++m_deliverCalls;
    if (m_deliverHook) {
        m_deliverHook(m_deliverCalls);
    }
}

void ScriptedServices::clearRecord() {
    m_messages.clear();
    m_questions.clear();
    m_questionDefaults.clear();
    m_dialogs.clear();
    m_placements.clear();
    m_placedBeside.clear();
    m_busyCalls = 0;
    m_deliverCalls = 0;
    m_unscripted = 0;
}

}  // namespace lamivex::app
