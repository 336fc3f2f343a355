#include "app/report_commands.h"

#include <filesystem>

#include <QPrinter>
#include <QString>

#include "app/qt_support.h"
#include "app/services.h"
#include "output/atomic_save.h"
#include "render/page_output.h"

namespace lamivex::app {
namespace {

const char* const kReportFilter = "Epitaxy Files (*.epi)|*.epi";
const char* const kReportInitialName = "*.epi";
const char* const kPdfFilter = "PDF Files (*.pdf)|*.pdf";
const char* const kPdfInitialName = "*.pdf";
const char* const kJobName = "Lamivex report";

// A dialog that hands back its wildcard initial name was cancelled.
bool cancelled(const QString& chosen, const char* initialName) {
    return chosen.isEmpty() || chosen == QLatin1String(initialName);
}

}  // namespace

ReportCommands::ReportCommands(Services& services, QWidget* parent)
    : m_services(services), m_parent(parent) {}

void ReportCommands::save(const output::ReportInputs& report) {
    const QString chosen = m_services.saveFileName(
        m_parent, {QLatin1String(kReportFilter), QLatin1String(kReportInitialName)});
    if (cancelled(chosen, kReportInitialName)) {
        return;
    }
    BusyPointer busy(m_services);
    const output::SaveResult saved =
        output::saveAtomically(std::filesystem::path(chosen.toStdString()),
                               [&report](std::ostream& out) { output::writeReport(out, report); });
    busy.release();
    if (!saved.ok) {
        m_services.message(m_parent,
                           QStringLiteral("The report was not saved.\n\n%1").arg(qs(saved.error)));
    }
}

void ReportCommands::print(const output::ReportInputs& report, output::SearchWording wording) {
    BusyPointer busy(m_services);
    const output::Pages pages = output::printedReportPages(report, wording);
    QPrinter* printer = m_services.printer();
    render::PrintResult printed{render::PrintStatus::NoPrinter, "No printer is installed."};
    if (printer != nullptr) {
        printer->setDocName(QLatin1String(kJobName));
        printed = render::printPages(pages, *printer);
    }
    busy.release();
    switch (printed.status) {
        case render::PrintStatus::Printed:
            return;
        case render::PrintStatus::NoPrinter:
            offerPdf(pages, qs(printed.message));
            return;
        case render::PrintStatus::Failed:
            m_services.message(m_parent,
                               QStringLiteral("The report was not printed completely.\n\n%1")
                                   .arg(qs(printed.message)));
            return;
    }
}

void ReportCommands::offerPdf(const output::Pages& pages, const QString& why) {
    const Answer answer = m_services.question(
        m_parent,
        QStringLiteral("The report was not printed: %1\n\n"
                       "Do you want to save the printout as a PDF file instead?")
            .arg(why),
        Answer::Yes);
    if (answer != Answer::Yes) {
        return;
    }
    const QString chosen = m_services.saveFileName(
        m_parent, {QLatin1String(kPdfFilter), QLatin1String(kPdfInitialName)});
    if (cancelled(chosen, kPdfInitialName)) {
        return;
    }
    BusyPointer busy(m_services);
    const output::SaveResult saved = render::writePagesPdf(
        pages, std::filesystem::path(chosen.toStdString()), QLatin1String(kJobName));
    busy.release();
    if (!saved.ok) {
        m_services.message(
            m_parent, QStringLiteral("The PDF file was not written.\n\n%1").arg(qs(saved.error)));
    }
}

}  // namespace lamivex::app
