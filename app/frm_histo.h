#pragma once
// The histogram window ("Histogram"): the hits of the latest iteration run per degree of
// azimuth, drawn on Picture1 at every activation, printed and exported from its buttons.

#include <QWidget>

#include "output/histogram_plot.h"

namespace lamivex::app {

struct IterationState;
class PictureBox;
class Services;

class FrmHisto : public QWidget {
    Q_OBJECT

  public:
    FrmHisto(IterationState& state, Services& services, QWidget* parent = nullptr);

    // Draws the histogram of the latest run over what Picture1 shows. Does nothing before
    // the first run.
    void activate();

    [[nodiscard]] PictureBox& picture() const { return *m_picture; }
    [[nodiscard]] const output::HitsHistogram& histogram() const { return m_histogram; }

  signals:
    // The activation, before drawing: the Iteration window makes way.
    void activated();
    // "OK": the window was hidden.
    void okClicked();

  public slots:
    void printHistogram();
    void exportHistogram();

  protected:
    void changeEvent(QEvent* event) override;
    // Closed from its frame, the window is put away as its OK button would.
    void closeEvent(QCloseEvent* event) override;

  private:
    [[nodiscard]] bool hasHits() const;

    IterationState& m_state;
    Services& m_services;
    PictureBox* m_picture;
    output::HitsHistogram m_histogram;
};

}  // namespace lamivex::app
