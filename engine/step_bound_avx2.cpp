#include "engine/step_bound_avx2.h"

#include <immintrin.h>

namespace lamivex::engine {
namespace {

// max(1 / p, 2 d) of four wave factors, d their distance to a whole number less eta; ok
// turns false in a lane whose d is under delta0.
__m256d factorReciprocal(__m256d x, __m256d invP, __m256d eta, __m256d delta0, __m256d& ok) {
    const __m256d ratio = _mm256_set1_pd(kBoundPiRatio);
    const __m256d scaled = _mm256_mul_pd(x, ratio);
    const __m256d nearest = _mm256_round_pd(scaled, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
    const __m256d signBit = _mm256_set1_pd(-0.0);
    const __m256d d = _mm256_sub_pd(_mm256_andnot_pd(signBit, _mm256_sub_pd(scaled, nearest)), eta);
    ok = _mm256_and_pd(ok, _mm256_cmp_pd(d, delta0, _CMP_GE_OQ));
    return _mm256_max_pd(invP, _mm256_add_pd(d, d));
}

}  // namespace

int boundSurvivorsAvx2(const StepBound::Constants& p, const MatrixSines& sines, int kBegin,
                       int count, double threshold, int* steps) {
    // Left out when every distance is large enough and sum 1 / t_i <= budget, compared as
    // sum of the products of the other t's <= budget times all of them (every t is > 0).
    const __m256d budget = _mm256_set1_pd((1 - p.margin - threshold) * p.D);
    const __m256d c11 = _mm256_set1_pd(p.c11);
    const __m256d c21 = _mm256_set1_pd(p.c21);
    const __m256d c12 = _mm256_set1_pd(p.c12);
    const __m256d c22 = _mm256_set1_pd(p.c22);
    const __m256d invP = _mm256_set1_pd(p.invP);
    const __m256d invQ = _mm256_set1_pd(p.invQ);
    const __m256d eta = _mm256_set1_pd(p.eta);
    const __m256d delta0 = _mm256_set1_pd(p.delta0);
    int kept = 0;
    int k = kBegin;
    const int end = kBegin + count;
    for (; k < end; k += 4) {  // the tables run on to a whole group of four
        const auto i = static_cast<std::size_t>(k);
        const __m256d m11 = _mm256_mul_pd(c11, _mm256_loadu_pd(&sines.m11[i]));
        const __m256d m21 = _mm256_mul_pd(c21, _mm256_loadu_pd(&sines.m21[i]));
        const __m256d m12 = _mm256_mul_pd(c12, _mm256_loadu_pd(&sines.m12[i]));
        const __m256d m22 = _mm256_mul_pd(c22, _mm256_loadu_pd(&sines.m22[i]));
        __m256d ok = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
        const __m256d t1 = _mm256_mul_pd(factorReciprocal(m11, invP, eta, delta0, ok),
                                         factorReciprocal(m21, invQ, eta, delta0, ok));
        const __m256d t2 = _mm256_mul_pd(factorReciprocal(m12, invP, eta, delta0, ok),
                                         factorReciprocal(m22, invQ, eta, delta0, ok));
        __m256d lhs;
        __m256d rhs;
        if (p.hexagonal) {
            const __m256d t3 =
                _mm256_mul_pd(factorReciprocal(_mm256_add_pd(m11, m12), invP, eta, delta0, ok),
                              factorReciprocal(_mm256_add_pd(m21, m22), invQ, eta, delta0, ok));
            const __m256d t12 = _mm256_mul_pd(t1, t2);
            lhs = _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(t2, t3), _mm256_mul_pd(t1, t3)), t12);
            rhs = _mm256_mul_pd(budget, _mm256_mul_pd(t12, t3));
        } else {
            lhs = _mm256_add_pd(t1, t2);
            rhs = _mm256_mul_pd(budget, _mm256_mul_pd(t1, t2));
        }
        const __m256d leftOut = _mm256_and_pd(ok, _mm256_cmp_pd(lhs, rhs, _CMP_LE_OQ));
        const int mask = ~_mm256_movemask_pd(leftOut) & 0xF;
        for (int lane = 0; lane < 4; ++lane) {
            if ((mask >> lane) & 1 && k + lane < end) {
                steps[kept++] = k + lane;
            }
        }
    }
    return kept;
}

}  // namespace lamivex::engine
