// "Build model…" of a (√3×√3)R30° layer on Pt(111): the substrate taken with From crystal
// file… (Pt, a = 3.924 Å, so a(111) = 3.924/√2 = 2.77470 Å and the √3 cell 4.80592 Å) and the
// overlayer a one-atom Xe layer of 4.75 Å. Counted by hand: 4 layers × 3 atoms of Pt in the √3
// cell, one Xe; the preview shows the top layer's 3 atoms and the Xe.

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/build_model_window.h"
#include "tests/app/test_suites.h"

namespace lamivex::app::test {
namespace {

class BuildModelWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void buildsTheCommensurateCellFromTheCrystalFileUsed();
};

void BuildModelWindowTest::buildsTheCommensurateCellFromTheCrystalFileUsed() {
    MainFormRig rig;
    QVERIFY(rig.show());
    const MainFormControls& c = rig.form.controls();
    QVERIFY(!c.cmdBuildModel->isEnabled());
    const QString platinum = QStringLiteral(LAMIVEX_TEST_DATA_DIR "/pt_atoms.cif");
    rig.services.queueFileName(platinum);
    rig.services.queueText(QStringLiteral("1 1 1"));
    rig.services.queueAnswer(Answer::Yes);
    QTest::mouseClick(c.cmdSubstrateCif, Qt::LeftButton);
    for (const char* name : {"b1", "b2"}) {
        rig.type(name, QStringLiteral("4.805925"));
    }
    rig.type("beta", QStringLiteral("60"));
    rig.type("Lowerangle", QStringLiteral("29"));
    rig.type("Upperangle", QStringLiteral("31"));
    rig.clickCalculate();
    QVERIFY(c.cmdBuildModel->isEnabled());
    QTest::mouseClick(c.cmdBuildModel, Qt::LeftButton);

    auto* window = rig.form.findChild<BuildModelWindow*>(QStringLiteral("BuildModel"));
    QVERIFY(window != nullptr);
    QCOMPARE(window->findChild<QLineEdit*>(QStringLiteral("txtSubstrateFile"))->text(), platinum);
    window->findChild<QLineEdit*>(QStringLiteral("txtOverlayerFile"))
        ->setText(QStringLiteral(LAMIVEX_TEST_DATA_DIR "/xe_layer.xyz"));
    window->build();
    QVERIFY2(window->model().has_value(), qPrintable(rig.services.messages().join('\n')));
    const model::StructureModel& m = window->model()->model;
    QCOMPARE(m.substrateAtoms, 12);
    QCOMPARE(m.overlayerAtoms, 1);
    const double a = std::hypot(m.cell[0][0], m.cell[0][1]);
    QVERIFY(std::fabs(a - std::sqrt(3.0) * 3.924 / std::sqrt(2.0)) < 1e-3);
    // The top layer's three Pt and the Xe, and a legend disc each for the two kinds.
    QCOMPARE(modelPreview(m).discs().size(), std::size_t{4 + 2});

    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("model.cif"));
    rig.services.queueFileName(file);
    window->findChild<QPushButton*>(QStringLiteral("cmdSave"))->click();
    QFile written(file);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll().contains("Xe"));
}

}  // namespace

int runBuildModelWindowTests(int argc, char** argv) {
    BuildModelWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace lamivex::app::test

#include "build_model_window_test.moc"
