#pragma once
// The controls of the structure-analysis window under their object names, and the layout
// that places them. The window's behaviour lives in StrAnal.

#include <array>
#include <cstddef>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "app/field_rules.h"
#include "crystal/crystal_cell.h"
#include "crystal/crystal_result.h"

namespace lamivex::app {

struct StrAnalControls {
    QComboBox* CMBsystem = nullptr;
    // txtavalue .. txtgamma, in crystal::kCellFields order.
    std::array<EntryField*, 6> cellFields{};
    QPushButton* Mh3dRecalc = nullptr;

    EntryField* txtPlaneSpace = nullptr;
    EntryField* txtPlane1 = nullptr;
    EntryField* txtPlane2 = nullptr;
    EntryField* txtDir1 = nullptr;
    EntryField* txtDir2 = nullptr;
    QPushButton* CmdPlaneSpace = nullptr;
    QPushButton* Cmdinterangle = nullptr;
    QPushButton* CmdMillerAngle = nullptr;

    // ChkPlaneSpace .. ChkVolume and LblSpacing .. LblVol, in crystal::ResultKind order.
    std::array<QCheckBox*, 4> resultBoxes{};
    std::array<QLabel*, 4> resultLabels{};

    QPushButton* Command1 = nullptr;  // Exit

    [[nodiscard]] EntryField* cellField(crystal::CellField field) const {
        return cellFields[static_cast<std::size_t>(field)];
    }
    [[nodiscard]] QCheckBox* resultBox(crystal::ResultKind kind) const {
        return resultBoxes[static_cast<std::size_t>(kind)];
    }
    [[nodiscard]] QLabel* resultLabel(crystal::ResultKind kind) const {
        return resultLabels[static_cast<std::size_t>(kind)];
    }
};

// Creates every control with its caption inside window and lays them out.
[[nodiscard]] StrAnalControls buildStrAnalControls(QWidget* window);

}  // namespace lamivex::app
