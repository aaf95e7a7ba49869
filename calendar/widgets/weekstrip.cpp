#include "weekstrip.h"

#include "filetime.h"
#include "widgets/syscolors.h"
#include "widgets/zufont.h"
#include "widgets/zuimagelist.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

QColor qcolor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

constexpr int kMarkerLeft = 14;
constexpr int kMarkerStep = 10;

SYSTEMTIME midnightPlus(const SYSTEMTIME& date, int days)
{
    SYSTEMTIME day = date;
    day.wHour = day.wMinute = day.wSecond = day.wMilliseconds = 0;
    FILETIME ft{};
    if (!SystemTimeToFileTime(&day, &ft))
        return day;
    const ULONGLONG t = ZuFileTimeToU64(ft) + static_cast<ULONGLONG>(static_cast<LONGLONG>(days) * static_cast<LONGLONG>(ZU_TICKS_PER_DAY));
    const FILETIME moved = ZuU64ToFileTime(t);
    FileTimeToSystemTime(&moved, &day);
    return day;
}

} // namespace

CZuWeekStrip::CZuWeekStrip(QWidget* parent, UINT id)
    : QWidget(parent), m_clrText(ZuSysColor(ZU_COLOR_WINDOWTEXT)), m_clrLine(ZuSysColor(ZU_COLOR_BTNSHADOW))
{
    if (id)
        setObjectName(QString::number(id));
}

void CZuWeekStrip::SetTimeColumnWidth(int width)
{
    m_timeWidth = std::max(width, 0);
    update();
}

void CZuWeekStrip::SetFirstDayOfWeek(int day)
{
    m_firstDay = day == 1 ? 1 : 0;
    update();
}

void CZuWeekStrip::SetBkColor(COLORREF color) { m_clrBk = color; update(); }
void CZuWeekStrip::SetTextColor(COLORREF color) { m_clrText = color; update(); }
void CZuWeekStrip::SetLineColor(COLORREF color) { m_clrLine = color; update(); }

void CZuWeekStrip::SetImageList(const CZuImageList* images)
{
    m_images = images;
    update();
}

void CZuWeekStrip::SetToday(const SYSTEMTIME& today)
{
    m_today = today;
    update();
}

SYSTEMTIME CZuWeekStrip::SetDate(const SYSTEMTIME& date)
{
    const SYSTEMTIME day = midnightPlus(date, 0);  // with its day of week
    const int weekday = day.wDayOfWeek + 1;        // 1 = Sunday
    m_weekStart = midnightPlus(day, -((weekday - m_firstDay + 6) % 7));
    update();
    return m_weekStart;
}

void CZuWeekStrip::SetMarkers(const Markers& markers)
{
    m_markers = markers;
    update();
}

SYSTEMTIME CZuWeekStrip::DayOf(int i) const
{
    return midnightPlus(m_weekStart, i);
}

QRect CZuWeekStrip::CellRect(int i) const
{
    const QRect client = rect().adjusted(1, 1, -1, -1);
    const int w = (client.width() - m_timeWidth) / 7;
    if (w <= 0 || i < 0 || i > 6)
        return QRect();
    return QRect(client.left() + m_timeWidth + i * w, client.top(), w, client.height());
}

int CZuWeekStrip::CellAt(int x) const
{
    const QRect first = CellRect(0);
    if (first.isEmpty() || x < first.left())
        return -1;
    return std::min((x - first.left()) / first.width(), 6);
}

void CZuWeekStrip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), qcolor(m_clrBk));
    p.setPen(qcolor(m_clrLine));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    const QFont normal = ZuFont(L"Tahoma", 13, FW_BOLD), today = ZuFont(L"Tahoma", 15, FW_BOLD);
    const int markerHeight = m_images ? m_images->GetImageSize().height() : 0;
    for (int i = 0; i < 7; ++i) {
        const QRect cell = CellRect(i);
        if (cell.isEmpty())
            return;
        const SYSTEMTIME day = DayOf(i);
        const bool isToday = day.wMonth == m_today.wMonth && day.wDay == m_today.wDay;
        COLORREF color = m_clrText;
        if (day.wDayOfWeek == 0)
            color = RGB(255, 0, 0);
        else if (day.wDayOfWeek == 6)
            color = RGB(0, 0, 255);
        p.setFont(isToday ? today : normal);
        p.setPen(qcolor(color));
        p.drawText(cell.adjusted(0, 0, 0, -markerHeight), Qt::AlignCenter | Qt::TextSingleLine,
                   QString::number(day.wDay));
        if (m_images) {
            const int centre = cell.left() + cell.width() / 2;
            for (int m = 0; m < MARK_COUNT; ++m) {
                if (m_markers[i][m])
                    m_images->Draw(&p, m, QPoint(centre - kMarkerLeft + m * kMarkerStep, cell.bottom() + 1 - markerHeight));
            }
        }
        p.setPen(qcolor(m_clrLine));
        p.drawLine(cell.left(), cell.top(), cell.left(), cell.bottom());
    }
}

void CZuWeekStrip::mousePressEvent(QMouseEvent* e)
{
    e->accept();
    m_pressedCell = e->button() == Qt::LeftButton ? CellAt(e->position().toPoint().x()) : -1;
}

void CZuWeekStrip::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    if (e->button() != Qt::LeftButton || !m_clickable)
        return;
    const QPoint pos = e->position().toPoint();
    const int cell = CellAt(pos.x());
    if (cell < 0 || cell != m_pressedCell || !rect().contains(pos))
        return;
    emit dateClicked(DayOf(cell));
}
