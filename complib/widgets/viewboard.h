// viewboard.h - the view board: the read-only card of one appointment or task (template 177).
//
// From the top: the bold title (the subject) with the icon of the kind of entry beside it, the rows
// of labelled values, and, when the record carries an ink note and the ink library is there, the
// note in an ink window below the rows with the expand button (1042) that lets it cover the rows.
// The command bar along the bottom holds Edit (1043, "편집"), Delete (32886) and OK (1).
//
// | where              | value                                                                  |
// |--------------------|------------------------------------------------------------------------|
// | size               | 240 × 257: the template's 139 × 142 dialog units over the 26-px bar     |
// | title              | static 1041 at (20, 0), 218 × 30; bold "Tahoma" 14, window background   |
// | icon               | bitmap 152 (16 px, mask white) at (2, 7): 0 appointment, 1 anniversary, |
// |                    | 2 task                                                                 |
// | rows top           | title top + 30; each row 15 px, the attendee, category and recurrence   |
// |                    | rows as high as their text (word break, x 70 to the right edge, ≤ 45)   |
// | label / value      | x 5–70 in COLORREF 0x00F50A00 / x 70–240 in the window-text colour      |
// | note top           | rows top + rows × 15 + 5                                               |
// | expand button 1042 | 15 × 15 at the right edge: bitmap 174 just above the note top while the |
// |                    | note lies below the rows (expanded, the first state), bitmap 173 just   |
// |                    | above the rows top while the note covers the rows (collapsed)          |
// | bar                | RGB(120,161,245); edit 165/164 at (2, 2) 29 × 19, delete 167/166 at     |
// |                    | (35, 2) 29 × 19, a separator, OK with bitmap 149                       |
//
// The board reads the record through a database object of its own, opened with notification
// to itself (never the caller's, which the calendar's loading thread may be using): a change to
// the record rebuilds the rows, its deletion ends the board with IDOK.
//
// Given the local start of the occurrence the user chose, a recurring record shows that
// occurrence's dates (start, end, reminder).
//
// - Edit: the appointment or task editor with an empty caption; saved, the board rebuilds its
//   rows; a save that failed (the user was told) closes the board with IDCANCEL.
// - Delete: "이벤트를 지우시겠습니까?" (OK / Cancel). On OK a single record is deleted with its
//   reminder and category references; for an occurrence of a recurring appointment a menu asks
//   "이 일정만" (the occurrence's date joins the skipped dates, in one store batch) or
//   "모든 반복 일정" (the record goes). Done, the board ends with IDOK; a delete that failed says
//   "이벤트를 지우지 못했습니다." and the board stays.
// - OK ends the board with IDOK; closing it ends it with IDCANCEL.
// Stored values out of range are clamped: busy status 0x000F to 0–3, importance 0x0026 to 1–3.
#pragma once

#include "cedbdatabase.h"
#include "cstring.h"
#include "wintypes.h"
#include "widgets/zuimagelist.h"

#include <QDialog>
#include <QPointer>

#include <optional>
#include <vector>

class CCeButtonST;
class CCeCommandBarEx;
class CLabel;

class CViewBoard : public QDialog {
    Q_OBJECT
public:
    static constexpr UINT kTemplateId = 177;
    static constexpr UINT IDC_TITLE = 1041;
    static constexpr UINT IDC_EXPAND = 1042;
    static constexpr UINT ID_EDIT = 1043;
    static constexpr UINT ID_DELETE = 32886;
    static constexpr UINT ID_OK = 1;
    static constexpr UINT ID_DELETE_ONE = 1;    // the menu's "이 일정만"
    static constexpr UINT ID_DELETE_ALL = 2;    // the menu's "모든 반복 일정"
    static constexpr int kWidth = 240;
    // Like the record editor, the board covers the whole program window.
    static constexpr int kHeight = 294;
    static constexpr int kRowHeight = 15;
    static constexpr int kLongRowMax = 45;
    static constexpr int kValueLeft = 70;
    static constexpr COLORREF kLabelColor = 0x00F50A00;

    // `database` is the caller's open database of the record; the board does not use it (see
    // above). `occurrence`: the local start of the occurrence shown, null for the record's own.
    CViewBoard(DWORD oid, CCeDBDatabase* database, int selector, QWidget* parent = nullptr,
               const FILETIME* occurrence = nullptr);
    ~CViewBoard() override;

    int DoModal();

    CString GetTitle() const { return m_title; }
    int GetIconIndex() const { return m_iconIndex; }
    int GetRowCount() const { return static_cast<int>(m_labels.size()); }
    CString GetLabel(int row) const;
    // The value as the board draws it (a long row cut to one line beside a note).
    CString GetValue(int row) const;
    int GetRowHeight(int row) const;
    BOOL IsNoteExpanded() const { return m_bExpanded; }
    int GetRowsTop() const { return m_rowsTop; }
    int GetNoteTop() const { return m_noteTop; }
    QWidget* GetInkWindow() const { return m_ink; }
    QWidget* GetExpandButton() const;
    CCeCommandBarEx* GetCommandBar() const;
    QWidget* GetEditButton() const;
    QWidget* GetDeleteButton() const;

    void OnEditEvent();
    void OnDeleteEvent();
    void OnButtonExpand();
    void reject() override;

protected:
    BOOL OnInitDialog();
    // Rebuilds the title, the rows and the note; FALSE when the record cannot be read (the board
    // then shows only its frame).
    BOOL InitViewBoard();
    void ResetDisplayInfo();
    void ExpandInkXWindow(BOOL expanded);
    // The bar's first button gets the command and the text of string `stringId`.
    void ChangeSharedButton(UINT stringId, UINT commandId, BOOL show);
    void OnNotifyDBChange(UINT message, CEOID oid);

    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void addRow(const CString& label, const CString& value, int* longRow = nullptr);
    void buildAppointment(const CCeDBRecord& record);
    void buildTask(const CCeDBRecord& record);
    void buildCommon(const CCeDBRecord& record, WORD recurringId, WORD patternId, UINT patternKind);
    void buildNote(const CCeDBRecord& record);
    void measureLongRows();
    int rowsBottom() const;
    bool deleteWhole();
    bool skipOccurrence();
    void closeInk();

    DWORD m_oid = 0;
    int m_selector = 1;
    std::optional<FILETIME> m_occurrence;  // local start of the occurrence shown
    int m_iconIndex = 0;
    CCeDBDatabase m_db;                    // the board's own, notifying it
    CString m_title;
    std::vector<CString> m_labels;
    std::vector<CString> m_values;
    std::vector<int> m_heights;            // per row, in pixels
    int m_attendeeRow = -1;
    int m_categoryRow = -1;
    int m_recurRow = -1;
    bool m_recurring = false;
    bool m_lunar = false;
    BOOL m_bExpanded = TRUE;
    int m_rowsTop = 30;
    int m_noteTop = 35;
    bool m_hasNote = false;
    QPointer<CLabel> m_titleLabel;
    QPointer<CCeCommandBarEx> m_bar;
    CZuImageList m_barImages;
    QPointer<CCeButtonST> m_edit;
    QPointer<CCeButtonST> m_delete;
    QPointer<CCeButtonST> m_expand;
    QPointer<QWidget> m_ink;
    CZuImageList m_icons;
};
