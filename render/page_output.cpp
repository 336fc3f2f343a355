#include "render/page_output.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

#include <fmt/format.h>

#include "render/display_list_painter.h"

namespace lamivex::render {
namespace {

constexpr double kPdfMargin = 36;  // points

enum class PageStatus { Done, CannotBegin, PageFailed, EndFailed };

struct PageRun {
    PageStatus status = PageStatus::Done;
    int page = 0;  // 1-based page that failed
};

PageRun paintPages(const output::Pages& pages, QPagedPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return {PageStatus::CannotBegin, 1};
    }
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (i > 0 && !device.newPage()) {
            painter.end();
            return {PageStatus::PageFailed, static_cast<int>(i) + 1};
        }
        drawDisplayList(painter, pages[i], QRectF(0, 0, device.width(), device.height()),
                        Fit::KeepAspect);
    }
    if (!painter.end()) {
        return {PageStatus::EndFailed, static_cast<int>(pages.size())};
    }
    return {};
}

}  // namespace

PrintResult printPages(const output::Pages& pages, QPrinter& printer) {
    if (pages.empty()) {
        return {PrintStatus::Failed, "There is nothing to print."};
    }
    const PageRun run = paintPages(pages, printer);
    const std::string name = printer.printerName().toStdString();
    switch (run.status) {
        case PageStatus::Done:
            return {PrintStatus::Printed, {}};
        case PageStatus::CannotBegin:
            return {PrintStatus::NoPrinter,
                    name.empty() ? "The printer could not be started."
                                 : fmt::format("The printer {} could not be started.", name)};
        case PageStatus::PageFailed:
            return {PrintStatus::Failed,
                    fmt::format("The printer failed at page {}; the printout is incomplete.",
                                run.page)};
        case PageStatus::EndFailed:
            return {PrintStatus::Failed, "The printer failed to finish the printout."};
    }
    return {PrintStatus::Failed, "The printer failed."};
}

PrintResult printPagesOn(const QPrinterInfo& printer, const output::Pages& pages,
                         const QString& jobName) {
    if (printer.isNull()) {
        return {PrintStatus::NoPrinter, "No printer is installed."};
    }
    QPrinter device(printer, QPrinter::HighResolution);
    device.setDocName(jobName);
    return printPages(pages, device);
}

PrintResult printPagesToDefaultPrinter(const output::Pages& pages, const QString& jobName) {
    return printPagesOn(QPrinterInfo::defaultPrinter(), pages, jobName);
}

output::SaveResult writePagesPdf(const output::Pages& pages, const std::filesystem::path& file,
                                 const QString& title) {
    if (pages.empty()) {
        return {false, "There is nothing to write."};
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    PageRun run;
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(title);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(kPdfMargin, kPdfMargin, kPdfMargin, kPdfMargin),
                                      QPageLayout::Point));
        run = paintPages(pages, pdf);
    }  // the writer finishes the document when it goes
    if (run.status != PageStatus::Done) {
        return {false, fmt::format("The PDF for {} could not be drawn (page {}).", file.string(),
                                   run.page)};
    }
    return output::saveAtomically(file, [&](std::ostream& out) {
        out.write(bytes.constData(), static_cast<std::streamsize>(bytes.size()));
    });
}

}  // namespace lamivex::render
