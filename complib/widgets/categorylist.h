// categorylist.h - the page "그룹선택": the categories with check boxes, giving a record's bitmap.
//
// The page (template 134) lists the categories of "\Categories Database" in the database's order,
// one row each with a check box, in an owner-drawn list (control 1032). A click on a row toggles
// its check. Rows of a hidden category (shown flag 0x4003 = 0) appear only with "show hidden", as
// the name followed by " (not in Category List)" (string 65109); the filter bits leave out the
// categories that no appointment (1), contact (2) or task (4) carries.
//
// Preselected are the bits of: the bitmap given to the list's (re)load, else the category bitmap
// (0x0016) of the record set with SetListOption, else the initial bitmap given to SetListOption
// (copied: the caller's buffer may go away).
//
// The page opens the categories database when it is first shown and keeps it open, with itself
// as the notification window, until it is deleted: when any program creates, changes or deletes
// a category the page stores its checks, reloads and checks the same indices again.
//
// Results (see categoryrecords.h for the bitmap's size):
// - GetCategories(CEBLOB*): the bitmap of the checked rows as stored by the last OnApply or
//   OnKillActive with auto-save (the returned count is the number of checked categories); a page
//   that was never shown gives back what it was given, byte for byte: the record's stored bitmap,
//   else a copy of the initial one (the count is then the byte count). -1 for a null pointer. The
//   buffer comes from LocalAlloc; the caller frees it with LocalFree; a buffer already in the
//   CEBLOB is freed first.
// - GetCategories(CArray<_tabCATEGORYMENU>*): one entry per checked category, command 301 + its
//   position among them.
#pragma once

#include "carray.h"
#include "cedbdatabase.h"
#include "cstring.h"
#include "wintypes.h"
#include "widgets/propertypage.h"
#include "widgets/propertysheet.h"  // the page's QPointer needs the whole sheet

#include <vector>

class CListViewEx;
class QPainter;

// A category as a menu entry: the command that stands for it and its index.
struct _tabCATEGORYMENU {
    UINT nCmdId = 0;  // 301 + position among the checked categories
    int nIndex = 0;   // category index (0x4002)
};

class CCategoryList : public CPropertyPage {
    Q_OBJECT
public:
    static constexpr UINT kTemplateId = 134;
    static constexpr UINT kListId = 1032;
    static constexpr UINT kFirstMenuCommand = 301;

    CCategoryList();
    ~CCategoryList() override;

    // Before the page is shown.
    void SetListOption(int filterFlags, BOOL showHidden);
    void SetListOption(DWORD recordOid, int selector, BOOL showHidden);
    void SetListOption(const CEBLOB* initial, int filterFlags, BOOL showHidden);

    int GetCategories(CEBLOB* blob);
    int GetCategories(CArray<_tabCATEGORYMENU>* categories);
    // The bitmap refreshed each time the page is left; null turns it off (returns 0, else 1).
    int SetAutoSave(CEBLOB* blob);

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    BOOL OnApply() override;

    // The rows as shown (for the benchmark and the tests).
    int GetRowCount() const { return static_cast<int>(m_rows.size()); }
    CString GetRowText(int row) const;
    int GetRowIndex(int row) const;
    bool IsRowChecked(int row) const;
    CListViewEx* GetListControl() const { return m_list; }

protected:
    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    friend class ZuCategoryListCtrl;
    struct Row {
        CString text;
        int index = 0;
        bool checked = false;
    };

    void InitCategoryList(const std::vector<BYTE>* blob);
    void SaveSelCatyIndex();
    void OnClickListCategory(int row);
    void OnNotifyDBChange();
    void DrawItem(QPainter& p, int row, const QRect& rect, bool selected);
    // The bitmap the rows are checked from when no other is given.
    std::vector<BYTE> storedBitmap() const;
    std::vector<BYTE> selectionBitmap() const;

    CListViewEx* m_list = nullptr;
    CCeDBDatabase m_categories;
    int m_filterFlags = 0;
    BOOL m_showHidden = FALSE;
    DWORD m_recordOid = 0;
    int m_selector = 0;
    std::vector<BYTE> m_initialBlob;
    std::vector<int> m_selection;  // indices of the checked rows, in row order
    bool m_selectionTaken = false; // m_selection holds what a shown page stored
    int m_highestIndex = -1;
    BOOL m_notInitialised = TRUE;
    CEBLOB* m_autoSave = nullptr;
    std::vector<Row> m_rows;
};
