#include "cli/interpretation_output.h"

#include <cmath>
#include <cstdio>
#include <iostream>

#include <fmt/format.h>

#include "cli/cli_errors.h"
#include "numbers/input_error.h"
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
    if (matrix->m11 * matrix->m22 - matrix->m12 * matrix->m21 == 0) {
        numbers::failInput(option, "the matrix makes b1 and b2 parallel (its determinant is 0)");
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

void writeInterpretationJson(JsonWriter& json, const engine::Interpretation& i) {
    json.beginObject("interpretation");
    json.string("type", engine::typeName(i.type));
    if (i.integerMatrix) {
        writeMatrixJson(json, "matrix_integer", *i.integerMatrix);
    } else {
        json.null("matrix_integer");
    }
    if (i.pointOnLineColumn != 0) {
        json.integer("point_on_line_column", i.pointOnLineColumn);
    } else {
        json.null("point_on_line_column");
    }
    if (i.supercell) {
        json.beginObject("supercell");
        json.integer("b1_multiple", i.supercell->b1Multiple);
        json.integer("b2_multiple", i.supercell->b2Multiple);
        writeMatrixJson(json, "matrix", i.supercell->matrix);
        json.endObject();
    } else {
        json.null("supercell");
    }
    optionalString(json, "wood", i.wood);
    json.beginObject("nearest");
    json.integer("b1_multiple", i.b1Multiple);
    json.integer("b2_multiple", i.b2Multiple);
    writeMatrixJson(json, "matrix", i.nearestMatrix);
    optionalString(json, "wood", i.nearestWood);
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
    json.number("area_ratio", i.areaRatio);
    json.string("summary", i.summary());
    json.endObject();
}

void printInterpretation(const engine::Interpretation& i) {
    fmt::print("  Epitaxy: {}\n", i.summary());
    if (i.wood && i.type != engine::EpitaxyType::Commensurate) {
        fmt::print("  Wood notation: {}\n", *i.wood);
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
