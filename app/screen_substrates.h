#pragma once
// "Screen substrates…": the main window's overlayer against the records of the open structure
// database and the crystal files of a folder (or the starter crystals), each pair scanned over
// its substrate's irreducible wedge; the ranked table sorts by any column, and a double click
// takes the substrate and its azimuth range back into the main window.

#include <filesystem>
#include <vector>

#include <QWidget>

#include "engine/lattice.h"
#include "screening/pair_screen.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace lamivex::database {
class StructureStore;
}

namespace lamivex::app {

class Services;

class ScreenSubstrates : public QWidget {
    Q_OBJECT

  public:
    // starterCrystals: the folder of the installed starter crystal files.
    ScreenSubstrates(Services& services, std::filesystem::path starterCrystals,
                     QWidget* parent = nullptr);

    // The overlayer, domain, spacing and largest multiple every pair shares, as the main
    // window's fields hold them, and the open structure database (nullptr or closed: none).
    void prepare(const engine::MainFieldTexts& fields, const database::StructureStore* store);
    // cmdScreen: screens every substrate chosen, a message when none is or the fields refuse.
    void screen();
    // A row of the ranked table, as a double click takes it.
    void choose(int row);
    [[nodiscard]] const std::vector<screening::PairResult>& ranking() const { return m_ranked; }

  signals:
    // The main window's fields with the chosen substrate and the azimuth range of its wedge.
    void substrateChosen(const engine::MainFieldTexts& fields);

  private:
    [[nodiscard]] std::vector<screening::Substrate> chosenSubstrates() const;
    void chooseFolder();
    void showRanking();

    Services& m_services;
    std::filesystem::path m_starterCrystals;
    const database::StructureStore* m_store = nullptr;
    screening::ScreenSettings m_settings;
    std::vector<screening::PairResult> m_ranked;
    bool m_stopRequested = false;
    bool m_running = false;

    QLabel* m_overlayer = nullptr;
    QCheckBox* m_records = nullptr;
    QLineEdit* m_pattern = nullptr;
    QCheckBox* m_starter = nullptr;
    QLineEdit* m_folder = nullptr;
    QPushButton* m_chooseFolder = nullptr;
    QSpinBox* m_maxIndex = nullptr;
    QPushButton* m_screen = nullptr;
    QPushButton* m_stop = nullptr;
    QLabel* m_progress = nullptr;
    QTableWidget* m_table = nullptr;
};

}  // namespace lamivex::app
