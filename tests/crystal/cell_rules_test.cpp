#include <gtest/gtest.h>

#include "crystal/cell_rules.h"

namespace lamivex::crystal {
namespace {

using F = CellField;

// The opening state of the window: "Cubic" selected on the default texts.
CellFieldTexts selected(CrystalSystem system, CellFieldTexts fields = {}) {
    applySystemSelection(system, fields);
    return fields;
}

TEST(FieldRulesTest, CubicLeavesOnlyAEditableWithRightAngles) {
    const CellFieldTexts fields = selected(CrystalSystem::Cubic);
    for (const CellField field : kCellFields) {
        const FieldRule rule = fieldRule(CrystalSystem::Cubic, field);
        EXPECT_EQ(rule.enabled(), field == F::A) << fieldObjectName(field);
        const Rgb colour = rule.background();
        EXPECT_EQ(colour.red, field == F::A ? 255 : 192);
        EXPECT_EQ(colour.green, colour.red);
        EXPECT_EQ(colour.blue, colour.red);
    }
    EXPECT_EQ(fields[F::A], "10 ");
    EXPECT_EQ(fields[F::B], "10 ");
    EXPECT_EQ(fields[F::C], "10 ");
    EXPECT_EQ(fields[F::Alpha], "90");
    EXPECT_EQ(fields[F::Beta], "90");
    EXPECT_EQ(fields[F::Gamma], "90");
}

TEST(FieldRulesTest, HexagonalWritesGamma120AndFreesC) {
    CellFieldTexts typed;
    typed[F::A] = "3";
    typed[F::C] = "5";
    typed[F::Gamma] = "77";
    const CellFieldTexts fields = selected(CrystalSystem::Hexagonal, typed);
    EXPECT_EQ(fields[F::Gamma], "120");
    EXPECT_EQ(fields[F::A], "10 ");  // selection resets the lengths
    EXPECT_EQ(fields[F::C], "10 ");
    EXPECT_TRUE(fieldRule(CrystalSystem::Hexagonal, F::C).enabled());
    EXPECT_FALSE(fieldRule(CrystalSystem::Hexagonal, F::B).enabled());
    EXPECT_FALSE(fieldRule(CrystalSystem::Hexagonal, F::Gamma).enabled());
}

TEST(FieldRulesTest, MonoclinicKeepsBetaAndFixesTheOtherAngles) {
    CellFieldTexts typed;
    typed[F::Alpha] = "70";
    typed[F::Beta] = "95.5";
    typed[F::Gamma] = "120";
    const CellFieldTexts fields = selected(CrystalSystem::Monoclinic, typed);
    EXPECT_EQ(fields[F::Beta], "95.5");
    EXPECT_EQ(fields[F::Alpha], "90");
    EXPECT_EQ(fields[F::Gamma], "90");
    EXPECT_TRUE(fieldRule(CrystalSystem::Monoclinic, F::Beta).enabled());
    EXPECT_FALSE(fieldRule(CrystalSystem::Monoclinic, F::Beta).written);
    EXPECT_FALSE(fieldRule(CrystalSystem::Monoclinic, F::Alpha).enabled());
}

TEST(FieldRulesTest, TrigonalKeepsAllAnglesButFreesOnlyAlpha) {
    // The 120 of a hexagonal gamma stays shown after switching to Trigonal.
    const CellFieldTexts fields =
        selected(CrystalSystem::Trigonal, selected(CrystalSystem::Hexagonal));
    EXPECT_EQ(fields[F::Gamma], "120");
    EXPECT_EQ(fields[F::Alpha], "90");
    EXPECT_TRUE(fieldRule(CrystalSystem::Trigonal, F::Alpha).enabled());
    EXPECT_FALSE(fieldRule(CrystalSystem::Trigonal, F::Beta).enabled());
    EXPECT_FALSE(fieldRule(CrystalSystem::Trigonal, F::Gamma).enabled());
    EXPECT_FALSE(fieldRule(CrystalSystem::Trigonal, F::C).enabled());
}

TEST(FieldRulesTest, TriclinicFreesEverythingAndKeepsTheAngles) {
    CellFieldTexts typed;
    typed[F::Alpha] = "80";
    typed[F::Beta] = "85";
    typed[F::Gamma] = "95";
    const CellFieldTexts fields = selected(CrystalSystem::Triclinic, typed);
    for (const CellField field : kCellFields) {
        EXPECT_TRUE(fieldRule(CrystalSystem::Triclinic, field).enabled());
    }
    EXPECT_EQ(fields[F::Alpha], "80");
    EXPECT_EQ(fields[F::Beta], "85");
    EXPECT_EQ(fields[F::Gamma], "95");
}

TEST(EntryRulesTest, AcceptedAIsCopiedIntoTheFixedLengths) {
    CellFieldTexts cubic = selected(CrystalSystem::Cubic);
    cubic[F::A] = "12";
    const EntryOutcome outcome = applyCellEntry(CrystalSystem::Cubic, F::A, cubic);
    EXPECT_TRUE(outcome.accepted);
    EXPECT_TRUE(outcome.recalculate);
    EXPECT_EQ(cubic[F::B], "12");
    EXPECT_EQ(cubic[F::C], "12");

    CellFieldTexts hexagonal = selected(CrystalSystem::Hexagonal);
    hexagonal[F::A] = "2.464";
    EXPECT_TRUE(applyCellEntry(CrystalSystem::Hexagonal, F::A, hexagonal).accepted);
    EXPECT_EQ(hexagonal[F::B], "2.464");
    EXPECT_EQ(hexagonal[F::C], "10 ");

    CellFieldTexts ortho = selected(CrystalSystem::Orthorhombic);
    ortho[F::A] = "12";
    EXPECT_TRUE(applyCellEntry(CrystalSystem::Orthorhombic, F::A, ortho).copiedTo.empty());
    EXPECT_EQ(ortho[F::B], "10 ");
    EXPECT_EQ(ortho[F::C], "10 ");
}

TEST(EntryRulesTest, TrigonalAlphaIsCopiedIntoBetaAndGamma) {
    CellFieldTexts fields = selected(CrystalSystem::Trigonal, selected(CrystalSystem::Hexagonal));
    fields[F::Alpha] = "70";
    EXPECT_TRUE(applyCellEntry(CrystalSystem::Trigonal, F::Alpha, fields).accepted);
    EXPECT_EQ(fields[F::Beta], "70");
    EXPECT_EQ(fields[F::Gamma], "70");
}

TEST(EntryRulesTest, LettersEmptyAAndAlphaButStayInTheOtherFields) {
    CellFieldTexts fields = selected(CrystalSystem::Triclinic);
    for (const CellField field : kCellFields) {
        fields[field] = "abc";
        const EntryOutcome outcome = applyCellEntry(CrystalSystem::Triclinic, field, fields);
        EXPECT_FALSE(outcome.accepted) << fieldObjectName(field);
        const bool emptied = field == F::A || field == F::Alpha;
        EXPECT_EQ(outcome.fieldEmptied, emptied) << fieldObjectName(field);
        EXPECT_EQ(fields[field], emptied ? "" : "abc") << fieldObjectName(field);
        EXPECT_FALSE(outcome.recalculate);
    }
}

TEST(EntryRulesTest, NumericMeansOneNumberWithOptionalBlanksAround) {
    EXPECT_TRUE(isAcceptedEntry(F::A, "10 "));
    EXPECT_TRUE(isAcceptedEntry(F::A, " -2.5e1"));
    EXPECT_TRUE(isAcceptedEntry(F::A, "0"));  // accepted here; the results say undefined
    EXPECT_FALSE(isAcceptedEntry(F::A, "1 2"));
    EXPECT_FALSE(isAcceptedEntry(F::A, ""));
    EXPECT_FALSE(isAcceptedEntry(F::B, "12abc"));
    // Too large for a double: refused rather than read as infinity.
    EXPECT_FALSE(isAcceptedEntry(F::B, "1e999"));
}

TEST(EntryRulesTest, AlphaAboveThreeSixtyIsRefusedAndEmptied) {
    EXPECT_TRUE(isAcceptedEntry(F::Alpha, "360"));
    EXPECT_TRUE(isAcceptedEntry(F::Alpha, "90"));
    EXPECT_FALSE(isAcceptedEntry(F::Alpha, "360.001"));
    EXPECT_TRUE(isAcceptedEntry(F::Beta, "400"));  // the limit is alpha's alone

    CellFieldTexts fields = selected(CrystalSystem::Triclinic);
    fields[F::Alpha] = "400";
    const EntryOutcome outcome = applyCellEntry(CrystalSystem::Triclinic, F::Alpha, fields);
    EXPECT_FALSE(outcome.accepted);
    EXPECT_EQ(fields[F::Alpha], "");
}

TEST(EntryRulesTest, LeavingCEnablesRecalculateWithoutRecalculating) {
    CellFieldTexts fields = selected(CrystalSystem::Orthorhombic);
    fields[F::C] = "7";
    const EntryOutcome c = applyCellEntry(CrystalSystem::Orthorhombic, F::C, fields);
    EXPECT_TRUE(c.accepted);
    EXPECT_FALSE(c.recalculate);
    EXPECT_TRUE(c.enableRecalculate);

    fields[F::B] = "7";
    const EntryOutcome b = applyCellEntry(CrystalSystem::Orthorhombic, F::B, fields);
    EXPECT_TRUE(b.recalculate);
}

}  // namespace
}  // namespace lamivex::crystal
