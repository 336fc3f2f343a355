#pragma once
// The table of matches of the latest iteration run ("Iteration Results"), its summary,
// the data file, printout and CSV export of the matches, and the way on to the views of a
// match.

#include <functional>

#include <QDialog>
#include <QStringList>

#include "engine/lattice.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace lamivex::app {

struct IterationState;
class Iteration;
class Services;

class IterResults : public QDialog {
    Q_OBJECT

  public:
    // mainFields reads the main window's fields as they stand.
    IterResults(IterationState& state, Iteration& iterationWindow, Services& services,
                std::function<engine::MainFieldTexts()> mainFields, QWidget* parent = nullptr);

    // Columns 3 to 5 headed for the lattice a run iterates.
    void setLatticeHeadings(bool overlayer);
    // A row of cells (the match's number, then its values), after the last row.
    void appendRow(const QStringList& cells);
    // Every row but the headings.
    void clearRows();

    // Rebuilds the summary from the latest run and the windows as they stand.
    void rebuildSummary();
    [[nodiscard]] const QString& summaryText() const { return m_summary; }

    [[nodiscard]] QTableWidget* grid() const { return m_grid; }

  signals:
    // "O.K." (or Escape, or the frame's close button): the window was hidden.
    void okClicked();
    // A double click on a match or "Show…": the window was put away as O.K. does, and the
    // views are to show match index (0-based, the row).
    void matchChosen(int index);

  public slots:
    void saveDataFile();
    void printMatches();
    void exportCsv();
    // Puts the table away and asks for the views of the selected match.
    void showSelectedMatch();
    // Escape and the frame's close button put the table away as O.K. does.
    void reject() override;

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void putAway();

    IterationState& m_state;
    Iteration& m_iteration;
    Services& m_services;
    std::function<engine::MainFieldTexts()> m_mainFields;
    QTableWidget* m_grid;
    QPlainTextEdit* m_summaryBox;
    QString m_summary;
};

// Twips (1/1440 inch) in pixels of a device with the given logical resolution.
[[nodiscard]] int twipsToPixels(int twips, int dotsPerInch);

}  // namespace lamivex::app
