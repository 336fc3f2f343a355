// The graph window: the tables its activation builds, Picture1 after runs and repeated
// activations, the one-step run, the Show/Hide Graph toggle and the two exports.

#include <cmath>
#include <fstream>
#include <string>

#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/cover_shape.h"
#include "app/epigraph.h"
#include "app/picture_box.h"
#include "engine/capture.h"
#include "engine/rotation_scan.h"
#include "output/angle_table_csv.h"
#include "tests/app/test_suites.h"

namespace lamivex::app::test {
namespace {

// The same scan run directly on the engine, tabulated per angle.
struct EngineTables {
    engine::ScanResults results;
    engine::AngleBestTable table;
};

EngineTables engineTables(const engine::MainFieldTexts& fields) {
    EngineTables run;
    engine::BestOrientation best;
    engine::runRotationScan(engine::scanInputsFrom(engine::captureRun(fields)), run.results, best);
    run.table = engine::buildAngleBestTable(run.results);
    return run;
}

bool sameRows(const engine::AngleBestTable& a, const engine::AngleBestTable& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t k = 0; k < a.size(); ++k) {
        const engine::AngleBestRow& x = a[k];
        const engine::AngleBestRow& y = b[k];
        if (x.minVVo != y.minVVo || x.b1Multiple != y.b1Multiple || x.b2Multiple != y.b2Multiple ||
            x.m11 != y.m11 || x.m12 != y.m12 || x.m21 != y.m21 || x.m22 != y.m22) {
            return false;
        }
    }
    return true;
}

// A small geometric search (b1 x 1..2, b2 x 1..2) over 0..60 by 0.25.
void enterGeometricRun(MainFormRig& rig, const QString& b1) {
    rig.type("b1", b1);
    rig.type("b2", QStringLiteral("4.5"));
    rig.type("b1size", QStringLiteral("6"));
    rig.type("b2size", QStringLiteral("6"));
    QTest::mouseClick(rig.form.controls().chkgeo, Qt::LeftButton);
    rig.type("txtUplim", QStringLiteral("2"));
}

QPushButton* button(const Epigraph& graph, const char* name) {
    return graph.findChild<QPushButton*>(QString::fromLatin1(name));
}

std::string fileText(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class EpigraphTest : public QObject {
    Q_OBJECT

  private slots:
    void runShowsTheGraphOfItsTables();
    void activationAgainChangesNothing();
    void nextRunClearsThePicture();
    void oneStepRunDrawsOnePoint();
    void graphShowTogglesTheWindow();
    void exportsWriteTheGraphAndTheTable();
};

// NOLINTNEXTLINE(readability-convert-member-functions-to-static): QTest calls slots
void EpigraphTest::runShowsTheGraphOfItsTables() {
    MainFormRig rig;
    QVERIFY(rig.show());
    enterGeometricRun(rig, QStringLiteral("3"));
    Epigraph& graph = rig.form.epigraph();
    QVERIFY(!graph.isVisible());
    QVERIFY(!rig.state.completedScan.has_value());

    rig.clickCalculate();

    QVERIFY(graph.isVisible());
    QCOMPARE(graph.windowTitle(), QStringLiteral("  "));
    const auto* frame = graph.findChild<QGroupBox*>(QStringLiteral("Frame1"));
    QVERIFY(frame != nullptr);
    QCOMPARE(frame->title(), QStringLiteral("Results"));
    QCOMPARE(graph.picture().objectName(), QStringLiteral("Picture1"));
    QCOMPARE(graph.picture().parentWidget(), static_cast<const QWidget*>(frame));

    // The tables are those of the same scan run on the engine.
    const EngineTables expected = engineTables(rig.form.fieldTexts());
    QVERIFY(rig.state.completedScan.has_value());
    const engine::CompletedScan& scan = *rig.state.completedScan;
    const engine::AngleBestTable& table = scan.AngleBestTable;
    QCOMPARE(table.size(), std::size_t{241});
    QVERIFY(sameRows(table, expected.table));
    QCOMPARE(scan.results.AngleMinVVo.size(), table.size());
    bool secondMultipleBest = false;
    for (std::size_t k = 0; k < table.size(); ++k) {
        QCOMPARE(scan.results.AngleMinVVo[k], table[k].minVVo);
        secondMultipleBest = secondMultipleBest || table[k].b1Multiple == 2;
    }
    // The search found supercells, so the table is more than the first pass.
    QVERIFY(secondMultipleBest);

    // Picture1 shows the graph of those tables, once.
    QCOMPARE(graph.picture().layers().size(), std::size_t{1});
    output::DisplayList drawn =
        output::plotAzimuthGraph(expected.results.AzimuthAngles, expected.table, 240).list;
    drawn.hasBackground = false;
    QVERIFY(sameDrawing(graph.picture().layers().front(), drawn));
}

// NOLINTNEXTLINE(readability-convert-member-functions-to-static): QTest calls slots
void EpigraphTest::activationAgainChangesNothing() {
    MainFormRig rig;
    QVERIFY(rig.show());
    rig.clickCalculate();
    Epigraph& graph = rig.form.epigraph();
    const output::DisplayList first = graph.picture().layers().front();

    // The user brings the window to the front: the window system activates it.
    graph.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&graph));
    graph.activate();

    QCOMPARE(graph.picture().layers().size(), std::size_t{1});
    QVERIFY(sameDrawing(graph.picture().layers().front(), first));
}

// NOLINTNEXTLINE(readability-convert-member-functions-to-static): QTest calls slots
void EpigraphTest::nextRunClearsThePicture() {
    MainFormRig rig;
    QVERIFY(rig.show());
    enterGeometricRun(rig, QStringLiteral("3"));
    rig.clickCalculate();
    Epigraph& graph = rig.form.epigraph();
    const output::DisplayList first = graph.picture().layers().front();

    rig.type("b1", QStringLiteral("3.5"));
    rig.clickCalculate();
    QCOMPARE(graph.picture().layers().size(), std::size_t{1});
    QVERIFY(!sameDrawing(graph.picture().layers().front(), first));

    // Also when the graph was hidden during the run: the old curve and its labels must not
    // stay under the new ones.
    graph.hide();
    rig.type("b1", QStringLiteral("3.7"));
    rig.clickCalculate();
    QVERIFY(graph.isVisible());
    QCOMPARE(graph.picture().layers().size(), std::size_t{1});

    // Without a run, an activation draws over the picture (here: another completed run).
    for (engine::AngleBestRow& row : rig.state.completedScan->AngleBestTable) {
        row.minVVo = 0.995;
    }
    graph.activate();
    QCOMPARE(graph.picture().layers().size(), std::size_t{2});
}

// NOLINTNEXTLINE(readability-convert-member-functions-to-static): QTest calls slots
void EpigraphTest::oneStepRunDrawsOnePoint() {
    MainFormRig rig;
    QVERIFY(rig.show());
    rig.type("Lowerangle", QStringLiteral("10"));
    rig.type("Upperangle", QStringLiteral("10"));
    rig.clickCalculate();
    QVERIFY(rig.services.messages().isEmpty());
    QCOMPARE(rig.state.completedScan->results.LastAngleIndex, 0);

    const Epigraph& graph = rig.form.epigraph();
    QVERIFY(graph.isVisible());
    QCOMPARE(rig.state.completedScan->AngleBestTable.size(), std::size_t{1});
    const output::DisplayList& drawn = graph.picture().layers().front();
    int angleLabels = 0;
    for (const output::TextItem& t : drawn.texts()) {
        if (t.topLeft.y == -10) {
            ++angleLabels;
            QCOMPARE(t.text, std::string("10"));
        }
    }
    QCOMPARE(angleLabels, 1);
    for (const output::LineSegment& l : drawn.lines()) {
        QVERIFY(std::isfinite(l.from.x) && std::isfinite(l.from.y));
        QVERIFY(std::isfinite(l.to.x) && std::isfinite(l.to.y));
    }
}

// NOLINTNEXTLINE(readability-convert-member-functions-to-static): QTest calls slots
void EpigraphTest::graphShowTogglesTheWindow() {
    MainFormRig rig;
    QVERIFY(rig.show());
    const MainFormControls& c = rig.form.controls();
    Epigraph& graph = rig.form.epigraph();
    QVERIFY(!c.GraphShow->isEnabled());
    QCOMPARE(c.Shape1->fillStyle(), CoverShape::kCrossHatched);
    rig.clickCalculate();
    QVERIFY(graph.isVisible());
    QCOMPARE(c.Shape1->fillStyle(), CoverShape::kTransparent);

    QTest::mouseClick(c.GraphShow, Qt::LeftButton);
    QVERIFY(!graph.isVisible());
    QCOMPARE(c.Shape1->fillStyle(), CoverShape::kCrossHatched);

    // Shown again, the window draws the completed run anew.
    graph.picture().clear();
    QTest::mouseClick(c.GraphShow, Qt::LeftButton);
    QVERIFY(graph.isVisible());
    QCOMPARE(c.Shape1->fillStyle(), CoverShape::kTransparent);
    QCOMPARE(graph.picture().layers().size(), std::size_t{1});
    QVERIFY(c.GraphShow->isEnabled());

    // Closed from its frame, the toggle shows it as hidden, so one click brings it back.
    graph.close();
    QVERIFY(!graph.isVisible());
    QCOMPARE(c.Shape1->fillStyle(), CoverShape::kCrossHatched);
    QTest::mouseClick(c.GraphShow, Qt::LeftButton);
    QVERIFY(graph.isVisible());

    // Leaving the calculator hides the graph with it.
    rig.form.exitToMenu();
    QVERIFY(!graph.isVisible());
}

// NOLINTNEXTLINE(readability-convert-member-functions-to-static): QTest calls slots
void EpigraphTest::exportsWriteTheGraphAndTheTable() {
    MainFormRig rig;
    QVERIFY(rig.show());
    const Epigraph& graph = rig.form.epigraph();
    QPushButton* exportGraph = button(graph, "cmdExportGraph");
    QPushButton* exportData = button(graph, "cmdExportData");
    if (exportGraph == nullptr || exportData == nullptr) {
        QFAIL("the export buttons are missing");
    }
    QVERIFY(!exportGraph->isEnabled());
    rig.clickCalculate();
    QVERIFY(exportGraph->isEnabled() && exportData->isEnabled());
    // Outside the frame, so the frame holds the picture alone.
    QVERIFY(exportGraph->parentWidget() == &graph);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString svg = dir.filePath(QStringLiteral("graph.svg"));
    rig.services.queueFileName(svg);
    QTest::mouseClick(exportGraph, Qt::LeftButton);
    QVERIFY(rig.services.messages().isEmpty());
    QCOMPARE(rig.services.dialogs().back().filter,
             QStringLiteral("PNG Images (*.png)|*.png|SVG Drawings (*.svg)|*.svg|"
                            "PDF Files (*.pdf)|*.pdf"));
    QVERIFY(fileText(svg).find("<svg") != std::string::npos);

    // A name without an extension becomes a PNG.
    rig.services.queueFileName(dir.filePath(QStringLiteral("plain")));
    QTest::mouseClick(exportGraph, Qt::LeftButton);
    QCOMPARE(fileText(dir.filePath(QStringLiteral("plain.png"))).substr(0, 4),
             std::string("\x89PNG"));

    // A type the export cannot write is refused with the reason.
    rig.services.queueFileName(dir.filePath(QStringLiteral("graph.txt")));
    QTest::mouseClick(exportGraph, Qt::LeftButton);
    QCOMPARE(rig.services.messages().size(), 1);
    QVERIFY(rig.services.messages().front().contains(QStringLiteral(".png, .svg or .pdf")));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("graph.txt"))));

    // The size dialog follows the name: its answer sizes the picture, its Cancel writes
    // nothing.
    const QString sized = dir.filePath(QStringLiteral("sized.png"));
    rig.services.queueFileName(sized);
    rig.services.queueFigure(FigureRequest{80, 60, 300, 8});
    QTest::mouseClick(exportGraph, Qt::LeftButton);
    QCOMPARE(QImage(sized).size(), QSize(945, 709));  // 80 x 60 mm at 300 dpi
    rig.services.queueFileName(dir.filePath(QStringLiteral("cancelled.png")));
    rig.services.queueFigure(std::nullopt);
    QTest::mouseClick(exportGraph, Qt::LeftButton);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("cancelled.png"))));
    QCOMPARE(rig.services.messages().size(), 1);

    const QString csv = dir.filePath(QStringLiteral("table.csv"));
    rig.services.queueFileName(csv);
    QTest::mouseClick(exportData, Qt::LeftButton);
    QCOMPARE(rig.services.dialogs().back().filter, QStringLiteral("CSV Files (*.csv)|*.csv"));
    const std::string text = fileText(csv);
    QCOMPARE(text.substr(0, text.find("\r\n")), std::string(output::kAngleTableCsvHeader));
    QCOMPARE(std::count(text.begin(), text.end(), '\n'), std::ptrdiff_t{1 + 241});

    // Cancelled: nothing more in the folder.
    const auto filesBefore = QDir(dir.path()).entryList(QDir::Files).size();
    QTest::mouseClick(exportData, Qt::LeftButton);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), filesBefore);
    QCOMPARE(rig.services.messages().size(), 1);
}

}  // namespace

int runEpigraphTests(int argc, char** argv) {
    EpigraphTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace lamivex::app::test

#include "epigraph_test.moc"
