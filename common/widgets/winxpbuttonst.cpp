#include "winxpbuttonst.h"

#include "syscolors.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {
QColor toColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
constexpr qreal kRadius = 3.0;
}  // namespace

CWinXPButtonST::CWinXPButtonST(QWidget* parent, UINT id) : CCeButtonST(parent, id) {}

void CWinXPButtonST::SetRounded(BOOL rounded, BOOL repaint)
{
    m_bRounded = rounded;
    if (repaint)
        update();
}

DWORD CWinXPButtonST::OnDrawBackground(QPainter& painter, const QRect& rect)
{
    const COLORREF base = m_bIsPressed ? m_crColors[BTNST_COLOR_BK_IN] : m_crColors[BTNST_COLOR_BK_OUT];
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0.0, m_bIsPressed ? toColor(base) : QColor(255, 255, 255));
    gradient.setColorAt(1.0, m_bIsPressed ? QColor(255, 255, 255) : toColor(base));
    QPainterPath path;
    const QRectF r = QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5);
    if (m_bRounded)
        path.addRoundedRect(r, kRadius, kRadius);
    else
        path.addRect(r);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, m_bRounded != 0);
    painter.fillPath(path, gradient);
    painter.restore();
    return BTNST_OK;
}

DWORD CWinXPButtonST::OnDrawBorder(QPainter& painter, const QRect& rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, m_bRounded != 0);
    painter.setPen(toColor(ZuSysColor(ZU_COLOR_BTNSHADOW)));
    painter.setBrush(Qt::NoBrush);
    const QRectF r = QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5);
    if (m_bRounded)
        painter.drawRoundedRect(r, kRadius, kRadius);
    else
        painter.drawRect(r);
    painter.restore();
    return BTNST_OK;
}
