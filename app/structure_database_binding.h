#pragma once
// The structure database in the main window: opening or creating the database file, the
// two pickers, the comment window, and the Update and Remove commands of each lattice.
// The store does all work on the file; this class only moves texts between it and the
// controls and asks the user what the commands need to know.

#include <array>
#include <optional>
#include <string>

#include <QObject>

#include "database/structure_store.h"

class QToolButton;
class QWidget;

namespace lamivex::app {

struct AppState;
struct MainFormControls;
class DBNotes;
class EntryField;
class Overlist;
class PickerWindow;
class Services;
class Sublist;

class StructureDatabaseBinding : public QObject {
    Q_OBJECT

  public:
    using TableKind = database::TableKind;

    // Binds the database controls of window; FileOpen, "New database…", Update and Remove
    // are usable at once, the pickers once a database is open.
    StructureDatabaseBinding(MainFormControls& controls, AppState& state, Services& services,
                             QWidget* window);
    ~StructureDatabaseBinding() override;

    // Opens file, importing an older .mdb file into a new file beside it first. A refusal
    // is shown as the store's message; returns whether a database is now open.
    bool openDatabase(const QString& file);

    [[nodiscard]] const database::StructureStore& store() const { return m_store; }
    // The record the comment icon shows: the one picked or stored last, while the block's
    // fields still hold it.
    [[nodiscard]] const std::optional<database::StructureRecord>& currentRecord(
        TableKind kind) const;

    // The windows, created on first use.
    [[nodiscard]] Sublist& sublist();
    [[nodiscard]] Overlist& overlist();
    [[nodiscard]] DBNotes& notesWindow();

  signals:
    // An overlayer was picked into the fields: the iteration ranges follow it.
    void overlayerPicked();

  public slots:
    void chooseAndOpen();   // FileOpen
    void createDatabase();  // "New database…"
    void showPicker(database::TableKind kind);
    void pick(database::TableKind kind, const QString& name);
    void showComments(database::TableKind kind);
    void save(database::TableKind kind);    // Command2, Command3
    void remove(database::TableKind kind);  // Command7, Command8
    // The block's lattice no longer comes from its record (typed over, filled from a crystal
    // file or a matrix, reset): the record's comments are no longer offered.
    void forgetRecord(database::TableKind kind);

  private:
    // The controls and the current record of one table.
    struct Side {
        TableKind kind;
        EntryField* name;
        EntryField* length1;
        EntryField* length2;
        EntryField* angle;
        QToolButton* picker;
        QToolButton* comments;
        QWidget* focusAfterSave;
        std::string* stateName;  // SubstrateName / OverlayerName
        std::optional<database::StructureRecord> current;
    };

    Side& side(TableKind kind) { return m_sides[kind == TableKind::Substrate ? 0 : 1]; }
    PickerWindow& pickerWindow(TableKind kind);
    void connectControls();
    void showOpened();
    // Shows the comment window for a save and returns the text it was closed with by OK;
    // nullopt when it was closed otherwise (Escape, the frame), which cancels the save.
    std::optional<QString> askForComments(const QString& name, const QString& startText);
    void resetFields(Side& s);

    MainFormControls& m_c;
    Services& m_services;
    QWidget* m_window;
    std::array<Side, 2> m_sides;
    database::StructureStore m_store;
    // Owned by the main window, as its other windows are.
    Sublist* m_sublist = nullptr;
    Overlist* m_overlist = nullptr;
    DBNotes* m_notes = nullptr;
};

}  // namespace lamivex::app
