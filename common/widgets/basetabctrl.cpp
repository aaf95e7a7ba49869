#include "basetabctrl.h"

#include "syscolors.h"

#include <QPainter>

#include <algorithm>

namespace {
QColor qcolor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
constexpr int kImageLeft = 3;
constexpr int kPad = 3;
}  // namespace

CBaseTabCtrl::CBaseTabCtrl(QWidget* parent, UINT id) : QTabBar(parent), m_bkgnd(ZuSysColor(ZU_COLOR_BTNFACE))
{
    if (id)
        setObjectName(QString::number(id));
    setDrawBase(false);
    setExpanding(false);
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideNone);
}

COLORREF CBaseTabCtrl::SetBkgndColor(COLORREF color)
{
    const COLORREF old = m_bkgnd;
    m_bkgnd = color;
    update();
    return old;
}

void CBaseTabCtrl::EnableDraw(BOOL enable)
{
    m_draw = enable;
    updateGeometry();
    update();
}

void CBaseTabCtrl::SetImageList(const CZuImageList& images)
{
    m_images = images;
    setIconSize(images.GetImageSize());
    updateGeometry();
    update();
}

BOOL CBaseTabCtrl::SetItemImage(int index, int image)
{
    if (index < 0 || index >= count())
        return FALSE;
    setTabData(index, image);
    setTabIcon(index, image >= 0 ? QIcon(m_images.GetImage(image)) : QIcon());
    updateGeometry();
    update();
    return TRUE;
}

int CBaseTabCtrl::GetItemImage(int index) const
{
    const QVariant v = tabData(index);
    return v.isValid() ? v.toInt() : -1;
}

QSize CBaseTabCtrl::tabSizeHint(int index) const
{
    if (!m_draw)
        return QTabBar::tabSizeHint(index);
    int w = kImageLeft;
    if (GetItemImage(index) >= 0 && m_images.GetImageCount())
        w += m_images.GetImageSize().width() + kPad;
    const QString text = tabText(index);
    if (!text.isEmpty())
        w += fontMetrics().horizontalAdvance(text) + kPad;
    return QSize(std::max(w + 1, kMinTabWidth), kTabHeight);
}

QSize CBaseTabCtrl::sizeHint() const
{
    if (!m_draw)
        return QTabBar::sizeHint();
    int w = 0;
    for (int i = 0; i < count(); ++i)
        w += tabSizeHint(i).width();
    return QSize(w, kTabHeight + 1);
}

COLORREF CBaseTabCtrl::GetTabColor(bool selected) const
{
    return selected ? ZuSysColor(ZU_COLOR_WINDOW) : ZuSysColor(ZU_COLOR_BTNFACE);
}

COLORREF CBaseTabCtrl::GetTabTextColor(bool selected) const
{
    return selected ? ZuSysColor(ZU_COLOR_WINDOWTEXT) : ZuSysColor(ZU_COLOR_BTNTEXT);
}

void CBaseTabCtrl::DrawItemBorder(QPainter* painter, int, const QRect& rect, bool selected)
{
    painter->fillRect(rect, qcolor(GetTabColor(selected)));
    painter->setPen(qcolor(ZuSysColor(ZU_COLOR_BTNSHADOW)));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect.adjusted(0, 0, -1, -1));
}

void CBaseTabCtrl::DrawItem(QPainter* painter, int index, const QRect& rect, bool selected)
{
    int x = rect.left() + kImageLeft;
    const int image = GetItemImage(index);
    if (image >= 0 && image < m_images.GetImageCount()) {
        const QSize size = m_images.GetImageSize();
        m_images.Draw(painter, image, QPoint(x, rect.top() + (rect.height() - size.height()) / 2));
        x += size.width() + kPad;
    }
    const QString text = tabText(index);
    if (!text.isEmpty()) {
        painter->setPen(qcolor(GetTabTextColor(selected)));
        painter->setFont(font());
        painter->drawText(QRect(x, rect.top(), rect.right() - x, rect.height()), Qt::AlignLeft | Qt::AlignVCenter,
                          text);
    }
}

void CBaseTabCtrl::DrawMainBorder(QPainter*, const QRect&) {}

void CBaseTabCtrl::paintEvent(QPaintEvent* event)
{
    if (!m_draw) {
        QTabBar::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.fillRect(rect(), qcolor(m_bkgnd));
    for (int i = 0; i < count(); ++i) {
        const bool selected = i == currentIndex();
        QRect r = tabRect(i);
        r.setHeight(kTabHeight);
        DrawItemBorder(&painter, i, r, selected);
        DrawItem(&painter, i, r, selected);
    }
    DrawMainBorder(&painter, rect());
}
