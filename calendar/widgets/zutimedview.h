// zutimedview.h - what the week and day views share: their appointment boxes, the record under
// the pen, the context menus and the record commands.
//
// Boxes are reused from load to load (BoxAt) and the surplus destroyed (DropBoxesFrom); a reused
// box comes back unpressed, unpaired and without text. Each box keeps what the view needs of its
// item (identity, subject, time text, status) from the load that placed it, so a tap never reads
// items another view's load may have replaced since. Clicks reach the view as the boxes' click
// reports (WM_NOTIFY, routed by the box that sent it) and holds as their held() signal.
//
// Record commands act by identity: the (kind, oid) of the box's item is taken when its menu
// opens or the command starts, and just before acting (after the question) it is looked up in
// the items of the moment; a record that is no longer there is left alone.
#pragma once

#include "calendarview.h"
#include "cedbdatabase.h"
#include "cstring.h"
#include "wintypes.h"

#include <QWidget>

#include <vector>

class CAppointment;
class CZuCalendarDoc;
class ICalendarFrame;
struct CalendarItem;

class CZuTimedView : public QWidget, public ICalendarView {
    Q_OBJECT
public:
    CZuCalendarDoc* GetDocument() const { return m_doc; }
    bool OnViewCommand(UINT id) override;

    // The boxes of the last load, in placing order.
    const std::vector<CAppointment*>& Boxes() const { return m_boxes; }
    // The item index of the selected appointment (-1 for none).
    int SelectedAppointment() const { return m_selected; }

protected:
    struct RecordId {
        int kind = 0;
        CEOID oid = 0;
        bool IsValid() const { return kind != 0; }
    };

    // What a box shows, taken from its item when it was placed.
    struct BoxItem {
        RecordId id;
        CString subject;
        CString timeText;
        int status = 2;
        FILETIME start{};  // local start of the item's occurrence
    };

    CZuTimedView(CZuCalendarDoc* doc, QWidget* parent);
    ~CZuTimedView() override;

    // The frame that holds this view (the first ancestor that is one), or null.
    ICalendarFrame* Frame() const;
    // The item at index, or null when the index is outside the items.
    const CalendarItem* Item(int index) const;
    int IndexOf(const RecordId& id) const;

    // The n-th box as a child of `grid`, made when there are fewer, reset when reused, showing
    // item `index` (a valid index) unpressed in its busy colours.
    CAppointment* BoxAt(size_t n, QWidget* grid, int index);
    // What box shows; null for a box that is not this view's.
    const BoxItem* BoxItemOf(const CAppointment* box) const;
    void DropBoxesFrom(size_t n);
    // Releases the pressed box when it is one of this view's.
    void ReleasePressedBox();
    CAppointment* PressedBox() const;

    // The date and hour of the last press on the grid; false when it hit no row.
    virtual bool Target(SYSTEMTIME& target) const = 0;
    // A tap on one of the view's boxes.
    virtual void OnBoxClicked(CAppointment* box, const BoxItem& item) = 0;

    void ShowGridMenu(QPoint globalPos);
    void ShowBoxMenu(CAppointment* box, QPoint globalPos);
    // Runs a record command on `record` (for cut, copy and delete) and the current target.
    bool RunCommand(UINT id, const RecordId& record);

    bool event(QEvent* e) override;

    CZuCalendarDoc* m_doc;
    std::vector<CAppointment*> m_boxes;
    std::vector<BoxItem> m_boxItems;  // one per box
    int m_selected = -1;
};
