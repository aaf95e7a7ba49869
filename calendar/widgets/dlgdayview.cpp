#include "dlgdayview.h"

#include "calendarframe.h"
#include "daycells.h"
#include "dlgdayview_p.h"
#include "holidaytable.h"
#include "lunar.h"
#include "messagebox.h"
#include "recordlayouts.h"
#include "resource.h"
#include "stringtable.h"
#include "textutil.h"
#include "widgets/syscolors.h"
#include "widgets/zufont.h"
#include "widgets/zuimagelist.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kBorder = 1;
constexpr int kTitleColumnWidth = 200;

QColor color(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// The frame the widget lives in, when it is in one.
ICalendarFrame* frameOf(QWidget* w)
{
    for (; w; w = w->parentWidget())
        if (auto* frame = dynamic_cast<ICalendarFrame*>(w))
            return frame;
    return nullptr;
}

}  // namespace

CDayViewList::CDayViewList(QWidget* parent) : CListViewEx(parent)
{
    SetTwoLine(false);
    InsertColumn(0, CString(L"Title"), kTitleColumnWidth);
    SetHighlightType(HIGHLIGHT_ROW);
    ZuListColors colors;
    colors.text = ZuSysColor(ZU_COLOR_WINDOWTEXT);
    colors.back = ZuSysColor(ZU_COLOR_WINDOW);
    colors.selectedText = ZuSysColor(ZU_COLOR_HIGHLIGHTTEXT);
    colors.selectedBack = ZuSysColor(ZU_COLOR_HIGHLIGHT);
    colors.separator = ZuSysColor(ZU_COLOR_WINDOW);
    SetColors(colors);
}

void CDayViewList::SetLines(std::vector<ZuDayLine> lines)
{
    m_lines = std::move(lines);
    SetSelectedRow(-1);
    SetItemCount(static_cast<int>(m_lines.size()));
    SetScrollPos(0);
    viewport()->update();
}

void CDayViewList::DrawItem(QPainter& painter, int row, const QRect& rect, bool)
{
    if (row < 0 || row >= static_cast<int>(m_lines.size()))
        return;
    const ZuDayLine& line = m_lines[row];
    if (m_images && line.state > 0)
        m_images->Draw(&painter, line.state - 1, QPoint(rect.left() + 1, rect.top() + 1));
    const QRect text(rect.left() + 20, rect.top(), kTitleColumnWidth - 20, rect.height());
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
        GetEllipsisText(&painter, line.text, text).toQString());
}

CDlgDayView::CDlgDayView(CZuCalendarDoc* doc, QWidget* parent) : QWidget(parent), m_doc(doc)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    m_list = new CDayViewList(this);
    m_list->setObjectName(QString::number(kListId));
    connect(m_list, &CListViewEx::rowClicked, this, &CDlgDayView::OpenLine);
    hide();
}

CDlgDayView::~CDlgDayView() = default;

void CDlgDayView::Bind(const std::vector<CalendarItem>* items, const CDayCells* cells)
{
    m_items = items;
    m_cells = cells;
}

void CDlgDayView::SetImages(const CZuImageList* states, const CZuImageList* closeBox)
{
    m_list->SetStateImages(states);
    m_closeBox = closeBox;
}

QRect CDlgDayView::CaptionRect() const
{
    return QRect(kBorder, kBorder, width() - 2 * kBorder, ZuSysMetric(ZU_SM_CYCAPTION));
}

QRect CDlgDayView::CloseBoxRect() const
{
    const QRect caption = CaptionRect();
    return QRect(caption.right() - 2 - 15, caption.top() + 2, 16, 16);
}

void CDlgDayView::resizeEvent(QResizeEvent* e)
{
    const QRect caption = CaptionRect();
    m_list->setGeometry(kBorder, caption.bottom() + 1, width() - 2 * kBorder,
        std::max(0, height() - kBorder - caption.bottom() - 1));
    QWidget::resizeEvent(e);
}

int CDlgDayView::Fill(const SYSTEMTIME& date, int cell, const std::optional<DayHoliday>& holiday)
{
    m_date = date;
    m_cell = cell;
    int lunarMonth = 0, lunarDay = 0;
    const bool lunar = ZuSunToMoon(date.wYear, date.wMonth, date.wDay, nullptr, &lunarMonth, &lunarDay, nullptr) != 0;
    const CString weekday = GetPoomDayOfWeekString(1L << (date.wDayOfWeek % 7), 0);
    if (lunar) {
        if (holiday)
            m_title.Format(ZuLoadString(ZU_IDS_DAY_POPUP_HOLIDAY, ZuModule::Calendar), date.wMonth, date.wDay, lunarMonth, lunarDay,
                static_cast<const wchar_t*>(weekday), static_cast<const wchar_t*>(holiday->name));
        else
            m_title.Format(ZuLoadString(ZU_IDS_DAY_POPUP, ZuModule::Calendar), date.wMonth, date.wDay, lunarMonth, lunarDay,
                static_cast<const wchar_t*>(weekday));
    } else {
        // Beyond the lunar table the caption goes without the lunar date.
        m_title.Format(L"%d월 %d일 %s", date.wMonth, date.wDay, static_cast<const wchar_t*>(weekday));
        if (holiday)
            m_title.AppendFormat(L" %s", static_cast<const wchar_t*>(holiday->name));
    }
    if (holiday && holiday->red)
        m_titleColor = kHolidayColor;
    else if (date.wDayOfWeek == 0 || date.wDayOfWeek == 6)
        m_titleColor = kWeekendColor;
    else
        m_titleColor = kWeekdayColor;

    std::vector<ZuDayLine> lines;
    if (m_cells && m_items) {
        for (int index : m_cells->ItemsOf(cell)) {
            if (index < 0 || index >= static_cast<int>(m_items->size()))
                continue;
            const CalendarItem& item = (*m_items)[index];
            int state = 1;
            if (item.kind == ZU_ITEM_TASK)
                state = 3;
            else if (item.kind == ZU_ITEM_CONTACT_DAY || item.dayClass == ZU_DAY_ANNIVERSARY)
                state = 2;
            lines.push_back(ZuDayLine{item.subject, index, state});
        }
    }
    if (lines.empty())
        lines.push_back(ZuDayLine{ZuLoadString(ZU_IDS_NO_DAY_ITEMS, ZuModule::Calendar), kNoItem, 0});
    const int count = static_cast<int>(lines.size());
    m_list->SetLines(std::move(lines));
    update();
    return count;
}

int CDlgDayView::LineCount() const
{
    return static_cast<int>(m_list->Lines().size());
}

CString CDlgDayView::LineText(int line) const
{
    return line >= 0 && line < LineCount() ? m_list->Lines()[line].text : CString();
}

int CDlgDayView::LineData(int line) const
{
    return line >= 0 && line < LineCount() ? m_list->Lines()[line].data : kNoItem;
}

int CDlgDayView::LineState(int line) const
{
    return line >= 0 && line < LineCount() ? m_list->Lines()[line].state : 0;
}

void CDlgDayView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), color(ZuSysColor(ZU_COLOR_WINDOW)));
    painter.setPen(color(ZuSysColor(ZU_COLOR_WINDOWTEXT)));
    painter.drawRect(0, 0, width() - 1, height() - 1);
    const QRect caption = CaptionRect();
    DrawGradientFill(&painter, &caption, ZuSysColor(ZU_COLOR_WINDOW), m_titleColor, 100);
    if (m_closeBox)
        m_closeBox->Draw(&painter, 0, CloseBoxRect().topLeft());
    painter.setFont(ZuFont(L"Tahoma", 13, FW_BOLD));
    const QRect text(caption.left() + 3, caption.top(), CloseBoxRect().left() - caption.left() - 5, caption.height());
    painter.setPen(color(ZuSysColor(ZU_COLOR_WINDOWTEXT)));
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
        GetEllipsisText(&painter, m_title, text).toQString());
}

void CDlgDayView::mousePressEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    e->accept();
    if (CloseBoxRect().contains(pos)) {
        hide();
        RedrawView();
        return;
    }
    if (CaptionRect().contains(pos)) {
        m_dragging = true;
        m_dragFrom = e->globalPosition().toPoint();
        m_moves = 0;
    }
}

void CDlgDayView::mouseMoveEvent(QMouseEvent* e)
{
    e->accept();
    if (!m_dragging || ++m_moves % kMoveEvery != 0)
        return;
    const QPoint to = e->globalPosition().toPoint();
    move(pos() + (to - m_dragFrom));
    m_dragFrom = to;
    RedrawView();
}

void CDlgDayView::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    if (m_dragging) {
        m_dragging = false;
        RedrawView();
    }
}

void CDlgDayView::RedrawView()
{
    if (parentWidget())
        parentWidget()->update();
}

void CDlgDayView::OpenLine(int line)
{
    const int index = LineData(line);
    if (!m_items || index < 0 || index >= static_cast<int>(m_items->size()))
        return;
    const CalendarItem item = (*m_items)[index];
    if (item.kind == ZU_ITEM_CONTACT_DAY) {
        MessageBox(this, item.subject, L"기념일", MB_OK);
        update();
        RedrawView();
        return;
    }
    if (item.kind != ZU_ITEM_APPOINTMENT && item.kind != ZU_ITEM_TASK)
        return;
    if (ICalendarFrame* frame = frameOf(this))
        frame->OpenRecordCard(item.kind == ZU_ITEM_TASK ? ZU_SEL_TASKS : ZU_SEL_APPOINTMENTS, item.oid, item.start);
}
