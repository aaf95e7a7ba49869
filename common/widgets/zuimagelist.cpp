#include "zuimagelist.h"

#include <QBitmap>
#include <QColor>
#include <QPainter>

#include <algorithm>

namespace {

QPixmap masked(const QPixmap& image, COLORREF mask)
{
    if (mask == CLR_NONE)
        return image;
    QPixmap out = image;
    const QColor key(GetRValue(mask), GetGValue(mask), GetBValue(mask));
    out.setMask(out.createMaskFromColor(key, Qt::MaskInColor));
    return out;
}

} // namespace

CZuImageList::CZuImageList(int cx, int cy) : m_size(cx, cy) {}

int CZuImageList::Create(const QPixmap& strip, int width, COLORREF mask)
{
    m_images.clear();
    m_size = QSize();
    if (strip.isNull() || width <= 0)
        return 0;
    m_size = QSize(width, strip.deviceIndependentSize().toSize().height());
    Add(strip, mask);
    return GetImageCount();
}

int CZuImageList::Add(const QPixmap& strip, COLORREF mask)
{
    if (strip.isNull())
        return -1;
    // The strip is cut by its logical size: a strip drawn at twice the size (device pixel ratio
    // 2) gives images of the list's size at that ratio.
    const qreal dpr = strip.devicePixelRatio();
    const QSize logical = strip.deviceIndependentSize().toSize();
    if (m_size.width() <= 0 || m_size.height() <= 0)
        m_size = logical;
    const int w = m_size.width();
    const int count = logical.width() / w;
    if (count == 0)
        return -1;
    const int first = GetImageCount();
    const int h = std::min(logical.height(), m_size.height());
    for (int i = 0; i < count; ++i) {
        QPixmap image(QSize(qRound(m_size.width() * dpr), qRound(m_size.height() * dpr)));
        image.setDevicePixelRatio(dpr);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.drawPixmap(QRectF(0, 0, w, h), strip, QRectF(i * w * dpr, 0, w * dpr, h * dpr));
        p.end();
        m_images.push_back(masked(image, mask));
    }
    return first;
}

QPixmap CZuImageList::GetImage(int i) const
{
    if (i < 0 || i >= GetImageCount())
        return QPixmap();
    return m_images[static_cast<size_t>(i)];
}

int CZuImageList::Draw(QPainter* painter, int i, QPoint pt) const
{
    if (!painter || i < 0 || i >= GetImageCount())
        return 0;
    // Resampled smoothly where the device's ratio is not the image's own (a screen at 1.5).
    const bool smooth = painter->testRenderHint(QPainter::SmoothPixmapTransform);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawPixmap(pt, m_images[static_cast<size_t>(i)]);
    painter->setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    return 1;
}
