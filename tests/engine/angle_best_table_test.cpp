#include "engine/angle_best_table.h"

#include <gtest/gtest.h>

namespace lamivex::engine {
namespace {

// Two steps, multiples 1..2, every V/Vo 0.5 and every matrix entry tagged with its pair.
ScanResults tables() {
    ScanResults r = ScanResults::create(1, 2);
    for (int k = 0; k <= 1; ++k) {
        for (int j = 1; j <= 2; ++j) {
            for (int i = 1; i <= 2; ++i) {
                r.vvo(k, i, j) = 0.5;
                for (int c = 1; c <= 4; ++c) {
                    r.matrix(k, i, j, c) = 100 * i + 10 * j + c;
                }
            }
        }
    }
    return r;
}

TEST(AngleBestTableTest, LowestPairWithItsMultiplesAndMatrix) {
    ScanResults r = tables();
    r.vvo(1, 2, 1) = 0.1;  // b1 x 2, b2 x 1
    const AngleBestTable table = buildAngleBestTable(r);
    ASSERT_EQ(table.size(), 2U);
    EXPECT_EQ(table[1].minVVo, 0.1);
    EXPECT_EQ(table[1].b1Multiple, 2);
    EXPECT_EQ(table[1].b2Multiple, 1);
    EXPECT_EQ(table[1].m11, 211);
    EXPECT_EQ(table[1].m12, 212);
    EXPECT_EQ(table[1].m21, 213);
    EXPECT_EQ(table[1].m22, 214);
}

TEST(AngleBestTableTest, TiesKeepSmallerJThenSmallerI) {
    ScanResults r = tables();
    // Step 0: the pairs (2,1) and (1,2) tie; (2,1) has the smaller j and wins.
    r.vvo(0, 1, 2) = 0.2;
    r.vvo(0, 2, 1) = 0.2;
    // Step 1: all four tie; (1,1) wins.
    const AngleBestTable table = buildAngleBestTable(r);
    EXPECT_EQ(table[0].b1Multiple, 2);
    EXPECT_EQ(table[0].b2Multiple, 1);
    EXPECT_EQ(table[1].b1Multiple, 1);
    EXPECT_EQ(table[1].b2Multiple, 1);
}

TEST(AngleBestTableTest, ValuesOfTenOrMoreLeaveTheRowEmpty) {
    ScanResults r = ScanResults::create(0, 1);
    r.vvo(0, 1, 1) = 10;
    const AngleBestTable table = buildAngleBestTable(r);
    EXPECT_EQ(table[0].minVVo, 10);
    EXPECT_EQ(table[0].b1Multiple, 0);
    EXPECT_EQ(table[0].m11, 0);
}

TEST(AngleBestTableTest, RebuildingChangesNothing) {
    ScanResults r = tables();
    r.vvo(0, 2, 2) = -0.3;
    const AngleBestTable first = buildAngleBestTable(r);
    fillAngleMinVVo(r, first);
    const AngleBestTable second = buildAngleBestTable(r);
    fillAngleMinVVo(r, second);
    ASSERT_EQ(first.size(), second.size());
    for (std::size_t k = 0; k < first.size(); ++k) {
        EXPECT_EQ(first[k].minVVo, second[k].minVVo);
        EXPECT_EQ(first[k].b1Multiple, second[k].b1Multiple);
        EXPECT_EQ(first[k].m22, second[k].m22);
    }
    EXPECT_EQ(r.AngleMinVVo, (std::vector<double>{-0.3, 0.5}));
}

}  // namespace
}  // namespace lamivex::engine
