#include "output/iteration_printout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lamivex::output {
namespace {

const std::vector<std::string> kRecords = {
    "12.50\t0.75\t3.80\t4.00\t90.00\t0.38\t0.00\t0.00\t0.40\t15.20",
    "13.00\t0.70\t3.84\t4.00\t90.00\t0.38\t0.01\t0.00\t0.40\t15.36",
};

IterationDataInputs overlayerRun(std::span<const std::string> records) {
    IterationDataInputs in;
    in.fields.SubName = "Cu(100)";
    in.fields.a1 = "2.55";
    in.fields.a2 = "2.55";
    in.fields.alpha = "90";
    in.fields.OverName = "Film";
    in.fields.b1 = "4";
    in.fields.b2 = "4";
    in.fields.beta = "90";
    in.overlayerIterated = true;
    in.ranges[0] = {3.8F, 4.2F, false};
    in.ranges[1] = {3.8F, 4.2F, true};
    in.ranges[2] = {85.5F, 94.5F, false};
    in.matchRecords = records;
    in.date = {2026, 3, 7};
    return in;
}

TEST(IterationPrintout, LinesInOrder) {
    const std::vector<std::string> lines = iterationPrintoutLines(overlayerRun(kRecords));
    const std::vector<std::string> expected = {
        "",
        "Lamivex Version 5.0",
        "Epitaxy Calculation",
        "July 1999",
        "",
        "26/3/7",
        "",
        " SUBSTRATE : Cu(100)",
        "        a1 :   2.55 Angstroms",
        "        a2 :   2.55 Angstroms",
        "     alpha :  90.00 degrees",
        "     Non-hexagonal substrate symmetry",
        " OVERLAYER : Film   ",
        "  b1   =   4.00 Angstroms",
        "  b2   =   4.00 Angstroms",
        "  beta =  90.00 degrees",
        "",
        " Iteration Parameters ",
        "  b1 range :   3.80 -   4.20 Angstroms",
        "beta range :  85.50 -  94.50 degrees",
        "",
        "Match\tAngle\tV/Vo\t  b1\t  b2\tbeta\t m11\t m12\t m21\tm22\tArea",
        "",
        "  1\t" + kRecords[0],
        "  2\t" + kRecords[1],
    };
    EXPECT_EQ(lines, expected);
}

TEST(IterationPrintout, SubstrateRunHeadingAndRanges) {
    IterationDataInputs in = overlayerRun(kRecords);
    in.overlayerIterated = false;
    in.ranges[3] = {2.4F, 2.7F, false};
    in.ranges[4] = {2.4F, 2.7F, false};
    in.ranges[5] = {88.0F, 92.0F, true};
    const std::vector<std::string> lines = iterationPrintoutLines(in);
    const std::vector<std::string> tail(lines.end() - 7, lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        "  a1 range :   2.40 -   2.70 Angstroms",
                        "  a2 range :   2.40 -   2.70 Angstroms",
                        "",
                        "Match\tAngle\tV/Vo\t  a1\t  a2\talpha\t m11\t m12\t m21\tm22\tArea",
                        "",
                        "  1\t" + kRecords[0],
                        "  2\t" + kRecords[1],
                    }));
}

TEST(IterationPrintout, TabsBecomeAlignedColumns) {
    EXPECT_EQ(expandTabs("  7\t12.50\t0.75"), "  7     12.50   0.75");
    EXPECT_EQ(expandTabs("12345678\tx"), "12345678        x");
    EXPECT_EQ(expandTabs("plain"), "plain");
}

TEST(IterationPrintout, LongRunContinuesOnFurtherPagesWithoutRepeatingTheHeading) {
    std::vector<std::string> records(2000, kRecords[0]);
    const IterationDataInputs in = overlayerRun(records);
    const std::vector<std::string> lines = iterationPrintoutLines(in);
    const Pages pages = iterationPrintoutPages(in);
    const auto perPage = static_cast<std::size_t>(iterationLinesPerPage());
    ASSERT_GT(perPage, 40U);
    EXPECT_EQ(pages.size(), (lines.size() + perPage - 1) / perPage);

    std::size_t headings = 0;
    std::size_t rows = 0;
    std::string last;
    for (const DisplayList& page : pages) {
        for (const TextItem& t : page.texts()) {
            EXPECT_EQ(t.text.find('\t'), std::string::npos);
            EXPECT_LT(t.topLeft.y, 780);
            headings += t.text.rfind("Match", 0) == 0 ? 1 : 0;
            rows += t.text.rfind("  ", 0) == 0 && t.text.find("12.50") != std::string::npos;
            last = t.text;
        }
    }
    EXPECT_EQ(headings, 1U);
    EXPECT_EQ(rows, 2000U);
    EXPECT_EQ(last, expandTabs("  2000\t" + kRecords[0]));
}

}  // namespace
}  // namespace lamivex::output
