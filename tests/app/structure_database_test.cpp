// The structure database in the main window: opening (and refusing) files, creating one,
// the pickers and what a pick fills, the comment window, Update with its overwrite question
// and Remove with its question and the reset of the fields. Every database is a copy in a
// temporary folder.

#include <sqlite3.h>

#include <optional>

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include "app/db_notes.h"
#include "app/overlist.h"
#include "app/structure_database_binding.h"
#include "app/sublist.h"
#include "database/structure_store.h"
#include "tests/app/test_suites.h"

namespace lamivex::app::test {
namespace {

using database::StructureRecord;
using database::StructureStore;
using database::TableKind;

const QString kNoDatabase = QStringLiteral("No structure database is open.");

QString starterDatabase() {
    return QString::fromStdString(
        database::starterDatabasePath(QCoreApplication::applicationDirPath().toStdString())
            .string());
}

// A folder that disappears with the test, holding a copy of the starter database.
struct Folder {
    QTemporaryDir dir;

    [[nodiscard]] QString path(const QString& name) const { return dir.filePath(name); }
    [[nodiscard]] QString starterCopy() const {
        const QString copy = path(QStringLiteral("structures.sqlite"));
        return QFile::copy(starterDatabase(), copy) ? copy : QString();
    }
};

std::vector<StructureRecord> recordsIn(const QString& file, TableKind kind) {
    database::DbResult<StructureStore> store = StructureStore::open(file.toStdString());
    if (!store.ok()) {
        return {};
    }
    return store.value.records(kind).value;
}

std::optional<StructureRecord> recordIn(const QString& file, TableKind kind, const QString& name) {
    database::DbResult<StructureStore> store = StructureStore::open(file.toStdString());
    if (!store.ok()) {
        return std::nullopt;
    }
    return store.value.findFirst(kind, name.toStdString()).value;
}

// What the comment window showed when it came up, answered by pressing OK.
struct NotesSeen {
    bool shown = false;
    QString caption;
    QString text;
    bool readOnly = false;
    bool hintShown = false;
};

// Answers the next showing of the (modal) comment window from inside its event loop:
// records what it shows, replaces the comments when asked to, and presses OK.
class NotesAnswer {
  public:
    NotesAnswer(DBNotes& window, std::optional<QString> typed = std::nullopt, bool escape = false)
        : m_window(window), m_typed(std::move(typed)), m_escape(escape) {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }
    [[nodiscard]] const NotesSeen& seen() const { return m_seen; }

  private:
    void poll() {
        if (++m_polls > 500) {
            m_timer.stop();  // never shown: the test sees shown == false
            return;
        }
        if (!m_window.isVisible()) {
            return;
        }
        m_timer.stop();
        m_seen.shown = true;
        m_seen.caption = m_window.caption()->text();
        m_seen.text = m_window.comments();
        m_seen.readOnly = m_window.commentBox()->isReadOnly();
        m_seen.hintShown = !m_window.hint()->isHidden();
        if (m_typed) {
            m_window.commentBox()->selectAll();
            QTest::keyClicks(m_window.commentBox(), *m_typed);
        }
        if (m_escape) {
            QTest::keyClick(m_window.commentBox(), Qt::Key_Escape);
        } else {
            QTest::mouseClick(m_window.okButton(), Qt::LeftButton);
        }
    }

    DBNotes& m_window;
    std::optional<QString> m_typed;
    bool m_escape;
    QTimer m_timer;
    NotesSeen m_seen;
    int m_polls = 0;
};

// The main window with the structure database's windows at hand.
struct DatabaseRig : MainFormRig {
    StructureDatabaseBinding& database() { return form.structureDatabase(); }
    const MainFormControls& c() const { return form.controls(); }

    // FileOpen clicked and file chosen in the dialog.
    void open(const QString& file) {
        services.queueFileName(file);
        QTest::mouseClick(c().FileOpen, Qt::LeftButton);
    }
    [[nodiscard]] QStringList pickerNames(TableKind kind) {
        return kind == TableKind::Substrate ? database().sublist().names()
                                            : database().overlist().names();
    }
    // Clicks the picker icon, then the name in the list.
    [[nodiscard]] bool pick(TableKind kind, const QString& name) {
        QToolButton* icon = kind == TableKind::Substrate ? c().Image1 : c().Image2;
        QTest::mouseClick(icon, Qt::LeftButton);
        PickerWindow& picker = kind == TableKind::Substrate
                                   ? static_cast<PickerWindow&>(database().sublist())
                                   : database().overlist();
        if (!picker.isVisible()) {
            return false;
        }
        const QList<QListWidgetItem*> items = picker.list()->findItems(name, Qt::MatchExactly);
        if (items.isEmpty()) {
            return false;
        }
        QListWidget* list = picker.list();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(items.front()).center());
        return true;
    }
    // Update clicked, the comment window answered (when it comes up) with typed text.
    NotesSeen update(TableKind kind, std::optional<QString> typed = std::nullopt,
                     bool escape = false) {
        NotesAnswer answer(database().notesWindow(), std::move(typed), escape);
        QTest::mouseClick(kind == TableKind::Substrate ? c().Command2 : c().Command3,
                          Qt::LeftButton);
        return answer.seen();
    }
    void remove(TableKind kind) {
        QTest::mouseClick(kind == TableKind::Substrate ? c().Command7 : c().Command8,
                          Qt::LeftButton);
    }
    NotesSeen showComments(TableKind kind) {
        NotesAnswer answer(database().notesWindow());
        QTest::mouseClick(kind == TableKind::Substrate ? c().Image3 : c().Image4, Qt::LeftButton);
        return answer.seen();
    }
    [[nodiscard]] QWidget* focus() const { return form.focusWidget(); }
};

class StructureDatabaseTest : public QObject {
    Q_OBJECT

  private slots:
    void beforeAnOpenOnlyTheFileCommandsAct();
    void cancelledOpenChangesNothing();
    void starterOpensListsSortedAndFillsTheFields();
    void refusedFilesLeaveTheOpenIconWithAClearMessage_data();
    void refusedFilesLeaveTheOpenIconWithAClearMessage();
    void newDatabaseIsCreatedEmptyAndOpened();
    void noToOverwriteLeavesTheTableUnchanged();
    void nameInAnotherCaseOverwritesTheStoredRecord();
    void namesWithQuotesAndPatternCharactersAreOrdinary();
    void removeAsksThenResetsTheFieldsAndShowsThePicker();
    void nullNotesShowEmptyOrABlankAndAreSavedAsShown();
    void pickerHidesWhenItLosesTheFocus();
    void theStarterDatabaseIsNeverWritten();
    void aLatticeFromElsewhereHasNoRecordComments();
};

void StructureDatabaseTest::beforeAnOpenOnlyTheFileCommandsAct() {
    DatabaseRig rig;
    QVERIFY(rig.show());
    const MainFormControls& c = rig.c();
    QVERIFY(c.FileOpen->isEnabled() && c.FileOpen->isVisible());
    QVERIFY(c.cmdNewDatabase->isEnabled() && c.mnuNewDatabase->isEnabled());
    QVERIFY(!c.FileOpened->isVisible());
    for (const QToolButton* icon : {c.Image1, c.Image2, c.Image3, c.Image4}) {
        QVERIFY2(!icon->isEnabled(), qPrintable(icon->objectName()));
    }

    // Update and Remove say why they cannot act, and leave the fields as typed.
    rig.type("SubName", QStringLiteral("Au(111)"));
    rig.type("OverName", QStringLiteral("C60"));
    const QString substrateA1 = rig.text("a1");
    rig.update(TableKind::Substrate);
    rig.update(TableKind::Overlayer);
    rig.remove(TableKind::Substrate);
    rig.remove(TableKind::Overlayer);
    QCOMPARE(rig.services.messages(), QStringList(4, kNoDatabase));
    QVERIFY(rig.services.questions().isEmpty());
    QCOMPARE(rig.text("SubName"), QStringLiteral("Au(111)"));
    QCOMPARE(rig.text("OverName"), QStringLiteral("C60"));
    QCOMPARE(rig.text("a1"), substrateA1);
}

void StructureDatabaseTest::cancelledOpenChangesNothing() {
    DatabaseRig rig;
    QVERIFY(rig.show());
    rig.open(QString());
    QCOMPARE(rig.services.dialogs().size(), std::size_t{1});
    // One filter takes SQLite and Access files together.
    const QStringList filters = qtNameFilters(rig.services.dialogs().front().filter);
    QVERIFY(!filters.isEmpty());
    QVERIFY2(filters.front().contains(QStringLiteral("*.sqlite")) &&
                 filters.front().contains(QStringLiteral("*.mdb")),
             qPrintable(filters.front()));
    QVERIFY(rig.services.messages().isEmpty());
    QVERIFY(rig.c().FileOpen->isVisible() && rig.c().FileOpen->isEnabled());
    QVERIFY(!rig.c().Image1->isEnabled());
    QCOMPARE(rig.services.busyDepth(), 0);
    QVERIFY(!rig.database().store().isOpen());
}

void StructureDatabaseTest::starterOpensListsSortedAndFillsTheFields() {
    Folder folder;
    const QString file = folder.starterCopy();
    QVERIFY2(!file.isEmpty(), qPrintable(starterDatabase()));
    DatabaseRig rig;
    QVERIFY(rig.show());
    QSignalSpy overlayerPicked(&rig.form, &MainForm::overlayerPicked);
    const MainFormControls& c = rig.c();

    rig.open(file);
    QVERIFY2(rig.services.messages().isEmpty(), qPrintable(rig.services.messages().join('\n')));
    QVERIFY(!c.FileOpen->isVisible() && !c.FileOpen->isEnabled());
    QVERIFY(!c.cmdNewDatabase->isEnabled() && !c.mnuNewDatabase->isEnabled());
    QVERIFY(c.FileOpened->isVisible());
    QVERIFY2(c.FileOpened->text().contains(QStringLiteral("structures.sqlite")),
             qPrintable(c.FileOpened->text()));
    QVERIFY(c.Image1->isEnabled() && c.Image2->isEnabled());
    QVERIFY(!c.Image3->isEnabled() && !c.Image4->isEnabled());
    // The hourglass came on and went off again.
    QCOMPARE(rig.services.busyCalls(), 2);
    QCOMPARE(rig.services.busyDepth(), 0);

    // The substrate list: every entry, alphabetical with letter case ignored.
    QVERIFY(rig.pick(TableKind::Substrate, QStringLiteral("Au(111)")));
    const QStringList substrates = rig.pickerNames(TableKind::Substrate);
    QCOMPARE(substrates.size(), 13);
    QStringList sorted = substrates;
    std::stable_sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    QCOMPARE(substrates, sorted);
    QCOMPARE(substrates.front(), QStringLiteral("Ag(111)"));
    QVERIFY(substrates.contains(QStringLiteral("graphite(0001)")));

    // Picking Au(111) fills the substrate fields only; the symmetry stays as it was.
    QCOMPARE(rig.text("SubName"), QStringLiteral("Au(111)"));
    QCOMPARE(rig.text("a1"), QStringLiteral("2.8836"));
    QCOMPARE(rig.text("a2"), QStringLiteral("2.8836"));
    QCOMPARE(rig.text("alpha"), QStringLiteral("60"));
    QVERIFY(c.nonhexagonal->isChecked());
    QCOMPARE(rig.text("OverName"), QStringLiteral("Overlayer"));
    QCOMPARE(rig.text("b1"), QStringLiteral("10"));
    QVERIFY(!rig.database().sublist().isVisible());
    QVERIFY(c.Image3->isEnabled() && !c.Image4->isEnabled());
    QCOMPARE(overlayerPicked.count(), 0);

    // An overlayer pick fills its fields and asks for the iteration ranges to follow,
    // after the fields hold the new lattice.
    QString b1WhenSignalled;
    connect(&rig.form, &MainForm::overlayerPicked, this, [&] { b1WhenSignalled = rig.text("b1"); });
    QVERIFY(rig.pick(TableKind::Overlayer, QStringLiteral("C60")));
    QCOMPARE(overlayerPicked.count(), 1);
    QCOMPARE(rig.text("OverName"), QStringLiteral("C60"));
    QCOMPARE(b1WhenSignalled, rig.text("b1"));
    QVERIFY(rig.text("b1") != QStringLiteral("10"));
    QCOMPARE(rig.text("SubName"), QStringLiteral("Au(111)"));
    QVERIFY(c.Image4->isEnabled());

    // The comments of the picked record, read-only, without the hint of a save.
    const NotesSeen notes = rig.showComments(TableKind::Substrate);
    QVERIFY(notes.shown);
    QCOMPARE(notes.caption, QStringLiteral("Au(111)"));
    QVERIFY(notes.text.startsWith(QStringLiteral("fcc(111) surface of gold")));
    QVERIFY(notes.readOnly);
    QVERIFY(!notes.hintShown);
    QVERIFY(rig.services.messages().isEmpty());
}

void StructureDatabaseTest::refusedFilesLeaveTheOpenIconWithAClearMessage_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("text file") << "notes.txt"
                               << "is not a structure database (not a database file)";
    QTest::newRow("damaged") << "damaged.sqlite"
                             << "is damaged";
    QTest::newRow("foreign database") << "other.sqlite"
                                      << "it has no table Substrate";
    QTest::newRow("missing") << "gone.sqlite"
                             << "does not exist";
    QTest::newRow("not an older database") << "old.mdb"
                                           << "is not an Access database file";
}

void StructureDatabaseTest::refusedFilesLeaveTheOpenIconWithAClearMessage() {
    QFETCH(QString, name);
    QFETCH(QString, expected);
    Folder folder;
    const QString file = folder.path(name);
    if (name == QStringLiteral("damaged.sqlite")) {
        // Garbage over every page after the first: records and b-tree structure.
        QVERIFY(QFile::copy(starterDatabase(), file));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QByteArray bytes = f.readAll();
        QVERIFY(bytes.size() > 4096);
        for (qsizetype i = 4096; i < bytes.size(); i += 7) {
            bytes[i] = static_cast<char>(0xA5 ^ (i & 0xff));
        }
        QVERIFY(f.seek(0));
        QCOMPARE(f.write(bytes), bytes.size());
    } else if (name == QStringLiteral("other.sqlite")) {
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "CREATE TABLE Samples (name TEXT)", nullptr, nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_close(db);
    } else if (name != QStringLiteral("gone.sqlite")) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("Substrate;Overlayer\n").append(QByteArray(5000, 'x')));
    }
    const QStringList before = QDir(folder.dir.path()).entryList(QDir::Files);

    DatabaseRig rig;
    QVERIFY(rig.show());
    rig.open(file);
    QCOMPARE(rig.services.messages().size(), 1);
    const QString message = rig.services.messages().front();
    QVERIFY2(message.contains(expected) && message.contains(name), qPrintable(message));
    QVERIFY(rig.c().FileOpen->isVisible() && rig.c().FileOpen->isEnabled());
    QVERIFY(!rig.c().FileOpened->isVisible());
    QVERIFY(!rig.c().Image1->isEnabled() && !rig.c().Image2->isEnabled());
    QVERIFY(!rig.database().store().isOpen());
    QCOMPARE(rig.services.busyDepth(), 0);
    // Nothing was written beside the refused file.
    QCOMPARE(QDir(folder.dir.path()).entryList(QDir::Files), before);
}

void StructureDatabaseTest::newDatabaseIsCreatedEmptyAndOpened() {
    Folder folder;
    DatabaseRig rig;
    QVERIFY(rig.show());
    // A name without an extension gets ours.
    rig.services.queueFileName(folder.path(QStringLiteral("mine")));
    QTest::mouseClick(rig.c().cmdNewDatabase, Qt::LeftButton);
    QVERIFY2(rig.services.messages().isEmpty(), qPrintable(rig.services.messages().join('\n')));
    const QString file = folder.path(QStringLiteral("mine.sqlite"));
    QVERIFY(QFile::exists(file));
    QVERIFY(rig.c().FileOpened->text().contains(QStringLiteral("mine.sqlite")));
    QVERIFY(!rig.c().FileOpen->isVisible());

    // Empty tables: an empty picker, and Update adds the first record without a question.
    QTest::mouseClick(rig.c().Image1, Qt::LeftButton);
    QVERIFY(rig.database().sublist().isVisible());
    QVERIFY(rig.pickerNames(TableKind::Substrate).isEmpty());
    rig.type("SubName", QStringLiteral("Ru(0001)"));
    rig.type("a1", QStringLiteral("2.7059"));
    const NotesSeen notes = rig.update(TableKind::Substrate, QStringLiteral("hcp(0001)"));
    QVERIFY(notes.shown);
    QCOMPARE(notes.caption, QStringLiteral("Ru(0001)"));
    QCOMPARE(notes.text, QString());
    QVERIFY(notes.hintShown && !notes.readOnly);
    QVERIFY(rig.services.questions().isEmpty());
    const std::vector<StructureRecord> stored = recordsIn(file, TableKind::Substrate);
    QCOMPARE(stored.size(), std::size_t{1});
    QCOMPARE(stored.front().name, std::string("Ru(0001)"));
    QCOMPARE(stored.front().length1, 2.7059);
    QCOMPARE(stored.front().angle, 90.0);
    QCOMPARE(stored.front().Notes, std::optional<std::string>("hcp(0001)"));
    QCOMPARE(rig.focus(), static_cast<QWidget*>(rig.field("OverName")));
    QVERIFY(rig.database().notesWindow().hint()->isHidden());

    // An existing file: one question, No unless answered; the dialog itself does not ask.
    DatabaseRig second;
    QVERIFY(second.show());
    second.services.queueFileName(file);
    QTest::mouseClick(second.c().cmdNewDatabase, Qt::LeftButton);
    QVERIFY(!second.services.dialogs().back().confirmOverwrite);
    QCOMPARE(second.services.questions().size(), 1);
    QVERIFY(second.services.questions().front().contains(QStringLiteral("already exists")));
    QCOMPARE(second.services.questionDefaults().front(), Answer::No);
    QVERIFY(second.services.messages().isEmpty());
    QVERIFY(second.c().FileOpen->isVisible());
    QCOMPARE(recordsIn(file, TableKind::Substrate).size(), std::size_t{1});
    // Yes replaces it with an empty database, which is then open.
    second.services.queueFileName(file);
    second.services.queueAnswer(Answer::Yes);
    QTest::mouseClick(second.c().cmdNewDatabase, Qt::LeftButton);
    QVERIFY(second.services.messages().isEmpty());
    QVERIFY(second.database().store().isOpen());
    QVERIFY(recordsIn(file, TableKind::Substrate).empty());
}

void StructureDatabaseTest::noToOverwriteLeavesTheTableUnchanged() {
    Folder folder;
    const QString file = folder.starterCopy();
    DatabaseRig rig;
    QVERIFY(rig.show());
    rig.open(file);
    const std::vector<StructureRecord> before = recordsIn(file, TableKind::Overlayer);

    rig.type("OverName", QStringLiteral("C60"));
    rig.type("b1", QStringLiteral("11"));
    rig.services.queueAnswer(Answer::No);
    const NotesSeen notes = rig.update(TableKind::Overlayer);
    QCOMPARE(rig.services.questions(),
             QStringList{QStringLiteral("Overlayer already exists - Overwrite?")});
    QCOMPARE(rig.services.questionDefaults(), std::vector<Answer>{Answer::No});
    QVERIFY(!notes.shown);
    QCOMPARE(recordsIn(file, TableKind::Overlayer), before);
    // Yes, then Escape in the comment window: the Update is cancelled.
    rig.services.queueAnswer(Answer::Yes);
    QVERIFY(rig.update(TableKind::Overlayer, QStringLiteral("typed"), true).shown);
    QCOMPARE(recordsIn(file, TableKind::Overlayer), before);
    rig.type("OverName", QStringLiteral("New(1x1)"));
    QVERIFY(rig.update(TableKind::Overlayer, std::nullopt, true).shown);
    QVERIFY(!recordIn(file, TableKind::Overlayer, QStringLiteral("New(1x1)")));
    QCOMPARE(rig.focus(), static_cast<QWidget*>(rig.field("OverName")));
    QVERIFY(rig.database().notesWindow().hint()->isHidden());
    QVERIFY(rig.services.messages().isEmpty());
}

void StructureDatabaseTest::nameInAnotherCaseOverwritesTheStoredRecord() {
    Folder folder;
    const QString file = folder.starterCopy();
    DatabaseRig rig;
    QVERIFY(rig.show());
    rig.open(file);
    const std::size_t count = recordsIn(file, TableKind::Substrate).size();
    const std::optional<StructureRecord> gold =
        recordIn(file, TableKind::Substrate, QStringLiteral("Au(111)"));
    QVERIFY(gold && gold->Notes);

    rig.type("SubName", QStringLiteral("AU(111)"));
    rig.type("a1", QStringLiteral("2.95"));
    rig.services.queueAnswer(Answer::Yes);
    const NotesSeen notes = rig.update(TableKind::Substrate, QStringLiteral("strained"));
    QCOMPARE(rig.services.questions(),
             QStringList{QStringLiteral("Substrate already exists - Overwrite?")});
    // The window opened on the stored record, as a save does.
    QVERIFY(notes.shown);
    QCOMPARE(notes.caption, QStringLiteral("Au(111)"));
    QCOMPARE(notes.text, QString::fromStdString(*gold->Notes));
    QVERIFY(notes.hintShown && !notes.readOnly);

    const std::vector<StructureRecord> after = recordsIn(file, TableKind::Substrate);
    QCOMPARE(after.size(), count);
    const std::optional<StructureRecord> stored =
        recordIn(file, TableKind::Substrate, QStringLiteral("au(111)"));
    QVERIFY(stored);
    QCOMPARE(stored->rowId, gold->rowId);
    QCOMPARE(stored->name, std::string("AU(111)"));
    QCOMPARE(stored->length1, 2.95);
    QCOMPARE(stored->length2, 10.0);  // the field as typed
    QCOMPARE(stored->Notes, std::optional<std::string>("strained"));
    QCOMPARE(rig.focus(), static_cast<QWidget*>(rig.field("OverName")));
    QVERIFY(rig.database().notesWindow().hint()->isHidden());

    // The overlayer's save ends in the azimuth range.
    rig.type("OverName", QStringLiteral("c60"));
    rig.services.queueAnswer(Answer::Yes);
    QVERIFY(rig.update(TableKind::Overlayer).shown);
    QCOMPARE(rig.focus(), static_cast<QWidget*>(rig.field("Lowerangle")));
    QVERIFY(rig.services.messages().isEmpty());
}

void StructureDatabaseTest::namesWithQuotesAndPatternCharactersAreOrdinary() {
    Folder folder;
    const QString file = folder.starterCopy();
    DatabaseRig rig;
    QVERIFY(rig.show());
    rig.open(file);
    const std::vector<StructureRecord> starter = recordsIn(file, TableKind::Substrate);

    // Each would match a stored name if its characters acted as patterns.
    const QStringList names = {
        QStringLiteral("Si(111) 7x7 'DAS'"), QStringLiteral("Cu(1_1)"), QStringLiteral("Cu(1?1)"),
        QStringLiteral("Ag[(]111)"),         QStringLiteral("Ni*"),     QStringLiteral("%")};
    for (const QString& name : names) {
        rig.type("SubName", name);
        rig.type("a1", QStringLiteral("7.68"));
        const NotesSeen notes = rig.update(TableKind::Substrate, QStringLiteral("x"));
        QVERIFY2(notes.shown, qPrintable(name + rig.services.messages().join('\n')));
        QCOMPARE(notes.caption, name);
    }
    QVERIFY(rig.services.questions().isEmpty());
    QVERIFY(rig.services.messages().isEmpty());
    const std::vector<StructureRecord> after = recordsIn(file, TableKind::Substrate);
    QCOMPARE(after.size(), starter.size() + names.size());
    for (std::size_t i = 0; i < starter.size(); ++i) {
        QCOMPARE(after[i], starter[i]);
    }

    // Each is listed and picked as itself.
    for (const QString& name : names) {
        QVERIFY2(rig.pick(TableKind::Substrate, name), qPrintable(name));
        QCOMPARE(rig.text("SubName"), name);
        QCOMPARE(rig.text("a1"), QStringLiteral("7.68"));
    }

    // Removing "%" asks about and removes that record only.
    rig.type("SubName", QStringLiteral("%"));
    rig.services.queueAnswer(Answer::Yes);
    rig.remove(TableKind::Substrate);
    QCOMPARE(rig.services.questions(), QStringList{QStringLiteral("Delete record : % ? ")});
    QCOMPARE(rig.services.questionDefaults(), std::vector<Answer>{Answer::No});
    QCOMPARE(recordsIn(file, TableKind::Substrate).size(), starter.size() + names.size() - 1);
    QVERIFY(!recordIn(file, TableKind::Substrate, QStringLiteral("%")));
    QVERIFY(recordIn(file, TableKind::Substrate, QStringLiteral("Si(111) 7x7 'DAS'")));
}

void StructureDatabaseTest::removeAsksThenResetsTheFieldsAndShowsThePicker() {
    Folder folder;
    const QString file = folder.starterCopy();
    DatabaseRig rig;
    QVERIFY(rig.show());
    rig.open(file);
    const std::size_t count = recordsIn(file, TableKind::Substrate).size();
    QVERIFY(rig.pick(TableKind::Substrate, QStringLiteral("Cu(100)")));
    rig.state.SubstrateName = "Cu(100)";

    // No: nothing is deleted, but the fields are reset and the picker comes up.
    rig.services.queueAnswer(Answer::No);
    rig.remove(TableKind::Substrate);
    QCOMPARE(rig.services.questions(), QStringList{QStringLiteral("Delete record : Cu(100) ? ")});
    QCOMPARE(recordsIn(file, TableKind::Substrate).size(), count);
    QCOMPARE(rig.text("SubName"), QStringLiteral("Substrate"));
    QCOMPARE(rig.text("a1"), QStringLiteral("10"));
    QCOMPARE(rig.text("a2"), QStringLiteral("10"));
    QCOMPARE(rig.text("alpha"), QStringLiteral("90"));
    QCOMPARE(rig.state.SubstrateName, std::string("Substrate"));
    QVERIFY(rig.database().sublist().isVisible());
    QVERIFY(rig.pickerNames(TableKind::Substrate).contains(QStringLiteral("Cu(100)")));
    // The reset fields no longer hold Cu(100): its comments are not offered beside them.
    QVERIFY(!rig.c().Image3->isEnabled());

    // Yes: the record goes, the rebuilt picker no longer lists it, and its comments can no
    // longer be shown.
    rig.database().sublist().hide();
    rig.type("SubName", QStringLiteral("cu(100)"));
    rig.services.clearRecord();
    rig.services.queueAnswer(Answer::Yes);
    rig.remove(TableKind::Substrate);
    QCOMPARE(rig.services.questions().size(), 1);
    QCOMPARE(recordsIn(file, TableKind::Substrate).size(), count - 1);
    QVERIFY(!recordIn(file, TableKind::Substrate, QStringLiteral("Cu(100)")));
    QVERIFY(rig.database().sublist().isVisible());
    QVERIFY(!rig.pickerNames(TableKind::Substrate).contains(QStringLiteral("Cu(100)")));
    QCOMPARE(rig.pickerNames(TableKind::Substrate).size(), static_cast<qsizetype>(count - 1));
    QVERIFY(!rig.c().Image3->isEnabled());

    // A name not in the table: no question, the same reset.
    rig.database().sublist().hide();
    rig.type("OverName", QStringLiteral("no such layer"));
    rig.type("b1", QStringLiteral("3.5"));
    rig.services.clearRecord();
    rig.remove(TableKind::Overlayer);
    QVERIFY(rig.services.questions().isEmpty());
    QVERIFY(rig.services.messages().isEmpty());
    QCOMPARE(rig.text("OverName"), QStringLiteral("Overlayer"));
    QCOMPARE(rig.text("b1"), QStringLiteral("10"));
    QCOMPARE(rig.text("beta"), QStringLiteral("90"));
    QCOMPARE(rig.state.OverlayerName, std::string("Overlayer"));
    QVERIFY(rig.database().overlist().isVisible());
    QCOMPARE(rig.pickerNames(TableKind::Overlayer).size(), 6);
}

void StructureDatabaseTest::nullNotesShowEmptyOrABlankAndAreSavedAsShown() {
    Folder folder;
    const QString file = folder.starterCopy();
    {
        database::DbResult<StructureStore> store = StructureStore::open(file.toStdString());
        QVERIFY(store.ok());
        QVERIFY(store.value.add(TableKind::Substrate, {"Bare", 3, 3, 90, std::nullopt}).ok());
        QVERIFY(store.value.add(TableKind::Overlayer, {"Plain", 4, 5, 70, std::nullopt}).ok());
    }
    DatabaseRig rig;
    QVERIFY(rig.show());
    rig.open(file);

    QVERIFY(rig.pick(TableKind::Substrate, QStringLiteral("Bare")));
    NotesSeen notes = rig.showComments(TableKind::Substrate);
    QVERIFY(notes.shown);
    QCOMPARE(notes.caption, QStringLiteral("Bare"));
    QCOMPARE(notes.text, QString());
    QVERIFY(rig.pick(TableKind::Overlayer, QStringLiteral("Plain")));
    notes = rig.showComments(TableKind::Overlayer);
    QCOMPARE(notes.caption, QStringLiteral("Plain"));
    QCOMPARE(notes.text, QStringLiteral(" "));

    // Saving them again, comments untouched, stores the text shown.
    rig.services.queueAnswer(Answer::Yes);
    notes = rig.update(TableKind::Substrate);
    QCOMPARE(notes.text, QString());
    rig.services.queueAnswer(Answer::Yes);
    notes = rig.update(TableKind::Overlayer);
    QCOMPARE(notes.text, QStringLiteral(" "));
    QCOMPARE(recordIn(file, TableKind::Substrate, QStringLiteral("Bare"))->Notes,
             std::optional<std::string>(""));
    QCOMPARE(recordIn(file, TableKind::Overlayer, QStringLiteral("Plain"))->Notes,
             std::optional<std::string>(" "));

    // After a save the comment icon shows the stored comments, still read-only.
    notes = rig.showComments(TableKind::Overlayer);
    QCOMPARE(notes.text, QStringLiteral(" "));
    QVERIFY(notes.readOnly);
    QVERIFY(rig.services.messages().isEmpty());
}

void StructureDatabaseTest::pickerHidesWhenItLosesTheFocus() {
    Folder folder;
    DatabaseRig rig;
    QVERIFY(rig.show());
    rig.open(folder.starterCopy());
    QTest::mouseClick(rig.c().Image2, Qt::LeftButton);
    Overlist& picker = rig.database().overlist();
    QVERIFY(picker.isVisible());
    QTRY_VERIFY(picker.isActiveWindow());
    QVERIFY(picker.list()->hasFocus());
    // Beside the main window, below the overlayer's name.
    const QPoint nameBottom = rig.c().OverName->mapToGlobal(QPoint(0, rig.c().OverName->height()));
    QCOMPARE(picker.pos(), nameBottom);

    rig.form.activateWindow();
    QTRY_VERIFY(!picker.isVisible());
    // Nothing was picked on the way.
    QCOMPARE(rig.text("OverName"), QStringLiteral("Overlayer"));
    QVERIFY(!rig.c().Image4->isEnabled());
}

void StructureDatabaseTest::theStarterDatabaseIsNeverWritten() {
    Folder home;
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", home.dir.path().toUtf8());
    const QString library = home.path(QStringLiteral("lamivex/structures.sqlite"));
    QFile starter(starterDatabase());
    QVERIFY(starter.open(QIODevice::ReadOnly));
    const QByteArray starterBefore = starter.readAll();
    starter.close();
    {
        // The dialog offers the user's own copy, made on the spot.
        DatabaseRig rig;
        QVERIFY(rig.show());
        rig.open(QString());
        QCOMPARE(rig.services.dialogs().front().initialName, library);
        QVERIFY(QFile::exists(library));
        // Chosen anyway, the starter database opens as that copy, which takes the Update.
        rig.open(starterDatabase());
        QCOMPARE(rig.database().store().file().string(), library.toStdString());
        QCOMPARE(rig.services.messages().size(), 1);
        rig.type("SubName", QStringLiteral("Mine(100)"));
        QVERIFY(rig.update(TableKind::Substrate).shown);
        QVERIFY(recordIn(library, TableKind::Substrate, QStringLiteral("Mine(100)")));
    }
    QVERIFY(starter.open(QIODevice::ReadOnly));
    QCOMPARE(starter.readAll(), starterBefore);
    if (saved.isNull()) {
        qunsetenv("XDG_DATA_HOME");
    } else {
        qputenv("XDG_DATA_HOME", saved);
    }
}

// graphite(0001) picked, then Cu(111) from a crystal file: the name and lattice are Cu's, so
// graphite's comments must not be offered; the same for an overlayer and for typing over a
// picked lattice.
void StructureDatabaseTest::aLatticeFromElsewhereHasNoRecordComments() {
    Folder folder;
    DatabaseRig rig;
    QVERIFY(rig.show());
    rig.open(folder.starterCopy());
    const QString cu = QStringLiteral(LAMIVEX_TEST_DATA_DIR "/cu.cif");
    const struct {
        TableKind kind;
        const char* record;
        QPushButton* fromFile;  // nullptr: b1 typed over instead
    } kCases[] = {{TableKind::Substrate, "graphite(0001)", rig.c().cmdSubstrateCif},
                  {TableKind::Overlayer, "C60", rig.c().cmdOverlayerCif},
                  {TableKind::Overlayer, "C60", nullptr}};
    for (const auto& c : kCases) {
        QVERIFY(rig.pick(c.kind, QString::fromLatin1(c.record)));
        QToolButton* comments = c.kind == TableKind::Substrate ? rig.c().Image3 : rig.c().Image4;
        QVERIFY(comments->isEnabled());
        if (c.fromFile != nullptr) {
            rig.services.queueFileName(cu);
            rig.services.queueText(QStringLiteral("1 1 1"));
            rig.services.queueAnswer(Answer::Yes);
            QTest::mouseClick(c.fromFile, Qt::LeftButton);
            QCOMPARE(rig.text(c.kind == TableKind::Substrate ? "SubName" : "OverName"),
                     QStringLiteral("Cu(111)"));
        } else {
            rig.type("b1", QStringLiteral("9.5"));
        }
        QVERIFY(!comments->isEnabled());
        QVERIFY(!rig.database().currentRecord(c.kind).has_value());
    }
    QVERIFY2(rig.services.messages().isEmpty(), qPrintable(rig.services.messages().join('\n')));
}

}  // namespace

int runStructureDatabaseTests(int argc, char** argv) {
    StructureDatabaseTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace lamivex::app::test

#include "structure_database_test.moc"
