#include "cli/interpretation_output.h"

#include <cmath>
#include <cstdio>
#include <iostream>

#include <fmt/format.h>

#include "cli/cli_errors.h"
#include "numbers/input_error.h"
#include "numbers/lattice_rules.h"
#include "numbers/number_text.h"

namespace lamivex::cli {
namespace {

void optionalString(JsonWriter& json, std::string_view key, const std::optional<std::string>& s) {
    if (s) {
        json.string(key, *s);
    } else {
        json.null(key);
    }
}

}  // namespace

engine::Matrix2 parseMatrix(std::string_view text, const std::string& option) {
    const std::optional<engine::Matrix2> matrix = engine::parseMatrixText(text);
    if (!matrix) {
        numbers::failInput(option, fmt::format("expected four numbers \"m11 m12 m21 m22\" "
                                               "(b1 = m11 a1 + m12 a2, b2 = m21 a1 + m22 a2), "
                                               "got \"{}\"",
                                               text));
    }
    // Singular relative to its size, so 1e300 1e300 1e300 1e300 is refused like 1 1 1 1.
    if (const numbers::FieldVerdict verdict =
            numbers::checkMatrixRows(matrix->m11, matrix->m12, matrix->m21, matrix->m22);
        !verdict.accepted) {
        numbers::failInput(option, verdict.reason);
    }
    return *matrix;
}

double parseTolerance(std::string_view text) {
    const numbers::Parsed<double> parsed = numbers::toDouble(text);
    if (!parsed.ok() || !(parsed.value > 0) || !std::isfinite(parsed.value)) {
        numbers::failInput("registry-tolerance",
                           fmt::format("expected a number above 0, in substrate spacings (got "
                                       "\"{}\")",
                                       text));
    }
    return parsed.value;
}

double parseCoincidenceMisfit(std::string_view text) {
    const numbers::Parsed<double> parsed = numbers::toDouble(text);
    if (!parsed.ok() || !(parsed.value > 0) || !(parsed.value <= 100)) {
        numbers::failInput("coincidence-misfit",
                           fmt::format("expected a percentage above 0 and at most 100 (got "
                                       "\"{}\")",
                                       text));
    }
    return parsed.value;
}

engine::InterpretOptions interpretOptions(std::string_view registryTolerance,
                                          std::string_view coincidenceMisfit) {
    engine::InterpretOptions options;
    options.registryTolerance = parseTolerance(registryTolerance);
    options.coincidenceMisfit = parseCoincidenceMisfit(coincidenceMisfit);
    return options;
}

void writeInterpretationJson(JsonWriter& json, const engine::Interpretation& i) {
    json.beginObject("interpretation");
    json.string("type", engine::typeName(i.type()));
    if (const std::optional<engine::IntMatrix2> m = i.integerMatrix()) {
        writeMatrixJson(json, "matrix_integer", *m);
    } else {
        json.null("matrix_integer");
    }
    const engine::PointOnLine* line = i.pointOnLine();
    if (line && line->column != 0) {
        json.integer("point_on_line_column", line->column);
    } else {
        json.null("point_on_line_column");
    }
    if (line) {
        json.beginArray("point_on_line_rows");
        json.integer({}, line->h);
        json.integer({}, line->k);
        json.endArray();
    } else {
        json.null("point_on_line_rows");
    }
    if (const std::optional<engine::Supercell> s = i.supercell()) {
        json.beginObject("supercell");
        json.integer("b1_multiple", s->b1Multiple);
        json.integer("b2_multiple", s->b2Multiple);
        writeMatrixJson(json, "matrix", s->matrix);
        json.endObject();
    } else {
        json.null("supercell");
    }
    optionalString(json, "wood", i.wood());
    if (i.name) {
        json.number("wood_rotation", i.name->rotation);
    } else {
        json.null("wood_rotation");
    }
    json.beginArray("other_domains");
    if (i.name) {
        for (const std::string& other : i.name->otherDomains) {
            json.string({}, other);
        }
    }
    json.endArray();
    if (i.equivalent) {
        json.beginObject("equivalent_orientation");
        json.number("angle", i.equivalent->angle);
        json.number("substrate_rotation", i.equivalent->rotation);
        json.endObject();
    } else {
        json.null("equivalent_orientation");
    }
    if (i.type() == engine::EpitaxyType::None) {
        json.null("nearest");
        json.null("misfit_percent");
    } else {
        json.beginObject("nearest");
        json.integer("b1_multiple", i.b1Multiple);
        json.integer("b2_multiple", i.b2Multiple);
        writeMatrixJson(json, "matrix", i.nearestMatrix);
        optionalString(json, "wood", i.nearestWood);
        json.boolean("within_misfit_limit", !i.coincidenceBeyondLimit());
        json.endObject();
        json.beginArray("misfit_percent");
        for (const std::optional<double>& e : i.misfitPercent) {
            if (e) {
                json.number({}, *e);
            } else {
                json.null({});
            }
        }
        json.endArray();
    }
    json.number("coincidence_misfit_limit_percent", i.coincidenceMisfit);
    json.number("area_ratio", i.areaRatio);
    json.string("summary", i.summary());
    json.endObject();
}

void printInterpretation(const engine::Interpretation& i) {
    fmt::print("  Epitaxy: {}\n", i.summary());
    if (i.type() == engine::EpitaxyType::None) {
        return;
    }
    if (i.name && i.type() != engine::EpitaxyType::Commensurate) {
        fmt::print("  Wood notation: {}\n", i.name->text);
    }
    fmt::print("  Area of the {}: {:.3f} substrate cells\n",
               i.b1Multiple == 1 && i.b2Multiple == 1 ? "overlayer cell" : "supercell",
               i.areaRatio);
}

std::string plainMatrix(double m11, double m12, double m21, double m22) {
    using numbers::formatFixed;
    return fmt::format("({} {}; {} {})", formatFixed(m11, 3), formatFixed(m12, 3),
                       formatFixed(m21, 3), formatFixed(m22, 3));
}

void warnOnStderr(std::string_view command, const std::vector<std::string>& notes) {
    // After the result it qualifies, also where both streams go to one file.
    std::fflush(stdout);
    std::cout.flush();
    for (const std::string& note : notes) {
        printRefusal(fmt::format("lamivex-cli {}: warning: {}", command, note));
    }
}

}  // namespace lamivex::cli
