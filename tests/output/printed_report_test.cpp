#include "output/printed_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/rotation_scan.h"
#include "numbers/input_error.h"

namespace lamivex::output {
namespace {

// A run and everything the printout needs from it, kept together so the spans stay valid.
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

// The main window's defaults (0..60 by 0.25), with or without the geometric search.
engine::MainFieldTexts defaultRun(bool geometric) {
    engine::MainFieldTexts f;
    f.chkgeo = geometric;
    return f;
}

std::vector<std::string> pageTexts(const DisplayList& page) {
    std::vector<std::string> out;
    for (const TextItem& t : page.texts()) {
        out.push_back(t.text);
    }
    return out;
}

TEST(PrintedReportTest, HeaderGroupsTheReportLinesWithBlanks) {
    const FinishedRun run(defaultRun(false));
    const ReportInputs in = run.report();
    const std::vector<std::string> file = reportHeaderLines(in);
    const std::vector<std::string> printed = printedHeaderLines(in, SearchWording::UpTo);
    ASSERT_EQ(printed.size(), 35U);
    // printed line n (1-based) against report file line m
    const auto same = [&](int n, int m) {
        EXPECT_EQ(printed[static_cast<std::size_t>(n - 1)], file[static_cast<std::size_t>(m - 1)])
            << "printed line " << n;
    };
    for (const int blank : {1, 5, 7, 17, 25, 33, 34, 35}) {
        EXPECT_EQ(printed[static_cast<std::size_t>(blank - 1)], "") << "line " << blank;
    }
    EXPECT_EQ(printed[1], "Lamivex Version 5.0");
    same(3, 2);
    same(4, 3);
    EXPECT_EQ(printed[5], "26/12/8");
    for (int n = 8; n <= 16; ++n) {
        same(n, n - 3);
    }
    EXPECT_EQ(printed[17], " OVERLAYER PARAMETERS");
    EXPECT_EQ(printed[18], "(Not searching for geometric solutions)");
    for (int n = 20; n <= 24; ++n) {
        same(n, n - 4);
    }
    EXPECT_EQ(printed[25], "        TRANSFORMATION MATRIX");
    for (int n = 29; n <= 32; ++n) {
        same(n, n - 3);
    }
}

TEST(PrintedReportTest, MatrixTwoEntriesToALine) {
    const FinishedRun run(defaultRun(false));
    ReportInputs in = run.report();
    in.best.BestPx = 1;
    in.best.BestQy = -0.5;
    in.best.BestQx = 12.345;
    in.best.BestPy = 1000.5;  // wider than its field: written whole
    const std::vector<std::string> printed = printedHeaderLines(in, SearchWording::MaximumMultiple);
    EXPECT_EQ(printed[26], "              m11 :   1.00         m12 :  -0.50");
    EXPECT_EQ(printed[27], "              m21 :  12.35         m22 : 1000.50");
}

TEST(PrintedReportTest, OnlyTheGeometricSearchLineDiffersBetweenTheCommands) {
    const FinishedRun run(defaultRun(true));
    const ReportInputs in = run.report();
    const std::vector<std::string> button = printedHeaderLines(in, SearchWording::UpTo);
    const std::vector<std::string> menu = printedHeaderLines(in, SearchWording::MaximumMultiple);
    ASSERT_EQ(button.size(), menu.size());
    for (std::size_t i = 0; i < button.size(); ++i) {
        if (i != 18) {
            EXPECT_EQ(button[i], menu[i]) << "line " << i + 1;
        }
    }
    EXPECT_EQ(button[18], "Searched for geometric solutions up to 4");
    EXPECT_EQ(menu[18], "Searched for geometric solutions:  maximum multiple = 4");

    ReportInputs clear = in;
    clear.fields.chkgeo = false;
    EXPECT_EQ(printedHeaderLines(clear, SearchWording::UpTo)[18],
              "(Not searching for geometric solutions)");
    EXPECT_EQ(printedHeaderLines(clear, SearchWording::MaximumMultiple)[18],
              "(Not searching for geometric solutions)");
}

TEST(PrintedReportTest, GraphDataRowFieldsStartAtTheHeadingColumns) {
    const std::vector<float> angles{30.001F};
    const engine::AngleBestTable table{{0.0123, 2, 1, 1.5, -0.5, 0, 2}};
    const std::vector<double> minVVo{0.0123};
    ReportInputs in;
    in.azimuthAngles = angles;
    in.angleBestTable = table;
    in.angleMinVVo = minVVo;
    const std::string row = graphDataRow(in, 0);
    EXPECT_EQ(row, " 30.00   1.2300E-02         2               1        1.50 -0.50  0.00  2.00");
    const std::vector<std::pair<std::size_t, std::string>> fields{
        {0, " 30.00"},  {9, "1.2300E-02"}, {23, "     2"}, {39, "     1"},
        {51, "  1.50"}, {57, " -0.50"},    {63, "  0.00"}, {69, "  2.00"}};
    for (const auto& [start, text] : fields) {
        EXPECT_EQ(row.substr(start, text.size()), text) << "field at " << start;
    }
    // Every column name of the heading is centred over its field.
    const std::string heading = kGraphDataHeading;
    const std::vector<std::pair<std::string, std::size_t>> columns{{"Az. Angle", 0},
                                                                   {"V/Vo", 9},
                                                                   {"multiple of b1", 23},
                                                                   {"multiple of b2", 39},
                                                                   {"m11", 51},
                                                                   {"m12", 57},
                                                                   {"m21", 63},
                                                                   {"m22", 69}};
    std::size_t from = 0;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const auto& [name, start] = columns[c];
        const std::size_t pos = heading.find(name, from);
        ASSERT_NE(pos, std::string::npos) << name;
        const std::size_t end = c + 1 < columns.size() ? columns[c + 1].second : row.size();
        const std::size_t fieldEnd = start + (name == "V/Vo" ? 10 : 6);
        const double centre = static_cast<double>(pos) + static_cast<double>(name.size()) / 2;
        EXPECT_GE(centre, static_cast<double>(start)) << name;
        EXPECT_LE(centre, static_cast<double>(std::min(fieldEnd, end))) << name;
        from = pos + name.size();
    }
}

TEST(PrintedReportTest, GeometricRunGivesFiveGraphDataPagesOfFiftyRows) {
    const FinishedRun run(defaultRun(true));
    const ReportInputs in = run.report();
    ASSERT_EQ(in.azimuthAngles.size(), 241U);

    const std::vector<std::vector<std::string>> dataPages = graphDataPageLines(in);
    ASSERT_EQ(dataPages.size(), 5U);
    const std::size_t rows[] = {50, 50, 50, 50, 41};
    std::size_t k = 0;
    for (std::size_t p = 0; p < dataPages.size(); ++p) {
        const std::vector<std::string>& lines = dataPages[p];
        ASSERT_EQ(lines.size(), 3 + rows[p]) << "page " << p;
        EXPECT_EQ(lines[0], "GRAPH DATA:");
        EXPECT_EQ(lines[1], "");
        EXPECT_EQ(lines[2], kGraphDataHeading);
        for (std::size_t r = 3; r < lines.size(); ++r, ++k) {
            EXPECT_EQ(lines[r], graphDataRow(in, k));
        }
    }
    EXPECT_EQ(k, 241U);

    const Pages pages = printedReportPages(in, SearchWording::UpTo);
    ASSERT_EQ(pages.size(), 6U);
    for (std::size_t p = 1; p < pages.size(); ++p) {
        const std::vector<TextItem> texts = pages[p].texts();
        ASSERT_EQ(texts.size(), 2 + rows[p - 1]);
        EXPECT_EQ(texts[0].text, "GRAPH DATA:");
        EXPECT_EQ(texts[0].topLeft.y, 0);
        EXPECT_EQ(texts[1].topLeft.y, 2 * kPrintLineHeight);  // after the blank line
        EXPECT_EQ(texts.back().topLeft.y, static_cast<double>(rows[p - 1] + 2) * kPrintLineHeight);
        EXPECT_LE(texts.back().topLeft.y + kPrintLineHeight, kPageCoordinates.bottom);
        EXPECT_EQ(texts.back().font, TextFont::Monospace);
    }
}

TEST(PrintedReportTest, WithoutTheSearchOnlyHeaderAndGraph) {
    const FinishedRun run(defaultRun(false));
    const Pages pages = printedReportPages(run.report(), SearchWording::UpTo);
    ASSERT_EQ(pages.size(), 1U);
    const std::vector<std::string> texts = pageTexts(pages[0]);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), std::string("GRAPH DATA:")), 0);
    EXPECT_TRUE(graphDataPageLines(run.report()).empty());
}

TEST(PrintedReportTest, FirstPageHoldsHeaderThenTheGraphCentredBelowIt) {
    const FinishedRun run(defaultRun(false));
    const ReportInputs in = run.report();
    const Pages pages = printedReportPages(in, SearchWording::UpTo);
    ASSERT_FALSE(pages.empty());
    const DisplayList& page = pages[0];
    const std::vector<std::string> header = printedHeaderLines(in, SearchWording::UpTo);

    const std::vector<TextItem> texts = page.texts();
    std::size_t t = 0;
    for (std::size_t i = 0; i < header.size(); ++i) {
        if (header[i].empty()) {
            continue;
        }
        ASSERT_LT(t, texts.size());
        EXPECT_EQ(texts[t].text, header[i]);
        EXPECT_EQ(texts[t].topLeft, (Point{0, static_cast<double>(i) * kPrintLineHeight}));
        ++t;
    }
    // Then the graph's ten labels: V/Vo bottom to top, then the angles.
    std::vector<std::string> labels;
    for (; t < texts.size(); ++t) {
        labels.push_back(texts[t].text);
    }
    ASSERT_EQ(labels.size(), 10U);
    EXPECT_EQ(std::vector<std::string>(labels.begin() + 5, labels.end()),
              (std::vector<std::string>{"0", "15", "30", "45", "60"}));

    // The frame is the first line after the header, twice the window's size, centred.
    const std::vector<LineSegment> lines = page.lines();
    const double frameTop = 35 * kPrintLineHeight;
    const double frameWidth = 2 * (kGraphPictureWidth + 2 * kGraphFrameMargin);
    EXPECT_EQ(lines.at(0).from.y, frameTop);
    EXPECT_DOUBLE_EQ(lines.at(0).from.x, (kPageCoordinates.right - frameWidth) / 2);
    EXPECT_DOUBLE_EQ(lines.at(0).to.x, (kPageCoordinates.right + frameWidth) / 2);
    const double frameBottom = lines.at(1).to.y;
    for (const LineSegment& line : lines) {
        for (const Point p : {line.from, line.to}) {
            EXPECT_GE(p.y, frameTop);
            EXPECT_LE(p.y, frameBottom);
            EXPECT_LE(frameBottom, kPageCoordinates.bottom);
        }
    }
}

TEST(PrintedReportTest, RefusesTablesThatWereNotBuiltForTheRun) {
    const FinishedRun run(defaultRun(false));
    ReportInputs in = run.report();
    in.angleBestTable = in.angleBestTable.first(10);
    EXPECT_THROW((void)printedReportPages(in, SearchWording::UpTo), std::invalid_argument);
}

}  // namespace
}  // namespace lamivex::output
