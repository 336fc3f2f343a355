// The windows of a run on a real X server with a window manager, where they get frames and
// title bars the offscreen tests never see: the main window, the graph, Real space and the
// LEED pattern each lie on the screen, and none lies over the main window or another's title
// bar. Run by scripts/with-window-manager;
// skipped on any other platform. With LAMIVEX_SCREENSHOT set, the screen is saved there.

#include <algorithm>

#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "app/app_state.h"
#include "app/epigraph.h"
#include "app/leed_pattern_window.h"
#include "app/main_form.h"
#include "app/qt_services.h"
#include "app/real_space_window.h"
#include "app/views_binding.h"

namespace lamivex::app::test {
namespace {

// Until the window manager has framed and placed what was shown.
void settle() {
    for (int i = 0; i < 15; ++i) {
        QTest::qWait(100);
    }
}

QString where(const QWidget* w) {
    const QRect r = w->frameGeometry();
    const QRect g = w->geometry();
    return QStringLiteral("%1 at %2,%3 %4x%5 (inside %6,%7 %8x%9)")
        .arg(w->objectName())
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height())
        .arg(g.x())
        .arg(g.y())
        .arg(g.width())
        .arg(g.height());
}

class WindowLayoutX11Test : public QObject {
    Q_OBJECT

  private slots:
    void windowsOfARunCoverNoOther();
};

// NOLINTNEXTLINE(readability-convert-member-functions-to-static): QTest calls slots
void WindowLayoutX11Test::windowsOfARunCoverNoOther() {
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        QSKIP("needs an X server with a window manager (scripts/with-window-manager)");
    }
    QtServices services;
    AppState state;
    MainForm form(state, services);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    if (!QTest::qWaitFor([&] { return form.frameGeometry() != form.geometry(); }, 5000)) {
        QSKIP("the window manager framed no window within 5 s");
    }
    settle();
    form.controls().Calculate->click();
    settle();
    form.controls().cmdRealSpace->click();
    settle();
    form.controls().cmdLeed->click();
    settle();
    const std::vector<QWidget*> windows = {&form, &form.epigraph(), &form.views().realSpace(),
                                           &form.views().leed()};
    // Frames as the window manager reports them, which on a busy machine takes a while.
    (void)QTest::qWaitFor(
        [&] {
            return std::all_of(windows.begin(), windows.end(), [](const QWidget* w) {
                return w->frameGeometry().height() > w->geometry().height() + 1;
            });
        },
        5000);
    const QRect screen = form.screen()->availableGeometry();
    if (const QByteArray shot = qgetenv("LAMIVEX_SCREENSHOT"); !shot.isEmpty()) {
        QVERIFY(form.screen()->grabWindow(0).save(QString::fromLocal8Bit(shot)));
    }
    // The main window, the graph and Real space (made lower to fit) side by side on 1920 ×
    // 1080; LEED, for which no room is left, over some of the graph or Real space, never the
    // main window, with its title bar clear. Every frame has the title bar the window
    // manager drew.
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const QRect frame = windows[i]->frameGeometry();
        qInfo("%s", qPrintable(where(windows[i])));
        QVERIFY2(windows[i]->isVisible(), qPrintable(windows[i]->objectName()));
        QVERIFY2(frame.height() > windows[i]->geometry().height(), qPrintable(where(windows[i])));
        QVERIFY2(screen.contains(frame), qPrintable(where(windows[i])));
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
}

}  // namespace
}  // namespace lamivex::app::test

QTEST_MAIN(lamivex::app::test::WindowLayoutX11Test)
#include "window_layout_x11_test.moc"
