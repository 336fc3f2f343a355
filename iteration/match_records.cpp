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

std::string matchRecord(const engine::BestOrientation& best, const std::array<double, 3>& constants,
                        double area) {
    using numbers::formatFixed2;
    std::string record = formatFixed2(best.BestAngle);
    for (const std::string& field :
         {formatFixed2(best.BestVVo), formatFixed2(constants[0]), formatFixed2(constants[1]),
          formatFixed2(constants[2]), formatFixed2(best.BestPx), formatFixed2(best.BestQy),
          formatFixed2(best.BestQx), formatFixed2(best.BestPy), formatFixed2(area)}) {
        record += '\t';
        record += field;
    }
    return record;
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
