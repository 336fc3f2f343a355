#include "fit/lattice_search.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <unordered_map>

#include "fit/pattern_model.h"
#include "fit/point_grid.h"
#include "numbers/constants.h"
#include "views/leed.h"

namespace lamivex::fit {
namespace {

using views::Basis2;
using views::Vec2;

// How many of the most frequent short vectors are paired into candidate bases.
constexpr std::size_t kCandidateVectors = 40;
// A candidate that would predict more spots than this is too fine to be the answer.
constexpr double kMostPredicted = 30000;
constexpr double kMissingWeight = 0.5;
constexpr std::size_t kRefinedCandidates = 30;
// A cell built from a few noisy spot differences merges its domains loosely.
constexpr double kCandidateDomainTolerance = 0.03;

std::int64_t cellKey(Vec2 v, double cell) {
    const auto ix = static_cast<std::int64_t>(std::floor(v.x / cell));
    const auto iy = static_cast<std::int64_t>(std::floor(v.y / cell));
    return (ix << 32) ^ (iy & 0xffffffff);
}

struct VectorVote {
    Vec2 sum;
    std::size_t count = 0;
    [[nodiscard]] Vec2 mean() const { return (1.0 / static_cast<double>(count)) * sum; }
};

// The spots and their differences, with v and −v counted together, grouped in cells of the
// tolerance; the most frequent first.
std::vector<Vec2> frequentVectors(std::span<const Vec2> spots, double tolerance) {
    // Cells of half the tolerance, each counted with its neighbours: a cluster split by a
    // cell's edge counts whole, two clusters a few tolerances apart stay apart.
    const double cellSize = 0.5 * tolerance;
    std::unordered_map<std::int64_t, VectorVote> votes;
    const auto vote = [&](Vec2 v) {
        if (v.length() < 3 * tolerance) {
            return;
        }
        if (v.x < 0 || (v.x == 0 && v.y < 0)) {
            v = -1.0 * v;
        }
        VectorVote& cell = votes[cellKey(v, cellSize)];
        cell.sum = cell.sum + v;
        ++cell.count;
    };
    for (std::size_t i = 0; i < spots.size(); ++i) {
        vote(spots[i]);
        for (std::size_t j = i + 1; j < spots.size(); ++j) {
            vote(spots[j] - spots[i]);
        }
    }
    std::vector<VectorVote> ranked;
    ranked.reserve(votes.size());
    for (const auto& [key, v] : votes) {
        const std::int64_t ix = key >> 32;
        const auto iy = static_cast<std::int32_t>(key & 0xffffffff);
        VectorVote around;
        for (int dx = -1; dx <= 1; ++dx) {
            for (int dy = -1; dy <= 1; ++dy) {
                const auto it = votes.find(((ix + dx) << 32) ^ ((iy + dy) & 0xffffffff));
                if (it != votes.end()) {
                    around.sum = around.sum + it->second.sum;
                    around.count += it->second.count;
                }
            }
        }
        ranked.push_back(around);
    }
    std::sort(ranked.begin(), ranked.end(), [](const VectorVote& a, const VectorVote& b) {
        if (a.count != b.count) {
            return a.count > b.count;
        }
        return a.mean().length() < b.mean().length();
    });
    std::vector<Vec2> chosen;
    for (const VectorVote& v : ranked) {
        const Vec2 m = v.mean();
        const bool near = std::any_of(chosen.begin(), chosen.end(), [&](Vec2 c) {
            return (c - m).length() < 1.5 * tolerance || (c + m).length() < 1.5 * tolerance;
        });
        if (!near) {
            chosen.push_back(m);
        }
        if (chosen.size() == kCandidateVectors) {
            break;
        }
    }
    return chosen;
}

Vec2 rounded(Vec2 v) {
    return {std::round(v.x), std::round(v.y)};
}

}  // namespace

double azimuthOf(const Basis2& real) {
    return std::atan2(real.v1.y, real.v1.x) / numbers::kDegree;
}

double betaOf(const Basis2& real) {
    return std::atan2(views::cross(real.v1, real.v2), views::dot(real.v1, real.v2)) /
           numbers::kDegree;
}

std::vector<views::Domain> fitDomains(const Basis2& real, const SearchSettings& settings,
                                      double tolerance) {
    const Basis2 substrate = views::substrateBasis(settings.substrate);
    if (!settings.allDomains) {
        return {{0, false, real, views::matrixOf(substrate, real)}};
    }
    std::vector<views::Domain> merged;
    for (const views::Domain& d : views::domainsOf(substrate, real, settings.mirrors)) {
        const bool known = std::any_of(merged.begin(), merged.end(), [&](const views::Domain& m) {
            return views::sameLattice(m.overlayer, d.overlayer, tolerance);
        });
        if (!known) {
            merged.push_back(d);
        }
    }
    return merged;
}

namespace {

// The reciprocal basis of the first domain that fits the indexed spots best: each spot taken
// back through its domain's map is h·g1 + k·g2 (a linear least squares, x and y apart).
std::optional<Basis2> refinedReciprocal(const std::vector<DomainIndex>& indexed,
                                        std::span<const Vec2> spots,
                                        const std::vector<views::PlaneMap>& maps) {
    double hh = 0, hk = 0, kk = 0;
    Vec2 hu, ku;
    for (const DomainIndex& i : indexed) {
        const views::PlaneMap& m = maps[static_cast<std::size_t>(i.domain)];
        // The inverse of a rotation or mirror is its transpose.
        const views::PlaneMap back{m.xx, m.yx, m.xy, m.yy};
        const Vec2 u = back(spots[i.spot]);
        hh += i.h * i.h;
        hk += i.h * i.k;
        kk += i.k * i.k;
        hu = hu + static_cast<double>(i.h) * u;
        ku = ku + static_cast<double>(i.k) * u;
    }
    const double det = hh * kk - hk * hk;
    if (indexed.size() < 3 || !(std::fabs(det) > 1e-9 * (hh * kk + 1))) {
        return std::nullopt;
    }
    return Basis2{(1 / det) * (kk * hu - hk * ku), (1 / det) * (hh * ku - hk * hu)};
}

}  // namespace

LatticeCandidate judgeLattice(const Basis2& real, std::span<const Vec2> spots,
                              std::span<const Vec2> allSpots, const SearchSettings& settings,
                              int passes) {
    LatticeCandidate c;
    c.domains = fitDomains(real, settings, kCandidateDomainTolerance);
    const views::PointGroup group = views::pointGroupOf(views::substrateBasis(settings.substrate));
    std::vector<views::PlaneMap> maps;
    for (const views::Domain& d : c.domains) {
        maps.push_back(domainMap(d, group));
    }
    Basis2 first = real.reciprocal();
    const double area = first.area();
    const double circle = std::numbers::pi * settings.radius * settings.radius;
    if (static_cast<double>(c.domains.size()) * circle / area > kMostPredicted) {
        c.score = -INFINITY;
        return c;
    }

    // Index, refine the cell on the spots indexed, index again: a cell built from a few
    // noisy differences drifts off the far spots.
    std::vector<Basis2> reciprocal;
    double tolerance = 0;
    for (int pass = 0; pass < passes; ++pass) {
        reciprocal.clear();
        std::vector<Basis2> reducedReciprocal;
        double shortest = INFINITY;
        for (const views::PlaneMap& m : maps) {
            reciprocal.push_back(views::mapped(first, m));
            reducedReciprocal.push_back(views::reduced(reciprocal.back()));
            shortest = std::min(shortest, reducedReciprocal.back().v1.length());
        }
        tolerance = std::min(settings.tolerance * (pass == 0 ? 2 : 1), 0.25 * shortest);
        c.indexed.clear();
        for (std::size_t i = 0; i < spots.size(); ++i) {
            std::optional<DomainIndex> best;
            for (std::size_t d = 0; d < reciprocal.size(); ++d) {
                const Vec2 point = views::nearestLatticePoint(reducedReciprocal[d], spots[i]);
                const double distance = (point - spots[i]).length();
                if (distance > tolerance || point.length() < 0.5 * shortest ||
                    (best && distance >= best->distance)) {
                    continue;
                }
                const Vec2 hk = rounded(reciprocal[d].coordinates(point));
                best = DomainIndex{i, static_cast<int>(d), static_cast<int>(hk.x),
                                   static_cast<int>(hk.y), distance};
            }
            if (best) {
                c.indexed.push_back(*best);
            }
        }
        if (pass + 1 == passes) {
            break;
        }
        const std::optional<Basis2> refined = refinedReciprocal(c.indexed, spots, maps);
        if (!refined || refined->area() < 0.5 * area || refined->area() > 2 * area) {
            break;
        }
        first = *refined;
    }
    for (std::size_t d = 0; d < c.domains.size(); ++d) {
        c.domains[d].overlayer = views::mapped(first.reciprocal(), maps[d]);
    }
    double shortest = INFINITY;
    for (const Basis2& r : reciprocal) {
        shortest = std::min(shortest, views::reduced(r).v1.length());
    }

    // The expected positions: every domain's spots within the radius but (0,0), each place
    // once. A place on a substrate order counts as seen when any spot lies there, so that a
    // cell whose spots mostly fall on substrate orders is not excused the ones it lacks.
    const PointGrid seen(allSpots, tolerance);
    std::vector<Vec2> placed;
    std::unordered_map<std::int64_t, std::vector<std::size_t>> placeCells;
    // A place within the tolerance of one already counted is the same place (the domains of a
    // cell a little off its symmetry give near-copies).
    const auto newPlace = [&](Vec2 g) {
        const auto ix = static_cast<std::int64_t>(std::floor(g.x / tolerance));
        const auto iy = static_cast<std::int64_t>(std::floor(g.y / tolerance));
        for (std::int64_t dx = -1; dx <= 1; ++dx) {
            for (std::int64_t dy = -1; dy <= 1; ++dy) {
                const auto it = placeCells.find(((ix + dx) << 32) ^ ((iy + dy) & 0xffffffff));
                if (it == placeCells.end()) {
                    continue;
                }
                for (const std::size_t i : it->second) {
                    if ((placed[i] - g).length() <= tolerance) {
                        return false;
                    }
                }
            }
        }
        placeCells[(ix << 32) ^ (iy & 0xffffffff)].push_back(placed.size());
        placed.push_back(g);
        return true;
    };
    for (const Basis2& r : reciprocal) {
        for (const views::LatticeSpot& s : views::spotsWithin(r, settings.radius)) {
            if (s.g.length() < 0.5 * shortest) {
                continue;
            }
            if (!newPlace(s.g)) {
                continue;
            }
            ++c.predicted;
            if (seen.nearest(s.g, tolerance)) {
                ++c.found;
            }
        }
    }
    c.score =
        static_cast<double>(c.explained()) - kMissingWeight * static_cast<double>(c.missing());
    return c;
}

std::vector<LatticeCandidate> searchLattices(std::span<const Vec2> spots,
                                             std::span<const Vec2> allSpots,
                                             const SearchSettings& settings) {
    const std::vector<Vec2> vectors = frequentVectors(spots, settings.tolerance);
    std::vector<LatticeCandidate> judged;
    for (std::size_t i = 0; i < vectors.size(); ++i) {
        for (std::size_t j = i + 1; j < vectors.size(); ++j) {
            const Vec2 a = vectors[i];
            const Vec2 b = vectors[j];
            if (std::fabs(views::cross(a, b)) < 0.05 * a.length() * b.length()) {
                continue;
            }
            // The same lattice met through other vectors is judged again: the vectors of one
            // pair are noisier than another's.
            const Basis2 real = views::reduced(Basis2{a, b}).reciprocal();
            LatticeCandidate c = judgeLattice(real, spots, allSpots, settings, 1);
            if (std::isfinite(c.score)) {
                judged.push_back(std::move(c));
            }
        }
    }
    // A first look at every pair with the loose tolerance, then the best judged again with
    // their cells refined.
    std::stable_sort(judged.begin(), judged.end(), betterCandidate);
    if (judged.size() > kRefinedCandidates) {
        judged.resize(kRefinedCandidates);
    }
    for (LatticeCandidate& c : judged) {
        c = judgeLattice(c.domains.front().overlayer, spots, allSpots, settings);
    }
    std::stable_sort(judged.begin(), judged.end(), betterCandidate);
    std::vector<LatticeCandidate> distinct;
    for (LatticeCandidate& c : judged) {
        const Basis2& real = c.domains.front().overlayer;
        const bool known =
            std::any_of(distinct.begin(), distinct.end(), [&](const LatticeCandidate& d) {
                return std::any_of(d.domains.begin(), d.domains.end(), [&](const views::Domain& e) {
                    return views::sameLattice(e.overlayer, real, 0.02);
                });
            });
        if (!known) {
            distinct.push_back(std::move(c));
        }
    }
    return distinct;
}

bool betterCandidate(const LatticeCandidate& a, const LatticeCandidate& b) {
    if (a.score != b.score) {
        return a.score > b.score;
    }
    return a.domains.size() < b.domains.size();
}

Basis2 canonicalCell(const std::vector<views::Domain>& domains) {
    std::optional<Basis2> best;
    double bestKey = INFINITY;
    for (const views::Domain& d : domains) {
        const Basis2 r = views::reduced(d.overlayer);
        const double first = r.v1.length();
        const double second = r.v2.length();
        // Every basis of small whole-number combinations whose lengths are the reduced ones.
        std::vector<Vec2> shortVectors;
        std::vector<Vec2> secondVectors;
        for (int h = -2; h <= 2; ++h) {
            for (int k = -2; k <= 2; ++k) {
                const Vec2 v = r.at(h, k);
                if (v.length() <= 1.01 * first && (h != 0 || k != 0)) {
                    shortVectors.push_back(v);
                }
                if (v.length() <= 1.01 * second && (h != 0 || k != 0)) {
                    secondVectors.push_back(v);
                }
            }
        }
        for (const Vec2& v1 : shortVectors) {
            for (const Vec2& v2 : secondVectors) {
                const Basis2 b{v1, v2};
                // A basis of the lattice (determinant ±1 against the reduced one), turning
                // counter-clockwise.
                const Vec2 u = r.coordinates(v1);
                const Vec2 w = r.coordinates(v2);
                const double det =
                    std::round(u.x) * std::round(w.y) - std::round(u.y) * std::round(w.x);
                if (std::fabs(det) != 1 || views::cross(v1, v2) <= 0) {
                    continue;
                }
                double azimuth = std::fmod(azimuthOf(b), 180.0);
                if (azimuth < 0) {
                    azimuth += 180;
                }
                if (azimuth > 180 - 1e-9) {
                    azimuth -= 180;
                }
                const double key = (betaOf(b) > 90.5 ? 1000 : 0) + azimuth;
                if (key < bestKey) {
                    bestKey = key;
                    best =
                        azimuthOf(b) < 0 || azimuthOf(b) >= 180 ? Basis2{-1.0 * v1, -1.0 * v2} : b;
                }
            }
        }
    }
    return best.value_or(domains.front().overlayer);
}

}  // namespace lamivex::fit
