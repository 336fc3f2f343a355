#include "app/shell.h"

#include <QApplication>

#include "app/help_form.h"
#include "app/main_form.h"
#include "app/menu_form.h"
#include "app/str_anal.h"
#include "app/window_placement.h"

namespace lamivex::app {

Shell::Shell(Services& services, QObject* parent)
    : QObject(parent), m_services(services), m_menu(std::make_unique<MenuForm>()) {
    connect(m_menu.get(), &MenuForm::lamivexRequested, this, &Shell::showMainForm);
    connect(m_menu.get(), &MenuForm::exitRequested, this, &Shell::quit);
    m_menu->setVantrellAction([this] { openStrAnal(m_services, m_menu.get()); });
}

Shell::~Shell() = default;

void Shell::start() {
    m_menu->show();
}

MainForm& Shell::mainForm() {
    if (!m_main) {
        m_main = std::make_unique<MainForm>(m_state, m_services);
        connect(m_main.get(), &MainForm::exitRequested, this, &Shell::showMenu);
        connect(m_main.get(), &MainForm::quitRequested, this, &Shell::quit);
        connect(m_main.get(), &MainForm::helpRequested, this, &Shell::showHelp);
    }
    return *m_main;
}

HelpForm& Shell::helpForm() {
    if (!m_help) {
        m_help = std::make_unique<HelpForm>();
        keepBesideMainWindow(m_services, m_help.get(), &mainForm());
    }
    return *m_help;
}

void Shell::showMainForm() {
    m_menu->hide();
    MainForm& main = mainForm();
    main.show();
    main.raise();
    main.activateWindow();
}

void Shell::showMenu() {
    m_menu->show();
}

void Shell::showHelp() {
    HelpForm& help = helpForm();
    help.show();
    help.raise();
    help.activateWindow();
}

void Shell::quit() {
    m_state.AbortRequested = true;
    // exit(), not quit(): quit() asks every window to close first, and the main window
    // answers a close by going back to the start-up menu.
    QCoreApplication::exit(0);
}

void Shell::bringToFront() {
    QWidget* window = QApplication::activeModalWidget();
    if (window == nullptr) {
        window = (m_main && m_main->isVisible()) ? static_cast<QWidget*>(m_main.get())
                                                 : static_cast<QWidget*>(m_menu.get());
    }
    if (!window->isVisible() || window->isMinimized()) {
        window->showNormal();
    }
    window->raise();
    window->activateWindow();
    emit broughtToFront(window->objectName());
}

}  // namespace lamivex::app
