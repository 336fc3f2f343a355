#pragma once
// The structure-analysis window: a crystal system, the six constants of a unit cell under
// that system's rules, and plane spacing, interplanar angle, direction angle and cell
// volume. The rules and formulas are crystal/'s; this class binds them to the controls.

#include <string_view>

#include <QPointer>
#include <QWidget>

#include "app/str_anal_controls.h"
#include "crystal/crystal_system.h"
#include "crystal/index_parse.h"

namespace lamivex::app {

class Services;

class StrAnal : public QWidget {
    Q_OBJECT

  public:
    // Opens with the defaults: "Cubic", a = b = c = "10 ", all angles "90", every result
    // box unticked.
    explicit StrAnal(Services& services, QWidget* parent = nullptr);

    [[nodiscard]] const StrAnalControls& controls() const { return m_controls; }
    [[nodiscard]] crystal::CrystalSystem system() const { return m_system; }

    // What a click on a system in the list does.
    void selectSystem(crystal::CrystalSystem system);
    // Re-ticks every ticked result box, which computes its result afresh.
    void recalculate();
    // The three "Enter" buttons.
    void enterPlaneSpacing();
    void enterPlanes();
    void enterDirections();

  private:
    void onCellEntered(EntryField* field, Qt::FocusReason reason);
    void onCellLeft(crystal::CellField field, Qt::FocusReason reason);
    void onResultBox(crystal::ResultKind kind, bool ticked);
    void retickIfTicked(crystal::ResultKind kind);
    // Parses both interplanar plane texts; false (after the message) when one fails.
    [[nodiscard]] bool parsePlanes();
    [[nodiscard]] crystal::CrystalResult compute(crystal::ResultKind kind) const;
    [[nodiscard]] crystal::CellFieldTexts fieldTexts() const;
    void showFieldTexts(const crystal::CellFieldTexts& texts);
    void message(std::string_view text);

    Services& m_services;
    StrAnalControls m_controls;
    crystal::CrystalSystem m_system = crystal::CrystalSystem::Cubic;
    // The indices as last parsed by the "Enter" buttons.
    crystal::MillerPlane m_spacingPlane{1, 0, 0};
    crystal::MillerPlane m_plane1{1, 0, 0};
    crystal::MillerPlane m_plane2{0, 1, 0};
    crystal::Direction m_dir1{1, 0, 0};
    crystal::Direction m_dir2{0, 1, 0};
    // The cell field the user is in: only a field left after an entry is checked, so the
    // focus moves of a refusal are not checked again.
    QPointer<EntryField> m_current;
    bool m_checking = false;
};

// Opens a new window over owner, modal for the whole program. Exit, or closing it,
// discards the window, so the next opening starts from the defaults.
StrAnal* openStrAnal(Services& services, QWidget* owner);

// The picture book's example: all four results of a monoclinic cell.
void showMonoclinicExample(StrAnal& window);

}  // namespace lamivex::app
