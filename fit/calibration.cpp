#include "fit/calibration.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>

#include <fmt/format.h>

#include "fit/least_squares.h"
#include "fit/point_grid.h"

namespace lamivex::fit {
namespace {

using views::Vec2;

// A spot within this fraction of the shortest substrate order of its predicted place
// indexes as that order while the calibration is still rough.
constexpr double kRoughTolerance = 0.05;
// Once refined, an order is found within this fraction of the shortest order.
constexpr double kTightTolerance = 0.025;
// Seeds are taken from all candidates: in a dense pattern the substrate's first orders lie
// outside most overlayer spots.
constexpr std::size_t kSeedSpots = 600;
constexpr double kMinimumCoverage = 0.5;
constexpr double kMinimumMirrorShare = 0.6;

struct Hypothesis {
    Calibration calibration;
    std::vector<SpotIndex> indexed;
    std::size_t distinct = 0;
    double scale = 0;
};

// Substrate vectors up to twice the shortest: the orders a seed spot may be.
std::vector<Vec2> shortOrders(const views::Basis2& reciprocal) {
    const views::Basis2 r = views::reduced(reciprocal);
    const double shortest = r.v1.length();
    std::vector<Vec2> orders;
    for (int h = -3; h <= 3; ++h) {
        for (int k = -3; k <= 3; ++k) {
            const Vec2 g = reciprocal.at(h, k);
            if ((h != 0 || k != 0) && g.length() <= 2.01 * shortest) {
                orders.push_back(g);
            }
        }
    }
    return orders;
}

// Indexes the candidates with a calibration; counts the distinct orders found and those
// expected within radius (screen units).
Hypothesis indexWith(const Calibration& c, std::span<const Vec2> screen,
                     std::span<const std::size_t> candidates, const views::Basis2& reciprocal,
                     double shortest, double tolerance) {
    Hypothesis h{c, {}, 0, c.scale()};
    const views::Basis2 r = views::reduced(reciprocal);
    std::unordered_map<std::int64_t, bool> seen;
    for (const std::size_t i : candidates) {
        const Vec2 g = c.toReciprocal(screen[i]);
        const Vec2 order = views::nearestLatticePoint(r, g);
        if ((g - order).length() > tolerance * shortest || order.length() < 0.5 * shortest) {
            continue;
        }
        const Vec2 hk = reciprocal.coordinates(order);
        const int hh = static_cast<int>(std::lround(hk.x));
        const int kk = static_cast<int>(std::lround(hk.y));
        h.indexed.push_back({i, -1, hh, kk});
        seen[(static_cast<std::int64_t>(hh) << 32) ^ static_cast<std::uint32_t>(kk)] = true;
    }
    h.distinct = seen.size();
    return h;
}

std::size_t expectedOrders(const views::Basis2& reciprocal, double radius) {
    const views::Basis2 r = views::reduced(reciprocal);
    const int reach = static_cast<int>(std::ceil(radius / r.v1.length() * 1.2)) + 2;
    std::size_t count = 0;
    for (int h = -reach; h <= reach; ++h) {
        for (int k = -reach; k <= reach; ++k) {
            const double length = r.at(h, k).length();
            if ((h != 0 || k != 0) && length <= radius) {
                ++count;
            }
        }
    }
    return count;
}

// The share of all spots whose mirror image across the substrate's mirror line (as the
// hypothesis puts it on the screen) is a spot too.
double mirrorShare(const Calibration& c, std::span<const Vec2> screen, const PointGrid& grid,
                   const views::PointGroup& group, double tolerance) {
    if (!group.mirrorLine) {
        return 1;
    }
    const views::PlaneMap flip = views::mirror(*group.mirrorLine);
    std::size_t kept = 0;
    for (const Vec2& p : screen) {
        const Vec2 image = c.toScreen(flip(c.toReciprocal(p)));
        if (grid.nearest(image, tolerance)) {
            ++kept;
        }
    }
    return static_cast<double>(kept) / static_cast<double>(screen.size());
}

double rms(const std::vector<double>& residuals) {
    double sum = 0;
    for (const double r : residuals) {
        sum += r * r;
    }
    return residuals.empty() ? 0 : std::sqrt(2 * sum / static_cast<double>(residuals.size()));
}

struct Refined {
    Calibration calibration;
    double rmsScreen = 0;
};

// The least-squares calibration on the indexed orders, from start.
Refined refine(const PatternModel& model, const Calibration& start, std::span<const Vec2> screen,
               const std::vector<SpotIndex>& indexed) {
    const std::vector<double> p = model.pack(start, std::nullopt);
    const ResidualFunction f = [&](std::span<const double> q, std::vector<double>& r) {
        model.residuals(q, screen, indexed, r);
    };
    const LeastSquaresResult fit = levenbergMarquardt(f, p, model.steps(p));
    std::vector<double> r;
    model.residuals(fit.parameters, screen, indexed, r);
    return {model.calibrationOf(fit.parameters), rms(r)};
}

}  // namespace

double typicalSpacing(std::span<const Vec2> points) {
    std::vector<double> nearest;
    for (std::size_t i = 0; i < points.size(); ++i) {
        double best = INFINITY;
        for (std::size_t j = 0; j < points.size(); ++j) {
            const double d = (points[i] - points[j]).length();
            if (j != i && d > 0) {
                best = std::min(best, d);
            }
        }
        if (std::isfinite(best)) {
            nearest.push_back(best);
        }
    }
    if (nearest.empty()) {
        return 0;
    }
    std::nth_element(nearest.begin(), nearest.begin() + nearest.size() / 2, nearest.end());
    return nearest[nearest.size() / 2];
}

std::optional<Vec2> inversionCentre(std::span<const Vec2> points, std::size_t minimumPairs) {
    const double spacing = typicalSpacing(points);
    if (points.size() < 4 || !(spacing > 0)) {
        return std::nullopt;
    }
    // Vote with every pair's midpoint in cells of a tenth of the spacing; the true centre
    // collects the pairs of the whole pattern, a half-lattice point only of one lattice.
    const double cell = 0.1 * spacing;
    std::unordered_map<std::int64_t, std::size_t> votes;
    const auto key = [cell](Vec2 m) {
        const auto ix = static_cast<std::int64_t>(std::floor(m.x / cell));
        const auto iy = static_cast<std::int64_t>(std::floor(m.y / cell));
        return (ix << 32) ^ (iy & 0xffffffff);
    };
    for (std::size_t i = 0; i < points.size(); ++i) {
        for (std::size_t j = i + 1; j < points.size(); ++j) {
            ++votes[key(0.5 * (points[i] + points[j]))];
        }
    }
    std::int64_t bestKey = 0;
    std::size_t bestVotes = 0;
    for (const auto& [k, v] : votes) {
        std::size_t around = 0;
        const std::int64_t ix = k >> 32;
        const auto iy = static_cast<std::int32_t>(k & 0xffffffff);
        for (int dx = -1; dx <= 1; ++dx) {
            for (int dy = -1; dy <= 1; ++dy) {
                const auto it = votes.find(((ix + dx) << 32) ^ ((iy + dy) & 0xffffffff));
                if (it != votes.end()) {
                    around += it->second;
                }
            }
        }
        if (around > bestVotes) {
            bestVotes = around;
            bestKey = k;
        }
    }
    Vec2 centre{
        (static_cast<double>(bestKey >> 32) + 0.5) * cell,
        (static_cast<double>(static_cast<std::int32_t>(bestKey & 0xffffffff)) + 0.5) * cell};
    // Refine: the mean midpoint of the pairs near it, twice, narrowing.
    std::size_t pairs = 0;
    for (const double reach : {2 * cell, cell}) {
        Vec2 sum;
        pairs = 0;
        for (std::size_t i = 0; i < points.size(); ++i) {
            for (std::size_t j = i + 1; j < points.size(); ++j) {
                const Vec2 m = 0.5 * (points[i] + points[j]);
                if ((m - centre).length() <= reach) {
                    sum = sum + m;
                    ++pairs;
                }
            }
        }
        if (pairs == 0) {
            return std::nullopt;
        }
        centre = (1.0 / static_cast<double>(pairs)) * sum;
    }
    if (pairs < minimumPairs) {
        return std::nullopt;
    }
    return centre;
}

SubstrateCalibration calibrate(std::span<const Vec2> screen,
                               std::span<const std::size_t> candidates,
                               const engine::SubstrateCell& substrate,
                               const CalibrationSettings& settings) {
    const views::Basis2 realBasis = views::substrateBasis(substrate);
    const views::Basis2 reciprocal = realBasis.reciprocal();
    const views::PointGroup group = views::pointGroupOf(realBasis);
    const double shortest = views::reduced(reciprocal).v1.length();
    const std::vector<Vec2> orders = shortOrders(reciprocal);
    const Vec2 centre = settings.centre.value_or(settings.centreGuess);
    const PointGrid allSpots(screen, typicalSpacing(screen));

    // Seeds: the candidates, nearest the centre first, each taken for each short order.
    std::vector<std::size_t> seeds(candidates.begin(), candidates.end());
    std::sort(seeds.begin(), seeds.end(), [&](std::size_t a, std::size_t b) {
        return (screen[a] - centre).length() < (screen[b] - centre).length();
    });
    double radius = 0;
    for (const std::size_t i : candidates) {
        radius = std::max(radius, (screen[i] - centre).length());
    }

    // Each hypothesis is refined on the orders it indexes roughly and judged by the orders it
    // then indexes within a tight tolerance: a lattice that is right finds its orders close
    // to their places, one that only brushes past the spots of a dense pattern does not.
    const PatternModel similarity(substrate, settings.centre, false, {});
    std::optional<Hypothesis> best;
    std::size_t tried = 0;
    for (const std::size_t seed : seeds) {
        const Vec2 q = screen[seed] - centre;
        if (q.length() < 1e-9 * std::max(1.0, radius)) {
            continue;
        }
        if (++tried > kSeedSpots) {
            break;
        }
        for (const Vec2& g : orders) {
            const double s = q.length() / g.length();
            const double turn = std::atan2(q.y, q.x) - std::atan2(g.y, g.x);
            Calibration c{centre, views::rotation(turn)};
            c.map = {s * c.map.xx, s * c.map.xy, s * c.map.yx, s * c.map.yy};
            const Hypothesis rough =
                indexWith(c, screen, candidates, reciprocal, shortest, kRoughTolerance);
            if (rough.distinct < 3 || (best && rough.distinct + 2 < best->distinct)) {
                continue;
            }
            const Calibration refined = refine(similarity, c, screen, rough.indexed).calibration;
            Hypothesis h =
                indexWith(refined, screen, candidates, reciprocal, shortest, kTightTolerance);
            const bool better = !best || h.distinct > best->distinct ||
                                (h.distinct == best->distinct && h.scale > best->scale * 1.01);
            if (h.distinct < 3 || !better) {
                continue;
            }
            double reach = radius / h.scale * (1 + kTightTolerance);
            if (settings.k0) {
                reach = std::min(reach, *settings.k0);
            }
            const std::size_t expected = expectedOrders(reciprocal, reach);
            if (static_cast<double>(h.distinct) <
                kMinimumCoverage * static_cast<double>(expected)) {
                continue;
            }
            if (settings.requireMirrorSymmetry &&
                mirrorShare(refined, screen, allSpots, group,
                            kTightTolerance * shortest * h.scale) < kMinimumMirrorShare) {
                continue;
            }
            best = std::move(h);
        }
    }
    if (!best) {
        throw FitError(fmt::format(
            "No cell found: no spots index as orders of the substrate (a1 = {} Å, a2 = {} Å, "
            "alpha = {}°) at any scale and rotation; check the substrate, or mark its spots "
            "with the kind substrate",
            substrate.a1, substrate.a2, substrate.alpha));
    }

    // Refine on the indexed orders, re-index with a tolerance from the residual, refine again.
    const PatternModel model(substrate, settings.centre, settings.affine, {});
    const std::size_t needed = settings.affine ? 4 : 3;
    SubstrateCalibration out{best->calibration, best->indexed, 0};
    double tolerance = kRoughTolerance;
    for (int round = 0; round < 3; ++round) {
        if (out.indexed.size() < needed) {
            throw FitError(fmt::format(
                "Too few substrate spots: {} index as substrate orders, the calibration needs "
                "at least {}",
                out.indexed.size(), needed));
        }
        const Refined r = refine(model, out.calibration, screen, out.indexed);
        out.calibration = r.calibration;
        out.rmsScreen = r.rmsScreen;
        // Five times the scatter, no tighter than 1 % and no looser than the rough 5 %.
        tolerance = std::clamp(5 * out.rmsScreen / (out.calibration.scale() * shortest), 0.01,
                               kRoughTolerance);
        out.indexed =
            indexWith(out.calibration, screen, candidates, reciprocal, shortest, tolerance).indexed;
    }
    return out;
}

}  // namespace lamivex::fit
