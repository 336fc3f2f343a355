#pragma once
// One iteration run as typed values: the ranges of the lattice constants, the criterion, and
// the completed run with its matches as typed rows.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "api/lattice_request.h"
#include "api/locations.h"
#include "api/run_control.h"
#include "engine/interpretation.h"
#include "iteration/completed_iteration.h"
#include "iteration/iteration_ranges.h"

namespace lamivex::api {

// From low to high by increment: Angstroms for lengths, degrees for angles.
struct RangeValues {
    double low = 0;
    double high = 0;
    double increment = 0;
};

struct IterationRequest {
    LatticeRequest lattice;
    bool iterateOverlayer = true;  // b1, b2, beta; otherwise a1, a2, alpha
    bool rigid = false;            // a substrate run with a1 = a2
    // By iteration::Constant (b1, b2, beta, a1, a2, alpha); unset: the constant keeps its value.
    std::array<std::optional<RangeValues>, iteration::kConstantCount> ranges;
    std::vector<std::string> fix;  // constants that keep their value: "b1", "beta", ...
    double criterion = 0.8;        // a trial matches when its best V/Vo is below it
    bool exhaustive = false;       // every step of every trial, none left out by the bound
    std::optional<int> threads;    // unset: every core; the result does not depend on it
    double registryTolerance = engine::kDefaultRegistryTolerance;
    // The largest misfit (%) of a nearest coincidence an incommensurate result names.
    double coincidenceMisfit = engine::kDefaultCoincidenceMisfit;
};

// One match: the trial's best orientation, the constants it read by name (before any
// multiple; c1..c3 as its scan used them, multiplied in a geometric run), the matrix, the
// overlayer cell's area (square Angstroms) and the supercell's multiples.
struct MatchRow {
    double angle = 0;  // degrees, the single's shortest text as read
    double vvo = 0;
    double constant1 = 0;  // b1 or a1, Angstroms
    double constant2 = 0;  // b2 or a2, Angstroms
    double constant3 = 0;  // beta or alpha, degrees
    double c1 = 0;
    double c2 = 0;
    double c3 = 0;
    double m11 = 0;
    double m12 = 0;
    double m21 = 0;
    double m22 = 0;
    double area = 0;
    std::int32_t b1Multiple = 1;
    std::int32_t b2Multiple = 1;
};

struct IterationResult {
    std::shared_ptr<const iteration::CompletedIteration> run;
    std::vector<MatchRow> matches;
    std::vector<engine::Interpretation> interpretations;  // of each match
    std::array<std::string, 3> constantNames;             // "b1", "b2", "beta" or a1, a2, alpha
    std::string completionMessage;                        // as the window shows it
    IterationRequest request;                             // what repeats the run
};

// Runs every trial. progress gets the fraction of trials done; abort is asked between trials
// and a true answer throws RunAborted. Throws numbers::InputError naming the option for a
// refused value.
[[nodiscard]] IterationResult iterate(const IterationRequest& request,
                                      const Progress& progress = {}, const Abort& abort = {},
                                      const Locations& locations = {});

}  // namespace lamivex::api
