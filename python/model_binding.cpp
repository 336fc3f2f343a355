// lamivex._build_model: a structure model of an epitaxy solution (api/model_build.h) as plain
// Python values, which lamivex.structure_model turns into an ase.Atoms.

#include <sstream>
#include <string>
#include <utility>

#include "api/model_build.h"
#include "model/model_writers.h"
#include "python/common.h"
#include "python/requests.h"

namespace lamivex::python {
namespace {

api::ModelRequest modelRequest(const py::dict& k) {
    // "matrix" is the coincidence's here, not the scan's overlayer matrix.
    py::dict scanArguments = k.attr("copy")();
    if (scanArguments.contains("matrix")) {
        PyDict_DelItemString(scanArguments.ptr(), "matrix");
    }
    api::ModelRequest r;
    r.scan = scanRequest(scanArguments);
    r.scan.lattice.substrateCif = path(argument(k, "substrate_cif"), "substrate_cif").value_or("");
    r.scan.lattice.substrateHkl =
        indices(argument(k, "substrate_hkl"), "substrate_hkl").value_or("1 1 1");
    r.scan.lattice.overlayerCif = path(argument(k, "overlayer_cif"), "overlayer_cif").value_or("");
    r.scan.lattice.overlayerHkl =
        r.scan.lattice.overlayerCif.empty()
            ? std::string()
            : indices(argument(k, "overlayer_hkl"), "overlayer_hkl").value_or("0 0 1");
    r.overlayerXyz = path(argument(k, "overlayer_xyz"), "overlayer_xyz").value_or("");
    r.matrix = matrix(argument(k, "matrix"), "matrix");
    const py::object supercell = argument(k, "supercell");
    if (!supercell.is_none()) {
        const auto pair = supercell.cast<std::pair<int, int>>();
        r.b1Multiple = pair.first;
        r.b2Multiple = pair.second;
    }
    model::BuildSettings& s = r.settings;
    s.layers = whole(argument(k, "layers"), "layers").value_or(s.layers);
    s.vacuum = realOr(argument(k, "vacuum"), "vacuum", s.vacuum);
    s.height = real(argument(k, "height"), "height");
    s.termination = whole(argument(k, "termination"), "termination").value_or(s.termination);
    s.fixLayers = whole(argument(k, "fix_layers"), "fix_layers").value_or(s.fixLayers);
    s.maxStrainPercent = realOr(argument(k, "max_strain"), "max_strain", s.maxStrainPercent);
    s.maxAtoms = whole(argument(k, "max_atoms"), "max_atoms").value_or(s.maxAtoms);
    r.programVersion = LAMIVEX_VERSION;
    return r;
}

py::list pairOf(double x, double y) {
    py::list l;
    l.append(x);
    l.append(y);
    return l;
}

py::dict modelDict(const api::ModelResult& result) {
    const model::StructureModel& m = result.model;
    py::dict d;
    py::list cell;
    for (const model::Vec3& v : m.cell) {
        py::list row;
        for (const double x : v) {
            row.append(x);
        }
        cell.append(row);
    }
    d["cell"] = cell;
    py::array_t<double> positions({static_cast<py::ssize_t>(m.atoms.size()), py::ssize_t{3}});
    auto p = positions.mutable_unchecked<2>();
    py::list symbols;
    py::list fixed;
    py::list substrate;
    for (std::size_t i = 0; i < m.atoms.size(); ++i) {
        const model::ModelAtom& atom = m.atoms[i];
        for (py::ssize_t x = 0; x < 3; ++x) {
            p(static_cast<py::ssize_t>(i), x) = atom.position[static_cast<std::size_t>(x)];
        }
        symbols.append(atom.element);
        fixed.append(atom.fixed);
        substrate.append(atom.substrate);
    }
    d["positions"] = positions;
    d["symbols"] = symbols;
    d["fixed"] = fixed;
    d["substrate"] = substrate;
    const auto& matrix = m.coincidence.substrateMatrix;
    d["substrate_matrix"] = py::make_tuple(matrix[0], matrix[1], matrix[2], matrix[3]);
    d["multiples"] = py::make_tuple(m.coincidence.b1Multiple, m.coincidence.b2Multiple);
    d["azimuth"] = m.coincidence.azimuth;
    py::dict strain;
    py::list tensor;
    tensor.append(pairOf(m.strain.tensor[0][0], m.strain.tensor[0][1]));
    tensor.append(pairOf(m.strain.tensor[1][0], m.strain.tensor[1][1]));
    strain["tensor"] = tensor;
    strain["principal_percent"] =
        pairOf(m.strain.principalPercent[0], m.strain.principalPercent[1]);
    strain["area_percent"] = m.strain.areaPercent;
    strain["vector_percent"] = pairOf(m.strain.vectorPercent[0], m.strain.vectorPercent[1]);
    strain["rotation"] = m.strain.rotation;
    d["strain"] = strain;
    d["height"] = m.height;
    d["height_source"] = m.heightSource;
    d["termination"] = m.settings.termination;
    d["terminations"] = m.terminations;
    d["merged"] = m.merged;
    py::list close;
    for (const model::ClosePair& pair : m.closePairs) {
        close.append(py::make_tuple(pair.first, pair.second, pair.distance, pair.usual));
    }
    d["close_pairs"] = close;
    d["description"] = m.description();
    d["inputs"] = result.provenance.inputs;
    d["lamivex_version"] = result.provenance.version;
    d["interpretation"] =
        result.scan ? py::object(interpretationDict(result.scan->interpretation)) : py::none();
    // The three files' text, so that Python writes the same files the command line does.
    for (const auto& [key, format] :
         {std::pair<const char*, model::ModelFormat>{"cif", model::ModelFormat::Cif},
          {"poscar", model::ModelFormat::Poscar},
          {"xyz", model::ModelFormat::ExtendedXyz}}) {
        std::ostringstream out;
        model::writeModel(out, format, m, result.provenance);
        d[key] = out.str();
    }
    return d;
}

}  // namespace

void bindModel(py::module_& m) {
    m.def(
        "_build_model",
        [](const py::dict& arguments, const py::object& progress) {
            const api::ModelRequest request = modelRequest(arguments);
            api::ModelResult result;
            runReleased("build", progress, [&](const api::Progress& p, const api::Abort& a) {
                result = api::buildModel(request, p, a, locations());
            });
            return modelDict(result);
        },
        py::arg("arguments"), py::arg("progress") = py::none(),
        "The structure model of lamivex.build_model as plain values.");
}

}  // namespace lamivex::python
