// "Screen substrates…": the main window's (√3×√3)R30° overlayer of 4.9952 Å against fcc Au
// and Cu and their low-index planes. Worked by hand: Au(111) has a = 4.0786/√2 = 2.884 Å, so
// the overlayer is exactly its √3 cell (V/Vo −0.5, commensurate) and ranks first; Cu(111)'s
// 2.556 Å mesh is 13 % off and stays near 1. A double click scans the substrate it names.

#include <QCheckBox>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>

#include "app/screen_substrates.h"
#include "tests/app/test_suites.h"

namespace lamivex::app::test {
namespace {

const char* const kGold =
    "data_Au\n_cell_length_a 4.0786\n_cell_length_b 4.0786\n_cell_length_c 4.0786\n"
    "_cell_angle_alpha 90\n_cell_angle_beta 90\n_cell_angle_gamma 90\n"
    "_symmetry_space_group_name_H-M 'F m -3 m'\n";

class ScreenSubstratesTest : public QObject {
    Q_OBJECT

  private slots:
    void ranksTheCommensurateSubstrateFirstAndTakesItBack();
    void saysWhenThereIsNothingToScreen();
};

void ScreenSubstratesTest::ranksTheCommensurateSubstrateFirstAndTakesItBack() {
    QTemporaryDir folder;
    QVERIFY(
        QFile::copy(QStringLiteral(LAMIVEX_TEST_DATA_DIR "/cu.cif"), folder.filePath("cu.cif")));
    QFile gold(folder.filePath(QStringLiteral("au.cif")));
    QVERIFY(gold.open(QIODevice::WriteOnly));
    gold.write(kGold);
    gold.close();

    MainFormRig rig;
    QVERIFY(rig.show());
    for (const char* name : {"b1", "b2"}) {
        rig.type(name, QStringLiteral("4.9952"));
    }
    rig.type("beta", QStringLiteral("60"));
    ScreenSubstrates window(rig.services, std::filesystem::path());
    window.prepare(rig.form.fieldTexts(), nullptr);
    window.findChild<QCheckBox*>(QStringLiteral("ChkStarter"))->setChecked(false);
    window.findChild<QLineEdit*>(QStringLiteral("txtFolder"))->setText(folder.path());
    window.screen();

    // Three distinct planes of each cubic crystal up to index 1: (100), (110), (111).
    QCOMPARE(window.ranking().size(), std::size_t{6});
    const screening::PairResult& first = window.ranking().front();
    QCOMPARE(QString::fromStdString(first.substrate.name + first.substrate.plane),
             QStringLiteral("Au(111)"));
    QVERIFY(std::fabs(first.best.BestVVo + 0.5) < 1e-3);
    const auto* table = window.findChild<QTableWidget*>(QStringLiteral("tblRanking"));
    QCOMPARE(table->item(0, 8)->text(), QStringLiteral("(√3×√3)R30°"));

    std::vector<engine::MainFieldTexts> chosen;
    connect(&window, &ScreenSubstrates::substrateChosen, this,
            [&](const engine::MainFieldTexts& f) { chosen.push_back(f); });
    window.choose(0);
    QCOMPARE(chosen.size(), std::size_t{1});
    const engine::MainFieldTexts& fields = chosen.front();
    // 4.0786 / √2 in the shortest text a single-precision field reads back as that value.
    QCOMPARE(QString::fromStdString(fields.a1).toFloat(),
             static_cast<float>(4.0786 / std::sqrt(2.0)));
    QVERIFY(fields.a1.size() <= 9);
    QVERIFY(fields.hexagonal);
    QCOMPARE(QString::fromStdString(fields.Upperangle), QStringLiteral("60"));
}

void ScreenSubstratesTest::saysWhenThereIsNothingToScreen() {
    MainFormRig rig;
    ScreenSubstrates window(rig.services, std::filesystem::path());
    window.prepare(rig.form.fieldTexts(), nullptr);
    window.findChild<QCheckBox*>(QStringLiteral("ChkStarter"))->setChecked(false);
    window.screen();
    QCOMPARE(rig.services.messages().size(), qsizetype{1});
    QVERIFY(rig.services.messages().front().startsWith(QStringLiteral("No substrates to screen")));
    QVERIFY(window.ranking().empty());
}

}  // namespace

int runScreenSubstratesTests(int argc, char** argv) {
    ScreenSubstratesTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace lamivex::app::test

#include "screen_substrates_test.moc"
