#pragma once
// What scan and iterate check before they run, so that a refused option writes nothing: the
// output files, the figure's size and the interpretation's tolerances.

#include <optional>
#include <span>
#include <string>

#include "cli/figure_options.h"
#include "cli/output_files.h"
#include "engine/interpretation.h"

namespace lamivex::cli {

struct CheckedRun {
    std::optional<Figure> figure;  // set when plotPath is
    engine::InterpretOptions meaning;
};

// Throws InputError naming the option, or FileError, for the first refusal.
[[nodiscard]] CheckedRun checkBeforeRun(std::span<const OutputFile> outputs, bool json,
                                        const std::optional<std::string>& plotPath,
                                        const FigureOptions& figure,
                                        const std::string& registryTolerance,
                                        const std::string& coincidenceMisfit);

}  // namespace lamivex::cli
