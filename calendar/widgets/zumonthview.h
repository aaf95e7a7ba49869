// zumonthview.h - the graphic view of the month type: six weeks of seven days, each day with its
// number and the markers of its appointments, anniversaries and tasks.
//
// Layout, in logical pixels, for a client of cx x cy: the weekday header (bitmap 200, one image
// 225 wide, drawn from the first day of the week) at (18, 0); cells cw = (cx - 15) / 7 by
// ch = (cy - 16) / 6 at (15 + c * cw, 16 + r * ch), outlined in the button-shadow colour, the
// current month's days on the window colour, the others on the button face; left of each row the
// week marker (bitmap 167, image 0) at (2, y + 12); everything else RGB(62, 115, 221). A day's
// number sits at its top left (2 pixels in), red on Sundays and holidays, blue on Saturdays,
// today's in the document's bold title font; its markers (bitmap 129, images 0, 1, 2) at
// x + cw / 2 - 14, - 4, + 6 and y + ch - 10. A view too small for a cell paints only the
// background and hits nothing.
//
// Pen: a press highlights the day (or the row's margin) under it. A tap on a day opens the day
// popup (CDlgDayView) with the day's items; a tap on the margin shows that week in the week view.
// A hold (still press, or the right button) opens "Context2": "새 일정" (that day at 12:00),
// "새 기념일" (that day at 00:00, as an anniversary), "새 할일", "일간보기로 전환" (that day in the
// day view); held on a margin, new records get no date. The release after a hold only restores
// the cell.
//
// The view reads the document's items only when WM_ITEMS_LOADED arrives and keeps its own copy of
// them, so a later load for another view never changes what its cells and the popup refer to.
#pragma once

#include "calendaritem.h"
#include "calendarview.h"
#include "daycells.h"
#include "widgets/zuimagelist.h"

#include <QPointer>
#include <QWidget>

#include <vector>

class CDlgDayView;
class CZuCalendarDoc;
class CZuHoldRecognizer;
struct ZuMenuEntry;

class CZuMonthView : public QWidget, public ICalendarView {
    Q_OBJECT
public:
    static constexpr int kCells = 42;
    static constexpr int kNoSelection = -10;
    static constexpr COLORREF kBackColor = RGB(62, 115, 221);

    explicit CZuMonthView(CZuCalendarDoc* doc, QWidget* parent = nullptr);
    ~CZuMonthView() override;

    CZuCalendarDoc* GetDocument() const { return m_doc; }
    void OnInitialUpdate() override;
    bool OnViewCommand(UINT id) override;

    // The cell under a point: 0 to 41 for a day, -(row + 1) for a row's margin, kNoSelection for
    // nothing; with the day (for a margin the row's first day) and the cell's rectangle.
    int HitTest(QPoint pt, SYSTEMTIME* date = nullptr, QRect* rect = nullptr) const;
    // The first day of the grid, the cells and the selection of the last press or tap.
    SYSTEMTIME GridStart() const { return m_cells.DateOf(0); }
    const CDayCells& Cells() const { return m_cells; }
    int Selection() const { return m_selection; }
    int CellWidth() const { return m_cellWidth; }
    int CellHeight() const { return m_cellHeight; }
    // The popup of the last tapped day (null before the first).
    CDlgDayView* DayPopup() const;
    // The view's copy of the items of the last load.
    const std::vector<CalendarItem>& Items() const { return m_items; }

    // The image lists of bitmaps 129, 131, 152, 167 and 200 (an empty list for any other id), for
    // tests that draw with images of their own.
    CZuImageList& Images(UINT bitmap);

    // The entries of "Context2".
    static std::vector<ZuMenuEntry> ContextMenu();

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void OnItemsLoaded();
    void RebuildGrid();
    void PaintCell(QPainter& painter, int cell, bool highlighted);
    void PaintHeader(QPainter& painter);
    QRect CellRect(int cell) const;
    void OnHeld(QPoint pos);
    void OpenPopup();
    // The selected day at the hour, or "no date" (year 0) when no day is selected.
    SYSTEMTIME SelectedDay(int hour) const;

    CZuCalendarDoc* m_doc;
    CDayCells m_cells{kCells};
    SYSTEMTIME m_month{};   // day 1 of the month shown
    std::vector<CalendarItem> m_items;
    ItemCounts m_counts;
    std::vector<bool> m_holiday = std::vector<bool>(kCells, false);

    int m_selection = kNoSelection;
    SYSTEMTIME m_selectedDate{};
    bool m_pressed = false;
    bool m_context = false;
    CZuHoldRecognizer* m_hold = nullptr;

    int m_cellWidth = 0;
    int m_cellHeight = 0;

    CZuImageList m_header;      // 200
    CZuImageList m_weekMarker;  // 167
    CZuImageList m_items8;      // 129
    CZuImageList m_items16;     // 152, the popup's state images
    CZuImageList m_closeBox;    // 131, the popup's close box
    CZuImageList m_none;
    QPointer<CDlgDayView> m_popup;
};
