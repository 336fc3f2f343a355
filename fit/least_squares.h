#pragma once
// A small damped Gauss–Newton (Levenberg–Marquardt) least-squares solver for the few
// parameters of a pattern fit, with a numerical Jacobian, and the dense linear algebra it
// needs. Sizes are a dozen parameters at most, so plain row-major vectors do.

#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace lamivex::fit {

// Residuals of the model at parameters, written into residuals (resized by the callee).
using ResidualFunction =
    std::function<void(std::span<const double> parameters, std::vector<double>& residuals)>;

struct LeastSquaresResult {
    std::vector<double> parameters;
    // (JᵀJ)⁻¹ at the solution, row-major n × n: times the residual variance it is the
    // parameters' covariance. Empty when JᵀJ is singular (a parameter the data do not fix).
    std::vector<double> inverseNormal;
    double sumOfSquares = 0;
    std::size_t residualCount = 0;

    // s² = Σr² / (residuals − parameters), the residual variance the covariance is scaled by.
    [[nodiscard]] double residualVariance() const;
    // The standard uncertainty of parameter i: √(s² · (JᵀJ)⁻¹_ii); nullopt when not fixed.
    [[nodiscard]] std::optional<double> sigma(std::size_t i) const;
};

// Minimises Σ residuals² from start. steps gives each parameter's finite-difference step
// (central differences).
[[nodiscard]] LeastSquaresResult levenbergMarquardt(const ResidualFunction& residuals,
                                                    std::vector<double> start,
                                                    std::span<const double> steps,
                                                    int maxIterations = 60);

// The inverse of the n × n row-major matrix a by Gauss–Jordan elimination with partial
// pivoting; nullopt when it is singular to rounding.
[[nodiscard]] std::optional<std::vector<double>> inverted(std::vector<double> a, std::size_t n);

}  // namespace lamivex::fit
