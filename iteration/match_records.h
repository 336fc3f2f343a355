#pragma once
// The matches of an iteration run: one record text per match, its values at full precision,
// and the hits per whole degree of the best azimuth angle.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/best_orientation.h"

namespace lamivex::iteration {

inline constexpr int kMaxIterationMatches = 2000;  // MaxIterationMatches: the run stops there

struct Match {
    int64_t trial = 0;  // 0-based number of the trial in the order of the loops
    float angle = 0;    // best azimuth angle, degrees
    double vvo = 0;
    double c1 = 0;  // b1 or a1 as the trial used it (multiplied in a geometric run), Angstroms
    double c2 = 0;  // b2 or a2, Angstroms
    double c3 = 0;  // beta or alpha, degrees
    double m11 = 0;
    double m12 = 0;
    double m21 = 0;
    double m22 = 0;
    double area = 0;  // overlayer cell, square Angstroms
    int b1Multiple = 1;
    int b2Multiple = 1;
    std::array<float, 3> singles{};  // the trial values as read, before any multiple
    bool multipliedLengths = false;  // c1 and c2 are singles[0..1] times the multiples
};

// The trial's constants before any multiple, as the scan of its plain cell computed with
// them: Angstroms, Angstroms, degrees.
[[nodiscard]] std::array<double, 3> trialConstants(const Match& match);

// The ten "0.00" cells of a match as the results table shows them: angle, V/Vo, the three
// lattice constants of the trial (as the scan used them), m11, m12, m21, m22, area.
inline constexpr std::size_t kMatchCells = 10;
[[nodiscard]] std::array<std::string, kMatchCells> matchCells(const Match& match);

// The cells joined by single tabs, no trailing tab: the match's record, as the .dat file and
// the printout hold it.
[[nodiscard]] std::string matchRecord(const Match& match);
// The same from a best orientation, the trial's constants and the cell's area.
[[nodiscard]] std::string matchRecord(const engine::BestOrientation& best,
                                      const std::array<double, 3>& constants, double area);

// HitsByAngle and GeometricHitsByAngle over the whole degrees
// HistogramLowAngle..HistogramHighAngle + 1; element i counts degree low + i.
struct HitCounts {
    int HistogramLowAngle = 0;
    int HistogramHighAngle = 0;
    std::vector<int> HitsByAngle;
    std::vector<int> GeometricHitsByAngle;
    int skipped = 0;  // matches whose bin lay outside the bounds
    // Bin i holds the angles nearest to degree i (i - 0.5..i + 0.5); false in rigid substrate
    // runs, whose bin i holds i..i + 1. A figure places the bars by it.
    bool nearestDegree = true;

    [[nodiscard]] static HitCounts create(int low, int high);
    // Counts a match in bin floor(angle + 0.5), or floor(angle) when rounding is false (rigid
    // substrate runs); geometric matches count in both arrays. A bin outside the bounds (an
    // angle carried over from another azimuth range) is skipped. Returns whether it counted.
    bool add(float angle, bool rounding, bool geometric);
    [[nodiscard]] int hits(int degree) const;
    [[nodiscard]] int geometricHits(int degree) const;
};

}  // namespace lamivex::iteration
