// fieldlistctrl.h - the list of the editor's pages (and, read-only, of the card's rows).
//
// Columns "Header" (75), "Value" (150) and "PropID" (0 wide: the property identifier as "%ld");
// font "Tahoma" 14 px weight 400; rows 21 px (one and a half times the font). In the editor the
// list works on the editor's data record; a tap on a row looks at its property:
// - 0x0016 (categories): categoryRequested (the page brings the category list forward);
// - 0x4001 / 0x4003: the row is selected; a tap in the value cell's rightmost 20 px toggles the
//   lunar flag (the marker "음" there turns blue); any other tap puts the date picker (2500) over
//   the value cell with the stored date or today, and "지우기" (2501) beside it, which removes
//   the date with its lunar flag;
// - 0x8200 (picture): nothing (the picture page edits it);
// - group rows: nothing, except the display-name group;
// - anything else, and the display-name group: the keypad comes up (PPC_KeypadUp) and the edit
//   1012 lies over the value cell with the text, all of it selected. Ending the edit stores the
//   text (an empty text empties the field); on the display-name row the split rule sets last
//   and first name and nameChanged is emitted.
#pragma once

#include "cstring.h"
#include "wintypes.h"

#include <QPointer>
#include <QTableWidget>
#include <vector>

#include "widgets/editex.h"
#include "widgets/zudatetimectrl.h"

#include <QPushButton>

class CContactData;
class CFieldInfo;

class CFieldListCtrl : public QTableWidget {
    Q_OBJECT
public:
    static constexpr int kHeaderWidth = 75;
    static constexpr int kValueWidth = 150;
    static constexpr int kRowHeight = 21;
    static constexpr int kLunarWidth = 20;

    explicit CFieldListCtrl(QWidget* parent = nullptr, UINT id = 0);

    // The editor's rows: the displayed entries first..last of the field table, on `data`.
    void SetFields(CContactData* data, int first, int last);
    // The card's rows (label, value), not editable.
    void SetTextRows(const std::vector<std::pair<CString, CString>>& rows);
    // Reads every value again from the data record.
    void RefreshValues();
    // Ends an edit in progress (storing its text).
    void EndEdit();

    int RowOfIdent(WORD ident) const;  // -1 when not listed
    WORD IdentOfRow(int row) const;
    CString ValueText(int row) const;
    // The value cell of a row in viewport coordinates.
    QRect ValueRect(int row) const;
    CEditEx* GetEdit() const { return m_edit; }
    CZUDateTimeCtrl* GetPicker() const { return m_picker; }
    QPushButton* GetClearButton() const { return m_clear; }

    // A tap at a point of the viewport, as the pen gives it.
    void OnTap(const QPoint& pos);

signals:
    void categoryRequested();
    void nameChanged();
    void valueChanged(WORD ident);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    struct Row {
        const CFieldInfo* field = nullptr;  // null: a card row
    };
    void addRow(const CString& label, const CString& value, DWORD propId);
    void startEdit(int row);
    void startPicker(int row);
    void hideEditors();
    void commitEdit();
    void setDate(QDate date);
    bool isNameGroup(int row) const;

    CContactData* m_data = nullptr;
    std::vector<Row> m_rows;
    QPointer<CEditEx> m_edit;
    QPointer<CZUDateTimeCtrl> m_picker;
    QPointer<QPushButton> m_clear;
    int m_editRow = -1;
    int m_pickerRow = -1;
};
