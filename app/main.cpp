// lamivex: the desktop program. Starts from its menu; a second copy brings the running
// one to the front and ends.

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QTextStream>

#include "app/instance_guard.h"
#include "app/qt_services.h"
#include "app/screenshots.h"
#include "app/shell.h"

namespace {

// When $LAMIVEX_INSTANCE_LOG names a file, each raise is noted there (for tests).
void noteRaise(const QString& window) {
    const QString path = qEnvironmentVariable("LAMIVEX_INSTANCE_LOG");
    if (path.isEmpty()) {
        return;
    }
    QFile log(path);
    if (log.open(QIODevice::Append | QIODevice::Text)) {
        QTextStream(&log) << "raised " << window << '\n';
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lamivex"));
    QApplication::setApplicationVersion(QStringLiteral("5.0"));
    QApplication::setDesktopFileName(QStringLiteral("lamivex"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/lamivex.svg")));
    // The menu, not the last window, decides when the program ends.
    QApplication::setQuitOnLastWindowClosed(false);

    // Hidden switch for the documentation pictures: lamivex --screenshots DIR
    const QStringList args = QApplication::arguments();
    const qsizetype shots = args.indexOf(QStringLiteral("--screenshots"));
    if (shots >= 0 && shots + 1 < args.size()) {
        return lamivex::app::takeScreenshots(args[shots + 1]);
    }

    lamivex::app::InstanceGuard guard;
    if (!guard.claim()) {
        return 0;
    }
    lamivex::app::QtServices services;
    lamivex::app::Shell shell(services);
    QObject::connect(&guard, &lamivex::app::InstanceGuard::raiseRequested, &shell,
                     &lamivex::app::Shell::bringToFront);
    QObject::connect(&shell, &lamivex::app::Shell::broughtToFront, &noteRaise);
    shell.start();
    return QApplication::exec();
}
