#pragma once
// The real-space and LEED windows and what they show: the best orientation of the last
// completed run, the azimuth clicked on its graph, or a match of the iteration table. Opened
// from the main window's Display Options, from the graph window and from the table. A view
// whose run no longer matches the main window's fields says so.

#include <functional>
#include <memory>
#include <optional>

#include <QObject>

#include "engine/capture.h"

class QWidget;

namespace lamivex::views {
struct ViewSubject;
}

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

    // How the main window's fields are read, to tell whether a view's run still stands
    // beside them.
    void setMainFields(std::function<engine::MainFieldTexts()> fields);

    // NOLINTNEXTLINE(readability-redundant-access-specifiers): Qt's slots section
  public slots:
    void showRealSpace();
    void showLeed();
    // A run completed, or an angle was chosen on the graph: the open windows show it.
    void follow();
    void hideWindows();
    // Both windows show match index (0-based) of the latest iteration run: its trial lattice
    // at its angle, with its multiples.
    void showMatch(int index);
    // The main window's fields changed: each view says whether they still hold its run.
    void checkFields();

  private:
    static void show(ViewWindow& window);
    // window shows subject, a view of run.
    void present(ViewWindow& window, const views::ViewSubject& subject,
                 const engine::CapturedRun& run);
    std::optional<engine::CapturedRun>& runOf(const ViewWindow& window);

    AppState& m_state;
    Services& m_services;
    QWidget* m_main;
    QWidget* m_graph;
    std::unique_ptr<RealSpaceWindow> m_realSpace;
    std::unique_ptr<LeedPatternWindow> m_leed;
    std::function<engine::MainFieldTexts()> m_fields;
    // The run each window shows.
    std::optional<engine::CapturedRun> m_realSpaceRun;
    std::optional<engine::CapturedRun> m_leedRun;
};

}  // namespace lamivex::app
