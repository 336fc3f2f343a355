#include "render/page_output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>

#include "output/printed_report.h"
#include "render_test_support.h"

namespace lamivex::render {
namespace {

namespace fs = std::filesystem;

int pagesWith(const std::vector<std::string>& pages, const std::string& text) {
    return static_cast<int>(std::count_if(pages.begin(), pages.end(), [&](const std::string& p) {
        return p.find(text) != std::string::npos;
    }));
}

class PageOutputTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    [[nodiscard]] fs::path file(const std::string& name) const {
        return fs::path(m_dir.path().toStdString()) / name;
    }

  private:
    QTemporaryDir m_dir;
};

TEST_F(PageOutputTest, GeometricRunPrintsFiveGraphDataPages) {
    const testing::DefaultRun run(true);
    const output::Pages pages =
        output::printedReportPages(run.report(), output::SearchWording::UpTo);
    const fs::path pdf = file("report.pdf");
    const output::SaveResult saved = writePagesPdf(pages, pdf, "Lamivex report");
    ASSERT_TRUE(saved.ok) << saved.error;

    const std::vector<std::string> text = testing::pdfPageTexts(pdf);
    ASSERT_EQ(text.size(), 6U);
    EXPECT_EQ(pagesWith(text, "GRAPH DATA:"), 5);
    EXPECT_EQ(text[0].find("GRAPH DATA:"), std::string::npos);
    EXPECT_NE(text[0].find("Lamivex Version 5.0"), std::string::npos);
    EXPECT_NE(text[0].find("Searched for geometric solutions up to 4"), std::string::npos);
    EXPECT_NE(text[0].find("TRANSFORMATION MATRIX"), std::string::npos);
    // The graph's angle labels on the first page, the last row on the last.
    EXPECT_NE(text[0].find("45"), std::string::npos);
    EXPECT_NE(text[5].find(" 60.00"), std::string::npos);
    EXPECT_NE(text[1].find("multiple of b1"), std::string::npos);
}

TEST_F(PageOutputTest, RunWithoutTheSearchPrintsNoGraphData) {
    const testing::DefaultRun run(false);
    const output::Pages pages =
        output::printedReportPages(run.report(), output::SearchWording::MaximumMultiple);
    const fs::path pdf = file("report.pdf");
    ASSERT_TRUE(writePagesPdf(pages, pdf).ok);
    const std::vector<std::string> text = testing::pdfPageTexts(pdf);
    ASSERT_EQ(text.size(), 1U);
    EXPECT_EQ(pagesWith(text, "GRAPH DATA:"), 0);
    EXPECT_NE(text[0].find("(Not searching for geometric solutions)"), std::string::npos);
}

TEST_F(PageOutputTest, NoPrinterIsSaidNotSwallowed) {
    const testing::DefaultRun run(false);
    const output::Pages pages =
        output::printedReportPages(run.report(), output::SearchWording::UpTo);
    const PrintResult none = printPagesOn(QPrinterInfo(), pages, "Lamivex");
    EXPECT_EQ(none.status, PrintStatus::NoPrinter);
    EXPECT_FALSE(none.printed());
    EXPECT_EQ(none.message, "No printer is installed.");

    // A printer whose painter cannot begin counts as no printer too.
    QPrinter broken(QPrinter::HighResolution);
    broken.setOutputFormat(QPrinter::PdfFormat);
    broken.setOutputFileName(QString::fromStdString(file("no/such/folder/out.pdf").string()));
    const PrintResult failed = printPages(pages, broken);
    EXPECT_EQ(failed.status, PrintStatus::NoPrinter);
    EXPECT_FALSE(failed.message.empty());
}

TEST_F(PageOutputTest, PrinterReceivesEveryPage) {
    const testing::DefaultRun run(true);
    const output::Pages pages =
        output::printedReportPages(run.report(), output::SearchWording::UpTo);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const fs::path pdf = file("printed.pdf");
    printer.setOutputFileName(QString::fromStdString(pdf.string()));
    const PrintResult result = printPages(pages, printer);
    ASSERT_TRUE(result.printed()) << result.message;
    const std::vector<std::string> text = testing::pdfPageTexts(pdf);
    EXPECT_EQ(text.size(), 6U);
    EXPECT_EQ(pagesWith(text, "GRAPH DATA:"), 5);

    EXPECT_EQ(printPages({}, printer).status, PrintStatus::Failed);
}

}  // namespace
}  // namespace lamivex::render
