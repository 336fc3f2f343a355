#pragma once
// One rotation scan as typed values: the request the main window's fields and the command
// line's options describe, and the completed scan with its per-step table as contiguous rows.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "api/lattice_request.h"
#include "api/locations.h"
#include "api/run_control.h"
#include "engine/best_orientation.h"
#include "engine/completed_scan.h"
#include "engine/interpretation.h"

namespace lamivex::api {

struct ScanRequest {
    LatticeRequest lattice;
    // The overlayer as a transformation matrix (b1 = m11 a1 + m12 a2, b2 = m21 a1 + m22 a2):
    // it gives b1, b2, beta and the azimuth, scanned one spacing either side of it.
    std::optional<engine::Matrix2> matrix;
    bool atAngle = false;        // with matrix: only the matrix's own orientation
    bool fast = false;           // the vectorised kernel: V/Vo may differ in the last digits
    std::optional<int> threads;  // passes of a geometric search at once; unset: every core
    double registryTolerance = engine::kDefaultRegistryTolerance;  // substrate spacings
    // The largest misfit (%) of a nearest coincidence an incommensurate result names.
    double coincidenceMisfit = engine::kDefaultCoincidenceMisfit;
};

// One azimuth step: the lowest V/Vo over the multiples with its multiples and matrix. The
// angle is the step's single-precision azimuth as its shortest text reads (degrees).
struct StepRow {
    double angle = 0;
    double vvo = 0;
    std::int32_t b1Multiple = 0;  // 0 where no pair went below 10
    std::int32_t b2Multiple = 0;
    double m11 = 0;
    double m12 = 0;
    double m21 = 0;
    double m22 = 0;
};

struct ScanResult {
    int steps = 0;
    engine::BestOrientation best;
    double bestAngle = 0;    // best.BestAngle as its shortest text reads, degrees
    bool geometric = false;  // a search over multiples: the matrix is the supercell's
    engine::Interpretation interpretation;
    std::vector<std::string> warnings;  // notes on the substrate's symmetry
    std::string symmetryTaken;          // how a record set the symmetry, when it did
    engine::MainFieldTexts fields;      // the inputs as the run read them
    std::optional<engine::Matrix2> matrix;
    bool atAngle = false;
    bool fast = false;
    double registryTolerance = engine::kDefaultRegistryTolerance;
    double coincidenceMisfit = engine::kDefaultCoincidenceMisfit;
    std::vector<StepRow> table;  // every step; empty for one orientation (atAngle)
    std::shared_ptr<const engine::CompletedScan> scan;  // null for one orientation
};

// Runs the scan. progress gets the fraction done; abort is asked after each pass and a true
// answer throws RunAborted. Throws numbers::InputError naming the option for a refused value.
[[nodiscard]] ScanResult scan(const ScanRequest& request, const Progress& progress = {},
                              const Abort& abort = {}, const Locations& locations = {});

// The double a single-precision value's shortest text reads as: what a JSON reader sees.
[[nodiscard]] double shortestValue(float single);

}  // namespace lamivex::api
