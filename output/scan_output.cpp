#include "output/scan_output.h"

#include <fmt/ostream.h>

#include "numbers/number_text.h"
#include "output/interpretation_json.h"

namespace lamivex::output {
namespace {

void matrixComponents(JsonWriter& json, double m11, double m12, double m21, double m22) {
    json.number("m11", m11);
    json.number("m12", m12);
    json.number("m21", m21);
    json.number("m22", m22);
}

// The lines below the Results frame: the type of epitaxy, the Wood notation and the area.
void writeInterpretationText(std::ostream& out, const engine::Interpretation& i) {
    fmt::print(out, "  Epitaxy: {}\n", i.summary());
    if (i.type() == engine::EpitaxyType::None) {
        return;
    }
    if (i.name && i.type() != engine::EpitaxyType::Commensurate) {
        fmt::print(out, "  Wood notation: {}\n", i.name->text);
    }
    fmt::print(out, "  Area of the {}: {:.3f} substrate cells\n",
               i.b1Multiple == 1 && i.b2Multiple == 1 ? "overlayer cell" : "supercell",
               i.areaRatio);
}

}  // namespace

void writeScanJson(JsonWriter& json, const ScanSummary& summary,
                   const engine::CompletedScan* withTable) {
    const engine::BestOrientation& best = summary.best;
    json.integer("steps", summary.steps);
    json.beginObject("best");
    json.number("vvo", best.BestVVo);
    json.number("angle", best.BestAngle);
    matrixComponents(json, best.BestPx, best.BestQy, best.BestQx, best.BestPy);
    json.number("b1_multiple", best.BestB1Multiple);
    json.number("b2_multiple", best.BestB2Multiple);
    json.endObject();
    writeInterpretationJson(json, summary.interpretation);
    json.beginArray("warnings");
    for (const std::string& note : summary.warnings) {
        json.string({}, note);
    }
    json.endArray();
    if (!summary.symmetryTaken.empty()) {
        json.string("symmetry", summary.symmetryTaken);
    }
    if (withTable == nullptr) {
        return;
    }
    const engine::AngleBestTable& table = withTable->AngleBestTable;
    json.beginArray("table");
    for (std::size_t k = 0; k < table.size(); ++k) {
        const engine::AngleBestRow& row = table[k];
        json.beginObject();
        json.number("angle", withTable->results.AzimuthAngles[k]);
        json.number("vvo", row.minVVo);
        json.number("b1_multiple", row.b1Multiple);
        json.number("b2_multiple", row.b2Multiple);
        matrixComponents(json, row.m11, row.m12, row.m21, row.m22);
        json.endObject();
    }
    json.endArray();
}

void writeScanText(std::ostream& out, const ScanSummary& summary) {
    const engine::BestOrientation& best = summary.best;
    const auto plain = [](double v) { return numbers::formatFixed(v, 3); };
    fmt::print(out, "Results ({} azimuth {})\n", summary.steps,
               summary.steps == 1 ? "step" : "steps");
    fmt::print(out, "  Orientation Angle = {}\n", numbers::formatFixed2(best.BestAngle));
    fmt::print(out, "  Transformation matrix\n");
    fmt::print(out, "    m11 = {:<8} m12 = {}\n", plain(best.BestPx), plain(best.BestQy));
    fmt::print(out, "    m21 = {:<8} m22 = {}\n", plain(best.BestQx), plain(best.BestPy));
    fmt::print(out, "  V/Vo = {}\n", numbers::formatScientific(best.BestVVo, 3));
    // In a search for geometric solutions the matrix belongs to a supercell: say which.
    if (summary.geometric) {
        fmt::print(out, "  Multiples: b1 x {}, b2 x {}\n",
                   numbers::formatWhole(best.BestB1Multiple),
                   numbers::formatWhole(best.BestB2Multiple));
    }
    writeInterpretationText(out, summary.interpretation);
    if (!summary.symmetryTaken.empty()) {
        fmt::print(out, "  Symmetry: {}\n", summary.symmetryTaken);
    }
}

void writeAngleTableText(std::ostream& out, std::span<const float> angles,
                         const engine::AngleBestTable& table) {
    constexpr int kWide = 24;
    constexpr int kNarrow = 11;
    fmt::print(out, "{:>{}}{:>{}}{:>{}}{:>{}}{:>{}}{:>{}}{:>{}}{:>{}}\n", "angle", kNarrow, "vvo",
               kWide, "b1_multiple", kNarrow + 1, "b2_multiple", kNarrow + 1, "m11", kWide, "m12",
               kWide, "m21", kWide, "m22", kWide);
    for (std::size_t k = 0; k < table.size() && k < angles.size(); ++k) {
        const engine::AngleBestRow& row = table[k];
        fmt::print(out, "{:>{}}{:>{}}{:>{}}{:>{}}{:>{}}{:>{}}{:>{}}{:>{}}\n", angles[k], kNarrow,
                   row.minVVo, kWide, row.b1Multiple, kNarrow + 1, row.b2Multiple, kNarrow + 1,
                   row.m11, kWide, row.m12, kWide, row.m21, kWide, row.m22, kWide);
    }
}

}  // namespace lamivex::output
