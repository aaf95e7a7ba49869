// weekstrip.h - the week view's strip of seven days: their dates, today larger, Sunday red and
// Saturday blue, and markers for all-day appointments, anniversaries and tasks.
//
// The strip has a 1-pixel border in its line colour; inside it the time column width stays
// empty at the left and the seven cells share the rest, each (client width - time column) / 7
// wide. A cell shows its day number centred above the markers, in bold "Tahoma" 15 for today and
// 13 otherwise; markers are images 0, 1 and 2 of the 8-pixel list, 10 pixels apart from 14
// pixels left of the cell's centre, along the cell's bottom; a line in the line colour marks each
// cell's left edge. When clickable, a tap right of the time column reports the date of the cell
// under it (the last cell for the leftover pixels at the right).
#pragma once

#include "wintypes.h"

#include <QWidget>

#include <array>

class CZuImageList;

class CZuWeekStrip : public QWidget {
    Q_OBJECT
public:
    static constexpr COLORREF kDefaultBkColor = RGB(184, 212, 249);
    enum Marker { MARK_ALLDAY = 0, MARK_ANNIVERSARY, MARK_TASK, MARK_COUNT };
    using Markers = std::array<std::array<bool, MARK_COUNT>, 7>;

    explicit CZuWeekStrip(QWidget* parent = nullptr, UINT id = 1008);

    void SetTimeColumnWidth(int width);
    int TimeColumnWidth() const { return m_timeWidth; }
    void SetFirstDayOfWeek(int day);
    void SetBkColor(COLORREF color);
    void SetTextColor(COLORREF color);
    void SetLineColor(COLORREF color);
    // The list is the caller's and must outlive the strip (or be set to null first).
    void SetImageList(const CZuImageList* images);
    void SetClickable(bool on) { m_clickable = on; }
    void SetToday(const SYSTEMTIME& today);
    // Shows the week of `date` and returns its first day (00:00).
    SYSTEMTIME SetDate(const SYSTEMTIME& date);
    const SYSTEMTIME& WeekStart() const { return m_weekStart; }
    void SetMarkers(const Markers& markers);
    const Markers& GetMarkers() const { return m_markers; }

    // The inner rectangle of cell i (0 to 6), or an empty one when cells have no width.
    QRect CellRect(int i) const;
    // The cell under x of the strip, -1 left of the cells or when they have no width.
    int CellAt(int x) const;

signals:
    void dateClicked(const SYSTEMTIME& date);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    SYSTEMTIME DayOf(int i) const;

    int m_timeWidth = 0;
    int m_firstDay = 0;
    COLORREF m_clrBk = kDefaultBkColor;
    COLORREF m_clrText = 0;
    COLORREF m_clrLine = 0;
    const CZuImageList* m_images = nullptr;
    bool m_clickable = false;
    int m_pressedCell = -1;
    SYSTEMTIME m_today{};
    SYSTEMTIME m_weekStart{};
    Markers m_markers{};
};
