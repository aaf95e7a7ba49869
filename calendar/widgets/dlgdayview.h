// dlgdayview.h - the popup of one day of the month view: a caption with the date, its lunar date,
// weekday and holiday, a close box, and the list (1012) of the day's items.
//
// The popup is a bordered child of the month view. The caption bar (the system caption height)
// runs from the window colour to the title colour: RGB(204, 62, 210) on a holiday, RGB(62, 210,
// 163) on Sundays and Saturdays, RGB(0, 101, 206) otherwise; the close box (bitmap 131) sits
// 16 x 16 two pixels from its right and top. Each line shows the item's state image (bitmap 152:
// image 0 an appointment, 1 an anniversary or a contact's day, 2 a task) and its subject; a day
// without items has the one line "당일 일정이 없습니다.".
//
// Pen: the close box hides the popup; a press elsewhere on the caption drags it, following every
// fifth move; a tap on a line opens that record's card through the frame the view lives in
// (selector 1 for an appointment, 4 for a task), or for a contact's day a box with its subject
// under the caption "기념일".
#pragma once

#include "holidaytable.h"

#include <optional>

#include "calendaritem.h"
#include "wintypes.h"

#include <QPoint>
#include <QWidget>

#include <vector>

class CDayCells;
class CDayViewList;
class CZuCalendarDoc;
class CZuImageList;

class CDlgDayView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kListId = 1012;
    static constexpr int kNoItem = -1;
    static constexpr int kMoveEvery = 5;
    static constexpr COLORREF kHolidayColor = RGB(204, 62, 210);
    static constexpr COLORREF kWeekendColor = RGB(62, 210, 163);
    static constexpr COLORREF kWeekdayColor = RGB(0, 101, 206);

    CDlgDayView(CZuCalendarDoc* doc, QWidget* parent);
    ~CDlgDayView() override;

    // The items and the day lists the lines refer to (the month view's copies).
    void Bind(const std::vector<CalendarItem>* items, const CDayCells* cells);
    // The state images (bitmap 152) and the close box (bitmap 131).
    void SetImages(const CZuImageList* states, const CZuImageList* closeBox);
    // Fills the caption and the list for a day of the cells; returns the number of lines.
    int Fill(const SYSTEMTIME& date, int cell, const std::optional<DayHoliday>& holiday);

    const CString& Title() const { return m_title; }
    COLORREF TitleColor() const { return m_titleColor; }
    QRect CaptionRect() const;
    QRect CloseBoxRect() const;
    CDayViewList* List() const { return m_list; }
    int LineCount() const;
    CString LineText(int line) const;
    // The item index of a line, kNoItem for the empty day's line or a line that does not exist.
    int LineData(int line) const;
    // The state image of a line: 1 appointment, 2 anniversary or contact's day, 3 task; 0 none.
    int LineState(int line) const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void OpenLine(int line);
    void RedrawView();

    CZuCalendarDoc* m_doc;
    const std::vector<CalendarItem>* m_items = nullptr;
    const CDayCells* m_cells = nullptr;
    const CZuImageList* m_closeBox = nullptr;
    CDayViewList* m_list = nullptr;
    SYSTEMTIME m_date{};
    int m_cell = -1;
    CString m_title;
    COLORREF m_titleColor = kWeekdayColor;
    bool m_dragging = false;
    QPoint m_dragFrom;
    int m_moves = 0;
};
