#include "zumonthview.h"

#include "bitmap.h"
#include "dlgdayview.h"
#include "popupmenu.h"
#include "resource.h"
#include "widgets/holdrecognizer.h"
#include "widgets/syscolors.h"
#include "widgets/zufont.h"
#include "windowmessage.h"
#include "zucalendardoc.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kLeft = 15;    // the week margin
constexpr int kTop = 16;     // the weekday header
constexpr int kRows = 6;
constexpr int kColumns = 7;
constexpr int kHeaderX = 18;
constexpr int kPopupX = 5;
constexpr int kPopupWidth = 230;

QColor color(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

bool sameDay(const SYSTEMTIME& a, const SYSTEMTIME& b)
{
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

}  // namespace

CZuMonthView::CZuMonthView(CZuCalendarDoc* doc, QWidget* parent) : QWidget(parent), m_doc(doc)
{
    setObjectName(QString::number(ZU_IDC_MONTH_VIEW));
    setWindowTitle(QStringLiteral("포켓 일정"));
    setAttribute(Qt::WA_OpaquePaintEvent);  // the painting covers the client area
    const COLORREF white = RGB(255, 255, 255);
    m_header.Create(ZuLoadBitmap(ZU_IDB_WEEKDAY_HEADER, ZuModule::Calendar), 225, kBackColor);
    m_weekMarker.Create(ZuLoadBitmap(ZU_IDB_WEEK_MARKER, ZuModule::Calendar), 10, kBackColor);
    m_items8.Create(ZuLoadBitmap(ZU_IDB_ITEMS8, ZuModule::Calendar), 8, white);
    m_items16.Create(ZuLoadBitmap(ZU_IDB_ITEMS16, ZuModule::Calendar), 16, white);
    m_closeBox.Create(ZuLoadBitmap(ZU_IDB_CLOSE_BOX, ZuModule::Calendar), 16, RGB(0, 255, 0));
    m_hold = new CZuHoldRecognizer(this);
    connect(m_hold, &CZuHoldRecognizer::held, this, &CZuMonthView::OnHeld);
    RebuildGrid();
}

CZuMonthView::~CZuMonthView() = default;

CDlgDayView* CZuMonthView::DayPopup() const
{
    return m_popup;
}

CZuImageList& CZuMonthView::Images(UINT bitmap)
{
    switch (bitmap) {
    case ZU_IDB_WEEKDAY_HEADER: return m_header;
    case ZU_IDB_WEEK_MARKER: return m_weekMarker;
    case ZU_IDB_ITEMS8: return m_items8;
    case ZU_IDB_ITEMS16: return m_items16;
    case ZU_IDB_CLOSE_BOX: return m_closeBox;
    default:
        m_none.RemoveAll();
        return m_none;
    }
}

std::vector<ZuMenuEntry> CZuMonthView::ContextMenu()
{
    ZuMenuEntry separator;
    separator.separator = true;
    return {{ZU_CMD_NEW_APPOINTMENT, CString(L"새 일정")}, {ZU_CMD_NEW_ANNIVERSARY, CString(L"새 기념일")},
        {ZU_CMD_NEW_TASK, CString(L"새 할일")}, separator, {ZU_CMD_TO_DAY_VIEW, CString(L"일간보기로 전환")}};
}

void CZuMonthView::OnInitialUpdate()
{
    RebuildGrid();
    update();
}

void CZuMonthView::RebuildGrid()
{
    const SYSTEMTIME& current = m_doc->CurrentDate();
    SYSTEMTIME first{};
    first.wYear = current.wYear;
    first.wMonth = current.wMonth;
    first.wDay = 1;
    CDayCells probe(1);
    probe.SetFirstDay(first);
    m_month = probe.DateOf(0);  // with its weekday
    const int offset = (m_month.wDayOfWeek - m_doc->FirstDayOfWeek() + 7) % 7;
    m_cells.SetFirstDay(probe.DateOf(-offset));
    for (int i = 0; i < kCells; ++i) {
        const std::optional<DayHoliday> holiday = m_doc->HolidayFor(m_cells.DateOf(i));
        m_holiday[i] = holiday && holiday->red;
    }
}

void CZuMonthView::OnItemsLoaded()
{
    RebuildGrid();
    m_items = m_doc->Items();
    m_counts = m_doc->Counts();
    m_cells.Fill(m_items, m_counts);
    if (m_popup && m_popup->isVisible())
        m_popup->hide();
    m_context = false;
    m_pressed = false;
    m_hold->Cancel();
    m_selection = kNoSelection;
    update();
}

bool CZuMonthView::event(QEvent* e)
{
    if (e->type() == ZuMessageEvent::eventType()) {
        auto* message = static_cast<ZuMessageEvent*>(e);
        if (message->message() == WM_ITEMS_LOADED) {
            OnItemsLoaded();
            message->setResult(0);
            return true;
        }
    }
    return QWidget::event(e);
}

void CZuMonthView::resizeEvent(QResizeEvent* e)
{
    m_cellWidth = (width() - kLeft) / kColumns;
    m_cellHeight = (height() - kTop) / kRows;
    QWidget::resizeEvent(e);
    update();
}

QRect CZuMonthView::CellRect(int cell) const
{
    const int row = cell / kColumns, column = cell % kColumns;
    return QRect(kLeft + column * m_cellWidth, kTop + row * m_cellHeight, m_cellWidth + 1, m_cellHeight + 1);
}

int CZuMonthView::HitTest(QPoint pt, SYSTEMTIME* date, QRect* rect) const
{
    const int x = pt.x(), y = pt.y();
    if (m_cellWidth <= 0 || m_cellHeight <= 0 || x < 0 || y <= kTop - 1 || x >= width() || y >= height())
        return kNoSelection;
    // The leftovers right of the last column and below the last row belong to them.
    const int row = std::min((y - kTop) / m_cellHeight, kRows - 1);
    if (x >= kLeft) {
        const int column = std::min((x - kLeft) / m_cellWidth, kColumns - 1);
        const int index = row * kColumns + column;
        if (date)
            *date = m_cells.DateOf(index);
        if (rect)
            *rect = QRect(QPoint(column * m_cellWidth + 16, row * m_cellHeight + 17),
                QPoint((column + 1) * m_cellWidth + 14, (row + 1) * m_cellHeight + 15));
        return index;
    }
    if (date)
        *date = m_cells.DateOf(kColumns * row);
    if (rect)
        *rect = QRect(QPoint(0, row * m_cellHeight + kTop), QPoint(kLeft - 1, (row + 1) * m_cellHeight + kTop - 1));
    return -(row + 1);
}

void CZuMonthView::PaintHeader(QPainter& painter)
{
    const QPixmap header = m_header.GetImage(0);
    if (header.isNull())
        return;
    // The image names the days from Sunday; a week that starts later shows it turned round. The
    // source rectangles are in the pixmap's own pixels (twice as many on a screen scaled by 2),
    // the places in the view's.
    const int w = header.width(), h = header.height();
    const qreal ratio = header.devicePixelRatio();
    const int split = m_doc->FirstDayOfWeek() * w / kColumns;
    painter.drawPixmap(QPointF(kHeaderX, 0), header, QRectF(split, 0, w - split, h));
    if (split > 0)
        painter.drawPixmap(QPointF(kHeaderX + (w - split) / ratio, 0), header, QRectF(0, 0, split, h));
}

void CZuMonthView::PaintCell(QPainter& painter, int cell, bool highlighted)
{
    const QRect frame = CellRect(cell);
    const SYSTEMTIME date = m_cells.DateOf(cell);
    const bool thisMonth = date.wYear == m_month.wYear && date.wMonth == m_month.wMonth;
    painter.setPen(color(ZuSysColor(ZU_COLOR_BTNSHADOW)));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame.x(), frame.y(), m_cellWidth, m_cellHeight);
    const QRect inner(frame.x() + 1, frame.y() + 1, m_cellWidth - 1, m_cellHeight - 1);
    if (highlighted) {
        painter.fillRect(inner, color(ZuSysColor(ZU_COLOR_HIGHLIGHT)));
    } else {
        painter.fillRect(inner, color(ZuSysColor(thisMonth ? ZU_COLOR_WINDOW : ZU_COLOR_BTNFACE)));
    }
    COLORREF text = ZuSysColor(ZU_COLOR_WINDOWTEXT);
    if (date.wDayOfWeek == 0 || m_holiday[cell])
        text = ZU_SUNDAY_COLOR;
    else if (date.wDayOfWeek == 6)
        text = ZU_SATURDAY_COLOR;
    if (highlighted)
        text = ZuSysColor(ZU_COLOR_HIGHLIGHTTEXT);
    const bool today = sameDay(date, m_doc->Today());
    painter.setFont(today ? ZuFont(L"Tahoma", 15, FW_BOLD) : ZuFont(L"Tahoma", 13, FW_NORMAL));
    painter.setPen(color(text));
    painter.drawText(inner.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
        QString::number(date.wDay));
    static constexpr int kMarkerX[] = {-14, -4, 6};
    for (int m = 0; m < CDayCells::MARK_COUNT; ++m)
        if (m_cells.HasMarker(cell, static_cast<CDayCells::Marker>(m)))
            m_items8.Draw(&painter, m, QPoint(frame.x() + m_cellWidth / 2 + kMarkerX[m], frame.y() + m_cellHeight - 10));
}

void CZuMonthView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), color(kBackColor));
    if (m_cellWidth <= 0 || m_cellHeight <= 0)
        return;
    PaintHeader(painter);
    for (int row = 0; row < kRows; ++row) {
        const int y = kTop + row * m_cellHeight;
        const bool marginPressed = m_pressed && m_selection == -(row + 1);
        if (marginPressed) {
            painter.fillRect(QRect(0, y, kLeft, m_cellHeight), color(ZuSysColor(ZU_COLOR_HIGHLIGHT)));
        }
        m_weekMarker.Draw(&painter, 0, QPoint(2, y + 12));
        for (int column = 0; column < kColumns; ++column) {
            const int cell = row * kColumns + column;
            PaintCell(painter, cell, m_pressed && m_selection == cell);
        }
    }
}

void CZuMonthView::mousePressEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    m_context = false;
    m_selection = HitTest(pos, &m_selectedDate);
    m_pressed = m_selection != kNoSelection;
    update();
    m_hold->Press(pos, e->button());
    e->accept();
}

void CZuMonthView::mouseMoveEvent(QMouseEvent* e)
{
    m_hold->Move(e->position().toPoint());
    e->accept();
}

void CZuMonthView::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    const bool click = m_hold->Release(pos);
    const bool wasPressed = m_pressed;
    m_pressed = false;
    update();
    e->accept();
    if (m_context || !click || !wasPressed) {
        m_context = false;
        return;
    }
    m_selection = HitTest(pos, &m_selectedDate);
    if (m_selection >= 0 && m_selection < kCells) {
        OpenPopup();
    } else if (m_selection < 0 && m_selection >= -kRows) {
        m_doc->SetCurrentDate(m_selectedDate);
        m_doc->SetViewType(ZU_VIEW_WEEK, true);
    }
}

void CZuMonthView::OnHeld(QPoint pos)
{
    m_context = true;
    const UINT id = ZuPopupMenu(this, ContextMenu(), mapToGlobal(pos));
    if (id)
        OnViewCommand(id);
}

void CZuMonthView::OpenPopup()
{
    if (!m_popup) {
        m_popup = new CDlgDayView(m_doc, this);
        m_popup->Bind(&m_items, &m_cells);
        m_popup->SetImages(&m_items16, &m_closeBox);
    }
    const int lines = m_popup->Fill(m_selectedDate, m_selection, m_doc->HolidayFor(m_selectedDate));
    if (lines < 8)
        m_popup->setGeometry(kPopupX, 60 - 6 * lines, kPopupWidth, 18 * lines + 30);
    else
        m_popup->setGeometry(kPopupX, 30, kPopupWidth, 150);
    m_popup->show();
    m_popup->raise();
    update();
}

SYSTEMTIME CZuMonthView::SelectedDay(int hour) const
{
    if (m_selection < 0 || m_selection >= kCells)
        return SYSTEMTIME{};
    SYSTEMTIME day = m_selectedDate;
    day.wHour = static_cast<WORD>(hour);
    day.wMinute = day.wSecond = day.wMilliseconds = 0;
    return day;
}

bool CZuMonthView::OnViewCommand(UINT id)
{
    switch (id) {
    case ZU_CMD_TO_DAY_VIEW:
        if (m_selection != kNoSelection) {
            m_doc->SetCurrentDate(m_selectedDate);
            m_doc->SetViewType(ZU_VIEW_DAY, true);
        }
        return true;
    case ZU_CMD_NEW_APPOINTMENT:
    case ZU_CMD_NEW_APPOINTMENT_ALT:
        m_doc->NewRecord(ZU_ITEM_APPOINTMENT, SelectedDay(12), false);
        return true;
    case ZU_CMD_NEW_ANNIVERSARY:
        m_doc->NewRecord(ZU_ITEM_APPOINTMENT, SelectedDay(0), true);
        return true;
    case ZU_CMD_NEW_TASK:
        m_doc->NewRecord(ZU_ITEM_TASK, SYSTEMTIME{}, false);
        return true;
    default:
        return false;
    }
}
