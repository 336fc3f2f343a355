#include "model/plane_layers.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <stdexcept>

#include <fmt/format.h>

#include "model/vector_math.h"

namespace lamivex::model {
namespace {

// The lattice vector one plane spacing up with the shortest in-plane part: a whole vector
// of the conventional cell, or one plus a centring translation. Searched over a box of cells
// wide enough for planes of indices up to about 10.
std::optional<Vec3> periodVector(const crystal::BulkLattice& bulk, const Vec3& normal,
                                 double spacing) {
    const std::array<Vec3, 3> cell = crystal::cellVectors(bulk);
    std::vector<std::array<double, 3>> offsets{{0, 0, 0}};
    for (const std::array<int, 3>& t : bulk.centring) {
        offsets.push_back({t[0] / 24.0, t[1] / 24.0, t[2] / 24.0});
    }
    constexpr int kReach = 12;
    std::optional<Vec3> best;
    double bestInPlane = 0;
    for (const std::array<double, 3>& o : offsets) {
        for (int i = -kReach; i <= kReach; ++i) {
            for (int j = -kReach; j <= kReach; ++j) {
                for (int k = -kReach; k <= kReach; ++k) {
                    const Vec3 t = add(add(scaled(i + o[0], cell[0]), scaled(j + o[1], cell[1])),
                                       scaled(k + o[2], cell[2]));
                    if (std::fabs(dot(t, normal) - spacing) > 1e-6 * spacing) {
                        continue;
                    }
                    const double inPlane = length(add(t, scaled(-spacing, normal)));
                    if (!best || inPlane < bestInPlane) {
                        best = t;
                        bestInPlane = inPlane;
                    }
                }
            }
        }
    }
    return best;
}

double wrapped(double x) {
    x -= std::floor(x);
    return x >= 1 - 1e-9 ? 0 : x;
}

}  // namespace

std::string AtomLayer::composition() const {
    std::map<std::string, int> counts;
    std::vector<std::string> order;
    for (const LayerAtom& atom : atoms) {
        if (counts[atom.element]++ == 0) {
            order.push_back(atom.element);
        }
    }
    std::string text;
    for (const std::string& element : order) {
        text += text.empty() ? "" : " ";
        text += counts[element] == 1 ? element : fmt::format("{}{}", element, counts[element]);
    }
    return text;
}

PlaneLayers planeLayers(const CrystalAtoms& crystal, std::array<int, 3> hkl) {
    PlaneLayers plane;
    plane.mesh = crystal::surfaceMesh(crystal.bulk, hkl);
    plane.name = crystal::meshName(crystal.bulk, plane.mesh);
    plane.period = plane.mesh.spacing;
    const Vec3 normal = normalised(cross(plane.mesh.v1, plane.mesh.v2));
    const std::optional<Vec3> up = periodVector(crystal.bulk, normal, plane.period);
    if (!up) {
        throw std::invalid_argument(
            fmt::format("{}: no lattice vector one plane spacing up was found; the plane's "
                        "indices are too large",
                        plane.name));
    }
    // Fractions of the primitive cell (v1, v2, up): wrapped into it, the copies the centring
    // made of one atom fall on one another.
    const Mat3 toPrimitive = inverse(columns(plane.mesh.v1, plane.mesh.v2, *up));
    const Vec3 upFractions = product(toPrimitive, add(*up, scaled(-plane.period, normal)));
    plane.periodShift = {upFractions[0], upFractions[1]};
    const std::array<Vec3, 3> cell = crystal::cellVectors(crystal.bulk);
    std::vector<std::pair<std::string, Vec3>> primitive;
    for (const CellAtom& atom : crystal.atoms) {
        const Vec3 r =
            add(add(scaled(atom.fraction[0], cell[0]), scaled(atom.fraction[1], cell[1])),
                scaled(atom.fraction[2], cell[2]));
        Vec3 f = product(toPrimitive, r);
        for (double& x : f) {
            x = wrapped(x);
        }
        const bool seen = std::ranges::any_of(primitive, [&](const auto& other) {
            return other.first == atom.element &&
                   std::fabs(wrapped(other.second[0] - f[0] + 0.5) - 0.5) < 1e-6 &&
                   std::fabs(wrapped(other.second[1] - f[1] + 0.5) - 0.5) < 1e-6 &&
                   std::fabs(wrapped(other.second[2] - f[2] + 0.5) - 0.5) < 1e-6;
        });
        if (!seen) {
            primitive.emplace_back(atom.element, f);
        }
    }
    // An atom at fraction w of the period vector lies w·period high and is shifted in the
    // plane by w times the vector's in-plane part.
    std::vector<LayerAtom> atoms;
    for (const auto& [element, f] : primitive) {
        atoms.push_back({element, wrapped(f[0] + f[2] * upFractions[0]),
                         wrapped(f[1] + f[2] * upFractions[1]), f[2] * plane.period});
    }
    std::ranges::stable_sort(
        atoms, [](const LayerAtom& p, const LayerAtom& q) { return p.height > q.height; });
    for (const LayerAtom& atom : atoms) {
        if (plane.layers.empty() ||
            plane.layers.back().atoms.back().height - atom.height > kLayerTolerance) {
            plane.layers.emplace_back();
        }
        plane.layers.back().atoms.push_back(atom);
    }
    // An atom just below the period's top (rounding) belongs with the layer at 0.
    if (plane.layers.size() > 1 && plane.layers.front().atoms.front().height + kLayerTolerance >
                                       plane.period + plane.layers.back().atoms.back().height) {
        for (LayerAtom atom : plane.layers.front().atoms) {
            atom.height -= plane.period;
            atom.u = wrapped(atom.u - plane.periodShift[0]);
            atom.v = wrapped(atom.v - plane.periodShift[1]);
            plane.layers.back().atoms.push_back(atom);
        }
        plane.layers.erase(plane.layers.begin());
    }
    return plane;
}

}  // namespace lamivex::model
