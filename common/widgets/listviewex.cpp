// listviewex.cpp - rows drawn on demand below the count, single selection, hold and tap, scrolling by rows.
#include "listviewex.h"

#include "holdrecognizer.h"
#include "syscolors.h"
#include "zufont.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cstdlib>

namespace {
QColor ToQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
}  // namespace

ZuListColors ZuListColors::Calendar()
{
    ZuListColors c;
    c.table = {ZuSysColor(ZU_COLOR_WINDOWTEXT), ZuSysColor(ZU_COLOR_WINDOW), ZuSysColor(ZU_COLOR_HIGHLIGHT),
               ZuSysColor(ZU_COLOR_HIGHLIGHTTEXT), RGB(255, 153, 0), RGB(237, 28, 36), RGB(255, 255, 255),
               RGB(120, 161, 245), ZuSysColor(ZU_COLOR_SCROLLBAR), RGB(0, 0, 255)};
    c.text = c.table[CAL_TEXT];
    c.back = c.table[CAL_BACK];
    c.selectedText = c.table[CAL_HIGHLIGHTTEXT];
    c.selectedBack = c.table[CAL_HIGHLIGHT];
    c.separator = c.table[CAL_SEPARATOR];
    return c;
}

ZuListColors ZuListColors::Contacts()
{
    ZuListColors c;
    c.table = {ZuSysColor(ZU_COLOR_WINDOWTEXT), ZuSysColor(ZU_COLOR_WINDOW), ZuSysColor(ZU_COLOR_HIGHLIGHTTEXT),
               ZuSysColor(ZU_COLOR_HIGHLIGHT), ZuSysColor(ZU_COLOR_SCROLLBAR), ZuSysColor(ZU_COLOR_WINDOWTEXT),
               ZuSysColor(ZU_COLOR_BTNFACE)};
    c.text = c.table[CON_TEXT];
    c.back = c.table[CON_BACK];
    c.selectedText = c.table[CON_HIGHLIGHTTEXT];
    c.selectedBack = c.table[CON_HIGHLIGHT];
    c.separator = c.table[CON_SCROLLBAR];
    return c;
}

COLORREF ZuListColors::At(int index) const
{
    return index >= 0 && index < static_cast<int>(table.size()) ? table[static_cast<size_t>(index)] : RGB(0, 0, 0);
}

CListViewEx::CListViewEx(QWidget* parent)
    : QAbstractScrollArea(parent),
      m_colors(ZuListColors::Calendar()),
      m_normalFont(ZuFont(L"Tahoma", kFontHeight, FW_NORMAL)),
      m_boldFont(ZuFont(L"Tahoma", kBoldFontHeight, FW_BOLD)),
      m_hold(new CZuHoldRecognizer(this))
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAutoFillBackground(false);
    SetTwoLine(true);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int pos) {
        viewport()->update();
        emit scrolled(pos);
    });
    connect(m_hold, &CZuHoldRecognizer::held, this, &CListViewEx::OnHeld);
}

CListViewEx::~CListViewEx() = default;

void CListViewEx::SetItemCount(int count)
{
    m_count = std::max(0, count);
    if (m_selected >= m_count) {
        m_selected = -1;
        emit selectionChanged(-1);
    }
    if (m_pressedRow >= m_count)
        m_pressedRow = -1;
    UpdateScrollRange();
    viewport()->update();
}

int CListViewEx::HitTest(QPoint pos) const
{
    if (pos.y() < 0 || pos.x() < 0 || pos.x() >= viewport()->width() || m_rowHeight <= 0)
        return -1;
    const int row = GetScrollPos() + pos.y() / m_rowHeight;
    return IsRow(row) ? row : -1;
}

QRect CListViewEx::RowRect(int row) const
{
    if (!IsRow(row))
        return QRect();
    return QRect(0, (row - GetScrollPos()) * m_rowHeight, viewport()->width(), m_rowHeight);
}

void CListViewEx::SetTwoLine(bool on)
{
    m_twoLine = on;
    m_rowHeight = (std::abs(kFontHeight) + 5) * (on ? 2 : 1);
    UpdateScrollRange();
    viewport()->update();
}

void CListViewEx::RedrawRow(int row)
{
    const QRect r = RowRect(row);
    if (!r.isEmpty())
        viewport()->update(r);
}

int CListViewEx::InsertColumn(int index, const CString& name, int width)
{
    index = std::clamp(index, 0, GetColumnCount());
    m_columns.insert(m_columns.begin() + index, Column{name, std::max(0, width)});
    viewport()->update();
    return index;
}

CString CListViewEx::GetColumnName(int col) const
{
    return col >= 0 && col < GetColumnCount() ? m_columns[static_cast<size_t>(col)].name : CString();
}

int CListViewEx::GetColumnWidth(int col) const
{
    return col >= 0 && col < GetColumnCount() ? m_columns[static_cast<size_t>(col)].width : 0;
}

void CListViewEx::SetColumnWidth(int col, int width)
{
    if (col < 0 || col >= GetColumnCount())
        return;
    m_columns[static_cast<size_t>(col)].width = std::max(0, width);
    viewport()->update();
}

QRect CListViewEx::ColumnRect(const QRect& row, int col) const
{
    if (col < 0 || col >= GetColumnCount())
        return QRect();
    int left = row.left();
    for (int i = 0; i < col; ++i)
        left += m_columns[static_cast<size_t>(i)].width;
    return QRect(left, row.top(), m_columns[static_cast<size_t>(col)].width, row.height());
}

void CListViewEx::SetSelectedRow(int row)
{
    if (!IsRow(row))
        row = -1;
    if (row == m_selected)
        return;
    RedrawRow(m_selected);
    m_selected = row;
    RedrawRow(m_selected);
    emit selectionChanged(m_selected);
}

int CListViewEx::SetHighlightType(int mode)
{
    const int old = m_highlight;
    if (mode < HIGHLIGHT_NORMAL || mode > HIGHLIGHT_ROW)
        return old;
    m_highlight = mode;
    viewport()->update();
    return old;
}

void CListViewEx::SetBigFont(bool on)
{
    m_bigFont = on;
    viewport()->update();
}

void CListViewEx::SetColors(const ZuListColors& colors)
{
    m_colors = colors;
    viewport()->update();
}

int CListViewEx::GetScrollPos() const { return verticalScrollBar()->value(); }
int CListViewEx::GetScrollMax() const { return verticalScrollBar()->maximum(); }
int CListViewEx::GetScrollPage() const { return verticalScrollBar()->pageStep(); }

void CListViewEx::SetScrollPos(int pos)
{
    verticalScrollBar()->setValue(std::clamp(pos, 0, GetScrollMax()));
}

void CListViewEx::UpdateScrollRange()
{
    const int page = m_rowHeight > 0 ? std::max(1, viewport()->height() / m_rowHeight) : 1;
    QScrollBar* bar = verticalScrollBar();
    bar->setPageStep(page);
    bar->setSingleStep(1);
    bar->setRange(0, std::max(0, m_count - page));  // keeps the position, clamped to the range
}

void CListViewEx::DrawItem(QPainter&, int, const QRect&, bool) {}

void CListViewEx::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), ToQColor(m_colors.back));
    if (m_rowHeight <= 0)
        return;
    const int width = viewport()->width();
    int columnsWidth = 0;
    for (const Column& c : m_columns)
        columnsWidth += c.width;
    const int top = GetScrollPos();
    const int shown = viewport()->height() / m_rowHeight + 1;
    for (int row = top; row < m_count && row <= top + shown; ++row) {
        const QRect r = RowRect(row);
        const bool selected = row == m_selected;
        if (selected) {
            QRect fill = r;
            if (m_highlight == HIGHLIGHT_NORMAL && !m_columns.empty())
                fill.setWidth(std::min(width, m_columns.front().width));
            else if (m_highlight == HIGHLIGHT_ALLCOLUMNS && !m_columns.empty())
                fill.setWidth(std::min(width, columnsWidth));
            p.fillRect(fill, ToQColor(m_colors.selectedBack));
        }
        p.save();
        p.setFont(ListFont());
        p.setPen(ToQColor(selected ? m_colors.selectedText : m_colors.text));
        p.setClipRect(r);
        DrawItem(p, row, r, selected);
        p.restore();
        p.setPen(ToQColor(m_colors.separator));
        p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    }
}

void CListViewEx::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    UpdateScrollRange();
}

void CListViewEx::mousePressEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    m_pressedRow = HitTest(pos);
    if (m_pressedRow >= 0)
        SetSelectedRow(m_pressedRow);
    m_hold->Press(pos, e->button());
    e->accept();
}

void CListViewEx::mouseMoveEvent(QMouseEvent* e)
{
    m_hold->Move(e->position().toPoint());
    e->accept();
}

void CListViewEx::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    const int pressed = m_pressedRow;
    m_pressedRow = -1;
    if (m_hold->Release(pos) && pressed >= 0 && HitTest(pos) == pressed && IsRow(pressed))
        emit rowClicked(pressed);
    e->accept();
}

void CListViewEx::OnHeld(QPoint pos)
{
    emit rowHeld(HitTest(pos), pos);
}
