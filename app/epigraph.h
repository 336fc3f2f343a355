#pragma once
// The graph window: the lowest V/Vo of every azimuth step of the last run against the
// angle, drawn on the picture box Picture1 inside the frame "Results", with the graph and
// its table exportable for papers.

#include <QWidget>

#include "output/graph_plot.h"

class QPushButton;

namespace lamivex::app {

struct AppState;
class PictureBox;
class Services;

class Epigraph : public QWidget {
    Q_OBJECT

  public:
    Epigraph(AppState& state, Services& services, QWidget* parent = nullptr);

    // The activation: draws the graph of the last completed run over what Picture1 shows.
    // The window system's activation of the window calls it too; with the same run the
    // picture stays as it is.
    void activate();

    // At the end of a completed run: Picture1 cleared when the window is already up, the
    // window kept above the others and shown without blocking, then activated.
    void showAfterRun();
    // From the graph toggle: brought to the front, shown and activated.
    void showFromToggle();

    [[nodiscard]] PictureBox& picture() const { return *m_picture; }
    // The graph of the last activation.
    [[nodiscard]] const output::AzimuthGraph& graph() const { return m_graph; }

  signals:
    // The user closed the window with its frame's close button.
    void closedByUser();

  public slots:
    // "Export graph…": PNG, SVG or PDF by the chosen name's extension.
    void exportGraphFile();
    // "Export data…": the per-angle table as CSV.
    void exportDataFile();

  protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    AppState& m_state;
    Services& m_services;
    PictureBox* m_picture;
    QPushButton* m_exportGraph;
    QPushButton* m_exportData;
    output::AzimuthGraph m_graph;
};

}  // namespace lamivex::app
