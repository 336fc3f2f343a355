#pragma once
// A structure model of an epitaxy solution as typed values: the request that the command
// line's build options and Python's build_model describe, and the model with the scan it
// came from. The substrate is a crystal file's plane; the overlayer a crystal file's plane or
// an XYZ layer file (model/overlayer_layer.h). The solution is the best of a scan, or a
// coincidence typed as the supercell's whole-number matrix with its multiples.

#include <optional>
#include <string>

#include "api/locations.h"
#include "api/run_control.h"
#include "api/scan.h"
#include "model/model_writers.h"
#include "model/structure_model.h"

namespace lamivex::api {

struct ModelRequest {
    // The substrate (lattice.substrateCif, lattice.substrateHkl), the overlayer's crystal file
    // (lattice.overlayerCif, lattice.overlayerHkl), and the scan to run without a matrix.
    ScanRequest scan;
    std::string overlayerXyz;  // an XYZ layer file instead of the overlayer's crystal file
    // The supercell (b1Multiple·b1, b2Multiple·b2) on the substrate: m11 m12 m21 m22, whole
    // numbers (A1 = m11 a1 + m12 a2). Set, no scan is run.
    std::optional<engine::Matrix2> matrix;
    int b1Multiple = 1;
    int b2Multiple = 1;
    model::BuildSettings settings;
    std::string programVersion;  // written into the files' comments
};

struct ModelResult {
    model::StructureModel model;
    std::optional<ScanResult> scan;  // the scan whose best solution was built, if one ran
    model::Provenance provenance;    // the inputs and version for the files' comments
};

// Throws numbers::InputError naming the option for a file or value it cannot use, and
// std::invalid_argument for a solution without a periodic cell or a model beyond the limits.
[[nodiscard]] ModelResult buildModel(const ModelRequest& request, const Progress& progress = {},
                                     const Abort& abort = {}, const Locations& locations = {});

}  // namespace lamivex::api
