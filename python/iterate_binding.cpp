// lamivex.iterate and its result: the matches as a numpy structured array over the C++ rows,
// named by the constants the run iterated, the hit counts, the histogram figure and the JSON's
// dictionary.

#include <cstddef>
#include <memory>

#include <fmt/format.h>
#include "api/figures.h"
#include "api/iterate.h"

#include "python/common.h"
#include "python/requests.h"

namespace lamivex::python {

py::dict latticeInputs(const engine::MainFieldTexts& f, py::dict inputs);

namespace {

using Result = std::shared_ptr<const api::IterationResult>;
using api::MatchRow;

py::dtype matchType(const api::IterationResult& r) {
    return recordType(
        {"angle", "vvo", r.constantNames[0], r.constantNames[1], r.constantNames[2], "c1", "c2",
         "c3", "m11", "m12", "m21", "m22", "area", "b1_multiple", "b2_multiple"},
        {"<f8", "<f8", "<f8", "<f8", "<f8", "<f8", "<f8", "<f8", "<f8", "<f8", "<f8", "<f8", "<f8",
         "<i4", "<i4"},
        {offsetof(MatchRow, angle), offsetof(MatchRow, vvo), offsetof(MatchRow, constant1),
         offsetof(MatchRow, constant2), offsetof(MatchRow, constant3), offsetof(MatchRow, c1),
         offsetof(MatchRow, c2), offsetof(MatchRow, c3), offsetof(MatchRow, m11),
         offsetof(MatchRow, m12), offsetof(MatchRow, m21), offsetof(MatchRow, m22),
         offsetof(MatchRow, area), offsetof(MatchRow, b1Multiple), offsetof(MatchRow, b2Multiple)},
        sizeof(MatchRow));
}

py::array matches(const Result& r) {
    return rowsView(matchType(*r), sizeof(MatchRow), r->matches.size(), r->matches.data(),
                    py::cast(r));
}

const char* stoppedName(iteration::StopReason stop) {
    return stop == iteration::StopReason::Limit ? "limit" : "complete";
}

py::dict histogramDict(const iteration::HitCounts& hits) {
    py::dict h;
    h["low"] = hits.HistogramLowAngle;
    h["high"] = hits.HistogramHighAngle;
    h["hits"] = py::cast(hits.HitsByAngle);
    h["geometric"] = py::cast(hits.GeometricHitsByAngle);
    return h;
}

py::dict matchDict(const api::IterationResult& r, std::size_t k) {
    const MatchRow& m = r.matches[k];
    py::dict d;
    d["angle"] = m.angle;
    d["vvo"] = m.vvo;
    d["c1"] = m.c1;
    d["c2"] = m.c2;
    d["c3"] = m.c3;
    d["m11"] = m.m11;
    d["m12"] = m.m12;
    d["m21"] = m.m21;
    d["m22"] = m.m22;
    d["area"] = m.area;
    d["interpretation"] = interpretationDict(r.interpretations[k]);
    d[py::str(r.constantNames[0])] = m.constant1;
    d[py::str(r.constantNames[1])] = m.constant2;
    d[py::str(r.constantNames[2])] = m.constant3;
    d["b1_multiple"] = m.b1Multiple;
    d["b2_multiple"] = m.b2Multiple;
    return d;
}

py::dict iterationDict(const api::IterationResult& r) {
    const iteration::CompletedIteration& run = *r.run;
    py::dict d;
    d["match_count"] = run.MatchCount;
    d["stopped"] = stoppedName(run.stop);
    d["records"] = py::cast(run.MatchRecords);
    py::list rows;
    for (std::size_t k = 0; k < r.matches.size(); ++k) {
        rows.append(matchDict(r, k));
    }
    d["matches"] = rows;
    d["histogram"] = histogramDict(run.hits);
    d["lamivex_version"] = py::module_::import("lamivex._lamivex").attr("__version__");
    py::dict inputs = latticeInputs(run.capture.fields, py::dict());
    const api::IterationRequest& q = r.request;
    inputs["iterate"] = q.iterateOverlayer ? "overlayer" : "substrate";
    inputs["rigid"] = q.rigid;
    py::dict ranges;
    for (const iteration::Constant c :
         {iteration::Constant::b1, iteration::Constant::b2, iteration::Constant::beta,
          iteration::Constant::a1, iteration::Constant::a2, iteration::Constant::alpha}) {
        const auto& range = q.ranges[iteration::rowIndex(c)];
        const py::str name(std::string(iteration::constantName(c)));
        if (!range) {
            ranges[name] = py::none();
            continue;
        }
        py::dict values;
        values["low"] = range->low;
        values["high"] = range->high;
        values["increment"] = range->increment;
        ranges[name] = values;
    }
    inputs["ranges"] = ranges;
    inputs["fix"] = py::cast(q.fix);
    inputs["criterion"] = q.criterion;
    inputs["registry_tolerance"] = q.registryTolerance;
    inputs["coincidence_misfit"] = q.coincidenceMisfit;
    d["inputs"] = inputs;
    return d;
}

}  // namespace

void bindIterate(py::module_& m) {
    py::class_<api::IterationResult, std::shared_ptr<api::IterationResult>>(
        m, "IterationResult",
        "A completed iteration run: every trial lattice whose best V/Vo fell below the "
        "criterion. Lengths in Angstroms, angles in degrees, areas in square Angstroms.")
        .def_property_readonly(
            "match_count", [](const api::IterationResult& r) { return r.run->MatchCount; },
            "Number of matches.")
        .def_property_readonly(
            "stopped", [](const api::IterationResult& r) { return stoppedName(r.run->stop); },
            "\"complete\", or \"limit\" when the 2000th match ended the run.")
        .def_property_readonly(
            "message", [](const api::IterationResult& r) { return r.completionMessage; },
            "The message the window shows at the end.")
        .def_property_readonly(
            "matches", &matches,
            "The matches as a numpy structured array (a view, no copy): angle, vvo, the "
            "iterated constants by name (b1, b2, beta or a1, a2, alpha) as each trial read them, "
            "c1..c3 as its scan used them (multiplied in a geometric run), m11, m12, m21, m22, "
            "area, b1_multiple, b2_multiple. It has these columns also without a match.")
        .def_property_readonly(
            "interpretations",
            [](const api::IterationResult& r) {
                py::list out;
                for (const engine::Interpretation& i : r.interpretations) {
                    out.append(interpretationDict(i));
                }
                return out;
            },
            "What each match means, as scan's interpretation.")
        .def_property_readonly(
            "histogram", [](const api::IterationResult& r) { return histogramDict(r.run->hits); },
            "Hits per degree: low, high (degrees), hits and geometric (counts).")
        .def_property_readonly(
            "records", [](const api::IterationResult& r) { return r.run->MatchRecords; },
            "The data file's rows, ten \"0.00\" fields joined by tabs.")
        .def(
            "to_dict", [](const api::IterationResult& r) { return iterationDict(r); },
            "The result as `lamivex-cli iterate --json` prints it.")
        .def(
            "to_dataframe", [](const Result& r) { return dataFrame(matches(r)); },
            "The matches as a pandas DataFrame (needs pandas).")
        .def(
            "plot",
            [](const Result& r, const py::object& file, const py::object& size,
               const py::object& dpi, const py::object& fontSize) {
                const std::string target = *path(file, "path");
                const api::FigureRequest asked = figureRequest(size, dpi, fontSize);
                translated("iterate",
                           [&] { api::writeHistogram(*r, target, asked, locations(), "plot"); });
            },
            py::arg("path"), py::arg("size") = py::none(), py::arg("dpi") = py::none(),
            py::arg("font_size") = 10,
            "Writes the histogram of the matches' azimuth angles to path (.png, .svg or .pdf); "
            "size, dpi and font_size as for ScanResult.plot.")
        .def(
            "to_svg",
            [](const Result& r, const py::object& size, const py::object& fontSize) {
                const api::FigureRequest asked = figureRequest(size, py::none(), fontSize);
                return svgOf([&](const std::string& file) {
                    translated("iterate",
                               [&] { api::writeHistogram(*r, file, asked, locations(), "plot"); });
                });
            },
            py::arg("size") = py::none(), py::arg("font_size") = 10, "The histogram as SVG text.")
        .def(
            "__getitem__",
            [](const Result& r, const std::string& key) -> py::object {
                if (key == "table") {
                    return matches(r);
                }
                py::dict d = iterationDict(*r);
                if (!d.contains(key)) {
                    throw py::key_error(key);
                }
                return d[py::str(key)];
            },
            "The JSON's members by key, as earlier versions returned them; \"table\" is the "
            "matches' structured array.")
        .def("__repr__", [](const api::IterationResult& r) {
            return fmt::format("<lamivex.IterationResult: {} matches, {}>", r.run->MatchCount,
                               stoppedName(r.run->stop));
        });

    m.def(
        "_iterate",
        [](const py::dict& arguments, const py::object& progress) {
            api::IterationRequest request;
            translated("iterate", [&] { request = iterationRequest(arguments); });
            const std::optional<std::string> plot = path(argument(arguments, "plot"), "plot");
            const api::FigureRequest asked =
                figureRequest(argument(arguments, "size"), argument(arguments, "dpi"),
                              argument(arguments, "font_size"));
            if (plot) {
                translated("iterate", [&] { api::checkFigure(*plot, asked, false, "plot"); });
            }
            auto result = std::make_shared<api::IterationResult>();
            runReleased("iterate", progress, [&](const api::Progress& p, const api::Abort& a) {
                *result = api::iterate(request, p, a, locations());
            });
            if (plot) {
                translated("iterate", [&] {
                    api::writeHistogram(*result, *plot, asked, locations(), "plot");
                });
            }
            return result;
        },
        py::arg("arguments"), py::arg("progress") = py::none());
}

}  // namespace lamivex::python
