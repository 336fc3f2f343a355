// Windows that accompany the main window open beside it, never over its controls, and the
// boxes opened while a window is kept above come above it.

#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QScreen>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include "app/epigraph.h"
#include "app/leed_pattern_window.h"
#include "app/qt_services.h"
#include "app/real_space_window.h"
#include "app/views_binding.h"
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
    void aWindowGoesWhereNoneIsShown();
    void windowsOpenedAfterARunCoverNoOther();
    void theFileDialogShowsItsColumnsWhole();
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

void WindowPlacementTest::aWindowGoesWhereNoneIsShown() {
    const QRect available(0, 0, 1920, 1080);
    const QRect main(100, 100, 930, 750);
    const QRect graph(1038, 100, 440, 430);
    const QRect view(1038, 538, 620, 520);  // below the graph, to the screen's foot
    const std::vector<QRect> shown = {main, graph, view};
    const QSize smallest(600, 150);
    // Right of the graph, level with it: the nearest free place to the main window.
    QCOMPARE(besideShownWindows(QSize(400, 420), smallest, main, shown, available),
             QRect(1486, 100, 400, 420));
    // Too tall for that: below the main window, in the 222 pixels left there.
    QCOMPARE(besideShownWindows(QSize(600, 200), smallest, main, shown, available),
             QRect(100, 858, 600, 200));
    // Too tall even there: made lower, in steps of a tenth, to fit.
    QCOMPARE(besideShownWindows(QSize(900, 300), smallest, main, shown, available),
             QRect(100, 858, 900, 210));
    // Nowhere free: over the windows as little as it can, never outside the screen, and with
    // its title bar clear of the main window.
    const QRect placed =
        besideShownWindows(QSize(900, 900), QSize(900, 900), main, shown, available);
    QVERIFY(available.contains(placed));
    QVERIFY(!QRect(placed.topLeft(), QSize(900, 30)).intersects(main));
}

void WindowPlacementTest::windowsOpenedAfterARunCoverNoOther() {
    MainFormRig rig;
    QVERIFY(rig.show());
    rig.clickCalculate();
    QTest::mouseClick(rig.form.controls().cmdRealSpace, Qt::LeftButton);
    QTest::mouseClick(rig.form.controls().cmdLeed, Qt::LeftButton);
    const std::vector<QWidget*> windows = {&rig.form, &rig.form.epigraph(),
                                           &rig.form.views().realSpace(), &rig.form.views().leed()};
    const QRect available = rig.form.screen()->availableGeometry();
    const auto where = [](const QWidget* w) {
        const QRect r = w->frameGeometry();
        return QStringLiteral("%1 (%2,%3 %4x%5)")
            .arg(w->objectName())
            .arg(r.x())
            .arg(r.y())
            .arg(r.width())
            .arg(r.height());
    };
    // On 1920 × 1080 the first three have room side by side (Real space made lower to fit
    // below the graph); the fourth covers some of the graph or Real space, never the main
    // window, and keeps its own title bar clear.
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const QRect frame = windows[i]->frameGeometry();
        QVERIFY2(windows[i]->isVisible(), qPrintable(where(windows[i])));
        QVERIFY2(available.contains(frame), qPrintable(where(windows[i])));
        for (std::size_t j = 0; j < i; ++j) {
            const QRect other = windows[j]->frameGeometry();
            const bool clear =
                i < 3 || j == 0
                    ? !frame.intersects(other)
                    : !QRect(frame.topLeft(), QSize(frame.width(), 30)).intersects(other);
            QVERIFY2(clear,
                     qPrintable(where(windows[i]) + QStringLiteral(" over ") + where(windows[j])));
        }
    }
    QVERIFY(std::count(rig.services.placedBeside().begin(), rig.services.placedBeside().end(),
                       &rig.form.views().leed()) == 1);
}

void WindowPlacementTest::theFileDialogShowsItsColumnsWhole() {
    QTemporaryDir dir;
    QFile data(dir.filePath(QStringLiteral("run.epi")));
    QVERIFY(data.open(QIODevice::WriteOnly));
    data.write(QByteArray(16 * 1024 + 300, 'x'));  // "16.3 KiB"
    data.close();
    QtServices services;
    QStringList cut;
    bool seen = false;
    QTimer poll;  // until the dialog is up
    QElapsedTimer waited;
    waited.start();
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            if (waited.elapsed() > 10000 && QApplication::activeModalWidget() != nullptr) {
                QApplication::activeModalWidget()->close();
            }
            return;
        }
        poll.stop();
        auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
        const auto* model =
            view != nullptr ? qobject_cast<const QFileSystemModel*>(view->model()) : nullptr;
        if (model != nullptr) {
            QModelIndex row;
            (void)QTest::qWaitFor([&] {
                row = model->index(dir.filePath(QStringLiteral("run.epi")));
                return row.isValid() && !model->data(row.siblingAtColumn(1)).toString().isEmpty();
            });
            QApplication::processEvents();
            for (int column = 1; row.isValid() && column < model->columnCount(); ++column) {
                const QString text = model->data(row.siblingAtColumn(column)).toString();
                seen = true;
                // What the text needs to show whole, with the item's margins.
                QStyleOptionViewItem option;
                option.initFrom(view);
                const int needed =
                    view->itemDelegate()->sizeHint(option, row.siblingAtColumn(column)).width();
                if (view->columnWidth(column) < needed) {
                    cut << text;
                }
            }
        }
        dialog->reject();
    });
    poll.start(20);
    FileDialogRequest request;
    request.filter = QStringLiteral("Epitaxy Files (*.epi)|*.epi");
    request.initialName = dir.filePath(QStringLiteral("run.epi"));
    (void)services.openFileName(nullptr, request);
    QVERIFY(seen);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
}

}  // namespace

int runWindowPlacementTests(int argc, char** argv) {
    WindowPlacementTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace lamivex::app::test

#include "window_placement_test.moc"
