#pragma once
// The data file of an iteration run (.dat): the header of the report file, the lattices as
// the main window shows them, the ranges that were iterated, a column heading and one
// line per match record, each as stored. Lines end with CR LF.

#include <array>
#include <filesystem>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "engine/lattice.h"
#include "output/atomic_save.h"
#include "output/report_file.h"

namespace lamivex::output {

struct IterationRangeLine {
    float low = 0;  // degrees or Angstroms, as the run read them
    float high = 0;
    bool fixed = false;  // the row's Fixed box as it is when saving: no line for it
};

struct IterationDataInputs {
    engine::MainFieldTexts fields;  // the main window's fields as they stand when saving
    bool overlayerIterated = true;  // "Iterate Overlayer" as it is when saving
    // b1, b2, beta, a1, a2, alpha
    std::array<IterationRangeLine, 6> ranges;
    std::span<const std::string> matchRecords;  // match 1 first
    ReportDate date;
};

// Every line before the match records, the column heading last.
[[nodiscard]] std::vector<std::string> iterationDataHeaderLines(const IterationDataInputs& in);

void writeIterationData(std::ostream& out, const IterationDataInputs& in);

// Writes the file through a temporary file and a rename, so a failed save leaves any
// earlier file whole.
[[nodiscard]] SaveResult saveIterationData(const std::filesystem::path& target,
                                           const IterationDataInputs& in);

}  // namespace lamivex::output
