#include "cboxselect.h"

#include "textutil.h"
#include "zuimagelist.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

QColor qcolor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

constexpr int kImageLeft = 2;
constexpr int kImageTop = 2;
constexpr int kTextLeft = 18;

} // namespace

CBoxSelect::CBoxSelect(QWidget* parent, UINT id) : QWidget(parent)
{
    if (id)
        setObjectName(QString::number(id));
}

int CBoxSelect::Add(const CString& text, DWORD data, int image, BOOL check)
{
    return Add(text, data, image, check, m_clrBk);
}

int CBoxSelect::Add(const CString& text, DWORD data, int image, BOOL check, COLORREF bkColor)
{
    m_boxes.push_back(Box{text, data, check ? TRUE : FALSE, image, bkColor});
    update();
    return GetCount() - 1;
}

int CBoxSelect::RemoveAt(int index)
{
    if (index < 0 || index >= GetCount())
        return 0;
    m_boxes.erase(m_boxes.begin() + index);
    update();
    return 1;
}

void CBoxSelect::RemoveAll()
{
    m_boxes.clear();
    update();
}

BOOL CBoxSelect::GetCheck(int index) const
{
    if (index < 0 || index >= GetCount())
        return FALSE;
    return m_boxes[static_cast<size_t>(index)].check;
}

void CBoxSelect::SetCheck(int index, BOOL check)
{
    if (index < 0 || index >= GetCount())
        return;
    m_boxes[static_cast<size_t>(index)].check = check ? TRUE : FALSE;
    DrawBox(index);
}

DWORD CBoxSelect::GetItemData(int index) const
{
    if (index < 0 || index >= GetCount())
        return 0;
    return m_boxes[static_cast<size_t>(index)].data;
}

CString CBoxSelect::GetItemText(int index) const
{
    if (index < 0 || index >= GetCount())
        return CString();
    return m_boxes[static_cast<size_t>(index)].text;
}

void CBoxSelect::SetCheckBoxStyle(BOOL on)
{
    m_checkStyle = on ? TRUE : FALSE;
    update();
}

void CBoxSelect::SetImageList(const CZuImageList* images)
{
    m_images = images;
    update();
}

void CBoxSelect::SetNotifyClick(BOOL on, CWnd* target)
{
    m_notify = on ? TRUE : FALSE;
    m_notifyTarget = target;
}

void CBoxSelect::SetBkColor(COLORREF c) { m_clrBk = c; update(); }
void CBoxSelect::SetTextColor(COLORREF c) { m_clrText = c; update(); }
void CBoxSelect::SetHBkColor(COLORREF c) { m_clrHBk = c; update(); }
void CBoxSelect::SetHTextColor(COLORREF c) { m_clrHText = c; update(); }
void CBoxSelect::SetBorderColor(COLORREF c) { m_clrBorder = c; update(); }

int CBoxSelect::HitTest(int x, int width, int count)
{
    if (count <= 0 || x < 0 || x >= width)
        return -1;
    const int w = width / count;
    if (w <= 0)
        return -1;
    return std::min(x / w, count - 1);  // the leftover columns belong to the last box
}

int CBoxSelect::HitTest(int x) const
{
    return HitTest(x, width(), GetCount());
}

QRect CBoxSelect::GetBoxRect(int index) const
{
    const int count = GetCount();
    if (index < 0 || index >= count)
        return QRect();
    const int w = width() / count;
    if (w <= 0)
        return QRect();
    const int left = index * w;
    const int right = index == count - 1 ? width() : left + w;  // exclusive
    return QRect(left, 0, right - left, height());
}

CString CBoxSelect::GetEllipsisText(QPainter* painter, const CString& text, QRect rect)
{
    return ::GetEllipsisText(painter, text, rect);
}

void CBoxSelect::DrawBox(QPainter* painter)
{
    if (!painter)
        return;
    if (m_boxes.empty()) {
        const QRect r = rect();
        painter->fillRect(r, qcolor(m_clrBk));
        painter->setPen(qcolor(m_clrBorder));
        painter->drawRect(r.adjusted(0, 0, -1, -1));
        painter->setPen(qcolor(m_clrText));
        painter->drawText(r, Qt::AlignCenter | Qt::TextSingleLine, QStringLiteral("No Boxes"));
        return;
    }
    for (int i = 0; i < GetCount(); ++i)
        DrawBox(painter, i);
}

void CBoxSelect::DrawBox(QPainter* painter, int index)
{
    const QRect r = GetBoxRect(index);
    if (!painter || r.isEmpty())
        return;
    const Box& box = m_boxes[static_cast<size_t>(index)];
    const bool high = m_checkStyle && box.check;
    painter->fillRect(r, qcolor(high ? m_clrHBk : box.bk));
    painter->setPen(qcolor(m_clrBorder));
    painter->drawRect(r.adjusted(0, 0, -1, -1));

    QRect textRect = r.adjusted(2, 1, -2, -1);
    int flags = Qt::AlignCenter | Qt::TextSingleLine;
    if (box.image >= 0 && m_images && box.image < m_images->GetImageCount()) {
        m_images->Draw(painter, box.image, r.topLeft() + QPoint(kImageLeft, kImageTop));
        textRect.setLeft(r.left() + kTextLeft);
        flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    }
    painter->setPen(qcolor(high ? m_clrHText : m_clrText));
    painter->setFont(font());
    painter->drawText(textRect, flags, GetEllipsisText(painter, box.text, textRect).toQString());
}

void CBoxSelect::DrawBox(int index)
{
    const QRect r = GetBoxRect(index);
    if (!r.isEmpty())
        update(r);
}

void CBoxSelect::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawBox(&painter);
}

void CBoxSelect::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const int i = HitTest(event->position().toPoint().x());
    if (m_checkStyle && i >= 0) {
        Box& box = m_boxes[static_cast<size_t>(i)];
        box.check = box.check ? FALSE : TRUE;
        DrawBox(i);
    }
    event->accept();
}

void CBoxSelect::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    event->accept();
    if (!m_notify)
        return;
    const QPoint pos = event->position().toPoint();
    if (pos.y() < 0 || pos.y() >= height())
        return;
    const int i = HitTest(pos.x());
    if (i < 0)
        return;
    const DWORD data = m_boxes[static_cast<size_t>(i)].data;
    CWnd* target = m_notifyTarget ? m_notifyTarget.data() : parent();
    if (target) {
        NMBOXSELECT nm{this, objectName().toUInt(), NM_CLICK, data};
        ZuMessageEvent ev(WM_NOTIFY, nm.idFrom, reinterpret_cast<LPARAM>(&nm));
        QCoreApplication::sendEvent(target, &ev);
    }
    emit boxClicked(i, data);
}
