// The image list: a strip cut in equal-width images, the mask colour drawn transparent.
#include "widgets/zuimagelist.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// A strip of `count` images of 16 × 8, image i filled with grey level 40 * (i + 1), plus `extra`
// columns of black at the right.
QPixmap strip(int count, int extra = 0)
{
    QImage image(16 * count + extra, 8, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    for (int i = 0; i < count; ++i)
        p.fillRect(16 * i, 0, 16, 8, QColor(40 * (i + 1), 40 * (i + 1), 40 * (i + 1)));
    p.end();
    return QPixmap::fromImage(image);
}

} // namespace

TEST(ImageList, CutsStripInEqualImages)
{
    struct Row {
        const char* name;
        QPixmap pixmap;
        int width;
        int expected;
    };
    const Row rows[] = {
        {"three images", strip(3), 16, 3},
        {"leftover columns are no image", strip(2, 10), 16, 2},
        {"narrower than one image", strip(0, 10), 16, 0},
        {"width 0", strip(3), 0, 0},
        {"negative width", strip(3), -16, 0},
        {"null strip", QPixmap(), 16, 0},
    };
    for (const Row& row : rows) {
        CZuImageList list;
        EXPECT_EQ(list.Create(row.pixmap, row.width), row.expected) << row.name;
        EXPECT_EQ(list.GetImageCount(), row.expected) << row.name;
    }

    CZuImageList list;
    ASSERT_EQ(list.Create(strip(3), 16), 3);
    EXPECT_EQ(list.GetImageSize(), QSize(16, 8));
    EXPECT_EQ(list.GetImage(1).toImage().pixelColor(15, 7), QColor(80, 80, 80));
    EXPECT_TRUE(list.GetImage(3).isNull());
    EXPECT_TRUE(list.GetImage(-1).isNull());
    EXPECT_EQ(list.Add(strip(2)), 3) << "appended after the first three";
    EXPECT_EQ(list.GetImageCount(), 5);
    EXPECT_EQ(list.GetImage(4).toImage().pixelColor(0, 0), QColor(80, 80, 80));
}

TEST(ImageList, DrawsWithMaskColourTransparent)
{
    CZuImageList list;
    ASSERT_EQ(list.Create(strip(3), 16, RGB(80, 80, 80)), 3);
    QImage canvas(40, 10, QImage::Format_RGB32);
    canvas.fill(QColor(255, 255, 0));
    QPainter p(&canvas);
    EXPECT_EQ(list.Draw(&p, 0, QPoint(0, 1)), 1);
    EXPECT_EQ(list.Draw(&p, 1, QPoint(20, 1)), 1);
    EXPECT_EQ(list.Draw(&p, 3, QPoint(0, 0)), 0);
    EXPECT_EQ(list.Draw(nullptr, 0, QPoint(0, 0)), 0);
    p.end();
    EXPECT_EQ(canvas.pixelColor(0, 1), QColor(40, 40, 40));
    EXPECT_EQ(canvas.pixelColor(0, 0), QColor(255, 255, 0));
    EXPECT_EQ(canvas.pixelColor(25, 5), QColor(255, 255, 0)) << "the mask colour shows what is below";
}

TEST(ImageList, TwiceSizeStripIsCutByLogicalWidth)
{
    // Three 16 × 8 images drawn at twice the size: 96 × 16 device pixels at ratio 2.
    QImage big = strip(3).toImage().scaled(96, 16);
    for (int x = 32; x < 64; ++x)
        big.setPixelColor(x, 0, QColor(255, 0, 0));  // image 1's top device row
    QPixmap pixmap = QPixmap::fromImage(big);
    pixmap.setDevicePixelRatio(2);

    CZuImageList list;
    ASSERT_EQ(list.Create(pixmap, 16, RGB(120, 120, 120)), 3);
    EXPECT_EQ(list.GetImageSize(), QSize(16, 8));
    const QPixmap image = list.GetImage(1);
    EXPECT_EQ(image.devicePixelRatio(), 2.0);
    EXPECT_EQ(image.deviceIndependentSize().toSize(), QSize(16, 8));

    // Drawn on a 2x canvas: image 1 fills 16 × 8 logical pixels with its own device rows; image
    // 2 is the mask colour and leaves the canvas as it was.
    QImage canvas(80, 20, QImage::Format_RGB32);
    canvas.setDevicePixelRatio(2);
    canvas.fill(QColor(255, 255, 0));
    QPainter p(&canvas);
    list.Draw(&p, 1, QPoint(0, 0));
    list.Draw(&p, 2, QPoint(20, 0));
    p.end();
    EXPECT_EQ(canvas.pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(canvas.pixelColor(31, 1), QColor(80, 80, 80));
    EXPECT_EQ(canvas.pixelColor(32, 1), QColor(255, 255, 0)) << "16 logical pixels wide, no more";
    EXPECT_EQ(canvas.pixelColor(16, 15), QColor(80, 80, 80));
    EXPECT_EQ(canvas.pixelColor(50, 8), QColor(255, 255, 0)) << "the mask colour shows what is below";
}
