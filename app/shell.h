#pragma once
// The program's windows and how they hand over to each other: the start-up menu, the
// main window (created the first time Lamivex is chosen) and the help window.

#include <memory>

#include <QObject>

#include "app/app_state.h"

namespace lamivex::app {

class HelpForm;
class MainForm;
class MenuForm;
class Services;

class Shell : public QObject {
    Q_OBJECT

  public:
    explicit Shell(Services& services, QObject* parent = nullptr);
    ~Shell() override;

    void start();  // shows the start-up menu

    [[nodiscard]] AppState& state() { return m_state; }
    [[nodiscard]] MenuForm& menuForm() const { return *m_menu; }
    // Created and loaded on first use.
    [[nodiscard]] MainForm& mainForm();
    [[nodiscard]] HelpForm& helpForm();
    [[nodiscard]] bool hasMainForm() const { return m_main != nullptr; }

  public slots:
    void showMainForm();
    void showMenu();
    void showHelp();
    // Ends the program at once; a run between passes stops at its next pass.
    void quit();
    // A second copy was started: this copy's window comes to the front.
    void bringToFront();

  signals:
    // The window brought to the front (its object name), for whoever watches.
    void broughtToFront(const QString& window);

  private:
    Services& m_services;
    AppState m_state;
    std::unique_ptr<MenuForm> m_menu;
    std::unique_ptr<MainForm> m_main;
    std::unique_ptr<HelpForm> m_help;
};

}  // namespace lamivex::app
