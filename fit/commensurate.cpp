#include "fit/commensurate.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "fit/least_squares.h"
#include "views/domains.h"

namespace lamivex::fit {
namespace {

std::array<double, 4> matrixElements(const CellParameters& c,
                                     const engine::SubstrateCell& substrate) {
    const engine::Matrix2 m =
        views::matrixOf(views::substrateBasis(substrate),
                        views::overlayerBasis({substrate, c.b1, c.b2, c.beta, c.azimuth}));
    return {m.m11, m.m12, m.m21, m.m22};
}

double wrappedDegrees(double d) {
    d = std::fmod(d, 360.0);
    if (d > 180) {
        d -= 360;
    }
    if (d <= -180) {
        d += 360;
    }
    return d;
}

}  // namespace

std::vector<CommensurateCandidate> commensurateCandidates(const CellParameters& cell,
                                                          std::span<const double> covariance,
                                                          const engine::SubstrateCell& substrate,
                                                          double maxDistance) {
    const std::array<double, 4> fitted = {cell.b1, cell.b2, cell.beta, cell.azimuth};
    const std::optional<std::vector<double>> inverse =
        inverted(std::vector<double>(covariance.begin(), covariance.end()), 4);
    if (!inverse) {
        return {};
    }
    // Each element's standard uncertainty, through the matrix's derivatives by the cell's
    // parameters, sets how far to look from the nearest whole number.
    const std::array<double, 4> m = matrixElements(cell, substrate);
    std::array<double, 4> spread{};
    for (std::size_t p = 0; p < 4; ++p) {
        std::array<double, 4> shifted = fitted;
        const double step = 1e-6 * std::max(1.0, std::fabs(fitted[p]));
        shifted[p] += step;
        const std::array<double, 4> moved =
            matrixElements({shifted[0], shifted[1], shifted[2], shifted[3]}, substrate);
        for (std::size_t e = 0; e < 4; ++e) {
            const double d = (moved[e] - m[e]) / step;
            spread[e] += d * d * covariance[p * 4 + p];
        }
    }
    std::array<std::int64_t, 4> low{};
    std::array<std::int64_t, 4> high{};
    for (std::size_t e = 0; e < 4; ++e) {
        const double reach = std::min(3.0, std::max(0.6, maxDistance * std::sqrt(spread[e])));
        low[e] = static_cast<std::int64_t>(std::floor(m[e] - reach));
        high[e] = static_cast<std::int64_t>(std::ceil(m[e] + reach));
    }
    std::vector<CommensurateCandidate> found;
    for (std::int64_t a = low[0]; a <= high[0]; ++a) {
        for (std::int64_t b = low[1]; b <= high[1]; ++b) {
            for (std::int64_t c = low[2]; c <= high[2]; ++c) {
                for (std::int64_t d = low[3]; d <= high[3]; ++d) {
                    if (a * d - b * c == 0) {
                        continue;
                    }
                    const engine::Matrix2 real{static_cast<double>(a), static_cast<double>(b),
                                               static_cast<double>(c), static_cast<double>(d)};
                    const engine::OverlayerFromMatrix o =
                        engine::overlayerFromMatrix(real, substrate);
                    const std::array<double, 4> delta = {o.b1 - cell.b1, o.b2 - cell.b2,
                                                         wrappedDegrees(o.beta - cell.beta),
                                                         wrappedDegrees(o.azimuth - cell.azimuth)};
                    double chi2 = 0;
                    for (std::size_t i = 0; i < 4; ++i) {
                        for (std::size_t j = 0; j < 4; ++j) {
                            chi2 += delta[i] * (*inverse)[i * 4 + j] * delta[j];
                        }
                    }
                    const double distance = std::sqrt(std::max(0.0, chi2));
                    if (distance > maxDistance) {
                        continue;
                    }
                    const engine::IntMatrix2 whole{a, b, c, d};
                    found.push_back({whole,
                                     engine::cellNameText(real, substrate, 1e-6),
                                     {o.b1, o.b2, o.beta, o.azimuth},
                                     distance});
                }
            }
        }
    }
    std::sort(found.begin(), found.end(),
              [](const CommensurateCandidate& x, const CommensurateCandidate& y) {
                  return x.distance < y.distance;
              });
    return found;
}

}  // namespace lamivex::fit
