#include "ccompimage.h"

#include <QPainter>
#include <QTransform>

void CCompImage::SetBitmapHandle(const QImage& image)
{
    m_image = image;
    m_rotated = QImage();
}

BOOL CCompImage::Rotate(double angle)
{
    if (m_image.isNull())
        return FALSE;
    m_rotated = m_image.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                    .transformed(QTransform().rotate(angle), Qt::SmoothTransformation);
    return TRUE;
}

BOOL CCompImage::PutImage(QPainter& painter, const QRect& rect) const
{
    const QImage& image = GetRotatedBitmap();
    if (image.isNull())
        return FALSE;
    painter.drawImage(rect, image);
    return TRUE;
}
