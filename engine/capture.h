#pragma once
// The capture step that starts every run: field texts in, records and normalised texts out.

#include <string>

#include "engine/lattice.h"
#include "engine/match_kernel.h"

namespace lamivex::engine {

struct CapturedRun {
    MainFieldTexts fields;  // the texts as the capture step leaves them in the window
    SubstrateLattice substrate;
    OverlayerLattice overlayer;
    CalcSettings settings;
    std::string SubstrateName;
    std::string OverlayerName;
    bool fillIterationDefaults = false;  // a1 read as 0: the iteration ranges are refilled first
};

// Applies the main window's entry rules to every field, then normalises a1, a2, alpha, b1,
// b2, beta to the general format of their single value and converts the settings. Throws
// InputError naming the field's option when a rule refuses a text.
[[nodiscard]] CapturedRun captureRun(const MainFieldTexts& fields);

// The values a run computes with, read as doubles from the captured texts.
struct ScanInputs {
    double a1 = 0;
    double a2 = 0;
    double alpha = 0;
    double b1 = 0;
    double b2 = 0;
    double beta = 0;
    bool hexagonal = false;
    double lower = 0;  // the Lowerangle text read as a double
    CalcSettings settings;
    // A rotation run reports V/Vo and the matrix to 15 digits, so it takes the reference
    // arithmetic; iteration runs, whose records carry two decimals, take the fast kernel.
    KernelPath kernel = KernelPath::Scalar;
    // Passes of a geometric search computed at once. With more than one, the callbacks run
    // on the calling thread once per batch of passes, and an abort takes effect after the batch.
    int threads = 1;
};

[[nodiscard]] ScanInputs scanInputsFrom(const CapturedRun& run);

}  // namespace lamivex::engine
