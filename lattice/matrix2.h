#pragma once
// 2×2 matrices of a lattice's coordinates. Convention everywhere: the rows are vectors in the
// other basis, b1 = m11·a1 + m12·a2 and b2 = m21·a1 + m22·a2.

#include <cstdint>

namespace lamivex::lattice {

struct Matrix2 {
    double m11 = 0;
    double m12 = 0;
    double m21 = 0;
    double m22 = 0;

    [[nodiscard]] double determinant() const { return m11 * m22 - m12 * m21; }
};

struct IntMatrix2 {
    std::int64_t m11 = 0;
    std::int64_t m12 = 0;
    std::int64_t m21 = 0;
    std::int64_t m22 = 0;

    // Spelled out: files that include gemmi compile as C++17 and read this header too.
    bool operator==(const IntMatrix2& o) const {
        return m11 == o.m11 && m12 == o.m12 && m21 == o.m21 && m22 == o.m22;
    }
    bool operator!=(const IntMatrix2& o) const { return !(*this == o); }
    [[nodiscard]] std::int64_t determinant() const { return m11 * m22 - m12 * m21; }
    [[nodiscard]] Matrix2 real() const {
        return {static_cast<double>(m11), static_cast<double>(m12), static_cast<double>(m21),
                static_cast<double>(m22)};
    }
};

inline constexpr IntMatrix2 kIdentity{1, 0, 0, 1};

[[nodiscard]] inline IntMatrix2 operator*(const IntMatrix2& a, const IntMatrix2& b) {
    return {a.m11 * b.m11 + a.m12 * b.m21, a.m11 * b.m12 + a.m12 * b.m22,
            a.m21 * b.m11 + a.m22 * b.m21, a.m21 * b.m12 + a.m22 * b.m22};
}
[[nodiscard]] inline Matrix2 operator*(const Matrix2& a, const Matrix2& b) {
    return {a.m11 * b.m11 + a.m12 * b.m21, a.m11 * b.m12 + a.m12 * b.m22,
            a.m21 * b.m11 + a.m22 * b.m21, a.m21 * b.m12 + a.m22 * b.m22};
}
[[nodiscard]] inline IntMatrix2 transposed(const IntMatrix2& m) {
    return {m.m11, m.m21, m.m12, m.m22};
}
// The inverse of a unimodular matrix (determinant ±1), again integral.
[[nodiscard]] inline IntMatrix2 unimodularInverse(const IntMatrix2& m) {
    const std::int64_t d = m.determinant();
    return {d * m.m22, -d * m.m12, -d * m.m21, d * m.m11};
}

}  // namespace lamivex::lattice
