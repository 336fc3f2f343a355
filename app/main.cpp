// lamivex: the desktop program. Starts from its menu; a second copy brings the running
// one to the front and ends.

#include <cstdio>
#include <string_view>

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QTextStream>

#include "app/instance_guard.h"
#include "app/qt_services.h"
#include "app/screenshots/screenshots.h"
#include "app/shell.h"

namespace {

// From the project's version in CMake, shared with lamivex-cli.
constexpr std::string_view kVersion = LAMIVEX_VERSION;

constexpr std::string_view kHelp = R"(Usage: lamivex [OPTION]

Lamivex finds how an overlayer lattice lies on a substrate lattice (epitaxy).
It rotates the overlayer through an azimuth range and reports the match value
V/Vo and the transformation matrix of the best orientation; it can search
supercells for coincidence (geometric) solutions, sweep lattice constants
through ranges, keep lattices in a structure database and compute plane
spacings and angles of the seven crystal systems. Lengths are in Angstroms,
angles in degrees. Without options the program opens its start-up menu; it
needs a display. A second copy brings the running one to the front.

Options:
  -h, --help           Print this help and exit.
  --version            Print the version and exit.
  --screenshots DIR    Save a picture (PNG) of every window into DIR and exit;
                       this makes the pictures of the manual.

The program has no other options of its own; Qt's standard options (such as
-platform offscreen) are passed on to Qt.

The manual: share/doc/lamivex/manual.md in the installation folder.
The same calculations without windows, for batch work and scripts:
lamivex-cli (run 'lamivex-cli --help').
)";

enum class EarlyAnswer { None, Help, Version };

// --help and --version are answered before Qt starts, so they work without a display.
EarlyAnswer earlyAnswer(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--screenshots") {
            ++i;  // its DIR may be any name, even "--help"
        } else if (arg == "--help" || arg == "-h") {
            return EarlyAnswer::Help;
        } else if (arg == "--version") {
            return EarlyAnswer::Version;
        }
    }
    return EarlyAnswer::None;
}

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
    switch (earlyAnswer(argc, argv)) {
        case EarlyAnswer::Help:
            std::fwrite(kHelp.data(), 1, kHelp.size(), stdout);
            return 0;
        case EarlyAnswer::Version:
            std::printf("lamivex %.*s\n", static_cast<int>(kVersion.size()), kVersion.data());
            return 0;
        case EarlyAnswer::None:
            break;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lamivex"));
    QApplication::setApplicationVersion(
        QString::fromUtf8(kVersion.data(), static_cast<qsizetype>(kVersion.size())));
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
