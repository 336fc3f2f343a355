#include "iteration/iteration_output.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include <fmt/ostream.h>

#include "iteration/iteration_plan.h"
#include "iteration/iteration_ranges.h"
#include "iteration/match_records.h"
#include "output/interpretation_json.h"

namespace lamivex::iteration {
namespace {

std::vector<std::string> tableHeadings(RunKind kind) {
    if (iteratesOverlayer(kind)) {
        return {"Match", "Angle", "V/Vo", "b1",  "b2",        "beta",
                "m11",   "m12",   "m21",  "m22", "Area (A^2)"};
    }
    return {"Match", "Angle", "V/Vo", "a1",  "a2",        "alpha",
            "m11",   "m12",   "m21",  "m22", "Area (A^2)"};
}

void writeHistogramJson(output::JsonWriter& json, const HitCounts& hits) {
    json.beginObject("histogram");
    json.integer("low", hits.HistogramLowAngle);
    json.integer("high", hits.HistogramHighAngle);
    json.beginArray("hits");
    for (const int count : hits.HitsByAngle) {
        json.integer({}, count);
    }
    json.endArray();
    json.beginArray("geometric");
    for (const int count : hits.GeometricHitsByAngle) {
        json.integer({}, count);
    }
    json.endArray();
    json.endObject();
}

}  // namespace

void writeIterationJson(output::JsonWriter& json, const CompletedIteration& run,
                        std::span<const engine::Interpretation> meanings) {
    const std::array<Constant, 3> named = iteratedConstants(run.kind);
    json.integer("match_count", run.MatchCount);
    json.string("stopped", run.stop == StopReason::Limit ? "limit" : "complete");
    json.beginArray("records");
    for (const std::string& record : run.MatchRecords) {
        json.string({}, record);
    }
    json.endArray();
    json.beginArray("matches");
    for (std::size_t k = 0; k < run.matches.size(); ++k) {
        const Match& m = run.matches[k];
        json.beginObject();
        json.number("angle", m.angle);
        json.number("vvo", m.vvo);
        json.number("c1", m.c1);
        json.number("c2", m.c2);
        json.number("c3", m.c3);
        json.number("m11", m.m11);
        json.number("m12", m.m12);
        json.number("m21", m.m21);
        json.number("m22", m.m22);
        json.number("area", m.area);
        if (k < meanings.size()) {
            output::writeInterpretationJson(json, meanings[k]);
        }
        // The trial's constants by name as it read them (before any multiple), and the
        // supercell of a geometric run.
        for (std::size_t c = 0; c < 3; ++c) {
            json.number(constantName(named[c]), m.singles[c]);
        }
        json.integer("b1_multiple", m.b1Multiple);
        json.integer("b2_multiple", m.b2Multiple);
        json.endObject();
    }
    json.endArray();
    writeHistogramJson(json, run.hits);
}

void writeMatchTableText(std::ostream& out, const CompletedIteration& run) {
    std::vector<std::vector<std::string>> rows = {tableHeadings(run.kind)};
    for (std::size_t k = 0; k < run.matches.size(); ++k) {
        std::vector<std::string> row = {std::to_string(k + 1)};
        for (const std::string& cell : matchCells(run.matches[k])) {
            row.push_back(cell);
        }
        rows.push_back(std::move(row));
    }
    std::vector<std::size_t> widths(rows.front().size(), 0);
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c) {
            widths[c] = std::max(widths[c], row[c].size());
        }
    }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c) {
            line += fmt::format("{}{:>{}}", c == 0 ? "" : "  ", row[c], widths[c]);
        }
        fmt::print(out, "{}\n", line);
    }
}

}  // namespace lamivex::iteration
