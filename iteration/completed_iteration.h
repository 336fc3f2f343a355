#pragma once
// A finished iteration run as one value: the capture it started from, its matches and
// their records, the hit counts, the ranges it read and how it ended. The results table,
// the histogram, the data file and the printout read it.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/capture.h"
#include "engine/interpretation.h"
#include "engine/lattice.h"
#include "iteration/iteration_plan.h"
#include "iteration/iteration_ranges.h"
#include "iteration/match_records.h"
#include "output/iteration_data_file.h"
#include "output/match_table_csv.h"

namespace lamivex::iteration {

enum class StopReason {
    Complete,  // every trial was scanned
    Limit,     // the 2000th match ended the run
    Aborted,   // the abort callback ended it
};

struct CompletedIteration {
    engine::CapturedRun capture;  // the capture that started the run: its run-start lattices
    RunKind kind = RunKind::Overlayer;
    StopReason stop = StopReason::Complete;
    int MatchCount = 0;
    std::vector<std::string> MatchRecords;  // match k (1-based) is MatchRecords[k - 1]
    std::vector<Match> matches;             // the same matches at full precision
    HitCounts hits;
    int64_t trialsDone = 0;
    int64_t trialCount = 0;
    IterationRanges ranges;  // as the run read them
    double SelectionCriterion = 0;
    // The main window's fields after the run: the iterated lattice back at its run-start
    // values (lengths as captured, the angle from its run-start single).
    engine::MainFieldTexts restoredFields;
};

// What each match means (engine/interpretation.h): its matrix and multiples on the substrate
// of its trial (the run-start substrate of an overlayer run), over the run's domain. Naming is
// shared among threads (0: every core); the result does not depend on them.
[[nodiscard]] std::vector<engine::Interpretation> interpretMatches(
    const CompletedIteration& run, const engine::InterpretOptions& options, int threads = 0);
[[nodiscard]] inline std::vector<engine::Interpretation> interpretMatches(
    const CompletedIteration& run, double tolerance, int threads = 0) {
    engine::InterpretOptions options;
    options.registryTolerance = tolerance;
    return interpretMatches(run, options, threads);
}

// The matches as rows of the CSV table, with what each means (interpretMatches, one for each
// match).
[[nodiscard]] std::vector<output::MatchCsvRow> matchCsvRows(
    const CompletedIteration& run, std::span<const engine::Interpretation> meanings);
[[nodiscard]] inline std::vector<output::MatchCsvRow> matchCsvRows(const CompletedIteration& run,
                                                                   double tolerance) {
    return matchCsvRows(run, interpretMatches(run, tolerance));
}

// The message the window shows at the end: "Iterations complete. Match count = N", or the
// three tab-separated parts when the match limit stopped the run, or "Iteration run aborted".
[[nodiscard]] std::string completionMessage(const CompletedIteration& run);

// Replaces in programWide the rows a run of kind read at its start (the three constants of the
// lattice it iterates), keeping the others.
void keepRangesRead(IterationRanges& programWide, RunKind kind, const IterationRanges& read);

// The data file's inputs from the state of the windows when the user saves: fields and
// window as they stand now; ranges the program-wide ones; the records those of run, which
// must outlive the inputs (they point into it).
[[nodiscard]] output::IterationDataInputs dataFileInputs(const CompletedIteration& run,
                                                         const engine::MainFieldTexts& fields,
                                                         const IterationWindowFields& window,
                                                         const IterationRanges& ranges,
                                                         output::ReportDate date);

}  // namespace lamivex::iteration
