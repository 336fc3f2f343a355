#include <algorithm>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "crystal/crystal_cell.h"
#include "crystal/crystal_system.h"

namespace lamivex::crystal {
namespace {

TEST(CrystalSystemTest, NamesAreExactTextInAlphabeticalListOrder) {
    for (const CrystalSystem system : kAllSystems) {
        EXPECT_EQ(systemFromName(systemName(system)), system);
    }
    EXPECT_TRUE(std::is_sorted(
        kAllSystems.begin(), kAllSystems.end(),
        [](CrystalSystem x, CrystalSystem y) { return systemName(x) < systemName(y); }));
    EXPECT_EQ(kAllSystems.front(), CrystalSystem::Cubic);
    EXPECT_FALSE(systemFromName("cubic"));
    EXPECT_FALSE(systemFromName("Cubic "));
    EXPECT_FALSE(systemFromName(""));
}

TEST(ReadFieldValueTest, TakesTheLongestLeadingNumberIgnoringBlanks) {
    EXPECT_EQ(readFieldValue("10 "), 10);
    EXPECT_EQ(readFieldValue("1 2"), 12);  // blanks inside are ignored
    EXPECT_EQ(readFieldValue("\t3\n4"), 34);
    EXPECT_EQ(readFieldValue(" - 5"), -5);
    EXPECT_EQ(readFieldValue("+7"), 7);
    EXPECT_EQ(readFieldValue("12abc"), 12);
    EXPECT_EQ(readFieldValue("-1.5e2x"), -150);
    EXPECT_EQ(readFieldValue("2e"), 2);  // an exponent without digits is not taken
    EXPECT_EQ(readFieldValue("2e+"), 2);
    EXPECT_EQ(readFieldValue("1.2.3"), 1.2);
    EXPECT_EQ(readFieldValue("1."), 1);
    EXPECT_EQ(readFieldValue(".5"), 0.5);
}

TEST(ReadFieldValueTest, TextWithoutANumberReadsAsZero) {
    EXPECT_EQ(readFieldValue(""), 0);
    EXPECT_EQ(readFieldValue("abc"), 0);
    EXPECT_EQ(readFieldValue("."), 0);
    EXPECT_EQ(readFieldValue("-"), 0);
    EXPECT_EQ(readFieldValue("e5"), 0);
}

TEST(ReadFieldValueTest, OverflowReadsAsInfinityAndUnderflowAsZero) {
    EXPECT_EQ(readFieldValue("1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(readFieldValue("-1e999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(readFieldValue("1e-999"), 0);
}

TEST(ReadCellTest, AnglesAreConvertedWithTheToolsPi) {
    CellFieldTexts fields;
    fields[CellField::B] = "7.5";
    fields[CellField::Beta] = "120";
    const CrystalCell cell = readCell(fields);
    EXPECT_EQ(cell.a, 10);  // the default "10 "
    EXPECT_EQ(cell.b, 7.5);
    EXPECT_EQ(cell.alpha, 90 * 3.14159265359 / 180);
    EXPECT_EQ(cell.beta, 120 * 3.14159265359 / 180);
    EXPECT_NE(cell.alpha, M_PI / 2);  // not the precise pi
}

}  // namespace
}  // namespace lamivex::crystal
