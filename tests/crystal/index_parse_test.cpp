#include <gtest/gtest.h>

#include "crystal/index_parse.h"

namespace lamivex::crystal {
namespace {

TEST(ParseMillerPlaneTest, SingleBlanksBetweenIndices) {
    EXPECT_EQ(parseMillerPlane("1 0 0"), (MillerPlane{1, 0, 0}));
    EXPECT_EQ(parseMillerPlane("   1 0 0"), (MillerPlane{1, 0, 0}));  // leading blanks
    EXPECT_EQ(parseMillerPlane("-1 +2 3 "), (MillerPlane{-1, 2, 3}));
    // Extra blanks between the second and third index are part of the last piece.
    EXPECT_EQ(parseMillerPlane("1 0  0"), (MillerPlane{1, 0, 0}));
}

TEST(ParseMillerPlaneTest, CutFailures) {
    EXPECT_FALSE(parseMillerPlane("1  0 0"));  // second blank becomes the k piece
    EXPECT_FALSE(parseMillerPlane("100"));
    EXPECT_FALSE(parseMillerPlane("1,0,0"));
    EXPECT_FALSE(parseMillerPlane("1 0"));
    EXPECT_FALSE(parseMillerPlane("1 0 0 4"));
    EXPECT_FALSE(parseMillerPlane(""));
    EXPECT_FALSE(parseMillerPlane("a b c"));
}

TEST(ParseMillerPlaneTest, IndicesRoundHalvesToEvenWithinSixteenBits) {
    EXPECT_EQ(parseMillerPlane("0.5 0 0"), (MillerPlane{0, 0, 0}));
    EXPECT_EQ(parseMillerPlane("1.5 2.5 -3.5"), (MillerPlane{2, 2, -4}));
    EXPECT_EQ(parseMillerPlane("-32768 32767 0"), (MillerPlane{-32768, 32767, 0}));
    EXPECT_FALSE(parseMillerPlane("32768 0 0"));
    EXPECT_FALSE(parseMillerPlane("0 0 1e9"));
}

TEST(ParseDirectionTest, SameCutsReadLeniently) {
    EXPECT_EQ(parseDirection("1 1 0"), (Direction{1, 1, 0}));
    // "1 " gives u; the rest "1" has no blank, so v is read from nothing and w is "1".
    EXPECT_EQ(parseDirection("1 1"), (Direction{1, 0, 1}));
    EXPECT_EQ(parseDirection("1"), (Direction{0, 0, 1}));
    EXPECT_EQ(parseDirection("0.5 -1.5 2e1"), (Direction{0.5, -1.5, 20}));
    EXPECT_EQ(parseDirection("1 2 3 4"), (Direction{1, 2, 34}));  // blanks in w are ignored
    EXPECT_EQ(parseDirection("x y z"), (Direction{0, 0, 0}));
    EXPECT_EQ(parseDirection(""), (Direction{0, 0, 0}));
}

// The command line's readings: what the window would round or read leniently is refused
// unless the text means exactly the indices read.
TEST(ExactIndexReadingTest, RefusesWhatTheWindowWouldGuess) {
    const struct {
        const char* text;
        std::optional<MillerPlane> plane;
    } kPlanes[] = {
        {"1 1 1", MillerPlane{1, 1, 1}}, {"-2 0.0 1e0", MillerPlane{-2, 0, 1}},
        {"1.5 1 1", std::nullopt},  // the window reads (2 1 1)
        {"1 1 0.4", std::nullopt},  // the window reads (1 1 0)
        {"1 1 1 1", std::nullopt},       {"1,1,1", std::nullopt},
    };
    for (const auto& c : kPlanes) {
        const IndexReading<MillerPlane> read = readWholeMillerPlane(c.text);
        EXPECT_EQ(read.indices, c.plane) << c.text;
        EXPECT_EQ(read.problem.empty(), c.plane.has_value()) << c.text << ": " << read.problem;
    }
    const struct {
        const char* text;
        std::optional<Direction> direction;
    } kDirections[] = {
        {"1 1 0", Direction{1, 1, 0}},
        {"  0.5 -1 2 ", Direction{0.5, -1, 2}},
        {"1 0  2", Direction{1, 0, 2}},  // as in a plane, blanks before the last index
        {"1 1", Direction{1, 0, 1}},     // the window's reading of fewer numbers
        {"1", Direction{0, 0, 1}},
        {"1 1 1 1", std::nullopt},  // the window reads [1 1 11]
        {"1,1,1", std::nullopt},    // the window reads [0 0 1]
        {"1;1;1", std::nullopt},
        {"1  1 1", std::nullopt},  // the window reads [1 0 1], losing the second 1
        {"1 x 0", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : kDirections) {
        const IndexReading<Direction> read = readDirectionExactly(c.text);
        EXPECT_EQ(read.indices, c.direction) << c.text;
        EXPECT_EQ(read.problem.empty(), c.direction.has_value()) << c.text << ": " << read.problem;
    }
}

}  // namespace
}  // namespace lamivex::crystal
