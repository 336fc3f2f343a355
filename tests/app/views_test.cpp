// The real-space and LEED windows: opened after a run, following the best orientation or
// the angle clicked on the graph, their controls, zoom and export.

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <cmath>

#include "app/epigraph.h"
#include "app/leed_pattern_window.h"
#include "app/picture_box.h"
#include "app/real_space_window.h"
#include "app/view_canvas.h"
#include "app/views_binding.h"
#include "output/view_pictures.h"
#include "tests/app/test_suites.h"

namespace lamivex::app::test {
namespace {

// (√3×√3)R30° on a hexagonal substrate, or an oblique cell on it.
void typeLattices(MainFormRig& rig, bool rootThree) {
    for (const char* name : {"a1", "a2"}) {
        rig.type(name, QStringLiteral("2.8836"));
    }
    rig.type("alpha", QStringLiteral("60"));
    rig.type("b1", rootThree ? QStringLiteral("4.9945") : QStringLiteral("7.3"));
    rig.type("b2", rootThree ? QStringLiteral("4.9945") : QStringLiteral("5.1"));
    rig.type("beta", rootThree ? QStringLiteral("60") : QStringLiteral("75"));
    QTest::mouseClick(rig.form.controls().hexagonal, Qt::LeftButton);
}

class ViewsTest : public QObject {
    Q_OBJECT

  private slots:
    void offeredOnlyAfterACompletedRun();
    void leedFollowsItsControls();
    void aClickOnTheGraphChoosesTheAngleShown();
    void wheelZoomsAndExportWritesThePicture();
    void realSpaceOpensOnTheCellsAtTheOrigin();
};

// NOLINTNEXTLINE(readability-convert-member-functions-to-static): QTest calls slots
void ViewsTest::offeredOnlyAfterACompletedRun() {
    MainFormRig rig;
    QVERIFY(rig.show());
    const MainFormControls& c = rig.form.controls();
    QVERIFY(!c.cmdRealSpace->isEnabled());
    QVERIFY(!c.cmdLeed->isEnabled());
    typeLattices(rig, true);
    rig.clickCalculate();
    QVERIFY(c.cmdRealSpace->isEnabled());
    QTest::mouseClick(c.cmdRealSpace, Qt::LeftButton);
    RealSpaceWindow& realSpace = rig.form.views().realSpace();
    QVERIFY(realSpace.isVisible());
    QCOMPARE(realSpace.objectName(), QStringLiteral("RealSpace"));
    QVERIFY(realSpace.windowTitle().startsWith(QStringLiteral("Real space: ")));
    QCOMPARE(realSpace.subject().lattices.angle, static_cast<double>(rig.state.best.BestAngle));
    // At 30.001° and 4.9945 Å the domain's edge drifts a few thousandths of a spacing.
    QVERIFY(realSpace.scene().largestRegistry < 0.01);
    QVERIFY(realSpace.findChild<QLabel*>(QStringLiteral("lblSubject"))
                ->text()
                .startsWith(QStringLiteral("Azimuth 30.00°")));
    // Exit hides the views with the main window.
    QTest::mouseClick(c.Exit, Qt::LeftButton);
    QVERIFY(!realSpace.isVisible());
}

// NOLINTNEXTLINE(readability-convert-member-functions-to-static): QTest calls slots
void ViewsTest::leedFollowsItsControls() {
    MainFormRig rig;
    QVERIFY(rig.show());
    typeLattices(rig, false);
    rig.clickCalculate();
    QTest::mouseClick(rig.form.controls().cmdLeed, Qt::LeftButton);
    LeedPatternWindow& leed = rig.form.views().leed();
    QVERIFY(leed.isVisible());
    QCOMPARE(leed.objectName(), QStringLiteral("LeedPattern"));
    QCOMPARE(leed.pattern().domains.size(), std::size_t{6});
    QCOMPARE(leed.pattern().energyEv, 60.0);
    // However long the line above the picture, the window needs no more width for it.
    auto* line = leed.findChild<QLabel*>(QStringLiteral("lblSubject"));
    const int minimumWidth = leed.minimumSizeHint().width();
    line->setText(line->text().repeated(4));
    QCOMPARE(leed.minimumSizeHint().width(), minimumWidth);

    leed.energy()->setValue(150);
    QVERIFY(std::fabs(leed.pattern().k0 - 0.5123 * std::sqrt(150.0)) < 1e-3);
    QCOMPARE(leed.energy()->minimum(), 10);
    QCOMPARE(leed.energy()->maximum(), 500);

    auto* mirrors = leed.findChild<QCheckBox*>(QStringLiteral("chkMirror"));
    auto* all = leed.findChild<QCheckBox*>(QStringLiteral("chkAllDomains"));
    auto* multiple = leed.findChild<QCheckBox*>(QStringLiteral("chkMultiple"));
    mirrors->setChecked(false);
    QCOMPARE(leed.pattern().domains.size(), std::size_t{3});
    all->setChecked(false);
    QCOMPARE(leed.pattern().domains.size(), std::size_t{1});
    QVERIFY(!mirrors->isEnabled());
    multiple->setChecked(true);
    bool doubleDiffraction = false;
    for (const views::LeedSpot& s : leed.pattern().spots) {
        doubleDiffraction = doubleDiffraction || s.source == views::SpotSource::Multiple;
    }
    QVERIFY(doubleDiffraction);
}

// NOLINTNEXTLINE(readability-convert-member-functions-to-static): QTest calls slots
void ViewsTest::aClickOnTheGraphChoosesTheAngleShown() {
    MainFormRig rig;
    QVERIFY(rig.show());
    typeLattices(rig, true);
    rig.clickCalculate();
    QTest::mouseClick(rig.form.controls().cmdRealSpace, Qt::LeftButton);
    RealSpaceWindow& realSpace = rig.form.views().realSpace();
    Epigraph& graph = rig.form.epigraph();
    PictureBox& picture = graph.picture();
    QVERIFY(QTest::qWaitForWindowExposed(&graph));

    // The graph spans 0..60° over x = 0..100 of -30..120 across the picture.
    const double x = (10.0 / 60 * 100 + 30) / 150 * picture.width();
    QTest::mouseClick(&picture, Qt::LeftButton, {},
                      QPoint(static_cast<int>(std::lround(x)), picture.height() / 2));
    QVERIFY(rig.state.viewAngle.has_value());
    QVERIFY(std::fabs(*rig.state.viewAngle - 10.001) < 0.3);
    QCOMPARE(realSpace.subject().lattices.angle, *rig.state.viewAngle);
    QVERIFY(realSpace.scene().largestRegistry > 0.1);  // far from the √3 registry
    QVERIFY(picture.overlay().has_value());

    // A new run: back to its best orientation, the marker gone.
    rig.clickCalculate();
    QVERIFY(!rig.state.viewAngle.has_value());
    QVERIFY(!picture.overlay().has_value());
    QCOMPARE(realSpace.subject().lattices.angle, static_cast<double>(rig.state.best.BestAngle));
}

// NOLINTNEXTLINE(readability-convert-member-functions-to-static): QTest calls slots
void ViewsTest::wheelZoomsAndExportWritesThePicture() {
    MainFormRig rig;
    QVERIFY(rig.show());
    typeLattices(rig, true);
    rig.clickCalculate();
    QTest::mouseClick(rig.form.controls().cmdLeed, Qt::LeftButton);
    LeedPatternWindow& leed = rig.form.views().leed();
    auto* canvas = leed.findChild<ViewCanvas*>(QStringLiteral("picView"));
    const double before = leed.picture().coordinates.width();
    const QPointF centre(canvas->width() / 2.0, canvas->height() / 2.0);
    QWheelEvent wheel(centre, canvas->mapToGlobal(centre), {}, {0, 120}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas, &wheel);
    QCOMPARE(leed.zoom(), 1.25);
    QVERIFY(std::fabs(leed.picture().coordinates.width() * 1.25 - before) < 1e-9 * before);
    QWheelEvent back(centre, canvas->mapToGlobal(centre), {}, {0, -360}, Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas, &back);
    QCOMPARE(leed.zoom(), 1.0);  // never less than everything

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("pattern.svg"));
    rig.services.queueFileName(file);
    QTest::mouseClick(leed.findChild<QPushButton*>(QStringLiteral("cmdExport")), Qt::LeftButton);
    QVERIFY2(rig.services.messages().isEmpty(), qPrintable(rig.services.messages().join('\n')));
    QFile written(file);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll().contains("<svg"));
}

// NOLINTNEXTLINE(readability-convert-member-functions-to-static): QTest calls slots
void ViewsTest::realSpaceOpensOnTheCellsAtTheOrigin() {
    MainFormRig rig;
    QVERIFY(rig.show());
    typeLattices(rig, false);
    rig.clickCalculate();
    QTest::mouseClick(rig.form.controls().cmdRealSpace, Qt::LeftButton);
    RealSpaceWindow& realSpace = rig.form.views().realSpace();
    const double opening = output::realSpaceOpeningZoom(realSpace.scene());
    QVERIFY(opening > 5);  // 25 cells each way, a few shown
    QCOMPARE(realSpace.zoom(), opening);
    QVERIFY(realSpace.picture().discs().size() < 300);
    // The whole domain, 51 × 51 overlayer points, one click away, and back.
    QTest::mouseClick(realSpace.findChild<QPushButton*>(QStringLiteral("cmdWholeDomain")),
                      Qt::LeftButton);
    QCOMPARE(realSpace.zoom(), 1.0);
    QVERIFY(realSpace.picture().discs().size() >= std::size_t{51} * 51);
    QTest::mouseClick(realSpace.findChild<QPushButton*>(QStringLiteral("cmdOriginCells")),
                      Qt::LeftButton);
    QCOMPARE(realSpace.zoom(), opening);
}

}  // namespace

int runViewsTests(int argc, char** argv) {
    ViewsTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace lamivex::app::test

#include "views_test.moc"
