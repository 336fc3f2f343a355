#include "fit/leed_fit.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

#include <fmt/format.h>

#include "fit/calibration.h"
#include "fit/lattice_search.h"
#include "fit/least_squares.h"
#include "views/leed.h"

namespace lamivex::fit {
namespace {

using views::Basis2;
using views::Vec2;

constexpr std::size_t kMinimumSpots = kMinimumSubstrateSpots + kMinimumOverlayerSpots;
constexpr int kAssignmentRounds = 4;
// A cell from the search carries the noise of a few spots: its domains merge more loosely.
constexpr double kSearchDomainTolerance = 0.03;
constexpr std::size_t kAlternatives = 5;
// The domain size the interpretation's registry rule is judged over, the main window's.
constexpr int kInterpretationDomain = 25;

CellParameters cellOf(const Basis2& real) {
    return {real.v1.length(), real.v2.length(), betaOf(real), azimuthOf(real)};
}

// How far a spot may lie from its place: five times the scatter of the indexed spots, no
// tighter than 1 % and no looser than 5 % of the shortest substrate order, and never more
// than a quarter of the shortest overlayer order.
double indexTolerance(double rms, double substrateShortest, double overlayerShortest) {
    return std::min(std::clamp(5 * rms, 0.01 * substrateShortest, 0.05 * substrateShortest),
                    0.25 * overlayerShortest);
}

struct Indexing {
    std::vector<SpotIndex> indices;
    std::vector<double> distance;  // 1/Angstrom, per index
};

// Each spot to the nearest place of the model within tolerance, as its kind allows; (0,0) is
// no spot. A spot on a substrate order is that order even where a commensurate domain has a
// spot too: the calibration's scale rests on those spots.
Indexing indexSpots(const PatternModel& model, std::span<const double> parameters,
                    std::span<const Vec2> screen, std::span<const Spot> spots, double tolerance) {
    const Calibration c = model.calibrationOf(parameters);
    const CellParameters cell = model.cellOf(parameters);
    std::vector<Basis2> bases{model.substrateReciprocal()};
    for (std::size_t d = 0; d < model.domainCount(); ++d) {
        bases.push_back(model.reciprocalOf(static_cast<int>(d), cell));
    }
    std::vector<Basis2> reducedBases;
    for (const Basis2& b : bases) {
        reducedBases.push_back(views::reduced(b));
    }
    Indexing out;
    for (std::size_t i = 0; i < screen.size(); ++i) {
        const Vec2 g = c.toReciprocal(screen[i]);
        std::optional<SpotIndex> best;
        double bestDistance = tolerance;
        for (std::size_t b = 0; b < bases.size(); ++b) {
            const bool substrate = b == 0;
            if ((substrate && spots[i].kind == SpotKind::Overlayer) ||
                (!substrate && spots[i].kind == SpotKind::Substrate)) {
                continue;
            }
            if (best && best->domain < 0) {
                break;
            }
            const Vec2 point = views::nearestLatticePoint(reducedBases[b], g);
            const double distance = (point - g).length();
            if (point.length() < 0.5 * reducedBases[b].v1.length() || distance > bestDistance) {
                continue;
            }
            const Vec2 hk = bases[b].coordinates(point);
            best = SpotIndex{i, static_cast<int>(b) - 1, static_cast<int>(std::lround(hk.x)),
                             static_cast<int>(std::lround(hk.y))};
            bestDistance = distance;
        }
        if (best) {
            out.indices.push_back(*best);
            out.distance.push_back(bestDistance);
        }
    }
    return out;
}

std::size_t countDomain(const std::vector<SpotIndex>& indices, bool substrate) {
    return static_cast<std::size_t>(
        std::count_if(indices.begin(), indices.end(),
                      [substrate](const SpotIndex& s) { return (s.domain < 0) == substrate; }));
}

// True when every vector of fine is a whole-number combination of coarse's (within 2 %).
bool holds(const Basis2& coarse, const Basis2& fine) {
    for (const Vec2 v : {fine.v1, fine.v2}) {
        const Vec2 c = coarse.coordinates(v);
        if (std::fabs(c.x - std::round(c.x)) > 0.02 || std::fabs(c.y - std::round(c.y)) > 0.02) {
            return false;
        }
    }
    return true;
}

// The alternative's area over the fitted cell's when one lattice holds the other, else 0.
double relatedArea(const std::vector<views::Domain>& fitted, const Basis2& alternative) {
    for (const views::Domain& d : fitted) {
        const double ratio = alternative.area() / d.overlayer.area();
        if (ratio > 1.5 && holds(d.overlayer, alternative)) {
            return ratio;
        }
        if (ratio < 0.67 && holds(alternative, d.overlayer)) {
            return ratio;
        }
    }
    return 0;
}

// The cells twice as large and half as large as the fitted one along its sides and
// diagonal: the classic mistakes, judged whether or not the search met them.
std::vector<Basis2> neighbourCells(const Basis2& real) {
    const Basis2 g = real.reciprocal();
    const std::vector<Basis2> reciprocal = {
        {0.5 * g.v1, g.v2},          {g.v1, 0.5 * g.v2},       {0.5 * g.v1, 0.5 * g.v2},
        {0.5 * (g.v1 + g.v2), g.v2}, {2.0 * g.v1, g.v2},       {g.v1, 2.0 * g.v2},
        {g.v1 + g.v2, g.v1 - g.v2},  {2.0 * g.v1, 2.0 * g.v2},
    };
    std::vector<Basis2> out;
    for (const Basis2& b : reciprocal) {
        out.push_back(b.reciprocal());
    }
    return out;
}

std::string areaText(double ratio) {
    if (ratio >= 1) {
        return fmt::format("{:.0f} times as large", ratio);
    }
    return fmt::format("1/{:.0f} the size", 1 / ratio);
}

// The best of the judged cells; of those within a spot of its score, the one with the fewest
// domains (a cell of higher symmetry explains the same spots with fewer copies).
const LatticeCandidate& chooseCandidate(const std::vector<LatticeCandidate>& judged) {
    const LatticeCandidate* chosen = &judged.front();
    for (const LatticeCandidate& c : judged) {
        if (c.score >= judged.front().score - 1 && c.domains.size() < chosen->domains.size()) {
            chosen = &c;
        }
    }
    return *chosen;
}

}  // namespace

const char* assignmentName(Assignment a) {
    switch (a) {
        case Assignment::Substrate:
            return "substrate";
        case Assignment::Overlayer:
            return "overlayer";
        case Assignment::Unexplained:
            return "unexplained";
    }
    return "unexplained";
}

LeedFit fitLeed(std::span<const Spot> spots, const engine::SubstrateCell& substrate,
                const FitOptions& options) {
    if (spots.size() < kMinimumSpots) {
        throw FitError(fmt::format(
            "Too few spots: {} given, the fit needs at least {} ({} substrate orders to "
            "calibrate and {} overlayer spots for the cell)",
            spots.size(), kMinimumSpots, kMinimumSubstrateSpots, kMinimumOverlayerSpots));
    }
    std::vector<Vec2> screen;
    for (const Spot& s : spots) {
        if (!std::isfinite(s.x) || !std::isfinite(s.y)) {
            throw FitError(
                fmt::format("Spot {} has a position that is not a number", screen.size() + 1));
        }
        screen.push_back(upward({s.x, s.y}));
    }
    if (!(substrate.a1 > 0) || !(substrate.a2 > 0) || !(substrate.alpha > 0) ||
        !(substrate.alpha < 180)) {
        throw FitError("The substrate needs a1 and a2 above 0 and alpha between 0° and 180°");
    }
    const bool anyMarkedSubstrate = std::any_of(
        spots.begin(), spots.end(), [](const Spot& s) { return s.kind == SpotKind::Substrate; });
    const bool anyMarked = std::any_of(spots.begin(), spots.end(),
                                       [](const Spot& s) { return s.kind != SpotKind::Unknown; });
    std::vector<std::size_t> candidates;
    for (std::size_t i = 0; i < spots.size(); ++i) {
        if (anyMarkedSubstrate ? spots[i].kind == SpotKind::Substrate
                               : spots[i].kind == SpotKind::Unknown) {
            candidates.push_back(i);
        }
    }
    if (candidates.empty()) {
        throw FitError(options.centre
                           ? "No substrate spots: every spot is marked overlayer, but the scale "
                             "and rotation of the pattern come from the substrate's orders"
                           : "No substrate spots and no centre: mark the substrate's spots or "
                             "leave their kind empty, and give the centre if it is known");
    }

    std::optional<Vec2> centre;
    if (options.centre) {
        centre = upward(*options.centre);
    }
    CalibrationSettings settings;
    settings.centre = centre;
    settings.affine = options.affine;
    settings.requireMirrorSymmetry = !anyMarked && options.mirrors && options.allDomains;
    if (options.energyEv) {
        settings.k0 = views::electronWaveVector(*options.energyEv);
    }
    if (!centre) {
        const std::optional<Vec2> found =
            inversionCentre(screen, std::max<std::size_t>(3, spots.size() / 4));
        if (!found) {
            throw FitError(
                "No cell found: the spots lie symmetric about no centre, as the spots of a LEED "
                "pattern do; give the centre if the pattern is recorded only in part");
        }
        settings.centreGuess = *found;
    }
    const SubstrateCalibration calibration = calibrate(screen, candidates, substrate, settings);

    std::vector<bool> isSubstrate(spots.size(), false);
    for (const SpotIndex& s : calibration.indexed) {
        isSubstrate[s.spot] = true;
    }
    std::vector<Vec2> rest;
    for (std::size_t i = 0; i < spots.size(); ++i) {
        if (!isSubstrate[i] && spots[i].kind != SpotKind::Substrate) {
            rest.push_back(calibration.calibration.toReciprocal(screen[i]));
        }
    }
    if (rest.size() < kMinimumOverlayerSpots) {
        throw FitError(fmt::format(
            "No cell found: {} spots are not substrate orders, the overlayer's cell needs at "
            "least {}{}",
            rest.size(), kMinimumOverlayerSpots,
            anyMarked ? ""
                      : " (if the overlayer's spots fall on a finer lattice of the "
                        "substrate's shape, mark the substrate's spots)"));
    }

    const Basis2 substrateReal = views::substrateBasis(substrate);
    const Basis2 substrateReciprocal = substrateReal.reciprocal();
    const double shortest = views::reduced(substrateReciprocal).v1.length();
    SearchSettings search;
    search.substrate = substrate;
    search.allDomains = options.allDomains;
    search.mirrors = options.mirrors;
    const double rmsK = calibration.rmsScreen / calibration.calibration.scale();
    search.tolerance = indexTolerance(rmsK, shortest, INFINITY);
    for (const Vec2& s : screen) {
        search.radius =
            std::max(search.radius, calibration.calibration.toReciprocal(s).length() * 1.02);
    }
    if (settings.k0) {
        search.radius = std::min(search.radius, *settings.k0);
    }
    std::vector<Vec2> measured;
    for (const Vec2& p : screen) {
        measured.push_back(calibration.calibration.toReciprocal(p));
    }
    const std::vector<LatticeCandidate> judged = searchLattices(rest, measured, search);
    const auto enough = [&](const LatticeCandidate& c) {
        return c.score > 0 && c.explained() >= kMinimumOverlayerSpots &&
               static_cast<double>(c.explained()) >= 0.6 * static_cast<double>(rest.size());
    };
    if (judged.empty() || !enough(chooseCandidate(judged))) {
        throw FitError(fmt::format(
            "No cell found: no lattice explains the {} spots that are not substrate orders{}",
            rest.size(),
            judged.empty() ? ""
                           : fmt::format(" (the best explains {} and predicts {} not seen)",
                                         judged.front().explained(), judged.front().missing())));
    }

    // The least squares over the calibration and the cell together, re-indexing between
    // rounds as the places sharpen. The domains are those of the cell as the search found it;
    // when the fitted cell, closer to its symmetry, has fewer, the fit is run again with them.
    const views::PointGroup group = views::pointGroupOf(substrateReal);
    Basis2 start = canonicalCell(chooseCandidate(judged).domains);
    Calibration startCalibration = calibration.calibration;
    std::vector<views::Domain> domains;
    std::vector<views::PlaneMap> maps;
    std::optional<PatternModel> fittedModel;
    std::vector<double> parameters;
    LeastSquaresResult solution;
    Indexing indexing;
    for (int pass = 0; pass < 2; ++pass) {
        domains = fitDomains(start, search, kSearchDomainTolerance);
        maps.clear();
        for (const views::Domain& d : domains) {
            maps.push_back(domainMap(d, group));
        }
        fittedModel.emplace(substrate, centre, options.affine, maps);
        const PatternModel& model = *fittedModel;
        parameters = model.pack(startCalibration, cellOf(start));
        double rms = rmsK;
        for (int round = 0; round < kAssignmentRounds; ++round) {
            const CellParameters cell = model.cellOf(parameters);
            double overlayerShortest = INFINITY;
            for (std::size_t d = 0; d < domains.size(); ++d) {
                overlayerShortest = std::min(
                    overlayerShortest,
                    views::reduced(model.reciprocalOf(static_cast<int>(d), cell)).v1.length());
            }
            indexing = indexSpots(model, parameters, screen, spots,
                                  indexTolerance(rms, shortest, overlayerShortest));
            const std::size_t substrateSpots = countDomain(indexing.indices, true);
            const std::size_t overlayerSpots = countDomain(indexing.indices, false);
            if (substrateSpots < kMinimumSubstrateSpots ||
                overlayerSpots < kMinimumOverlayerSpots) {
                throw FitError(fmt::format(
                    "No cell found: the fitted pattern indexes {} substrate orders and {} "
                    "overlayer spots, fewer than the {} and {} a fit needs",
                    substrateSpots, overlayerSpots, kMinimumSubstrateSpots,
                    kMinimumOverlayerSpots));
            }
            const std::vector<SpotIndex> indices = indexing.indices;
            const ResidualFunction f = [&](std::span<const double> p, std::vector<double>& r) {
                model.residuals(p, screen, indices, r);
            };
            solution = levenbergMarquardt(f, parameters, model.steps(parameters));
            parameters = solution.parameters;
            const double scale = model.calibrationOf(parameters).scale();
            rms = std::sqrt(solution.sumOfSquares / static_cast<double>(indices.size())) / scale;
        }
        const CellParameters c = model.cellOf(parameters);
        const Basis2 fitted = canonicalCell(
            fitDomains(views::overlayerBasis({substrate, c.b1, c.b2, c.beta, c.azimuth}), search));
        if (fitDomains(fitted, search).size() == domains.size()) {
            break;
        }
        start = fitted;
        startCalibration = model.calibrationOf(parameters);
    }
    const PatternModel& model = *fittedModel;

    LeedFit out;
    out.calibration = model.calibrationOf(parameters);
    out.centre = downward(out.calibration.centre);
    out.cell = model.cellOf(parameters);
    const std::size_t offset = model.cellOffset();
    const std::size_t n = parameters.size();
    std::vector<double> covariance(16, 0);
    if (solution.inverseNormal.size() == n * n) {
        const double variance = solution.residualVariance();
        for (std::size_t i = 0; i < 4; ++i) {
            for (std::size_t j = 0; j < 4; ++j) {
                covariance[i * 4 + j] =
                    variance * solution.inverseNormal[(offset + i) * n + offset + j];
            }
        }
    } else {
        out.notes.emplace_back(
            "The spots do not fix every parameter of the fit: the uncertainties are unknown");
    }
    out.sigma = {std::sqrt(covariance[0]), std::sqrt(covariance[5]), std::sqrt(covariance[10]),
                 std::sqrt(covariance[15])};
    const double scale = out.calibration.scale();
    out.domains.clear();
    const Basis2 fittedReal = views::overlayerBasis(
        {substrate, out.cell.b1, out.cell.b2, out.cell.beta, out.cell.azimuth});
    for (std::size_t d = 0; d < domains.size(); ++d) {
        views::Domain domain = domains[d];
        domain.overlayer = views::mapped(fittedReal, maps[d]);
        domain.matrix = views::matrixOf(substrateReal, domain.overlayer);
        out.domains.push_back(domain);
    }

    // Every spot's assignment and residual.
    out.spots.assign(spots.size(), SpotResult{});
    std::vector<double> residuals;
    model.residuals(parameters, screen, indexing.indices, residuals);
    double sum = 0;
    for (std::size_t i = 0; i < indexing.indices.size(); ++i) {
        const SpotIndex& s = indexing.indices[i];
        const double distance = std::hypot(residuals[2 * i], residuals[2 * i + 1]);
        sum += distance * distance;
        SpotResult& r = out.spots[s.spot];
        r.assignment = s.domain < 0 ? Assignment::Substrate : Assignment::Overlayer;
        r.domain = s.domain;
        r.h = s.h;
        r.k = s.k;
        r.residualScreen = distance;
        r.residual = distance / scale;
        ++(s.domain < 0 ? out.substrateCount : out.overlayerCount);
    }
    out.rmsResidualScreen = std::sqrt(sum / static_cast<double>(indexing.indices.size()));
    out.rmsResidual = out.rmsResidualScreen / scale;
    for (std::size_t i = 0; i < spots.size(); ++i) {
        if (out.spots[i].assignment == Assignment::Unexplained) {
            out.unexplained.push_back(i);
        }
    }

    // The fitted pattern's spots on the screen that were not measured.
    const double tolerance = indexTolerance(out.rmsResidual, shortest, INFINITY);
    measured.clear();
    for (const Vec2& s : screen) {
        measured.push_back(out.calibration.toReciprocal(s));
    }
    std::unordered_set<long long> places;
    const Basis2 substrateReduced = views::reduced(substrateReciprocal);
    for (std::size_t d = 0; d < out.domains.size(); ++d) {
        for (const views::LatticeSpot& s :
             views::spotsWithin(out.domains[d].overlayer.reciprocal(), search.radius / 1.02)) {
            if (s.g.length() < 1e-9 ||
                (views::nearestLatticePoint(substrateReduced, s.g) - s.g).length() <= tolerance) {
                continue;
            }
            const bool seen = std::any_of(measured.begin(), measured.end(),
                                          [&](Vec2 m) { return (m - s.g).length() <= tolerance; });
            const long long key =
                std::llround(s.g.x / tolerance) * 1000003LL + std::llround(s.g.y / tolerance);
            if (!seen && places.insert(key).second) {
                out.missing.push_back(
                    {static_cast<int>(d), s.h, s.k, downward(out.calibration.toScreen(s.g))});
            }
        }
    }

    // Alternatives: the search's other cells and the fitted cell's near relatives.
    search.tolerance = tolerance;
    const LatticeCandidate fitted = judgeLattice(fittedReal, rest, measured, search);
    std::vector<LatticeCandidate> others;
    const auto isKnown = [&](const Basis2& real) {
        const auto same = [&](const views::Domain& d) {
            return views::sameLattice(d.overlayer, real, 0.02);
        };
        return std::any_of(out.domains.begin(), out.domains.end(), same) ||
               std::any_of(others.begin(), others.end(), [&](const LatticeCandidate& c) {
                   return std::any_of(c.domains.begin(), c.domains.end(), same);
               });
    };
    for (const Basis2& real : neighbourCells(fittedReal)) {
        if (!isKnown(real)) {
            others.push_back(judgeLattice(real, rest, measured, search));
        }
    }
    for (const LatticeCandidate& c : judged) {
        if (!isKnown(c.domains.front().overlayer)) {
            others.push_back(c);
        }
    }
    std::stable_sort(others.begin(), others.end(), betterCandidate);
    for (const LatticeCandidate& c : others) {
        if (!std::isfinite(c.score) || out.alternatives.size() == kAlternatives) {
            continue;
        }
        const Basis2 real = canonicalCell(c.domains);
        const double ratio = relatedArea(out.domains, real);
        out.alternatives.push_back(
            {cellOf(real), c.domains.size(), c.explained(), c.missing(), c.score, ratio});
        if (ratio > 1 && c.explained() >= fitted.explained()) {
            out.notes.push_back(fmt::format(
                "A super-cell {} in {} domains explains the same {} spots but predicts {} spots "
                "that are not seen (the fitted cell: {})",
                areaText(ratio), c.domains.size(), c.explained(), c.missing(), fitted.missing()));
        } else if (ratio > 0 && ratio < 1 &&
                   static_cast<double>(c.explained()) >=
                       0.9 * static_cast<double>(fitted.explained())) {
            out.notes.push_back(fmt::format(
                "A sub-cell {} in {} domains explains {} of the {} spots the fitted cell "
                "explains",
                areaText(ratio), c.domains.size(), c.explained(), fitted.explained()));
        }
    }

    out.candidates = commensurateCandidates(out.cell, covariance, substrate, kCandidateDistance);
    out.matrix = views::matrixOf(substrateReal, fittedReal);
    const engine::Matrix2 named =
        out.candidates.empty()
            ? out.matrix
            : engine::Matrix2{static_cast<double>(out.candidates.front().matrix.m11),
                              static_cast<double>(out.candidates.front().matrix.m12),
                              static_cast<double>(out.candidates.front().matrix.m21),
                              static_cast<double>(out.candidates.front().matrix.m22)};
    out.interpretation =
        engine::interpret(named, 1, 1, substrate, kInterpretationDomain, kInterpretationDomain);
    if (!anyMarked) {
        out.notes.emplace_back(
            "No spot was marked: the substrate's orders were taken as the lattice of its shape "
            "that the spots fill best");
    }
    return out;
}

}  // namespace lamivex::fit
