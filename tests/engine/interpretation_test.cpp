// What a best orientation means: textbook cells named as a surface scientist names them,
// the types of epitaxy under the registry rule, a coincidence found by the geometric search,
// the hexagonal conventions and the matrix given back from the lattice it describes.

#include "engine/interpretation.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/completed_scan.h"
#include "engine/match_kernel.h"

namespace lamivex::engine {
namespace {

const SubstrateCell kCu111{2.5562, 2.5562, 60};
const SubstrateCell kCu100{2.5562, 2.5562, 90};
const SubstrateCell kCu110{2.5562, 3.615, 90};

// A matrix as a pass gives it: the exact one off by a few parts in 10^12.
Matrix2 measured(double m11, double m12, double m21, double m22) {
    constexpr double kNoise = 1 + 3e-12;
    return {m11 * kNoise, m12 * kNoise, m21 * kNoise, m22 * kNoise};
}

TEST(Interpretation, NamesDependOnTheLatticeNotOnTheBasisOrTheDomain) {
    const SubstrateCell kCu111at120{2.5562, 2.5562, 120};
    // Each matrix's name was worked out by hand from |b|/a and the angle of b1 to a1, then
    // brought to the smallest rotation the substrate's rotations and mirrors allow.
    const struct {
        const char* what;
        SubstrateCell substrate;
        Matrix2 matrix;
        const char* name;
        const char* otherDomain;
    } kCases[] = {
        {"2x2", kCu111, measured(2, 0, 0, 2), "(2×2)", ""},
        {"2x2 met at 60 degrees", kCu111, measured(0, 2, -2, 2), "(2×2)", ""},
        {"3x3 met at 60 degrees", kCu111, measured(0, 3, -3, 3), "(3×3)", ""},
        {"sqrt3", kCu111, measured(1, 1, -1, 2), "(√3×√3)R30°", ""},
        {"sqrt3 met at 90 degrees", kCu111, measured(-1, 2, -2, 1), "(√3×√3)R30°", ""},
        {"sqrt3 typed with beta 120", kCu111, measured(1, 1, -2, 1), "(√3×√3)R30°", ""},
        {"sqrt3 left-handed", kCu111, measured(1, 1, 2, -1), "(√3×√3)R30°", ""},
        {"sqrt3 on the 120 cell", kCu111at120, measured(2, 1, -1, 1), "(√3×√3)R30°", ""},
        {"sqrt3 beta 60 on the 120 cell", kCu111at120, measured(2, 1, 1, 2), "(√3×√3)R30°", ""},
        {"sqrt7", kCu111, measured(2, 1, -1, 3), "(√7×√7)R19.1°", ""},
        {"sqrt7 met at 79.1 degrees", kCu111, measured(-1, 3, -3, 2), "(√7×√7)R19.1°", ""},
        {"sqrt7 mirror domain, left-handed", kCu111, measured(3, -1, 2, -3), "(√7×√7)R19.1°", ""},
        {"sqrt13", kCu111, measured(3, 1, -1, 4), "(√13×√13)R13.9°", ""},
        {"sqrt19", kCu111, measured(3, 2, -2, 5), "(√19×√19)R23.4°", ""},
        {"2sqrt3", kCu111, measured(2, 2, -2, 4), "(2√3×2√3)R30°", ""},
        {"2x2 left-handed", kCu111, measured(2, 0, 0, -2), "(2×2)", ""},
        {"2x2 on the 120 cell", kCu111at120, measured(2, 0, 0, 2), "(2×2)", ""},
        {"rect on hexagonal", kCu111, measured(2, 0, -1, 2), "(2×√3)rect", ""},
        {"c(2x2) on square", kCu100, measured(1, 1, -1, 1), "c(2×2)", ""},
        {"p(2x2) on square", kCu100, measured(2, 0, 0, 2), "(2×2)", ""},
        {"sqrt5 on square", kCu100, measured(2, 1, -1, 2), "(√5×√5)R26.6°", ""},
        {"sqrt5 met at 116.6 degrees", kCu100, measured(-1, 2, -2, -1), "(√5×√5)R26.6°", ""},
        {"c(4x2) on square", kCu100, measured(2, 1, -2, 1), "c(4×2)", "c(2×4)"},
        {"PTCDA on Cu(100)", kCu100, measured(4, 4, -5, 5), "(4√2×5√2)R45°", "(5√2×4√2)R45°"},
        {"2x1 met at 90 degrees on square", kCu100, measured(0, 2, -1, 0), "(1×2)", "(2×1)"},
        {"2x1 on Cu(110)", kCu110, measured(2, 0, 0, 1), "(2×1)", ""},
        {"2x1 on Cu(110) met at 180 degrees", kCu110, measured(-2, 0, 0, -1), "(2×1)", ""},
        {"1x2 on Cu(110)", kCu110, measured(1, 0, 0, 2), "(1×2)", ""},
        {"c(2x2) on Cu(110)", kCu110, measured(1, 1, -1, 1), "c(2×2)", ""},
    };
    for (const auto& c : kCases) {
        const Interpretation i = interpret(c.matrix, 1, 1, c.substrate, 25, 25);
        EXPECT_EQ(i.type(), EpitaxyType::Commensurate) << c.what;
        ASSERT_TRUE(i.integerMatrix()) << c.what;
        EXPECT_EQ(*i.integerMatrix(),
                  (IntMatrix2{std::llround(c.matrix.m11), std::llround(c.matrix.m12),
                              std::llround(c.matrix.m21), std::llround(c.matrix.m22)}))
            << c.what;
        EXPECT_EQ(i.wood().value_or("(none)"), c.name) << c.what;
        const std::vector<std::string> others =
            i.name ? i.name->otherDomains : std::vector<std::string>{};
        EXPECT_EQ(others.empty() ? "" : others.front(), std::string(c.otherDomain)) << c.what;
    }
}

TEST(Interpretation, ThirdRowFamilyOfAHexagonalSubstrate) {
    // The point-on-line cell (2 0.37; −1 1.41) turned by the substrate's 60°: m11 + m12 = 2 and
    // m21 + m22 = −1 are whole, the single elements are not.
    const Interpretation turned = interpret({-0.37, 2.37, -1.41, 0.41}, 1, 1, kCu111, 25, 25);
    ASSERT_TRUE(turned.pointOnLine());
    EXPECT_EQ(turned.pointOnLine()->h, 1);
    EXPECT_EQ(turned.pointOnLine()->k, 1);
    EXPECT_EQ(turned.pointOnLine()->column, 0);
}

TEST(Interpretation, NoOrientationAndFarCoincidencesAreNotNamed) {
    const Interpretation none = interpret({0, 0, 0, 0}, 0, 0, kCu111, 25, 25);
    EXPECT_EQ(none.type(), EpitaxyType::None);
    EXPECT_EQ(none.summary(), "No orientation below 0.9999 was found");
    // A cell 0.866 of the substrate's: 13.4 % short of its nearest coincidence (1 0; 0 1).
    const Interpretation far = interpret({0.866, 0, 0, 0.866}, 1, 1, kCu100, 25, 25);
    EXPECT_EQ(far.type(), EpitaxyType::Incommensurate);
    EXPECT_EQ(far.summary(), "incommensurate; no coincidence within 5 %");
    EXPECT_FALSE(far.nearestWood);
    InterpretOptions wide;
    wide.coincidenceMisfit = 15;
    EXPECT_EQ(interpret({0.866, 0, 0, 0.866}, 1, 1, kCu100, 25, 25, wide).nearestWood, "(1×1)");
}

TEST(Interpretation, TheScanAngleIsBroughtIntoTheSubstratesWedge) {
    const struct {
        SubstrateCell substrate;
        double angle;
        std::optional<double> equivalent;
        double rotation;
    } kCases[] = {
        {kCu111, 60.001, 0.001, 60}, {kCu111, 30.001, std::nullopt, 0}, {kCu111, 130, 10, 120},
        {kCu110, 180, 0, 180},       {kCu100, 116.6, 26.6, 90},         {kCu111, -19.1, 40.9, 60},
    };
    for (const auto& c : kCases) {
        const std::optional<EquivalentOrientation> e =
            equivalentOrientation(c.angle, c.substrate, 1e-5);
        ASSERT_EQ(e.has_value(), c.equivalent.has_value()) << c.angle;
        if (e) {
            EXPECT_NEAR(e->angle, *c.equivalent, 1e-9) << c.angle;
            EXPECT_NEAR(e->rotation, c.rotation, 1e-9) << c.angle;
        }
    }
}

TEST(Interpretation, PointOnLineAndIncommensurateCells) {
    const Interpretation line = interpret({2, 0.37, -1, 1.41}, 1, 1, kCu100, 25, 25);
    EXPECT_EQ(line.type(), EpitaxyType::PointOnLine);
    ASSERT_TRUE(line.pointOnLine());
    EXPECT_EQ(line.pointOnLine()->column, 1);
    EXPECT_EQ(interpret({0.37, 2, 1.41, -1}, 1, 1, kCu100, 25, 25).pointOnLine()->column, 2);

    const Interpretation none = interpret({1.37, 0.41, -0.41, 1.78}, 1, 1, kCu100, 25, 25);
    EXPECT_EQ(none.type(), EpitaxyType::Incommensurate);
    EXPECT_FALSE(none.integerMatrix());
    EXPECT_FALSE(none.wood());  // b1 and b2 turn by different angles
    EXPECT_EQ(none.nearestMatrix, (IntMatrix2{1, 0, 0, 2}));
    // |b1| = |(1.37, 0.41)| a against a: +43.0 %.
    EXPECT_NEAR(*none.misfitPercent[0], (std::hypot(1.37, 0.41) - 1) * 100, 1e-9);
}

TEST(Interpretation, CellsFarBeyondAnyOverlayerAreNamedWithoutOverflow) {
    // b2 = 1000100000 on a2 = 0.054 (a fuzzed run) gives m22 near 1.85e10: the centred test
    // of the nearest cell formed P·Q of about 3e21.
    const Interpretation huge =
        interpret({2.564, 3.0, -4479899.2, 18517543984.3}, 1, 1, {3.9, 0.054, 90}, 1, 1);
    EXPECT_EQ(huge.nearestMatrix, (IntMatrix2{3, 3, -4479899, 18517543984}));
    EXPECT_FALSE(huge.nearestWood);
    // Small enough to be named, but P = Q = 10^12 - 1.
    EXPECT_FALSE(centredName({1'000'000, 1, 1, 1'000'000}, basisOf(kCu100)));
    // A ratio of 10^9 in three decimals, not as k√N from a factor search up to √N.
    EXPECT_EQ(cellNameText({999999937, 0, 0, 999999937}, kCu100, 1e-9),
              "(999999937.000×999999937.000)");
}

TEST(Interpretation, TheRegistryRuleScalesWithTheDomain) {
    // 0.003 off a whole number: within a tenth of a spacing over 2·10 + 1 cells, not over 51.
    const Matrix2 nearly{1.003, 0, 0, 1.003};
    EXPECT_EQ(interpret(nearly, 1, 1, kCu100, 10, 10).type(), EpitaxyType::Commensurate);
    EXPECT_EQ(interpret(nearly, 1, 1, kCu100, 25, 25).type(), EpitaxyType::Incommensurate);
    EXPECT_EQ(interpret(nearly, 1, 1, kCu100, 25, 25, 0.2).type(), EpitaxyType::Commensurate);
}

TEST(Interpretation, GrapheneOnCu111IsTheNineByNineCoincidence) {
    // graphene 2.4612 A, Cu(111) 2.5562 A, hexagonal, multiples up to 12 (the starter entries).
    MainFieldTexts f;
    f.a1 = f.a2 = "2.5562";
    f.alpha = "60";
    f.hexagonal = true;
    f.b1 = f.b2 = "2.4612";
    f.beta = "60";
    f.chkgeo = true;
    f.txtUplim = "12";
    const CapturedRun run = captureRun(f);
    BestOrientation best;
    const CompletedScan scan = *runToCompletion(run, scanInputsFrom(run), best);
    const Matrix2 m{best.BestPx, best.BestQy, best.BestQx, best.BestPy};
    ASSERT_EQ(best.BestB1Multiple, 9);
    ASSERT_EQ(best.BestB2Multiple, 9);

    // The 0.06 % misfit adds up over the 51 supercells of the domain: m22 = 10.006 lies
    // 0.0061 off 10, 0.31 of a spacing across the domain, so the line falls at 0.31.
    double worst = 0;
    for (const double x : {m.m11, m.m12, m.m21, m.m22}) {
        worst = std::max(worst, std::fabs(x - std::round(x)) * 51);
    }
    EXPECT_NEAR(worst, 0.31, 0.01);
    const Interpretation strict = interpret(m, 9, 9, kCu111, 25, 25);
    EXPECT_EQ(strict.type(), EpitaxyType::Incommensurate);
    EXPECT_EQ(strict.summary(),
              "incommensurate; nearest coincidence 9×9 overlayer cells on (5√3×5√3)R30° "
              "substrate cells, misfit 0.06 %, 0.06 %");
    const Interpretation loose = interpret(m, 9, 9, kCu111, 25, 25, worst * 1.0001);
    EXPECT_EQ(loose.type(), EpitaxyType::Coincident);
    ASSERT_TRUE(loose.supercell());
    EXPECT_EQ(loose.supercell()->matrix, (IntMatrix2{5, 5, -5, 10}));
    EXPECT_EQ(loose.wood().value_or(""), "(5√3×5√3)R30°");
    EXPECT_NEAR(*loose.misfitPercent[0], (9 * 2.4612 / (5 * std::sqrt(3.0) * 2.5562) - 1) * 100,
                1e-3);
    EXPECT_NEAR(loose.areaRatio, 75.0, 0.1);
}

TEST(Interpretation, HexagonalConventionsConvertBothWays) {
    const SubstrateCell cell120{2.5562, 2.5562, 120};
    const Matrix2 m{2, 1, -1, 1};  // (√3×√3)R30° written on the 120° cell
    EXPECT_EQ(interpret(m, 1, 1, cell120, 25, 25).wood().value_or(""), "(√3×√3)R30°");
    const ConvertedCell to60 = convertAlpha120To60(cell120, m);
    EXPECT_NEAR(to60.cell.a2, 2.5562, 1e-12);
    EXPECT_NEAR(to60.cell.alpha, 60, 1e-9);
    EXPECT_NEAR(to60.matrix->m11, 1, 1e-12);
    EXPECT_NEAR(to60.matrix->m21, -2, 1e-12);
    // The same overlayer lattice, whichever basis describes the substrate.
    const OverlayerFromMatrix before = overlayerFromMatrix(m, cell120);
    const OverlayerFromMatrix after = overlayerFromMatrix(*to60.matrix, to60.cell);
    EXPECT_NEAR(after.b1, before.b1, 1e-12);
    EXPECT_NEAR(after.b2, before.b2, 1e-12);
    EXPECT_NEAR(after.beta, before.beta, 1e-9);
    EXPECT_NEAR(after.azimuth, before.azimuth, 1e-9);
    const ConvertedCell back = convertAlpha60To120(to60.cell, to60.matrix);
    EXPECT_NEAR(back.cell.alpha, 120, 1e-9);
    EXPECT_NEAR(back.matrix->m11, m.m11, 1e-12);
    EXPECT_NEAR(back.matrix->m21, m.m21, 1e-12);

    EXPECT_EQ(symmetryNotes({2.5562, 2.5562, 120}, true).size(), 1U);
    EXPECT_EQ(symmetryNotes({2.5562, 2.5562, 60}, true).size(), 0U);
    EXPECT_EQ(symmetryNotes({2.5562, 2.5562, 60}, false).size(), 1U);
    EXPECT_EQ(symmetryNotes({2.5562, 3.615, 90}, false).size(), 0U);
}

TEST(Interpretation, TheLatticeOfAMatrixGivesTheMatrixBack) {
    for (const SubstrateCell& s : {kCu111, kCu110, SubstrateCell{3.1, 4.7, 73.5}}) {
        const Matrix2 given{1.7, 0.45, -0.8, 2.3};
        const OverlayerFromMatrix o = overlayerFromMatrix(given, s);
        const PassGeometry g =
            makePassGeometry(s.a1, s.a2, s.alpha, o.beta, o.b1, o.b2, false, 0, 0.25F, 25, 25);
        const StepValues v = computeStepAt(g, o.azimuth);
        EXPECT_NEAR(v.m11, given.m11, 1e-9);
        EXPECT_NEAR(v.m12, given.m12, 1e-9);
        EXPECT_NEAR(v.m21, given.m21, 1e-9);
        EXPECT_NEAR(v.m22, given.m22, 1e-9);
    }
}

}  // namespace
}  // namespace lamivex::engine
