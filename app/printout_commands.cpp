#include "app/printout_commands.h"

#include <filesystem>
#include <stdexcept>

#include <QFileInfo>
#include <QPrinter>

#include "app/qt_support.h"
#include "app/services.h"
#include "output/atomic_save.h"
#include "output/picture_format.h"
#include "render/graph_export.h"
#include "render/page_output.h"

namespace lamivex::app {
namespace {

const char* const kPdfFilter = "PDF Files (*.pdf)|*.pdf";
const char* const kPdfInitialName = "*.pdf";
const char* const kPictureFilter =
    "PNG Images (*.png)|*.png|SVG Drawings (*.svg)|*.svg|PDF Files (*.pdf)|*.pdf";
const char* const kPictureInitialName = "*.png";

std::filesystem::path toPath(const QString& name) {
    return {name.toStdString()};
}

}  // namespace

bool dialogCancelled(const QString& chosen, const QString& initialName) {
    return chosen.isEmpty() || chosen == initialName;
}

PrintoutCommands::PrintoutCommands(Services& services, QWidget* parent, QString what)
    : m_services(services), m_parent(parent), m_what(std::move(what)) {}

void PrintoutCommands::print(const output::Pages& pages, const QString& jobName) {
    render::PrintResult printed{render::PrintStatus::NoPrinter, "No printer is installed."};
    {
        BusyPointer busy(m_services);
        if (QPrinter* printer = m_services.printer()) {
            printer->setDocName(jobName);
            printed = render::printPages(pages, *printer);
        }
    }
    switch (printed.status) {
        case render::PrintStatus::Printed:
            return;
        case render::PrintStatus::NoPrinter:
            offerPdf(pages, qs(printed.message), jobName);
            return;
        case render::PrintStatus::Failed:
            m_services.message(m_parent, QStringLiteral("%1 was not printed completely.\n\n%2")
                                             .arg(m_what, qs(printed.message)));
            return;
    }
}

void PrintoutCommands::offerPdf(const output::Pages& pages, const QString& why,
                                const QString& jobName) {
    const Answer answer = m_services.question(
        m_parent,
        QStringLiteral("%1 was not printed: %2\n\n"
                       "Do you want to save the printout as a PDF file instead?")
            .arg(m_what, why),
        Answer::Yes);
    if (answer != Answer::Yes) {
        return;
    }
    const QString initial = QLatin1String(kPdfInitialName);
    const QString chosen = m_services.saveFileName(m_parent, {QLatin1String(kPdfFilter), initial});
    if (dialogCancelled(chosen, initial)) {
        return;
    }
    output::SaveResult saved;
    {
        BusyPointer busy(m_services);
        saved = render::writePagesPdf(pages, toPath(chosen), jobName);
    }
    if (!saved.ok) {
        m_services.message(
            m_parent, QStringLiteral("The PDF file was not written.\n\n%1").arg(qs(saved.error)));
    }
}

bool PrintoutCommands::save(const QString& filter, const QString& initialName,
                            const std::function<void(std::ostream&)>& write) {
    const QString chosen = m_services.saveFileName(m_parent, {filter, initialName});
    if (dialogCancelled(chosen, initialName)) {
        return false;
    }
    output::SaveResult saved;
    {
        BusyPointer busy(m_services);
        saved = output::saveAtomically(toPath(chosen), write);
    }
    if (!saved.ok) {
        m_services.message(m_parent,
                           QStringLiteral("%1 was not saved.\n\n%2").arg(m_what, qs(saved.error)));
    }
    return saved.ok;
}

bool PrintoutCommands::exportFigure(const FigureBuilder& build, const FigureRequest& initial,
                                    const QString& title, bool keepAspect) {
    const QString initialName = QLatin1String(kPictureInitialName);
    QString chosen =
        m_services.saveFileName(m_parent, {QLatin1String(kPictureFilter), initialName});
    if (dialogCancelled(chosen, initialName)) {
        return false;
    }
    if (QFileInfo(chosen).suffix().isEmpty()) {
        chosen += QStringLiteral(".png");
    }
    if (!output::pictureFormatFor(toPath(chosen))) {
        m_services.message(m_parent, QStringLiteral("%1 was not exported: choose a name ending "
                                                    "in .png, .svg or .pdf.")
                                         .arg(m_what));
        return false;
    }
    const std::optional<FigureRequest> size = m_services.figureSize(m_parent, initial);
    if (!size) {
        return false;
    }
    constexpr double kPointsPerMm = 72 / 25.4;
    const output::FigureStyle style{size->widthMm * kPointsPerMm, size->heightMm * kPointsPerMm,
                                    size->fontPt};
    output::SaveResult saved;
    try {
        BusyPointer busy(m_services);
        const output::DisplayList figure = build(style);
        saved = render::exportFigure(
            figure, toPath(chosen),
            {style.widthPt, style.heightPt, size->dpi, title.toStdString(), keepAspect});
    } catch (const std::invalid_argument& tooSmall) {
        saved = {false, tooSmall.what()};
    }
    if (!saved.ok) {
        m_services.message(
            m_parent, QStringLiteral("%1 was not exported.\n\n%2").arg(m_what, qs(saved.error)));
    }
    return saved.ok;
}

}  // namespace lamivex::app
