#include "engine/step_bound.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

#include "engine/step_bound_avx2.h"

namespace lamivex::engine {
namespace {

// Why the bound holds for the value the kernel computes, not only for the exact V/Vo.
//
// Exactly, S(p, x) = sin(p pi x) / sin(pi x) with odd p has |S| <= p, and
// |sin(pi x)| >= 2 d(x), d the distance to the nearest whole number (sin is concave on
// [0, pi/2]), so |S| <= min(p, 1 / (2 d)). The kernel uses pi' = kPi = 3.14159265359 in
// place of pi, so its S(p, x) is the exact one at x pi'/pi: distances are taken of
// x · kPiRatio. V/Vo = 1 - sum(S S) / D then lies at or above 1 - sum(Bx By) / D.
//
// In floating point (u = 2^-53; X bounds every |wave argument| of the geometry):
// 1. The table's matrix element and the kernel's differ by the sines' last place (SLEEF
//    and glibc are within 1 ulp) and the order of the products: under 8 u X, and 2 u X
//    more for the hexagonal sums; the scaling by kPiRatio adds 2 u X. Every distance is
//    therefore taken less eta = 16 u (X + 1).
// 2. With the distance so reduced still at least delta0, the kernel's denominator
//    sin(fl(pi' x)) is at least 2 delta0 less u (pi X + 1), and the numerator's argument
//    fl(fl(p pi') x) is off by at most 2 u p pi X: the computed quotient differs from the
//    exact S by at most u p (3 pi X + 3) / delta0. Times the other factor (at most q) and
//    over D = 2 p q that is u (3 pi X + 3) / (2 delta0) per factor, so u (3 pi X + 3) /
//    delta0 per wave term and three times that for the hexagonal three terms.
// 3. The sums D - T1 - T2 - T3, the division by D and the bound's own sum add under 30 u.
// The margin takes twice item 2 and 1e-14 for item 3. Closer than delta0 to a whole number
// the kernel itself loses digits (sin(pi x) nears 0), so those steps are always computed.
constexpr double kUnit = 0x1p-53;
constexpr double kDelta0 = 1e-6;

// max(1 / p, 2 d) of one wave factor; negative when d is too small for the bound.
double factorReciprocal(double x, double invP, double eta) {
    const double scaled = x * kBoundPiRatio;
    const double d = std::fabs(scaled - std::nearbyint(scaled)) - eta;
    return d < kDelta0 ? -1 : std::max(invP, 2 * d);
}

}  // namespace

MatrixSines matrixSines(const PassGeometry& g, int lastAngleIndex) {
    MatrixSines s;
    // On to a whole group of four, so that the vectorised bound reads whole vectors.
    const auto steps = static_cast<std::size_t>((std::max(0, lastAngleIndex + 1) + 3) / 4 * 4);
    s.m11.resize(steps);
    s.m21.resize(steps);
    s.m12.resize(steps);
    s.m22.resize(steps);
    for (std::size_t k = 0; k < steps; ++k) {
        const double t = azimuthAngle(g.lower, g.angleSpacing, static_cast<int>(k));
        s.m11[k] = std::sin((g.alpha - t) * kDegree);
        s.m21[k] = std::sin((g.alpha - g.beta - t) * kDegree);
        s.m12[k] = std::sin(t * kDegree);
        s.m22[k] = std::sin((g.beta + t) * kDegree);
    }
    return s;
}

StepBound::StepBound(const PassGeometry& g) {
    const double s = std::sin(g.alpha * kDegree);
    m_p.c11 = g.b1 / (g.a1 * s);
    m_p.c21 = g.b2 / (g.a1 * s);
    m_p.c12 = g.b1 / (g.a2 * s);
    m_p.c22 = g.b2 / (g.a2 * s);
    m_p.invP = 1 / static_cast<double>(g.P);
    m_p.invQ = 1 / static_cast<double>(g.Q);
    m_p.D = static_cast<double>(g.D);
    m_p.hexagonal = g.hexagonal;
    const double X =
        std::max(std::fabs(m_p.c11) + std::fabs(m_p.c12), std::fabs(m_p.c21) + std::fabs(m_p.c22));
    m_p.eta = 16 * kUnit * (X + 1);
    m_p.delta0 = kDelta0;
    const double perTerm = kUnit * (3 * kPi * X + 3) / kDelta0;
    m_p.margin = 2 * 3 * perTerm + 1e-14;
}

double StepBound::at(const MatrixSines& sines, int k) const {
    const auto i = static_cast<std::size_t>(k);
    const double m11 = m_p.c11 * sines.m11[i];
    const double m21 = m_p.c21 * sines.m21[i];
    const double m12 = m_p.c12 * sines.m12[i];
    const double m22 = m_p.c22 * sines.m22[i];
    double t[6] = {factorReciprocal(m11, m_p.invP, m_p.eta),
                   factorReciprocal(m21, m_p.invQ, m_p.eta),
                   factorReciprocal(m12, m_p.invP, m_p.eta),
                   factorReciprocal(m22, m_p.invQ, m_p.eta),
                   1,
                   1};
    if (m_p.hexagonal) {
        t[4] = factorReciprocal(m11 + m12, m_p.invP, m_p.eta);
        t[5] = factorReciprocal(m21 + m22, m_p.invQ, m_p.eta);
    }
    if (*std::min_element(std::begin(t), std::end(t)) < 0) {
        return -std::numeric_limits<double>::infinity();
    }
    double sum = 1 / (t[0] * t[1]) + 1 / (t[2] * t[3]);
    if (m_p.hexagonal) {
        sum += 1 / (t[4] * t[5]);
    }
    return 1 - sum / m_p.D - m_p.margin;
}

int StepBound::survivors(const MatrixSines& sines, int kBegin, int count, double threshold,
                         int* steps) const {
    if (fastKernelAvailable()) {
        return boundSurvivorsAvx2(m_p, sines, kBegin, count, threshold, steps);
    }
    int kept = 0;
    for (int k = kBegin; k < kBegin + count; ++k) {
        if (at(sines, k) < threshold) {
            steps[kept++] = k;
        }
    }
    return kept;
}

}  // namespace lamivex::engine
