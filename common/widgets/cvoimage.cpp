#include "cvoimage.h"

#include "bitmap.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QPainter* CVOImage::g_dc = nullptr;
bool CVOImage::g_bStretchBlt = true;
int CVOImage::g_iMaxWidth = 0;
int CVOImage::g_iMaxHeight = 0;
int CVOImage::g_iScale = 1;

namespace {

// The largest size of the image's shape that fits the box (never larger than the image).
QSize fitInto(QSize image, QSize box)
{
    if (!box.isValid() || box.isEmpty() || (image.width() <= box.width() && image.height() <= box.height()))
        return image;
    QSize s = image.scaled(box, Qt::KeepAspectRatio);
    return s.expandedTo(QSize(1, 1));
}

}  // namespace

void CVOImage::release()
{
    m_image = QImage();
    m_size = QSize();
}

BOOL CVOImage::Load(const CString& path, QSize decodeBox)
{
    release();
    if (path.IsEmpty())
        return FALSE;
    if (!decodeBox.isValid() && g_iMaxWidth > 0 && g_iMaxHeight > 0)
        decodeBox = QSize(g_iMaxWidth, g_iMaxHeight);
    // Opened without blocking (a FIFO with no writer would otherwise wait for one), then asked
    // what it is: only a regular file of a sane size is read.
    const QByteArray name = QFile::encodeName(path.toQString());
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return FALSE;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 || st.st_size > kMaxFileBytes) {
        ::close(fd);
        return FALSE;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return FALSE;
    }
    ImageProgress(0);
    QImageReader reader(&file);
    reader.setAllocationLimit(static_cast<int>(kMaxPixels * 4 / (1024 * 1024)));
    reader.setAutoTransform(false);
    const QSize own = reader.size();
    if (own.isValid()) {
        if (own.isEmpty() || static_cast<qint64>(own.width()) * own.height() > kMaxPixels)
            return FALSE;
        const QSize scaled = fitInto(own, decodeBox);
        if (scaled != own)
            reader.setScaledSize(scaled);
    }
    QImage image = reader.read();
    ImageProgress(100);
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return FALSE;
    if (!own.isValid()) {
        // A format that does not tell its size before decoding: bound what is kept.
        if (static_cast<qint64>(image.width()) * image.height() > kMaxPixels)
            return FALSE;
        m_size = image.size();
        const QSize scaled = fitInto(image.size(), decodeBox);
        if (scaled != image.size())
            image = image.scaled(scaled, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    } else {
        m_size = own;
    }
    m_image = std::move(image);
    return TRUE;
}

BOOL CVOImage::Load(UINT resourceId, ZuModule module)
{
    release();
    const QImage image = ZuLoadBitmap(resourceId, module).toImage();
    if (image.isNull())
        return FALSE;
    SetBitmap(image);
    return TRUE;
}

QByteArray CVOImage::GetImageResourceData(UINT resourceId, ZuModule module)
{
    QFile file(ZuBitmapPath(resourceId, module));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void CVOImage::SetBitmap(const QImage& image)
{
    m_image = image;
    m_size = image.isNull() ? QSize() : image.deviceIndependentSize().toSize();
}

BOOL CVOImage::Draw(QPainter* painter, const QRect& rect) const
{
    QPainter* p = painter ? painter : g_dc;
    if (!p || !IsLoaded())
        return FALSE;
    const QRect target = g_bStretchBlt ? rect : QRect(rect.topLeft(), m_size * std::max(1, g_iScale));
    p->save();
    p->setRenderHint(QPainter::SmoothPixmapTransform);
    p->drawImage(target, m_image);
    p->restore();
    return TRUE;
}
