#include "render/display_list_painter.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QImage>
#include <QPainter>

#include "output/graph_plot.h"

namespace lamivex::render {
namespace {

QImage whiteImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

void draw(QImage& image, const output::DisplayList& list, const QRectF& target, Fit fit) {
    QPainter painter(&image);
    drawDisplayList(painter, list, target, fit);
}

bool isDark(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y)) < 128;
}

// Antialiased one-pixel lines spread over two pixels: look at the 3 x 3 neighbourhood.
bool hasInk(const QImage& image, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (qGray(image.pixel(x + dx, y + dy)) < 200) {
                return true;
            }
        }
    }
    return false;
}

TEST(DisplayListPainterTest, MapsAnUpwardCoordinateSystemOntoTheRectangle) {
    // 150 x 130 units on 300 x 260 pixels: 2 pixels per unit, y upward from -20.
    output::DisplayList list;
    list.coordinates = output::kGraphCoordinates;
    list.addRect({0, 0}, {50, 100}, {0, 255, 0});
    QImage image = whiteImage(300, 260);
    draw(image, list, QRectF(0, 0, 300, 260), Fit::Stretch);
    // Unit (25, 50) is pixel ((25 + 30)·2, (110 - 50)·2).
    EXPECT_EQ(image.pixel(110, 120), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(60 + 2, 220 - 2), qRgb(0, 255, 0));  // near unit (0, 0)
    EXPECT_EQ(image.pixel(60 - 3, 220 + 3), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(160 + 3, 120), qRgb(255, 255, 255));  // right of unit x = 50
}

TEST(DisplayListPainterTest, KeepAspectCentresAcrossAndClipsToTheDrawing) {
    output::DisplayList list;
    list.coordinates = {0, 0, 100, 100};
    list.hasBackground = true;
    list.background = {0, 0, 255};
    list.addRect({-50, -50}, {150, 150}, {255, 0, 0});  // overruns every edge
    QImage image = whiteImage(300, 200);
    draw(image, list, QRectF(0, 0, 300, 200), Fit::KeepAspect);
    // A square of 200 x 200 pixels from x = 50; nothing drawn outside it.
    EXPECT_EQ(image.pixel(150, 100), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(52, 2), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(47, 100), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(253, 100), qRgb(255, 255, 255));
}

TEST(DisplayListPainterTest, TextHangsBelowAndRightOfItsTopLeftCorner) {
    output::DisplayList list;
    list.coordinates = {0, 0, 200, 200};  // y downward, one unit per pixel
    list.addText({50, 80}, "MMMM", 40);
    QImage image = whiteImage(200, 200);
    draw(image, list, QRectF(0, 0, 200, 200), Fit::Stretch);
    int top = 200;
    int bottom = -1;
    int left = 200;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (isDark(image, x, y)) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                left = std::min(left, x);
            }
        }
    }
    ASSERT_GE(bottom, 0) << "no text drawn";
    EXPECT_GE(top, 80);
    EXPECT_LE(top, 80 + 15);  // capitals start a little below the line's top
    EXPECT_LE(bottom, 80 + 40);
    EXPECT_GE(bottom, 80 + 20);  // the size follows the item's height
    EXPECT_GE(left, 50);
    EXPECT_LE(left, 50 + 8);
}

// The rightmost dark pixel of the image, or -1.
int rightmostInk(const QImage& image) {
    int right = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (isDark(image, x, y)) {
                right = std::max(right, x);
            }
        }
    }
    return right;
}

int inkHeight(const QImage& image) {
    int top = image.height();
    int bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (isDark(image, x, y)) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return bottom - top;
}

TEST(DisplayListPainterTest, TextWiderThanItsRoomIsDrawnSmaller) {
    output::DisplayList list;
    list.coordinates = {0, 0, 400, 100};  // one unit per pixel
    list.addText({10, 10}, "4500", 40);
    QImage free = whiteImage(400, 100);
    draw(free, list, QRectF(0, 0, 400, 100), Fit::Stretch);
    ASSERT_GT(rightmostInk(free), 10 + 60) << "four digits 40 pixels high are wider than 60";

    std::get<output::TextItem>(list.items.back()).maxWidth = 60;
    QImage fitted = whiteImage(400, 100);
    draw(fitted, list, QRectF(0, 0, 400, 100), Fit::Stretch);
    const int right = rightmostInk(fitted);
    EXPECT_GT(right, 10 + 30);
    EXPECT_LE(right, 10 + 60);

    // Free margin on the left is used before the text shrinks: it ends where it ended
    // unshrunk, moved left by just enough.
    std::get<output::TextItem>(list.items.back()).maxWidth = 60;
    std::get<output::TextItem>(list.items.back()).leftRoom = 10;
    QImage shifted = whiteImage(400, 100);
    draw(shifted, list, QRectF(0, 0, 400, 100), Fit::Stretch);
    int left = 400;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 400; ++x) {
            if (isDark(shifted, x, y)) {
                left = std::min(left, x);
            }
        }
    }
    EXPECT_GE(left, 0);
    EXPECT_LT(left, 10);
    EXPECT_LE(rightmostInk(shifted), 10 + 60);
    EXPECT_GT(inkHeight(shifted), inkHeight(fitted));  // less shrinking than without the room

    // Room to spare changes nothing.
    std::get<output::TextItem>(list.items.back()).leftRoom = 0;
    std::get<output::TextItem>(list.items.back()).maxWidth = 300;
    QImage roomy = whiteImage(400, 100);
    draw(roomy, list, QRectF(0, 0, 400, 100), Fit::Stretch);
    EXPECT_EQ(roomy, free);
}

TEST(DisplayListPainterTest, GraphAxesLandWhereTheCoordinateSystemPutsThem) {
    const std::vector<float> angles{0.001F, 30.001F, 60.001F};
    const std::vector<double> vvo{0.5, 0.9, 0.7};
    const output::AzimuthGraph graph = output::plotAzimuthGraph(angles, vvo, 2);
    QImage image = whiteImage(600, 520);  // 4 pixels per unit
    draw(image, graph.list, QRectF(0, 0, 600, 520), Fit::Stretch);
    // Vertical axis x = 0 -> pixel 120; horizontal axis y = -5 -> pixel 460.
    for (const int y : {60, 200, 400}) {
        EXPECT_TRUE(hasInk(image, 120, y)) << "vertical axis at row " << y;
    }
    for (const int x : {200, 400, 550}) {
        EXPECT_TRUE(hasInk(image, x, 460)) << "horizontal axis at column " << x;
    }
    // The curve starts at the bottom of the data (0.5 is vMin): unit (0, 0) = pixel (120, 440).
    // The axis tops out at 1 (vMax never starts below it), so 0.9 is unit (50, 80):
    // pixel (320, 120), 1.6 pixels up per pixel across.
    EXPECT_TRUE(hasInk(image, 170, 360));
    EXPECT_TRUE(hasInk(image, 320, 120));
    EXPECT_FALSE(hasInk(image, 170, 400));
    // Nothing right of the data area except the axis line.
    for (int y = 1; y < 450; ++y) {
        EXPECT_FALSE(hasInk(image, 590, y)) << "row " << y;
    }
}

// The columns and rows that hold ink, as [first, last].
QRect inkBounds(const QImage& image) {
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 160) {
                ink |= QRect(x, y, 1, 1);
            }
        }
    }
    return ink;
}

TEST(DisplayListPainterTest, AlignedTextSitsOnItsAnchorWithTheFontsOwnWidths) {
    // 100 units on 400 pixels; a text 10 units (40 px) high anchored at x = 50 (200 px).
    // Half a character of 40 px is about 12 px.
    const struct {
        output::TextAlign align;
        bool vertical;
        double expected;  // where the ink's middle (or right end) lies, pixels
    } kCases[] = {{output::TextAlign::Centre, false, 200},
                  {output::TextAlign::Right, false, 200},
                  {output::TextAlign::Centre, true, 200}};
    for (const auto& c : kCases) {
        output::DisplayList list;
        list.coordinates = {0, 0, 100, 100};
        list.addText({50, 50}, "30.5", 10);
        auto& text = std::get<output::TextItem>(list.items.back());
        text.align = c.align;
        text.vertical = c.vertical;
        QImage image = whiteImage(400, 400);
        draw(image, list, QRectF(0, 0, 400, 400), Fit::Stretch);
        const QRect ink = inkBounds(image);
        ASSERT_FALSE(ink.isEmpty());
        const double along = c.vertical ? (ink.top() + ink.bottom()) / 2.0
                             : c.align == output::TextAlign::Right
                                 ? ink.right()
                                 : (ink.left() + ink.right()) / 2.0;
        EXPECT_NEAR(along, c.expected, 12) << static_cast<int>(c.align) << c.vertical;
        if (c.vertical) {
            EXPECT_GT(ink.height(), ink.width());  // reads upward, not across
            EXPECT_GE(ink.left(), 200);            // the turned text's top faces the anchor
        }
    }
}

}  // namespace
}  // namespace lamivex::render
