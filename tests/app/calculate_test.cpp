// The Calculate command in the " No iteration" mode: the Results frame against the engine,
// the progress window, ABORT between passes, the fields during and after a run, runs the
// engine refuses, what the best orientation means and the overlayer from a matrix.

#include <QTest>

#include <cmath>

#include "app/cover_shape.h"
#include "app/epigraph.h"
#include "app/iteration_binding.h"
#include "app/iteration_window.h"
#include "app/rotation_done.h"
#include "engine/capture.h"
#include "engine/rotation_scan.h"
#include "numbers/number_text.h"
#include "tests/app/test_suites.h"

namespace lamivex::app::test {
namespace {

struct EngineRun {
    engine::ScanResults results;
    engine::BestOrientation best;
};

// The same scan run directly on the engine's reference arithmetic, from the texts the window
// holds: the report writes V/Vo and the matrix to 15 digits.
EngineRun engineRun(const engine::MainFieldTexts& fields) {
    EngineRun run;
    engine::ScanInputs in = engine::scanInputsFrom(engine::captureRun(fields));
    in.kernel = engine::KernelPath::Scalar;
    engine::runRotationScan(in, run.results, run.best);
    return run;
}

QString sci(double value) {
    return QString::fromStdString(numbers::formatScientific(value, 3));
}

void compareResultsFrame(const MainFormRig& rig, const engine::BestOrientation& best) {
    QCOMPARE(rig.label("VVo"), sci(best.BestVVo));
    QCOMPARE(rig.label("pxanswer"), sci(best.BestPx));
    QCOMPARE(rig.label("qyanswer"), sci(best.BestQy));
    QCOMPARE(rig.label("qxanswer"), sci(best.BestQx));
    QCOMPARE(rig.label("pyanswer"), sci(best.BestPy));
    QCOMPARE(rig.label("Angleanswer"),
             QString::fromStdString(numbers::formatFixed2(best.BestAngle)));
}

void tickGeometricSearch(MainFormRig& rig, const QString& maxMultiple) {
    QTest::mouseClick(rig.form.controls().chkgeo, Qt::LeftButton);
    rig.type("txtUplim", maxMultiple);
}

class CalculateTest : public QObject {
    Q_OBJECT

  private slots:
    void defaultRunFillsTheResults();
    void geometricRunShowsEachPassAndRestoresTheFields();
    void abortEndsTheRunAfterTheCurrentPass();
    void abortKeepsTheResultsOfTheRunBefore();
    void closingTheProgressWindowAborts();
    void captureRewritesTheLatticeTexts();
    void refusedRunChangesNothing_data();
    void refusedRunChangesNothing();
    void zeroA1FillsTheIterationRangesBeforeTheRefusal();
    void resultsFrameSaysWhatTheBestMeans_data();
    void resultsFrameSaysWhatTheBestMeans();
    void fromMatrixFillsTheOverlayerAroundItsAzimuth();
    void fromCrystalFileShowsTheMeshThenFillsTheBlock();
};

void CalculateTest::defaultRunFillsTheResults() {
    MainFormRig rig;
    QVERIFY(rig.show());
    const MainFormControls& c = rig.form.controls();
    RotationDone& progress = rig.form.rotationDone();
    bool visibleDuringRun = false;
    bool calculateEnabledDuringRun = true;
    bool saveEnabledDuringRun = true;
    int busyDuringRun = 0;
    rig.services.setDeliverHook([&](int) {
        visibleDuringRun = progress.isVisible();
        calculateEnabledDuringRun = c.Calculate->isEnabled();
        saveEnabledDuringRun = c.Command1->isEnabled();
        busyDuringRun = rig.services.busyDepth();
    });

    rig.clickCalculate();

    const EngineRun expected = engineRun(engine::MainFieldTexts{});
    compareResultsFrame(rig, expected.best);
    QCOMPARE(rig.state.best.BestVVo, expected.best.BestVVo);
    QVERIFY(rig.state.completedScan.has_value());
    QCOMPARE(rig.state.completedScan->results.LastAngleIndex, 240);
    QCOMPARE(rig.state.completedScan->results.VVoTable, expected.results.VVoTable);
    QVERIFY(rig.services.messages().isEmpty());

    // One pass, with events delivered once after it; the progress window was up meanwhile.
    QCOMPARE(rig.services.deliverCalls(), 1);
    QVERIFY(visibleDuringRun);
    QVERIFY(!calculateEnabledDuringRun);
    QVERIFY(!saveEnabledDuringRun);
    QCOMPARE(busyDuringRun, 1);
    QVERIFY(!progress.isVisible());
    // The progress window during the run, then the graph window at its end, kept above.
    QCOMPARE(rig.services.placements().size(), std::size_t{2});
    QCOMPARE(rig.services.placements().front().window, static_cast<QWidget*>(&progress));
    QVERIFY(rig.services.placements().front().above);
    QCOMPARE(rig.services.placements().back().window, static_cast<QWidget*>(&rig.form.epigraph()));
    QVERIFY(rig.services.placements().back().above);
    QCOMPARE(progress.findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("100%"));
    QCOMPARE(progress.findChild<QLabel*>(QStringLiteral("beta"))->text(), QStringLiteral("90.00"));
    QVERIFY(progress.findChild<QLabel*>(QStringLiteral("Label6"))->isHidden());
    QVERIFY(progress.findChild<QLabel*>(QStringLiteral("Hits"))->isHidden());
    QVERIFY(!progress.abortButton()->isHidden());

    // After the run: pointer back, commands available, graph toggle shown as available.
    QCOMPARE(rig.services.busyDepth(), 0);
    QVERIFY(c.Calculate->isEnabled());
    QVERIFY(c.Command1->isEnabled());
    QVERIFY(c.Command4->isEnabled());
    QVERIFY(c.mnuSave->isEnabled());
    QVERIFY(c.mnuPrint->isEnabled());
    QVERIFY(c.GraphShow->isEnabled());
    QVERIFY(!c.imgHisto->isEnabled());
    QCOMPARE(c.Shape1->fillStyle(), CoverShape::kTransparent);
    QCOMPARE(rig.text("b1"), QStringLiteral("10"));
}

void CalculateTest::geometricRunShowsEachPassAndRestoresTheFields() {
    MainFormRig rig;
    QVERIFY(rig.show());
    rig.type("b1", QStringLiteral("3"));
    rig.type("b2", QStringLiteral("4.5"));
    rig.type("b1size", QStringLiteral("6"));
    rig.type("b2size", QStringLiteral("6"));
    tickGeometricSearch(rig, QStringLiteral("2"));
    QVERIFY(rig.services.messages().isEmpty());

    QStringList seen;
    const RotationDone& progress = rig.form.rotationDone();
    rig.services.setDeliverHook([&](int) {
        seen << QStringLiteral("%1 %2 | %3 %4")
                    .arg(rig.text("b1"), rig.text("b2"),
                         progress.findChild<QLabel*>(QStringLiteral("b1"))->text(),
                         progress.findChild<QLabel*>(QStringLiteral("b2"))->text());
    });
    rig.clickCalculate();

    // b2 multiple outer, b1 multiple inner.
    const QStringList expectedPasses = {
        QStringLiteral("3 4.5 | 3.00 4.50"),
        QStringLiteral("6 4.5 | 6.00 4.50"),
        QStringLiteral("3 9 | 3.00 9.00"),
        QStringLiteral("6 9 | 6.00 9.00"),
    };
    QCOMPARE(seen, expectedPasses);
    QCOMPARE(rig.text("b1"), QStringLiteral("3"));
    QCOMPARE(rig.text("b2"), QStringLiteral("4.5"));

    const EngineRun expected = engineRun(rig.form.fieldTexts());
    compareResultsFrame(rig, expected.best);
    QCOMPARE(rig.state.completedScan->results.MaxMultiple, 2);

    // A second run from the restored fields finds the same.
    const QString firstVVo = rig.label("VVo");
    const QString firstAngle = rig.label("Angleanswer");
    rig.clickCalculate();
    QCOMPARE(rig.label("VVo"), firstVVo);
    QCOMPARE(rig.label("Angleanswer"), firstAngle);
    QCOMPARE(rig.state.completedScan->results.VVoTable, expected.results.VVoTable);
}

void CalculateTest::abortEndsTheRunAfterTheCurrentPass() {
    MainFormRig rig;
    QVERIFY(rig.show());
    tickGeometricSearch(rig, QStringLiteral("2"));
    const MainFormControls& c = rig.form.controls();
    rig.services.setDeliverHook([&](int call) {
        if (call == 1) {
            QTest::mouseClick(rig.form.rotationDone().abortButton(), Qt::LeftButton);
        }
    });

    rig.clickCalculate();

    QCOMPARE(rig.services.deliverCalls(), 1);
    QVERIFY(rig.state.AbortRequested);
    // One pass ran, then the run ended: no completed run to show, draw or save.
    QVERIFY(!rig.state.completedScan.has_value());

    QVERIFY(rig.label("VVo").isEmpty());
    QVERIFY(rig.label("Angleanswer").isEmpty());
    QVERIFY(!c.Command1->isEnabled());
    QVERIFY(!c.mnuPrint->isEnabled());
    QVERIFY(!c.GraphShow->isEnabled());
    QCOMPARE(c.Shape1->fillStyle(), CoverShape::kCrossHatched);
    QCOMPARE(rig.text("b1"), QStringLiteral("10"));
    QCOMPARE(rig.text("b2"), QStringLiteral("10"));
    QVERIFY(!rig.form.rotationDone().isVisible());
    QCOMPARE(rig.services.busyDepth(), 0);
    QVERIFY(c.Calculate->isEnabled());
}

void CalculateTest::abortKeepsTheResultsOfTheRunBefore() {
    MainFormRig rig;
    QVERIFY(rig.show());
    rig.clickCalculate();
    const QString vvo = rig.label("VVo");
    const QString px = rig.label("pxanswer");
    QVERIFY(!vvo.isEmpty());
    // The main window is active again once the progress window has gone.
    QVERIFY(QTest::qWaitForWindowActive(&rig.form));

    rig.type("b1", QStringLiteral("7"));
    tickGeometricSearch(rig, QStringLiteral("3"));
    rig.services.setDeliverHook([&](int call) {
        if (call == 3) {  // the second pass of this run
            QTest::mouseClick(rig.form.rotationDone().abortButton(), Qt::LeftButton);
        }
    });
    rig.clickCalculate();

    QCOMPARE(rig.services.deliverCalls(), 3);
    QCOMPARE(rig.label("VVo"), vvo);
    QCOMPARE(rig.label("pxanswer"), px);
    QVERIFY(rig.form.controls().Command1->isEnabled());
    QVERIFY(rig.form.controls().mnuSave->isEnabled());
    QVERIFY(!rig.form.controls().GraphShow->isEnabled());
    QCOMPARE(rig.text("b1"), QStringLiteral("7"));
}

void CalculateTest::closingTheProgressWindowAborts() {
    MainFormRig rig;
    QVERIFY(rig.show());
    tickGeometricSearch(rig, QStringLiteral("2"));
    rig.services.setDeliverHook([&](int call) {
        if (call == 1) {
            rig.form.rotationDone().close();
        }
    });
    rig.clickCalculate();
    QCOMPARE(rig.services.deliverCalls(), 1);
    QVERIFY(rig.label("VVo").isEmpty());
}

void CalculateTest::captureRewritesTheLatticeTexts() {
    MainFormRig rig;
    QVERIFY(rig.show());
    rig.type("a1", QStringLiteral("3.14159265"));
    rig.type("alpha", QStringLiteral("120.0000"));
    rig.type("beta", QStringLiteral("+90"));
    rig.type("Upperangle", QStringLiteral("10.0"));
    rig.clickCalculate();
    QVERIFY(rig.services.messages().isEmpty());
    QCOMPARE(rig.text("a1"), QStringLiteral("3.141593"));
    QCOMPARE(rig.text("alpha"), QStringLiteral("120"));
    QCOMPARE(rig.text("beta"), QStringLiteral("90"));
    // The range texts are read, not rewritten.
    QCOMPARE(rig.text("Upperangle"), QStringLiteral("10.0"));
    QCOMPARE(rig.state.SubstrateLattice.a1, 3.141593F);
    QCOMPARE(rig.state.CalcSettings.upperAngle, 10.0F);
    QCOMPARE(rig.state.completedScan->results.LastAngleIndex, 40);
}

void CalculateTest::refusedRunChangesNothing_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("caption");  // named in the one message

    QTest::newRow("zero spacing") << "AngleSpacing"
                                  << "0"
                                  << "Spacing";
    QTest::newRow("zero length") << "b2"
                                 << "0"
                                 << "Overlayer b2";
    QTest::newRow("negative domain") << "b1size"
                                     << "-1"
                                     << "b1 direction";
    QTest::newRow("alpha 180") << "alpha"
                               << "180"
                               << "Substrate alpha";
    QTest::newRow("too many steps") << "AngleSpacing"
                                    << "0.0001"
                                    << "Spacing";
}

void CalculateTest::refusedRunChangesNothing() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, caption);
    MainFormRig rig;
    QVERIFY(rig.show());
    // A text the capture would rewrite shows whether anything was written back.
    rig.type("a1", QStringLiteral("3.14159265"));
    rig.type(field.toLatin1().constData(), typed);
    QVERIFY(rig.services.messages().isEmpty());

    rig.clickCalculate();

    QCOMPARE(rig.services.messages().size(), 1);
    QVERIFY2(rig.services.messages().front().contains(caption),
             qPrintable(rig.services.messages().front()));
    QCOMPARE(rig.text("a1"), QStringLiteral("3.14159265"));
    QCOMPARE(rig.text(field.toLatin1().constData()), typed);
    QVERIFY(rig.label("VVo").isEmpty());
    QVERIFY(!rig.state.completedScan.has_value());
    QCOMPARE(rig.state.best.BestVVo, 0.0);
    QCOMPARE(rig.state.SubstrateLattice.a1, 0.0F);  // never captured
    QCOMPARE(rig.services.busyCalls(), 0);
    QVERIFY(rig.services.placements().empty());
    QVERIFY(!rig.form.controls().GraphShow->isEnabled());
    QVERIFY(rig.form.controls().Calculate->isEnabled());
}

void CalculateTest::zeroA1FillsTheIterationRangesBeforeTheRefusal() {
    for (const bool iterationMode : {false, true}) {
        MainFormRig rig;
        QVERIFY(rig.show());
        if (iterationMode) {
            rig.form.controls().Option2->setChecked(true);
        }
        auto* b1low =
            rig.form.iteration().iterationWindow().findChild<QLineEdit*>(QStringLiteral("b1low"));
        auto* a1high =
            rig.form.iteration().iterationWindow().findChild<QLineEdit*>(QStringLiteral("a1high"));
        b1low->setText(QStringLiteral("7"));
        rig.type("a1", QStringLiteral("0"));
        rig.clickCalculate();
        QCOMPARE(rig.services.messages().size(), 1);
        QVERIFY2(rig.services.messages().front().contains(QStringLiteral("Substrate a1")),
                 qPrintable(rig.services.messages().front()));
        QCOMPARE(b1low->text(), QStringLiteral("9.50"));   // from b1 = 10
        QCOMPARE(a1high->text(), QStringLiteral("0.00"));  // from a1 = 0
    }
}

void CalculateTest::resultsFrameSaysWhatTheBestMeans_data() {
    QTest::addColumn<QString>("alpha");
    QTest::addColumn<bool>("hexagonal");
    QTest::addColumn<QString>("epitaxy");
    QTest::addColumn<QString>("note");  // the start of the symmetry note; empty: none shown
    QTest::newRow("sqrt3, hexagonal at 60")
        << "60" << true << "commensurate: (√3×√3)R30°, matrix (1 1; -1 2)"
        << "";
    QTest::newRow("hexagonal at 120") << "120" << true << ""
                                      << "Note: hexagonal with alpha = 120";
    QTest::newRow("hexagonal cell run without its third wave")
        << "60" << false << "commensurate: (√3×√3)R30°, matrix (1 1; -1 2)"
        << "Note: this lattice is hexagonal; the Hexagonal choice adds its third wave";
}

void CalculateTest::resultsFrameSaysWhatTheBestMeans() {
    QFETCH(QString, alpha);
    QFETCH(bool, hexagonal);
    QFETCH(QString, epitaxy);
    QFETCH(QString, note);
    MainFormRig rig;
    QVERIFY(rig.show());
    const MainFormControls& c = rig.form.controls();
    for (const char* name : {"a1", "a2"}) {
        rig.type(name, QStringLiteral("2.8836"));
    }
    rig.type("alpha", alpha);
    for (const char* name : {"b1", "b2"}) {
        rig.type(name, QStringLiteral("4.9945"));
    }
    rig.type("beta", alpha);
    QTest::mouseClick(hexagonal ? c.hexagonal : c.nonhexagonal, Qt::LeftButton);
    rig.clickCalculate();
    QVERIFY(rig.services.messages().isEmpty());
    if (!epitaxy.isEmpty()) {
        QCOMPARE(rig.label("LblEpitaxy"), epitaxy);
        QCOMPARE(rig.label("LblMatrix"), QStringLiteral("Matrix (1.000 1.000; -1.000 2.000)"));
    }
    QCOMPARE(c.LblSymmetryNote->isVisibleTo(&rig.form), !note.isEmpty());
    // The lines are broken to the frame's width.
    const QString shown = rig.label("LblSymmetryNote").replace(QLatin1Char('\n'), QLatin1Char(' '));
    QVERIFY2(note.isEmpty() ? shown.isEmpty() : shown.startsWith(note), qPrintable(shown));
}

void CalculateTest::fromMatrixFillsTheOverlayerAroundItsAzimuth() {
    MainFormRig rig;
    QVERIFY(rig.show());
    const MainFormControls& c = rig.form.controls();
    for (const char* name : {"a1", "a2"}) {
        rig.type(name, QStringLiteral("2.5562"));
    }
    // Not a matrix, or one whose rows are parallel however large: said so, and the overlayer
    // stays as it was.
    for (const char* typed : {"4 4 -5", "1e300 1e300 1e300 1e300"}) {
        const qsizetype before = rig.services.messages().size();
        rig.services.queueText(QString::fromLatin1(typed));
        QTest::mouseClick(c.cmdFromMatrix, Qt::LeftButton);
        QCOMPARE(rig.services.messages().size(), before + 1);
        QCOMPARE(rig.text("b1"), QStringLiteral("10"));
    }

    // PTCDA on Cu(100): b1 = 4√2 a, b2 = 5√2 a at right angles, turned by 45°.
    rig.services.queueText(QStringLiteral("4 4 -5 5"));
    QTest::mouseClick(c.cmdFromMatrix, Qt::LeftButton);
    QCOMPARE(rig.services.messages().size(), 2);
    QCOMPARE(rig.text("b1").toFloat(), static_cast<float>(4 * std::sqrt(2.0) * 2.5562));
    QCOMPARE(rig.text("b2").toFloat(), static_cast<float>(5 * std::sqrt(2.0) * 2.5562));
    QCOMPARE(rig.text("beta").toDouble(), 90.0);
    // The range's width kept, with a step on 45° itself (steps lie 0.001° past lower + k·0.25),
    // as --matrix places it.
    QCOMPARE(rig.text("Lowerangle").toDouble(), 14.999);
    QCOMPARE(rig.text("Upperangle").toDouble(), 74.999);
    rig.clickCalculate();
    QCOMPARE(rig.label("LblEpitaxy").replace(QLatin1Char('\n'), QLatin1Char(' ')),
             QStringLiteral("commensurate: (4√2×5√2)R45°, matrix (4 4; -5 5); (5√2×4√2)R45° is "
                            "a domain of the same structure"));
    QCOMPARE(rig.label("Angleanswer"), QStringLiteral("45.00"));
}

}  // namespace

int runCalculateTests(int argc, char** argv) {
    CalculateTest test;
    return QTest::qExec(&test, argc, argv);
}

void CalculateTest::fromCrystalFileShowsTheMeshThenFillsTheBlock() {
    MainFormRig rig;
    QVERIFY(rig.show());
    const MainFormControls& c = rig.form.controls();
    const QString data = QStringLiteral(LAMIVEX_TEST_DATA_DIR);
    // A file that is no crystal file: said so, nothing filled.
    rig.services.queueFileName(data + QStringLiteral("/not_a_cif.cif"));
    rig.services.queueText(QStringLiteral("1 1 1"));
    QTest::mouseClick(c.cmdSubstrateCif, Qt::LeftButton);
    QCOMPARE(rig.services.messages().size(), 1);
    QVERIFY(rig.services.messages().back().contains(QStringLiteral("is not a CIF file")));
    QCOMPARE(rig.text("a1"), QStringLiteral("10"));

    // The mesh is shown first; No leaves the fields as they are.
    rig.services.queueFileName(data + QStringLiteral("/fe.cif"));
    rig.services.queueText(QStringLiteral("1 1 0"));
    rig.services.queueAnswer(Answer::No);
    QTest::mouseClick(c.cmdOverlayerCif, Qt::LeftButton);
    QVERIFY(rig.services.questions().back().contains(QStringLiteral("centred rectangular mesh")));
    QCOMPARE(rig.text("b1"), QStringLiteral("10"));

    // Cu(111) fills the substrate and turns Hexagonal on; a √3 overlayer on it then lies at 30°.
    rig.services.queueFileName(data + QStringLiteral("/cu.cif"));
    rig.services.queueText(QStringLiteral("1 1 1"));
    rig.services.queueAnswer(Answer::Yes);
    QTest::mouseClick(c.cmdSubstrateCif, Qt::LeftButton);
    QCOMPARE(rig.text("SubName"), QStringLiteral("Cu(111)"));
    // The field reads singles: the shortest text of the single nearest 3.615 / √2
    // (python: struct.unpack('f', struct.pack('f', 3.615 / 2 ** .5)), then the fewest
    // '%.*g' digits that give it back), not the 17 digits of the double.
    QCOMPARE(rig.text("a1"), QStringLiteral("2.556191"));
    QCOMPARE(rig.text("alpha"), QStringLiteral("60"));
    QVERIFY(c.hexagonal->isChecked());
    for (const char* name : {"b1", "b2"}) {
        rig.type(name, QStringLiteral("4.4274"));
    }
    rig.type("beta", QStringLiteral("60"));
    rig.clickCalculate();
    QCOMPARE(rig.label("Angleanswer"), QStringLiteral("30.00"));
}

}  // namespace lamivex::app::test

#include "calculate_test.moc"
