#include "hourgrid.h"

#include "widgets/holdrecognizer.h"
#include "widgets/syscolors.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

QColor qcolor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

} // namespace

CZuHourGrid::CZuHourGrid(QWidget* parent, UINT id) : QWidget(parent), m_clrBk(ZuSysColor(ZU_COLOR_BTNFACE))
{
    if (id)
        setObjectName(QString::number(id));
    m_hold = new CZuHoldRecognizer(this);
    connect(m_hold, &CZuHoldRecognizer::held, this, [this](QPoint pos) {
        emit held(m_selRow, m_selCol, mapToGlobal(pos));
    });
}

void CZuHourGrid::SetColumnWidths(std::vector<int> widths)
{
    m_widths = std::move(widths);
    update();
}

int CZuHourGrid::ColumnLeft(int column) const
{
    int left = 0;
    for (int c = 0; c < column && c < static_cast<int>(m_widths.size()); ++c)
        left += m_widths[c];
    return left;
}

void CZuHourGrid::SetRowCount(int rows)
{
    m_rows = std::max(rows, 0);
    if (m_selRow >= m_rows)
        ClearSelection();
    update();
}

void CZuHourGrid::SetRowHeight(int height)
{
    if (height < 1)
        return;
    m_rowHeight = height;
    update();
}

void CZuHourGrid::SetBkColor(COLORREF color)
{
    m_clrBk = color;
    update();
}

void CZuHourGrid::ClearSelection()
{
    m_selRow = m_selCol = -1;
    update();
}

int CZuHourGrid::RowAt(QPoint pos) const
{
    if (pos.x() < 0 || pos.y() < 0 || pos.x() >= width() || m_rowHeight < 1)
        return -1;
    const int row = pos.y() / m_rowHeight;
    return row < m_rows ? row : -1;
}

int CZuHourGrid::ColumnAt(int x) const
{
    if (x < 0 || m_widths.empty())
        return -1;
    int left = 0;
    for (int c = 0; c < static_cast<int>(m_widths.size()); ++c) {
        left += m_widths[c];
        if (x < left)
            return c;
    }
    return static_cast<int>(m_widths.size()) - 1;
}

void CZuHourGrid::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), qcolor(m_clrBk));
    if (!m_painter)
        return;
    for (int r = 0; r < m_rows; ++r) {
        const QRect row(0, r * m_rowHeight, width(), m_rowHeight);
        if (row.top() >= height())
            break;
        painter.save();
        m_painter(painter, r, row, r == m_selRow ? m_selCol : -1);
        painter.restore();
    }
}

void CZuHourGrid::mousePressEvent(QMouseEvent* e)
{
    e->accept();
    if (e->button() != Qt::LeftButton && e->button() != Qt::RightButton)
        return;
    const QPoint pos = e->position().toPoint();
    m_selRow = RowAt(pos);
    m_selCol = m_selRow >= 0 ? ColumnAt(pos.x()) : -1;
    update();
    emit pressed(m_selRow, m_selCol);
    m_hold->Press(pos, e->button());
}

void CZuHourGrid::mouseMoveEvent(QMouseEvent* e)
{
    e->accept();
    m_hold->Move(e->position().toPoint());
}

void CZuHourGrid::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    if (e->button() != Qt::LeftButton && e->button() != Qt::RightButton)
        return;
    if (m_hold->Release(e->position().toPoint()))
        emit clicked(m_selRow, m_selCol);
}
