// zucalendarview.h - the list style's view: one two-line row per item of the document.
//
// Rows are the document's items in their order; the view keeps none of them and asks Items() at
// every paint, for rows below both its row count and the item count (a load that finished for
// another view may have shrunk the list under it; itemsChanged() brings the count back in step).
//
// A row: on its first line the kind's image (only on row 0, on the first anniversary-class row and
// on the first task row), a task's priority image 17 px to the right of it (on every task, when the
// image list has it), the subject cut with "..." (bold with the big-font option); in the 30-px
// progress column a task's percent as a bar (task status-bar option) or as red text; on the second
// line the time text in blue, split before "(" into two parts drawn one after the other.
//
// Pen: a tap on the selected row opens the record card of an appointment (1) or a task (4), or a
// box with a contact's day; a hold opens "Context0" with its entries enabled for the held row. The
// record commands act on the record (kind, oid) resolved when the menu opened or, from the frame's
// menus, on the selected record; a record that is gone meanwhile is left alone.
//
// Layout: the first column takes the width less the 30-px progress column. With the left-scroll
// option on and more rows than fit, the frame's left scroll bar stands at the view's left edge
// over its full height, the view's own bar is hidden, and the two follow each other. While the
// view is hidden (another view shows) it leaves the bar alone and lays itself out when it shows.
//
// Start-up timing: with ZUPIMS_REPORT_FIRST_PAINT set, the first paint after the first
// WM_ITEMS_LOADED writes "first-paint <ms>" (CLOCK_MONOTONIC) to standard error, once.
#pragma once

#include "calendarview.h"
#include "widgets/listviewex.h"
#include "widgets/zuimagelist.h"

#include "cedbdatabase.h"

#include <QPointer>
#include <QSize>
#include <QString>

#include <vector>

class CZuCalendarDoc;
class ICalendarFrame;
class QScrollBar;

class CZuCalendarView : public CListViewEx, public ICalendarView {
    Q_OBJECT
public:
    static constexpr int kProgressWidth = 30;  // the "TaskStatus" column and its bar
    static constexpr int kStateImageOffset = 17;

    explicit CZuCalendarView(CZuCalendarDoc* doc, QWidget* parent = nullptr);
    ~CZuCalendarView() override;

    CZuCalendarDoc* GetDocument() const { return m_doc; }
    void OnInitialUpdate() override;
    bool OnViewCommand(UINT id) override;

    // The big-font option: the bold font for the rows, or the normal one.
    void SetListBigFont(bool big);
    // Applies the layout again when the size, the need of a scroll bar or the document's
    // layout-changed flag changed since the last time (the flag is cleared).
    void RecalcLayout();
    // The images the rows draw (bitmap 152 by default).
    void SetImageList(const CZuImageList& images);
    const CZuImageList& ImageList() const { return m_images; }

    // The program that started this one passes its main window's handle (decimal) as the first
    // argument; when that window is live it gets WM_CLOSE. Garbage or a dead handle does nothing.
    // True when WM_CLOSE was sent.
    static bool CloseLauncher(const QString& argument);

protected:
    bool event(QEvent* e) override;
    void DrawItem(QPainter& painter, int row, const QRect& rect, bool selected) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool viewportEvent(QEvent* e) override;

private:
    // A record as the commands name it.
    struct Target {
        int kind = 0;
        CEOID oid = 0;
        FILETIME start{};
        bool valid() const { return kind != 0; }
    };
    Target TargetOf(int row) const;
    int RowOf(const Target& target) const;
    void SyncRows();
    void OnClicked(int row);
    void OnHeld(int row, QPoint pos);
    bool RunCommand(UINT id, const Target& target);
    ICalendarFrame* Frame() const;
    void ConnectLeftBar(QScrollBar* bar);

    CZuCalendarDoc* m_doc;
    CZuImageList m_images;
    // The subjects as drawn (cut with "..."), by row, for the width and font they were cut for;
    // emptied whenever the items change.
    std::vector<QString> m_subjects;
    std::vector<bool> m_subjectCut;
    int m_subjectWidth = -1;
    bool m_subjectBig = false;
    Target m_selected;         // the record of the selected row
    QPointer<QScrollBar> m_leftBar;
    QSize m_layoutSize;        // what the last layout was made for
    bool m_layoutScroll = false;
    bool m_laidOut = false;
    bool m_loaded = false;     // WM_ITEMS_LOADED seen
    bool m_firstPaintDone = false;
};
