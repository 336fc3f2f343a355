#pragma once
// "Build model…": the solution of the last completed scan as atoms — the substrate's plane as a
// slab in the coincidence cell with the overlayer strained on top — previewed from above
// (the top substrate layer and the overlayer) and saved as CIF, POSCAR or extended XYZ.

#include <optional>

#include <QWidget>

#include "api/model_build.h"
#include "app/from_crystal_file.h"
#include "engine/completed_scan.h"
#include "output/display_list.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace lamivex::app {

class Services;
class ViewCanvas;

class BuildModelWindow : public QWidget {
    Q_OBJECT

  public:
    explicit BuildModelWindow(Services& services, QWidget* parent = nullptr);

    // The solution of scan, and the crystal files and planes its lattices came from (the
    // fields stay empty for a lattice that was typed).
    void prepare(const engine::CompletedScan& scan,
                 const std::optional<CrystalFileChoice>& substrate,
                 const std::optional<CrystalFileChoice>& overlayer);
    // cmdBuild: builds the model, shows it, or says why it cannot be built.
    void build();
    // cmdSave: asks for a file and writes the model in the format its name gives.
    void save();
    [[nodiscard]] const std::optional<api::ModelResult>& model() const { return m_model; }

  private:
    void chooseFile(QLineEdit* field, const QString& filter);

    Services& m_services;
    // The supercell's whole-number matrix and multiples; none for a solution without one.
    std::optional<engine::Matrix2> m_matrix;
    int m_b1Multiple = 1;
    int m_b2Multiple = 1;
    std::optional<api::ModelResult> m_model;

    QLabel* m_solution = nullptr;
    QLineEdit* m_substrateFile = nullptr;
    QLineEdit* m_substrateHkl = nullptr;
    QLineEdit* m_overlayerFile = nullptr;
    QLineEdit* m_overlayerHkl = nullptr;
    QSpinBox* m_layers = nullptr;
    QSpinBox* m_fixLayers = nullptr;
    QLineEdit* m_vacuum = nullptr;
    QLineEdit* m_height = nullptr;
    QPushButton* m_build = nullptr;
    QPushButton* m_save = nullptr;
    QLabel* m_summary = nullptr;
    ViewCanvas* m_preview = nullptr;
};

// The model seen from above: the top substrate layer and the overlayer in the cell's outline,
// a disc per atom (substrate grey, overlayer coloured), in Angstroms.
[[nodiscard]] output::DisplayList modelPreview(const model::StructureModel& model);

}  // namespace lamivex::app
