#pragma once
// The report file of a rotation run (.epi): a header repeating the inputs, the best
// orientation with its matrix, and one row per azimuth step. Lines end with CR LF.

#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "engine/angle_best_table.h"
#include "engine/best_orientation.h"
#include "engine/completed_scan.h"
#include "engine/lattice.h"

namespace lamivex::output {

struct ReportDate {
    int year = 1999;
    int month = 7;
    int day = 5;
};

[[nodiscard]] ReportDate today();

struct ReportInputs {
    engine::MainFieldTexts fields;  // the main window's fields as they stand when saving
    float capturedB1 = 0;           // OverlayerLattice.b1 and .b2 of the run, Angstroms
    float capturedB2 = 0;
    engine::BestOrientation best;
    std::span<const float> azimuthAngles;
    std::span<const engine::AngleBestRow> angleBestTable;
    std::span<const double> angleMinVVo;
    ReportDate date;
};

// The report of a completed run with fields as they stand when it is written: the window's
// fields at that moment, or for the command line the fields the capture step left
// (scan.capture.fields). The spans point into scan, which must outlive the inputs.
[[nodiscard]] ReportInputs reportInputsFor(const engine::CompletedScan& scan,
                                           const engine::MainFieldTexts& fields, ReportDate date);

// The lines every file and printout of the program opens with: its name, what it is, its
// date of issue and today's date ("yy/m/d").
[[nodiscard]] std::vector<std::string> programHeaderLines(ReportDate date);
// The substrate symmetry line of the reports and data files.
[[nodiscard]] std::string symmetryLine(bool hexagonal);

// The header of a report by name: the lines of the file, and the values the printout
// words its own way. Lengths and angles are the "0.00" picture right-justified in their
// width; the file lines already carry their labels.
struct ReportHeader {
    std::vector<std::string> program;  // name, what it is, date of issue, today
    std::string substrate;             // " SUBSTRATE : " and the name
    std::string a1, a2, alpha, symmetry;
    std::string overlayer;
    std::string b1, b2, beta;
    std::string parameters;       // " OVERLAYER PARAMETERS"
    std::string geometricSearch;  // "Searched for geometric solutions up to 4", or not
    std::string maximumMultiple;  // the multiple as "0", when searching
    std::string m, n, lowerBound, upperBound, increment;
    std::string matrix;              // "        TRANSFORMATION MATRIX"
    std::string m11, m12, m21, m22;  // the values only, six characters each
    std::string b1Multiple, b2Multiple, orientationAngle, vvo;
    std::string columns;  // the heading of the data rows

    // Lines 1 to 30 of the file.
    [[nodiscard]] std::vector<std::string> fileLines() const;
};

[[nodiscard]] ReportHeader reportHeader(const ReportInputs& in);

// Lines 1 to 30 of the file: the header, the best orientation and the column heading.
[[nodiscard]] std::vector<std::string> reportHeaderLines(const ReportInputs& in);

// The data row of step k: eight general-format numbers in report-row form.
[[nodiscard]] std::string reportDataRow(const ReportInputs& in, std::size_t k);

void writeReport(std::ostream& out, const ReportInputs& in);

}  // namespace lamivex::output
