#include "zuweekview.h"

#include "bitmap.h"
#include "filetime.h"
#include "hourgrid.h"
#include "recordlayouts.h"
#include "weekstrip.h"
#include "widgets/appointment.h"
#include "widgets/syscolors.h"
#include "widgets/zufont.h"
#include "widgets/zuimagelist.h"
#include "zucalendardoc.h"
#include "zumodule.h"

#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

namespace {

QColor qcolor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

constexpr UINT kGridId = 1010;
constexpr UINT kStripId = 1008;

ULONGLONG ticks(const FILETIME& ft) { return ZuFileTimeToU64(ft); }

// Whole days from `origin` to `t` (negative before it).
LONGLONG dayNumber(ULONGLONG t, ULONGLONG origin)
{
    const LONGLONG diff = static_cast<LONGLONG>(t) - static_cast<LONGLONG>(origin);
    const LONGLONG day = static_cast<LONGLONG>(ZU_TICKS_PER_DAY);
    return diff >= 0 ? diff / day : -((-diff + day - 1) / day);
}

} // namespace

CZuWeekView::CZuWeekView(CZuCalendarDoc* doc, QWidget* parent) : CZuTimedView(doc, parent)
{
    setObjectName(QString::number(ZU_IDC_WEEK_VIEW));
    m_ownImages = std::make_unique<CZuImageList>();
    m_ownImages->Create(ZuLoadBitmap(ZU_IDB_ITEMS8, ZuModule::Calendar), 8, RGB(255, 255, 255));
    m_images = m_ownImages.get();

    m_strip = new CZuWeekStrip(this, kStripId);
    m_strip->SetBkColor(CZuWeekStrip::kDefaultBkColor);
    m_strip->SetImageList(m_images);
    m_strip->SetClickable(true);
    connect(m_strip, &CZuWeekStrip::dateClicked, this, [this](const SYSTEMTIME& date) {
        m_doc->SetCurrentDate(date);
        m_doc->SetViewType(ZU_VIEW_DAY, true);
    });

    m_grid = new CZuHourGrid(this, kGridId);
    m_grid->SetColumnNames({"Time", "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"});
    m_grid->SetRowPainter([this](QPainter& p, int row, const QRect& rect, int column) { DrawRow(p, row, rect, column); });
    connect(m_grid, &CZuHourGrid::pressed, this, [this](int, int) { ReleasePressedBox(); });
    connect(m_grid, &CZuHourGrid::clicked, this, [this](int, int) { HideLabel(); });
    connect(m_grid, &CZuHourGrid::held, this, [this](int, int, QPoint pos) { ShowGridMenu(pos); });
    ComputeWidths();
}

CZuWeekView::~CZuWeekView() = default;

void CZuWeekView::SetImageList(const CZuImageList* items8)
{
    m_images = items8 ? items8 : m_ownImages.get();
    m_strip->SetImageList(m_images);
}

void CZuWeekView::WidthsFor(int hours, int& timeWidth, int& dayWidth, int& fontHeight)
{
    if (hours > 18) {
        timeWidth = 9, dayWidth = 33, fontHeight = 10;
    } else if (hours < 14) {
        timeWidth = 16, dayWidth = 32, fontHeight = 14;
    } else {
        timeWidth = 9, dayWidth = 33, fontHeight = 12;
    }
}

void CZuWeekView::ComputeWidths()
{
    m_startHour = std::clamp(m_doc->WeekStartHour(), 0, 23);
    m_hours = std::clamp(m_doc->WeekEndHour() - m_startHour, 1, 24 - m_startHour);
    WidthsFor(m_hours, m_timeWidth, m_dayWidth, m_fontHeight);
    m_grid->setFont(ZuFont(L"Tahoma", m_fontHeight, FW_NORMAL));
    std::vector<int> widths(8, m_dayWidth);
    widths[0] = m_timeWidth;
    m_grid->SetColumnWidths(widths);
    m_grid->SetRowCount(m_hours);
    m_strip->SetTimeColumnWidth(m_timeWidth);
    m_strip->SetFirstDayOfWeek(m_doc->FirstDayOfWeek());
    LayoutChildren();
}

void CZuWeekView::OnInitialUpdate()
{
    ComputeWidths();
}

void CZuWeekView::LayoutChildren()
{
    const int cx = width(), cy = height();
    m_strip->setGeometry(0, -1, cx, kStripHeight);
    m_grid->setGeometry(0, kStripHeight, cx, std::max(cy - kStripHeight, 0));
    // A grid too small for one row keeps the previous row height.
    if (m_hours > 0)
        m_grid->SetRowHeight((cy - kStripHeight) / m_hours);
    PositionBoxes();
}

void CZuWeekView::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    LayoutChildren();
}

bool CZuWeekView::event(QEvent* e)
{
    if (e->type() == ZuMessageEvent::eventType()) {
        auto* m = static_cast<ZuMessageEvent*>(e);
        if (m->message() == WM_ITEMS_LOADED) {
            OnItemsLoaded(m->wParam());
            m->setResult(0);
            return true;
        }
    }
    return CZuTimedView::event(e);
}

void CZuWeekView::HideLabel()
{
    if (m_selected < 0)
        return;
    m_selected = -1;
    m_selectedId = RecordId{};
    if (ICalendarFrame* frame = Frame())
        frame->HideNotification();
}

void CZuWeekView::OnItemsLoaded(WPARAM wParam)
{
    m_loaded = true;
    // The boxes are about to be reused or destroyed: let go of the pressed one first.
    ReleasePressedBox();
    HideLabel();
    if (wParam == 1)
        ComputeWidths();
    m_strip->SetToday(m_doc->Today());
    m_strip->SetFirstDayOfWeek(m_doc->FirstDayOfWeek());
    m_weekStart = m_strip->SetDate(m_doc->CurrentDate());
    SetStripMarkers();
    PlaceAppointments();
    m_grid->update();
}

void CZuWeekView::SetStripMarkers()
{
    CZuWeekStrip::Markers markers{};
    FILETIME startFt{};
    SYSTEMTIME start = m_weekStart;
    SystemTimeToFileTime(&start, &startFt);
    const ULONGLONG origin = ticks(startFt);
    const auto& items = m_doc->Items();
    const ItemCounts& counts = m_doc->Counts();
    const int total = std::min<int>(counts.total, static_cast<int>(items.size()));
    for (int i = std::max(counts.timed, 0); i < total; ++i) {
        const CalendarItem& item = items[static_cast<size_t>(i)];
        const bool noStart = ZuIsNoDate(item.start), noEnd = ZuIsNoDate(item.end);
        if (noStart && noEnd)
            continue;
        const ULONGLONG s = ticks(noStart ? item.end : item.start);
        ULONGLONG e = ticks(noEnd ? item.start : item.end);
        // An appointment's end is exclusive (midnight ends the day before); a task's due date is
        // its day.
        if (item.kind != ZU_ITEM_TASK && e > s)
            e -= 1;
        LONGLONG first = dayNumber(s, origin), last = dayNumber(e, origin);
        if ((first > 6 && last > 6) || last < first || last < 0)
            continue;
        first = std::clamp<LONGLONG>(first, 0, 6);
        last = std::clamp<LONGLONG>(last, 0, 6);
        const int marker = i < counts.firstAnniversary ? CZuWeekStrip::MARK_ALLDAY
                         : i < counts.beforeTasks      ? CZuWeekStrip::MARK_ANNIVERSARY
                                                       : CZuWeekStrip::MARK_TASK;
        for (LONGLONG d = first; d <= last; ++d)
            markers[static_cast<size_t>(d)][static_cast<size_t>(marker)] = true;
    }
    m_strip->SetMarkers(markers);
}

void CZuWeekView::PlaceAppointments()
{
    const auto& items = m_doc->Items();
    const DayLayout& layout = m_doc->Layout();
    const int timed = std::min<int>(m_doc->Counts().timed, static_cast<int>(items.size()));
    const ULONGLONG rangeStart = ticks(m_doc->RangeStart());
    const int rh = m_grid->RowHeight();
    const int shownHeight = rh * m_hours;
    size_t used = 0;
    m_placed.clear();
    std::vector<OverlapEntry> entries;
    for (int d = 0; d < 7; ++d) {
        entries.clear();
        for (const DayColumnEntry& entry : layout.columns[static_cast<size_t>(d)]) {
            if (entry.item < 0 || entry.item >= timed)
                continue;
            const CalendarItem& item = items[static_cast<size_t>(entry.item)];
            entries.push_back({entry.item, entry.overlap, ticks(item.start), ticks(item.end)});
        }
        const ULONGLONG dayStart = rangeStart + static_cast<ULONGLONG>(d) * ZU_TICKS_PER_DAY;
        for (const OverlapPlacement& p : m_placer.Place(entries, dayStart, rh)) {
            const int top = p.top - m_startHour * rh, bottom = p.bottom - m_startHour * rh;
            // Nothing for hours outside the shown ones.
            if (bottom < 0 || top >= shownHeight)
                continue;
            BoxAt(used++, m_grid, p.item);
            m_placed.push_back({d, p});
        }
    }
    DropBoxesFrom(used);
    PositionBoxes();
}

void CZuWeekView::PositionBoxes()
{
    const int rh = m_grid->RowHeight();
    const int shownHeight = rh * m_hours;
    for (size_t i = 0; i < m_placed.size() && i < m_boxes.size(); ++i) {
        const PlacedBox& placed = m_placed[i];
        const OverlapPlacement& p = placed.place;
        const int top = std::max(p.startRow * rh - m_startHour * rh, 0);
        const int bottom = std::min(p.endRow * rh - 1 - m_startHour * rh, shownHeight);
        const int dayLeft = m_timeWidth + placed.day * m_dayWidth;
        const QRect r(QPoint(dayLeft + p.Left(m_dayWidth), top), QPoint(dayLeft + p.Right(m_dayWidth), bottom));
        m_boxes[i]->setGeometry(r);
        m_boxes[i]->show();
    }
}

void CZuWeekView::DrawRow(QPainter& p, int row, const QRect& rect, int column)
{
    const int hour = m_startHour + row;
    p.fillRect(rect, qcolor(hour < 12 ? ZuSysColor(ZU_COLOR_WINDOW) : kAfternoonColor));
    const QRect timeCell(rect.left(), rect.top(), m_timeWidth, rect.height());
    const bool selected = column >= 0;
    if (selected) {
        const int day = std::max(column, 1);
        const QRect dayCell(m_grid->ColumnLeft(day), rect.top(), m_dayWidth, rect.height());
        p.fillRect(timeCell, qcolor(ZuSysColor(ZU_COLOR_HIGHLIGHT)));
        p.fillRect(dayCell, qcolor(ZuSysColor(ZU_COLOR_HIGHLIGHT)));
    }
    const int shown = hour == 0 ? 12 : hour <= 12 ? hour : hour - 12;
    p.setFont(m_grid->font());
    p.setPen(qcolor(ZuSysColor(selected ? ZU_COLOR_HIGHLIGHTTEXT : ZU_COLOR_WINDOWTEXT)));
    p.drawText(timeCell, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, QString::asprintf("%2d", shown));
    p.setPen(qcolor(ZuSysColor(ZU_COLOR_BTNFACE)));
    for (int c = 0; c < 8; ++c) {
        const int x = m_grid->ColumnLeft(c + 1) - 1;
        p.drawLine(x, rect.top(), x, rect.bottom());
    }
    p.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
}

bool CZuWeekView::Target(SYSTEMTIME& target) const
{
    const int row = m_grid->SelectedRow(), column = m_grid->SelectedColumn();
    if (row < 0 || row >= m_hours)
        return false;
    FILETIME ft{};
    SYSTEMTIME start = m_weekStart;
    if (!SystemTimeToFileTime(&start, &ft))
        return false;
    const int day = std::clamp(column - 1, 0, 6);
    const ULONGLONG t = ticks(ft) + static_cast<ULONGLONG>(day) * ZU_TICKS_PER_DAY
                      + static_cast<ULONGLONG>(row + m_startHour) * ZU_TICKS_PER_HOUR;
    const FILETIME at = ZuU64ToFileTime(t);
    return FileTimeToSystemTime(&at, &target) != FALSE;
}

void CZuWeekView::OnBoxClicked(CAppointment* box, const BoxItem& item)
{
    m_selected = static_cast<int>(box->GetEventCode());
    m_selectedId = item.id;
    m_selectedStart = item.start;
    if (ICalendarFrame* frame = Frame())
        frame->ShowNotification(item.subject, item.timeText, CAppointment::BusyColor(item.status));
}

bool CZuWeekView::OnViewCommand(UINT id)
{
    if (id == ZU_IDC_NOTIFY_LABEL) {
        // The label is up only while an appointment is selected; a load took it down.
        if (m_selected < 0 || m_selectedId.kind != ZU_ITEM_APPOINTMENT)
            return false;
        if (ICalendarFrame* frame = Frame())
            frame->OpenRecordCard(ZU_SEL_APPOINTMENTS, m_selectedId.oid, m_selectedStart);
        return true;
    }
    return CZuTimedView::OnViewCommand(id);
}
