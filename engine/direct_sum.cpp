#include "engine/direct_sum.h"

#include <cmath>

namespace lamivex::engine {

double directSumVVo(const PassGeometry& g, float theta) {
    // Substrate a1 along x, a2 at alpha; reciprocal vectors g1, g2 with gi·aj = delta_ij.
    const double alpha = g.alpha * kDegree;
    const double det = g.a1 * g.a2 * std::sin(alpha);
    const double g1x = g.a2 * std::sin(alpha) / det;
    const double g1y = -g.a2 * std::cos(alpha) / det;
    const double g2x = 0;
    const double g2y = g.a1 / det;
    // Overlayer b1 at azimuth theta from a1, b2 at theta + beta.
    const double t = static_cast<double>(theta) * kDegree;
    const double tb = (static_cast<double>(theta) + g.beta) * kDegree;
    const double b1x = g.b1 * std::cos(t);
    const double b1y = g.b1 * std::sin(t);
    const double b2x = g.b2 * std::cos(tb);
    const double b2y = g.b2 * std::sin(tb);

    const auto m = (g.P - 1) / 2;
    const auto n = (g.Q - 1) / 2;
    const double twoPi = 2 * kPi;
    double sum = 0;
    for (auto p = -m; p <= m; ++p) {
        for (auto q = -n; q <= n; ++q) {
            const double x = static_cast<double>(p) * b1x + static_cast<double>(q) * b2x;
            const double y = static_cast<double>(p) * b1y + static_cast<double>(q) * b2y;
            const double phase1 = g1x * x + g1y * y;
            const double phase2 = g2x * x + g2y * y;
            sum += std::cos(twoPi * phase1) + std::cos(twoPi * phase2);
            if (g.hexagonal) {
                sum += std::cos(twoPi * (phase1 + phase2));
            }
        }
    }
    return 1 - sum / static_cast<double>(g.D);
}

}  // namespace lamivex::engine
