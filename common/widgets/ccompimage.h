// ccompimage.h - a bitmap that can be drawn as it is or rotated.
//
// Holds one image (the "bitmap handle"); Rotate makes the rotated copy that GetRotatedBitmap
// returns and PutImage draws, the angle in degrees clockwise, the copy large enough for the whole
// turned image (the corners outside it transparent).
#pragma once

#include "wintypes.h"

#include <QImage>
#include <QRect>
#include <QSize>

class QPainter;

class CCompImage {
public:
    CCompImage() = default;
    explicit CCompImage(const QImage& image) : m_image(image) {}

    const QImage& GetBitmapHandle() const { return m_image; }
    void SetBitmapHandle(const QImage& image);
    QSize GetImageSize() const { return m_image.size(); }

    // Turns the bitmap by the angle; FALSE without a bitmap.
    BOOL Rotate(double angle);
    // The bitmap as last rotated (the bitmap itself when never rotated).
    const QImage& GetRotatedBitmap() const { return m_rotated.isNull() ? m_image : m_rotated; }
    // Draws the (rotated) bitmap stretched over the rectangle; FALSE without a bitmap.
    BOOL PutImage(QPainter& painter, const QRect& rect) const;

private:
    QImage m_image;
    QImage m_rotated;
};
