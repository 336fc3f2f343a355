// Camera pictures in and out of the painter: a picture read keeps its 16 bits and its rows in
// order, and a grey picture of a display list lands where its corners say, flipped with them.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "render/display_list_painter.h"
#include "render/grey_image_reader.h"

namespace lamivex::render {
namespace {

TEST(GreyImageReader, KeepsSixteenBitsAndTurnsColourIntoBrightness) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Levels above 255 tell a 16-bit reading from an 8-bit one; rows tell y's direction.
    QImage deep(3, 2, QImage::Format_Grayscale16);
    const quint16 levels[2][3] = {{0, 300, 65535}, {1000, 2000, 40000}};
    for (int y = 0; y < 2; ++y) {
        auto* row = reinterpret_cast<quint16*>(deep.scanLine(y));
        for (int x = 0; x < 3; ++x) {
            row[x] = levels[y][x];
        }
    }
    const QString deepPath = dir.filePath(QStringLiteral("deep.png"));
    ASSERT_TRUE(deep.save(deepPath));
    const GreyImageRead read = readGreyImage(deepPath.toStdString());
    ASSERT_TRUE(read.error.empty()) << read.error;
    ASSERT_EQ(read.image.width, 3);
    ASSERT_EQ(read.image.height, 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(read.image.at(x, y), levels[y][x]) << x << "," << y;
        }
    }

    // Pure green is brighter than pure blue, whatever weights the conversion uses.
    QImage colour(2, 1, QImage::Format_RGB32);
    colour.setPixel(0, 0, qRgb(0, 255, 0));
    colour.setPixel(1, 0, qRgb(0, 0, 255));
    const QString colourPath = dir.filePath(QStringLiteral("colour.png"));
    ASSERT_TRUE(colour.save(colourPath));
    const GreyImageRead grey = readGreyImage(colourPath.toStdString());
    ASSERT_TRUE(grey.error.empty()) << grey.error;
    EXPECT_GT(grey.image.at(0, 0), grey.image.at(1, 0));
    EXPECT_LE(grey.image.at(0, 0), 255.0F);

    EXPECT_FALSE(
        readGreyImage(dir.filePath(QStringLiteral("none.png")).toStdString()).error.empty());
}

TEST(GreyPictureItem, LandsBetweenItsCornersAndFlipsWithThem) {
    // A 2 × 1 picture, black then white, over the left half of a 100 × 100 user square.
    output::DisplayList list;
    list.coordinates = {0, 0, 100, 100};
    const struct {
        output::Point corner1;
        output::Point corner2;
        bool blackOnLeft;
    } cases[] = {{{0, 0}, {50, 100}, true}, {{50, 0}, {0, 100}, false}};
    for (const auto& c : cases) {
        list.items.clear();
        list.items.emplace_back(output::GreyPicture{c.corner1, c.corner2, 2, 1, {0, 255}});
        QImage image(100, 100, QImage::Format_RGB32);
        image.fill(Qt::red);
        {
            QPainter painter(&image);
            drawDisplayList(painter, list, QRectF(0, 0, 100, 100), Fit::Stretch);
        }
        const int left = qGray(image.pixel(10, 50));
        const int right = qGray(image.pixel(40, 50));
        EXPECT_EQ(left < right, c.blackOnLeft) << left << " " << right;
        EXPECT_EQ(image.pixel(80, 50), qRgb(255, 0, 0)) << "the picture spilled past its corners";
    }
}

}  // namespace
}  // namespace lamivex::render
