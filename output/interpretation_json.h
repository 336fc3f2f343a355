#pragma once
// The interpretation of a best orientation, and a matrix, as the JSON the command line prints
// and the Python module returns as dicts.

#include <string_view>
#include <type_traits>

#include "engine/interpretation.h"
#include "output/json_writer.h"

namespace lamivex::output {

// A matrix as [[m11, m12], [m21, m22]].
template <typename Matrix>
void writeMatrixJson(JsonWriter& json, std::string_view key, const Matrix& m) {
    const auto put = [&json](auto value) {
        if constexpr (std::is_integral_v<decltype(value)>) {
            json.integer({}, value);
        } else {
            json.number({}, value);
        }
    };
    json.beginArray(key);
    json.beginArray();
    put(m.m11);
    put(m.m12);
    json.endArray();
    json.beginArray();
    put(m.m21);
    put(m.m22);
    json.endArray();
    json.endArray();
}

// "interpretation": {"type" (none, commensurate, point-on-line, coincident, incommensurate),
// "matrix_integer", "point_on_line_column", "point_on_line_rows", "supercell", "wood",
// "wood_rotation", "other_domains", "equivalent_orientation",
// "nearest", "misfit_percent", "area_ratio", "summary"}.
void writeInterpretationJson(JsonWriter& json, const engine::Interpretation& interpretation);

}  // namespace lamivex::output
