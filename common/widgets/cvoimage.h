// cvoimage.h - an image loaded from a file or from a module's bitmap, drawn optionally stretched.
//
// Loading a file is safe against what a stored path may name: only a regular file is read (a
// FIFO, a device or a folder fails at once, without blocking), at most kMaxFileBytes of it, of at
// most kMaxPixels pixels, decoded through QImageReader under its allocation limit. Given a decode
// box, an image larger than the box is decoded scaled down to fit it (aspect kept), so a 12-MP
// photo shown in a 90 × 100 box never exists at full size in memory. GetWidth/GetHeight stay the
// image's own size; Draw stretches the decoded pixels over the rectangle it is given. An image of
// no pixels counts as not loaded.
#pragma once

#include "cstring.h"
#include "wintypes.h"
#include "zumodule.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>

class QPainter;

class CVOImage {
public:
    static constexpr qint64 kMaxFileBytes = 64ll * 1024 * 1024;
    static constexpr qint64 kMaxPixels = 100'000'000;

    // The painter Draw uses when given none; whether Draw stretches to its rectangle; the decode
    // box of Load when it is given none (0: none); the scale Draw applies to the own size.
    static QPainter* g_dc;
    static bool g_bStretchBlt;
    static int g_iMaxWidth;
    static int g_iMaxHeight;
    static int g_iScale;

    CVOImage() = default;
    virtual ~CVOImage() = default;

    // Loads the file; any earlier image is released first. TRUE when an image of at least one
    // pixel was decoded.
    BOOL Load(const CString& path, QSize decodeBox = QSize());
    // Loads the module's bitmap of that id ("IMAGE" resources are the module's bitmaps here).
    BOOL Load(UINT resourceId, ZuModule module);
    // Draws into the rectangle (stretched) or, without g_bStretchBlt, at its own size times
    // g_iScale from the rectangle's corner. FALSE when nothing is loaded or no painter is given.
    BOOL Draw(QPainter* painter, const QRect& rect) const;
    void SetBitmap(const QImage& image);

    int GetWidth() const { return m_size.width(); }
    int GetHeight() const { return m_size.height(); }
    BOOL IsLoaded() const { return !m_image.isNull(); }
    // The decoded pixels (possibly smaller than GetWidth × GetHeight).
    const QImage& GetImageData() const { return m_image; }
    // The bytes of a module's bitmap; empty when it has none.
    static QByteArray GetImageResourceData(UINT resourceId, ZuModule module);

protected:
    // Told 0 before and 100 after a decode.
    virtual void ImageProgress(int percent) { (void)percent; }

private:
    void release();
    QImage m_image;
    QSize m_size;
};
