#include "iteration/match_records.h"

#include <cmath>

#include "engine/lattice.h"
#include "numbers/number_text.h"

namespace lamivex::iteration {

std::array<double, 3> trialConstants(const Match& match) {
    // Each trial value is the captured value of its single, as a typed field's would be.
    return {engine::capturedValue(match.singles[0]), engine::capturedValue(match.singles[1]),
            engine::capturedValue(match.singles[2])};
}

std::array<std::string, kMatchCells> matchCells(const Match& match) {
    using numbers::formatFixed2;
    return {formatFixed2(match.angle), formatFixed2(match.vvo), formatFixed2(match.c1),
            formatFixed2(match.c2),    formatFixed2(match.c3),  formatFixed2(match.m11),
            formatFixed2(match.m12),   formatFixed2(match.m21), formatFixed2(match.m22),
            formatFixed2(match.area)};
}

std::string matchRecord(const Match& match) {
    std::string record;
    for (const std::string& cell : matchCells(match)) {
        if (!record.empty()) {
            record += '\t';
        }
        record += cell;
    }
    return record;
}

std::string matchRecord(const engine::BestOrientation& best, const std::array<double, 3>& constants,
                        double area) {
    Match match;
    match.angle = best.BestAngle;
    match.vvo = best.BestVVo;
    match.c1 = constants[0];
    match.c2 = constants[1];
    match.c3 = constants[2];
    match.m11 = best.BestPx;
    match.m12 = best.BestQy;
    match.m21 = best.BestQx;
    match.m22 = best.BestPy;
    match.area = area;
    return matchRecord(match);
}

HitCounts HitCounts::create(int low, int high) {
    HitCounts counts;
    counts.HistogramLowAngle = low;
    counts.HistogramHighAngle = high;
    const auto size = static_cast<std::size_t>(int64_t{high} - low + 2);
    counts.HitsByAngle.assign(size, 0);
    counts.GeometricHitsByAngle.assign(size, 0);
    return counts;
}

bool HitCounts::add(float angle, bool rounding, bool geometric) {
    const double bin = std::floor(rounding ? static_cast<double>(angle) + 0.5 : angle);
    if (!(bin >= HistogramLowAngle && bin <= HistogramHighAngle + 1.0)) {
        ++skipped;
        return false;
    }
    const auto index = static_cast<std::size_t>(bin - HistogramLowAngle);
    ++HitsByAngle[index];
    if (geometric) {
        ++GeometricHitsByAngle[index];
    }
    return true;
}

int HitCounts::hits(int degree) const {
    if (degree < HistogramLowAngle || degree > HistogramHighAngle + 1) {
        return 0;
    }
    return HitsByAngle[static_cast<std::size_t>(degree - HistogramLowAngle)];
}

int HitCounts::geometricHits(int degree) const {
    if (degree < HistogramLowAngle || degree > HistogramHighAngle + 1) {
        return 0;
    }
    return GeometricHitsByAngle[static_cast<std::size_t>(degree - HistogramLowAngle)];
}

}  // namespace lamivex::iteration
