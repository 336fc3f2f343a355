#include "engine/match_kernel_avx2.h"

#include <immintrin.h>
#include <sleef.h>

#include <algorithm>
#include <cmath>

namespace lamivex::engine {
namespace {

// What does not change with k, computed once per block run.
struct Hoisted {
    __m256d alphaDeg;
    __m256d alphaMinusBetaDeg;
    __m256d betaDeg;
    __m256d degree;
    __m256d c11;  // b1 / (a1 sin alpha)
    __m256d c21;  // b2 / (a1 sin alpha)
    __m256d c12;  // b1 / (a2 sin alpha)
    __m256d c22;  // b2 / (a2 sin alpha)
    __m256d pi;
    __m256d pPi;  // P·pi
    __m256d qPi;  // Q·pi
    __m256d p;
    __m256d q;
};

Hoisted hoist(const PassGeometry& g) {
    const double s = std::sin(g.alpha * kDegree);
    const auto P = static_cast<double>(g.P);
    const auto Q = static_cast<double>(g.Q);
    return {_mm256_set1_pd(g.alpha),
            _mm256_set1_pd(g.alpha - g.beta),
            _mm256_set1_pd(g.beta),
            _mm256_set1_pd(kDegree),
            _mm256_set1_pd(g.b1 / (g.a1 * s)),
            _mm256_set1_pd(g.b2 / (g.a1 * s)),
            _mm256_set1_pd(g.b1 / (g.a2 * s)),
            _mm256_set1_pd(g.b2 / (g.a2 * s)),
            _mm256_set1_pd(kPi),
            _mm256_set1_pd(P * kPi),
            _mm256_set1_pd(Q * kPi),
            _mm256_set1_pd(P),
            _mm256_set1_pd(Q)};
}

// sin(n·pi·x) / sin(pi·x), with its limit n where sin(pi·x) is exactly 0.
__m256d dirichlet(__m256d nPi, __m256d n, __m256d pi, __m256d x) {
    const __m256d den = Sleef_sind4_u10avx2(_mm256_mul_pd(pi, x));
    const __m256d num = Sleef_sind4_u10avx2(_mm256_mul_pd(nPi, x));
    const __m256d zero = _mm256_cmp_pd(den, _mm256_setzero_pd(), _CMP_EQ_OQ);
    return _mm256_blendv_pd(_mm256_div_pd(num, den), n, zero);
}

__m256d wave(const Hoisted& h, __m256d x, __m256d y) {
    return _mm256_mul_pd(dirichlet(h.pPi, h.p, h.pi, x), dirichlet(h.qPi, h.q, h.pi, y));
}

}  // namespace

namespace {

// Entry c of out is the step kBegin + c, or steps[c] when a list is given: the lanes hold
// the same values whichever steps share a vector, so a step computed alone is the step
// computed in its run.
void computeLanes(const PassGeometry& g, int kBegin, const int* steps, int count, StepBlock& out) {
    out.count = count;
    const Hoisted h = hoist(g);
    const __m256d d = _mm256_set1_pd(static_cast<double>(g.D));
    for (int c = 0; c < count; c += 4) {
        alignas(32) double theta[4];
        for (int lane = 0; lane < 4; ++lane) {
            // Past the end of the run the last angle is repeated; those lanes are not stored.
            const int step = std::min(c + lane, count - 1);
            const int k = steps != nullptr ? steps[step] : kBegin + step;
            const float angle = azimuthAngle(g.lower, g.angleSpacing, k);
            out.theta[static_cast<std::size_t>(step)] = angle;
            theta[lane] = angle;
        }
        const __m256d t = _mm256_load_pd(theta);
        const __m256d m11 = _mm256_mul_pd(
            h.c11, Sleef_sind4_u10avx2(_mm256_mul_pd(_mm256_sub_pd(h.alphaDeg, t), h.degree)));
        const __m256d m21 = _mm256_mul_pd(
            h.c21,
            Sleef_sind4_u10avx2(_mm256_mul_pd(_mm256_sub_pd(h.alphaMinusBetaDeg, t), h.degree)));
        const __m256d m12 = _mm256_mul_pd(h.c12, Sleef_sind4_u10avx2(_mm256_mul_pd(t, h.degree)));
        const __m256d m22 = _mm256_mul_pd(
            h.c22, Sleef_sind4_u10avx2(_mm256_mul_pd(_mm256_add_pd(h.betaDeg, t), h.degree)));

        __m256d v = _mm256_sub_pd(d, wave(h, m11, m21));
        v = _mm256_sub_pd(v, wave(h, m12, m22));
        if (g.hexagonal) {
            v = _mm256_sub_pd(v, wave(h, _mm256_add_pd(m11, m12), _mm256_add_pd(m21, m22)));
        }
        const __m256d vvo = _mm256_div_pd(v, d);

        alignas(32) double lanes[6][4];
        _mm256_store_pd(lanes[0], m11);
        _mm256_store_pd(lanes[1], m12);
        _mm256_store_pd(lanes[2], m21);
        _mm256_store_pd(lanes[3], m22);
        _mm256_store_pd(lanes[4], vvo);
        for (int lane = 0; lane < 4 && c + lane < count; ++lane) {
            const auto idx = static_cast<std::size_t>(c) + static_cast<std::size_t>(lane);
            out.m11[idx] = lanes[0][lane];
            out.m12[idx] = lanes[1][lane];
            out.m21[idx] = lanes[2][lane];
            out.m22[idx] = lanes[3][lane];
            out.vvo[idx] = lanes[4][lane];
        }
    }
}

}  // namespace

void computeStepsAvx2(const PassGeometry& g, int kBegin, int count, StepBlock& out) {
    computeLanes(g, kBegin, nullptr, count, out);
}

void computeStepListAvx2(const PassGeometry& g, const int* steps, int count, StepBlock& out) {
    computeLanes(g, 0, steps, count, out);
}

}  // namespace lamivex::engine
