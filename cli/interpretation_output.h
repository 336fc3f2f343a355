#pragma once
// The meaning of a best orientation on the command line: the matrix option, the
// interpretation as JSON and as text, and the notes on the substrate symmetry.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/json_writer.h"
#include "engine/best_orientation.h"
#include "engine/capture.h"
#include "engine/interpretation.h"
#include "output/interpretation_json.h"

namespace lamivex::cli {

// "m11 m12 m21 m22", four numbers apart by blanks. Throws InputError naming option.
[[nodiscard]] engine::Matrix2 parseMatrix(std::string_view text, const std::string& option);

// The misfit limit of --coincidence-misfit, %: above 0, at most 100. Throws InputError.
[[nodiscard]] double parseCoincidenceMisfit(std::string_view text);
// Both options as the interpretation takes them.
[[nodiscard]] engine::InterpretOptions interpretOptions(std::string_view registryTolerance,
                                                        std::string_view coincidenceMisfit);

// The registry tolerance of --registry-tolerance: a number above 0. Throws InputError.
[[nodiscard]] double parseTolerance(std::string_view text);

using output::writeInterpretationJson;
using output::writeMatrixJson;

// Each note as a warning line on standard error.
void warnOnStderr(std::string_view command, const std::vector<std::string>& notes);

}  // namespace lamivex::cli
