// zudayview.h - the day type's graphic view: a box of the day's all-day entries, the header
// picture, and an hour grid of twelve rows, "AM" on the left and "PM" on the right, with an
// appointment box over the hours of each timed appointment; one that runs across noon is two
// linked pieces, one in each column.
//
// Layout (view width w, height h): with no entry the box is hidden, the picture (0xFFFF, bitmap
// 210) at (0, -1, w, 17) and the grid (1006) at (0, 16, w, h - 17); otherwise the box (1007) at
// (0, -1, w, 22), the picture at (0, 20, w, 19) and the grid at (0, 40, w, h - 41). Rows are
// c - 1 high with c = (h - 22, or h with the box empty) / 12 (the previous height when that is
// below 1); the half height is 12 rows, the half width w / 2.
//
// The box lists at most six entries, in item order, from the items after the timed ones: all-day
// appointments (246,193,217) image 0, anniversaries and contacts' days (193,203,246) image 1,
// tasks with a due date (193,246,214) image 2 (the 16-pixel list); a tap opens the card, or for a
// contact's day a box with its subject and "기념일".
//
// The boxes of the timed appointments share, per overlap group, the columns from x 18 to the half
// width (the PM column: the same plus the half width) and show their subjects; a tap opens the
// card at once. A load that arrives before the view has a width waits for the first size.
#pragma once

#include "widgets/overlapplacer.h"
#include "zutimedview.h"

#include <memory>

class CBoxSelect;
class CZuHourGrid;
class CZuImageList;
class QLabel;

class CZuDayView : public CZuTimedView {
    Q_OBJECT
public:
    static constexpr int kMaxEntries = 6;
    static constexpr int kBoxLeft = 18;
    static constexpr COLORREF kAfternoonColor = RGB(255, 252, 190);
    static constexpr COLORREF kAllDayColor = RGB(246, 193, 217);
    static constexpr COLORREF kAnniversaryColor = RGB(193, 203, 246);
    static constexpr COLORREF kTaskColor = RGB(193, 246, 214);

    explicit CZuDayView(CZuCalendarDoc* doc, QWidget* parent = nullptr);
    ~CZuDayView() override;

    void OnInitialUpdate() override;

    // The images the view draws with (tests give synthetic ones); the view's own when null.
    void SetImageList(const CZuImageList* items16);

    CBoxSelect* AllDayBox() const { return m_box; }
    QLabel* HeaderPicture() const { return m_picture; }
    CZuHourGrid* Grid() const { return m_grid; }
    int RowHeight() const { return m_rowHeight; }
    int HalfHeight() const { return 12 * m_rowHeight; }
    int HalfWidth() const { return width() / 2; }
    bool LoadDeferred() const { return m_deferred; }

protected:
    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool Target(SYSTEMTIME& target) const override;
    void OnBoxClicked(CAppointment* box, const BoxItem& item) override;

private:
    enum Piece { WHOLE = 0, MORNING_PIECE, AFTERNOON_PIECE };
    struct PlacedBox {
        OverlapPlacement place;
        Piece piece = WHOLE;
    };

    void LayoutChildren();
    void OnItemsLoaded();
    void FillAllDayBox();
    void PlaceAppointments();
    void PositionBoxes();
    void DrawRow(QPainter& p, int row, const QRect& rect, int column);
    void OnEntryClicked(int entry);

    CBoxSelect* m_box = nullptr;
    QLabel* m_picture = nullptr;
    CZuHourGrid* m_grid = nullptr;
    std::unique_ptr<CZuImageList> m_ownImages;
    COverlapPlacer m_placer;
    std::vector<PlacedBox> m_placed;  // one per box
    std::vector<BoxItem> m_entries;   // one per all-day entry
    int m_rowHeight = 20;
    bool m_deferred = false;
    bool m_loaded = false;
};
