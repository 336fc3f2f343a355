#include "engine/match_kernel.h"

#include <cmath>

#include "engine/match_kernel_avx2.h"

namespace lamivex::engine {

PassGeometry makePassGeometry(double a1, double a2, double alpha, double beta, double b1, double b2,
                              bool hexagonal, double lower, float angleSpacing, int m, int n) {
    PassGeometry g;
    g.a1 = a1;
    g.a2 = a2;
    g.alpha = alpha;
    g.beta = beta;
    g.b1 = b1;
    g.b2 = b2;
    g.hexagonal = hexagonal;
    g.lower = lower;
    g.angleSpacing = angleSpacing;
    g.P = 2 * static_cast<int64_t>(m) + 1;
    g.Q = 2 * static_cast<int64_t>(n) + 1;
    g.D = (4 * static_cast<int64_t>(m) + 2) * (2 * static_cast<int64_t>(n) + 1);
    return g;
}

float azimuthAngle(double lower, float angleSpacing, int k) {
    const auto kSingle = static_cast<float>(k);
    return static_cast<float>(lower + static_cast<double>(kSingle) * angleSpacing + kAngleOffset);
}

double waveTerm(double P, double Q, double x, double y) {
    const double sinX = std::sin(kPi * x);
    double term = sinX == 0 ? P : std::sin(P * kPi * x) / sinX;
    const double sinY = std::sin(kPi * y);
    term = sinY == 0 ? term * Q : (term * std::sin(Q * kPi * y)) / sinY;
    return term;
}

StepValues computeStep(const PassGeometry& g, float theta) {
    return computeStepAt(g, static_cast<double>(theta));
}

namespace {

double reducedWave(double p, double x) {
    const double r = x - std::nearbyint(x);  // exact for any matrix element a pass can hold
    const double sinR = std::sin(kPi * r);
    return sinR == 0 ? p : std::sin(p * kPi * r) / sinR;
}

double reducedWaveTerm(double P, double Q, double x, double y) {
    return reducedWave(P, x) * reducedWave(Q, y);
}

// V/Vo of a step's matrix with the given wave term.
double matchValue(const PassGeometry& g, const StepValues& v,
                  double (*term)(double, double, double, double)) {
    const auto P = static_cast<double>(g.P);
    const auto Q = static_cast<double>(g.Q);
    const auto D = static_cast<double>(g.D);
    double V = D - term(P, Q, v.m11, v.m21) - term(P, Q, v.m12, v.m22);
    if (g.hexagonal) {
        V -= term(P, Q, v.m11 + v.m12, v.m21 + v.m22);
    }
    return V / D;
}

}  // namespace

StepValues computeOrientationAt(const PassGeometry& g, double theta) {
    StepValues v = computeStepAt(g, theta);
    v.vvo = matchValue(g, v, reducedWaveTerm);
    return v;
}

StepValues computeStepAt(const PassGeometry& g, double theta) {
    StepValues v;
    v.theta = static_cast<float>(theta);
    const double t = theta;
    const double s = std::sin(g.alpha * kDegree);
    v.m11 = g.b1 * std::sin((g.alpha - t) * kDegree) / (g.a1 * s);
    v.m21 = g.b2 * std::sin((g.alpha - g.beta - t) * kDegree) / (g.a1 * s);
    v.m12 = g.b1 * std::sin(t * kDegree) / (g.a2 * s);
    v.m22 = g.b2 * std::sin((g.beta + t) * kDegree) / (g.a2 * s);

    v.vvo = matchValue(g, v, waveTerm);
    return v;
}

bool fastKernelAvailable() {
    static const bool available = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return available;
}

void computeSteps(const PassGeometry& g, int kBegin, int count, StepBlock& out) {
    if (g.kernel == KernelPath::Fast && fastKernelAvailable()) {
        computeStepsAvx2(g, kBegin, count, out);
        return;
    }
    out.count = count;
    for (int c = 0; c < count; ++c) {
        const auto idx = static_cast<std::size_t>(c);
        const StepValues v = computeStep(g, azimuthAngle(g.lower, g.angleSpacing, kBegin + c));
        out.theta[idx] = v.theta;
        out.m11[idx] = v.m11;
        out.m12[idx] = v.m12;
        out.m21[idx] = v.m21;
        out.m22[idx] = v.m22;
        out.vvo[idx] = v.vvo;
    }
}

void computeStepList(const PassGeometry& g, std::span<const int> steps, StepBlock& out) {
    const int count = static_cast<int>(steps.size());
    if (g.kernel == KernelPath::Fast && fastKernelAvailable()) {
        computeStepListAvx2(g, steps.data(), count, out);
        return;
    }
    out.count = count;
    for (int c = 0; c < count; ++c) {
        const auto idx = static_cast<std::size_t>(c);
        const StepValues v = computeStep(g, azimuthAngle(g.lower, g.angleSpacing, steps[idx]));
        out.theta[idx] = v.theta;
        out.m11[idx] = v.m11;
        out.m12[idx] = v.m12;
        out.m21[idx] = v.m21;
        out.m22[idx] = v.m22;
        out.vvo[idx] = v.vvo;
    }
}

}  // namespace lamivex::engine
