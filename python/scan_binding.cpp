// lamivex.scan and its result: the best orientation, the interpretation, the per-step table as
// a numpy structured array over the C++ rows, the figure and the JSON's dictionary.

#include <cstddef>
#include <memory>

#include <fmt/format.h>
#include "api/figures.h"
#include "api/scan.h"
#include "numbers/number_text.h"

#include "python/common.h"
#include "python/requests.h"

namespace lamivex::python {
namespace {

using Result = std::shared_ptr<const api::ScanResult>;

py::dtype stepType() {
    using api::StepRow;
    return recordType(
        {"angle", "vvo", "b1_multiple", "b2_multiple", "m11", "m12", "m21", "m22"},
        {"<f8", "<f8", "<i4", "<i4", "<f8", "<f8", "<f8", "<f8"},
        {offsetof(StepRow, angle), offsetof(StepRow, vvo), offsetof(StepRow, b1Multiple),
         offsetof(StepRow, b2Multiple), offsetof(StepRow, m11), offsetof(StepRow, m12),
         offsetof(StepRow, m21), offsetof(StepRow, m22)},
        sizeof(StepRow));
}

py::object fieldNumber(const std::string& text) {
    const numbers::Parsed<double> parsed = numbers::toDouble(text);
    return parsed.ok() ? py::object(py::float_(parsed.value)) : py::object(py::none());
}

py::dict bestDict(const api::ScanResult& r) {
    py::dict best;
    best["vvo"] = r.best.BestVVo;
    best["angle"] = r.bestAngle;
    best["m11"] = r.best.BestPx;
    best["m12"] = r.best.BestQy;
    best["m21"] = r.best.BestQx;
    best["m22"] = r.best.BestPy;
    best["b1_multiple"] = r.best.BestB1Multiple;
    best["b2_multiple"] = r.best.BestB2Multiple;
    return best;
}

py::dict stepDict(const api::StepRow& row) {
    py::dict d;
    d["angle"] = row.angle;
    d["vvo"] = row.vvo;
    d["b1_multiple"] = row.b1Multiple;
    d["b2_multiple"] = row.b2Multiple;
    d["m11"] = row.m11;
    d["m12"] = row.m12;
    d["m21"] = row.m21;
    d["m22"] = row.m22;
    return d;
}

}  // namespace

// "inputs" of the lattices: as the command line's JSON writes them.
py::dict latticeInputs(const engine::MainFieldTexts& f, py::dict inputs) {
    py::dict substrate;
    substrate["name"] = f.SubName;
    substrate["a1"] = fieldNumber(f.a1);
    substrate["a2"] = fieldNumber(f.a2);
    substrate["alpha"] = fieldNumber(f.alpha);
    substrate["hexagonal"] = f.hexagonal;
    inputs["substrate"] = substrate;
    py::dict overlayer;
    overlayer["name"] = f.OverName;
    overlayer["b1"] = fieldNumber(f.b1);
    overlayer["b2"] = fieldNumber(f.b2);
    overlayer["beta"] = fieldNumber(f.beta);
    inputs["overlayer"] = overlayer;
    py::dict domain;
    domain["m"] = fieldNumber(f.b1size);
    domain["n"] = fieldNumber(f.b2size);
    inputs["domain"] = domain;
    py::dict azimuth;
    azimuth["lower"] = fieldNumber(f.Lowerangle);
    azimuth["upper"] = fieldNumber(f.Upperangle);
    azimuth["spacing"] = fieldNumber(f.AngleSpacing);
    inputs["azimuth"] = azimuth;
    inputs["max_multiple"] = f.chkgeo ? fieldNumber(f.txtUplim) : py::object(py::none());
    return inputs;
}

namespace {

py::dict scanDict(const api::ScanResult& r, bool table) {
    py::dict d;
    d["steps"] = r.steps;
    d["best"] = bestDict(r);
    d["interpretation"] = interpretationDict(r.interpretation);
    d["warnings"] = py::cast(r.warnings);
    if (!r.symmetryTaken.empty()) {
        d["symmetry"] = r.symmetryTaken;
    }
    if (table) {
        py::list rows;
        for (const api::StepRow& row : r.table) {
            rows.append(stepDict(row));
        }
        d["table"] = rows;
    }
    d["lamivex_version"] = py::module_::import("lamivex._lamivex").attr("__version__");
    py::dict inputs = latticeInputs(r.fields, py::dict());
    inputs["matrix"] = r.matrix ? py::object(matrixList(*r.matrix)) : py::object(py::none());
    inputs["at_angle"] = r.atAngle;
    inputs["fast"] = r.fast;
    inputs["registry_tolerance"] = r.registryTolerance;
    inputs["coincidence_misfit"] = r.coincidenceMisfit;
    d["inputs"] = inputs;
    return d;
}

py::array table(const Result& r) {
    return rowsView(stepType(), sizeof(api::StepRow), r->table.size(), r->table.data(),
                    py::cast(r));
}

}  // namespace

void bindScan(py::module_& m) {
    py::class_<api::ScanResult, std::shared_ptr<api::ScanResult>>(
        m, "ScanResult",
        "A completed rotation scan. Angles in degrees; the matrix gives b1 = m11 a1 + m12 a2, "
        "b2 = m21 a1 + m22 a2; V/Vo has no unit (1: no registry, lower: a better fit).")
        .def_property_readonly(
            "steps", [](const api::ScanResult& r) { return r.steps; }, "Number of azimuth steps.")
        .def_property_readonly(
            "best", [](const api::ScanResult& r) { return bestDict(r); },
            "The best orientation: vvo, angle (degrees), m11, m12, m21, m22, b1_multiple, "
            "b2_multiple.")
        .def_property_readonly(
            "vvo", [](const api::ScanResult& r) { return r.best.BestVVo; },
            "The lowest V/Vo of the scan.")
        .def_property_readonly(
            "angle", [](const api::ScanResult& r) { return r.bestAngle; },
            "The azimuth of the best orientation, degrees from a1 to b1.")
        .def_property_readonly(
            "matrix",
            [](const api::ScanResult& r) {
                return matrixList(
                    engine::Matrix2{r.best.BestPx, r.best.BestQy, r.best.BestQx, r.best.BestPy});
            },
            "The best orientation's matrix [[m11, m12], [m21, m22]].")
        .def_property_readonly(
            "interpretation",
            [](const api::ScanResult& r) { return interpretationDict(r.interpretation); },
            "What the best orientation means: type, wood, misfit_percent, area_ratio, summary, "
            "...")
        .def_property_readonly(
            "summary", [](const api::ScanResult& r) { return r.interpretation.summary(); },
            "The interpretation in one line.")
        .def_property_readonly(
            "warnings", [](const api::ScanResult& r) { return r.warnings; },
            "Notes on the substrate's symmetry (also issued as UserWarning).")
        .def_property_readonly(
            "table", &table,
            "Every azimuth step as a numpy structured array (a view, no copy): angle, vvo, "
            "b1_multiple, b2_multiple, m11, m12, m21, m22; table[\"vvo\"] is a column.")
        .def(
            "to_dict",
            [](const api::ScanResult& r, bool withTable) { return scanDict(r, withTable); },
            py::arg("table") = false,
            "The result as `lamivex-cli scan --json` prints it (with `--table` when table is "
            "True).")
        .def(
            "to_dataframe", [](const Result& r) { return dataFrame(table(r)); },
            "The per-step table as a pandas DataFrame (needs pandas).")
        .def(
            "plot",
            [](const Result& r, const py::object& file, const py::object& size,
               const py::object& dpi, const py::object& fontSize) {
                const std::string target = *path(file, "path");
                const api::FigureRequest asked = figureRequest(size, dpi, fontSize);
                translated("scan",
                           [&] { api::writeScanGraph(*r, target, asked, locations(), "plot"); });
            },
            py::arg("path"), py::arg("size") = py::none(), py::arg("dpi") = py::none(),
            py::arg("font_size") = 10,
            "Writes the graph of V/Vo against the azimuth angle to path (.png, .svg or .pdf). "
            "size: \"160x120mm\" (default), \"6x4.5in\" or pixels \"1200x900\" or (1200, 900); "
            "dpi: pixels per inch of a PNG (default 144); font_size in points.")
        .def(
            "to_svg",
            [](const Result& r, const py::object& size, const py::object& fontSize) {
                const api::FigureRequest asked = figureRequest(size, py::none(), fontSize);
                return svgOf([&](const std::string& file) {
                    translated("scan",
                               [&] { api::writeScanGraph(*r, file, asked, locations(), "plot"); });
                });
            },
            py::arg("size") = py::none(), py::arg("font_size") = 10,
            "The graph of V/Vo against the azimuth angle as SVG text.")
        .def(
            "__getitem__",
            [](const Result& r, const std::string& key) -> py::object {
                if (key == "table") {
                    return table(r);
                }
                py::dict d = scanDict(*r, false);
                if (!d.contains(key)) {
                    throw py::key_error(key);
                }
                return d[py::str(key)];
            },
            "The JSON's members by key, as earlier versions returned them; \"table\" is the "
            "structured array.")
        .def("__repr__", [](const api::ScanResult& r) {
            return fmt::format("<lamivex.ScanResult: {} steps, best V/Vo {:.4g} at {:.2f}°>",
                               r.steps, r.best.BestVVo, r.bestAngle);
        });

    m.def(
        "_scan",
        [](const py::dict& arguments, const py::object& progress) {
            api::ScanRequest request;
            translated("scan", [&] { request = scanRequest(arguments); });
            const std::optional<std::string> plot = path(argument(arguments, "plot"), "plot");
            const api::FigureRequest asked =
                figureRequest(argument(arguments, "size"), argument(arguments, "dpi"),
                              argument(arguments, "font_size"));
            if (plot) {
                translated("scan", [&] { api::checkFigure(*plot, asked, false, "plot"); });
            }
            auto result = std::make_shared<api::ScanResult>();
            runReleased("scan", progress, [&](const api::Progress& p, const api::Abort& a) {
                *result = api::scan(request, p, a, locations());
            });
            warn(result->warnings);
            if (plot) {
                translated("scan", [&] {
                    api::writeScanGraph(*result, *plot, asked, locations(), "plot");
                });
            }
            return result;
        },
        py::arg("arguments"), py::arg("progress") = py::none());
}

}  // namespace lamivex::python
