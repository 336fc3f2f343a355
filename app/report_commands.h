#pragma once
// Save and Print of a rotation run's report: the file dialog, the busy pointer and the
// messages around the output library's report file and printout.

#include "engine/lattice.h"
#include "output/printed_report.h"
#include "output/report_file.h"

class QString;
class QWidget;

namespace lamivex::app {

class Services;

class ReportCommands {
  public:
    ReportCommands(Services& services, QWidget* parent);

    // Asks for an .epi name and writes the report there through a temporary file, so a
    // failure leaves an existing file as it was. Cancel writes nothing and says nothing.
    void save(const output::ReportInputs& report);

    // Prints on the current printer. Without a printer, or when it cannot start, says so
    // and offers to write the printout as a PDF file instead.
    void print(const output::ReportInputs& report, output::SearchWording wording);

  private:
    void offerPdf(const output::Pages& pages, const QString& why);

    Services& m_services;
    QWidget* m_parent;
};

}  // namespace lamivex::app
