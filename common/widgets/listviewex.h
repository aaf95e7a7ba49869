// listviewex.h - the owner-drawn, owner-data list the calendar's list view and the contacts view
// derive from.
//
// Rows are not kept here: the owner sets their number (SetItemCount) and draws each row in
// DrawItem. No row at or beyond the current count is ever drawn, hit or reported, so a count
// that shrinks under the list (a load that finished for another view) never has a row past the end
// read. A new count keeps the scroll position (clamped to the new range) and keeps the selection
// only when its row still exists.
//
// Fonts: "Tahoma" h13 w400 and bold h14 w700 (zufont.h); SetBigFont draws with the bold one.
// Row height: (normal font height + 5) x 2 with the two-line flag (the default, 36), x 1 without.
// Columns have a name and a width; a 0-wide column is hidden.
//
// Drawing a row: its background (the selected colour when selected; highlight mode 0 fills only
// the first column, 1 all columns, 2 the whole row), then DrawItem, then a line in the separator
// colour closing the row at the bottom.
//
// Pen: a press selects the row under it. A tap then reports the row (rowClicked); a still press
// held CZuHoldRecognizer::kHoldMs, or a right-button press, reports a hold (rowHeld, -1 off the
// rows) and the release that follows opens nothing. The vertical scroll bar counts rows; its
// position is told by scrolled() and set by SetScrollPos, so a scroll bar outside the list (the
// calendar frame's left bar) can follow it both ways.
#pragma once

#include "cstring.h"
#include "wintypes.h"

#include <QAbstractScrollArea>
#include <QFont>

#include <vector>

class CZuHoldRecognizer;

// The colours a list draws with. The five the list itself uses, then the program's own table
// in its own order (the indexes below).
struct ZuListColors {
    COLORREF text = 0;
    COLORREF back = 0;
    COLORREF selectedText = 0;
    COLORREF selectedBack = 0;
    COLORREF separator = 0;
    std::vector<COLORREF> table;

    // The calendar's: window text, window, highlight, highlight text, progress frame (255,153,0),
    // progress text and fill (237,28,36), white, selected progress fill (120,161,245), separator
    // lines (the scroll-bar colour), time text (0,0,255).
    enum CalendarColor {
        CAL_TEXT = 0, CAL_BACK, CAL_HIGHLIGHT, CAL_HIGHLIGHTTEXT, CAL_PROGRESSFRAME, CAL_PROGRESS,
        CAL_WHITE, CAL_SELECTEDPROGRESS, CAL_SEPARATOR, CAL_TIMETEXT, CAL_COUNT
    };
    // The contacts program's seven system colours: window text, window, highlight text,
    // highlight, scroll bar, window text, button face.
    enum ContactColor {
        CON_TEXT = 0, CON_BACK, CON_HIGHLIGHTTEXT, CON_HIGHLIGHT, CON_SCROLLBAR, CON_TEXT2,
        CON_BTNFACE, CON_COUNT
    };
    static ZuListColors Calendar();
    static ZuListColors Contacts();

    // The table's colour; black for an index outside it.
    COLORREF At(int index) const;
};

class CListViewEx : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum { HIGHLIGHT_NORMAL = 0, HIGHLIGHT_ALLCOLUMNS = 1, HIGHLIGHT_ROW = 2 };
    static constexpr int kFontHeight = 13;
    static constexpr int kBoldFontHeight = 14;

    explicit CListViewEx(QWidget* parent = nullptr);
    ~CListViewEx() override;

    // Rows.
    void SetItemCount(int count);
    int GetItemCount() const { return m_count; }
    bool IsRow(int row) const { return row >= 0 && row < m_count; }
    // The row under a point of the viewport; -1 off the rows.
    int HitTest(QPoint pos) const;
    // The row's rectangle in the viewport (empty for a row that does not exist).
    QRect RowRect(int row) const;
    int GetRowHeight() const { return m_rowHeight; }
    void SetTwoLine(bool on);
    bool IsTwoLine() const { return m_twoLine; }
    // Redraws one row (nothing for a row that does not exist).
    void RedrawRow(int row);

    // Columns.
    int InsertColumn(int index, const CString& name, int width);
    int GetColumnCount() const { return static_cast<int>(m_columns.size()); }
    CString GetColumnName(int col) const;
    int GetColumnWidth(int col) const;
    void SetColumnWidth(int col, int width);
    // The column's part of a row's rectangle.
    QRect ColumnRect(const QRect& row, int col) const;

    // Selection (single): -1 for none.
    int GetSelectedRow() const { return m_selected; }
    void SetSelectedRow(int row);

    // Highlight mode 0, 1 or 2; a larger (or negative) mode is refused. Returns the old mode.
    int SetHighlightType(int mode);
    int GetHighlightType() const { return m_highlight; }

    // Fonts and colours.
    const QFont& NormalFont() const { return m_normalFont; }
    const QFont& BoldFont() const { return m_boldFont; }
    void SetBigFont(bool on);
    bool IsBigFont() const { return m_bigFont; }
    const QFont& ListFont() const { return m_bigFont ? m_boldFont : m_normalFont; }
    void SetColors(const ZuListColors& colors);
    const ZuListColors& Colors() const { return m_colors; }

    // Scrolling, in rows.
    int GetScrollPos() const;
    int GetScrollMax() const;
    int GetScrollPage() const;
    void SetScrollPos(int pos);

signals:
    void rowClicked(int row);
    void rowHeld(int row, QPoint pos);
    void selectionChanged(int row);
    void scrolled(int pos);

protected:
    // Draws the row's contents over its background; only rows below the count are asked for.
    virtual void DrawItem(QPainter& painter, int row, const QRect& rect, bool selected);

    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    struct Column {
        CString name;
        int width = 0;
    };
    void UpdateScrollRange();
    void OnHeld(QPoint pos);

    std::vector<Column> m_columns;
    ZuListColors m_colors;
    QFont m_normalFont;
    QFont m_boldFont;
    CZuHoldRecognizer* m_hold = nullptr;
    int m_count = 0;
    int m_selected = -1;
    int m_pressedRow = -1;
    int m_highlight = HIGHLIGHT_ALLCOLUMNS;
    int m_rowHeight = 0;
    bool m_twoLine = true;
    bool m_bigFont = false;
};
