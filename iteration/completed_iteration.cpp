#include "iteration/completed_iteration.h"

#include <algorithm>

#include "engine/parallel_each.h"
#include "iteration/iteration_run.h"

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

std::vector<engine::Interpretation> interpretMatches(const CompletedIteration& run,
                                                     const engine::InterpretOptions& options,
                                                     int threads) {
    const engine::CapturedRun& c = run.capture;
    const engine::SubstrateCell start = engine::substrateCellOf(c);
    std::vector<engine::Interpretation> out(run.matches.size());
    // A name takes tens of microseconds, a thread's start about as much: a few matches stay on
    // this thread.
    constexpr std::size_t kMatchesPerThread = 32;
    const int wanted = threads > 0 ? threads : defaultThreadCount();
    const int used = static_cast<int>(
        std::min<std::size_t>(static_cast<std::size_t>(wanted), out.size() / kMatchesPerThread));
    engine::forEachInParallel(out.size(), used, [&](std::size_t k) {
        const Match& m = run.matches[k];
        const engine::SubstrateCell substrate =
            iteratesOverlayer(run.kind) ? start : engine::SubstrateCell{m.c1, m.c2, m.c3};
        out[k] = engine::interpret({m.m11, m.m12, m.m21, m.m22}, m.b1Multiple, m.b2Multiple,
                                   substrate, c.settings.b1Size, c.settings.b2Size, options);
    });
    return out;
}

std::vector<output::MatchCsvRow> matchCsvRows(const CompletedIteration& run,
                                              std::span<const engine::Interpretation> meanings) {
    std::vector<output::MatchCsvRow> rows;
    rows.reserve(run.matches.size());
    for (std::size_t k = 0; k < run.matches.size(); ++k) {
        const Match& m = run.matches[k];
        output::MatchCsvRow row;
        row.angle = m.angle;
        row.vvo = m.vvo;
        row.constants = m.singles;
        row.m11 = m.m11;
        row.m12 = m.m12;
        row.m21 = m.m21;
        row.m22 = m.m22;
        row.area = m.area;
        row.epitaxy = meanings[k].summary();
        row.b1Multiple = m.b1Multiple;
        row.b2Multiple = m.b2Multiple;
        rows.push_back(std::move(row));
    }
    return rows;
}

void keepRangesRead(IterationRanges& programWide, RunKind kind, const IterationRanges& read) {
    for (const Constant c : iteratedConstants(kind)) {
        programWide[c] = read[c];
    }
}

output::IterationDataInputs dataFileInputs(const CompletedIteration& run,
                                           const engine::MainFieldTexts& fields,
                                           const IterationWindowFields& window,
                                           const IterationRanges& ranges, output::ReportDate date) {
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
