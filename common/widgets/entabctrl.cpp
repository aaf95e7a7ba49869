#include "entabctrl.h"

#include "syscolors.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <vector>

namespace {

BOOL g_enabled = FALSE;
DWORD g_style = 0;

std::vector<CEnTabCtrl*>& instances()
{
    static std::vector<CEnTabCtrl*> all;
    return all;
}

QColor qcolor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

bool has(DWORD bit) { return g_enabled && (g_style & bit); }

}  // namespace

CEnTabCtrl::CEnTabCtrl(QWidget* parent, UINT id) : CBaseTabCtrl(parent, id)
{
    instances().push_back(this);
}

CEnTabCtrl::~CEnTabCtrl()
{
    auto& all = instances();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

void CEnTabCtrl::EnableCustomLook(BOOL enable, DWORD style)
{
    g_enabled = enable;
    g_style = enable ? style : 0;
    for (CEnTabCtrl* tabs : instances())
        tabs->update();
}

BOOL CEnTabCtrl::IsCustomLookEnabled() { return g_enabled; }
DWORD CEnTabCtrl::GetCustomLookStyle() { return g_style; }

COLORREF CEnTabCtrl::GetTabColor(bool selected) const
{
    if (selected && has(ZU_TABLOOK_SELECTION))
        return ZuSysColor(ZU_COLOR_WINDOW);
    if (!selected && has(ZU_TABLOOK_COLOR))
        return GetBkgndColor();
    return CBaseTabCtrl::GetTabColor(selected);
}

COLORREF CEnTabCtrl::GetTabTextColor(bool selected) const
{
    return CBaseTabCtrl::GetTabTextColor(selected);
}

void CEnTabCtrl::DrawItemBorder(QPainter* painter, int index, const QRect& rect, bool selected)
{
    if (!g_enabled) {
        CBaseTabCtrl::DrawItemBorder(painter, index, rect, selected);
        return;
    }
    const QColor fill = qcolor(GetTabColor(selected));
    if (!selected && has(ZU_TABLOOK_GRADIENT)) {
        QLinearGradient g(rect.topLeft(), rect.bottomLeft());
        g.setColorAt(0, Qt::white);
        g.setColorAt(1, fill);
        painter->fillRect(rect, g);
    } else {
        painter->fillRect(rect, fill);
    }
    const QColor shadow = qcolor(ZuSysColor(ZU_COLOR_BTNSHADOW));
    painter->setPen(shadow);
    if (selected && has(ZU_TABLOOK_SELECTION)) {
        // Open at the top, into the page.
        painter->drawLine(rect.topLeft(), rect.bottomLeft());
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        painter->drawLine(rect.topRight(), rect.bottomRight());
    } else if (has(ZU_TABLOOK_FLAT)) {
        painter->drawLine(rect.topRight() + QPoint(0, 3), rect.bottomRight() - QPoint(0, 3));
    } else {
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(rect.adjusted(0, 0, -1, -1));
    }
}

void CEnTabCtrl::DrawItem(QPainter* painter, int index, const QRect& rect, bool selected)
{
    CBaseTabCtrl::DrawItem(painter, index, rect, selected);
}

void CEnTabCtrl::DrawMainBorder(QPainter* painter, const QRect& rect)
{
    if (!has(ZU_TABLOOK_SELECTION)) {
        CBaseTabCtrl::DrawMainBorder(painter, rect);
        return;
    }
    painter->setPen(qcolor(ZuSysColor(ZU_COLOR_BTNSHADOW)));
    const int selected = currentIndex();
    if (selected < 0) {
        painter->drawLine(rect.topLeft(), rect.topRight());
        return;
    }
    const QRect tab = tabRect(selected);
    if (tab.left() > rect.left())
        painter->drawLine(rect.left(), rect.top(), tab.left(), rect.top());
    if (tab.right() < rect.right())
        painter->drawLine(tab.right(), rect.top(), rect.right(), rect.top());
}
