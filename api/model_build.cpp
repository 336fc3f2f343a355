#include "api/model_build.h"

#include <stdexcept>

#include <fmt/format.h>

#include "crystal/index_parse.h"
#include "model/coincidence.h"
#include "model/crystal_atoms.h"
#include "model/overlayer_layer.h"
#include "model/plane_layers.h"
#include "numbers/input_error.h"

namespace lamivex::api {
namespace {

model::PlaneLayers planeOf(const std::string& path, const std::string& hklText,
                           const std::string& fileOption, const std::string& hklOption) {
    const crystal::IndexReading<crystal::MillerPlane> reading =
        crystal::readWholeMillerPlane(hklText);
    if (!reading.indices) {
        numbers::failInput(hklOption, reading.problem);
    }
    const crystal::MillerPlane& plane = *reading.indices;
    try {
        return model::planeLayers(model::readCrystalAtoms(path), {plane.h, plane.k, plane.l});
    } catch (const std::invalid_argument& error) {
        numbers::failInput(fileOption, error.what());
    }
}

void checkSettings(const model::BuildSettings& s) {
    if (s.layers < 1 || s.layers > 1000) {
        numbers::failInput("layers", "give 1 to 1000 atomic layers");
    }
    if (!(s.vacuum >= 0 && s.vacuum <= 1e4)) {
        numbers::failInput("vacuum", "give 0 to 10000 Angstroms of vacuum");
    }
    if (s.height && !(*s.height > 0 && *s.height < 1e3)) {
        numbers::failInput("height", "give a height above 0 and below 1000 Angstroms");
    }
    if (s.fixLayers < 0 || s.fixLayers > s.layers) {
        numbers::failInput("fix-layers", fmt::format("give 0 to the slab's {} layers", s.layers));
    }
    if (!(s.maxStrainPercent > 0)) {
        numbers::failInput("max-strain", "give a strain above 0 %");
    }
    if (s.maxAtoms < 1) {
        numbers::failInput("max-atoms", "give a number of atoms above 0");
    }
}

std::string matrixText(const engine::Matrix2& m) {
    return fmt::format("{:g} {:g} {:g} {:g}", m.m11, m.m12, m.m21, m.m22);
}

}  // namespace

ModelResult buildModel(const ModelRequest& request, const Progress& progress, const Abort& abort,
                       const Locations& locations) {
    const LatticeRequest& lattice = request.scan.lattice;
    if (lattice.substrateCif.empty()) {
        numbers::failInput("substrate-cif", "a structure model needs the substrate's crystal file");
    }
    const bool fromXyz = !request.overlayerXyz.empty();
    if (fromXyz == !lattice.overlayerCif.empty()) {
        numbers::failInput("overlayer-xyz",
                           "give the overlayer either as a crystal file with its plane or as an "
                           "XYZ layer file, one of the two");
    }
    checkSettings(request.settings);

    ModelResult result;
    const model::PlaneLayers substrate =
        planeOf(lattice.substrateCif, lattice.substrateHkl.empty() ? "1 1 1" : lattice.substrateHkl,
                "substrate-cif", "substrate-hkl");
    model::OverlayerLayer overlayer;
    if (fromXyz) {
        try {
            overlayer = model::readOverlayerXyzFile(request.overlayerXyz);
        } catch (const std::invalid_argument& error) {
            numbers::failInput("overlayer-xyz", error.what());
        }
    } else {
        overlayer = model::overlayerFromPlane(planeOf(
            lattice.overlayerCif, lattice.overlayerHkl.empty() ? "0 0 1" : lattice.overlayerHkl,
            "overlayer-cif", "overlayer-hkl"));
    }
    std::vector<std::string>& inputs = result.provenance.inputs;
    inputs.push_back(fmt::format("substrate: {} ({})", lattice.substrateCif,
                                 lattice.substrateHkl.empty() ? "1 1 1" : lattice.substrateHkl));
    inputs.push_back(
        fromXyz ? fmt::format("overlayer: {}", request.overlayerXyz)
                : fmt::format("overlayer: {} ({})", lattice.overlayerCif,
                              lattice.overlayerHkl.empty() ? "0 0 1" : lattice.overlayerHkl));

    model::Coincidence coincidence;
    if (request.matrix) {
        const crystal::SurfaceMesh& mesh = substrate.mesh;
        try {
            coincidence =
                model::coincidenceOfMatrix(*request.matrix, request.b1Multiple, request.b2Multiple,
                                           {mesh.a1, mesh.a2, mesh.alpha});
        } catch (const std::invalid_argument& error) {
            numbers::failInput("matrix", error.what());
        }
        inputs.push_back(fmt::format("solution: the matrix {} under the supercell {} {}",
                                     matrixText(*request.matrix), request.b1Multiple,
                                     request.b2Multiple));
    } else {
        ScanRequest scanRequest = request.scan;
        if (fromXyz) {  // the scan takes the layer's cell as the overlayer
            scanRequest.lattice.b1 = overlayer.b1;
            scanRequest.lattice.b2 = overlayer.b2;
            scanRequest.lattice.beta = overlayer.beta;
            scanRequest.lattice.overlayerName = overlayer.name;
            scanRequest.lattice.overlayerHkl.clear();  // a default plane of no crystal file
        }
        result.scan = scan(scanRequest, progress, abort, locations);
        const ScanResult& s = *result.scan;
        coincidence = model::coincidenceOf(s.interpretation, s.bestAngle);
        const engine::BestOrientation& best = s.best;
        inputs.push_back(fmt::format(
            "solution: the best of a scan, azimuth {:g} deg, V/Vo {:.6g}, matrix {:.6g} {:.6g} "
            "{:.6g} {:.6g}, multiples {} {}; {}",
            s.bestAngle, best.BestVVo, best.BestPx, best.BestQy, best.BestQx, best.BestPy,
            best.BestB1Multiple, best.BestB2Multiple, s.interpretation.summary()));
        const engine::MainFieldTexts& f = s.fields;
        inputs.push_back(fmt::format(
            "scan: domain {} x {}, azimuth {} to {} by {}, max multiple {}, registry tolerance "
            "{:g}",
            f.b1size, f.b2size, f.Lowerangle, f.Upperangle, f.AngleSpacing,
            f.chkgeo ? f.txtUplim : "1", s.registryTolerance));
    }
    const model::BuildSettings& b = request.settings;
    inputs.push_back(fmt::format(
        "build: layers {}, vacuum {:g}, height {}, termination {}, fix layers {}, max strain "
        "{:g} %, max atoms {}",
        b.layers, b.vacuum, b.height ? fmt::format("{:g}", *b.height) : std::string("default"),
        b.termination, b.fixLayers, b.maxStrainPercent, b.maxAtoms));
    result.model = model::buildModel(substrate, overlayer, coincidence, request.settings);
    result.provenance.version = request.programVersion;
    return result;
}

}  // namespace lamivex::api
