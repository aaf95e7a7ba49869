// zuimagelist.h - a row of equal-width images cut from one bitmap strip.
//
// The handheld's image list: one bitmap holding n images side by side, each `width` pixels wide
// and as high as the strip, with one colour (the mask colour) that is drawn transparent. Image i
// is the strip's columns [i * width, (i + 1) * width); leftover columns at the right, narrower
// than one image, belong to no image. Images can also be added one by one (each is cut or padded
// to the list's size). Sizes and widths are logical pixels: a strip drawn at twice the size
// (device pixel ratio 2, ZuLoadBitmap on a scaled screen) is cut by the same widths and its
// images keep its ratio, so they draw crisply where the bitmap's own size is laid out.
#pragma once

#include "wintypes.h"

#include <QPixmap>
#include <QSize>

#include <vector>

class QPainter;

// A colour value that means "no mask colour": every pixel is drawn.
constexpr COLORREF CLR_NONE = 0xFFFFFFFF;

class CZuImageList {
public:
    CZuImageList() = default;
    // An empty list of images of cx × cy pixels.
    CZuImageList(int cx, int cy);

    // Replaces the images with those cut from the strip, `width` pixels each; pixels of the mask
    // colour become transparent (CLR_NONE keeps all). Returns the number of images, 0 for a null
    // strip or a width ≤ 0 (the list is then empty).
    int Create(const QPixmap& strip, int width, COLORREF mask = CLR_NONE);
    // Appends the images of a strip cut at the list's width (the first one sets the size when the
    // list has none); returns the index of the first image added, or -1 when nothing was added.
    int Add(const QPixmap& strip, COLORREF mask = CLR_NONE);

    int GetImageCount() const { return static_cast<int>(m_images.size()); }
    QSize GetImageSize() const { return m_size; }
    // Image i with its transparent pixels; a null pixmap for an index out of range.
    QPixmap GetImage(int i) const;
    // Draws image i with its top left corner at pt; 1 on success, 0 for an index out of range.
    int Draw(QPainter* painter, int i, QPoint pt) const;
    void RemoveAll() { m_images.clear(); }

private:
    QSize m_size;
    std::vector<QPixmap> m_images;
};
