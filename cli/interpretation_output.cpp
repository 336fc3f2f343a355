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

void warnOnStderr(std::string_view command, const std::vector<std::string>& notes) {
    // After the result it qualifies, also where both streams go to one file.
    std::fflush(stdout);
    std::cout.flush();
    for (const std::string& note : notes) {
        printRefusal(fmt::format("lamivex-cli {}: warning: {}", command, note));
    }
}

}  // namespace lamivex::cli
