#include "engine/capture.h"

#include <gtest/gtest.h>

#include "numbers/input_error.h"

namespace lamivex::engine {
namespace {

std::string fieldOfError(const MainFieldTexts& fields) {
    try {
        (void)captureRun(fields);
    } catch (const numbers::InputError& e) {
        return e.field();
    }
    return "(accepted)";
}

TEST(CaptureTest, DefaultsGiveTheDefaultRecords) {
    const CapturedRun run = captureRun(MainFieldTexts{});
    EXPECT_EQ(run.SubstrateName, "Substrate");
    EXPECT_EQ(run.OverlayerName, "Overlayer");
    EXPECT_EQ(run.substrate.a1, 10.0F);
    EXPECT_EQ(run.substrate.alpha, 90.0F);
    EXPECT_FALSE(run.substrate.hexagonal);
    EXPECT_EQ(run.overlayer.b2, 10.0F);
    EXPECT_EQ(run.settings.b1Size, 25);
    EXPECT_EQ(run.settings.angleSpacing, 0.25F);
    EXPECT_EQ(run.settings.upperAngle, 60.0F);
    EXPECT_EQ(run.settings.maxMultiple, 1);
    EXPECT_FALSE(run.fillIterationDefaults);
}

TEST(CaptureTest, LatticeTextsAreNormalisedToSevenDigits) {
    MainFieldTexts f;
    f.a1 = "3.14159265";
    f.a2 = " 2.8853 ";
    f.alpha = "60.00";
    f.b1 = "1e1";
    f.beta = "120.000001";
    const CapturedRun run = captureRun(f);
    EXPECT_EQ(run.fields.a1, "3.141593");
    EXPECT_EQ(run.substrate.a1, 3.141593F);  // the single of the 7-digit text
    EXPECT_EQ(run.fields.a2, "2.8853");
    EXPECT_EQ(run.fields.alpha, "60");
    EXPECT_EQ(run.fields.b1, "10");
    EXPECT_EQ(run.fields.beta, "120");
    // The pass reads the normalised texts as doubles, not the single values.
    const ScanInputs in = scanInputsFrom(run);
    EXPECT_EQ(in.a1, 3.141593);
    EXPECT_EQ(in.a2, 2.8853);
}

TEST(CaptureTest, AzimuthTextsAreReadButNotRewritten) {
    MainFieldTexts f;
    f.Lowerangle = "0.10";
    const CapturedRun run = captureRun(f);
    EXPECT_EQ(run.fields.Lowerangle, "0.10");
    EXPECT_EQ(run.settings.lowerAngle, 0.1F);
    // The first azimuth is computed from the text as a double.
    EXPECT_EQ(scanInputsFrom(run).lower, 0.1);
}

TEST(CaptureTest, DomainSizesRoundHalfToEven) {
    MainFieldTexts f;
    f.b1size = "2.5";
    f.b2size = "3.5";
    const CapturedRun run = captureRun(f);
    EXPECT_EQ(run.settings.b1Size, 2);
    EXPECT_EQ(run.settings.b2Size, 4);
}

TEST(CaptureTest, MaximumMultipleOnlyWithGeometricSearch) {
    MainFieldTexts f;
    f.txtUplim = "not read";
    EXPECT_EQ(captureRun(f).settings.maxMultiple, 1);
    f.chkgeo = true;
    f.txtUplim = "2";
    EXPECT_EQ(captureRun(f).settings.maxMultiple, 2);
}

TEST(CaptureTest, ZeroA1AsksForIterationDefaults) {
    MainFieldTexts f;
    f.a1 = "0.0";
    EXPECT_TRUE(captureRun(f).fillIterationDefaults);
}

TEST(CaptureTest, UnreadableTextsNameTheirField) {
    MainFieldTexts f;
    f.b2 = "abc";
    EXPECT_EQ(fieldOfError(f), "b2");
    f = {};
    f.b1size = "40000";
    EXPECT_EQ(fieldOfError(f), "m");
    f = {};
    f.AngleSpacing = "";
    EXPECT_EQ(fieldOfError(f), "spacing");
    f = {};
    f.alpha = "1e39";
    EXPECT_EQ(fieldOfError(f), "alpha");
    f = {};
    f.chkgeo = true;
    f.txtUplim = "4,5";
    EXPECT_EQ(fieldOfError(f), "max-multiple");
}

TEST(CaptureTest, OutOfRangeMessageSaysSo) {
    MainFieldTexts f;
    f.b2size = "-40000";
    try {
        (void)captureRun(f);
        FAIL() << "accepted";
    } catch (const numbers::InputError& e) {
        EXPECT_EQ(e.field(), "n");
        EXPECT_NE(std::string(e.what()).find("out of range"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace lamivex::engine
