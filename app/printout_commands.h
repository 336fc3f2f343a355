#pragma once
// Printing and saving for the iteration windows: pages to the printer with a PDF offered
// when there is none, and files written through a temporary file, each with its message
// when it fails.

#include <functional>
#include <ostream>

#include <QString>

#include "app/services.h"
#include "output/display_list.h"
#include "output/figure_layout.h"

class QWidget;

namespace lamivex::app {

class Services;

class PrintoutCommands {
  public:
    // what names the printout in messages ("The histogram", "The matches").
    PrintoutCommands(Services& services, QWidget* parent, QString what);

    // Prints on the current printer; without one, says so and offers a PDF file instead.
    void print(const output::Pages& pages, const QString& jobName);

    // Asks for a name with filter and initialName; cancel writes nothing and says nothing.
    // Returns whether a file was written.
    bool save(const QString& filter, const QString& initialName,
              const std::function<void(std::ostream&)>& write);

    // Asks for a name and then for the figure's size, and writes PNG, SVG or PDF by the
    // name's extension (PNG when it has none): build lays the figure out for the size and
    // font chosen; keepAspect keeps a view's scale the same both ways. Returns whether a
    // file was written.
    using FigureBuilder = std::function<output::DisplayList(const output::FigureStyle&)>;
    bool exportFigure(const FigureBuilder& build, const FigureRequest& initial,
                      const QString& title, bool keepAspect = false);

  private:
    void offerPdf(const output::Pages& pages, const QString& why, const QString& jobName);

    Services& m_services;
    QWidget* m_parent;
    QString m_what;
};

// True when a save dialog came back cancelled: no name, or its wildcard initial name.
[[nodiscard]] bool dialogCancelled(const QString& chosen, const QString& initialName);

}  // namespace lamivex::app
