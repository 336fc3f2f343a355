#include "numbers/number_text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lamivex::numbers {
namespace {

TEST(NumericTest, AcceptsSignPointExponentAndBlanks) {
    for (const char* text : {"5.431", " 5.431 ", "\t-.5", "+3", "5.", "1e5", "1.5E-3", "-2E+07"}) {
        EXPECT_TRUE(isNumeric(text)) << text;
    }
}

TEST(NumericTest, RejectsEverythingElse) {
    // "5,431" must not slip through as 5431 the way a locale parser with group separators does.
    for (const char* text : {"", " ", ".", "-", "5,431", "1e", "1e+", "--1", "1.2.3", "abc", "1 2",
                             "e5", "0x10", "1d5", "inf", "nan", "5-"}) {
        EXPECT_FALSE(isNumeric(text)) << text;
    }
}

TEST(ParseTest, SingleIsNearestFloat) {
    EXPECT_EQ(toSingle("0.1").value, 0.1F);
    EXPECT_EQ(toSingle(" 3.14159265 ").value, 3.14159265F);
    EXPECT_EQ(toSingle("+2").value, 2.0F);
    EXPECT_EQ(toSingle("1e39").error, NumberError::OutOfRange);
    const Parsed<float> tiny = toSingle("1e-60");
    ASSERT_TRUE(tiny.ok());
    EXPECT_EQ(tiny.value, 0.0F);
    EXPECT_EQ(toSingle("abc").error, NumberError::NotNumeric);
}

TEST(ParseTest, DoubleKeepsFullPrecision) {
    EXPECT_EQ(toDouble("0.1").value, 0.1);
    EXPECT_NE(static_cast<double>(toSingle("0.1").value), toDouble("0.1").value);
    EXPECT_EQ(toDouble("1e309").error, NumberError::OutOfRange);
    EXPECT_EQ(toDouble("-1e-400").value, 0.0);
}

TEST(ParseTest, Int16RoundsHalfToEvenWithinRange) {
    EXPECT_EQ(toInt16("2.5").value, 2);
    EXPECT_EQ(toInt16("3.5").value, 4);
    EXPECT_EQ(toInt16("-2.5").value, -2);
    EXPECT_EQ(toInt16("2.51").value, 3);
    EXPECT_EQ(toInt16("32767.4").value, 32767);
    EXPECT_EQ(toInt16("32767.5").error, NumberError::OutOfRange);  // rounds to 32768
    EXPECT_EQ(toInt16("-32768.5").value, -32768);                  // rounds to the even -32768
    EXPECT_EQ(toInt16("40000").error, NumberError::OutOfRange);
    EXPECT_EQ(toInt16("").error, NumberError::NotNumeric);
}

TEST(GeneralFormatTest, SinglesUpToSevenDigits) {
    EXPECT_EQ(formatSingle(10.0F), "10");
    EXPECT_EQ(formatSingle(2.8853F), "2.8853");
    EXPECT_EQ(formatSingle(3.14159265F), "3.141593");
    EXPECT_EQ(formatSingle(0.5F), ".5");
    EXPECT_EQ(formatSingle(-0.5F), "-.5");
    EXPECT_EQ(formatSingle(0.251F), ".251");  // the float is 0.25099998712539673
    EXPECT_EQ(formatSingle(59.901F), "59.901");
    EXPECT_EQ(formatSingle(1234567.0F), "1234567");
    EXPECT_EQ(formatSingle(12345678.0F), "1.234568E+07");
    EXPECT_EQ(formatSingle(1.5e-5F), "1.5E-05");
    EXPECT_EQ(formatSingle(0.0F), "0");
    EXPECT_EQ(formatSingle(-0.0F), "0");
}

// The shortest text that reads back as the same single. Reference texts: python,
// x = struct.unpack('f', struct.pack('f', v))[0], then the fewest '%.*g' digits d with
// struct.unpack('f', struct.pack('f', float('%.*g' % (d, x))))[0] == x.
TEST(GeneralFormatTest, ShortestTextOfASingle) {
    const struct {
        double value;
        const char* text;
    } kCases[] = {{2.5561910139893693, "2.556191"},   // 7 digits, where the double needs 17
                  {109.47122063449069, "109.47122"},  // 8 digits, beyond formatSingle's 7
                  {16777217.0, "16777216"},
                  {60.0, "60"}};
    for (const auto& c : kCases) {
        const auto single = static_cast<float>(c.value);
        EXPECT_EQ(formatShortestSingle(single), c.text) << c.value;
        EXPECT_EQ(toSingle(formatShortestSingle(single)).value, single) << c.value;
    }
}

TEST(GeneralFormatTest, DoublesUpToFifteenDigits) {
    EXPECT_EQ(formatDouble(0.0000174532933480453), "1.74532933480453E-05");
    EXPECT_EQ(formatDouble(0.5), ".5");
    EXPECT_EQ(formatDouble(-0.5), "-.5");
    EXPECT_EQ(formatDouble(30.001), "30.001");
    EXPECT_EQ(formatDouble(1.0 / 3.0), ".333333333333333");
    EXPECT_EQ(formatDouble(0.1 + 0.2), ".3");  // not shortest round-trip: rounded to 15 digits
    EXPECT_EQ(formatDouble(1e14), "100000000000000");
    EXPECT_EQ(formatDouble(1e15), "1E+15");
    EXPECT_EQ(formatDouble(0.0001), ".0001");
    EXPECT_EQ(formatDouble(0.00001), "1E-05");
    EXPECT_EQ(formatDouble(-123.25), "-123.25");
    EXPECT_EQ(formatDouble(2.8853 * 2), "5.7706");
}

TEST(GeneralFormatTest, TextReadsBackToTheValue) {
    for (const double v : {0.1, 2.0 / 3.0, 1e-7, 123456.789, -9.87654321e20}) {
        const std::string text = formatDouble(v);
        EXPECT_NEAR(toDouble(text).value, v, std::fabs(v) * 1e-14) << text;
    }
    // Seven digits are not always enough for a single (123456.79F is not); these fit.
    for (const float v : {0.1F, 2.0F / 3.0F, 1e-7F, 1234.5F, 59.901F}) {
        EXPECT_EQ(toSingle(formatSingle(v)).value, v) << formatSingle(v);
    }
}

TEST(PictureTest, FixedTwoDecimalsRoundsHalfAwayFromZero) {
    EXPECT_EQ(formatFixed2(10), "10.00");
    EXPECT_EQ(formatFixed2(-0.5), "-0.50");
    EXPECT_EQ(formatFixed2(0.125), "0.13");
    EXPECT_EQ(formatFixed2(2.675),
              "2.68");  // the double is 2.67499999...; its decimal text is 2.675
    EXPECT_EQ(formatFixed2(0.995), "1.00");
    EXPECT_EQ(formatFixed2(-0.001), "-0.00");  // a negative value keeps its sign
    EXPECT_EQ(formatFixed2(-1.78e-05), "-0.00");
    EXPECT_EQ(formatFixed2(-0.0), "0.00");  // zero is not negative
    EXPECT_EQ(formatFixed2(0.004), "0.00");
    EXPECT_EQ(formatFixed2(0.005), "0.01");
    EXPECT_EQ(formatFixed2(1000), "1000.00");
    EXPECT_EQ(formatFixed2(1e20), "100000000000000000000.00");
    EXPECT_EQ(formatFixed2(1.74532933480453E-05), "0.00");
}

TEST(PictureTest, WholeNumbers) {
    EXPECT_EQ(formatWhole(2.5), "3");
    EXPECT_EQ(formatWhole(-2.5), "-3");
    EXPECT_EQ(formatWhole(2.501), "3");
    EXPECT_EQ(formatWhole(7.501), "8");
    EXPECT_EQ(formatWhole(0.4), "0");
    EXPECT_EQ(formatWhole(-0.4), "0");
    EXPECT_EQ(formatWhole(60), "60");
}

TEST(PictureTest, Scientific) {
    EXPECT_EQ(formatScientific(0.0123, 4), "1.2300E-02");
    EXPECT_EQ(formatScientific(1, 4), "1.0000E+00");
    EXPECT_EQ(formatScientific(0.9999, 3), "9.999E-01");
    EXPECT_EQ(formatScientific(0.99999, 3), "1.000E+00");  // carry into the exponent
    EXPECT_EQ(formatScientific(0, 3), "0.000E+00");
    EXPECT_EQ(formatScientific(-0.5, 3), "-5.000E-01");
    EXPECT_EQ(formatScientific(1.74532933480453E-05, 3), "1.745E-05");
    EXPECT_EQ(formatScientific(123456, 3), "1.235E+05");
    EXPECT_EQ(formatScientific(1e100, 3), "1.000E+100");
}

TEST(PictureTest, RightJustifyNeverCuts) {
    EXPECT_EQ(rightJustify("-0.50", 6), " -0.50");
    EXPECT_EQ(rightJustify("1000.00", 7), "1000.00");
    EXPECT_EQ(rightJustify("10000.00", 7), "10000.00");
    EXPECT_EQ(rightJustify("", 3), "   ");
}

TEST(PictureTest, FieldTextsThatAreNotNumbersStayAsTheyAre) {
    EXPECT_EQ(fieldAsFixed2("5.431"), "5.43");
    EXPECT_EQ(fieldAsFixed2("n/a"), "n/a");
    EXPECT_EQ(fieldAsWhole("2.5"), "3");
    EXPECT_EQ(fieldAsWhole(""), "");
}

TEST(ReportRowTest, BlankBeforeNonNegativeAndAfterEach) {
    std::string row;
    for (const double v : {1.0, 0.0, 0.0, 1.0, 0.5}) {
        row += reportRowNumber(formatDouble(v));
    }
    row += reportRowNumber(formatSingle(30.001F));
    row += reportRowNumber(formatDouble(1));
    row += reportRowNumber(formatDouble(1));
    EXPECT_EQ(row, " 1  0  0  1  .5  30.001  1  1 ");
    EXPECT_EQ(reportRowNumber("-.5"), "-.5 ");
}

TEST(NormaliseTest, SevenSignificantDigits) {
    EXPECT_EQ(normaliseSingleText("10").value(), "10");
    EXPECT_EQ(normaliseSingleText("2.8853").value(), "2.8853");
    EXPECT_EQ(normaliseSingleText("3.14159265").value(), "3.141593");
    EXPECT_EQ(normaliseSingleText(" 090.0 ").value(), "90");
    EXPECT_FALSE(normaliseSingleText("1,5").has_value());
}

}  // namespace
}  // namespace lamivex::numbers
