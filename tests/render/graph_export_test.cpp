#include "render/graph_export.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include "output/graph_plot.h"
#include "output/view_pictures.h"
#include "render_test_support.h"

namespace lamivex::render {
namespace {

namespace fs = std::filesystem;

output::AzimuthGraph defaultGraph(const testing::DefaultRun& run) {
    return output::plotAzimuthGraph(run.scan.results.AzimuthAngles, run.scan.AngleBestTable,
                                    run.scan.results.LastAngleIndex);
}

std::vector<std::string> labelTexts(const output::DisplayList& list) {
    std::vector<std::string> out;
    for (const output::TextItem& t : list.texts()) {
        out.push_back(t.text);
    }
    return out;
}

class GraphExportTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    [[nodiscard]] fs::path file(const std::string& name) const {
        return fs::path(m_dir.path().toStdString()) / name;
    }
    [[nodiscard]] std::size_t filesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(m_dir.path().toStdString()), {}));
    }

    testing::DefaultRun m_run{false};
    output::AzimuthGraph m_graph = defaultGraph(m_run);

  private:
    QTemporaryDir m_dir;
};

TEST(PictureFormatTest, ChosenByExtensionInAnyCase) {
    EXPECT_EQ(output::pictureFormatFor("a/g.png"), output::PictureFormat::Png);
    EXPECT_EQ(output::pictureFormatFor("g.SVG"), output::PictureFormat::Svg);
    EXPECT_EQ(output::pictureFormatFor("g.Pdf"), output::PictureFormat::Pdf);
    EXPECT_FALSE(output::pictureFormatFor("g.jpg"));
    EXPECT_FALSE(output::pictureFormatFor("png"));
    EXPECT_FALSE(output::pictureFormatFor("g.png.txt"));
}

TEST_F(GraphExportTest, PngHasTheGraphsProportionsAndInkInsideTheAxes) {
    const fs::path png = file("graph.png");
    const output::SaveResult saved = exportGraph(m_graph.list, png);
    ASSERT_TRUE(saved.ok) << saved.error;
    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString(png.string()), "PNG"));
    EXPECT_EQ(image.width(), 900);
    EXPECT_EQ(image.height(), 780);  // 150 x 130 units
    // White outside the data, dark pixels on the vertical axis (x = 0 -> pixel 180).
    EXPECT_EQ(image.pixel(5, 5), qRgb(255, 255, 255));
    int dark = 0;
    for (int y = 100; y < 600; ++y) {
        dark += qGray(image.pixel(180, y)) < 160 ? 1 : 0;
    }
    EXPECT_GT(dark, 400);
    EXPECT_EQ(filesInFolder(), 1U);  // no temporary left behind
}

TEST_F(GraphExportTest, SvgIsAnSvgDocumentWithTheLabels) {
    const fs::path svg = file("graph.svg");
    const output::SaveResult saved = exportGraph(m_graph.list, svg);
    ASSERT_TRUE(saved.ok) << saved.error;
    const std::string text = testing::readFile(svg);
    EXPECT_NE(text.find("<svg"), std::string::npos);
    EXPECT_NE(text.find("</svg>"), std::string::npos);
    for (const std::string& label : labelTexts(m_graph.list)) {
        EXPECT_NE(text.find(">" + label + "<"), std::string::npos) << label;
    }
}

TEST_F(GraphExportTest, PdfTextHoldsTheLabels) {
    const fs::path pdf = file("graph.pdf");
    const output::SaveResult saved = exportGraph(m_graph.list, pdf);
    ASSERT_TRUE(saved.ok) << saved.error;
    EXPECT_EQ(testing::readFile(pdf).substr(0, 5), "%PDF-");
    const std::vector<std::string> pages = testing::pdfPageTexts(pdf);
    ASSERT_EQ(pages.size(), 1U);
    const std::vector<std::string> labels = labelTexts(m_graph.list);
    ASSERT_EQ(labels.size(), 10U);
    for (const std::string& label : labels) {
        EXPECT_NE(pages[0].find(label), std::string::npos) << label;
    }
}

TEST_F(GraphExportTest, UnknownTypeOrMissingFolderWritesNothing) {
    const output::SaveResult jpg = exportGraph(m_graph.list, file("graph.jpg"));
    EXPECT_FALSE(jpg.ok);
    EXPECT_NE(jpg.error.find(".png, .svg or .pdf"), std::string::npos) << jpg.error;

    const output::SaveResult missing = exportGraph(m_graph.list, file("no/such/graph.png"));
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.error.empty());
    EXPECT_EQ(filesInFolder(), 0U);
}

// Pixels of colour, to a few units per channel (anti-aliased edges aside).
int pixelsOf(const QImage& image, QColor colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                             std::abs(c.blue() - colour.blue()) <
                         12
                     ? 1
                     : 0;
        }
    }
    return n;
}

TEST_F(GraphExportTest, SvgOfALargeDomainStaysSmallAndDrawsItsSites) {
    // (√3×√3)R30° on a hexagonal substrate, 201 × 201 overlayer points: some 150,000 sites.
    const views::Basis2 substrate = views::substrateBasis({2.8836, 2.8836, 60});
    const views::Basis2 overlayer =
        views::overlayerBasis({{2.8836, 2.8836, 60}, 4.9945, 4.9945, 60, 30});
    views::RealSpaceOptions domain;
    domain.m = domain.n = 100;
    const views::RealSpaceScene scene = views::realSpaceScene(substrate, overlayer, domain);
    ASSERT_GT(scene.substrateSites.size() + scene.overlayerSites.size(), 140'000U);
    const output::DisplayList picture = output::realSpacePicture(scene);
    const PictureSize size{800, 800, "Real space"};
    const std::optional<QByteArray> svg = renderPicture(picture, output::PictureFormat::Svg, size);
    ASSERT_TRUE(svg.has_value());
    // One circle element with its own group per site took some 200 bytes each, 30 MB.
    EXPECT_LT(svg->size(), 5'000'000);

    // Read back, the sites of the middle cover about as many pixels in their grey as in the
    // PNG, where they are discs.
    const output::DisplayList middle = output::realSpacePicture(scene, {8, ""});
    const std::optional<QByteArray> middleSvg =
        renderPicture(middle, output::PictureFormat::Svg, size);
    ASSERT_TRUE(middleSvg.has_value());
    QSvgRenderer reader(*middleSvg);
    ASSERT_TRUE(reader.isValid());
    QImage read(size.width, size.height, QImage::Format_RGB32);
    read.fill(Qt::white);
    QPainter painter(&read);
    reader.render(&painter);
    painter.end();
    const std::optional<QByteArray> png = renderPicture(middle, output::PictureFormat::Png, size);
    ASSERT_TRUE(png.has_value());
    const QImage drawn = QImage::fromData(*png);
    const QColor grey(160, 160, 160);
    const int inSvg = pixelsOf(read, grey);
    const int inPng = pixelsOf(drawn, grey);
    EXPECT_GT(inPng, 1000);
    EXPECT_GT(inSvg, inPng / 2);
    EXPECT_LT(inSvg, inPng * 2);
}

}  // namespace
}  // namespace lamivex::render
