// The LEED window's way back from a measured image to the overlayer's cell, on pictures the
// test paints with its own arithmetic: (√7×√7)R19.1° on Cu(111) with both mirror domains.
// Cu(111) has a = 2.5562 Å and a hexagonal reciprocal lattice with |a1*| = |a2*| = 4π/(√3 a)
// at −30° and +30° from a1. The √7 cell is the substrate's lattice √7 larger, turned by
// atan(√3/5) = 19.1066° (b1 = 2 a1 + a2), so its reciprocal lattice is the substrate's √7
// smaller turned the same way; the mirror domain is turned the other way. Either contains
// the substrate's orders. b1 = 2.5562 √7 = 6.7631 Å.

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <variant>
#include <vector>

#include <QDoubleSpinBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/leed_pattern_window.h"
#include "app/view_canvas.h"
#include "app/views_binding.h"
#include "tests/app/test_suites.h"

namespace lamivex::app::test {
namespace {

constexpr double kCopper = 2.5562;
const double kSqrt7Cell = kCopper * std::sqrt(7.0);
const double kSqrt7Turn = std::atan(std::sqrt(3.0) / 5) * 180 / std::numbers::pi;

// Where the test puts the pattern on its 320 × 320 picture: the (0,0) spot, pixels per 1/Å,
// and a1's direction counter-clockwise as seen.
constexpr int kSize = 320;
constexpr std::size_t kPixels = std::size_t{kSize} * kSize;
constexpr double kCentreX = 161.3;
constexpr double kCentreY = 152.7;
constexpr double kScale = 35;
constexpr double kTurn = 12;
constexpr double kReach = 140;  // pixels from the centre that hold spots

// a − b folded into (−period/2, period/2].
double apart(double a, double b, double period) {
    return std::remainder(a - b, period);
}

bool savePicture(const std::vector<double>& levels, const QString& path) {
    QImage picture(kSize, kSize, QImage::Format_Grayscale8);
    for (int y = 0; y < kSize; ++y) {
        uchar* row = picture.scanLine(y);
        for (int x = 0; x < kSize; ++x) {
            row[x] = static_cast<uchar>(std::lround(std::clamp(
                levels[static_cast<std::size_t>(y) * kSize + static_cast<std::size_t>(x)], 0.0,
                255.0)));
        }
    }
    return picture.save(path);
}

// Gaussian spots of the √7 pattern (σ 1.6 pixels, 150 grey levels high) on a flat
// background of 30 with noise of 2; the (0,0) spot hidden as the gun hides it.
bool paintSqrt7(const QString& path) {
    const double star = 4 * std::numbers::pi / (std::sqrt(3.0) * kCopper) / std::sqrt(7.0);
    std::vector<std::pair<double, double>> places;
    for (const double sign : {1.0, -1.0}) {
        const double turn = sign * kSqrt7Turn;
        const double u1 = (turn - 30) * std::numbers::pi / 180;
        const double u2 = (turn + 30) * std::numbers::pi / 180;
        for (int h = -8; h <= 8; ++h) {
            for (int k = -8; k <= 8; ++k) {
                const double gx = star * (h * std::cos(u1) + k * std::cos(u2));
                const double gy = star * (h * std::sin(u1) + k * std::sin(u2));
                const double r = kScale * std::hypot(gx, gy);
                if (r < 1 || r > kReach) {
                    continue;
                }
                const double c = std::cos(kTurn * std::numbers::pi / 180);
                const double s = std::sin(kTurn * std::numbers::pi / 180);
                const double x = kCentreX + kScale * (c * gx - s * gy);
                const double y = kCentreY - kScale * (s * gx + c * gy);
                bool seen = false;  // the substrate's orders belong to both domains
                for (const auto& [px, py] : places) {
                    seen = seen || std::hypot(px - x, py - y) < 0.5;
                }
                if (!seen) {
                    places.emplace_back(x, y);
                }
            }
        }
    }
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0, 2);
    std::vector<double> levels(kPixels);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            double level = 30 + noise(random);
            for (const auto& [px, py] : places) {
                const double r2 = (x - px) * (x - px) + (y - py) * (y - py);
                level += 150 * std::exp(-r2 / (2 * 1.6 * 1.6));
            }
            levels[static_cast<std::size_t>(y) * kSize + static_cast<std::size_t>(x)] = level;
        }
    }
    return savePicture(levels, path);
}

bool paintNoise(const QString& path) {
    std::mt19937 random(11);
    std::normal_distribution<double> noise(60, 4);
    std::vector<double> levels(kPixels);
    for (double& level : levels) {
        level = noise(random);
    }
    return savePicture(levels, path);
}

QPushButton* command(const QWidget& window, const char* name) {
    return window.findChild<QPushButton*>(QString::fromLatin1(name));
}

class LeedFitWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void fitsTheCellOfAnImageAndHandsItToTheMainWindow();
    void refusesAnUnreadableFileAndAnImageOfNoise();
};

// NOLINTNEXTLINE(readability-convert-member-functions-to-static): QTest calls slots
void LeedFitWindowTest::fitsTheCellOfAnImageAndHandsItToTheMainWindow() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("sqrt7.png"));
    QVERIFY(paintSqrt7(file));

    MainFormRig rig;
    QVERIFY(rig.show());
    for (const char* name : {"a1", "a2"}) {
        rig.type(name, QStringLiteral("2.5562"));
    }
    rig.type("alpha", QStringLiteral("60"));
    QTest::mouseClick(rig.form.controls().hexagonal, Qt::LeftButton);
    for (const char* name : {"b1", "b2"}) {
        rig.type(name, QStringLiteral("5"));
    }
    rig.type("beta", QStringLiteral("60"));
    rig.clickCalculate();
    QTest::mouseClick(rig.form.controls().cmdLeed, Qt::LeftButton);
    LeedPatternWindow& leed = rig.form.views().leed();
    QVERIFY(QTest::qWaitForWindowExposed(&leed));

    rig.services.queueFileName(file);
    QTest::mouseClick(command(leed, "cmdLoadImage"), Qt::LeftButton);
    QVERIFY2(rig.services.messages().isEmpty(), qPrintable(rig.services.messages().join('\n')));
    QVERIFY(leed.hasImage());
    QTest::mouseClick(command(leed, "cmdFindSpots"), Qt::LeftButton);
    const std::vector<fit::Spot> found = leed.spots();
    QVERIFY(found.size() > 20);

    // A click beside the pattern's centre, where nothing is painted, marks a spot; a second
    // click there takes it away again.
    auto* canvas = leed.findChild<ViewCanvas*>(QStringLiteral("picView"));
    const QPoint middle(canvas->width() / 2, canvas->height() / 2);
    QTest::mouseClick(canvas, Qt::LeftButton, {}, middle);
    QCOMPARE(leed.spots().size(), found.size() + 1);
    QTest::mouseClick(canvas, Qt::LeftButton, {}, middle);
    QCOMPARE(leed.spots().size(), found.size());

    QVERIFY(!command(leed, "cmdUseCell")->isEnabled());
    QTest::mouseClick(command(leed, "cmdFitSpots"), Qt::LeftButton);
    QVERIFY2(rig.services.messages().isEmpty(), qPrintable(rig.services.messages().join('\n')));
    QVERIFY(leed.fitted().has_value());
    QVERIFY(std::fabs(leed.fitted()->cell.b1 - kSqrt7Cell) < 0.005 * kSqrt7Cell);
    QVERIFY(std::fabs(leed.fitted()->cell.b2 - kSqrt7Cell) < 0.005 * kSqrt7Cell);
    QVERIFY(leed.findChild<QLabel*>(QStringLiteral("lblFit"))
                ->text()
                .contains(QStringLiteral("(√7×√7)R19.1°")));
    // The placement fields now put the simulated pattern where the test painted it; a turn
    // by a multiple of 60° maps the hexagonal pattern onto itself.
    const auto value = [&leed](const char* name) {
        return leed.findChild<QDoubleSpinBox*>(QString::fromLatin1(name))->value();
    };
    QVERIFY(std::fabs(value("spinCentreX") - kCentreX) < 0.2);
    QVERIFY(std::fabs(value("spinCentreY") - kCentreY) < 0.2);
    QVERIFY(std::fabs(value("spinScale") - kScale) < 0.005 * kScale);
    QVERIFY2(std::fabs(apart(value("spinRotation"), kTurn, 60)) < 0.2,
             qPrintable(QString::number(value("spinRotation"))));
    // The picture, as Export writes it, holds the image under the marks.
    const output::DisplayList& shown = leed.picture();
    QVERIFY(!shown.items.empty());
    const auto* image = std::get_if<output::GreyPicture>(&shown.items.front());
    QVERIFY(image != nullptr);
    QCOMPARE(image->width, kSize);

    QVERIFY(command(leed, "cmdUseCell")->isEnabled());
    QTest::mouseClick(command(leed, "cmdUseCell"), Qt::LeftButton);
    QVERIFY(std::fabs(rig.text("b1").toDouble() - kSqrt7Cell) < 0.005 * kSqrt7Cell);
    QVERIFY(std::fabs(rig.text("b2").toDouble() - kSqrt7Cell) < 0.005 * kSqrt7Cell);
    // beta 60° or 120° name the same hexagonal cell.
    QVERIFY(std::fabs(apart(rig.text("beta").toDouble(), 60, 60)) < 0.3);
    const double lower = rig.text("Lowerangle").toDouble();
    const double upper = rig.text("Upperangle").toDouble();
    QVERIFY(std::fabs(upper - lower - 2 * kFittedAzimuthMargin) < 0.02);
    // The range is centred on one of the azimuths of the two domains, ±19.1066° mod 60°.
    const double middleAngle = (lower + upper) / 2;
    QVERIFY2(std::min(std::fabs(apart(middleAngle, kSqrt7Turn, 60)),
                      std::fabs(apart(middleAngle, -kSqrt7Turn, 60))) < 0.2,
             qPrintable(QString::number(middleAngle)));
}

// NOLINTNEXTLINE(readability-convert-member-functions-to-static): QTest calls slots
void LeedFitWindowTest::refusesAnUnreadableFileAndAnImageOfNoise() {
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("notes.png"));
    QFile notes(text);
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("no picture here\n");
    notes.close();
    const QString noise = dir.filePath(QStringLiteral("noise.png"));
    QVERIFY(paintNoise(noise));

    ScriptedServices services;
    LeedPatternWindow leed(services);
    views::ViewSubject subject;
    subject.lattices = {{kCopper, kCopper, 60}, 5, 5, 60, 0};
    leed.showSubject(subject);

    services.queueFileName(text);
    QTest::mouseClick(command(leed, "cmdLoadImage"), Qt::LeftButton);
    QCOMPARE(services.messages().size(), qsizetype{1});
    QVERIFY(!leed.hasImage());
    QVERIFY(!command(leed, "cmdFitSpots")->isEnabled());

    services.queueFileName(noise);
    QTest::mouseClick(command(leed, "cmdLoadImage"), Qt::LeftButton);
    QVERIFY(leed.hasImage());
    QTest::mouseClick(command(leed, "cmdFindSpots"), Qt::LeftButton);
    QTest::mouseClick(command(leed, "cmdFitSpots"), Qt::LeftButton);
    QCOMPARE(services.messages().size(), qsizetype{2});
    QVERIFY(!services.messages().back().isEmpty());
    QVERIFY(!leed.fitted().has_value());
    QVERIFY(!command(leed, "cmdUseCell")->isEnabled());
    // Only when the main window has moved on since the run shown does the refusal say how to
    // fit on the substrate it now holds.
    const QString howOut = QStringLiteral("Calculate again");
    QVERIFY(!services.messages().back().contains(howOut));
    leed.setEarlierRun(true);
    QTest::mouseClick(command(leed, "cmdFitSpots"), Qt::LeftButton);
    QCOMPARE(services.messages().size(), qsizetype{3});
    QVERIFY2(services.messages().back().contains(howOut), qPrintable(services.messages().back()));
}

}  // namespace

int runLeedFitWindowTests(int argc, char** argv) {
    LeedFitWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace lamivex::app::test

#include "leed_fit_window_test.moc"
