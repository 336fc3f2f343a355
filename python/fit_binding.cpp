// lamivex.fit_leed and its result: measured spots (or a picture of the screen) in, the fitted
// overlayer cell with its uncertainties, each spot's indexing as a numpy structured array,
// the commensurate candidates, and the dictionary `lamivex-cli fit leed --json` prints.

#include <cmath>
#include <initializer_list>
#include <memory>
#include <utility>

#include <fmt/format.h>

#include "api/fit.h"
#include "numbers/input_error.h"
#include "python/common.h"
#include "python/requests.h"

namespace lamivex::python {
namespace {

using Result = std::shared_ptr<api::LeedFitResult>;

// JSON has no NaN or infinity: the command line writes null.
py::object number(double value) {
    return std::isfinite(value) ? py::object(py::float_(value)) : py::object(py::none());
}

py::list sequenceItems(const py::handle& value, const char* name, const char* expected) {
    if (py::isinstance<py::str>(value) ||
        (!py::isinstance<py::sequence>(value) && !py::hasattr(value, "__array__") &&
         !py::hasattr(value, "__iter__"))) {
        throw py::type_error(fmt::format("{} must be {}", name, expected));
    }
    return py::module_::import("builtins").attr("list")(value);
}

fit::SpotKind kindOf(const py::handle& value, std::size_t index) {
    const std::string name = text(value, "kind").value_or("");
    const std::optional<fit::SpotKind> kind = fit::kindFromName(name);
    if (!kind) {
        throw fit::FitError(fmt::format(
            "spot {}: kind '{}' is none of substrate, overlayer or empty", index + 1, name));
    }
    return *kind;
}

// Rows (x, y) or (x, y, kind), and the kinds apart when given.
std::vector<fit::Spot> spotsOf(const py::handle& rows, const py::handle& kinds) {
    constexpr const char* kRows = "a sequence or array of (x, y) or (x, y, kind) rows";
    std::vector<fit::Spot> spots;
    bool kindColumn = false;
    for (const py::handle row : sequenceItems(rows, "spots", kRows)) {
        const py::list cells = sequenceItems(row, "spots", kRows);
        if (cells.size() != 2 && cells.size() != 3) {
            throw py::type_error(
                fmt::format("spots must be {}, not rows of {} items", kRows, cells.size()));
        }
        spots.push_back({*real(cells[0], "x"), *real(cells[1], "y")});
        if (cells.size() == 3) {
            kindColumn = true;
            spots.back().kind = kindOf(cells[2], spots.size() - 1);
        }
    }
    if (kinds.is_none()) {
        return spots;
    }
    if (kindColumn) {
        throw py::type_error("give the spots' kinds as a third column or as kinds, not both");
    }
    const py::list names = sequenceItems(kinds, "kinds",
                                         "a sequence of \"substrate\", "
                                         "\"overlayer\" or \"\"");
    if (names.size() != spots.size()) {
        throw fit::FitError(
            fmt::format("{} kinds for {} spots: give one for each", names.size(), spots.size()));
    }
    for (std::size_t i = 0; i < spots.size(); ++i) {
        spots[i].kind = kindOf(names[i], i);
    }
    return spots;
}

std::optional<fit::ScreenPoint> centreOf(const py::handle& value) {
    if (value.is_none()) {
        return std::nullopt;
    }
    const py::list xy = sequenceItems(value, "centre", "(x, y)");
    if (xy.size() != 2) {
        throw py::type_error("centre must be (x, y)");
    }
    return fit::ScreenPoint{*real(xy[0], "centre"), *real(xy[1], "centre")};
}

api::LeedFitRequest fitRequest(const py::dict& k) {
    api::LeedFitRequest r;
    r.lattice = latticeRequest(k);
    if (const py::object rows = argument(k, "spots"); !rows.is_none()) {
        r.spots = spotsOf(rows, argument(k, "kinds"));
    } else if (!argument(k, "kinds").is_none()) {
        throw py::type_error("kinds go with spots, not with image");
    }
    if (const std::optional<std::string> image = path(argument(k, "image"), "image")) {
        r.image = *image;
    }
    r.threshold = real(argument(k, "threshold"), "threshold");
    r.options.centre = centreOf(argument(k, "centre"));
    r.options.energyEv = real(argument(k, "energy"), "energy");
    r.options.mirrors = flag(argument(k, "mirrors"), "mirrors").value_or(true);
    r.options.affine = flag(argument(k, "affine"), "affine").value_or(false);
    const std::string domains = text(argument(k, "domains"), "domains").value_or("all");
    if (domains != "all" && domains != "one") {
        numbers::failInput("domains", fmt::format("'{}' is neither all nor one", domains));
    }
    r.options.allDomains = domains == "all";
    return r;
}

// numpy.array of rows (tuples) with the named fields: a copy, its text columns as str.
py::array recordArray(const py::list& rows,
                      std::initializer_list<std::pair<const char*, const char*>> fields) {
    py::list type;
    for (const auto& [name, format] : fields) {
        type.append(py::make_tuple(name, format));
    }
    return py::module_::import("numpy").attr("array")(rows, py::dtype::from_args(type));
}

bool indexed(const fit::SpotResult& s) {
    return s.assignment != fit::Assignment::Unexplained;
}

py::array spotRows(const api::LeedFitResult& r) {
    py::list rows;
    for (std::size_t i = 0; i < r.spots.size(); ++i) {
        const fit::SpotResult& s = r.fit.spots[i];
        const double nan = std::nan("");
        rows.append(py::make_tuple(r.spots[i].x, r.spots[i].y, fit::kindName(r.spots[i].kind),
                                   fit::assignmentName(s.assignment), s.domain, s.h, s.k,
                                   indexed(s) ? s.residual : nan,
                                   indexed(s) ? s.residualScreen : nan));
    }
    return recordArray(rows, {{"x", "<f8"},
                              {"y", "<f8"},
                              {"kind", "<U9"},
                              {"assignment", "<U11"},
                              {"domain", "<i4"},
                              {"h", "<i4"},
                              {"k", "<i4"},
                              {"residual", "<f8"},
                              {"residual_pixels", "<f8"}});
}

py::array foundRows(const api::LeedFitResult& r) {
    py::list rows;
    if (r.image) {
        for (const fit::FoundSpot& s : r.image->search.spots) {
            rows.append(py::make_tuple(s.x, s.y, s.height));
        }
    }
    return recordArray(rows, {{"x", "<f8"}, {"y", "<f8"}, {"height", "<f8"}});
}

py::dict calibrationDict(const fit::LeedFit& f) {
    py::dict d;
    d["centre_x"] = number(f.centre.x);
    d["centre_y"] = number(f.centre.y);
    d["scale"] = number(f.calibration.scale());
    d["rotation"] = number(f.calibration.rotationDegrees());
    d["anisotropy"] = number(f.calibration.anisotropy());
    return d;
}

py::list domainList(const fit::LeedFit& f) {
    py::list out;
    for (const views::Domain& domain : f.domains) {
        py::dict d;
        d["rotation_deg"] = number(domain.rotationDegrees);
        d["mirrored"] = domain.mirrored;
        out.append(d);
    }
    return out;
}

py::list spotList(const api::LeedFitResult& r) {
    py::list out;
    for (std::size_t i = 0; i < r.spots.size(); ++i) {
        const fit::SpotResult& s = r.fit.spots[i];
        py::dict d;
        d["x"] = number(r.spots[i].x);
        d["y"] = number(r.spots[i].y);
        d["kind"] = fit::kindName(r.spots[i].kind);
        d["assignment"] = fit::assignmentName(s.assignment);
        d["domain"] = indexed(s) && s.domain >= 0 ? py::object(py::int_(s.domain)) : py::none();
        d["h"] = indexed(s) ? py::object(py::int_(s.h)) : py::none();
        d["k"] = indexed(s) ? py::object(py::int_(s.k)) : py::none();
        d["residual"] = indexed(s) ? number(s.residual) : py::none();
        d["residual_pixels"] = indexed(s) ? number(s.residualScreen) : py::none();
        out.append(d);
    }
    return out;
}

py::list missingList(const fit::LeedFit& f) {
    py::list out;
    for (const fit::MissingSpot& m : f.missing) {
        py::dict d;
        d["domain"] = m.domain;
        d["h"] = m.h;
        d["k"] = m.k;
        d["x"] = number(m.position.x);
        d["y"] = number(m.position.y);
        out.append(d);
    }
    return out;
}

// flat: the matrix as the command line's four numbers; else [[m11, m12], [m21, m22]].
py::list candidateList(const fit::LeedFit& f, bool flat) {
    py::list out;
    for (const fit::CommensurateCandidate& c : f.candidates) {
        const engine::IntMatrix2& m = c.matrix;
        py::dict d;
        const py::list nested = matrixList(m);
        d["matrix"] = flat ? py::object(nested[0] + nested[1]) : py::object(nested);
        d["name"] = c.name ? py::object(py::str(*c.name)) : py::none();
        d["distance_sigma"] = number(c.distance);
        out.append(d);
    }
    return out;
}

py::list alternativeList(const fit::LeedFit& f) {
    py::list out;
    for (const fit::AlternativeCell& a : f.alternatives) {
        py::dict d;
        d["b1"] = number(a.cell.b1);
        d["b2"] = number(a.cell.b2);
        d["beta"] = number(a.cell.beta);
        d["azimuth"] = number(a.cell.azimuth);
        d["domains"] = a.domains;
        d["explained"] = a.explained;
        d["missing"] = a.missing;
        d["area_ratio"] = number(a.areaRatio);
        out.append(d);
    }
    return out;
}

py::dict interpretation(const fit::LeedFit& f) {
    py::dict d;
    d["type"] = engine::typeName(f.interpretation.type());
    const std::optional<std::string> wood = f.interpretation.wood();
    d["wood"] = wood ? py::object(py::str(*wood)) : py::none();
    d["summary"] = f.interpretation.summary();
    return d;
}

py::object imageDict(const api::LeedFitResult& r) {
    if (!r.image) {
        return py::none();
    }
    py::dict d;
    d["width"] = r.image->picture.width;
    d["height"] = r.image->picture.height;
    d["spots_found"] = r.image->search.spots.size();
    d["threshold"] = number(r.image->search.threshold);
    d["noise"] = number(r.image->search.noise);
    return d;
}

// The keys and values of `lamivex-cli fit leed --json`, in its order.
py::dict fitDict(const api::LeedFitResult& r) {
    const fit::LeedFit& f = r.fit;
    py::dict d;
    d["b1"] = number(f.cell.b1);
    d["b1_sigma"] = number(f.sigma.b1);
    d["b2"] = number(f.cell.b2);
    d["b2_sigma"] = number(f.sigma.b2);
    d["beta"] = number(f.cell.beta);
    d["beta_sigma"] = number(f.sigma.beta);
    d["azimuth"] = number(f.cell.azimuth);
    d["azimuth_sigma"] = number(f.sigma.azimuth);
    d["rms_residual"] = number(f.rmsResidual);
    d["rms_residual_pixels"] = number(f.rmsResidualScreen);
    d["calibration"] = calibrationDict(f);
    d["domains"] = domainList(f);
    d["spots"] = spotList(r);
    d["missing"] = missingList(f);
    d["candidates"] = candidateList(f, true);
    d["alternatives"] = alternativeList(f);
    d["interpretation"] = interpretation(f);
    d["notes"] = py::cast(f.notes);
    if (r.image) {
        d["image"] = imageDict(r);
    }
    return d;
}

template <typename Get>
void cellProperty(py::class_<api::LeedFitResult, Result>& c, const char* name, Get get,
                  const char* doc) {
    c.def_property_readonly(
        name, [get](const api::LeedFitResult& r) { return get(r.fit); }, doc);
}

}  // namespace

void bindFit(py::module_& m) {
    py::class_<api::LeedFitResult, Result> c(
        m, "LeedFit",
        "A fitted LEED pattern: the overlayer's cell (Angstroms, degrees; the azimuth from the "
        "substrate's a1 to b1) with standard uncertainties scaled by the residual, each spot's "
        "indexing, and the whole-number matrices (b1 = m11 a1 + m12 a2, b2 = m21 a1 + m22 a2) "
        "within the uncertainties.");
    cellProperty(
        c, "b1", [](const fit::LeedFit& f) { return f.cell.b1; }, "b1, Angstroms.");
    cellProperty(
        c, "b2", [](const fit::LeedFit& f) { return f.cell.b2; }, "b2, Angstroms.");
    cellProperty(
        c, "beta", [](const fit::LeedFit& f) { return f.cell.beta; },
        "The angle from b1 to b2, degrees.");
    cellProperty(
        c, "azimuth", [](const fit::LeedFit& f) { return f.cell.azimuth; },
        "The angle from the substrate's a1 to b1 of the first domain, degrees.");
    cellProperty(
        c, "b1_sigma", [](const fit::LeedFit& f) { return f.sigma.b1; },
        "Standard uncertainty of b1, Angstroms.");
    cellProperty(
        c, "b2_sigma", [](const fit::LeedFit& f) { return f.sigma.b2; },
        "Standard uncertainty of b2, Angstroms.");
    cellProperty(
        c, "beta_sigma", [](const fit::LeedFit& f) { return f.sigma.beta; },
        "Standard uncertainty of beta, degrees.");
    cellProperty(
        c, "azimuth_sigma", [](const fit::LeedFit& f) { return f.sigma.azimuth; },
        "Standard uncertainty of the azimuth, degrees.");
    cellProperty(
        c, "rms_residual", [](const fit::LeedFit& f) { return f.rmsResidual; },
        "RMS distance of the indexed spots from their fitted places, 1/Angstrom.");
    cellProperty(
        c, "rms_residual_pixels", [](const fit::LeedFit& f) { return f.rmsResidualScreen; },
        "The same in the spots' unit (pixels).");
    cellProperty(c, "calibration", &calibrationDict,
                 "centre_x, centre_y (the (0,0) spot, the spots' unit), scale (the spots' unit "
                 "per 1/Angstrom), rotation (degrees), anisotropy (0: no distortion).");
    cellProperty(c, "domains", &domainList,
                 "The fitted domains: rotation_deg (degrees) and mirrored.");
    cellProperty(c, "missing", &missingList,
                 "Spots of the fitted pattern where none was measured: domain, h, k, x, y.");
    cellProperty(
        c, "candidates", [](const fit::LeedFit& f) { return candidateList(f, false); },
        "Whole-number matrices within the uncertainties, nearest first: matrix "
        "[[m11, m12], [m21, m22]], name (Wood's notation or None), distance_sigma "
        "(standard uncertainties away).");
    cellProperty(c, "alternatives", &alternativeList,
                 "Other cells judged: b1, b2, beta, azimuth, domains, explained, missing, "
                 "area_ratio (above 1 a super-cell, below 1 a sub-cell, 0 unrelated).");
    cellProperty(c, "interpretation", &interpretation,
                 "What the fitted cell is: type, wood, summary.");
    cellProperty(
        c, "summary", [](const fit::LeedFit& f) { return f.interpretation.summary(); },
        "The interpretation in one line.");
    cellProperty(
        c, "notes", [](const fit::LeedFit& f) { return f.notes; },
        "Sentences about the fit: a super- or sub-cell that explains the spots as "
        "well, the substrate taken from unmarked spots, ...");
    c.def_property_readonly(
         "spots", [](const api::LeedFitResult& r) { return spotRows(r); },
         "Each spot as fitted, in the order given (or found), as a numpy structured array: x, "
         "y, kind, assignment (substrate, overlayer or unexplained), domain (-1 for the "
         "substrate and unexplained spots), h, k (0 when unexplained), residual (1/Angstrom) and "
         "residual_pixels (NaN when unexplained).")
        .def_property_readonly(
            "image", &imageDict,
            "For a picture: width, height (pixels), spots_found, threshold and noise (grey "
            "levels); None for spots given.")
        .def_property_readonly(
            "found_spots", [](const api::LeedFitResult& r) { return foundRows(r); },
            "For a picture: the spots found, brightest first, as a numpy structured array x, y "
            "(pixels, y downwards), height (grey levels above the background); empty otherwise.")
        .def_property_readonly(
            "threshold",
            [](const api::LeedFitResult& r) {
                return r.image ? number(r.image->search.threshold) : py::none();
            },
            "For a picture: the least height of a spot above the background, grey levels.")
        .def_property_readonly(
            "noise",
            [](const api::LeedFitResult& r) {
                return r.image ? number(r.image->search.noise) : py::none();
            },
            "For a picture: the background's noise (standard deviation), grey levels.")
        .def("to_dict", &fitDict, "The result as `lamivex-cli fit leed --json` prints it.")
        .def(
            "to_dataframe", [](const api::LeedFitResult& r) { return dataFrame(spotRows(r)); },
            "The spots as a pandas DataFrame (needs pandas).")
        .def("__repr__", [](const api::LeedFitResult& r) {
            return fmt::format(
                "<lamivex.LeedFit: b1 = {:.4f} Å, b2 = {:.4f} Å, beta = {:.2f}°, azimuth = "
                "{:.2f}°, {} spots>",
                r.fit.cell.b1, r.fit.cell.b2, r.fit.cell.beta, r.fit.cell.azimuth, r.spots.size());
        });

    m.def(
        "_fit_leed",
        [](const py::dict& arguments) {
            api::LeedFitRequest request;
            translated("fit leed", [&] {
                try {
                    request = fitRequest(arguments);
                } catch (const fit::FitError& e) {
                    numbers::failInput("", e.what());
                }
            });
            auto result = std::make_shared<api::LeedFitResult>();
            runReleased("fit leed", py::none(), [&](const api::Progress&, const api::Abort&) {
                try {
                    *result = api::fitLeed(request, locations());
                } catch (const fit::FitError& e) {
                    numbers::failInput("", e.what());  // the command line's line, no option
                }
            });
            return result;
        },
        py::arg("arguments"));
}

}  // namespace lamivex::python
