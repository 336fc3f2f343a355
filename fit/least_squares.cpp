#include "fit/least_squares.h"

#include <algorithm>
#include <cmath>

namespace lamivex::fit {
namespace {

double sumOfSquares(const std::vector<double>& r) {
    double sum = 0;
    for (const double v : r) {
        sum += v * v;
    }
    return sum;
}

// J (m × n, row-major) by central differences.
std::vector<double> jacobian(const ResidualFunction& model, const std::vector<double>& at,
                             std::span<const double> steps, std::size_t m) {
    const std::size_t n = at.size();
    std::vector<double> j(m * n);
    std::vector<double> shifted = at;
    std::vector<double> plus;
    std::vector<double> minus;
    for (std::size_t c = 0; c < n; ++c) {
        shifted[c] = at[c] + steps[c];
        model(shifted, plus);
        shifted[c] = at[c] - steps[c];
        model(shifted, minus);
        shifted[c] = at[c];
        for (std::size_t r = 0; r < m; ++r) {
            j[r * n + c] = (plus[r] - minus[r]) / (2 * steps[c]);
        }
    }
    return j;
}

struct Normal {
    std::vector<double> jtj;
    std::vector<double> jtr;
};

Normal normalEquations(const std::vector<double>& j, const std::vector<double>& r, std::size_t n) {
    const std::size_t m = r.size();
    Normal ne{std::vector<double>(n * n, 0), std::vector<double>(n, 0)};
    for (std::size_t row = 0; row < m; ++row) {
        const double* jr = &j[row * n];
        for (std::size_t a = 0; a < n; ++a) {
            ne.jtr[a] += jr[a] * r[row];
            for (std::size_t b = 0; b <= a; ++b) {
                ne.jtj[a * n + b] += jr[a] * jr[b];
            }
        }
    }
    for (std::size_t a = 0; a < n; ++a) {
        for (std::size_t b = 0; b < a; ++b) {
            ne.jtj[b * n + a] = ne.jtj[a * n + b];
        }
    }
    return ne;
}

}  // namespace

double LeastSquaresResult::residualVariance() const {
    const std::size_t n = parameters.size();
    if (residualCount <= n) {
        return 0;
    }
    return sumOfSquares / static_cast<double>(residualCount - n);
}

std::optional<double> LeastSquaresResult::sigma(std::size_t i) const {
    const std::size_t n = parameters.size();
    if (inverseNormal.size() != n * n || i >= n) {
        return std::nullopt;
    }
    return std::sqrt(std::max(0.0, residualVariance() * inverseNormal[i * n + i]));
}

std::optional<std::vector<double>> inverted(std::vector<double> a, std::size_t n) {
    std::vector<double> inverse(n * n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        inverse[i * n + i] = 1;
    }
    double largest = 0;
    for (const double v : a) {
        largest = std::max(largest, std::fabs(v));
    }
    for (std::size_t col = 0; col < n; ++col) {
        std::size_t pivot = col;
        for (std::size_t r = col + 1; r < n; ++r) {
            if (std::fabs(a[r * n + col]) > std::fabs(a[pivot * n + col])) {
                pivot = r;
            }
        }
        if (!(std::fabs(a[pivot * n + col]) > 1e-14 * largest)) {
            return std::nullopt;
        }
        for (std::size_t c = 0; c < n; ++c) {
            std::swap(a[col * n + c], a[pivot * n + c]);
            std::swap(inverse[col * n + c], inverse[pivot * n + c]);
        }
        const double p = a[col * n + col];
        for (std::size_t c = 0; c < n; ++c) {
            a[col * n + c] /= p;
            inverse[col * n + c] /= p;
        }
        for (std::size_t r = 0; r < n; ++r) {
            if (r == col) {
                continue;
            }
            const double f = a[r * n + col];
            if (f == 0) {
                continue;
            }
            for (std::size_t c = 0; c < n; ++c) {
                a[r * n + c] -= f * a[col * n + c];
                inverse[r * n + c] -= f * inverse[col * n + c];
            }
        }
    }
    return inverse;
}

LeastSquaresResult levenbergMarquardt(const ResidualFunction& model, std::vector<double> start,
                                      std::span<const double> steps, int maxIterations) {
    const std::size_t n = start.size();
    std::vector<double> r;
    model(start, r);
    double cost = sumOfSquares(r);
    double lambda = 1e-3;
    for (int iteration = 0; iteration < maxIterations; ++iteration) {
        const std::vector<double> j = jacobian(model, start, steps, r.size());
        const Normal ne = normalEquations(j, r, n);
        bool improved = false;
        for (int attempt = 0; attempt < 12 && !improved; ++attempt) {
            // Marquardt's scaling: damp each parameter by its own curvature.
            std::vector<double> damped = ne.jtj;
            for (std::size_t a = 0; a < n; ++a) {
                damped[a * n + a] += lambda * std::max(ne.jtj[a * n + a], 1e-300);
            }
            const std::optional<std::vector<double>> inverse = inverted(damped, n);
            if (!inverse) {
                lambda *= 10;
                continue;
            }
            std::vector<double> trial = start;
            for (std::size_t a = 0; a < n; ++a) {
                double step = 0;
                for (std::size_t b = 0; b < n; ++b) {
                    step += (*inverse)[a * n + b] * ne.jtr[b];
                }
                trial[a] -= step;
            }
            std::vector<double> trialResiduals;
            model(trial, trialResiduals);
            const double trialCost = sumOfSquares(trialResiduals);
            if (trialCost <= cost) {
                const bool converged = cost - trialCost <= 1e-12 * std::max(cost, 1e-300);
                start = std::move(trial);
                r = std::move(trialResiduals);
                cost = trialCost;
                lambda = std::max(lambda / 10, 1e-12);
                improved = true;
                if (converged) {
                    iteration = maxIterations;
                }
            } else {
                lambda *= 10;
            }
        }
        if (!improved) {
            break;
        }
    }
    LeastSquaresResult result;
    const std::vector<double> j = jacobian(model, start, steps, r.size());
    const Normal ne = normalEquations(j, r, n);
    result.inverseNormal = inverted(ne.jtj, n).value_or(std::vector<double>{});
    result.parameters = std::move(start);
    result.sumOfSquares = cost;
    result.residualCount = r.size();
    return result;
}

}  // namespace lamivex::fit
