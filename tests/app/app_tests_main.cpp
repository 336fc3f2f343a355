// One program for the window tests; each test class runs in turn under one QApplication.

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include "tests/app/test_suites.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // The user's own structure database is made on first use: here in a scratch folder.
    const QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    int failures = 0;
    failures += lamivex::app::test::runFieldRulesTests(argc, argv);
    failures += lamivex::app::test::runCalculateTests(argc, argv);
    failures += lamivex::app::test::runShellTests(argc, argv);
    failures += lamivex::app::test::runInstanceGuardTests(argc, argv);
    failures += lamivex::app::test::runStructureDatabaseTests(argc, argv);
    failures += lamivex::app::test::runEpigraphTests(argc, argv);
    failures += lamivex::app::test::runReportCommandsTests(argc, argv);
    failures += lamivex::app::test::runStrAnalTests(argc, argv);
    failures += lamivex::app::test::runIterationTests(argc, argv);
    failures += lamivex::app::test::runHelpFormTests(argc, argv);
    failures += lamivex::app::test::runKeyboardTests(argc, argv);
    failures += lamivex::app::test::runEntryRulesAgreementTests(argc, argv);
    failures += lamivex::app::test::runWindowPlacementTests(argc, argv);
    failures += lamivex::app::test::runViewsTests(argc, argv);
    failures += lamivex::app::test::runViewsOfRunsTests(argc, argv);
    failures += lamivex::app::test::runScreenSubstratesTests(argc, argv);
    failures += lamivex::app::test::runBuildModelWindowTests(argc, argv);
    failures += lamivex::app::test::runLeedFitWindowTests(argc, argv);
    return failures == 0 ? 0 : 1;
}
