#include "cli/run_checks.h"

#include "cli/interpretation_output.h"
#include "cli/plot_output.h"

namespace lamivex::cli {

CheckedRun checkBeforeRun(std::span<const OutputFile> outputs, bool json,
                          const std::optional<std::string>& plotPath, const FigureOptions& figure,
                          const std::string& registryTolerance,
                          const std::string& coincidenceMisfit) {
    checkOutputFiles(outputs, json);
    CheckedRun checked;
    if (plotPath) {
        checkPlotPath("plot", *plotPath);
        checked.figure = figureFrom(figure, kDefaultFigureSize, kDefaultFigureDpi);
    }
    checked.meaning = interpretOptions(registryTolerance, coincidenceMisfit);
    return checked;
}

}  // namespace lamivex::cli
