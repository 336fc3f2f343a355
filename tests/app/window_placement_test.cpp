// Windows that accompany the main window open beside it, never over its controls, and the
// boxes opened while a window is kept above come above it.

#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include "app/epigraph.h"
#include "app/qt_services.h"
#include "app/window_placement.h"
#include "tests/app/test_suites.h"

namespace lamivex::app::test {
namespace {

class WindowPlacementTest : public QObject {
    Q_OBJECT

  private slots:
    void besideTheMainWindow_data();
    void besideTheMainWindow();
    void mainWindowLeavesRoomForItsCompanions();
    void graphOpensBesideTheMainWindow();
    void aViewKeepsClearOfTheGraph();
    void boxesComeAboveAWindowKeptAbove();
};

void WindowPlacementTest::besideTheMainWindow_data() {
    QTest::addColumn<QRect>("main");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QPoint>("corner");
    const QRect screen(0, 0, 1920, 1080);
    QTest::newRow("right") << QRect(0, 0, 930, 730) << QSize(640, 480) << QPoint(938, 0);
    QTest::newRow("left when the right is short")
        << QRect(900, 100, 930, 730) << QSize(640, 480) << QPoint(252, 100);
    QTest::newRow("moved up to fit")
        << QRect(0, 700, 930, 300) << QSize(640, 480) << QPoint(938, 600);
    QTest::newRow("below when neither side has room")
        << QRect(500, 0, 930, 500) << QSize(640, 480) << QPoint(500, 508);
    QTest::newRow("least covered when nothing fits")
        << QRect(0, 0, 1700, 1000) << QSize(640, 480) << QPoint(1280, 600);
}

void WindowPlacementTest::mainWindowLeavesRoomForItsCompanions() {
    const QRect screen(0, 0, 1600, 900);
    QCOMPARE(mainWindowCorner(QSize(930, 730), 440, screen), QPoint(111, 85));
    QCOMPARE(mainWindowCorner(QSize(930, 730), 900, screen), QPoint(0, 85));  // no room: left
}

void WindowPlacementTest::besideTheMainWindow() {
    QFETCH(QRect, main);
    QFETCH(QSize, window);
    QFETCH(QPoint, corner);
    QCOMPARE(besideMainWindow(main, window, QRect(0, 0, 1920, 1080)), corner);
}

void WindowPlacementTest::graphOpensBesideTheMainWindow() {
    MainFormRig rig;
    QVERIFY(rig.show());
    const QRect available = rig.form.screen()->availableGeometry();
    if (available.width() < rig.form.frameGeometry().width() + 700) {
        QSKIP("the screen is too small to show a window beside the main window");
    }
    Epigraph& graph = rig.form.epigraph();
    graph.move(rig.form.frameGeometry().topLeft());  // where a window system might put it
    rig.clickCalculate();
    QVERIFY(graph.isVisible());
    QVERIFY(!graph.frameGeometry().intersects(rig.form.frameGeometry()));
    QVERIFY(available.contains(graph.frameGeometry()));
    // Moved by the user away from the main window, it stays there for the next run.
    const QPoint chosen = graph.pos() + QPoint(0, 40);
    graph.move(chosen);
    rig.clickCalculate();
    QCOMPARE(graph.pos(), chosen);
}

void WindowPlacementTest::aViewKeepsClearOfTheGraph() {
    const QRect available(0, 0, 1920, 1080);
    const QRect main(100, 100, 930, 750);
    const QRect graph(1038, 100, 440, 430);
    // Put where the graph is: below it, beside the main window.
    const std::vector<QRect> others = {graph};
    QCOMPARE(clearOfOthers(QRect(1038, 100, 480, 480), others, main, available), QPoint(1038, 538));
    // Nothing in the way: it stays.
    QCOMPARE(clearOfOthers(QRect(1038, 560, 480, 480), others, main, available), QPoint(1038, 560));
    // No room below: beside the graph instead, never over the main window.
    const QRect tall(1038, 100, 400, 700);
    QCOMPARE(clearOfOthers(tall, others, main, available), QPoint(1486, 100));
}

void WindowPlacementTest::boxesComeAboveAWindowKeptAbove() {
    QtServices services;
    QWidget kept;
    kept.show();
    services.keepAbove(&kept, true);
    bool boxAbove = false;
    QTimer::singleShot(50, &kept, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box != nullptr) {
            boxAbove = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            box->accept();
        }
    });
    services.message(&kept, QStringLiteral("A message"));
    QVERIFY(boxAbove);
}

}  // namespace

int runWindowPlacementTests(int argc, char** argv) {
    WindowPlacementTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace lamivex::app::test

#include "window_placement_test.moc"
