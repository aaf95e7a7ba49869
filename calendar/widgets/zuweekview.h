// zuweekview.h - the week type's graphic view: the week strip, the hour grid of the week hours
// and an appointment box over the hours of each timed appointment, side by side with those it
// overlaps.
//
// Layout (view width cx, height cy): the strip (1008) at (0, -1), cx x 28; the grid (1010) at
// (0, 28), cx x (cy - 28), with the columns "Time" and seven days; one row per shown hour, of
// (cy - 28) / hours pixels (the previous height when that is below 1). Widths and the font by the
// number of hours: more than 18: time 9, days 33, font 10; less than 14: 16, 32, 14; else 9, 33,
// 12 ("Tahoma" w400).
//
// Loads (WM_ITEMS_LOADED; wParam 1: the week hours changed, widths and rows are computed again):
// the pressed box is released and the label hidden first; the strip shows the document's current
// date and its markers; each day's entries of the document's layout are placed by the view's own
// overlap placer; boxes are reused and the surplus destroyed.
//
// Pen: a tap on a box shows its subject and time in the frame's label (a second tap hides it); a
// tap on the label opens the record card; a press on the grid releases the pressed box and a tap
// hides the label; a strip tap opens that day in the day view; holds give "Context0" (grid) and
// "Context1" (box).
#pragma once

#include "widgets/overlapplacer.h"
#include "zutimedview.h"

#include <memory>

class CZuHourGrid;
class CZuImageList;
class CZuWeekStrip;

class CZuWeekView : public CZuTimedView {
    Q_OBJECT
public:
    static constexpr int kStripHeight = 28;
    static constexpr COLORREF kAfternoonColor = RGB(255, 252, 190);

    explicit CZuWeekView(CZuCalendarDoc* doc, QWidget* parent = nullptr);
    ~CZuWeekView() override;

    void OnInitialUpdate() override;
    bool OnViewCommand(UINT id) override;

    // The images the view draws with (tests give synthetic ones); the view's own when null.
    void SetImageList(const CZuImageList* items8);

    CZuWeekStrip* Strip() const { return m_strip; }
    CZuHourGrid* Grid() const { return m_grid; }
    int TimeColumnWidth() const { return m_timeWidth; }
    int DayColumnWidth() const { return m_dayWidth; }
    int FontHeight() const { return m_fontHeight; }
    int StartHour() const { return m_startHour; }
    int Hours() const { return m_hours; }
    const SYSTEMTIME& WeekStart() const { return m_weekStart; }
    // The widths and font height for a number of shown hours.
    static void WidthsFor(int hours, int& timeWidth, int& dayWidth, int& fontHeight);

protected:
    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool Target(SYSTEMTIME& target) const override;
    void OnBoxClicked(CAppointment* box, const BoxItem& item) override;

private:
    void ComputeWidths();
    void LayoutChildren();
    void OnItemsLoaded(WPARAM wParam);
    void SetStripMarkers();
    void PlaceAppointments();
    void DrawRow(QPainter& p, int row, const QRect& rect, int column);
    void HideLabel();
    void PositionBoxes();

    struct PlacedBox {
        int day = 0;
        OverlapPlacement place;
    };

    CZuWeekStrip* m_strip = nullptr;
    CZuHourGrid* m_grid = nullptr;
    std::unique_ptr<CZuImageList> m_ownImages;
    const CZuImageList* m_images = nullptr;
    COverlapPlacer m_placer;
    std::vector<PlacedBox> m_placed;  // one per box
    SYSTEMTIME m_weekStart{};
    RecordId m_selectedId;  // the record of the label
    FILETIME m_selectedStart{};  // and the start of its occurrence
    int m_startHour = 6;
    int m_hours = 18;
    int m_timeWidth = 9;
    int m_dayWidth = 33;
    int m_fontHeight = 12;
    bool m_loaded = false;
};
