#include "iteration/completed_iteration.h"

namespace lamivex::iteration {

std::string completionMessage(const CompletedIteration& run) {
    switch (run.stop) {
        case StopReason::Limit:
            return "Iteration run aborted\tToo many possible hits\tTry reducing search range";
        case StopReason::Aborted:
            return "Iteration run aborted";
        case StopReason::Complete:
            break;
    }
    return "Iterations complete. Match count = " + std::to_string(run.MatchCount);
}

void keepRangesRead(IterationRanges& programWide, RunKind kind, const IterationRanges& read) {
    for (const Constant c : iteratedConstants(kind)) {
        programWide[c] = read[c];
    }
}

output::IterationDataInputs dataFileInputs(const CompletedIteration& run,
                                           const engine::MainFieldTexts& fields,
                                           const IterationWindowFields& window,
                                           const IterationRanges& ranges,
                                           output::ReportDate date) {
    output::IterationDataInputs in;
    in.fields = fields;
    in.overlayerIterated = window.iterover;
    for (std::size_t row = 0; row < in.ranges.size(); ++row) {
        in.ranges[row] = {ranges.rows[row].Low, ranges.rows[row].High, window.rows[row].fixed};
    }
    in.matchRecords = run.MatchRecords;
    in.date = date;
    return in;
}

}  // namespace lamivex::iteration
