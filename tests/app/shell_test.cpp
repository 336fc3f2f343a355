// The start-up menu, the ways between it and the main window, help and quitting.

#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "app/help_form.h"
#include "app/menu_form.h"
#include "app/rotation_done.h"
#include "app/shell.h"
#include "tests/app/test_suites.h"

namespace lamivex::app::test {
namespace {

// Presses a toolbar button of the menu with the mouse, as the user does.
void press(MenuForm& menu, const char* key) {
    QWidget* button = menu.toolbar()->widgetForAction(menu.button(QString::fromLatin1(key)));
    QVERIFY(button != nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

QLineEdit* field(MainForm& main, const char* name) {
    return main.findChild<QLineEdit*>(QString::fromLatin1(name));
}

class ShellTest : public QObject {
    Q_OBJECT

  private slots:
    void menuToolbarCarriesKeysAndTooltips();
    void vantrellIsAvailableOnceAttached();
    void exitAndLamivexKeepFieldsAndResults();
    void helpShowsWhereTheInstructionsAre();
    void quitDuringARunStopsAfterThePass();
    void quitEndsTheProgram();
};

void ShellTest::menuToolbarCarriesKeysAndTooltips() {
    ScriptedServices services;
    Shell shell(services);
    shell.start();
    MenuForm& menu = shell.menuForm();
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
    QCOMPARE(menu.windowTitle(), QStringLiteral("Lamivex / Vantrell"));
    QCOMPARE(menu.toolbar()->objectName(), QStringLiteral("Toolbar1"));
    const QList<std::pair<const char*, const char*>> buttons = {
        {"Lamivex", "Click to access Lamivex"},
        {"Vantrell", "Click to access Vantrell"},
        {"Exit", "Click to Exit"},
    };
    for (const auto& [key, tip] : buttons) {
        QAction* action = menu.button(QString::fromLatin1(key));
        QVERIFY2(action != nullptr, key);
        QCOMPARE(action->data().toString(), QString::fromLatin1(key));
        QCOMPARE(action->toolTip(), QString::fromLatin1(tip));
        QVERIFY(!action->icon().isNull());
    }
    QVERIFY(!shell.hasMainForm());
}

void ShellTest::vantrellIsAvailableOnceAttached() {
    MenuForm menu;
    menu.show();
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
    QVERIFY(!menu.button(QStringLiteral("Vantrell"))->isEnabled());
    int opened = 0;
    menu.setVantrellAction([&opened] { ++opened; });
    QVERIFY(menu.button(QStringLiteral("Vantrell"))->isEnabled());
    press(menu, "Vantrell");
    QCOMPARE(opened, 1);
    QVERIFY(menu.isVisible());
}

void ShellTest::exitAndLamivexKeepFieldsAndResults() {
    ScriptedServices services;
    Shell shell(services);
    shell.start();
    MenuForm& menu = shell.menuForm();
    QVERIFY(QTest::qWaitForWindowExposed(&menu));

    press(menu, "Lamivex");
    QVERIFY(!menu.isVisible());
    MainForm& main = shell.mainForm();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QLineEdit* b2 = field(main, "b2");
    QTest::mouseClick(b2, Qt::LeftButton);
    QApplication::processEvents();
    QTest::keyClicks(b2, QStringLiteral("12.5"));
    QTest::keyClick(b2, Qt::Key_Tab);
    QTest::mouseClick(main.controls().Calculate, Qt::LeftButton);
    const QString vvo = main.controls().VVo->text();
    const QString angle = main.controls().Angleanswer->text();
    QVERIFY(!vvo.isEmpty());

    // The menu item first, then the button: both go back to the menu.
    main.controls().mnuExit->trigger();
    QVERIFY(!main.isVisible());
    QVERIFY(menu.isVisible());
    press(menu, "Lamivex");
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QCOMPARE(&shell.mainForm(), &main);
    QCOMPARE(field(main, "b2")->text(), QStringLiteral("12.5"));
    QCOMPARE(main.controls().VVo->text(), vvo);
    QCOMPARE(main.controls().Angleanswer->text(), angle);
    QVERIFY(main.controls().Command1->isEnabled());

    QTest::mouseClick(main.controls().Exit, Qt::LeftButton);
    QVERIFY(!main.isVisible());
    QVERIFY(menu.isVisible());
    QCOMPARE(shell.state().OverlayerLattice.b2, 12.5F);
    QVERIFY(services.messages().isEmpty());
}

void ShellTest::helpShowsWhereTheInstructionsAre() {
    ScriptedServices services;
    Shell shell(services);
    shell.showMainForm();
    shell.mainForm().controls().mnuContents->trigger();
    HelpForm& help = shell.helpForm();
    QVERIFY(help.isVisible());
    QCOMPARE(help.objectName(), QStringLiteral("frmHelp"));
    QCOMPARE(help.windowTitle(), QStringLiteral("Help"));
    QStringList texts;
    for (const QLabel* label : help.findChildren<QLabel*>()) {
        texts << label->text();
    }
    QVERIFY(texts.contains(QStringLiteral("Step-by-step instructions for generating")));
    QVERIFY(texts.contains(QStringLiteral("results with this program are provided at")));
    QVERIFY(texts.contains(HelpForm::instructionsAddress()));
}

void ShellTest::quitDuringARunStopsAfterThePass() {
    ScriptedServices services;
    Shell shell(services);
    shell.showMainForm();
    MainForm& main = shell.mainForm();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    main.controls().chkgeo->setChecked(true);
    services.setDeliverHook([&](int call) {
        if (call == 1) {
            main.controls().mnuQuit->trigger();
        }
    });
    QTest::mouseClick(main.controls().Calculate, Qt::LeftButton);
    QCOMPARE(services.deliverCalls(), 1);
    QVERIFY(main.controls().VVo->text().isEmpty());
}

void ShellTest::quitEndsTheProgram() {
    ScriptedServices services;
    Shell shell(services);
    shell.showMainForm();
    MainForm& main = shell.mainForm();
    const std::function<void()> ways[] = {
        [&] { main.controls().mnuQuit->trigger(); },
        [&] { shell.menuForm().button(QStringLiteral("Exit"))->trigger(); },
    };
    for (const auto& quit : ways) {
        QTimer::singleShot(0, &main, quit);
        // Should the program go on, this ends the loop with another code.
        QTimer::singleShot(3000, &main, [] { QCoreApplication::exit(1); });
        QCOMPARE(QApplication::exec(), 0);
    }
}

}  // namespace

int runShellTests(int argc, char** argv) {
    ShellTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace lamivex::app::test

#include "shell_test.moc"
