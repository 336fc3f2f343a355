#pragma once
// Printing and saving for the iteration windows: pages to the printer with a PDF offered
// when there is none, and files written through a temporary file, each with its message
// when it fails.

#include <functional>
#include <ostream>

#include <QString>

#include "output/display_list.h"

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

    // PNG, SVG or PDF by the chosen name's extension (PNG when it has none).
    bool exportPicture(const output::DisplayList& picture);

  private:
    void offerPdf(const output::Pages& pages, const QString& why, const QString& jobName);

    Services& m_services;
    QWidget* m_parent;
    QString m_what;
};

// True when a save dialog came back cancelled: no name, or its wildcard initial name.
[[nodiscard]] bool dialogCancelled(const QString& chosen, const QString& initialName);

}  // namespace lamivex::app
