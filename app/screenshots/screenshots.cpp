#include "app/screenshots/screenshots.h"

#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QPushButton>
#include <QThread>
#include <QWindow>

#include "app/epigraph.h"
#include "app/help_form.h"
#include "app/main_form.h"
#include "app/manual_viewer.h"
#include "app/menu_form.h"
#include "app/qt_services.h"
#include "app/rotation_done.h"
#include "app/screenshots/iteration_screenshots.h"
#include "app/screenshots/structure_database_screenshots.h"
#include "app/screenshots/view_screenshots.h"
#include "app/screenshots/wait_until_exposed.h"
#include "app/shell.h"
#include "app/str_anal.h"

namespace lamivex::app {
namespace {

class PictureBook {
  public:
    explicit PictureBook(QDir directory) : m_directory(std::move(directory)) {}

    void take(QWidget& window) { take(window, window.objectName()); }
    void take(QWidget& window, const QString& name) {
        QApplication::processEvents();
        const QString path = m_directory.filePath(name + QStringLiteral(".png"));
        if (!window.grab().save(path)) {
            std::fprintf(stderr, "lamivex: cannot write %s\n", qPrintable(path));
            m_failed = true;
        }
    }
    [[nodiscard]] bool failed() const { return m_failed; }

  private:
    QDir m_directory;
    bool m_failed = false;
};

// The real services, with the progress window photographed at the end of the first pass.
class PhotographingServices : public QtServices {
  public:
    explicit PhotographingServices(PictureBook& book) : m_book(book) {}
    void setProgressWindow(QWidget* window) { m_progress = window; }

    void deliverPendingEvents() override {
        QtServices::deliverPendingEvents();
        if (m_progress != nullptr && !m_taken) {
            m_taken = true;
            m_book.take(*m_progress);
        }
    }

  private:
    PictureBook& m_book;
    QWidget* m_progress = nullptr;
    bool m_taken = false;
};

}  // namespace

int takeScreenshots(const QString& directory) {
    QDir dir(directory);
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "lamivex: cannot create %s\n", qPrintable(directory));
        return 1;
    }
    PictureBook book(dir);
    PhotographingServices services(book);
    Shell shell(services);
    shell.start();
    MenuForm& menu = shell.menuForm();
    waitUntilExposed(menu);
    book.take(menu);

    // The crystal tool from its menu button, closed again before the calculator opens.
    menu.button(QStringLiteral("Vantrell"))->trigger();
    if (auto* strAnal = menu.findChild<StrAnal*>(QStringLiteral("StrAnal"))) {
        showMonoclinicExample(*strAnal);
        waitUntilExposed(*strAnal);
        book.take(*strAnal);
        strAnal->close();
    }

    menu.button(QStringLiteral("Lamivex"))->trigger();
    MainForm& main = shell.mainForm();
    waitUntilExposed(main);
    services.setProgressWindow(&main.rotationDone());
    main.controls().Calculate->click();
    book.take(main);
    waitUntilExposed(main.epigraph());
    book.take(main.epigraph());

    // A search for geometric solutions, whose curve has more structure.
    const MainFormControls& c = main.controls();
    c.b1->setText(QStringLiteral("7.3"));
    c.b2->setText(QStringLiteral("5.1"));
    c.beta->setText(QStringLiteral("75"));
    c.chkgeo->setChecked(true);
    c.txtUplim->setText(QStringLiteral("4"));
    c.Calculate->click();
    waitUntilExposed(main.epigraph());
    book.take(main.epigraph(), QStringLiteral("Epigraph-geometric"));

    photographViews(main, [&book](QWidget& window) { book.take(window); });

    const bool databaseShown =
        photographStructureDatabase(main, [&book](QWidget& window) { book.take(window); });
    if (!databaseShown) {
        std::fprintf(stderr, "lamivex: cannot open the starter structure database\n");
    }

    const bool iterationShown =
        photographIteration(main, [&book](QWidget& window) { book.take(window); });
    if (!iterationShown) {
        std::fprintf(stderr, "lamivex: the iteration run found no match to show\n");
    }

    shell.showHelp();
    HelpForm& help = shell.helpForm();
    waitUntilExposed(help);
    book.take(help);
    // The manual itself, when it lies beside the program.
    help.openManual();
    if (ManualViewer* manual = help.manualViewer()) {
        waitUntilExposed(*manual);
        book.take(*manual);
    }
    return book.failed() || !databaseShown || !iterationShown ? 1 : 0;
}

}  // namespace lamivex::app
