#include "model/overlayer_layer.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>
#include <stdexcept>

#include <fmt/format.h>

#include "model/element_radii.h"

namespace lamivex::model {
namespace {

[[noreturn]] void fail(const std::string& name, int line, const std::string& what) {
    throw std::invalid_argument(fmt::format("{}, line {}: {}", name, line, what));
}

double wrapped(double x) {
    x -= std::floor(x);
    return x >= 1 - 1e-9 ? 0 : x;
}

// The nine numbers of Lattice="..." in the comment line.
std::vector<double> latticeOf(const std::string& comment, const std::string& name) {
    const std::string key = "Lattice=\"";
    const std::size_t start = comment.find(key);
    const std::size_t end =
        start == std::string::npos ? start : comment.find('"', start + key.size());
    if (end == std::string::npos) {
        fail(name, 2, "expected Lattice=\"ax ay az bx by bz cx cy cz\", the layer's cell");
    }
    std::istringstream numbers(comment.substr(start + key.size(), end - start - key.size()));
    std::vector<double> values;
    double x = 0;
    while (numbers >> x) {
        values.push_back(x);
    }
    if (values.size() != 9 || !numbers.eof() ||
        !std::ranges::all_of(values, [](double v) { return std::isfinite(v); })) {
        fail(name, 2, "Lattice=\"...\" must hold nine numbers, the vectors a, b and c");
    }
    return values;
}

}  // namespace

OverlayerLayer overlayerFromPlane(const PlaneLayers& plane) {
    OverlayerLayer layer;
    layer.name = plane.name;
    layer.b1 = plane.mesh.a1;
    layer.b2 = plane.mesh.a2;
    layer.beta = plane.mesh.alpha;
    layer.atoms = plane.layers.front().atoms;
    const double lowest = std::ranges::min(layer.atoms, {}, &LayerAtom::height).height;
    for (LayerAtom& atom : layer.atoms) {
        atom.height -= lowest;
    }
    return layer;
}

OverlayerLayer readOverlayerXyz(std::istream& in, const std::string& name) {
    std::string line;
    if (!std::getline(in, line)) {
        fail(name, 1, "the file is empty; expected the number of atoms");
    }
    std::istringstream countLine(line);
    long long count = 0;
    std::string rest;
    if (!(countLine >> count) || (countLine >> rest) || count < 1 || count > 1'000'000) {
        fail(name, 1, fmt::format("expected the number of atoms, got '{}'", line));
    }
    std::string comment;
    std::getline(in, comment);
    const std::vector<double> lattice = latticeOf(comment, name);
    const double ax = lattice[0], ay = lattice[1], bx = lattice[3], by = lattice[4];
    if (std::fabs(lattice[2]) > 1e-6 || std::fabs(lattice[5]) > 1e-6) {
        fail(name, 2, "the cell's a and b must lie in the xy plane (az = bz = 0)");
    }
    const double area = ax * by - ay * bx;  // the z component of a × b
    if (!(area > 1e-6)) {
        fail(name, 2, "the cell's b must lie anticlockwise of a, seen from +z, and not along it");
    }
    OverlayerLayer layer;
    layer.name = name;
    layer.b1 = std::hypot(ax, ay);
    layer.b2 = std::hypot(bx, by);
    layer.beta = std::acos(std::clamp((ax * bx + ay * by) / (layer.b1 * layer.b2), -1.0, 1.0)) *
                 180 / std::numbers::pi;
    for (long long k = 0; k < count; ++k) {
        const int lineNumber = static_cast<int>(k) + 3;
        if (!std::getline(in, line)) {
            fail(name, lineNumber, fmt::format("the file ends after {} of {} atoms", k, count));
        }
        std::istringstream fields(line);
        std::string element;
        double x = 0, y = 0, z = 0;
        if (!(fields >> element >> x >> y >> z) || !std::isfinite(x) || !std::isfinite(y) ||
            !std::isfinite(z)) {
            fail(name, lineNumber, fmt::format("expected \"element x y z\", got '{}'", line));
        }
        if (!isKnownElement(element)) {
            fail(name, lineNumber, fmt::format("'{}' is no element", element));
        }
        // Fractions of (a, b) by Cramer's rule.
        layer.atoms.push_back({elementSymbol(element), wrapped((x * by - y * bx) / area),
                               wrapped((ax * y - ay * x) / area), z});
    }
    const double lowest = std::ranges::min(layer.atoms, {}, &LayerAtom::height).height;
    for (LayerAtom& atom : layer.atoms) {
        atom.height -= lowest;
    }
    return layer;
}

OverlayerLayer readOverlayerXyzFile(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        throw std::invalid_argument(fmt::format("{} is not a file that can be read.", path));
    }
    return readOverlayerXyz(in, std::filesystem::path(path).filename().string());
}

}  // namespace lamivex::model
