#pragma once
// The real-space and LEED windows and what they show: the best orientation of the last
// completed run, or the azimuth clicked on its graph. Opened from the main window's Display
// Options and from the graph window.

#include <memory>

#include <QObject>

class QWidget;

namespace lamivex::app {

struct AppState;
class LeedPatternWindow;
class RealSpaceWindow;
class Services;
class ViewWindow;

class ViewsBinding : public QObject {
    Q_OBJECT

  public:
    // graph is the graph window, which the views keep clear of when both are open.
    ViewsBinding(AppState& state, Services& services, QWidget* mainWindow, QWidget* graph);
    ~ViewsBinding() override;

    [[nodiscard]] RealSpaceWindow& realSpace() const { return *m_realSpace; }
    [[nodiscard]] LeedPatternWindow& leed() const { return *m_leed; }

  public slots:
    void showRealSpace();
    void showLeed();
    // A run completed, or an angle was chosen on the graph: the open windows show it.
    void follow();
    void hideWindows();

  private:
    void show(ViewWindow& window);

    AppState& m_state;
    Services& m_services;
    QWidget* m_main;
    QWidget* m_graph;
    std::unique_ptr<RealSpaceWindow> m_realSpace;
    std::unique_ptr<LeedPatternWindow> m_leed;
};

}  // namespace lamivex::app
