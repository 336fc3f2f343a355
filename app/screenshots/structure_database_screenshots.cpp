#include "app/screenshots/structure_database_screenshots.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include "app/db_notes.h"
#include "app/main_form.h"
#include "app/screenshots/wait_until_exposed.h"
#include "app/structure_database_binding.h"
#include "app/sublist.h"
#include "database/structure_store.h"

namespace lamivex::app {

bool photographStructureDatabase(MainForm& main, const std::function<void(QWidget&)>& take) {
    StructureDatabaseBinding& database = main.structureDatabase();
    const std::filesystem::path starter =
        database::starterDatabasePath(QCoreApplication::applicationDirPath().toStdString());
    // A copy, so that the program neither notes that the starter database stays unchanged
    // (a message box would wait for a click) nor makes the user's own library.
    QTemporaryDir folder;
    const QString copy = folder.filePath(QStringLiteral("structures.sqlite"));
    if (!folder.isValid() || !QFile::copy(QString::fromStdString(starter.string()), copy) ||
        !database.openDatabase(copy)) {
        return false;
    }
    main.controls().Image1->click();
    Sublist& sublist = database.sublist();
    waitUntilExposed(sublist);
    take(sublist);

    const QList<QListWidgetItem*> gold =
        sublist.list()->findItems(QStringLiteral("Au(111)"), Qt::MatchExactly);
    if (gold.isEmpty()) {
        return false;
    }
    database.pick(database::TableKind::Substrate, gold.front()->text());

    // The comment window is modal: photograph it from inside its own event loop.
    DBNotes& notes = database.notesWindow();
    QTimer::singleShot(0, &notes, [&notes, &take] {
        waitUntilExposed(notes);
        take(notes);
        notes.okButton()->click();
    });
    main.controls().Image3->click();
    return true;
}

}  // namespace lamivex::app
