// Invariants of the 2D lattice library on random lattices of every Bravais type: each lattice
// is made from its type's parameters, turned to a random Cartesian direction and written in a
// random basis (a random unimodular matrix), so nothing here restates a coordinate.

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "lattice/lattice2d.h"
#include "numbers/input_error.h"

namespace lamivex::lattice {
namespace {

constexpr int kLatticesPerType = 1000;

struct Case {
    BravaisType type;
    double a;
    double b;
    double gamma;  // degrees
};

Case randomCase(BravaisType type, std::mt19937_64& rng) {
    std::uniform_real_distribution<double> length(1.0, 20.0);
    std::uniform_real_distribution<double> fraction(0.0, 1.0);
    const double a = length(rng);
    // Away from the special ratios by far more than the tolerance.
    const double b = a * (1.05 + 1.8 * fraction(rng));
    switch (type) {
        case BravaisType::Hexagonal:
            return {type, a, a, fraction(rng) < 0.5 ? 60.0 : 120.0};
        case BravaisType::Square:
            return {type, a, a, 90};
        case BravaisType::Rectangular:
            return {type, a, b, 90};
        case BravaisType::CentredRectangular: {
            if (fraction(rng) < 0.5) {
                return {type, a, a, 62 + 26 * fraction(rng)};  // a rhombus
            }
            // The centred a × c rectangle's primitive cell: (a, 0) and (a/2, c/2).
            // c above √3·a, so that this basis is already the reduced one.
            const double c = a * (1.8 + 3 * fraction(rng));
            return {type, a, std::hypot(a / 2, c / 2), std::atan2(c, a) / 0.017453292519943295};
        }
        case BravaisType::Oblique:
            break;
    }
    double gamma = 62 + 26 * fraction(rng);
    // Keep clear of 2·b·cos γ = a, the centred cell.
    if (std::fabs(2 * b * std::cos(gamma * 0.017453292519943295) - a) < 0.05 * a) {
        gamma += 10;
    }
    return {type, a, b, gamma};
}

IntMatrix2 randomUnimodular(std::mt19937_64& rng) {
    std::uniform_int_distribution<int> step(-3, 3);
    IntMatrix2 u = kIdentity;
    for (int k = 0; k < 3; ++k) {
        const int s = step(rng);
        u = (k % 2 == 0 ? IntMatrix2{1, s, 0, 1} : IntMatrix2{1, 0, s, 1}) * u;
    }
    return std::uniform_int_distribution<int>(0, 1)(rng) == 0 ? u : IntMatrix2{0, 1, 1, 0} * u;
}

Basis2 turned(const Basis2& b, double radians) {
    const auto turn = [&](Vec2 v) {
        return Vec2{v.x * std::cos(radians) - v.y * std::sin(radians),
                    v.x * std::sin(radians) + v.y * std::cos(radians)};
    };
    return {turn(b.v1), turn(b.v2)};
}

// A lattice of the case in a scrambled basis.
Basis2 scrambled(const Case& c, std::mt19937_64& rng) {
    const Basis2 conventional = Basis2::fromParameters(c.a, c.b, c.gamma);
    std::uniform_real_distribution<double> direction(-3.14, 3.14);
    return turned(conventional.transformed(randomUnimodular(rng)), direction(rng));
}

double gram(const Basis2& b, std::int64_t u1, std::int64_t v1, std::int64_t u2, std::int64_t v2) {
    return dot(b.at(static_cast<double>(u1), static_cast<double>(v1)),
               b.at(static_cast<double>(u2), static_cast<double>(v2)));
}

constexpr BravaisType kTypes[] = {BravaisType::Oblique, BravaisType::Rectangular,
                                  BravaisType::CentredRectangular, BravaisType::Square,
                                  BravaisType::Hexagonal};

TEST(LatticeInvariants, ReductionKeepsTheLatticeAndMeetsItsConditions) {
    std::mt19937_64 rng(11);
    for (const BravaisType type : kTypes) {
        for (int n = 0; n < kLatticesPerType; ++n) {
            const Basis2 basis = scrambled(randomCase(type, rng), rng);
            const ReducedBasis r = reduce(basis);
            const std::int64_t det = r.transform.determinant();
            ASSERT_TRUE(det == 1 || det == -1) << bravaisName(type);
            const Basis2 again = basis.transformed(r.transform);
            const double scale = basis.v1.length() + basis.v2.length();
            EXPECT_NEAR((again.v1 - r.basis.v1).length(), 0, 1e-9 * scale);
            EXPECT_NEAR((again.v2 - r.basis.v2).length(), 0, 1e-9 * scale);
            EXPECT_NEAR(r.basis.area(), basis.area(), 1e-9 * basis.area());
            const double s1 = dot(r.basis.v1, r.basis.v1);
            EXPECT_LE(s1, dot(r.basis.v2, r.basis.v2) * (1 + 1e-9));
            EXPECT_GE(dot(r.basis.v1, r.basis.v2), -1e-9 * s1);
            EXPECT_LE(dot(r.basis.v1, r.basis.v2), s1 / 2 * (1 + 1e-9));
            // No lattice vector is shorter than the reduced v1 (a brute-force look).
            for (int u = -4; u <= 4; ++u) {
                for (int v = -4; v <= 4; ++v) {
                    if (u != 0 || v != 0) {
                        ASSERT_GE(basis.at(u, v).length(), r.basis.v1.length() * (1 - 1e-9));
                    }
                }
            }
            const ReducedBasis kept = reduceKeepingHandedness(basis);
            EXPECT_EQ(kept.basis.rightHanded(), basis.rightHanded());
        }
    }
}

TEST(LatticeInvariants, TypeIsFoundInAnyBasisAndDropsJustPastTheTolerance) {
    std::mt19937_64 rng(12);
    for (const BravaisType type : kTypes) {
        for (int n = 0; n < kLatticesPerType; ++n) {
            const Case c = randomCase(type, rng);
            ASSERT_EQ(bravaisType(scrambled(c, rng)), type)
                << bravaisName(type) << " " << c.a << " " << c.b << " " << c.gamma;
            if (type == BravaisType::Oblique) {
                continue;
            }
            // A tenth of the tolerance keeps the type; ten times it loses the symmetry.
            Case inside = c;
            inside.b *= 1 + 0.1 * kDefaultTolerance;
            EXPECT_EQ(bravaisType(scrambled(inside, rng)), type)
                << bravaisName(type) << " " << c.a << " " << c.b << " " << c.gamma;
            Case outside = c;
            if (type == BravaisType::Rectangular) {
                outside.gamma += 10 * kDefaultTolerance * 57.3;
            } else {
                outside.b *= 1 + 10 * kDefaultTolerance;
            }
            EXPECT_NE(bravaisType(scrambled(outside, rng)), type) << bravaisName(type);
        }
    }
}

TEST(LatticeInvariants, PointGroupIsAGroupOfIsometriesOfTheLattice) {
    std::mt19937_64 rng(13);
    const auto expectedOrder = [](BravaisType t) {
        switch (t) {
            case BravaisType::Hexagonal:
                return 12;
            case BravaisType::Square:
                return 8;
            case BravaisType::Oblique:
                return 2;
            default:
                return 4;
        }
    };
    for (const BravaisType type : kTypes) {
        for (int n = 0; n < kLatticesPerType; ++n) {
            const Basis2 basis = scrambled(randomCase(type, rng), rng);
            const PointGroup group = pointGroup(basis);
            ASSERT_EQ(static_cast<int>(group.operations.size()), expectedOrder(type));
            EXPECT_EQ(group.operations.front().matrix, kIdentity);
            const double scale = gram(basis, 1, 0, 1, 0) + gram(basis, 0, 1, 0, 1);
            for (const SymmetryOperation& op : group.operations) {
                const IntMatrix2& g = op.matrix;
                // Images of v1 and v2 keep every scalar product: gᵀ·M·g = M.
                EXPECT_NEAR(gram(basis, g.m11, g.m21, g.m11, g.m21), gram(basis, 1, 0, 1, 0),
                            1e-9 * scale);
                EXPECT_NEAR(gram(basis, g.m11, g.m21, g.m12, g.m22), gram(basis, 1, 0, 0, 1),
                            1e-9 * scale);
                EXPECT_NEAR(gram(basis, g.m12, g.m22, g.m12, g.m22), gram(basis, 0, 1, 0, 1),
                            1e-9 * scale);
                EXPECT_EQ(op.mirror, g.determinant() == -1);
                for (const SymmetryOperation& other : group.operations) {
                    const IntMatrix2 product = g * other.matrix;
                    EXPECT_TRUE(std::ranges::any_of(
                        group.operations, [&](const auto& o) { return o.matrix == product; }));
                }
            }
        }
    }
}

TEST(LatticeInvariants, SameLatticeInAnyBasisButNotASublattice) {
    std::mt19937_64 rng(14);
    for (const BravaisType type : kTypes) {
        for (int n = 0; n < kLatticesPerType; ++n) {
            const Case c = randomCase(type, rng);
            const Basis2 one = Basis2::fromParameters(c.a, c.b, c.gamma);
            const Basis2 other = one.transformed(randomUnimodular(rng));
            EXPECT_TRUE(sameLattice(one, other, kDefaultTolerance));
            const Basis2 doubled{2.0 * other.v1, other.v2};
            EXPECT_FALSE(sameLattice(one, doubled, kDefaultTolerance));
        }
    }
}

TEST(LatticeInvariants, RowFamiliesAreTheDensestRows) {
    std::mt19937_64 rng(15);
    for (const BravaisType type : kTypes) {
        for (int n = 0; n < kLatticesPerType; ++n) {
            const Basis2 basis = scrambled(randomCase(type, rng), rng);
            const std::vector<RowFamily> families = rowFamilies(basis);
            // Two, or a third as short as the longer of them (always on a hexagonal lattice).
            ASSERT_GE(families.size(), 2U);
            ASSERT_LE(families.size(), 3U);
            if (type == BravaisType::Hexagonal) {
                ASSERT_EQ(families.size(), 3U);
            }
            // Rows of any other primitive index up to 6 lie closer together than the least
            // dense family's (brute force over indices; spacing = 2π / |h·a1* + k·a2*|).
            double sparsest = 1e300;
            for (const RowFamily& f : families) {
                EXPECT_EQ(std::gcd(f.h, f.k), 1);
                sparsest = std::min(sparsest, f.spacing);
            }
            const Basis2 reciprocal = basis.reciprocal();
            for (int h = -6; h <= 6; ++h) {
                for (int k = -6; k <= 6; ++k) {
                    const bool listed = std::ranges::any_of(families, [&](const RowFamily& f) {
                        return (f.h == h && f.k == k) || (f.h == -h && f.k == -k);
                    });
                    if (std::gcd(h, k) != 1 || listed) {
                        continue;
                    }
                    const double spacing = 2 * 3.141592653589793 / reciprocal.at(h, k).length();
                    ASSERT_LE(spacing, sparsest * (1 + 1e-9)) << h << " " << k;
                }
            }
        }
    }
}

TEST(LatticeInvariants, WedgeAndRefusals) {
    EXPECT_DOUBLE_EQ(Lattice2D(2.884, 2.884, 120).wedge().upper, 60);
    EXPECT_DOUBLE_EQ(Lattice2D(3.61, 3.61, 90).wedge().upper, 90);
    EXPECT_DOUBLE_EQ(Lattice2D(2.55, 3.61, 90).wedge().upper, 180);
    EXPECT_THROW(Lattice2D(0, 1, 90), numbers::InputError);
    EXPECT_THROW(Lattice2D(1, 1, 180), numbers::InputError);
    EXPECT_THROW(Lattice2D(Basis2{{1, 0}, {2, 0}}), numbers::InputError);
}

}  // namespace
}  // namespace lamivex::lattice
