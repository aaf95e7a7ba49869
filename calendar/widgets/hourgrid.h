// hourgrid.h - the owner-drawn hour grid of the week and day views: rows of equal height, fixed
// column widths, one selected cell, and taps and holds of the stylus.
//
// The owner draws each row (SetRowPainter); the grid fills what lies below the rows with its
// background colour. A press on a row selects the cell under it (row, column by the column
// widths; x right of the last column counts as the last), tells pressed() first, then a tap
// gives clicked() and a still press held CZuHoldRecognizer::kHoldMs, or a right-button press,
// gives held() with the global point. A press below the rows selects no cell. The appointment
// boxes are the grid's children and take their own presses.
#pragma once

#include "wintypes.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <vector>

class CZuHoldRecognizer;

class CZuHourGrid : public QWidget {
    Q_OBJECT
public:
    // Paints row `row` in `rect`; `column` is the selected column in the selected row, else -1.
    using RowPainter = std::function<void(QPainter& painter, int row, const QRect& rect, int column)>;

    explicit CZuHourGrid(QWidget* parent = nullptr, UINT id = 0);

    void SetRowPainter(RowPainter painter) { m_painter = std::move(painter); }
    void SetColumnWidths(std::vector<int> widths);
    // The columns' names (the grid shows no header; they name the columns for the owner).
    void SetColumnNames(QStringList names) { m_names = std::move(names); }
    const QStringList& ColumnNames() const { return m_names; }
    const std::vector<int>& ColumnWidths() const { return m_widths; }
    // The left edge of a column (the sum of the widths before it).
    int ColumnLeft(int column) const;
    void SetRowCount(int rows);
    int RowCount() const { return m_rows; }
    // A height below 1 is refused (the previous one stays).
    void SetRowHeight(int height);
    int RowHeight() const { return m_rowHeight; }
    void SetBkColor(COLORREF color);

    // The cell of the last press, or -1 / -1 when it hit no row.
    int SelectedRow() const { return m_selRow; }
    int SelectedColumn() const { return m_selCol; }
    void ClearSelection();
    // Row and column under a point of the grid; row -1 below the rows or outside.
    int RowAt(QPoint pos) const;
    int ColumnAt(int x) const;

signals:
    void pressed(int row, int column);
    void clicked(int row, int column);
    void held(int row, int column, QPoint globalPos);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    RowPainter m_painter;
    std::vector<int> m_widths;
    QStringList m_names;
    CZuHoldRecognizer* m_hold = nullptr;
    int m_rows = 0;
    int m_rowHeight = 20;
    int m_selRow = -1;
    int m_selCol = -1;
    COLORREF m_clrBk = 0;
};
