#include "model/structure_model.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <set>
#include <stdexcept>

#include <fmt/format.h>

#include "model/element_radii.h"

namespace lamivex::model {
namespace {

constexpr double kDegree = std::numbers::pi / 180;

[[noreturn]] void refuse(const std::string& message) {
    throw std::invalid_argument(message);
}

double wrapped(double x) {
    x -= std::floor(x);
    return x >= 1 - 1e-9 ? 0 : x;
}

// A value as the description prints it: rounding's −0.000000 is 0.
double shown(double x) {
    return std::fabs(x) < 5e-7 ? 0.0 : x;
}

std::int64_t positiveModulo(std::int64_t x, std::int64_t d) {
    return ((x % d) + d) % d;
}

void checkSettings(const BuildSettings& s, std::size_t layersInPeriod) {
    if (s.layers < 1 || s.layers > 1000) {
        refuse(fmt::format("the slab needs 1 to 1000 layers, not {}", s.layers));
    }
    if (!(s.vacuum >= 0) || s.vacuum > 1e4) {
        refuse(fmt::format("the vacuum must be 0 to 10000 Angstroms, not {:g}", s.vacuum));
    }
    if (s.height && !(*s.height > 0 && *s.height < 1e3)) {
        refuse(fmt::format("the height must be above 0 and below 1000 Angstroms, not {:g}",
                           *s.height));
    }
    if (s.termination < 1 || static_cast<std::size_t>(s.termination) > layersInPeriod) {
        refuse(fmt::format("the plane has {} termination{}: choose 1{}, not {}", layersInPeriod,
                           layersInPeriod == 1 ? "" : "s",
                           layersInPeriod == 1 ? "" : fmt::format(" to {}", layersInPeriod),
                           s.termination));
    }
    if (s.fixLayers < 0 || s.fixLayers > s.layers) {
        refuse(fmt::format("the fixed layers must be 0 to the {} layers of the slab, not {}",
                           s.layers, s.fixLayers));
    }
    if (!(s.maxStrainPercent > 0) || !(s.maxAtoms > 0)) {
        refuse("the maximum strain and the maximum number of atoms must be above 0");
    }
}

struct Placed {
    std::string element;
    Vec2 fraction;  // of the cell's a and b
    double z = 0;
    bool substrate = true;
    int layer = 0;
};

// Merges the atoms of one element nearer than the tolerance, and lists the pairs nearer
// than the fraction of their usual distance, each pair at its nearest periodic image.
void mergeAndCheck(StructureModel& model, std::vector<ModelAtom>& atoms) {
    const Vec3& a = model.cell[0];
    const Vec3& b = model.cell[1];
    const double c = model.cell[2][2];
    double largestUsual = 0;
    std::map<std::string, double> radius;
    for (const ModelAtom& atom : atoms) {
        radius.try_emplace(atom.element, covalentRadius(atom.element));
        largestUsual = std::max(largestUsual, 2 * radius[atom.element]);
    }
    const double reach =
        std::max(model.settings.mergeTolerance, model.settings.closeFraction * largestUsual);
    const Mat3 toFraction = inverse(columns(a, b, Vec3{0, 0, c}));
    // Sorted by height, each atom is compared with those less than reach above it.
    std::vector<std::size_t> order(atoms.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        order[k] = k;
    }
    std::ranges::sort(order, {}, [&](std::size_t k) { return atoms[k].position[2]; });
    std::vector<bool> dropped(atoms.size(), false);
    std::vector<std::pair<std::size_t, std::size_t>> close;
    std::vector<double> closeDistance;
    const auto nearest = [&](const Vec3& p, const Vec3& q) {
        Vec3 f = product(toFraction, add(q, scaled(-1, p)));
        for (double& x : f) {
            x -= std::round(x);
        }
        double best = 1e300;
        for (int i = -1; i <= 1; ++i) {
            for (int j = -1; j <= 1; ++j) {
                const Vec3 d =
                    add(scaled(f[0] + i, a), add(scaled(f[1] + j, b), Vec3{0, 0, f[2] * c}));
                best = std::min(best, length(d));
            }
        }
        return best;
    };
    // With less vacuum than the reach, the top atoms also meet the bottom's images above:
    // then every pair is compared.
    const bool acrossVacuum = model.settings.vacuum < reach;
    for (std::size_t s = 0; s < order.size(); ++s) {
        const std::size_t p = order[s];
        for (std::size_t t = s + 1; t < order.size(); ++t) {
            const std::size_t q = order[t];
            if (!acrossVacuum && atoms[q].position[2] - atoms[p].position[2] > reach) {
                break;
            }
            if (dropped[p] || dropped[q]) {
                continue;
            }
            const double distance = nearest(atoms[p].position, atoms[q].position);
            if (atoms[p].element == atoms[q].element && distance < model.settings.mergeTolerance) {
                dropped[q] = true;
                ++model.merged;
                continue;
            }
            const double usual = radius[atoms[p].element] + radius[atoms[q].element];
            if (distance < model.settings.closeFraction * usual) {
                close.emplace_back(std::min(p, q), std::max(p, q));
                closeDistance.push_back(distance);
            }
        }
    }
    std::vector<std::size_t> newIndex(atoms.size(), 0);
    std::vector<ModelAtom> kept;
    for (std::size_t k = 0; k < atoms.size(); ++k) {
        newIndex[k] = kept.size();
        if (!dropped[k]) {
            kept.push_back(atoms[k]);
        }
    }
    for (std::size_t k = 0; k < close.size(); ++k) {
        const auto [p, q] = close[k];
        if (dropped[p] || dropped[q]) {
            continue;
        }
        model.closePairs.push_back({newIndex[p], newIndex[q], closeDistance[k],
                                    radius[atoms[p].element] + radius[atoms[q].element]});
    }
    atoms = std::move(kept);
}

}  // namespace

StructureModel buildModel(const PlaneLayers& substrate, const OverlayerLayer& overlayer,
                          const Coincidence& coincidence, const BuildSettings& settings) {
    if (substrate.layers.empty()) {
        refuse(fmt::format("{} has no atoms to build a slab from", substrate.name));
    }
    if (overlayer.atoms.empty()) {
        refuse(fmt::format("{} has no atoms to put on the substrate", overlayer.name));
    }
    checkSettings(settings, substrate.layers.size());
    const auto [m11, m12, m21, m22] = coincidence.substrateMatrix;
    const std::int64_t D = m11 * m22 - m12 * m21;
    if (D <= 0) {
        refuse(fmt::format("the substrate matrix ({} {}; {} {}) has the determinant {}: {}", m11,
                           m12, m21, m22, D,
                           D == 0 ? "it spans no cell" : "it would turn the overlayer over"));
    }
    const int i = coincidence.b1Multiple;
    const int j = coincidence.b2Multiple;
    if (i < 1 || j < 1) {
        refuse("the overlayer's multiples must be 1 or more");
    }

    StructureModel model;
    model.substrateName = substrate.name;
    model.overlayerName = overlayer.name;
    model.coincidence = coincidence;
    model.settings = settings;
    for (const AtomLayer& layer : substrate.layers) {
        model.terminations.push_back(layer.composition());
    }

    // The two lattices in the surface's frame, a1 along x.
    const crystal::SurfaceMesh& mesh = substrate.mesh;
    const Vec2 a1{mesh.a1, 0};
    const Vec2 a2{mesh.a2 * std::cos(mesh.alpha * kDegree),
                  mesh.a2 * std::sin(mesh.alpha * kDegree)};
    const auto along = [&](std::int64_t p, std::int64_t q) {
        return Vec2{static_cast<double>(p) * a1[0] + static_cast<double>(q) * a2[0],
                    static_cast<double>(p) * a1[1] + static_cast<double>(q) * a2[1]};
    };
    const Vec2 A1 = along(m11, m12);
    const Vec2 A2 = along(m21, m22);
    const double theta = coincidence.azimuth * kDegree;
    const double beta = overlayer.beta * kDegree;
    const Vec2 B1{i * overlayer.b1 * std::cos(theta), i * overlayer.b1 * std::sin(theta)};
    const Vec2 B2{j * overlayer.b2 * std::cos(theta + beta),
                  j * overlayer.b2 * std::sin(theta + beta)};
    model.strain = strainBetween(B1, B2, A1, A2);
    if (model.strain.largestPercent() > settings.maxStrainPercent) {
        refuse(
            fmt::format("the overlayer would be strained by {:.2f} % (principal strains "
                        "{:.2f} % and {:.2f} %), beyond the maximum strain of {:g} %",
                        model.strain.largestPercent(), model.strain.principalPercent[0],
                        model.strain.principalPercent[1], settings.maxStrainPercent));
    }

    // The slab's layers from the top down, each period lower by the period vector.
    const auto L = static_cast<int>(substrate.layers.size());
    std::vector<std::pair<int, std::vector<LayerAtom>>> slab;  // (layer number, atoms)
    std::size_t slabAtoms = 0;
    for (int k = 0; k < settings.layers; ++k) {
        const int index = settings.termination - 1 + k;
        const int down = index / L;
        std::vector<LayerAtom> atoms = substrate.layers[static_cast<std::size_t>(index % L)].atoms;
        for (LayerAtom& atom : atoms) {
            atom.u -= down * substrate.periodShift[0];
            atom.v -= down * substrate.periodShift[1];
            atom.height -= down * substrate.period;
        }
        slabAtoms += atoms.size();
        slab.emplace_back(k + 1, std::move(atoms));
    }
    const double expected =
        static_cast<double>(D) * static_cast<double>(slabAtoms) +
        static_cast<double>(i) * j * static_cast<double>(overlayer.atoms.size());
    if (expected > settings.maxAtoms) {
        refuse(fmt::format("the model would hold {:.0f} atoms, beyond the maximum of {}", expected,
                           settings.maxAtoms));
    }

    // The height: given, or the largest sum of van der Waals radii of an element of the top
    // layer and one of the overlayer's lowest atoms.
    if (settings.height) {
        model.height = *settings.height;
        model.heightSource = "given";
    } else {
        for (const LayerAtom& s : slab.front().second) {
            for (const LayerAtom& o : overlayer.atoms) {
                const double sum = vanDerWaalsRadius(s.element) + vanDerWaalsRadius(o.element);
                if (o.height <= kLayerTolerance && sum > model.height) {
                    model.height = sum;
                    model.heightSource = fmt::format(
                        "the van der Waals radii of {} ({:.2f} A) and {} ({:.2f} A)", s.element,
                        vanDerWaalsRadius(s.element), o.element, vanDerWaalsRadius(o.element));
                }
            }
        }
    }

    // Every substrate translation in the supercell once: (p, q) modulo the supercell's
    // lattice is D·(p, q)·M⁻¹ modulo D, a pair of whole numbers.
    std::set<std::pair<std::int64_t, std::int64_t>> translations;
    const std::int64_t pLow = std::min({std::int64_t{0}, m11, m21, m11 + m21});
    const std::int64_t pHigh = std::max({std::int64_t{0}, m11, m21, m11 + m21});
    const std::int64_t qLow = std::min({std::int64_t{0}, m12, m22, m12 + m22});
    const std::int64_t qHigh = std::max({std::int64_t{0}, m12, m22, m12 + m22});
    for (std::int64_t p = pLow; p <= pHigh && translations.size() < static_cast<std::size_t>(D);
         ++p) {
        for (std::int64_t q = qLow; q <= qHigh; ++q) {
            translations.emplace(positiveModulo(p * m22 - q * m21, D),
                                 positiveModulo(-p * m12 + q * m11, D));
        }
    }
    const double d = static_cast<double>(D);
    std::vector<Placed> placed;
    double lowest = 1e300;
    double top = -1e300;
    for (const auto& [layerNumber, atoms] : slab) {
        for (const LayerAtom& atom : atoms) {
            const double f1 =
                (atom.u * static_cast<double>(m22) - atom.v * static_cast<double>(m21)) / d;
            const double f2 =
                (-atom.u * static_cast<double>(m12) + atom.v * static_cast<double>(m11)) / d;
            for (const auto& [t1, t2] : translations) {
                placed.push_back({atom.element,
                                  {wrapped(f1 + static_cast<double>(t1) / d),
                                   wrapped(f2 + static_cast<double>(t2) / d)},
                                  atom.height,
                                  true,
                                  layerNumber});
            }
            lowest = std::min(lowest, atom.height);
            top = std::max(top, atom.height);
        }
    }
    const double overlayerBase = top + model.height;
    for (int p = 0; p < i; ++p) {
        for (int q = 0; q < j; ++q) {
            for (const LayerAtom& atom : overlayer.atoms) {
                placed.push_back({atom.element,
                                  {wrapped((atom.u + p) / i), wrapped((atom.v + q) / j)},
                                  overlayerBase + atom.height,
                                  false,
                                  0});
            }
        }
    }

    // The cell: a along x, b anticlockwise in the xy plane, c along z above the highest atom.
    const double lengthA = std::hypot(A1[0], A1[1]);
    const double lengthB = std::hypot(A2[0], A2[1]);
    const double gamma = std::atan2(A1[0] * A2[1] - A1[1] * A2[0], A1[0] * A2[0] + A1[1] * A2[1]);
    double highest = lowest;
    for (const Placed& p : placed) {
        highest = std::max(highest, p.z);
    }
    model.cell = {Vec3{lengthA, 0, 0},
                  Vec3{lengthB * std::cos(gamma), lengthB * std::sin(gamma), 0},
                  Vec3{0, 0, highest - lowest + settings.vacuum}};

    // Grouped by element, in the order the elements first appear.
    std::vector<std::string> elements;
    for (const Placed& p : placed) {
        if (std::ranges::find(elements, p.element) == elements.end()) {
            elements.push_back(p.element);
        }
    }
    std::ranges::stable_sort(placed, {}, [&](const Placed& p) {
        return std::ranges::find(elements, p.element) - elements.begin();
    });
    std::vector<ModelAtom> atoms;
    atoms.reserve(placed.size());
    for (const Placed& p : placed) {
        const Vec3 position =
            add(add(scaled(p.fraction[0], model.cell[0]), scaled(p.fraction[1], model.cell[1])),
                Vec3{0, 0, p.z - lowest});
        atoms.push_back({p.element, position, p.substrate, p.layer,
                         p.substrate && p.layer > settings.layers - settings.fixLayers});
    }
    mergeAndCheck(model, atoms);
    model.atoms = std::move(atoms);
    for (const ModelAtom& atom : model.atoms) {
        (atom.substrate ? model.substrateAtoms : model.overlayerAtoms) += 1;
    }
    return model;
}

std::vector<std::string> StructureModel::description() const {
    const auto& m = coincidence.substrateMatrix;
    const double gamma = std::atan2(cell[1][1], cell[1][0]) / kDegree;
    std::vector<std::string> lines;
    lines.push_back(fmt::format("{} on {}", overlayerName, substrateName));
    lines.push_back(fmt::format(
        "cell: substrate matrix ({} {}; {} {}) under {}x{} overlayer cells; a = {:.4f} A, b = "
        "{:.4f} A, gamma = {:.3f} deg, c = {:.4f} A",
        m[0], m[1], m[2], m[3], coincidence.b1Multiple, coincidence.b2Multiple, length(cell[0]),
        length(cell[1]), gamma, cell[2][2]));
    std::string terminationList;
    for (std::size_t k = 0; k < terminations.size(); ++k) {
        terminationList += fmt::format("{}{}: {}", k == 0 ? "" : ", ", k + 1, terminations[k]);
    }
    lines.push_back(fmt::format(
        "substrate: {} layers, termination {} of {} ({}), {} atoms, bottom {} layer{} fixed",
        settings.layers, settings.termination, terminations.size(), terminationList, substrateAtoms,
        settings.fixLayers, settings.fixLayers == 1 ? "" : "s"));
    lines.push_back(fmt::format(
        "overlayer: {} atom{} at {:.3f} A above the top layer ({}), azimuth "
        "{:.3f} deg",
        overlayerAtoms, overlayerAtoms == 1 ? "" : "s", height, heightSource, coincidence.azimuth));
    lines.push_back(fmt::format(
        "strain: principal {:.3f} % and {:.3f} %, area {:+.3f} %, along the cell vectors "
        "{:.3f} % and {:.3f} %, turned {:.3f} deg; tensor (x along a) [[{:.6f}, {:.6f}], [{:.6f}, "
        "{:.6f}]]",
        shown(strain.principalPercent[0]), shown(strain.principalPercent[1]),
        shown(strain.areaPercent), shown(strain.vectorPercent[0]), shown(strain.vectorPercent[1]),
        shown(strain.rotation), shown(strain.tensor[0][0]), shown(strain.tensor[0][1]),
        shown(strain.tensor[1][0]), shown(strain.tensor[1][1])));
    lines.push_back(
        fmt::format("vacuum: {:g} A; {} atoms, {} duplicate{} at the edges merged; "
                    "{} pair{} nearer than {:g} of their covalent radii' sum",
                    settings.vacuum, atoms.size(), merged, merged == 1 ? "" : "s",
                    closePairs.size(), closePairs.size() == 1 ? "" : "s", settings.closeFraction));
    return lines;
}

}  // namespace lamivex::model
