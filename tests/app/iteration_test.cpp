// The iteration mode: the Iteration window's entry rules and defaults, the main window's
// mode controls, a run with its messages, table, summary and restored fields, ABORT, the
// histogram window and the outputs of both windows.

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include "app/cover_shape.h"
#include "app/frm_histo.h"
#include "app/iter_results.h"
#include "app/iteration_binding.h"
#include "app/iteration_summary.h"
#include "app/iteration_window.h"
#include "app/picture_box.h"
#include "app/rotation_done.h"
#include "tests/app/test_suites.h"

namespace lamivex::app::test {
namespace {

using iteration::Constant;
using Column = Iteration::Column;

// Where the user clicks an option or a tick box: on its mark, not in the middle of a
// stretched row.
void clickIndicator(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

std::string readFile(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A main window with its Iteration window shown, as Option2 shows it.
struct IterationRig : MainFormRig {
    Iteration& window() { return form.iteration().iterationWindow(); }
    IterResults& results() { return form.iteration().iterResults(); }
    QLineEdit* at(Constant row, Column column) { return window().field(row, column); }

    [[nodiscard]] bool showWithParameters() {
        if (!show()) {
            return false;
        }
        clickIndicator(form.controls().Option2);
        window().activateWindow();
        return QTest::qWaitForWindowActive(&window());
    }
    // Click into the field, type over its selected text, leave with Tab.
    void typeInto(QLineEdit* f, const QString& text) {
        QTest::mouseClick(f, Qt::LeftButton);
        QApplication::processEvents();
        QTest::keyClick(f, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(f, text);
        QTest::keyClick(f, Qt::Key_Tab);
    }
    // A fast scan: 0..60 by 1 degree over a 3 x 3 domain. Written directly: the main
    // window's entry rules are not what these tests are about.
    void smallScan() {
        field("b1size")->setText(QStringLiteral("3"));
        field("b2size")->setText(QStringLiteral("3"));
        field("AngleSpacing")->setText(QStringLiteral("1"));
    }
    // b1 from 9.9 to 10.1 by 0.1 (3 trials), b2 and beta fixed; every trial matches.
    void threeTrialRange() {
        at(Constant::b1, Column::From)->setText(QStringLiteral("9.9"));
        at(Constant::b1, Column::To)->setText(QStringLiteral("10.1"));
        at(Constant::b1, Column::Increment)->setText(QStringLiteral("0.1"));
        window().fixBox(Constant::b2)->setChecked(true);
        window().fixBox(Constant::beta)->setChecked(true);
        window().itercrit()->setText(QStringLiteral("1.01"));
    }
    // Calculate; when the results table comes up modally, inspect runs and O.K. closes it.
    void calculate(const std::function<void(IterResults&)>& inspect = {}) {
        m_resultsShown = false;
        watchForResults(inspect);
        clickCalculate();
    }
    [[nodiscard]] bool resultsShown() const { return m_resultsShown; }

  private:
    void watchForResults(const std::function<void(IterResults&)>& inspect) {
        QTimer::singleShot(10, &form, [this, inspect] {
            if (!results().isVisible()) {
                if (state.runInProgress) {
                    watchForResults(inspect);
                }
                return;
            }
            m_resultsShown = true;
            if (inspect) {
                inspect(results());
            }
            QTest::mouseClick(results().findChild<QPushButton*>(QStringLiteral("Command1")),
                              Qt::LeftButton);
        });
    }
    bool m_resultsShown = false;
};

QString cell(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item != nullptr ? item->text() : QString();
}
QString heading(const QTableWidget* grid, int column) {
    return grid->horizontalHeaderItem(column)->text();
}

// A rigid substrate run of a2 from 9.9 to 10.1 by 0.1, alpha fixed; a1's row as filled.
void rigidSubstrateRun(IterationRig& rig) {
    clickIndicator(rig.window().findChild<QRadioButton*>(QStringLiteral("itersubs")));
    clickIndicator(rig.window().findChild<QRadioButton*>(QStringLiteral("RigidSubs")));
    rig.at(Constant::a2, Column::From)->setText(QStringLiteral("9.9"));
    rig.at(Constant::a2, Column::To)->setText(QStringLiteral("10.1"));
    rig.at(Constant::a2, Column::Increment)->setText(QStringLiteral("0.1"));
    rig.window().fixBox(Constant::alpha)->setChecked(true);
    rig.window().itercrit()->setText(QStringLiteral("1.01"));
    rig.calculate();
}

}  // namespace

class IterationTest : public QObject {
    Q_OBJECT

  private slots:
    void entryRulesRestoreOrNormalise();
    void rangeCheckKeepsTheFocus();
    void defaultsAndModeControls();
    void runFillsTheTableAndRestoresTheFields();
    void secondRunAndSubstrateHeadings();
    void abortKeepsTheMatchesFound();
    void summaryLines();
    void histogramWindowAndToggle();
    void savePrintAndExport();
    void refusedRunChangesNothing();
    void rangesOfTheOtherLatticeAreKept();
    void rigidRunDataFileIsTheCommandLines();
};

void IterationTest::entryRulesRestoreOrNormalise() {
    IterationRig rig;
    QVERIFY(rig.showWithParameters());
    QLineEdit* b2inc = rig.at(Constant::b2, Column::Increment);
    QCOMPARE(b2inc->text(), QStringLiteral("0.10"));
    rig.typeInto(b2inc, QStringLiteral("abc"));
    QCOMPARE(rig.services.messages().value(0), QStringLiteral("Invalid data"));
    QCOMPARE(b2inc->text(), QStringLiteral("0.10"));  // the text exactly
    QVERIFY(b2inc->hasFocus());

    QLineEdit* betainc = rig.at(Constant::beta, Column::Increment);
    QCOMPARE(betainc->text(), QStringLiteral("0.90"));
    rig.typeInto(betainc, QStringLiteral("abc"));
    QCOMPARE(rig.services.messages().size(), 2);
    QCOMPARE(betainc->text(), QStringLiteral("0.9"));  // the value, normalised

    rig.typeInto(rig.window().itercrit(), QStringLiteral("0.800"));
    QCOMPARE(rig.window().itercrit()->text(), QStringLiteral("0.8"));
    // A From field of b1 keeps its text as typed; a1's To is rewritten.
    rig.typeInto(rig.at(Constant::b1, Column::From), QStringLiteral("9.50"));
    QCOMPARE(rig.at(Constant::b1, Column::From)->text(), QStringLiteral("9.50"));
    rig.typeInto(rig.at(Constant::a1, Column::To), QStringLiteral("10.50"));
    QCOMPARE(rig.at(Constant::a1, Column::To)->text(), QStringLiteral("10.5"));
    QCOMPARE(rig.services.messages().size(), 2);
}

void IterationTest::rangeCheckKeepsTheFocus() {
    IterationRig rig;
    QVERIFY(rig.showWithParameters());
    QLineEdit* b1high = rig.at(Constant::b1, Column::To);
    QCOMPARE(rig.at(Constant::b1, Column::From)->text(), QStringLiteral("9.50"));
    rig.typeInto(b1high, QStringLiteral("9.4"));
    QCOMPARE(rig.services.messages(), QStringList{QStringLiteral("Invalid range")});
    QCOMPARE(b1high->text(), QStringLiteral("10.50"));
    QVERIFY(b1high->hasFocus());
    QCOMPARE(rig.window().FieldEntryValue(), QStringLiteral("10.50"));
    rig.typeInto(b1high, QStringLiteral("9.5"));  // equal passes
    QCOMPARE(rig.services.messages().size(), 1);
    QCOMPARE(b1high->text(), QStringLiteral("9.5"));
}

void IterationTest::defaultsAndModeControls() {
    IterationRig rig;
    QVERIFY(rig.show());
    const MainFormControls& c = rig.form.controls();
    QVERIFY(c.Option1->isChecked() && c.Option2->isEnabled() && c.Check1->isChecked());
    QVERIFY(!rig.window().isVisible());
    rig.type("b1", QStringLiteral("4"));
    rig.window().field(Constant::b1, Column::From)->setText(QStringLiteral("1"));
    clickIndicator(c.Option2);
    QCOMPARE(rig.at(Constant::b1, Column::From)->text(), QStringLiteral("3.80"));
    QCOMPARE(rig.at(Constant::b1, Column::To)->text(), QStringLiteral("4.20"));
    QCOMPARE(rig.at(Constant::b1, Column::Increment)->text(), QStringLiteral("0.04"));
    QCOMPARE(rig.window().itercrit()->text(), QStringLiteral("0.80"));
    QVERIFY(rig.window().isVisible());
    QVERIFY(!rig.services.placements().empty());
    QCOMPARE(rig.services.placements().back().window, &rig.window());
    QVERIFY(rig.services.placements().back().above);

    clickIndicator(c.Check1);  // untick: hidden, placement taken back
    QVERIFY(!rig.window().isVisible());
    QVERIFY(!rig.services.placements().back().above);
    rig.window().fixBox(Constant::b2)->setChecked(true);
    clickIndicator(c.Check1);
    QVERIFY(rig.window().isVisible());
    QVERIFY(rig.window().fixBox(Constant::b2)->isChecked());  // the defaults leave Fixed alone
    clickIndicator(c.Option1);
    QVERIFY(!rig.window().isVisible());

    // Picking an overlayer refills the ranges.
    rig.type("b1", QStringLiteral("5"));
    emit rig.form.overlayerPicked();
    QCOMPARE(rig.at(Constant::b1, Column::From)->text(), QStringLiteral("4.75"));
}

void IterationTest::runFillsTheTableAndRestoresTheFields() {
    IterationRig rig;
    QVERIFY(rig.showWithParameters());
    rig.smallScan();
    rig.threeTrialRange();
    rig.services.clearRecord();
    int rowsWhenShown = -1;
    QString b1WhenShown;
    QTemporaryDir dir;
    const QString dat = dir.filePath(QStringLiteral("shown.dat"));
    rig.calculate([&](IterResults& r) {
        rowsWhenShown = r.grid()->rowCount();
        b1WhenShown = rig.text("b1");
        rig.services.queueFileName(dat);
        r.saveDataFile();
    });
    QVERIFY(rig.resultsShown());
    QCOMPARE(rowsWhenShown, 3);
    // The lattice entered, not the last trial (10.1), is back when the results window opens.
    QCOMPARE(b1WhenShown, QStringLiteral("10"));
    QVERIFY(readFile(dat).find("\r\n  b1   =  10.00 Angstroms\r\n") != std::string::npos);
    QCOMPARE(rig.services.placements().back().window, static_cast<QWidget*>(&rig.window()));
    QVERIFY(rig.services.placements().back().above);
    QCOMPARE(rig.services.messages(),
             QStringList{QStringLiteral("Iterations complete. Match count = 3")});
    const QTableWidget* grid = rig.results().grid();
    QCOMPARE(grid->columnCount(), 11);
    QCOMPARE(heading(grid, 0), QStringLiteral("Match"));
    QCOMPARE(heading(grid, 3), QStringLiteral("   b1"));
    QCOMPARE(heading(grid, 10), QStringLiteral("Area (A^2)"));
    QCOMPARE(grid->columnWidth(0), twipsToPixels(800, rig.results().logicalDpiX()));
    QCOMPARE(cell(grid, 0, 0), QStringLiteral("1"));
    QCOMPARE(cell(grid, 0, 3), QStringLiteral("9.90"));
    QCOMPARE(cell(grid, 2, 3), QStringLiteral("10.10"));
    QCOMPARE(cell(grid, 1, 4), QStringLiteral("10.00"));
    const auto& records = rig.state.iteration.completed->MatchRecords;
    QCOMPARE(QStringLiteral("2\t") + QString::fromStdString(records[1]), [&] {
        QStringList cells;
        for (int c = 0; c < 11; ++c) {
            cells << cell(grid, 1, c);
        }
        return cells.join(QLatin1Char('\t'));
    }());
    // The main window shows its lattice again; Save and Print stay off; the graph too.
    QCOMPARE(rig.text("b1"), QStringLiteral("10"));
    const MainFormControls& c = rig.form.controls();
    QVERIFY(!c.Command1->isEnabled() && !c.Command4->isEnabled() && !c.mnuSave->isEnabled());
    QVERIFY(!c.GraphShow->isEnabled());
    QVERIFY(c.GridShow->isEnabled() && c.imgHisto->isEnabled());
    QVERIFY(rig.state.iteration.ResultsTableFilled);
    QVERIFY(rig.window().isVisible());
    QVERIFY(!rig.form.rotationDone().isVisible());
    QCOMPARE(rig.form.rotationDone().findChild<QLabel*>(QStringLiteral("Hits"))->text(),
             QStringLiteral("3"));
    QCOMPARE(rig.services.busyDepth(), 0);

    // GridShow with the Iteration window up shows the table again and brings it back.
    rig.calculate();  // the same run once more, to exercise the watcher between runs
    QCOMPARE(rig.results().grid()->rowCount(), 3);
    bool shownAgain = false;
    QTimer::singleShot(50, &rig.form, [&] {
        shownAgain = rig.results().isVisible() && !rig.window().isVisible();
        rig.results().findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    });
    QTest::mouseClick(c.GridShow, Qt::LeftButton);
    QVERIFY(shownAgain);
    QVERIFY(rig.window().isVisible());
    // With neither the graph nor the Iteration window up, GridShow does nothing.
    clickIndicator(c.Option1);
    QTest::mouseClick(c.GridShow, Qt::LeftButton);
    QVERIFY(!rig.results().isVisible());
}

void IterationTest::secondRunAndSubstrateHeadings() {
    IterationRig rig;
    QVERIFY(rig.showWithParameters());
    rig.smallScan();
    rig.threeTrialRange();
    rig.calculate();
    QCOMPARE(rig.results().grid()->rowCount(), 3);
    rig.window().fixBox(Constant::b1)->setChecked(true);
    rig.services.clearRecord();
    rig.calculate();
    QCOMPARE(rig.services.messages(),
             QStringList{QStringLiteral("Iterations complete. Match count = 1")});
    QCOMPARE(rig.results().grid()->rowCount(), 1);
    QCOMPARE(cell(rig.results().grid(), 0, 0), QStringLiteral("1"));

    // A substrate run: a1 and a2 rigid from 9.9 to 10.1, alpha fixed.
    rigidSubstrateRun(rig);
    const QTableWidget* grid = rig.results().grid();
    QCOMPARE(heading(grid, 3), QStringLiteral("   a1"));
    QCOMPARE(heading(grid, 4), QStringLiteral("   a2"));
    QCOMPARE(heading(grid, 5), QStringLiteral("  alpha"));
    QCOMPARE(grid->rowCount(), 3);
    for (int r = 0; r < 3; ++r) {
        QCOMPARE(cell(grid, r, 3), cell(grid, r, 4));
    }
    QCOMPARE(rig.text("a1"), QStringLiteral("10"));
    QCOMPARE(rig.text("a2"), QStringLiteral("10"));
    clickIndicator(rig.window().findChild<QRadioButton*>(QStringLiteral("iterover")));
    rig.calculate();
    QCOMPARE(heading(rig.results().grid(), 5), QStringLiteral("  beta"));
}

void IterationTest::abortKeepsTheMatchesFound() {
    IterationRig rig;
    QVERIFY(rig.showWithParameters());
    rig.threeTrialRange();
    // 210 021 trials of b1 and beta, every one a match, each scanned over 12 001 angles so
    // that the first chance to press ABORT comes long before the 2000th match.
    rig.field("AngleSpacing")->setText(QStringLiteral("0.005"));
    rig.at(Constant::b1, Column::From)->setText(QStringLiteral("5"));
    rig.at(Constant::b1, Column::To)->setText(QStringLiteral("15"));
    rig.at(Constant::b1, Column::Increment)->setText(QStringLiteral("0.001"));
    rig.window().fixBox(Constant::beta)->setChecked(false);
    rig.at(Constant::beta, Column::From)->setText(QStringLiteral("80"));
    rig.at(Constant::beta, Column::To)->setText(QStringLiteral("100"));
    rig.at(Constant::beta, Column::Increment)->setText(QStringLiteral("1"));
    bool parametersShownDuringRun = true;
    rig.services.setDeliverHook([&](int call) {
        if (call == 1) {
            parametersShownDuringRun = rig.window().isVisible();  // it would cover ABORT
            QTest::mouseClick(rig.form.rotationDone().abortButton(), Qt::LeftButton);
        }
    });
    rig.services.clearRecord();
    rig.calculate();
    QCOMPARE(rig.services.messages(), QStringList{QStringLiteral("Iteration run aborted")});
    QVERIFY(!parametersShownDuringRun);
    const int kept = rig.state.iteration.completed->MatchCount;
    QVERIFY(kept >= 1);
    QVERIFY(kept < 210021);
    QCOMPARE(rig.state.iteration.completed->trialsDone, static_cast<int64_t>(kept));
    QVERIFY(rig.resultsShown());
    QCOMPARE(rig.results().grid()->rowCount(), kept);
    QCOMPARE(rig.text("b1"), QStringLiteral("10"));
    QVERIFY(rig.window().isVisible());
    QVERIFY(rig.form.controls().Calculate->isEnabled());
}

void IterationTest::summaryLines() {
    engine::MainFieldTexts start;
    start.a1 = "2.55";
    start.a2 = "2.55";
    start.alpha = "90";
    start.b1 = "4";
    start.b2 = "4";
    start.beta = "90";
    iteration::IterationRanges ranges;
    ranges[Constant::b2] = {3.8F, 4.2F, 0.04F};
    ranges[Constant::beta] = {85.5F, 94.5F, 0.9F};
    std::array<bool, iteration::kConstantCount> fixed{};
    fixed[iteration::rowIndex(Constant::b1)] = true;
    const std::string over = iterationSummary("Cu", "Film", start, ranges, true, fixed);
    QCOMPARE(QString::fromStdString(over),
             QStringLiteral("\r\n"
                            "        Substrate : Cu   \r\n"
                            "                  a1 : 2.55 Angstroms   \r\n"
                            "                  a2 : 2.55 Angstroms   \r\n"
                            "              alpha : 90.00 degrees   \r\n"
                            "        Overlayer : Film   \r\n"
                            "         b1: 4.00 Angstroms   \r\n"
                            "         b2 range : 3.80 - 4.20 Angstroms (0.04 increment)   \r\n"
                            "      beta range : 85.50 - 94.50 degrees (0.90 increment)   \r\n"));
    ranges[Constant::alpha] = {88.0F, 92.0F, 1.0F};
    fixed = {};
    fixed[iteration::rowIndex(Constant::a1)] = true;
    fixed[iteration::rowIndex(Constant::a2)] = true;
    const std::string subs = iterationSummary("Cu", "Film", start, ranges, false, fixed);
    QVERIFY(subs.find("         a1: 2.55 Angstroms   \r\n") != std::string::npos);
    QVERIFY(subs.find("         alpha range: 88.00 - 92.00 degrees (1.00 increment)   \r\n") !=
            std::string::npos);
    QVERIFY(subs.find("              beta : 90.00 degrees   \r\n") != std::string::npos);

    // The window rebuilds it on activation, from the fields as they stand now.
    IterationRig rig;
    QVERIFY(rig.showWithParameters());
    rig.smallScan();
    rig.threeTrialRange();
    QString shown;
    rig.calculate([&](IterResults& r) {
        r.rebuildSummary();
        shown = r.summaryText();
    });
    QVERIFY(
        shown.contains(QStringLiteral("         b1 range : 9.90 - 10.10 Angstroms (0.10 "
                                      "increment)   \r\n")));
    QVERIFY(shown.contains(QStringLiteral("         b2: 10.00 Angstroms   \r\n")));
}

void IterationTest::histogramWindowAndToggle() {
    IterationRig rig;
    QVERIFY(rig.showWithParameters());
    rig.smallScan();
    rig.threeTrialRange();
    rig.calculate();
    const MainFormControls& c = rig.form.controls();
    FrmHisto& histo = rig.form.iteration().frmHisto();
    QCOMPARE(c.Shape2->fillStyle(), CoverShape::kCrossHatched);
    QTest::mouseClick(c.imgHisto, Qt::LeftButton);
    QVERIFY(histo.isVisible());
    QCOMPARE(c.Shape2->fillStyle(), CoverShape::kTransparent);
    QVERIFY(!rig.window().isVisible());  // the histogram's activation hides it
    QVERIFY(!histo.picture().layers().empty());
    const iteration::HitCounts& hits = rig.state.iteration.completed->hits;
    int total = 0;
    for (const int h : hits.HitsByAngle) {
        total += h;
    }
    QCOMPARE(total, 3);
    QVERIFY(!histo.histogram().list.rects().empty());

    // A second run with one match: only its own histogram is shown.
    const std::size_t layersBefore = histo.picture().layers().size();
    QCOMPARE(layersBefore, std::size_t{1});
    rig.window().fixBox(Constant::b1)->setChecked(true);
    rig.calculate();
    histo.activate();  // also done by the window system when the histogram is active again
    QCOMPARE(histo.picture().layers().size(), std::size_t{1});
    QCOMPARE(histo.picture().layers().front().rects().size(), std::size_t{1});
    QCOMPARE(histo.histogram().scale.HistogramMaxHits, 1);
    QCOMPARE(histo.histogram().list.rects().size(), std::size_t{1});

    QTest::mouseClick(histo.findChild<QPushButton*>(QStringLiteral("cmdOKH")), Qt::LeftButton);
    QVERIFY(!histo.isVisible());
    QCOMPARE(c.Shape2->fillStyle(), CoverShape::kCrossHatched);
    QVERIFY(rig.window().isVisible());
    // As X11 does after a box closed: the activation of the clicked window comes late.
    QApplication::setActiveWindow(&histo);
    QApplication::processEvents();
    QVERIFY(rig.window().isVisible());
    QTest::mouseClick(c.imgHisto, Qt::LeftButton);
    QTest::mouseClick(c.imgHisto, Qt::LeftButton);
    QVERIFY(!histo.isVisible());
    QCOMPARE(c.Shape2->fillStyle(), CoverShape::kCrossHatched);
}

void IterationTest::savePrintAndExport() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    IterationRig rig;
    QVERIFY(rig.showWithParameters());
    rig.smallScan();
    rig.threeTrialRange();
    rig.calculate();
    IterResults& results = rig.results();
    const auto& records = rig.state.iteration.completed->MatchRecords;

    const QString dat = dir.filePath(QStringLiteral("run.dat"));
    rig.services.clearRecord();
    rig.services.queueFileName(dat);
    results.saveDataFile();
    QCOMPARE(rig.services.dialogs().at(0).filter, QStringLiteral("Epidata Files (*.dat)|*.dat"));
    QCOMPARE(rig.services.dialogs().at(0).initialName, QStringLiteral("*.dat"));
    const std::string file = readFile(dat);
    QVERIFY(file.rfind("Lamivex Version 5.0\r\n", 0) == 0);
    QVERIFY(file.find(" Iteration Parameters \r\n  b1 range :   9.90 -  10.10 Angstroms\r\n"
                      "Angle\tV/Vo\t  b1\t  b2\tbeta\t m11\t m12\t m21\tm22\tArea\r\n") !=
            std::string::npos);
    QVERIFY(file.size() > records[2].size());
    QCOMPARE(file.substr(file.size() - records[2].size() - 2), records[2] + "\r\n");
    QVERIFY(rig.services.messages().isEmpty());

    // A folder that does not exist: the user is told, nothing is written.
    rig.services.queueFileName(dir.filePath(QStringLiteral("missing/run.dat")));
    results.saveDataFile();
    QCOMPARE(rig.services.messages().size(), 1);
    QVERIFY(
        rig.services.messages().at(0).startsWith(QStringLiteral("The data file was not saved.")));
    rig.services.queueFileName(QString());  // cancelled
    results.saveDataFile();
    QCOMPARE(rig.services.messages().size(), 1);

    // No printer: a PDF is offered and written.
    rig.services.clearRecord();
    const QString pdf = dir.filePath(QStringLiteral("matches.pdf"));
    rig.services.queueAnswer(Answer::Yes);
    rig.services.queueFileName(pdf);
    results.printMatches();
    QCOMPARE(rig.services.questions().size(), 1);
    QVERIFY(rig.services.questions().front().startsWith(
        QStringLiteral("The list of matches was not printed: ")));
    QVERIFY(readFile(pdf).rfind("%PDF", 0) == 0);

    const QString csv = dir.filePath(QStringLiteral("matches.csv"));
    rig.services.queueFileName(csv);
    results.exportCsv();
    // RFC 4180 at full precision: V/Vo reads back to the value of the run, to the last bit.
    const std::string table = readFile(csv);
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = table.find("\r\n", at)) != std::string::npos;
         at = end + 2) {
        lines.push_back(table.substr(at, end - at));
    }
    QCOMPARE(lines.size(), records.size() + 1);
    QCOMPARE(lines.front(), std::string("match,angle,vvo,b1,b2,beta,m11,m12,m21,m22,area,epitaxy,"
                                        "b1_multiple,b2_multiple"));
    const std::vector<iteration::Match>& matches = rig.state.iteration.completed->matches;
    for (std::size_t k = 0; k < matches.size(); ++k) {
        const std::string& row = lines[k + 1];
        const std::size_t vvoAt = row.find(',', row.find(',') + 1) + 1;
        QCOMPARE(std::strtod(row.c_str() + vvoAt, nullptr), matches[k].vvo);
    }
    QVERIFY(table.find(",\"commensurate: (1×1), matrix (1 0; 0 1)\",1,1\r\n") != std::string::npos);

    FrmHisto& histo = rig.form.iteration().frmHisto();
    histo.activate();
    const QString png = dir.filePath(QStringLiteral("histogram.png"));
    rig.services.queueFileName(png);
    histo.exportHistogram();
    QVERIFY(readFile(png).substr(1, 3) == "PNG");
    const QString histoPdf = dir.filePath(QStringLiteral("histogram.pdf"));
    rig.services.clearRecord();
    rig.services.queueAnswer(Answer::Yes);
    rig.services.queueFileName(histoPdf);
    histo.printHistogram();
    QVERIFY(rig.services.questions().value(0).startsWith(
        QStringLiteral("The histogram was not printed")));
    QVERIFY(readFile(histoPdf).rfind("%PDF", 0) == 0);
}

void IterationTest::refusedRunChangesNothing() {
    IterationRig rig;
    QVERIFY(rig.showWithParameters());
    rig.at(Constant::b1, Column::Increment)->setText(QStringLiteral("0"));
    rig.services.clearRecord();
    rig.calculate();
    QCOMPARE(rig.services.messages().size(), 1);
    // Named as the window shows it: the row and the field, not the command line's option.
    QVERIFY2(rig.services.messages().at(0).startsWith(
                 QStringLiteral("The calculation cannot start.\n\nb1 Increment: ")),
             qPrintable(rig.services.messages().at(0)));
    QVERIFY(!rig.resultsShown());
    QVERIFY(!rig.state.iteration.completed.has_value());
    QVERIFY(!rig.form.controls().GridShow->isEnabled());
    QCOMPARE(rig.services.busyDepth(), 0);
}

void IterationTest::rangesOfTheOtherLatticeAreKept() {
    QTemporaryDir dir;
    IterationRig rig;
    QVERIFY(rig.showWithParameters());
    rig.smallScan();
    rigidSubstrateRun(rig);
    clickIndicator(rig.window().findChild<QRadioButton*>(QStringLiteral("iterover")));
    rig.threeTrialRange();
    rig.calculate();
    // The overlayer run read the b rows only: the a rows keep what the substrate run read.
    clickIndicator(rig.window().findChild<QRadioButton*>(QStringLiteral("itersubs")));
    rig.window().fixBox(Constant::alpha)->setChecked(false);
    const QString dat = dir.filePath(QStringLiteral("run.dat"));
    rig.services.queueFileName(dat);
    rig.results().saveDataFile();
    const std::string file = readFile(dat);
    QVERIFY2(file.find(" Iteration Parameters \r\n  a1 range :   9.50 -  10.50 Angstroms\r\n"
                       "  a2 range :   9.90 -  10.10 Angstroms\r\n"
                       "alpha range :  90.00 -  94.50 degrees\r\n") != std::string::npos,
             file.c_str());
}

void IterationTest::rigidRunDataFileIsTheCommandLines() {
    QTemporaryDir dir;
    IterationRig rig;
    QVERIFY(rig.showWithParameters());
    rig.smallScan();
    rigidSubstrateRun(rig);
    const QString window = dir.filePath(QStringLiteral("window.dat"));
    rig.services.queueFileName(window);
    rig.results().saveDataFile();

    const QString cli = dir.filePath(QStringLiteral("cli.dat"));
    QProcess run;
    run.start(QStringLiteral(LAMIVEX_CLI),
              {"iterate", "--iterate", "substrate", "--rigid", "--a2-range", "9.9:10.1:0.1", "--m",
               "3", "--n", "3", "--spacing", "1", "--criterion", "1.01", "--dat", cli});
    QVERIFY(run.waitForFinished(30000));
    QCOMPARE(run.exitCode(), 0);
    QVERIFY(readFile(window).find("  a1 range :   9.50 -  10.50 Angstroms\r\n") !=
            std::string::npos);
    QCOMPARE(readFile(cli), readFile(window));
}

int runIterationTests(int argc, char** argv) {
    IterationTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace lamivex::app::test

#include "iteration_test.moc"
