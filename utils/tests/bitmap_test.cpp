#include "bitmap.h"

#include <gtest/gtest.h>

#include <QImage>

// The test program carries one bitmap of its own, 7, as the contacts program's: 3 × 2 pixels of
// RGB(62, 115, 221).
TEST(Bitmap, AModuleLoadsItsOwnBitmapByResourceId)
{
    EXPECT_EQ(ZuBitmapPath(174, ZuModule::Calendar), QStringLiteral(":/calendar/174"));
    const QPixmap mine = ZuLoadBitmap(7, ZuModule::Contact);
    ASSERT_FALSE(mine.isNull());
    EXPECT_EQ(mine.size(), QSize(3, 2));
    EXPECT_EQ(mine.toImage().pixel(2, 1), qRgb(62, 115, 221));
    // Another module's bitmap of the same id, and an id the module lacks, are nothing.
    EXPECT_TRUE(ZuLoadBitmap(7, ZuModule::Calendar).isNull());
    EXPECT_TRUE(ZuLoadBitmap(8, ZuModule::Contact).isNull());
}
