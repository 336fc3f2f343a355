// lamivex.view_real_space and lamivex.view_leed: the overlayer points with their registry and
// the LEED spots as numpy structured arrays over the C++ scene, the pictures as files or SVG.

#include <cstddef>
#include <memory>

#include "api/figures.h"
#include "api/views.h"
#include "python/common.h"
#include "python/requests.h"
#include "views/domains.h"

namespace lamivex::python {

py::dict latticeInputs(const engine::MainFieldTexts& f, py::dict inputs);

namespace {

constexpr std::size_t kY = offsetof(views::Vec2, y);

py::list vector(views::Vec2 v) {
    py::list out;
    out.append(v.x);
    out.append(v.y);
    return out;
}

py::dict basis(const views::Basis2& b, const char* first, const char* second) {
    py::dict d;
    d[first] = vector(b.v1);
    d[second] = vector(b.v2);
    return d;
}

void subjectInto(py::dict& d, const views::ViewSubject& s, const engine::Matrix2& matrix) {
    d["angle"] = s.lattices.angle;
    d["b1_multiple"] = s.b1Multiple;
    d["b2_multiple"] = s.b2Multiple;
    d["matrix"] = matrixList(matrix);
}

py::array points(const std::shared_ptr<const api::RealSpaceView>& v) {
    using views::OverlayerSite;
    const py::dtype type = recordType(
        {"p", "q", "x", "y", "registry"}, {"<i4", "<i4", "<f8", "<f8", "<f8"},
        {offsetof(OverlayerSite, p), offsetof(OverlayerSite, q), offsetof(OverlayerSite, position),
         offsetof(OverlayerSite, position) + kY, offsetof(OverlayerSite, registry)},
        sizeof(OverlayerSite));
    return rowsView(type, sizeof(OverlayerSite), v->scene.overlayerSites.size(),
                    v->scene.overlayerSites.data(), py::cast(v));
}

py::array spots(const std::shared_ptr<const api::LeedView>& v) {
    using views::LeedSpot;
    const py::dtype type =
        recordType({"source", "domain", "h", "k", "substrate_h", "substrate_k", "kx", "ky"},
                   {"<i4", "<i4", "<i4", "<i4", "<i4", "<i4", "<f8", "<f8"},
                   {offsetof(LeedSpot, source), offsetof(LeedSpot, domain), offsetof(LeedSpot, h),
                    offsetof(LeedSpot, k), offsetof(LeedSpot, sh), offsetof(LeedSpot, sk),
                    offsetof(LeedSpot, g), offsetof(LeedSpot, g) + kY},
                   sizeof(LeedSpot));
    return rowsView(type, sizeof(LeedSpot), v->pattern.spots.size(), v->pattern.spots.data(),
                    py::cast(v));
}

py::dict realSpaceDict(const api::RealSpaceView& v) {
    py::dict d;
    subjectInto(d, v.subject, v.matrix);
    d["substrate"] = basis(v.scene.substrate, "a1", "a2");
    d["substrate_kind"] = views::kindName(views::pointGroupOf(v.scene.substrate).kind);
    d["spacing"] = v.scene.spacing;
    d["overlayer"] = basis(v.scene.overlayer, "b1", "b2");
    d["supercell"] = v.scene.hasSupercell ? py::object(basis(v.scene.supercell, "b1", "b2"))
                                          : py::object(py::none());
    d["cropped"] = v.scene.cropped;
    d["substrate_sites"] = v.scene.substrateSites.size();
    d["largest_registry"] = v.scene.largestRegistry;
    py::list rows;
    for (const views::OverlayerSite& s : v.scene.overlayerSites) {
        py::dict p;
        p["p"] = s.p;
        p["q"] = s.q;
        p["x"] = s.position.x;
        p["y"] = s.position.y;
        p["registry"] = s.registry;
        rows.append(p);
    }
    d["points"] = rows;
    return d;
}

py::dict leedDict(const api::LeedView& v) {
    py::dict d;
    subjectInto(d, v.subject, v.matrix);
    d["energy_ev"] = v.pattern.energyEv;
    d["k0"] = v.pattern.k0;
    d["substrate_kind"] = views::kindName(v.pattern.group.kind);
    d["orientations"] = v.orientations;
    py::list domains;
    for (const views::Domain& domain : v.pattern.domains) {
        py::dict one;
        one["rotation_deg"] = domain.rotationDegrees;
        one["mirrored"] = domain.mirrored;
        one["matrix"] = matrixList(domain.matrix);
        domains.append(one);
    }
    d["domains"] = domains;
    py::list rows;
    for (const views::LeedSpot& s : v.pattern.spots) {
        py::dict one;
        one["source"] = views::sourceName(s.source);
        one["domain"] = s.domain < 0 ? py::object(py::none()) : py::object(py::int_(s.domain));
        one["h"] = s.h;
        one["k"] = s.k;
        if (s.source == views::SpotSource::Multiple) {
            one["substrate_h"] = s.sh;
            one["substrate_k"] = s.sk;
        }
        one["kx"] = s.g.x;
        one["ky"] = s.g.y;
        rows.append(one);
    }
    d["spots"] = rows;
    return d;
}

// plot(), to_svg(), to_dict() and key access, shared by both views.
template <typename View, typename Class>
void pictureMethods(Class& c, const char* kind, py::dict (*toDict)(const View&)) {
    using Held = std::shared_ptr<const View>;
    c.def(
         "plot",
         [](const Held& v, const py::object& file, const py::object& size, const py::object& dpi) {
             const std::string target = *path(file, "path");
             const api::FigureRequest asked = figureRequest(size, dpi, py::none());
             translated("view", [&] {
                 api::writeView(v->picture, v->caption, target, asked, locations(), "out");
             });
         },
         py::arg("path"), py::arg("size") = py::none(), py::arg("dpi") = py::none(),
         "Writes the picture to path (.png, .svg or .pdf). size: pixels \"800x600\" or (800, "
         "600), or \"6x4.5in\", \"160x120mm\" (default 800 pixels wide in the picture's "
         "proportions); dpi: pixels per inch (default 96).")
        .def(
            "to_svg",
            [](const Held& v, const py::object& size) {
                const api::FigureRequest asked = figureRequest(size, py::none(), py::none());
                return svgOf([&](const std::string& file) {
                    translated("view", [&] {
                        api::writeView(v->picture, v->caption, file, asked, locations(), "out");
                    });
                });
            },
            py::arg("size") = py::none(), "The picture as SVG text.")
        .def("to_dict", toDict,
             (std::string("The picture's content as `lamivex-cli view ") + kind +
              " --json` prints it (without its inputs).")
                 .c_str())
        .def(
            "__getitem__",
            [toDict](const View& v, const std::string& key) -> py::object {
                py::dict d = toDict(v);
                if (!d.contains(key)) {
                    throw py::key_error(key);
                }
                return d[py::str(key)];
            },
            "The JSON's members by key.")
        .def_property_readonly(
            "angle", [](const View& v) { return v.subject.lattices.angle; },
            "The azimuth shown, degrees from a1 to b1.")
        .def_property_readonly(
            "matrix", [](const View& v) { return matrixList(v.matrix); },
            "The overlayer's matrix [[m11, m12], [m21, m22]] at that azimuth.")
        .def_property_readonly(
            "caption", [](const View& v) { return v.caption; }, "The picture's caption.");
}

}  // namespace

void bindViews(py::module_& m) {
    py::class_<api::RealSpaceView, std::shared_ptr<api::RealSpaceView>> realSpace(
        m, "RealSpaceView",
        "The overlayer points on the substrate at one azimuth, each with its registry (distance "
        "to the nearest substrate site in substrate spacings). Lengths in Angstroms.");
    pictureMethods<api::RealSpaceView>(realSpace, "real-space", &realSpaceDict);
    realSpace
        .def_property_readonly("points", &points,
                               "The overlayer points as a numpy structured array (a view, no "
                               "copy): p, q (cell indices), x, y (Angstroms), registry.")
        .def_property_readonly(
            "largest_registry", [](const api::RealSpaceView& v) { return v.scene.largestRegistry; },
            "The largest registry of the points shown.");

    py::class_<api::LeedView, std::shared_ptr<api::LeedView>> leed(
        m, "LeedView",
        "The LEED pattern at normal incidence with every domain the substrate's symmetry makes. "
        "Wave vectors in inverse Angstroms, energy in eV.");
    pictureMethods<api::LeedView>(leed, "leed", &leedDict);
    leed.def_property_readonly("spots", &spots,
                               "The spots as a numpy structured array (a view, no copy): source "
                               "(0 substrate, 1 overlayer, 2 double diffraction), domain (-1 for "
                               "the substrate's), h, k, substrate_h, substrate_k, kx, ky.")
        .def_property_readonly(
            "energy_ev", [](const api::LeedView& v) { return v.pattern.energyEv; },
            "Electron energy, eV.")
        .def_property_readonly(
            "k0", [](const api::LeedView& v) { return v.pattern.k0; },
            "Radius of the Ewald circle, inverse Angstroms.")
        .def_property_readonly(
            "domains", [](const api::LeedView& v) { return leedDict(v)["domains"]; },
            "Each domain: rotation_deg, mirrored, matrix.");

    m.def(
        "_view_real_space",
        [](const py::dict& arguments) {
            api::ViewRequest request;
            auto view = std::make_shared<api::RealSpaceView>();
            translated("view real-space", [&] {
                request = viewRequest(arguments);
                const py::gil_scoped_release released;
                *view = api::viewRealSpace(request, locations());
            });
            if (const auto out = path(argument(arguments, "out"), "out")) {
                const api::FigureRequest asked = figureRequest(
                    argument(arguments, "size"), argument(arguments, "dpi"), py::none());
                translated("view real-space", [&] {
                    api::writeView(view->picture, view->caption, *out, asked, locations(), "out");
                });
            }
            return view;
        },
        py::arg("arguments"));
    m.def(
        "_view_leed",
        [](const py::dict& arguments) {
            api::LeedRequest request;
            auto view = std::make_shared<api::LeedView>();
            translated("view leed", [&] {
                request = leedRequest(arguments);
                const py::gil_scoped_release released;
                *view = api::viewLeed(request, locations());
            });
            if (const auto out = path(argument(arguments, "out"), "out")) {
                const api::FigureRequest asked = figureRequest(
                    argument(arguments, "size"), argument(arguments, "dpi"), py::none());
                translated("view leed", [&] {
                    api::writeView(view->picture, view->caption, *out, asked, locations(), "out");
                });
            }
            return view;
        },
        py::arg("arguments"));
}

}  // namespace lamivex::python
