// The picture classes and the picture box: safe loading, decoding at box size, where the image
// is drawn.
#include "photobox.h"
#include "testhome.h"
#include "widgets/ccompimage.h"
#include "widgets/cvoimage.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

// A red picture with a 10 × 10 blue block at (bx, by).
QString picture(const QTemporaryDir& dir, const char* name, QSize size, QPoint block = QPoint(-100, -100))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter(&image).fillRect(QRect(block, QSize(10, 10)), Qt::blue);
    const QString path = dir.filePath(QString::fromLatin1(name));
    EXPECT_TRUE(image.save(path));
    return path;
}

CString cs(const QString& s) { return CString::fromQString(s); }

QColor at(CPhotoBox& box, int x, int y)
{
    // The border lies outside the client area.
    return box.grab().toImage().pixelColor(x + 1, y + 1);
}

TEST(PhotoBoxGeometry, WhereTheImageGoes)
{
    const struct {
        QSize image;
        bool fit;
        QRectF want;
    } rows[] = {
        {{180, 200}, true, {0, 0, 90, 100}},
        {{180, 200}, false, {-45, -50, 180, 200}},
        {{45, 50}, true, {0, 0, 90, 100}},
        {{200, 100}, true, {0, 27.5, 90, 45}},
        {{45, 50}, false, {22.5, 25, 45, 50}},
        {{0, 50}, true, {}},
    };
    for (const auto& r : rows)
        EXPECT_EQ(PhotoBoxRect({90, 100}, r.image, r.fit), r.want) << r.image.width() << "x" << r.image.height() << " " << r.fit;
}

TEST(PhotoBoxGeometry, RenderedInTheBox)
{
    QTemporaryDir dir;
    const QString big = picture(dir, "big.png", {180, 200}, {45, 50});
    CPhotoBox box(nullptr, 0, {90, 100});
    EXPECT_EQ(box.size(), QSize(92, 102));
    ASSERT_TRUE(box.SetPicture(cs(big)));
    box.SetScaleToFit(TRUE);
    EXPECT_EQ(at(box, 0, 0), QColor(Qt::red)) << "scaled fills from the corner";
    EXPECT_EQ(at(box, 89, 99), QColor(Qt::red));
    EXPECT_EQ(at(box, 24, 27), QColor(Qt::blue)) << "the block at half its place";
    box.SetScaleToFit(FALSE);
    EXPECT_EQ(at(box, 3, 3), QColor(Qt::blue)) << "unscaled starts at (-45, -50)";
    EXPECT_EQ(box.GetLastDrawRect(), QRectF(-45, -50, 180, 200));

    const QString wide = picture(dir, "wide.png", {200, 100});
    ASSERT_TRUE(box.SetPicture(cs(wide)));
    box.SetScaleToFit(TRUE);
    EXPECT_EQ(at(box, 45, 10), QColor(Qt::white)) << "the window colour above";
    EXPECT_EQ(at(box, 45, 50), QColor(Qt::red));
    EXPECT_EQ(at(box, 45, 90), QColor(Qt::white));
}

TEST(PhotoBoxLoading, UnsafeAndBrokenPathsLoadNothingAtOnce)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.jpg");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString empty = dir.filePath("empty.png");
    QFile(empty).open(QIODevice::WriteOnly);
    const QString text = dir.filePath("text.jpg");
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a picture at all");
    }
    const QString huge = dir.filePath("huge.png");
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(CVOImage::kMaxFileBytes + 1));
    }
    // A PNG header that claims 20000 × 20000 pixels.
    const QString claims = dir.filePath("claims.png");
    {
        QImage small(8, 8, QImage::Format_RGB32);
        small.fill(Qt::green);
        ASSERT_TRUE(small.save(claims));
        QFile f(claims);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        QByteArray bytes = f.readAll();
        const uchar size[8] = {0, 0, 0x4E, 0x20, 0, 0, 0x4E, 0x20};
        bytes.replace(16, 8, reinterpret_cast<const char*>(size), 8);
        f.seek(0);
        f.write(bytes);
    }
    for (const QString& path : {fifo, dir.path(), QStringLiteral("/dev/zero"), empty, text, huge, claims,
             dir.filePath("missing.png"), QString()}) {
        CPhotoBox box;
        QElapsedTimer timer;
        timer.start();
        EXPECT_FALSE(box.SetPicture(cs(path))) << path.toStdString();
        EXPECT_LT(timer.elapsed(), 2000) << path.toStdString();
        EXPECT_EQ(box.GetPicture(), cs(path)) << "the path is kept";
        EXPECT_EQ(at(box, 45, 50), QColor(Qt::white));
    }
}

TEST(PhotoBoxLoading, ALargePhotoIsDecodedAtBoxSize)
{
    QTemporaryDir dir;
    QImage image(3000, 2000, QImage::Format_RGB32);
    image.fill(QColor(10, 120, 200));
    const QString path = dir.filePath("photo.JPG");
    ASSERT_TRUE(image.save(path, "JPG"));
    CVOImage vo;
    ASSERT_TRUE(vo.Load(cs(path), QSize(180, 200)));
    EXPECT_EQ(vo.GetWidth(), 3000);
    EXPECT_EQ(vo.GetHeight(), 2000);
    EXPECT_LE(vo.GetImageData().width(), 180);
    EXPECT_LE(vo.GetImageData().height(), 200);
}

TEST(CompImage, RotatesAndDraws)
{
    QImage image(20, 10, QImage::Format_ARGB32);
    image.fill(Qt::red);
    CCompImage comp(image);
    EXPECT_EQ(comp.GetImageSize(), QSize(20, 10));
    ASSERT_TRUE(comp.Rotate(90));
    EXPECT_EQ(comp.GetRotatedBitmap().size(), QSize(10, 20));
    QImage out(10, 20, QImage::Format_ARGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    EXPECT_TRUE(comp.PutImage(p, out.rect()));
    p.end();
    EXPECT_EQ(out.pixelColor(5, 10), QColor(Qt::red));
    EXPECT_FALSE(CCompImage().Rotate(10));
}

}  // namespace
