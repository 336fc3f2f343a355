#include "numbers/lattice_rules.h"

#include <algorithm>
#include <cmath>

#include <fmt/format.h>

#include "numbers/constants.h"
#include "numbers/number_text.h"

namespace lamivex::numbers {
namespace {

FieldVerdict refused(std::string reason) {
    return {false, std::move(reason)};
}

// The angle, in degrees, whose sine is kMinCellSine: how far from parallel a cell must be.
double minCellAngle() {
    return std::asin(kMinCellSine) / kDegree;
}

}  // namespace

FieldVerdict checkLatticeLength(std::string_view name, double value) {
    if (value >= kMinLatticeLength && value <= kMaxLatticeLength) {
        return {};
    }
    return refused(fmt::format("{} must be from {} to {} Angstroms (it is {}).", name,
                               kMinLatticeLength, kMaxLatticeLength, value));
}

FieldVerdict checkCellAngle(std::string_view name, double degrees, std::string_view vectors) {
    if (std::fabs(std::sin(degrees * kDegree)) >= kMinCellSine) {
        return {};
    }
    return refused(
        fmt::format("{} must be at least {:.3f} degrees away from 0 and 180 (it is "
                    "{}): {} would be parallel.",
                    name, minCellAngle(), degrees, vectors));
}

FieldVerdict checkAzimuth(std::string_view name, double degrees) {
    if (std::fabs(degrees) <= kMaxAzimuth) {
        return {};
    }
    return refused(fmt::format("{} must be from -{} to {} degrees (it is {}).", name, kMaxAzimuth,
                               kMaxAzimuth, degrees));
}

FieldVerdict checkMatrixRows(double m11, double m12, double m21, double m22) {
    if (!std::isfinite(m11) || !std::isfinite(m12) || !std::isfinite(m21) || !std::isfinite(m22)) {
        return refused("the matrix holds a number that is not finite.");
    }
    const double row1 = std::hypot(m11, m12);
    const double row2 = std::hypot(m21, m22);
    // The sine of the angle between the rows, from rows of length 1 (no overflow).
    const double sine =
        row1 == 0 || row2 == 0 ? 0 : (m11 / row1) * (m22 / row2) - (m12 / row1) * (m21 / row2);
    if (std::fabs(sine) >= kMinCellSine) {
        return {};
    }
    return refused(fmt::format(
        "the matrix makes b1 and b2 parallel: its rows are {} degrees "
        "apart, and at least {:.3f} are needed.",
        formatFixed(std::asin(std::min(1.0, std::fabs(sine))) / kDegree, 4), minCellAngle()));
}

double wavePeriods(const WaveSpan& s) {
    // |m11|, |m21| <= b/(a1·|sin alpha|) and |m12|, |m22| <= b/(a2·|sin alpha|) at any azimuth;
    // the hexagonal wave reads m11 + m12.
    const double perLength = s.hexagonal ? 1 / s.a1 + 1 / s.a2 : 1 / std::min(s.a1, s.a2);
    const double alongB1 = (2.0 * s.m + 1) * s.b1 * perLength;
    const double alongB2 = (2.0 * s.n + 1) * s.b2 * perLength;
    return std::max(alongB1, alongB2) / std::fabs(s.sinAlpha);
}

FieldVerdict checkWaveSpan(const WaveSpan& span) {
    const double periods = wavePeriods(span);
    if (periods <= kMaxWavePeriods) {
        return {};
    }
    return refused(
        fmt::format("the domain would span {:.3g} periods of a substrate wave; at most "
                    "{:g} keep V/Vo exact. Reduce m or n, the maximum multiple or "
                    "the ratio of the overlayer's lengths to the substrate's.",
                    periods, kMaxWavePeriods));
}

}  // namespace lamivex::numbers
