#pragma once
// The progress window of a run: the overlayer of the current pass, a progress bar with
// its percentage, the ABORT button and a hit counter for iteration runs.

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace lamivex::app {

struct AppState;

class RotationDone : public QWidget {
    Q_OBJECT

  public:
    explicit RotationDone(AppState& state, QWidget* parent = nullptr);

    // Bar width k / N of the track, percentage k / N x 100 as "0%".
    void setProgress(int k, int lastAngleIndex);
    void setB1(const QString& text);
    void setB2(const QString& text);
    void setBeta(const QString& text);
    // ABORT shown; the hit counter shown only for iteration runs.
    void prepareForRun(bool showHits);

    [[nodiscard]] QPushButton* abortButton() const { return m_abort; }

  protected:
    // Closing the window during a run asks for the same as ABORT.
    void closeEvent(QCloseEvent* event) override;

  private:
    void requestAbort();

    AppState& m_state;
    QLabel* m_b1;
    QLabel* m_b2;
    QLabel* m_beta;
    QFrame* m_track;  // Shape2
    QFrame* m_bar;    // Shape1
    QLabel* m_percent;
    QPushButton* m_abort;
    QLabel* m_hitsCaption;
    QLabel* m_hits;
};

}  // namespace lamivex::app
