#pragma once
// The painter module lib/lamivex/lamivex-plot.so, which links Qt: opened only when a figure
// is written or a picture read, so that a run that does neither loads no Qt.

#include <string>

#include "api/locations.h"
#include "cli/plot_module.h"  // the module's interface, shared with the command line

namespace lamivex::api {

// Throws FileError naming option when the module cannot be loaded or is of another build.
[[nodiscard]] const cli::PlotModule& painterModule(const Locations& locations,
                                                   const std::string& option);

}  // namespace lamivex::api
