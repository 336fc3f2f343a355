#pragma once
// What a screen writes: the JSON Lines stream of its pairs in the order of the work list
// (the file --resume and merge read back), the CSV stream, and the ranked results as one
// JSON object or as a table. Numbers at full precision; the meaning of each best orientation
// is computed again from the stored values, so a result read back says what the run said.

#include <cstddef>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "cli/json_reader.h"
#include "screening/pair_screen.h"
#include "screening/ranking.h"

namespace lamivex::cli {

// What every file of a screen carries besides its results: the inputs as JSON text (the same
// in every shard), the number of pairs in the whole work list, and the part this file holds.
struct ScreenRecord {
    std::string inputsJson;
    std::size_t pairs = 0;
    screening::Shard shard;
};

// The settings the pairs were run with, from the "inputs" of a screen.
[[nodiscard]] screening::ScreenSettings settingsFromInputs(const JsonValue& inputs);

// The first line of the JSON Lines stream and one line per pair, each ending in '\n'.
[[nodiscard]] std::string jsonlHeader(const ScreenRecord& record);
[[nodiscard]] std::string jsonlLine(const screening::PairResult& result,
                                    const screening::ScreenSettings& settings);

// The CSV stream: RFC 4180 (CR LF, text quoted), one row per pair.
void writeCsvHeader(std::ostream& out);
void writeCsvRow(std::ostream& out, const screening::PairResult& result,
                 const screening::ScreenSettings& settings);

// The ranked pairs, the best top of them (all without top), and the pairs that could not be
// screened: as one JSON object (with a final '\n'), or as a table for people.
[[nodiscard]] std::string rankedJson(std::span<const screening::PairResult> results,
                                     const ScreenRecord& record,
                                     const screening::ScreenSettings& settings,
                                     std::optional<std::size_t> top);
void printRankedTable(std::ostream& out, std::span<const screening::PairResult> results,
                      const screening::ScreenSettings& settings, std::optional<std::size_t> top);

// A JSON Lines file of a screen: its header and every complete line after it (a last line
// cut short by an interrupted run is left out). Throws FileError or InputError naming option.
struct ScreenFile {
    ScreenRecord record;
    std::vector<screening::PairResult> results;
};
[[nodiscard]] ScreenFile readScreenJsonl(const std::string& path, const std::string& option);

}  // namespace lamivex::cli
