#pragma once
// The test classes of app_tests and what they share: a loaded, active main window driven
// through scripted services.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "app/app_state.h"
#include "app/main_form.h"
#include "app/scripted_services.h"

namespace lamivex::app::test {

int runFieldRulesTests(int argc, char** argv);
int runCalculateTests(int argc, char** argv);
int runShellTests(int argc, char** argv);
int runInstanceGuardTests(int argc, char** argv);
int runStructureDatabaseTests(int argc, char** argv);
int runEpigraphTests(int argc, char** argv);
int runReportCommandsTests(int argc, char** argv);
int runStrAnalTests(int argc, char** argv);
int runIterationTests(int argc, char** argv);
int runHelpFormTests(int argc, char** argv);
int runKeyboardTests(int argc, char** argv);
int runEntryRulesAgreementTests(int argc, char** argv);
int runWindowPlacementTests(int argc, char** argv);
int runViewsTests(int argc, char** argv);
int runViewsOfRunsTests(int argc, char** argv);
int runScreenSubstratesTests(int argc, char** argv);
int runBuildModelWindowTests(int argc, char** argv);
int runLeedFitWindowTests(int argc, char** argv);

// A main window as the user meets it: shown, active, nothing typed yet.
struct MainFormRig {
    ScriptedServices services;
    AppState state;
    MainForm form{state, services};

    // False when the window system never made the window active.
    [[nodiscard]] bool show() {
        form.show();
        form.activateWindow();
        return QTest::qWaitForWindowActive(&form);
    }
    template <typename T>
    [[nodiscard]] T* find(const char* name) const {
        return form.findChild<T*>(QString::fromLatin1(name));
    }
    [[nodiscard]] QLineEdit* field(const char* name) const { return find<QLineEdit>(name); }
    [[nodiscard]] QString text(const char* name) const {
        const QLineEdit* f = field(name);
        return f != nullptr ? f->text() : QStringLiteral("<no field %1>").arg(name);
    }
    [[nodiscard]] QString label(const char* name) const {
        const auto* l = find<QLabel>(name);
        return l != nullptr ? l->text() : QStringLiteral("<no label %1>").arg(name);
    }

    // Clicks into the field, replaces its (selected) text by typing, and leaves with Tab.
    void type(const char* name, const QString& text) const {
        enter(name);
        replace(name, text);
        QTest::keyClick(field(name), Qt::Key_Tab);
    }
    void enter(const char* name) const {
        QLineEdit* f = field(name);
        if (f->hasFocus()) {
            // Already in the field (Tab led here): a click would only move the cursor.
            QTest::keyClick(f, Qt::Key_A, Qt::ControlModifier);
            return;
        }
        QTest::mouseClick(f, Qt::LeftButton);
        QApplication::processEvents();
    }
    // Typing over the whole text, which entry has selected.
    void replace(const char* name, const QString& text) const {
        QLineEdit* f = field(name);
        if (text.isEmpty()) {
            QTest::keyClick(f, Qt::Key_Delete);
        } else {
            QTest::keyClicks(f, text);
        }
    }
    void clickCalculate() const { QTest::mouseClick(form.controls().Calculate, Qt::LeftButton); }
};

}  // namespace lamivex::app::test
