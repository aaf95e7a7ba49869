#include "zucontactview.h"

#include "../resource.h"
#include "../zucontactdoc.h"

#include "cedbdatabase.h"
#include "windowmessage.h"

#include <QPainter>
#include <QTimer>

namespace {
constexpr int kMarkerWidth = 16;
const QColor kBlue(0, 0, 255);
}  // namespace

CZuContactView::CZuContactView(CZuContactDoc* doc, QWidget* parent) : CListViewEx(parent), m_doc(doc)
{
    setObjectName(QStringLiteral("ZuContactView"));
    SetColors(ZuListColors::Contacts());
    SetHighlightType(HIGHLIGHT_ALLCOLUMNS);
    InsertColumn(0, CString(L"Name"), 98);
    InsertColumn(1, CString(L"Number"), 105);
    InsertColumn(2, CString(L""), 22);
    InsertColumn(3, CString(L""), 0);
    ApplyOptions();
}

void CZuContactView::ApplyOptions()
{
    const _tabContactOpt& o = m_doc->Options();
    static const int single[4] = {98, 105, 22, 0};
    static const int multi[4] = {225, 0, 0, 0};
    for (int c = 0; c < 4; ++c)
        SetColumnWidth(c, o.bShowMultiLine ? multi[c] : single[c]);
    SetTwoLine(o.bShowMultiLine);
    SetBigFont(o.bBigFontFlag);
    SetItemCount(m_doc->RowCount());
    viewport()->update();
}

CString CZuContactView::ItemText(int row, int col) const
{
    const ContactEntry* e = m_doc->Row(row);
    if (!e)
        return CString();
    switch (col) {
    case 0: return CString::fromQString(e->name);
    case 1: return CString::fromQString(e->number);
    case 2: return e->marker ? CString(e->marker) : CString();
    case 3: {
        CString s;
        s.Format(L"%ld", static_cast<long>(e->oid));
        return s;
    }
    default: return CString();
    }
}

bool CZuContactView::IsMarkerHit(int row, QPoint pos) const
{
    const QRect r = RowRect(row);
    if (r.isEmpty() || !r.contains(pos))
        return false;
    if (IsTwoLine()) {
        const QRect area(r.right() - kMarkerWidth + 1, r.top() + r.height() / 2, kMarkerWidth, r.height() - r.height() / 2);
        return area.contains(pos);
    }
    return ColumnRect(r, 2).contains(pos);
}

void CZuContactView::DrawItem(QPainter& painter, int row, const QRect& rect, bool selected)
{
    const ContactEntry* e = m_doc->Row(row);
    if (!e)
        return;
    const ZuListColors& colors = Colors();
    const QColor text = selected ? QColor(GetRValue(colors.selectedText), GetGValue(colors.selectedText), GetBValue(colors.selectedText))
                                 : QColor(GetRValue(colors.text), GetGValue(colors.text), GetBValue(colors.text));
    painter.setFont(ListFont());
    const QString marker = e->marker ? QString(QChar(static_cast<char16_t>(e->marker))) : QString();
    if (IsTwoLine()) {
        const int half = rect.height() / 2;
        const QRect top(rect.left() + 2, rect.top(), rect.width() - 4, half);
        const QRect bottom(rect.left() + 2, rect.top() + half, rect.width() - 4 - kMarkerWidth, rect.height() - half);
        const QRect mark(rect.right() - kMarkerWidth + 1, rect.top() + half, kMarkerWidth, rect.height() - half);
        painter.setPen(text);
        painter.drawText(top, Qt::AlignLeft | Qt::AlignVCenter, painter.fontMetrics().elidedText(e->name, Qt::ElideRight, top.width()));
        painter.drawText(bottom, Qt::AlignLeft | Qt::AlignVCenter, painter.fontMetrics().elidedText(e->number, Qt::ElideRight, bottom.width()));
        painter.setPen(selected ? text : kBlue);
        painter.drawText(mark, Qt::AlignCenter, marker);
        return;
    }
    const QString cells[3] = {e->name, e->number, marker};
    for (int c = 0; c < 3; ++c) {
        const QRect cell = ColumnRect(rect, c).adjusted(2, 0, -1, 0);
        if (cell.width() <= 0)
            continue;
        painter.setPen(c == 2 && !selected ? kBlue : text);
        painter.drawText(cell, (c == 2 ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter,
            painter.fontMetrics().elidedText(cells[c], Qt::ElideRight, cell.width()));
    }
}

bool CZuContactView::event(QEvent* e)
{
    if (e->type() != ZuMessageEvent::eventType())
        return CListViewEx::event(e);
    auto* m = static_cast<ZuMessageEvent*>(e);
    switch (m->message()) {
    case WM_SETLISTCOUNT:
        SetItemCount(static_cast<int>(m->wParam()));
        return true;
    case WM_INDEXSELECT:
        m_doc->IndexSelect(static_cast<int>(m->wParam()));
        return true;
    case DB_CEOID_CREATED:
    case DB_CEOID_RECORD_DELETED:
    case DB_CEOID_CHANGED:
        m_pending.push_back(static_cast<CEOID>(m->wParam()));
        if (!m_flushQueued) {
            m_flushQueued = true;
            QTimer::singleShot(0, this, [this] { flushNotifications(); });
        }
        return true;
    default:
        return CListViewEx::event(e);
    }
}

void CZuContactView::flushNotifications()
{
    m_flushQueued = false;
    std::vector<CEOID> oids;
    oids.swap(m_pending);
    if (!oids.empty())
        m_doc->OnRecordsChanged(oids);
}
