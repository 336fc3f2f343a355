#pragma once
// Sends the pages of a printout to a printer or to a PDF file.

#include <filesystem>
#include <string>

#include <QString>

#include "output/atomic_save.h"
#include "output/display_list.h"

class QPrinter;
class QPrinterInfo;

namespace lamivex::render {

enum class PrintStatus {
    Printed,
    NoPrinter,  // none installed, or it could not be started: offer a PDF instead
    Failed,     // the printer failed part-way; the job may be incomplete
};

struct PrintResult {
    PrintStatus status = PrintStatus::Failed;
    std::string message;  // for the user; empty when printed
    [[nodiscard]] bool printed() const { return status == PrintStatus::Printed; }
};

// Every page scaled to the printable area with its proportions kept.
[[nodiscard]] PrintResult printPages(const output::Pages& pages, QPrinter& printer);

// On the given printer with its current settings; a null printer gives NoPrinter.
[[nodiscard]] PrintResult printPagesOn(const QPrinterInfo& printer, const output::Pages& pages,
                                       const QString& jobName);

// On the system's default printer.
[[nodiscard]] PrintResult printPagesToDefaultPrinter(const output::Pages& pages,
                                                     const QString& jobName);

// An A4 PDF with 0.5 inch margins, one page per display list, replacing file in one
// rename. Needs a QGuiApplication.
[[nodiscard]] output::SaveResult writePagesPdf(const output::Pages& pages,
                                               const std::filesystem::path& file,
                                               const QString& title = {});

}  // namespace lamivex::render
