#pragma once
// Waits until the window system has put a window on the screen, at most five seconds, so
// that a picture taken next shows it drawn.

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QWidget>
#include <QWindow>

namespace lamivex::app {

inline void waitUntilExposed(QWidget& window) {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 5000 &&
           (window.windowHandle() == nullptr || !window.windowHandle()->isExposed())) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
    QApplication::processEvents();
}

}  // namespace lamivex::app
