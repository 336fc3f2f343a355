#include "model/strain.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lamivex::model {
namespace {

using Mat2 = std::array<Vec2, 2>;  // rows

Mat2 multiply(const Mat2& p, const Mat2& q) {
    return {Vec2{p[0][0] * q[0][0] + p[0][1] * q[1][0], p[0][0] * q[0][1] + p[0][1] * q[1][1]},
            Vec2{p[1][0] * q[0][0] + p[1][1] * q[1][0], p[1][0] * q[0][1] + p[1][1] * q[1][1]}};
}

double det(const Mat2& m) {
    return m[0][0] * m[1][1] - m[0][1] * m[1][0];
}

Mat2 inverse(const Mat2& m) {
    const double d = det(m);
    return {Vec2{m[1][1] / d, -m[0][1] / d}, Vec2{-m[1][0] / d, m[0][0] / d}};
}

Mat2 transposed(const Mat2& m) {
    return {Vec2{m[0][0], m[1][0]}, Vec2{m[0][1], m[1][1]}};
}

// The square root of a symmetric positive definite 2×2 matrix C:
// √C = (C + s·1) / t with s = √det C and t = √(tr C + 2s) (Cayley-Hamilton).
Mat2 squareRoot(const Mat2& c) {
    const double s = std::sqrt(det(c));
    const double t = std::sqrt(c[0][0] + c[1][1] + 2 * s);
    return {Vec2{(c[0][0] + s) / t, c[0][1] / t}, Vec2{c[1][0] / t, (c[1][1] + s) / t}};
}

double direction(const Vec2& v) {
    return std::atan2(v[1], v[0]);
}

}  // namespace

double Strain::largestPercent() const {
    return std::max(std::fabs(principalPercent[0]), std::fabs(principalPercent[1]));
}

Strain strainBetween(const Vec2& b1, const Vec2& b2, const Vec2& a1, const Vec2& a2) {
    // The model's frame has A1 along x: turn everything by −(direction of A1).
    const double turn = -direction(a1);
    const auto turned = [&](const Vec2& v) {
        return Vec2{v[0] * std::cos(turn) - v[1] * std::sin(turn),
                    v[0] * std::sin(turn) + v[1] * std::cos(turn)};
    };
    const Vec2 B1 = turned(b1), B2 = turned(b2), A1 = turned(a1), A2 = turned(a2);
    const Mat2 a{Vec2{A1[0], A2[0]}, Vec2{A1[1], A2[1]}};  // columns A1, A2
    const Mat2 b{Vec2{B1[0], B2[0]}, Vec2{B1[1], B2[1]}};
    const Mat2 f = multiply(a, inverse(b));
    const Mat2 v = squareRoot(multiply(f, transposed(f)));  // F = V·R
    const Mat2 r = multiply(inverse(v), f);

    Strain strain;
    strain.tensor = {Vec2{v[0][0] - 1, v[0][1]}, Vec2{v[1][0], v[1][1] - 1}};
    const double mean = (v[0][0] + v[1][1]) / 2;
    const double half = std::hypot((v[0][0] - v[1][1]) / 2, v[0][1]);
    strain.principalPercent = {(mean + half - 1) * 100, (mean - half - 1) * 100};
    strain.areaPercent = (det(f) - 1) * 100;
    strain.vectorPercent = {(std::hypot(A1[0], A1[1]) / std::hypot(B1[0], B1[1]) - 1) * 100,
                            (std::hypot(A2[0], A2[1]) / std::hypot(B2[0], B2[1]) - 1) * 100};
    strain.rotation = std::atan2(r[1][0], r[0][0]) * 180 / std::numbers::pi;
    return strain;
}

}  // namespace lamivex::model
