// The views and the runs they show: Enter in a view is the view's own, a view names its run
// and says when the main window's fields have moved on from it, and a match of the iteration
// table opens both views of its lattice.

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>

#include "app/iter_results.h"
#include "app/iteration_binding.h"
#include "app/iteration_window.h"
#include "app/leed_pattern_window.h"
#include "app/real_space_window.h"
#include "app/views_binding.h"
#include "numbers/number_text.h"
#include "tests/app/test_suites.h"

namespace lamivex::app::test {
namespace {

// (√3×√3)R30° on a hexagonal substrate; its best orientation is 30°.
void typeRootThree(MainFormRig& rig) {
    for (const char* name : {"a1", "a2"}) {
        rig.type(name, QStringLiteral("2.8836"));
    }
    rig.type("alpha", QStringLiteral("60"));
    for (const char* name : {"b1", "b2"}) {
        rig.type(name, QStringLiteral("4.9945"));
    }
    rig.type("beta", QStringLiteral("60"));
    QTest::mouseClick(rig.form.controls().hexagonal, Qt::LeftButton);
}

bool showActive(QWidget& window) {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

class ViewsOfRunsTest : public QObject {
    Q_OBJECT

  private slots:
    void enterIsTheViewsOwnNeverClose();
    void aViewNamesItsRunAndSaysWhenTheFieldsMovedOn();
    void aMatchOfTheTableOpensBothViewsOfItsLattice();
};

void ViewsOfRunsTest::enterIsTheViewsOwnNeverClose() {
    MainFormRig rig;
    QVERIFY(rig.show());
    typeRootThree(rig);
    rig.clickCalculate();
    QTest::mouseClick(rig.form.controls().cmdLeed, Qt::LeftButton);
    QTest::mouseClick(rig.form.controls().cmdRealSpace, Qt::LeftButton);
    LeedPatternWindow& leed = rig.form.views().leed();
    RealSpaceWindow& realSpace = rig.form.views().realSpace();

    // A new energy typed into its field and confirmed with Enter is drawn; the window stays.
    QVERIFY(showActive(leed));
    QSpinBox* energy = leed.energy();
    energy->setFocus(Qt::TabFocusReason);
    QTest::keyClick(energy, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(energy, QStringLiteral("150"));
    QTest::keyClick(energy, Qt::Key_Return);
    QVERIFY(leed.isVisible());
    QCOMPARE(leed.pattern().energyEv, 150.0);

    // Enter on any other part of either window closes nothing.
    for (ViewWindow* view :
         {static_cast<ViewWindow*>(&leed), static_cast<ViewWindow*>(&realSpace)}) {
        QVERIFY(showActive(*view));
        QTest::keyClick(view, Qt::Key_Return);
        QVERIFY2(view->isVisible(), qPrintable(view->objectName()));
    }
}

void ViewsOfRunsTest::aViewNamesItsRunAndSaysWhenTheFieldsMovedOn() {
    MainFormRig rig;
    QVERIFY(rig.show());
    typeRootThree(rig);
    rig.clickCalculate();
    QTest::mouseClick(rig.form.controls().cmdRealSpace, Qt::LeftButton);
    RealSpaceWindow& realSpace = rig.form.views().realSpace();
    auto* note = realSpace.findChild<QLabel*>(QStringLiteral("lblEarlierRun"));
    QVERIFY(note != nullptr);
    const QString run = QStringLiteral(
        "Real space: Overlayer (4.9945 × 4.9945 Å, 60°) on Substrate (2.8836 × 2.8836 Å, 60°) "
        "at 30.00°");
    QCOMPARE(realSpace.windowTitle(), run);
    QVERIFY(note->isHidden());

    // A changed overlayer: the view still shows the run, and says that it is an earlier one,
    // also when opened again from the main window.
    rig.type("b1", QStringLiteral("5.1"));
    QTest::mouseClick(rig.form.controls().cmdRealSpace, Qt::LeftButton);
    QCOMPARE(realSpace.windowTitle(), run + QStringLiteral(" (earlier run)"));
    QVERIFY(!note->isHidden());
    // The run's lattice typed back: the fields hold the run again.
    QVERIFY(rig.show());  // back from the view, which took the focus
    rig.type("b1", QStringLiteral("4.9945"));
    QCOMPARE(realSpace.windowTitle(), run);
    QVERIFY(note->isHidden());
}

void ViewsOfRunsTest::aMatchOfTheTableOpensBothViewsOfItsLattice() {
    MainFormRig rig;
    QVERIFY(rig.show());
    // A fast iteration: b1 from 9.9 to 10.1 by 0.1 on a 3 × 3 domain; every trial matches.
    rig.field("b1size")->setText(QStringLiteral("3"));
    rig.field("b2size")->setText(QStringLiteral("3"));
    rig.field("AngleSpacing")->setText(QStringLiteral("1"));
    QTest::mouseClick(rig.form.controls().Option2, Qt::LeftButton, {},
                      QPoint(8, rig.form.controls().Option2->height() / 2));
    Iteration& iteration = rig.form.iteration().iterationWindow();
    using iteration::Constant;
    iteration.field(Constant::b1, Iteration::Column::From)->setText(QStringLiteral("9.9"));
    iteration.field(Constant::b1, Iteration::Column::To)->setText(QStringLiteral("10.1"));
    iteration.field(Constant::b1, Iteration::Column::Increment)->setText(QStringLiteral("0.1"));
    iteration.fixBox(Constant::b2)->setChecked(true);
    iteration.fixBox(Constant::beta)->setChecked(true);
    iteration.itercrit()->setText(QStringLiteral("1.01"));

    // When the table comes up, a match is double-clicked, or selected and shown with Show….
    const struct {
        int row;
        bool showButton;
        QString b1;
        QString title;  // the overlayer in the views' titles
    } kCases[] = {{0, false, QStringLiteral("9.90"), QStringLiteral("(9.9 × 10 Å, 90°)")},
                  {2, true, QStringLiteral("10.10"), QStringLiteral("(10.1 × 10 Å, 90°)")}};
    IterResults& results = rig.form.iteration().iterResults();
    for (const auto& c : kCases) {
        QString b1Shown;
        QString angleShown;
        std::function<void()> watch = [&] {
            if (!results.isVisible()) {
                if (rig.state.runInProgress || results.grid()->rowCount() == 0) {
                    QTimer::singleShot(10, &rig.form, watch);
                }
                return;
            }
            QTableWidget* grid = results.grid();
            if (QTest::qWaitForWindowExposed(&results)) {
                b1Shown = grid->item(c.row, 3)->text();
                angleShown = grid->item(c.row, 1)->text();
                const QPoint at = grid->visualItemRect(grid->item(c.row, 3)).center();
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);  // selects the row
                if (c.showButton) {
                    QTest::mouseClick(
                        results.findChild<QPushButton*>(QStringLiteral("cmdShowMatch")),
                        Qt::LeftButton);
                } else {
                    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
                }
            }
            if (results.isVisible()) {
                // Nothing happened: O.K., so that the test fails rather than waits.
                results.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
            }
        };
        QTimer::singleShot(10, &rig.form, watch);
        rig.clickCalculate();
        QCOMPARE(b1Shown, c.b1);
        QVERIFY(!results.isVisible());

        for (const ViewWindow* view :
             {static_cast<const ViewWindow*>(&rig.form.views().realSpace()),
              static_cast<const ViewWindow*>(&rig.form.views().leed())}) {
            QVERIFY2(view->isVisible(), qPrintable(view->objectName()));
            const views::ViewLattices& shown = view->subject().lattices;
            QCOMPARE(QString::fromStdString(numbers::formatFixed2(shown.b1)), b1Shown);
            QCOMPARE(QString::fromStdString(numbers::formatFixed2(shown.angle)), angleShown);
            QCOMPARE(shown.b2, 10.0);  // the overlayer's other constants as entered
            QVERIFY2(view->windowTitle().contains(c.title), qPrintable(view->windowTitle()));
            // The fields are back at the run's start: they hold the run the match came from.
            QVERIFY(!view->showsEarlierRun());
        }
        rig.form.views().hideWindows();
    }
}

}  // namespace

int runViewsOfRunsTests(int argc, char** argv) {
    ViewsOfRunsTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace lamivex::app::test

#include "views_of_runs_test.moc"
