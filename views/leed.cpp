#include "views/leed.h"

#include <cmath>
#include <numbers>
#include <set>
#include <stdexcept>
#include <utility>

#include <fmt/format.h>

namespace lamivex::views {
namespace {

// CODATA 2018, SI.
constexpr double kElectronMass = 9.1093837015e-31;     // kg
constexpr double kElementaryCharge = 1.602176634e-19;  // C
constexpr double kReducedPlanck = 1.054571817e-34;     // J s
constexpr double kPerMetreToPerAngstrom = 1e-10;

// A spot on the circle belongs to the pattern whatever the rounding of its length.
constexpr double kEdgeTolerance = 1e-12;

}  // namespace

double electronWaveVector(double energyEv) {
    return std::sqrt(2 * kElectronMass * kElementaryCharge * energyEv) / kReducedPlanck *
           kPerMetreToPerAngstrom;
}

const char* sourceName(SpotSource source) {
    switch (source) {
        case SpotSource::Substrate:
            return "substrate";
        case SpotSource::Overlayer:
            return "overlayer";
        case SpotSource::Multiple:
            return "multiple";
    }
    return "substrate";
}

std::vector<LatticeSpot> spotsWithin(const Basis2& reciprocal, double k0) {
    // h = G · v1 / 2π with v1 the real-space vector, so |h| ≤ k0 |v1| / 2π: the real-space
    // lengths are 2π / (the heights of the reciprocal cell).
    const double area = reciprocal.area();
    const int hMax = static_cast<int>(std::floor(k0 * reciprocal.v2.length() / area + 1e-9));
    const int kMax = static_cast<int>(std::floor(k0 * reciprocal.v1.length() / area + 1e-9));
    std::vector<LatticeSpot> spots;
    const double limit = k0 * (1 + kEdgeTolerance);
    for (int h = -hMax; h <= hMax; ++h) {
        for (int k = -kMax; k <= kMax; ++k) {
            const Vec2 g = reciprocal.at(h, k);
            if (g.length() <= limit) {
                spots.push_back({h, k, g});
            }
        }
    }
    return spots;
}

LeedPattern leedPattern(const Basis2& substrate, const Basis2& overlayer,
                        const LeedOptions& options) {
    if (!(options.energyEv > 0) || !std::isfinite(options.energyEv)) {
        throw std::invalid_argument(fmt::format(
            "The electron energy must be greater than 0 eV (it is {}).", options.energyEv));
    }
    LeedPattern pattern;
    pattern.energyEv = options.energyEv;
    pattern.k0 = electronWaveVector(options.energyEv);
    pattern.group = pointGroupOf(substrate);
    if (options.allDomains) {
        pattern.domains = domainsOf(substrate, overlayer, options.mirrors);
    } else {
        pattern.domains = {{0, false, overlayer, matrixOf(substrate, overlayer)}};
    }

    // Count before storing: a large overlayer cell at a high energy has millions of spots.
    const double k0 = pattern.k0;
    const double circle = std::numbers::pi * k0 * k0;
    const double expected =
        circle / substrate.reciprocal().area() +
        static_cast<double>(pattern.domains.size()) * circle / overlayer.reciprocal().area();
    if (expected > static_cast<double>(kMaxSpots)) {
        throw std::invalid_argument(fmt::format(
            "At {} eV the pattern would have about {:.0f} spots, more than {} can be drawn: "
            "choose a lower energy.",
            options.energyEv, expected, kMaxSpots));
    }

    const std::vector<LatticeSpot> substrateSpots = spotsWithin(substrate.reciprocal(), k0);
    for (const LatticeSpot& s : substrateSpots) {
        pattern.spots.push_back({SpotSource::Substrate, -1, s.h, s.k, 0, 0, s.g});
    }
    std::vector<std::vector<LatticeSpot>> overlayerSpots;
    for (std::size_t d = 0; d < pattern.domains.size(); ++d) {
        overlayerSpots.push_back(spotsWithin(pattern.domains[d].overlayer.reciprocal(), k0));
        for (const LatticeSpot& s : overlayerSpots.back()) {
            pattern.spots.push_back(
                {SpotSource::Overlayer, static_cast<int>(d), s.h, s.k, 0, 0, s.g});
        }
    }
    if (!options.multipleScattering) {
        return pattern;
    }
    // Double diffraction between beams that leave the surface: G_s + G_o of two spots on the
    // screen, where it lands on the screen and is not already a spot of the substrate or of
    // that domain.
    const double limit = k0 * (1 + kEdgeTolerance);
    for (std::size_t d = 0; d < overlayerSpots.size(); ++d) {
        const Basis2 reciprocal = pattern.domains[d].overlayer.reciprocal();
        const Basis2 substrateReciprocal = substrate.reciprocal();
        std::set<std::pair<long long, long long>> found;
        for (const LatticeSpot& s : substrateSpots) {
            if (s.h == 0 && s.k == 0) {
                continue;
            }
            for (const LatticeSpot& o : overlayerSpots[d]) {
                if (o.h == 0 && o.k == 0) {
                    continue;
                }
                const Vec2 g = s.g + o.g;
                if (g.length() > limit) {
                    continue;
                }
                // On the overlayer's or the substrate's own lattice: a spot already shown.
                const Vec2 onOverlayer = reciprocal.coordinates(g);
                const Vec2 onSubstrate = substrateReciprocal.coordinates(g);
                const auto whole = [](Vec2 c) {
                    return std::fabs(c.x - std::round(c.x)) < 1e-6 &&
                           std::fabs(c.y - std::round(c.y)) < 1e-6;
                };
                if (whole(onOverlayer) || whole(onSubstrate)) {
                    continue;
                }
                // Positions to a hundred-millionth of k0: the same spot reached twice.
                const std::pair<long long, long long> key{std::llround(g.x / (1e-8 * k0)),
                                                          std::llround(g.y / (1e-8 * k0))};
                if (!found.insert(key).second) {
                    continue;
                }
                if (pattern.spots.size() >= kMaxSpots) {
                    throw std::invalid_argument(fmt::format(
                        "At {} eV double diffraction gives more than {} spots: choose a lower "
                        "energy.",
                        options.energyEv, kMaxSpots));
                }
                pattern.spots.push_back(
                    {SpotSource::Multiple, static_cast<int>(d), o.h, o.k, s.h, s.k, g});
            }
        }
    }
    return pattern;
}

}  // namespace lamivex::views
