#pragma once
// Runs and files shared by the painter tests.

#include <filesystem>
#include <string>
#include <vector>

#include "engine/completed_scan.h"
#include "output/report_file.h"

namespace lamivex::render::testing {

// A run of the main window's defaults (0..60 by 0.25), kept whole so spans stay valid.
struct DefaultRun {
    engine::CompletedScan scan;

    explicit DefaultRun(bool geometric);
    [[nodiscard]] output::ReportInputs report() const;
};

// The text pdftotext finds on each page of a PDF (empty when it cannot read the file).
[[nodiscard]] std::vector<std::string> pdfPageTexts(const std::filesystem::path& pdf);

[[nodiscard]] std::string readFile(const std::filesystem::path& file);

}  // namespace lamivex::render::testing
