#include "iteration/iteration_data.h"

namespace lamivex::iteration {

output::IterationDataInputs iterationDataInputs(const engine::MainFieldTexts& fields,
                                                const IterationWindowFields& window,
                                                const IterationRanges& ranges,
                                                std::span<const std::string> MatchRecords,
                                                output::ReportDate date) {
    output::IterationDataInputs in;
    in.fields = fields;
    in.overlayerIterated = window.iterover;
    for (std::size_t row = 0; row < in.ranges.size(); ++row) {
        in.ranges[row] = {ranges.rows[row].Low, ranges.rows[row].High, window.rows[row].fixed};
    }
    in.matchRecords = MatchRecords;
    in.date = date;
    return in;
}

}  // namespace lamivex::iteration
