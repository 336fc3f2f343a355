#pragma once
// The per-step arithmetic of the orientation match: the azimuth grid, the transformation
// matrix and V/Vo. A kernel over a run of steps, so the pass and the iteration scan share
// it and a vectorised version can stand beside it.

#include <array>
#include <cstdint>
#include <span>

#include "numbers/constants.h"

namespace lamivex::engine {

using numbers::kDegree;
using numbers::kPi;
inline constexpr double kAngleOffset = 0.001;  // degrees, added to every azimuth angle

// Scalar: glibc sines in the order the formulas are written, the reference the tests hold to.
// Fast: four steps at a time with SLEEF's 1-ULP AVX2 sines and the k-independent factors
// hoisted; agrees with Scalar to about 1e-12 in V/Vo away from the singular points. Fast
// falls back to Scalar on processors without AVX2 and FMA.
enum class KernelPath { Scalar, Fast };

[[nodiscard]] bool fastKernelAvailable();

// One overlayer against one substrate, as a pass computes it. Lengths in Angstroms,
// angles in degrees; b1 and b2 already multiplied for the pass.
struct PassGeometry {
    double a1 = 0;
    double a2 = 0;
    double alpha = 0;
    double beta = 0;
    double b1 = 0;
    double b2 = 0;
    bool hexagonal = false;
    double lower = 0;        // first azimuth, from the lower-bound text
    float angleSpacing = 0;  // degrees
    // Domain of (2m+1) x (2n+1) points; D = 2PQ. Wide so any 16-bit m and n fit.
    int64_t P = 1;
    int64_t Q = 1;
    int64_t D = 2;
    KernelPath kernel = KernelPath::Fast;
};

[[nodiscard]] PassGeometry makePassGeometry(double a1, double a2, double alpha, double beta,
                                            double b1, double b2, bool hexagonal, double lower,
                                            float angleSpacing, int m, int n);

// theta_k = lower + k·spacing + 0.001 in double, k first made single, rounded to single.
[[nodiscard]] float azimuthAngle(double lower, float angleSpacing, int k);

// S(p, x)·S(q, y) with S(p, x) = sin(p·pi·x) / sin(pi·x), evaluated in the order
// ((sin(P pi x) / sin(pi x)) · sin(Q pi y)) / sin(pi y); S is its limit p where sin(pi x) = 0.
[[nodiscard]] double waveTerm(double P, double Q, double x, double y);

struct StepValues {
    float theta = 0;
    double m11 = 0;
    double m12 = 0;
    double m21 = 0;
    double m22 = 0;
    double vvo = 0;
};

[[nodiscard]] StepValues computeStep(const PassGeometry& g, float theta);
// The same at an azimuth that is not a single value (a matrix given by the user).
[[nodiscard]] StepValues computeStepAt(const PassGeometry& g, double theta);
// One orientation on its own, with each wave argument first reduced to its distance from the
// nearest whole number (S(p, x) = S(p, x - round(x)) for odd p). The pass's formula loses
// digits as x nears a whole number, so a commensurate matrix given exactly would come out
// short of 0 or -0.5; the reduced form gives the limit.
[[nodiscard]] StepValues computeOrientationAt(const PassGeometry& g, double theta);

inline constexpr int kStepBlock = 64;

struct StepBlock {
    int count = 0;
    std::array<float, kStepBlock> theta{};
    std::array<double, kStepBlock> m11{};
    std::array<double, kStepBlock> m12{};
    std::array<double, kStepBlock> m21{};
    std::array<double, kStepBlock> m22{};
    std::array<double, kStepBlock> vvo{};
};

// Steps kBegin .. kBegin + count - 1 (count <= kStepBlock) into out.
void computeSteps(const PassGeometry& g, int kBegin, int count, StepBlock& out);
// The steps listed (at most kStepBlock), entry c of out for steps[c], each bit for bit as
// computeSteps gives it.
void computeStepList(const PassGeometry& g, std::span<const int> steps, StepBlock& out);

}  // namespace lamivex::engine
