#include "python/requests.h"

#include <fmt/format.h>

#include "iteration/iteration_ranges.h"
#include "lattice/lattice2d.h"
#include "numbers/input_error.h"
#include "numbers/number_text.h"

namespace lamivex::python {
namespace {

std::string orEmpty(const std::optional<std::string>& s) {
    return s.value_or(std::string());
}

// (low, high, increment), or "LOW:HIGH:INC" as the command line takes it.
std::optional<api::RangeValues> rangeOf(const py::handle& value, iteration::Constant c) {
    const std::string key = std::string(iteration::constantName(c)) + "_range";
    if (value.is_none()) {
        return std::nullopt;
    }
    std::array<double, 3> parts{};
    if (py::isinstance<py::str>(value)) {
        const std::string text = value.cast<std::string>();
        std::vector<std::string> pieces;
        for (std::size_t start = 0;;) {
            const std::size_t colon = text.find(':', start);
            pieces.push_back(text.substr(start, colon - start));
            if (colon == std::string::npos) {
                break;
            }
            start = colon + 1;
        }
        if (pieces.size() != 3) {
            numbers::failInput(iteration::rangeFieldName(c),
                               fmt::format("Expected LOW:HIGH:INC, for example 9.5:10.5:0.1 (got "
                                           "\"{}\").",
                                           text));
        }
        for (std::size_t i = 0; i < 3; ++i) {
            const numbers::Parsed<double> parsed = numbers::toDouble(pieces[i]);
            if (!parsed.ok()) {
                numbers::failInput(iteration::rangeFieldName(c),
                                   fmt::format("'{}' is not a number", pieces[i]));
            }
            parts[i] = parsed.value;
        }
    } else {
        if (!py::isinstance<py::sequence>(value) && !py::hasattr(value, "__array__")) {
            throw py::type_error(
                fmt::format("{} must be (low, high, increment) or \"LOW:HIGH:INC\"", key));
        }
        const py::list items = py::module_::import("builtins").attr("list")(value);
        if (items.size() != 3) {
            throw py::type_error(
                fmt::format("{} must have three numbers: low, high, increment", key));
        }
        for (std::size_t i = 0; i < 3; ++i) {
            parts[i] = *real(items[i], key.c_str());
        }
    }
    return api::RangeValues{parts[0], parts[1], parts[2]};
}

}  // namespace

py::object argument(const py::dict& arguments, const char* key) {
    return arguments.contains(key) ? py::object(arguments[key]) : py::object(py::none());
}

api::LatticeRequest latticeRequest(const py::dict& k) {
    api::LatticeRequest r;
    const auto get = [&](const char* key) { return argument(k, key); };
    if (const py::object s = get("substrate"); !s.is_none()) {
        r.setSubstrate(s.cast<const lattice::Lattice2D&>());
    }
    if (const py::object o = get("overlayer"); !o.is_none()) {
        r.setOverlayer(o.cast<const lattice::Lattice2D&>());
    }
    const auto take = [&](std::optional<double>& field, const char* key) {
        if (const std::optional<double> v = real(get(key), key)) {
            field = v;
        }
    };
    take(r.a1, "a1");
    take(r.a2, "a2");
    take(r.alpha, "alpha");
    take(r.b1, "b1");
    take(r.b2, "b2");
    take(r.beta, "beta");
    take(r.m, "m");
    take(r.n, "n");
    take(r.lower, "lower");
    take(r.upper, "upper");
    take(r.spacing, "spacing");
    take(r.maxMultiple, "max_multiple");
    r.hexagonal = flag(get("hexagonal"), "hexagonal");
    r.substrateName = text(get("substrate_name"), "substrate_name");
    r.overlayerName = text(get("overlayer_name"), "overlayer_name");
    r.substrateFrom = orEmpty(text(get("substrate_from"), "substrate_from"));
    r.overlayerFrom = orEmpty(text(get("overlayer_from"), "overlayer_from"));
    r.substrateCif = orEmpty(path(get("substrate_cif"), "substrate_cif"));
    r.overlayerCif = orEmpty(path(get("overlayer_cif"), "overlayer_cif"));
    r.substrateHkl = orEmpty(indices(get("substrate_hkl"), "substrate_hkl"));
    r.overlayerHkl = orEmpty(indices(get("overlayer_hkl"), "overlayer_hkl"));
    r.nonHexagonal = flag(get("non_hexagonal"), "non_hexagonal").value_or(false);
    return r;
}

api::ScanRequest scanRequest(const py::dict& k) {
    api::ScanRequest r;
    r.lattice = latticeRequest(k);
    r.matrix = matrix(argument(k, "matrix"), "matrix");
    r.atAngle = flag(argument(k, "at_angle"), "at_angle").value_or(false);
    r.fast = flag(argument(k, "fast"), "fast").value_or(false);
    r.threads = whole(argument(k, "threads"), "threads");
    r.registryTolerance =
        realOr(argument(k, "registry_tolerance"), "registry_tolerance", r.registryTolerance);
    r.coincidenceMisfit =
        realOr(argument(k, "coincidence_misfit"), "coincidence_misfit", r.coincidenceMisfit);
    return r;
}

api::IterationRequest iterationRequest(const py::dict& k) {
    api::IterationRequest r;
    r.lattice = latticeRequest(k);
    const std::string which = text(argument(k, "iterate"), "iterate").value_or("overlayer");
    if (which != "overlayer" && which != "substrate") {
        numbers::failInput("iterate",
                           fmt::format("Expected overlayer or substrate (got \"{}\").", which));
    }
    r.iterateOverlayer = which == "overlayer";
    r.rigid = flag(argument(k, "rigid"), "rigid").value_or(false);
    for (const iteration::Constant c :
         {iteration::Constant::b1, iteration::Constant::b2, iteration::Constant::beta,
          iteration::Constant::a1, iteration::Constant::a2, iteration::Constant::alpha}) {
        const std::string key = std::string(iteration::constantName(c)) + "_range";
        r.ranges[iteration::rowIndex(c)] = rangeOf(argument(k, key.c_str()), c);
    }
    const py::object fix = argument(k, "fix");
    if (py::isinstance<py::str>(fix)) {
        const std::string names = fix.cast<std::string>();
        for (std::size_t start = 0; start <= names.size();) {
            const std::size_t comma = std::min(names.find(',', start), names.size());
            r.fix.push_back(names.substr(start, comma - start));
            start = comma + 1;
        }
    } else if (!fix.is_none()) {
        if (!py::isinstance<py::sequence>(fix)) {
            throw py::type_error("fix must be a list of names such as [\"b1\", \"beta\"]");
        }
        for (const py::handle name : fix) {
            r.fix.push_back(*text(name, "fix"));
        }
    }
    r.criterion = realOr(argument(k, "criterion"), "criterion", r.criterion);
    r.exhaustive = flag(argument(k, "exhaustive"), "exhaustive").value_or(false);
    r.threads = whole(argument(k, "threads"), "threads");
    r.registryTolerance =
        realOr(argument(k, "registry_tolerance"), "registry_tolerance", r.registryTolerance);
    r.coincidenceMisfit =
        realOr(argument(k, "coincidence_misfit"), "coincidence_misfit", r.coincidenceMisfit);
    return r;
}

api::ViewRequest viewRequest(const py::dict& k) {
    api::ViewRequest r;
    r.lattice = latticeRequest(k);
    r.matrix = matrix(argument(k, "matrix"), "matrix");
    r.angle = real(argument(k, "angle"), "angle");
    r.b1Multiple = real(argument(k, "b1_multiple"), "b1_multiple");
    r.b2Multiple = real(argument(k, "b2_multiple"), "b2_multiple");
    r.zoom = realOr(argument(k, "zoom"), "zoom", 1);
    return r;
}

api::LeedRequest leedRequest(const py::dict& k) {
    api::LeedRequest r;
    r.view = viewRequest(k);
    r.energyEv = realOr(argument(k, "energy"), "energy", r.energyEv);
    const std::string domains = text(argument(k, "domains"), "domains").value_or("all");
    if (domains != "all" && domains != "one") {
        numbers::failInput("domains", fmt::format("expected all or one, got '{}'", domains));
    }
    r.allDomains = domains == "all";
    r.mirrors = !flag(argument(k, "no_mirror"), "no_mirror").value_or(false);
    r.multipleScattering =
        flag(argument(k, "multiple_scattering"), "multiple_scattering").value_or(false);
    r.oneColour = flag(argument(k, "one_colour"), "one_colour").value_or(false);
    return r;
}

}  // namespace lamivex::python
