#pragma once
// The report file of a rotation run (.epi): a header repeating the inputs, the best
// orientation with its matrix, and one row per azimuth step. Lines end with CR LF.

#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "engine/angle_best_table.h"
#include "engine/best_orientation.h"
#include "engine/capture.h"
#include "engine/lattice.h"
#include "engine/scan_results.h"

namespace lamivex::output {

struct ReportDate {
    int year = 1999;
    int month = 7;
    int day = 5;
};

[[nodiscard]] ReportDate today();

struct ReportInputs {
    engine::MainFieldTexts fields;  // the main window's fields as they stand when saving
    std::string capturedB1;         // OverlayerLattice.b1 and .b2 of the run
    std::string capturedB2;
    engine::BestOrientation best;
    std::span<const float> azimuthAngles;
    std::span<const engine::AngleBestRow> angleBestTable;
    std::span<const double> angleMinVVo;
    ReportDate date;
};

// The report of a finished run as it stands right after the run: the fields the capture step
// left, the captured overlayer, the best orientation and the per-angle tables. A window that
// saves later replaces fields with what its fields show then. The spans point into results
// and table, which must outlive the inputs.
[[nodiscard]] ReportInputs reportInputsFor(const engine::CapturedRun& run,
                                           const engine::ScanResults& results,
                                           const engine::BestOrientation& best,
                                           const engine::AngleBestTable& table, ReportDate date);

// The lines every file and printout of the program opens with: its name, what it is, its
// date of issue and today's date ("yy/m/d").
[[nodiscard]] std::vector<std::string> programHeaderLines(ReportDate date);
// The substrate symmetry line of the reports and data files.
[[nodiscard]] std::string symmetryLine(bool hexagonal);

// Lines 1 to 30 of the file: the header, the best orientation and the column heading.
[[nodiscard]] std::vector<std::string> reportHeaderLines(const ReportInputs& in);

// The data row of step k: eight general-format numbers in report-row form.
[[nodiscard]] std::string reportDataRow(const ReportInputs& in, std::size_t k);

void writeReport(std::ostream& out, const ReportInputs& in);

}  // namespace lamivex::output
