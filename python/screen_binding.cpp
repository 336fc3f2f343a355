// The compiled side of lamivex.screen (lamivex/screening.py): the typed screen run with the
// GIL released, the parts of its shards as values a Dask worker pickles back, their merge,
// and the ranked pairs as the dictionary `lamivex-cli screen --json` prints.

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "api/scan.h"
#include "api/screen.h"
#include "numbers/input_error.h"
#include "numbers/number_text.h"
#include "python/common.h"
#include "python/requests.h"

namespace lamivex::python {
namespace {

using screening::PairResult;

// One item or a sequence of them, each through take.
template <typename Take>
std::vector<std::string> many(const py::handle& value, const char* name, Take take) {
    std::vector<std::string> out;
    if (value.is_none()) {
        return out;
    }
    if (py::isinstance<py::str>(value) || py::hasattr(value, "__fspath__")) {
        out.push_back(take(value));
        return out;
    }
    if (!py::isinstance<py::sequence>(value) && !py::hasattr(value, "__iter__")) {
        throw py::type_error(fmt::format("{} must be one item or a sequence of them", name));
    }
    for (const py::handle item : py::module_::import("builtins").attr("list")(value)) {
        out.push_back(take(item));
    }
    return out;
}

// "a1 a2 alpha", or three numbers written as Python writes them.
std::string meshText(const py::handle& mesh) {
    if (py::isinstance<py::str>(mesh)) {
        return mesh.cast<std::string>();
    }
    if (!py::isinstance<py::sequence>(mesh) && !py::hasattr(mesh, "__array__")) {
        throw py::type_error("substrate_mesh must be \"a1 a2 alpha\" or three numbers");
    }
    std::string text;
    for (const py::handle x : py::module_::import("builtins").attr("list")(mesh)) {
        text += (text.empty() ? "" : " ") +
                py::repr(py::float_(*real(x, "substrate_mesh"))).cast<std::string>();
    }
    return text;
}

// A whole-number argument in 1..highest, refused with the command line's sentence.
std::optional<int> wholeArgument(const py::dict& k, const char* key, const char* option,
                                 int highest) {
    const std::optional<double> value = real(argument(k, key), key);
    return value ? std::optional(api::wholeNumberIn(*value, option, 1, highest)) : std::nullopt;
}

api::ScreenRequest screenRequest(const py::dict& k) {
    api::ScreenRequest r;
    // The overlayer's and the scan's keys: substrate_cif here names the substrates' files.
    py::dict overlayer = k.attr("copy")();
    overlayer.attr("pop")("substrate_cif", py::none());
    r.lattice = latticeRequest(overlayer);
    const auto paths = [](const char* name) {
        return [name](const py::handle& p) { return *path(p, name); };
    };
    r.substrates.records = many(argument(k, "substrate_records"), "substrate_records",
                                [](const py::handle& p) { return *text(p, "substrate_records"); });
    r.substrates.meshes = many(argument(k, "substrate_mesh"), "substrate_mesh", &meshText);
    r.substrates.cifFiles =
        many(argument(k, "substrate_cif"), "substrate_cif", paths("substrate_cif"));
    r.substrates.cifDirs =
        many(argument(k, "substrate_cif_dir"), "substrate_cif_dir", paths("substrate_cif_dir"));
    r.substrates.crystals =
        flag(argument(k, "substrate_crystals"), "substrate_crystals").value_or(false);
    r.maxIndex = wholeArgument(k, "max_index", "max-index", api::kLargestScreenIndex).value_or(1);
    r.top = wholeArgument(k, "top", "top", api::kLargestScreenTop);
    r.threads = wholeArgument(k, "threads", "threads", api::kLargestScreenThreads);
    r.registryTolerance =
        realOr(argument(k, "registry_tolerance"), "registry_tolerance", r.registryTolerance);
    return r;
}

// A work list, shard or merge that does not fit is refused as the command line refuses it.
template <typename Body>
auto refusingMisfits(Body&& body) {
    try {
        return body();
    } catch (const std::invalid_argument& e) {
        throw numbers::InputError("", e.what());
    }
}

py::dict pairDict(const PairResult& r, const screening::ScreenSettings& settings) {
    const screening::Substrate& s = r.substrate;
    py::dict d;
    d["pair"] = r.pair;
    d["substrate"] = s.name;
    d["plane"] = s.plane;
    d["source"] = screening::sourceName(s.source);
    d["file"] = s.file.empty() ? py::object(py::none()) : py::object(py::str(s.file));
    if (s.a1.empty()) {
        d["mesh"] = py::none();
    } else {
        py::dict mesh;
        mesh["a1"] = numbers::toDouble(s.a1).value;
        mesh["a2"] = numbers::toDouble(s.a2).value;
        mesh["alpha"] = numbers::toDouble(s.alpha).value;
        mesh["hexagonal"] = s.hexagonal;
        d["mesh"] = mesh;
    }
    if (!r.screened()) {
        d["error"] = r.error;
        return d;
    }
    const engine::BestOrientation& b = r.best;
    d["error"] = py::none();
    d["vvo"] = b.BestVVo;
    d["angle"] = api::shortestValue(b.BestAngle);
    d["matrix"] = matrixList(engine::Matrix2{b.BestPx, b.BestQy, b.BestQx, b.BestPy});
    d["b1_multiple"] = b.BestB1Multiple;
    d["b2_multiple"] = b.BestB2Multiple;
    d["interpretation"] = interpretationDict(screening::interpretationOf(r, settings));
    return d;
}

py::dict inputsDict(const api::ScreenInputs& in) {
    py::dict overlayer;
    overlayer["name"] = in.overlayerName;
    overlayer["b1"] = in.b1;
    overlayer["b2"] = in.b2;
    overlayer["beta"] = in.beta;
    py::dict domain;
    domain["m"] = in.m;
    domain["n"] = in.n;
    py::dict azimuth;
    azimuth["lower"] = in.lower;
    azimuth["upper"] = in.upper;
    azimuth["spacing"] = in.spacing;
    py::dict substrates;
    substrates["records"] = in.substrates.records;
    substrates["meshes"] = in.substrates.meshes;
    substrates["cif_files"] = in.substrates.cifFiles;
    substrates["cif_dirs"] = in.substrates.cifDirs;
    substrates["crystals"] = in.substrates.crystals;
    py::dict d;
    d["overlayer"] = overlayer;
    d["domain"] = domain;
    d["azimuth"] = azimuth;
    d["max_multiple"] = in.maxMultiple;
    d["registry_tolerance"] = in.registryTolerance;
    d["max_index"] = in.maxIndex;
    d["substrates"] = substrates;
    return d;
}

// The keys and values of `lamivex-cli screen --json`.
py::dict resultDict(const api::ScreenResult& r) {
    py::dict d;
    d["lamivex_version"] = py::module_::import("lamivex._lamivex").attr("__version__");
    d["pairs"] = r.pairs;
    d["screened"] = r.screened;
    py::list results;
    for (std::size_t k = 0; k < r.ranked.size(); ++k) {
        py::dict ranked;
        ranked["rank"] = k + 1;
        ranked.attr("update")(pairDict(r.ranked[k], r.settings));
        results.append(ranked);
    }
    d["results"] = results;
    py::list errors;
    for (const PairResult& e : r.errors) {
        errors.append(pairDict(e, r.settings));
    }
    d["errors"] = errors;
    d["inputs"] = inputsDict(r.inputs);
    return d;
}

// A part as plain values for pickle: the inputs, the size of the work list, the shard and
// each pair's substrate and best orientation, every number exact.
py::tuple inputsState(const api::ScreenInputs& in) {
    const api::ScreenSubstrates& s = in.substrates;
    return py::make_tuple(in.overlayerName, in.b1, in.b2, in.beta, in.m, in.n, in.lower, in.upper,
                          in.spacing, in.maxMultiple, in.registryTolerance, in.maxIndex, s.records,
                          s.meshes, s.cifFiles, s.cifDirs, s.crystals);
}

api::ScreenInputs inputsOf(const py::tuple& t) {
    api::ScreenInputs in;
    in.overlayerName = t[0].cast<std::string>();
    in.b1 = t[1].cast<double>();
    in.b2 = t[2].cast<double>();
    in.beta = t[3].cast<double>();
    in.m = t[4].cast<int>();
    in.n = t[5].cast<int>();
    in.lower = t[6].cast<std::optional<double>>();
    in.upper = t[7].cast<std::optional<double>>();
    in.spacing = t[8].cast<double>();
    in.maxMultiple = t[9].cast<std::optional<int>>();
    in.registryTolerance = t[10].cast<double>();
    in.maxIndex = t[11].cast<int>();
    in.substrates = {t[12].cast<std::vector<std::string>>(), t[13].cast<std::vector<std::string>>(),
                     t[14].cast<std::vector<std::string>>(), t[15].cast<std::vector<std::string>>(),
                     t[16].cast<bool>()};
    return in;
}

py::tuple pairState(const PairResult& r) {
    const screening::Substrate& s = r.substrate;
    const engine::BestOrientation& b = r.best;
    return py::make_tuple(r.pair, s.name, s.plane, static_cast<int>(s.source), s.file, s.a1, s.a2,
                          s.alpha, s.hexagonal, s.error, r.error, b.BestVVo,
                          static_cast<double>(b.BestAngle), b.BestPx, b.BestQy, b.BestQx, b.BestPy,
                          b.BestB1Multiple, b.BestB2Multiple);
}

PairResult pairOf(const py::tuple& t) {
    PairResult r;
    r.pair = t[0].cast<std::size_t>();
    screening::Substrate& s = r.substrate;
    s.name = t[1].cast<std::string>();
    s.plane = t[2].cast<std::string>();
    s.source = static_cast<screening::SubstrateSource>(t[3].cast<int>());
    s.file = t[4].cast<std::string>();
    s.a1 = t[5].cast<std::string>();
    s.a2 = t[6].cast<std::string>();
    s.alpha = t[7].cast<std::string>();
    s.hexagonal = t[8].cast<bool>();
    s.error = t[9].cast<std::string>();
    r.error = t[10].cast<std::string>();
    engine::BestOrientation& b = r.best;
    b.BestVVo = t[11].cast<double>();
    b.BestAngle = static_cast<float>(t[12].cast<double>());  // a float's value: exact
    b.BestPx = t[13].cast<double>();
    b.BestQy = t[14].cast<double>();
    b.BestQx = t[15].cast<double>();
    b.BestPy = t[16].cast<double>();
    b.BestB1Multiple = t[17].cast<double>();
    b.BestB2Multiple = t[18].cast<double>();
    return r;
}

py::tuple partState(const api::ScreenPart& part) {
    py::list pairs;
    for (const PairResult& r : part.results) {
        pairs.append(pairState(r));
    }
    return py::make_tuple(inputsState(part.inputs), part.pairs, part.shard.index, part.shard.count,
                          pairs);
}

api::ScreenPart partOf(const py::tuple& t) {
    if (t.size() != 5) {
        throw std::runtime_error("not the state of a lamivex.ScreenPart");
    }
    api::ScreenPart part;
    part.inputs = inputsOf(t[0]);
    part.pairs = t[1].cast<std::size_t>();
    part.shard = {t[2].cast<int>(), t[3].cast<int>()};
    for (const py::handle pair : t[4].cast<py::list>()) {
        part.results.push_back(pairOf(py::reinterpret_borrow<py::tuple>(pair)));
    }
    return part;
}

}  // namespace

void bindScreen(py::module_& m) {
    py::class_<api::ScreenPart, std::shared_ptr<api::ScreenPart>>(
        m, "ScreenPart",
        "The pairs of one shard of a screen, as a worker returns them to be merged; pickled "
        "with every number exact.")
        .def_property_readonly(
            "pairs", [](const api::ScreenPart& p) { return p.pairs; },
            "Pairs in the whole work list.")
        .def_property_readonly(
            "shard",
            [](const api::ScreenPart& p) { return py::make_tuple(p.shard.index, p.shard.count); },
            "(index, count), 1-based.")
        .def("__len__", [](const api::ScreenPart& p) { return p.results.size(); })
        .def(py::pickle(&partState, [](const py::tuple& t) { return partOf(t); }));

    py::class_<api::ScreenResult, std::shared_ptr<api::ScreenResult>>(
        m, "ScreenRanking",
        "The ranked pairs of a screen, best (lowest V/Vo) first, and those not screened.")
        .def_property_readonly(
            "pairs", [](const api::ScreenResult& r) { return r.pairs; }, "Pairs in the work list.")
        .def_property_readonly(
            "screened", [](const api::ScreenResult& r) { return r.screened; },
            "Pairs with a result.")
        .def("to_dict", &resultDict, "The result as `lamivex-cli screen --json` prints it.");

    m.def(
        "_screen",
        [](const py::dict& arguments) {
            api::ScreenRequest request;
            translated("screen", [&] { request = screenRequest(arguments); });
            auto result = std::make_shared<api::ScreenResult>();
            runReleased("screen", py::none(), [&](const api::Progress& p, const api::Abort& a) {
                *result = refusingMisfits([&] { return api::screen(request, p, a, locations()); });
            });
            return result;
        },
        py::arg("arguments"), "The whole screen on this machine's cores.");
    m.def(
        "_screen_part",
        [](const py::dict& arguments, int index, int count) {
            api::ScreenRequest request;
            translated("screen", [&] { request = screenRequest(arguments); });
            request.shard = {index, count};
            auto part = std::make_shared<api::ScreenPart>();
            runReleased("screen", py::none(), [&](const api::Progress& p, const api::Abort& a) {
                *part =
                    refusingMisfits([&] { return api::screenPart(request, p, a, locations()); });
            });
            return part;
        },
        py::arg("arguments"), py::arg("index"), py::arg("count"),
        "Part index of count (1-based) of the screen: pairs index, index + count, ...");
    m.def(
        "_merge_screen",
        [](const std::vector<std::shared_ptr<api::ScreenPart>>& parts, const py::object& top) {
            std::vector<api::ScreenPart> values;
            values.reserve(parts.size());
            for (const auto& part : parts) {
                values.push_back(*part);
            }
            std::optional<int> kept;
            auto result = std::make_shared<api::ScreenResult>();
            translated("merge", [&] {
                if (const std::optional<double> k = real(top, "top")) {
                    kept = api::wholeNumberIn(*k, "top", 1, api::kLargestScreenTop);
                }
                *result = refusingMisfits([&] { return api::mergeParts(values, kept); });
            });
            return result;
        },
        py::arg("parts"), py::arg("top") = py::none(),
        "The parts of one screen ranked as one run ranks them.");
}

}  // namespace lamivex::python
