#include "photobox.h"

#include "cardlook_p.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <algorithm>

QRectF PhotoBoxRect(QSize client, QSize image, bool scaleToFit)
{
    if (image.isEmpty() || client.isEmpty())
        return QRectF();
    const double cw = client.width(), ch = client.height(), iw = image.width(), ih = image.height();
    if (scaleToFit) {
        const double s = std::min(cw / iw, ch / ih);
        return QRectF((cw - iw * s) / 2, (ch - ih * s) / 2, iw * s, ih * s);
    }
    return QRectF((cw - iw) / 2, (ch - ih) / 2, iw, ih);
}

CPhotoBox::CPhotoBox(QWidget* parent, UINT id, QSize client) : QFrame(parent)
{
    if (id)
        setObjectName(QString::number(id));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    resize(client + QSize(2, 2));
}

BOOL CPhotoBox::SetPicture(const CString& path)
{
    m_path = path;
    // Decoded at the size the box shows it, on the sharpest screen it may be drawn on.
    const qreal dpr = std::max<qreal>(1.0, qApp ? qApp->devicePixelRatio() : 1.0);
    const BOOL loaded = m_image.Load(path, (contentsRect().size() * dpr * 2).expandedTo(QSize(1, 1)));
    update();
    return loaded;
}

void CPhotoBox::SetScaleToFit(BOOL fit)
{
    m_fit = fit;
    update();
}

void CPhotoBox::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter p(this);
    const QRect client = contentsRect();
    p.fillRect(client, zucard::windowColor());
    m_lastRect = QRectF();
    if (!m_image.IsLoaded())
        return;
    m_lastRect = PhotoBoxRect(client.size(), QSize(m_image.GetWidth(), m_image.GetHeight()), m_fit);
    p.setClipRect(client);
    p.translate(client.topLeft());
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(m_lastRect, m_image.GetImageData());
}
