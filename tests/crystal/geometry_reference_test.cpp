// Results against textbook values and against an independent computation from Cartesian
// cell vectors; cross-system invariants that catch a slip in one system's formula.

#include <array>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "crystal/geometry.h"

namespace lamivex::crystal {
namespace {

// The tool's arccosine adds 1.5708 - pi/2 radians to the true one.
const double kArccosOffsetDegrees = (1.5708 - M_PI / 2) * 180 / M_PI;

CrystalCell cellOf(double a, double b, double c, double alphaDeg, double betaDeg, double gammaDeg) {
    return {
        a, b, c, degreesToRadians(alphaDeg), degreesToRadians(betaDeg), degreesToRadians(gammaDeg)};
}

double valueOf(const CrystalResult& result) {
    EXPECT_TRUE(result.defined()) << result.reason;
    return result.value.value_or(-1);
}

// Reference by another route: Cartesian cell vectors (a along x, b in the xy plane),
// reciprocal vectors from cross products, d = 1/|h a* + k b* + l c*|.
using Vec = std::array<double, 3>;
Vec cross(const Vec& x, const Vec& y) {
    return {x[1] * y[2] - x[2] * y[1], x[2] * y[0] - x[0] * y[2], x[0] * y[1] - x[1] * y[0]};
}
double dot(const Vec& x, const Vec& y) {
    return x[0] * y[0] + x[1] * y[1] + x[2] * y[2];
}
Vec combine(double p, const Vec& x, double q, const Vec& y, double r, const Vec& z) {
    return {p * x[0] + q * y[0] + r * z[0], p * x[1] + q * y[1] + r * z[1],
            p * x[2] + q * y[2] + r * z[2]};
}

struct CartesianCell {
    Vec a, b, c, aStar, bStar, cStar;
    double volume;
};

CartesianCell cartesian(const CrystalCell& cell) {
    const double ca = std::cos(cell.alpha);
    const double cb = std::cos(cell.beta);
    const double cg = std::cos(cell.gamma);
    const double sg = std::sin(cell.gamma);
    const double cy = (ca - cb * cg) / sg;
    CartesianCell out;
    out.a = {cell.a, 0, 0};
    out.b = {cell.b * cg, cell.b * sg, 0};
    out.c = {cell.c * cb, cell.c * cy, cell.c * std::sqrt(1 - cb * cb - cy * cy)};
    out.volume = dot(out.a, cross(out.b, out.c));
    const auto scale = [&](Vec v) {
        for (double& x : v) {
            x /= out.volume;
        }
        return v;
    };
    out.aStar = scale(cross(out.b, out.c));
    out.bStar = scale(cross(out.c, out.a));
    out.cStar = scale(cross(out.a, out.b));
    return out;
}

Vec normal(const CartesianCell& cc, const MillerPlane& p) {
    return combine(p.h, cc.aStar, p.k, cc.bStar, p.l, cc.cStar);
}

double referenceSpacing(const CrystalCell& cell, const MillerPlane& p) {
    const Vec g = normal(cartesian(cell), p);
    return 1 / std::sqrt(dot(g, g));
}

double angleDegrees(const Vec& x, const Vec& y) {
    return std::acos(dot(x, y) / std::sqrt(dot(x, x) * dot(y, y))) * 180 / M_PI;
}

double referencePlaneAngle(const CrystalCell& cell, const MillerPlane& p1, const MillerPlane& p2) {
    const CartesianCell cc = cartesian(cell);
    return angleDegrees(normal(cc, p1), normal(cc, p2));
}

double referenceDirectionAngle(const CrystalCell& cell, const Direction& d1, const Direction& d2) {
    const CartesianCell cc = cartesian(cell);
    return angleDegrees(combine(d1.u, cc.a, d1.v, cc.b, d1.w, cc.c),
                        combine(d2.u, cc.a, d2.v, cc.b, d2.w, cc.c));
}

const std::vector<MillerPlane> kPlanes{{1, 0, 0}, {0, 1, 0},  {0, 0, 1}, {1, 1, 0}, {1, -1, 2},
                                       {2, 1, 3}, {-3, 2, 1}, {1, 1, 1}, {0, 2, -1}};

// ---- Textbook values ----

TEST(TextbookTest, SiliconD111) {
    // Silicon, diamond structure, a = 5.431 A: d(111) = a / sqrt(1 + 1 + 1) = 3.1356 A.
    const CrystalCell si = cellOf(5.431, 5.431, 5.431, 90, 90, 90);
    const CrystalResult d = planeSpacing(CrystalSystem::Cubic, si, {1, 1, 1});
    EXPECT_NEAR(valueOf(d), 3.1356, 5e-5);
    EXPECT_EQ(resultLabelText(d), "3.14");
}

TEST(TextbookTest, CubicAngleBetween111And100) {
    // cos phi = 1/sqrt(3): phi = 54.7356 degrees, plus the arccosine's offset.
    const CrystalCell cell = cellOf(4, 4, 4, 90, 90, 90);
    const CrystalResult phi = interplanarAngle(CrystalSystem::Cubic, cell, {1, 1, 1}, {1, 0, 0});
    EXPECT_NEAR(valueOf(phi), 54.7356, 1e-3);
    EXPECT_NEAR(valueOf(phi), std::acos(1 / std::sqrt(3.0)) * 180 / M_PI + kArccosOffsetDegrees,
                1e-9);
    EXPECT_EQ(resultLabelText(phi), "54.74");
}

TEST(TextbookTest, GraphiteD002) {
    // Graphite, hexagonal, a = 2.464 A, c = 6.711 A: d(002) = c / 2 = 3.3555 A, the
    // interlayer spacing.
    const CrystalCell graphite = cellOf(2.464, 2.464, 6.711, 90, 90, 120);
    EXPECT_NEAR(valueOf(planeSpacing(CrystalSystem::Hexagonal, graphite, {0, 0, 2})), 3.3555,
                1e-12);
    // d(100) = a·sqrt(3)/2 = 2.1339 A.
    EXPECT_NEAR(valueOf(planeSpacing(CrystalSystem::Hexagonal, graphite, {1, 0, 0})),
                2.464 * std::sqrt(3.0) / 2, 1e-12);
}

TEST(TextbookTest, CubicTenAngstromCell) {
    const CrystalCell cell = cellOf(10, 10, 10, 90, 90, 90);
    EXPECT_EQ(resultLabelText(planeSpacing(CrystalSystem::Cubic, cell, {1, 1, 0})), "7.07");
    const CrystalResult right = interplanarAngle(CrystalSystem::Cubic, cell, {1, 0, 0}, {0, 1, 0});
    EXPECT_EQ(resultLabelText(right), "90.00");
    EXPECT_GT(valueOf(right), 90);  // the arccosine's 1.5708 lies above pi/2
    EXPECT_EQ(resultLabelText(directionAngle(cell, {1, 0, 0}, {1, 1, 0})), "45.00");
    EXPECT_EQ(resultLabelText(cellVolume(CrystalSystem::Cubic, cell)), "1000.00");
}

TEST(TextbookTest, HexagonalVolumeUsesTheFactor0866) {
    const CrystalCell cell = cellOf(10, 10, 10, 90, 90, 120);
    EXPECT_DOUBLE_EQ(valueOf(cellVolume(CrystalSystem::Hexagonal, cell)), 866.0);
    EXPECT_EQ(resultLabelText(cellVolume(CrystalSystem::Hexagonal, cell)), "866.00");
}

// ---- Against the Cartesian reference ----

struct SystemCell {
    CrystalSystem system;
    CrystalCell cell;
};

std::vector<SystemCell> referenceCells() {
    return {
        {CrystalSystem::Cubic, cellOf(5.431, 5.431, 5.431, 90, 90, 90)},
        {CrystalSystem::Tetragonal, cellOf(4.59, 4.59, 2.96, 90, 90, 90)},
        {CrystalSystem::Orthorhombic, cellOf(4.76, 10.2, 5.98, 90, 90, 90)},
        {CrystalSystem::Hexagonal, cellOf(3.21, 3.21, 5.21, 90, 90, 120)},
        {CrystalSystem::Monoclinic, cellOf(8.56, 12.96, 7.21, 90, 116.1, 90)},
        {CrystalSystem::Trigonal, cellOf(5.43, 5.43, 5.43, 55.3, 55.3, 55.3)},
        {CrystalSystem::Triclinic, cellOf(7.1, 8.3, 9.2, 84.5, 101.2, 96.7)},
    };
}

TEST(CartesianReferenceTest, SpacingOfEverySystem) {
    for (const auto& [system, cell] : referenceCells()) {
        for (const MillerPlane& p : kPlanes) {
            const double expected = referenceSpacing(cell, p);
            EXPECT_NEAR(valueOf(planeSpacing(system, cell, p)), expected, 1e-10 * expected)
                << systemName(system) << " (" << p.h << p.k << p.l << ")";
        }
    }
}

TEST(CartesianReferenceTest, InterplanarAngleOfEverySystem) {
    for (const auto& [system, cell] : referenceCells()) {
        for (std::size_t i = 0; i + 1 < kPlanes.size(); ++i) {
            const MillerPlane& p1 = kPlanes[i];
            const MillerPlane& p2 = kPlanes[i + 1];
            EXPECT_NEAR(valueOf(interplanarAngle(system, cell, p1, p2)),
                        referencePlaneAngle(cell, p1, p2) + kArccosOffsetDegrees, 1e-8)
                << systemName(system) << " plane pair " << i;
        }
    }
}

TEST(CartesianReferenceTest, VolumeOfEverySystemButHexagonal) {
    for (const auto& [system, cell] : referenceCells()) {
        const double expected = cartesian(cell).volume;
        const double tolerance = system == CrystalSystem::Hexagonal ? 3e-5 : 1e-12;  // 0.866
        EXPECT_NEAR(valueOf(cellVolume(system, cell)), expected, tolerance * expected)
            << systemName(system);
    }
}

TEST(CartesianReferenceTest, DirectionAngleInAGeneralCell) {
    const CrystalCell cell = cellOf(7.1, 8.3, 9.2, 84.5, 101.2, 96.7);
    const std::vector<Direction> dirs{{1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, -2, 3}, {0.5, 0, -1}};
    for (std::size_t i = 0; i + 1 < dirs.size(); ++i) {
        EXPECT_NEAR(valueOf(directionAngle(cell, dirs[i], dirs[i + 1])),
                    referenceDirectionAngle(cell, dirs[i], dirs[i + 1]) + kArccosOffsetDegrees,
                    1e-8)
            << "pair " << i;
    }
}

// ---- Cross-system invariants ----

void expectSameGeometry(CrystalSystem general, CrystalSystem special, const CrystalCell& cell) {
    for (std::size_t i = 0; i < kPlanes.size(); ++i) {
        const MillerPlane& p = kPlanes[i];
        EXPECT_NEAR(valueOf(planeSpacing(general, cell, p)),
                    valueOf(planeSpacing(special, cell, p)), 1e-12)
            << systemName(general) << " vs " << systemName(special) << " plane " << i;
        const MillerPlane& q = kPlanes[(i + 3) % kPlanes.size()];
        EXPECT_NEAR(valueOf(interplanarAngle(general, cell, p, q)),
                    valueOf(interplanarAngle(special, cell, p, q)), 1e-8)
            << systemName(general) << " vs " << systemName(special) << " planes " << i;
    }
}

TEST(InvariantTest, TriclinicWithRightAnglesIsOrthorhombic) {
    const CrystalCell cell = cellOf(4.76, 10.2, 5.98, 90, 90, 90);
    expectSameGeometry(CrystalSystem::Triclinic, CrystalSystem::Orthorhombic, cell);
    EXPECT_NEAR(valueOf(cellVolume(CrystalSystem::Triclinic, cell)),
                valueOf(cellVolume(CrystalSystem::Orthorhombic, cell)), 1e-9);
}

TEST(InvariantTest, MonoclinicWithRightBetaIsOrthorhombic) {
    const CrystalCell cell = cellOf(4.76, 10.2, 5.98, 90, 90, 90);
    expectSameGeometry(CrystalSystem::Monoclinic, CrystalSystem::Orthorhombic, cell);
    EXPECT_NEAR(valueOf(cellVolume(CrystalSystem::Monoclinic, cell)),
                valueOf(cellVolume(CrystalSystem::Orthorhombic, cell)), 1e-9);
}

TEST(InvariantTest, TrigonalWithRightAlphaIsCubic) {
    const CrystalCell cell = cellOf(5.431, 5.431, 5.431, 90, 90, 90);
    expectSameGeometry(CrystalSystem::Trigonal, CrystalSystem::Cubic, cell);
    EXPECT_NEAR(valueOf(cellVolume(CrystalSystem::Trigonal, cell)),
                valueOf(cellVolume(CrystalSystem::Cubic, cell)), 1e-9);
}

TEST(InvariantTest, TetragonalIsOrthorhombicWithBEqualA) {
    const CrystalCell cell = cellOf(4.59, 4.59, 2.96, 90, 90, 90);
    expectSameGeometry(CrystalSystem::Orthorhombic, CrystalSystem::Tetragonal, cell);
}

TEST(InvariantTest, HexagonalIsTriclinicWithGamma120) {
    const CrystalCell cell = cellOf(2.464, 2.464, 6.711, 90, 90, 120);
    expectSameGeometry(CrystalSystem::Triclinic, CrystalSystem::Hexagonal, cell);
    // Only the volume differs, by 0.866 against sqrt(3)/2.
    EXPECT_NEAR(valueOf(cellVolume(CrystalSystem::Hexagonal, cell)) /
                    valueOf(cellVolume(CrystalSystem::Triclinic, cell)),
                0.866 / (std::sqrt(3.0) / 2), 1e-12);
}

TEST(InvariantTest, DirectionAngleIgnoresTheSystem) {
    // Direction and plane normal coincide in a cubic cell: [1 1 1] vs [1 0 0] is 54.74 too.
    const CrystalCell cell = cellOf(3, 3, 3, 90, 90, 90);
    EXPECT_NEAR(valueOf(directionAngle(cell, {1, 1, 1}, {1, 0, 0})),
                valueOf(interplanarAngle(CrystalSystem::Cubic, cell, {1, 1, 1}, {1, 0, 0})), 1e-9);
}

}  // namespace
}  // namespace lamivex::crystal
