// cboxselect.h - a horizontal row of equal-width boxes (the day view's bar, the weekday boxes).
//
// Each box holds a text, a 32-bit data value, a check state, an image index (-1 for none) and its
// own background colour. The client width is shared out evenly: box i spans the columns
// [i * w, (i + 1) * w) with w = width / count, except that the last box also takes the columns
// left over at the right, so every column of the client belongs to exactly one box. A control
// narrower than its number of boxes (w = 0) has no box under any column.
//
// Drawing: each box is a rectangle with a 1-pixel border; in check-box style a checked box uses
// the highlight text and background colours, every other box the normal text colour on its own
// background. A box with an image draws it (16 pixels wide) 2 pixels in from its top left corner
// and its text from x 18; texts are shortened with "..." to fit. An empty control shows
// "No Boxes".
//
// Pen: in check-box style a pen-down toggles the box under the pen. With click notification on,
// lifting the pen over a box reports that box (the one under the pen then, not the one pressed):
// WM_NOTIFY goes to the notify window, or to the parent when none is given, as a ZuMessageEvent
// sent (not posted) with wParam the control's id and lParam a pointer to an NMBOXSELECT valid
// during the call; boxClicked is emitted as well.
#pragma once

#include "cstring.h"
#include "windowmessage.h"
#include "wintypes.h"

#include <QPointer>
#include <QWidget>

#include <vector>

class CZuImageList;

// The notify code of a click.
constexpr int NM_CLICK = -2;

// What a click report carries: the control, its id, the code and the box's data value.
struct NMBOXSELECT {
    CWnd* hwndFrom = nullptr;
    UINT idFrom = 0;
    int code = 0;
    DWORD dwData = 0;  // the data value of the box under the pen
};

class CBoxSelect : public QWidget {
    Q_OBJECT
public:
    // id becomes the objectName (0: none).
    explicit CBoxSelect(QWidget* parent = nullptr, UINT id = 0);

    // Appends a box on the control's background colour; returns its index.
    int Add(const CString& text, DWORD data = 0, int image = -1, BOOL check = FALSE);
    // Appends a box with its own background colour; returns its index.
    int Add(const CString& text, DWORD data, int image, BOOL check, COLORREF bkColor);
    // 1 when the box existed and is gone, 0 for an index out of range.
    int RemoveAt(int index);
    void RemoveAll();
    int GetCount() const { return static_cast<int>(m_boxes.size()); }
    // 0 for an index out of range.
    BOOL GetCheck(int index) const;
    // Ignores an index out of range.
    void SetCheck(int index, BOOL check);
    DWORD GetItemData(int index) const;
    CString GetItemText(int index) const;

    void SetCheckBoxStyle(BOOL on);
    // The list is the caller's and must outlive the control (or be set to null first).
    void SetImageList(const CZuImageList* images);
    // Click reports on or off; target null means the parent.
    void SetNotifyClick(BOOL on, CWnd* target = nullptr);

    void SetBkColor(COLORREF c);
    void SetTextColor(COLORREF c);
    void SetHBkColor(COLORREF c);
    void SetHTextColor(COLORREF c);
    void SetBorderColor(COLORREF c);
    COLORREF GetBkColor() const { return m_clrBk; }

    // The box whose span holds x, or -1 (outside the client, no boxes, boxes narrower than a pixel).
    int HitTest(int x) const;
    // The same rule for a client of the given width.
    static int HitTest(int x, int width, int count);
    // The rectangle of box i in client coordinates (empty for an index out of range).
    QRect GetBoxRect(int index) const;

    // Draws every box (or "No Boxes").
    void DrawBox(QPainter* painter);
    // Draws box i.
    void DrawBox(QPainter* painter, int index);
    // Repaints box i on the screen.
    void DrawBox(int index);
    // The text shortened with "..." to fit rect in the painter's font.
    static CString GetEllipsisText(QPainter* painter, const CString& text, QRect rect);

signals:
    void boxClicked(int index, DWORD data);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Box {
        CString text;
        DWORD data = 0;
        BOOL check = FALSE;
        int image = -1;
        COLORREF bk = 0;
    };
    std::vector<Box> m_boxes;
    const CZuImageList* m_images = nullptr;
    BOOL m_checkStyle = FALSE;
    BOOL m_notify = FALSE;
    QPointer<CWnd> m_notifyTarget;
    COLORREF m_clrBk = RGB(255, 255, 255);
    COLORREF m_clrText = RGB(0, 0, 0);
    COLORREF m_clrHBk = RGB(0, 0, 128);
    COLORREF m_clrHText = RGB(255, 255, 255);
    COLORREF m_clrBorder = RGB(128, 128, 128);
};
