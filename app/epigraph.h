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
    // A click on the graph chose the azimuth step nearest it (degrees); the views show it.
    void angleChosen(double angle);
    // "Real space…" and "LEED…".
    void realSpaceRequested();
    void leedRequested();

  public slots:
    // Chooses the step nearest angle, as a click there does: marked on the graph, kept in
    // the state and announced.
    void chooseAngle(double angle);
    // "Export graph…": PNG, SVG or PDF by the chosen name's extension.
    void exportGraphFile();
    // "Export data…": the per-angle table as CSV.
    void exportDataFile();

  protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void markChosenAngle();
    void pictureClicked(output::Point point);

    AppState& m_state;
    Services& m_services;
    PictureBox* m_picture;
    QPushButton* m_exportGraph;
    QPushButton* m_exportData;
    QPushButton* m_realSpace;
    QPushButton* m_leed;
    output::AzimuthGraph m_graph;
};

}  // namespace lamivex::app
