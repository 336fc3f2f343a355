#include "output/report_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "engine/rotation_scan.h"

namespace lamivex::output {
namespace {

// A run and everything the report needs from it, kept together so the spans stay valid.
struct FinishedRun {
    engine::CompletedScan scan;

    explicit FinishedRun(const engine::MainFieldTexts& fields) {
        const engine::CapturedRun run = engine::captureRun(fields);
        // The scalar reference path, so the golden file does not depend on the processor.
        engine::ScanInputs in = engine::scanInputsFrom(run);
        in.kernel = engine::KernelPath::Scalar;
        engine::BestOrientation best;
        scan = *engine::runToCompletion(run, in, best);
    }

    [[nodiscard]] ReportInputs report() const {
        return reportInputsFor(scan, scan.capture.fields, {2026, 12, 8});
    }
};

engine::MainFieldTexts geometricHexagonalRun() {
    engine::MainFieldTexts f;
    f.SubName = "Ag(111)";
    f.a1 = "2.889";
    f.a2 = "2.889";
    f.alpha = "60";
    f.hexagonal = true;
    f.OverName = "test layer";
    f.b1 = "5.0039";
    f.b2 = "5.0039";
    f.beta = "60";
    f.b1size = "3";
    f.b2size = "3";
    f.Lowerangle = "29";
    f.Upperangle = "30";
    f.AngleSpacing = "0.25";
    f.chkgeo = true;
    f.txtUplim = "2";
    return f;
}

std::string written(const ReportInputs& in) {
    std::ostringstream out;
    writeReport(out, in);
    return out.str();
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "line without CR LF";
        if (end == std::string::npos) {
            break;
        }
        result.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return result;
}

// The golden file was checked line by line against the report's line table. To update it
// after a deliberate format change: LAMIVEX_UPDATE_GOLDEN=1 build/bin/output_tests, then
// check the diff by hand before committing.
TEST(ReportFileTest, GeometricRunMatchesTheGoldenFileWhole) {
    const FinishedRun finished(geometricHexagonalRun());
    const std::string text = written(finished.report());
    const std::string goldenPath = std::string(LAMIVEX_GOLDEN_DIR) + "/geometric_hexagonal.epi";
    if (std::getenv("LAMIVEX_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(goldenPath, std::ios::binary) << text;
    }
    std::ifstream golden(goldenPath, std::ios::binary);
    ASSERT_TRUE(golden) << goldenPath;
    const std::string expected((std::istreambuf_iterator<char>(golden)),
                               std::istreambuf_iterator<char>());
    EXPECT_EQ(text, expected);
}

TEST(ReportFileTest, OneRowPerStepEndedByCrLf) {
    engine::MainFieldTexts f;
    f.Upperangle = "0";
    const FinishedRun single(f);
    const std::vector<std::string> rows = lines(written(single.report()));
    ASSERT_EQ(rows.size(), 31U);
    EXPECT_EQ(rows[29], "Px,Py,Qx,Qy,V/Vo,angle, multiple of b1, multiple of b2");

    const FinishedRun defaults(engine::MainFieldTexts{});
    EXPECT_EQ(lines(written(defaults.report())).size(), 30U + 241U);
}

TEST(ReportFileTest, WithoutGeometricSearchEveryRowHasMultiplesOne) {
    const FinishedRun run(engine::MainFieldTexts{});
    const std::vector<std::string> rows = lines(written(run.report()));
    EXPECT_EQ(rows[14], "(Not searching for geometric solutions)");
    EXPECT_EQ(rows[8], "     Non-hexagonal substrate symmetry");
    for (std::size_t k = 30; k < rows.size(); ++k) {
        ASSERT_GE(rows[k].size(), 6U);
        EXPECT_EQ(rows[k].substr(rows[k].size() - 6), " 1  1 ") << rows[k];
    }
}

TEST(ReportFileTest, HeaderShowsFieldsAsTheyAreNowButTheCapturedOverlayer) {
    const FinishedRun run(engine::MainFieldTexts{});
    ReportInputs in = run.report();
    in.fields.a1 = "5.431";        // changed after the run
    in.fields.b1 = "99";           // during a run b1 shows the multiplied length
    in.fields.Lowerangle = "abc";  // not a number: written as it stands
    in.fields.Upperangle = "10000";
    const std::vector<std::string> rows = lines(written(in));
    EXPECT_EQ(rows[5], "        a1 :   5.43 Angstroms");
    EXPECT_EQ(rows[10], "        b1 :  10.00 Angstroms");
    EXPECT_EQ(rows[17], "Lower angle bound :     abc degrees");
    EXPECT_EQ(rows[18], "Upper angle bound : 10000.00 degrees");
    EXPECT_EQ(rows[9], " OVERLAYER : Overlayer   ");
}

TEST(ReportFileTest, NegativeMatrixEntriesOnTheirLineAndInARow) {
    const FinishedRun run(engine::MainFieldTexts{});
    ReportInputs in = run.report();
    in.best.BestQx = -0.5;
    const std::vector<engine::AngleBestRow> table = {{0.5, 1, 1, 1, 0, -0.5, 1}};
    const std::vector<float> angles = {30.001F};
    const std::vector<double> minima = {0.5};
    in.angleBestTable = table;
    in.azimuthAngles = angles;
    in.angleMinVVo = minima;
    const std::vector<std::string> rows = lines(written(in));
    EXPECT_EQ(rows[23], "              m21 :  -0.50");
    ASSERT_EQ(rows.size(), 31U);
    EXPECT_EQ(rows[30], " 1  0 -.5  1  .5  30.001  1  1 ");
}

TEST(ReportFileTest, DateIsTwoDigitYearMonthDay) {
    const FinishedRun run(engine::MainFieldTexts{});
    ReportInputs in = run.report();
    in.date = {1999, 7, 5};
    EXPECT_EQ(reportHeaderLines(in)[3], "99/7/5");
    in.date = {2005, 12, 31};
    EXPECT_EQ(reportHeaderLines(in)[3], "05/12/31");
}

}  // namespace
}  // namespace lamivex::output
