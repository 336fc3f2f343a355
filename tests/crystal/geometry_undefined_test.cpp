// Inputs where a formula has no value: each result says why, and no label shows nan or inf.

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "crystal/geometry.h"

namespace lamivex::crystal {
namespace {

CrystalCell cellOf(double a, double b, double c, double alphaDeg, double betaDeg, double gammaDeg) {
    return {
        a, b, c, degreesToRadians(alphaDeg), degreesToRadians(betaDeg), degreesToRadians(gammaDeg)};
}

void expectUndefined(const CrystalResult& result, const std::string& reasonPart) {
    EXPECT_FALSE(result.defined());
    EXPECT_NE(result.reason.find(reasonPart), std::string::npos) << result.reason;
    const std::string label = resultLabelText(result);
    EXPECT_EQ(label.rfind("undefined: ", 0), 0U) << label;
    EXPECT_EQ(label.find("nan"), std::string::npos) << label;
    EXPECT_EQ(label.find("inf"), std::string::npos) << label;
}

const CrystalCell kCubic10 = cellOf(10, 10, 10, 90, 90, 90);

TEST(UndefinedTest, ZeroPlaneHasNoSpacingOrAngle) {
    for (const CrystalSystem system : kAllSystems) {
        const CrystalCell cell = cellOf(5, 6, 7, 80, 100, 110);
        expectUndefined(planeSpacing(system, cell, {0, 0, 0}), "(0 0 0)");
        expectUndefined(interplanarAngle(system, cell, {0, 0, 0}, {1, 0, 0}), "plane 1");
        expectUndefined(interplanarAngle(system, cell, {1, 0, 0}, {0, 0, 0}), "plane 2");
    }
}

TEST(UndefinedTest, ZeroDirectionHasNoAngle) {
    expectUndefined(directionAngle(kCubic10, {0, 0, 0}, {1, 0, 0}), "direction 1");
    expectUndefined(directionAngle(kCubic10, {1, 0, 0}, {0, 0, 0}), "direction 2");
}

TEST(ParallelTest, ParallelPlanesGiveExactlyZeroOrOneEighty) {
    for (const CrystalSystem system : kAllSystems) {
        const CrystalCell cell = cellOf(5, 6, 7, 80, 100, 110);
        EXPECT_EQ(interplanarAngle(system, cell, {1, 0, 0}, {2, 0, 0}).value, 0.0)
            << systemName(system);
        EXPECT_EQ(interplanarAngle(system, cell, {1, 2, 3}, {2, 4, 6}).value, 0.0)
            << systemName(system);
        EXPECT_EQ(interplanarAngle(system, cell, {1, 1, 1}, {-1, -1, -1}).value, 180.0)
            << systemName(system);
        EXPECT_EQ(interplanarAngle(system, cell, {-3, 1, 2}, {-3, 1, 2}).value, 0.0)
            << systemName(system);
    }
    // The widest indices: the cross product must not overflow.
    EXPECT_EQ(
        interplanarAngle(CrystalSystem::Cubic, kCubic10, {32767, -32768, 1}, {32767, -32768, 1})
            .value,
        0.0);
}

TEST(ParallelTest, ParallelDirectionsGiveExactlyZeroOrOneEighty) {
    const CrystalCell cell = cellOf(5, 6, 7, 80, 100, 110);
    EXPECT_EQ(directionAngle(cell, {1, 1, 0}, {2, 2, 0}).value, 0.0);
    EXPECT_EQ(directionAngle(cell, {1, 2, 3}, {-2, -4, -6}).value, 180.0);
    EXPECT_EQ(directionAngle(cell, {0.1, 0.2, 0.3}, {0.1, 0.2, 0.3}).value, 0.0);
}

TEST(ParallelTest, CosineAtOrPastOneIsClamped) {
    EXPECT_EQ(arccosDegrees(1.0), 0.0);
    EXPECT_EQ(arccosDegrees(std::nextafter(1.0, 2.0)), 0.0);
    EXPECT_EQ(arccosDegrees(-1.0), 180.0);
    EXPECT_EQ(arccosDegrees(std::nextafter(-1.0, -2.0)), 180.0);
    // Just inside: a small finite angle, not nan.
    const double nearOne = arccosDegrees(std::nextafter(1.0, 0.0));
    EXPECT_TRUE(std::isfinite(nearOne));
    EXPECT_LT(nearOne, 1e-3);
}

TEST(UndefinedTest, LengthsMustBeAboveZero) {
    for (const double bad : {0.0, -5.0}) {
        const CrystalCell cell = cellOf(bad, 10, 10, 90, 90, 90);
        expectUndefined(planeSpacing(CrystalSystem::Cubic, cell, {1, 0, 0}), "a must be above 0");
        expectUndefined(interplanarAngle(CrystalSystem::Cubic, cell, {1, 0, 0}, {1, 1, 0}),
                        "a must be above 0");
        expectUndefined(cellVolume(CrystalSystem::Cubic, cell), "a must be above 0");
        expectUndefined(directionAngle(cell, {1, 0, 0}, {1, 1, 0}), "a must be above 0");
    }
    const CrystalCell zeroC = cellOf(10, 10, 0, 90, 90, 90);
    expectUndefined(cellVolume(CrystalSystem::Tetragonal, zeroC), "c must be above 0");
    expectUndefined(planeSpacing(CrystalSystem::Hexagonal, zeroC, {0, 0, 1}), "c must be above 0");
    const CrystalCell negativeB = cellOf(10, -1, 10, 90, 90, 90);
    expectUndefined(cellVolume(CrystalSystem::Orthorhombic, negativeB), "b must be above 0");
}

TEST(UndefinedTest, OnlyTheValuesASystemReadsAreChecked) {
    // A cubic cell reads a alone: stale b, c or angles do not matter to it.
    const CrystalCell cell = cellOf(10, 0, -3, 0, 400, 120);
    EXPECT_TRUE(planeSpacing(CrystalSystem::Cubic, cell, {1, 1, 0}).defined());
    EXPECT_TRUE(cellVolume(CrystalSystem::Cubic, cell).defined());
    // A trigonal cell reads a and alpha only.
    const CrystalCell trigonal = cellOf(5, 0, 0, 70, 0, 0);
    EXPECT_TRUE(cellVolume(CrystalSystem::Trigonal, trigonal).defined());
}

TEST(UndefinedTest, AnglesMustLieStrictlyBetweenZeroAndOneEighty) {
    for (const double beta : {0.0, 180.0, -90.0, 200.0, 360.0}) {
        const CrystalCell cell = cellOf(8, 9, 10, 90, beta, 90);
        expectUndefined(planeSpacing(CrystalSystem::Monoclinic, cell, {1, 0, 1}),
                        "beta must lie between 0 and 180");
        expectUndefined(cellVolume(CrystalSystem::Monoclinic, cell), "beta");
    }
    EXPECT_TRUE(cellVolume(CrystalSystem::Monoclinic, cellOf(8, 9, 10, 90, 179.9, 90)).defined());
    EXPECT_TRUE(cellVolume(CrystalSystem::Monoclinic, cellOf(8, 9, 10, 90, 0.1, 90)).defined());
}

TEST(UndefinedTest, AnglesThatGiveNoCell) {
    // Rhombohedral alpha = 120: the three axes lie in one plane (the tool's pi leaves the
    // volume factor at about 5e-13 rather than 0). Above 120 it turns negative.
    for (const double alpha : {120.0, 130.0, 170.0}) {
        const CrystalCell cell = cellOf(5, 5, 5, alpha, alpha, alpha);
        expectUndefined(cellVolume(CrystalSystem::Trigonal, cell), "no cell");
        expectUndefined(planeSpacing(CrystalSystem::Trigonal, cell, {1, 0, 0}), "no cell");
        expectUndefined(interplanarAngle(CrystalSystem::Trigonal, cell, {1, 0, 0}, {0, 1, 0}),
                        "no cell");
    }
    EXPECT_TRUE(cellVolume(CrystalSystem::Trigonal, cellOf(5, 5, 5, 119, 119, 119)).defined());
    // 10 + 10 < 90: no triclinic cell has these angles.
    const CrystalCell impossible = cellOf(5, 6, 7, 10, 10, 90);
    expectUndefined(cellVolume(CrystalSystem::Triclinic, impossible), "no cell");
    expectUndefined(planeSpacing(CrystalSystem::Triclinic, impossible, {1, 1, 1}), "no cell");
    expectUndefined(directionAngle(impossible, {1, 0, 0}, {0, 1, 0}), "no cell");
}

TEST(UndefinedTest, ValuesBeyondADoubleSayOutOfRange) {
    const double inf = std::numeric_limits<double>::infinity();
    const CrystalCell infinite = cellOf(inf, 10, 10, 90, 90, 90);
    expectUndefined(cellVolume(CrystalSystem::Cubic, infinite), "a is too large");
    // Finite values whose volume overflows.
    const CrystalCell huge = cellOf(1e200, 1e200, 1e200, 90, 90, 90);
    expectUndefined(cellVolume(CrystalSystem::Cubic, huge), "out of range");
    expectUndefined(planeSpacing(CrystalSystem::Cubic, huge, {1, 0, 0}), "out of range");
    expectUndefined(directionAngle(kCubic10, {inf, 0, 0}, {1, 0, 0}), "out of range");
}

}  // namespace
}  // namespace lamivex::crystal
