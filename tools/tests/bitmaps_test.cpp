// The calendar's and the password prompt's bitmaps: each loads at its size, from its 2x drawing
// on a scaled screen (this program runs once at 1x and once with QT_SCALE_FACTOR=2), and the
// pieces with a mask colour of their own have it where the view shows through.
#include "bitmap.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct Expected {
    ZuModule module;
    UINT id;
    QSize size;
};

const Expected kBitmaps[] = {
    {ZuModule::Calendar, 129, {24, 8}},   {ZuModule::Calendar, 131, {16, 16}},
    {ZuModule::Calendar, 152, {192, 16}}, {ZuModule::Calendar, 167, {10, 10}},
    {ZuModule::Calendar, 174, {58, 19}},  {ZuModule::Calendar, 175, {21, 20}},
    {ZuModule::Calendar, 176, {21, 20}},  {ZuModule::Calendar, 178, {21, 20}},
    {ZuModule::Calendar, 179, {21, 20}},  {ZuModule::Calendar, 180, {21, 20}},
    {ZuModule::Calendar, 181, {21, 20}},  {ZuModule::Calendar, 182, {21, 20}},
    {ZuModule::Calendar, 183, {21, 20}},  {ZuModule::Calendar, 186, {16, 16}},
    {ZuModule::Calendar, 187, {16, 16}},  {ZuModule::Calendar, 188, {16, 16}},
    {ZuModule::Calendar, 189, {16, 16}},  {ZuModule::Calendar, 190, {16, 16}},
    {ZuModule::Calendar, 191, {16, 16}},  {ZuModule::Calendar, 192, {16, 16}},
    {ZuModule::Calendar, 193, {16, 16}},  {ZuModule::Calendar, 194, {16, 15}},
    {ZuModule::Calendar, 195, {16, 15}},  {ZuModule::Calendar, 200, {225, 16}},
    {ZuModule::Calendar, 210, {238, 15}}, {ZuModule::Calendar, 218, {16, 16}},
    {ZuModule::Calendar, 219, {16, 16}},  {ZuModule::Options, 140, {69, 21}},
    {ZuModule::Options, 141, {69, 21}},   {ZuModule::Options, 142, {69, 21}},
    {ZuModule::Options, 143, {69, 21}},   {ZuModule::Options, 144, {196, 92}},
    // the view board's
    {ZuModule::CompLib, 152, {48, 16}},   {ZuModule::CompLib, 164, {29, 19}},
    {ZuModule::CompLib, 165, {29, 19}},   {ZuModule::CompLib, 166, {29, 19}},
    {ZuModule::CompLib, 167, {29, 19}},   {ZuModule::CompLib, 173, {15, 15}},
    {ZuModule::CompLib, 174, {15, 15}},
};

// The bitmap's pixel at logical (x, y), whatever its ratio.
QColor At(const QPixmap& pixmap, int x, int y)
{
    const qreal r = pixmap.devicePixelRatio();
    return pixmap.toImage().pixelColor(qRound(x * r), qRound(y * r));
}

bool Has(const QImage& img, QRect r, const std::function<bool(QColor)>& test)
{
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (test(img.pixelColor(x, y)))
                return true;
    return false;
}

} // namespace

// The options library holds the prompt's bitmaps; nothing else here calls it, so name its
// resources to have it loaded.
static void LoadOptionsBitmaps() { Q_INIT_RESOURCE(DllZuCalOption_bitmaps); }
static void LoadCompLibBitmaps() { Q_INIT_RESOURCE(ZuCompLib_bitmaps); }

TEST(Bitmaps, EachLoadsAtItsSize)
{
    LoadOptionsBitmaps();
    LoadCompLibBitmaps();
    const bool scaled = qApp->devicePixelRatio() > 1.0;
    EXPECT_EQ(scaled, qEnvironmentVariable("QT_SCALE_FACTOR") == "2") << "the run of the scaled screen is scaled";
    for (const Expected& b : kBitmaps) {
        SCOPED_TRACE(b.id);
        const QPixmap pixmap = ZuLoadBitmap(b.id, b.module);
        ASSERT_FALSE(pixmap.isNull());
        EXPECT_EQ(pixmap.deviceIndependentSize().toSize(), b.size);
        // Drawn at twice the size for a scaled screen, never scaled up.
        EXPECT_EQ(pixmap.devicePixelRatio(), scaled ? 2.0 : 1.0);
        EXPECT_EQ(pixmap.size(), scaled ? b.size * 2 : b.size);
    }
    EXPECT_TRUE(ZuLoadBitmap(177, ZuModule::Calendar).isNull());
}

TEST(Bitmaps, MaskColours)
{
    const QColor green(0, 255, 0), month(62, 115, 221);
    // The close box: green round its corners only.
    const QPixmap close = ZuLoadBitmap(131, ZuModule::Calendar);
    EXPECT_EQ(At(close, 0, 0), green);
    EXPECT_NE(At(close, 8, 8), green);
    EXPECT_NE(At(close, 8, 1), green);
    // The week marker on the month view's blue.
    const QPixmap marker = ZuLoadBitmap(167, ZuModule::Calendar);
    EXPECT_EQ(At(marker, 0, 0), month);
    EXPECT_EQ(At(marker, 9, 9), month);
    EXPECT_NE(At(marker, 4, 5), month);
    // The weekday header: the blue between the columns' tiles, Sunday first in red, Saturday
    // last in blue.
    const QPixmap header = ZuLoadBitmap(200, ZuModule::Calendar);
    EXPECT_EQ(At(header, 29, 8), month);
    EXPECT_EQ(At(header, 100, 0), month);
    EXPECT_NE(At(header, 2, 8), month);
    const QImage img = header.toImage();
    const int r = qRound(header.devicePixelRatio());
    const auto column = [r](int c) { return QRect(r * (32 * c), r * 2, r * 26, r * 12); };
    const auto red = [](QColor c) { return c.red() > 180 && c.green() < 90 && c.blue() < 90; };
    const auto blue = [](QColor c) { return c.blue() > 180 && c.red() < 90 && c.green() < 90; };
    EXPECT_TRUE(Has(img, column(0), red));
    EXPECT_FALSE(Has(img, column(0), blue));
    EXPECT_TRUE(Has(img, column(6), blue));
    EXPECT_FALSE(Has(img, column(3), red) || Has(img, column(3), blue));
}

// A task's mark follows its importance: the list draws image 6 + priority, and the priority is
// 3 - importance (높음 1, 보통 2, 낮음 3), one more for an occurrence. Only the important ones are red.
TEST(Bitmaps, TaskMarksFollowImportance)
{
    const QPixmap items = ZuLoadBitmap(152, ZuModule::Calendar);
    const QImage img = items.toImage();
    const int r = qRound(items.devicePixelRatio());
    const auto image = [r](int i) { return QRect(r * 16 * i, 0, r * 16, r * 16); };
    const auto red = [](QColor c) { return c.red() > 180 && c.green() < 90 && c.blue() < 90; };
    const struct {
        int priority;
        bool important;
    } marks[] = {{3 - 1, true}, {3 - 2, false}, {3 - 3, false}, {4 - 1, true}};
    for (const auto& m : marks)
        EXPECT_EQ(Has(img, image(6 + m.priority), red), m.important) << "priority " << m.priority;
}

// Every bitmap a library carries, the record dialogs' too, comes with its drawing for a screen
// scaled by 2: exactly twice its size, so that no scaled screen shows a bitmap blown up.
TEST(Bitmaps, EveryBitmapHasItsTwiceDrawing)
{
    LoadOptionsBitmaps();
    LoadCompLibBitmaps();
    for (ZuModule module : {ZuModule::Calendar, ZuModule::Options, ZuModule::CompLib}) {
        const QString folder = QStringLiteral(":/%1").arg(QLatin1String(ZuModuleName(module)));
        const QStringList names = QDir(folder).entryList(QDir::Files);
        EXPECT_FALSE(names.isEmpty()) << folder.toStdString();
        for (const QString& name : names) {
            if (name.endsWith(QLatin1String("@2x")))
                continue;
            SCOPED_TRACE((folder + QLatin1Char('/') + name).toStdString());
            const QImage one(folder + QLatin1Char('/') + name);
            const QImage two(folder + QLatin1Char('/') + name + QLatin1String("@2x"));
            ASSERT_FALSE(one.isNull());
            ASSERT_FALSE(two.isNull());
            EXPECT_EQ(two.size(), one.size() * 2);
            EXPECT_FALSE(ZuLoadBitmap(name.toUInt(), module).isNull());
        }
    }
}
