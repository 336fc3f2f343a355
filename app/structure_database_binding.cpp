#include "app/structure_database_binding.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QToolButton>

#include "app/app_state.h"
#include "app/db_notes.h"
#include "app/main_form_controls.h"
#include "app/overlist.h"
#include "app/qt_support.h"
#include "app/services.h"
#include "app/sublist.h"
#include "database/legacy_import.h"
#include "database/user_library.h"
#include "numbers/input_error.h"

namespace lamivex::app {
namespace {

using database::StructureRecord;
using database::TableKind;

// SQLite files and Access .mdb files; an .mdb file is imported when chosen.
const char* const kOpenFilter =
    "Structure Database (*.sqlite *.db *.mdb)|*.sqlite *.db *.mdb|"
    "Older Epitaxy Database (*.mdb)|*.mdb|All Files (*)|*";
const char* const kNewFilter = "Structure Database (*.sqlite)|*.sqlite";

QString kindCaption(TableKind kind) {
    return qs(std::string(database::tableNames(kind).table));
}

QString importMessage(const QString& oldFile, const database::ImportReport& report) {
    QString text = QStringLiteral(
                       "The tables of %1 were copied into the new file %2, which is "
                       "now open (%3 substrates, %4 overlayers).")
                       .arg(oldFile, qs(report.target.string()))
                       .arg(report.substrates)
                       .arg(report.overlayers);
    if (!report.skipped.empty()) {
        text += QStringLiteral("\n\nLeft out:");
        for (const std::string& line : report.skipped) {
            text += QStringLiteral("\n") + qs(line);
        }
    }
    return text;
}

}  // namespace

StructureDatabaseBinding::StructureDatabaseBinding(MainFormControls& controls, AppState& state,
                                                   Services& services, QWidget* window)
    : QObject(window),
      m_c(controls),
      m_services(services),
      m_window(window),
      m_sides{Side{TableKind::Substrate, controls.SubName, controls.a1, controls.a2, controls.alpha,
                   controls.Image1, controls.Image3, controls.OverName, &state.SubstrateName,
                   std::nullopt},
              Side{TableKind::Overlayer, controls.OverName, controls.b1, controls.b2, controls.beta,
                   controls.Image2, controls.Image4, controls.Lowerangle, &state.OverlayerName,
                   std::nullopt}} {
    // Until a file is open only FileOpen and "New database…" act on files; Update and
    // Remove stay usable and say that no database is open.
    m_c.FileOpen->setEnabled(true);
    m_c.FileOpened->hide();
    m_c.cmdNewDatabase->setEnabled(true);
    m_c.mnuNewDatabase->setEnabled(true);
    for (QWidget* w : {m_c.Image1, m_c.Image2, m_c.Image3, m_c.Image4}) {
        w->setEnabled(false);
    }
    for (QWidget* w : {m_c.Command2, m_c.Command3, m_c.Command7, m_c.Command8}) {
        w->setEnabled(true);
    }
    connectControls();
}

StructureDatabaseBinding::~StructureDatabaseBinding() = default;

void StructureDatabaseBinding::connectControls() {
    connect(m_c.FileOpen, &QToolButton::clicked, this, &StructureDatabaseBinding::chooseAndOpen);
    connect(m_c.cmdNewDatabase, &QToolButton::clicked, this,
            &StructureDatabaseBinding::createDatabase);
    connect(m_c.mnuNewDatabase, &QAction::triggered, this,
            &StructureDatabaseBinding::createDatabase);
    for (Side& s : m_sides) {
        const TableKind kind = s.kind;
        // Releasing the mouse on the picker icon hides the picker; the click that follows
        // fills and shows it again.
        connect(s.picker, &QToolButton::released, this,
                [this, kind] { pickerWindow(kind).hide(); });
        connect(s.picker, &QToolButton::clicked, this, [this, kind] { showPicker(kind); });
        connect(s.comments, &QToolButton::clicked, this, [this, kind] { showComments(kind); });
        // Only the user's typing: the program's own rewrites (a pick, a run's passes) keep it.
        for (EntryField* field : {s.name, s.length1, s.length2, s.angle}) {
            connect(field, &QLineEdit::textEdited, this, [this, kind] { forgetRecord(kind); });
        }
    }
    connect(m_c.Command2, &QPushButton::clicked, this, [this] { save(TableKind::Substrate); });
    connect(m_c.Command3, &QPushButton::clicked, this, [this] { save(TableKind::Overlayer); });
    connect(m_c.Command7, &QPushButton::clicked, this, [this] { remove(TableKind::Substrate); });
    connect(m_c.Command8, &QPushButton::clicked, this, [this] { remove(TableKind::Overlayer); });
}

const std::optional<StructureRecord>& StructureDatabaseBinding::currentRecord(
    TableKind kind) const {
    return m_sides[kind == TableKind::Substrate ? 0 : 1].current;
}

Sublist& StructureDatabaseBinding::sublist() {
    if (m_sublist == nullptr) {
        m_sublist = new Sublist(m_window);
        connect(m_sublist, &PickerWindow::picked, this,
                [this](const QString& name) { pick(TableKind::Substrate, name); });
    }
    return *m_sublist;
}

Overlist& StructureDatabaseBinding::overlist() {
    if (m_overlist == nullptr) {
        m_overlist = new Overlist(m_window);
        connect(m_overlist, &PickerWindow::picked, this,
                [this](const QString& name) { pick(TableKind::Overlayer, name); });
    }
    return *m_overlist;
}

DBNotes& StructureDatabaseBinding::notesWindow() {
    if (m_notes == nullptr) {
        m_notes = new DBNotes(m_window);
    }
    return *m_notes;
}

PickerWindow& StructureDatabaseBinding::pickerWindow(TableKind kind) {
    if (kind == TableKind::Substrate) {
        return sublist();
    }
    return overlist();
}

// ---- Opening -------------------------------------------------------------------------

namespace {

std::filesystem::path starterDatabase() {
    return database::starterDatabasePath(utf8(QCoreApplication::applicationDirPath()));
}

}  // namespace

void StructureDatabaseBinding::chooseAndOpen() {
    FileDialogRequest request{QString::fromLatin1(kOpenFilter), QStringLiteral("*.sqlite")};
    // A new user finds their own library offered, made from the starter database.
    const database::DbResult<std::filesystem::path> library =
        database::ensureUserLibrary(starterDatabase());
    if (library.ok()) {
        request.initialName = qs(library.value.string());
    }
    const QString file = m_services.openFileName(m_window, request);
    if (file.isEmpty()) {
        return;
    }
    openDatabase(file);
}

bool StructureDatabaseBinding::openDatabase(const QString& file) {
    BusyPointer busy(m_services);
    std::filesystem::path target = utf8(file);
    QString note;
    if (database::isStarterDatabase(target, starterDatabase())) {
        // The installed starter database is rebuilt by every build and reinstall: what the
        // user stores goes into their own copy.
        const database::DbResult<std::filesystem::path> library =
            database::ensureUserLibrary(starterDatabase());
        if (!library.ok()) {
            busy.release();
            m_services.message(m_window, qs(library.error));
            return false;
        }
        target = library.value;
        note = QStringLiteral(
                   "The starter database that comes with Lamivex is not changed; "
                   "your own copy of it is open instead:\n%1")
                   .arg(qs(target.string()));
    }
    QString imported;
    if (QFileInfo(file).suffix().compare(QStringLiteral("mdb"), Qt::CaseInsensitive) == 0) {
        const database::DbResult<database::ImportReport> report = database::importMdb(target);
        if (!report.ok()) {
            busy.release();
            m_services.message(m_window, qs(report.error));
            return false;
        }
        target = report.value.target;
        imported = importMessage(file, report.value);
    }
    database::DbResult<database::StructureStore> opened = database::StructureStore::open(target);
    busy.release();
    if (!opened.ok()) {
        m_services.message(m_window, qs(opened.error));
        return false;
    }
    m_store = std::move(opened.value);
    for (Side& s : m_sides) {
        s.current.reset();
    }
    showOpened();
    if (!imported.isEmpty()) {
        m_services.message(m_window, imported);
    }
    if (!note.isEmpty()) {
        m_services.message(m_window, note);
    }
    return true;
}

void StructureDatabaseBinding::createDatabase() {
    if (m_store.isOpen()) {
        return;  // one database per run, as with FileOpen
    }
    // The dialog does not ask about an existing file: this command asks, once.
    QString file = m_services.saveFileName(
        m_window, {QString::fromLatin1(kNewFilter), QStringLiteral("*.sqlite"), false});
    if (file.isEmpty()) {
        return;
    }
    if (QFileInfo(file).suffix().isEmpty()) {
        file += QStringLiteral(".sqlite");
    }
    const bool exists = QFileInfo::exists(file);
    if (exists &&
        m_services.question(m_window,
                            QStringLiteral("%1 already exists. Replace it with an empty structure "
                                           "database? Everything stored in it will be lost.")
                                .arg(file),
                            Answer::No) == Answer::No) {
        return;
    }
    BusyPointer busy(m_services);
    database::DbResult<database::StructureStore> created =
        database::StructureStore::createEmpty(utf8(file), exists);
    busy.release();
    if (!created.ok()) {
        m_services.message(m_window, qs(created.error));
        return;
    }
    m_store = std::move(created.value);
    showOpened();
}

void StructureDatabaseBinding::showOpened() {
    const QString path = qs(m_store.file().string());
    m_c.Image1->setEnabled(true);
    m_c.Image2->setEnabled(true);
    m_c.FileOpen->hide();
    m_c.FileOpen->setEnabled(false);
    m_c.FileOpenCaption->hide();
    m_c.cmdNewDatabase->hide();
    m_c.cmdNewDatabase->setEnabled(false);
    m_c.mnuNewDatabase->setEnabled(false);
    m_c.FileOpened->setText(
        QStringLiteral("<img src=\":/icons/database_open.svg\" width=\"28\" height=\"28\" "
                       "style=\"vertical-align: middle\"> %1")
            .arg(QFileInfo(path).fileName().toHtmlEscaped()));
    m_c.FileOpened->setToolTip(path);
    m_c.FileOpened->show();
}

// ---- Pickers, picks and comments -------------------------------------------------------

void StructureDatabaseBinding::showPicker(TableKind kind) {
    const database::DbResult<std::vector<std::string>> names = m_store.names(kind);
    if (!names.ok()) {
        m_services.message(m_window, qs(names.error));
        return;
    }
    PickerWindow& picker = pickerWindow(kind);
    picker.fill(names.value);
    picker.showBelow(side(kind).name);
}

void StructureDatabaseBinding::pick(TableKind kind, const QString& name) {
    Side& s = side(kind);
    pickerWindow(kind).hide();
    m_window->activateWindow();
    const database::DbResult<std::optional<StructureRecord>> found =
        m_store.findFirst(kind, utf8(name));
    if (!found.ok()) {
        m_services.message(m_window, qs(found.error));
        return;
    }
    if (!found.value) {
        // Another program removed it since the list was made.
        m_services.message(m_window, QStringLiteral("%1 is no longer in the database.").arg(name));
        return;
    }
    const database::LatticeFieldTexts texts = database::fieldTextsOf(*found.value);
    s.name->setText(qs(texts.name));
    s.length1->setText(qs(texts.length1));
    s.length2->setText(qs(texts.length2));
    s.angle->setText(qs(texts.angle));
    s.current = *found.value;
    if (kind == TableKind::Overlayer) {
        emit overlayerPicked();
    }
    s.comments->setEnabled(true);
}

void StructureDatabaseBinding::showComments(TableKind kind) {
    const Side& s = side(kind);
    if (!s.current) {
        return;
    }
    DBNotes& notes = notesWindow();
    notes.showRecord(qs(s.current->name), qs(database::notesForDisplay(kind, s.current->Notes)));
    // Comments are changed through Update; text typed here would be lost.
    notes.setEditable(false);
    notes.setAddingComments(false);
    notes.showModally();
}

std::optional<QString> StructureDatabaseBinding::askForComments(const QString& name,
                                                                const QString& startText) {
    DBNotes& notes = notesWindow();
    notes.setAddingComments(true);
    notes.setEditable(true);
    notes.showRecord(name, startText);
    const bool accepted = notes.showModally();
    notes.setAddingComments(false);
    if (!accepted) {
        return std::nullopt;
    }
    return notes.comments();
}

// ---- Update and Remove -----------------------------------------------------------------

void StructureDatabaseBinding::save(TableKind kind) {
    Side& s = side(kind);
    const QString typedName = s.name->text();
    const database::DbResult<std::optional<StructureRecord>> found =
        m_store.findFirst(kind, utf8(typedName));
    if (!found.ok()) {
        m_services.message(m_window, qs(found.error));
        return;
    }
    StructureRecord typed;
    try {
        typed =
            database::recordFromTexts(kind, utf8(typedName), utf8(s.length1->text()),
                                      utf8(s.length2->text()), utf8(s.angle->text()), std::nullopt);
    } catch (const numbers::InputError& error) {
        m_services.message(m_window, QStringLiteral("The %1 was not saved.\n\n%2 %3: %4")
                                         .arg(kindCaption(kind).toLower(), kindCaption(kind),
                                              qs(error.field()), QString::fromUtf8(error.what())));
        s.name->setFocus(Qt::OtherFocusReason);
        return;
    }

    bool written = false;
    if (found.value) {
        const StructureRecord& stored = *found.value;
        if (m_services.question(
                m_window, QStringLiteral("%1 already exists - Overwrite?").arg(kindCaption(kind)),
                Answer::No) == Answer::No) {
            s.name->setFocus(Qt::OtherFocusReason);
            return;
        }
        const std::optional<QString> comments =
            askForComments(qs(stored.name), qs(database::notesForDisplay(kind, stored.Notes)));
        if (!comments) {
            s.name->setFocus(Qt::OtherFocusReason);  // Escape or closing: nothing is stored
            return;
        }
        typed.Notes = utf8(*comments);
        const database::DbStatus status = m_store.replace(kind, stored.rowId, typed);
        if (status.ok()) {
            typed.rowId = stored.rowId;
            written = true;
        } else {
            m_services.message(m_window, qs(status.error));
        }
    } else {
        // A new record starts without comments.
        const std::optional<QString> comments =
            askForComments(typedName, qs(database::notesForDisplay(kind, std::nullopt)));
        if (!comments) {
            s.name->setFocus(Qt::OtherFocusReason);
            return;
        }
        typed.Notes = utf8(*comments);
        const database::DbResult<StructureRecord> added = m_store.add(kind, typed);
        if (added.ok()) {
            typed = added.value;
            written = true;
        } else {
            m_services.message(m_window, qs(added.error));
        }
    }
    if (written) {
        s.current = typed;
        s.comments->setEnabled(true);
        s.focusAfterSave->setFocus(Qt::OtherFocusReason);
    } else {
        s.name->setFocus(Qt::OtherFocusReason);
    }
}

void StructureDatabaseBinding::remove(TableKind kind) {
    Side& s = side(kind);
    const QString typedName = s.name->text();
    const database::DbResult<std::optional<StructureRecord>> found =
        m_store.findFirst(kind, utf8(typedName));
    if (!found.ok()) {
        // Without a readable database there is no picker to show: the fields stay.
        m_services.message(m_window, qs(found.error));
        return;
    }
    if (found.value &&
        m_services.question(m_window, QStringLiteral("Delete record : %1 ? ").arg(typedName),
                            Answer::No) == Answer::Yes) {
        const database::DbStatus status = m_store.remove(kind, found.value->rowId);
        if (!status.ok()) {
            m_services.message(m_window, qs(status.error));
        }
    }
    s.name->setFocus(Qt::OtherFocusReason);
    showPicker(kind);
    resetFields(s);
}

void StructureDatabaseBinding::forgetRecord(TableKind kind) {
    Side& s = side(kind);
    s.current.reset();
    s.comments->setEnabled(false);
}

void StructureDatabaseBinding::resetFields(Side& s) {
    forgetRecord(s.kind);
    const QString name = kindCaption(s.kind);
    s.name->setText(name);
    *s.stateName = utf8(name);
    s.length1->setText(QStringLiteral("10"));
    s.length2->setText(QStringLiteral("10"));
    s.angle->setText(QStringLiteral("90"));
}

}  // namespace lamivex::app
