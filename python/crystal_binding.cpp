// lamivex.crystal (plane spacing, interplanar angle, angle between directions and cell volume),
// lamivex.surface_mesh (the mesh of a plane of a crystal in a CIF file) and lamivex.Lattice2D.

#include <limits>

#include <fmt/format.h>
#include "api/crystal.h"
#include "crystal/crystal_cell.h"
#include "lattice/lattice2d.h"
#include "numbers/number_text.h"

#include "python/common.h"
#include "python/requests.h"

namespace lamivex::python {
namespace {

// The cell values as typed texts, in the window's order a, b, c, alpha, beta, gamma.
api::CrystalRequest crystalRequest(const py::dict& k) {
    api::CrystalRequest r;
    r.system = text(argument(k, "system"), "system").value_or("Cubic");
    const char* names[] = {"a", "b", "c", "alpha", "beta", "gamma"};
    for (std::size_t i = 0; i < 6; ++i) {
        if (const std::optional<double> v = real(argument(k, names[i]), names[i])) {
            r.cell[i] = api::numberText(*v);
        }
    }
    r.plane = indices(argument(k, "plane"), "plane");
    r.plane1 = indices(argument(k, "plane1"), "plane1");
    r.plane2 = indices(argument(k, "plane2"), "plane2");
    r.dir1 = indices(argument(k, "dir1"), "dir1");
    r.dir2 = indices(argument(k, "dir2"), "dir2");
    r.volume = flag(argument(k, "volume"), "volume").value_or(false);
    return r;
}

py::list indexList(const crystal::MillerPlane& p) {
    py::list l;
    l.append(p.h);
    l.append(p.k);
    l.append(p.l);
    return l;
}

py::list indexList(const crystal::Direction& d) {
    py::list l;
    l.append(d.u);
    l.append(d.v);
    l.append(d.w);
    return l;
}

py::object textOrNone(const std::optional<std::string>& s) {
    return s ? py::object(py::str(*s)) : py::object(py::none());
}

py::dict crystalDict(const api::CrystalOutcome& o, const api::CrystalRequest& r) {
    py::dict d;
    d["system"] = std::string(crystal::systemName(o.system));
    py::dict cell;
    for (const crystal::CellField field : crystal::kCellFields) {
        cell[py::str(std::string(crystal::fieldShortName(field)))] =
            crystal::readFieldValue(o.fields[field]);
    }
    d["cell"] = cell;
    if (o.plane) {
        d["plane"] = indexList(*o.plane);
    }
    if (o.plane1) {
        d["plane1"] = indexList(*o.plane1);
        d["plane2"] = indexList(*o.plane2);
    }
    if (o.dir1) {
        d["dir1"] = indexList(*o.dir1);
        d["dir2"] = indexList(*o.dir2);
    }
    for (const api::CrystalAnswer& answer : o.answers) {
        d[py::str(std::string(answer.key))] =
            answer.result.defined() && std::isfinite(*answer.result.value)
                ? py::object(py::float_(*answer.result.value))
                : py::object(py::none());
    }
    d["notes"] = py::cast(o.notes);
    py::dict inputs;
    inputs["system"] = r.system;
    py::dict given;
    for (const crystal::CellField field : crystal::kCellFields) {
        given[py::str(std::string(crystal::fieldShortName(field)))] =
            textOrNone(r.cell[static_cast<std::size_t>(field)]);
    }
    inputs["cell"] = given;
    inputs["plane"] = textOrNone(r.plane);
    inputs["plane1"] = textOrNone(r.plane1);
    inputs["plane2"] = textOrNone(r.plane2);
    inputs["dir1"] = textOrNone(r.dir1);
    inputs["dir2"] = textOrNone(r.dir2);
    inputs["volume"] = r.volume;
    d["lamivex_version"] = py::module_::import("lamivex._lamivex").attr("__version__");
    d["inputs"] = inputs;
    return d;
}

py::list triple(const crystal::Vector3& v) {
    py::list l;
    for (const double x : v) {
        l.append(x);
    }
    return l;
}

py::dict meshDict(const api::MeshFromFile& f, const std::string& file, const std::string& hkl) {
    const crystal::SurfaceMesh& mesh = f.mesh;
    py::dict d;
    d["name"] = f.name;
    d["space_group"] = f.bulk.spaceGroup;
    d["hkl"] = py::cast(std::vector<int>(mesh.hkl.begin(), mesh.hkl.end()));
    d["mesh_type"] = crystal::meshTypeName(mesh.type);
    d["hexagonal"] = mesh.hexagonal;
    d["a1"] = mesh.a1;
    d["a2"] = mesh.a2;
    d["alpha"] = mesh.alpha;
    d["v1"] = triple(mesh.v1);
    d["v2"] = triple(mesh.v2);
    d["v1_uvw"] = triple(mesh.v1Fractional);
    d["v2_uvw"] = triple(mesh.v2Fractional);
    d["spacing"] = mesh.spacing;
    if (mesh.conventional) {
        py::dict c;
        c["a"] = (*mesh.conventional)[0];
        c["b"] = (*mesh.conventional)[1];
        c["alpha"] = 90.0;
        d["conventional"] = c;
    } else {
        d["conventional"] = py::none();
    }
    py::dict cell;
    cell["a"] = f.bulk.a;
    cell["b"] = f.bulk.b;
    cell["c"] = f.bulk.c;
    cell["alpha"] = f.bulk.alpha;
    cell["beta"] = f.bulk.beta;
    cell["gamma"] = f.bulk.gamma;
    d["cell"] = cell;
    d["lamivex_version"] = py::module_::import("lamivex._lamivex").attr("__version__");
    py::dict inputs;
    inputs["file"] = file;
    inputs["hkl"] = hkl;
    d["inputs"] = inputs;
    return d;
}

}  // namespace

void bindLattice(py::module_& m) {
    py::class_<lattice::Lattice2D>(
        m, "Lattice2D",
        "A 2D lattice: length1 along x, length2 at +angle (Angstroms, degrees), with its "
        "Bravais type found at tolerance (relative).")
        .def(py::init([](const py::object& length1, const py::object& length2,
                         const py::object& angle, const py::object& tolerance) {
                 const double a = *real(length1, "length1");
                 const double b = *real(length2, "length2");
                 const double gamma = *real(angle, "angle");
                 const double t = realOr(tolerance, "tolerance", lattice::kDefaultTolerance);
                 std::optional<lattice::Lattice2D> made;
                 translated("lattice", [&] { made.emplace(a, b, gamma, t); });
                 return *made;
             }),
             py::arg("length1"), py::arg("length2"), py::arg("angle"),
             py::arg("tolerance") = lattice::kDefaultTolerance)
        .def_property_readonly("length1", &lattice::Lattice2D::length1, "Angstroms.")
        .def_property_readonly("length2", &lattice::Lattice2D::length2, "Angstroms.")
        .def_property_readonly("angle", &lattice::Lattice2D::angle,
                               "Degrees from the first vector to the second.")
        .def_property_readonly("tolerance", &lattice::Lattice2D::tolerance)
        .def_property_readonly("area", &lattice::Lattice2D::area, "Square Angstroms.")
        .def_property_readonly(
            "type",
            [](const lattice::Lattice2D& l) { return std::string(lattice::bravaisName(l.type())); },
            "The Bravais type: oblique, rectangular, centred rectangular, square or hexagonal.")
        .def("__repr__", [](const lattice::Lattice2D& l) {
            return fmt::format("lamivex.Lattice2D({}, {}, {})", api::numberText(l.length1()),
                               api::numberText(l.length2()), api::numberText(l.angle()));
        });
}

void bindCrystal(py::module_& m) {
    m.def(
        "_crystal",
        [](const py::dict& arguments) {
            api::CrystalRequest request;
            py::dict out;
            translated("crystal", [&] {
                request = crystalRequest(arguments);
                out = crystalDict(api::computeCrystal(request), request);
            });
            return out;
        },
        py::arg("arguments"));
    m.def(
        "_plane_spacing",
        [](const py::dict& arguments) {
            double spacing = std::numeric_limits<double>::quiet_NaN();
            translated("crystal", [&] {
                const crystal::CrystalResult d = api::planeSpacing(crystalRequest(arguments));
                if (d.defined()) {
                    spacing = *d.value;
                }
            });
            return spacing;
        },
        py::arg("arguments"));
    m.def(
        "_surface_mesh",
        [](const py::object& file, const py::object& hkl) {
            const std::string name = *path(file, "path");
            const std::string plane = indices(hkl, "hkl").value_or("1 1 1");
            py::dict out;
            translated("surface",
                       [&] { out = meshDict(api::surfaceMesh(name, plane), name, plane); });
            return out;
        },
        py::arg("path"), py::arg("hkl"));
}

}  // namespace lamivex::python
