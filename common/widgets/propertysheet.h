// propertysheet.h - a tabbed dialog of property pages (propertypage.h).
//
// The sheet is 240 × 294 logical pixels: the active page fills the page area at the top
// (GetPageRect), the tab strip lies below it and the command bar (SetCommandBar) along the bottom.
// The sheet never owns its pages: the caller creates them, adds them with AddPage in tab order,
// runs DoModal and reads the pages after it returned; pages outlive the sheet.
//
// DoModal runs through the modal seam (modaldialog.h), so tests drive the sheet as a user would:
// 1. OnInitDialog (virtual; derived sheets call the base first): the base makes the tab strip with
//    one tab per page, its text the page's caption; derived sheets add their command bar
//    (SetCommandBar), replace the tab strip with their own control (SubclassTabControl) and
//    decorate the tabs.
// 2. Then the first page is activated: the index given at construction, or page 0 when that
//    index is out of range. Activation creates a page on first use (propertypage.h).
// 3. Commands: WM_COMMAND from the sheet's children (the command bar's buttons) reach OnCommand.
//    The base answers IDOK (1) with OnOK and IDCANCEL (2) with a cancel; Esc and closing the
//    window cancel too.
//    - OnOK (virtual): the active page's OnKillActive (FALSE keeps the sheet open), then OnApply
//      of every page that has a window, in page order, then done(IDOK).
//    - Cancel: OnCancel of every page that has a window, then done(IDCANCEL).
// 4. When the run ends: OnDestroy (virtual), the pages are taken out (they lose their window),
//    the tab strip and the command bar are deleted; DoModal returns the result (IDOK, IDCANCEL or
//    what was given to done()).
#pragma once

#include "cstring.h"
#include "wintypes.h"
#include "zumodule.h"

#include <QDialog>
#include <QPointer>
#include <QTabBar>

#include <vector>

class CPropertyPage;


class CPropertySheet : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 240;
    static constexpr int kHeight = 294;

    // The caption is the string `captionId` of `module`'s table.
    CPropertySheet(UINT captionId, ZuModule module, QWidget* parent = nullptr, UINT selectPage = 0);
    explicit CPropertySheet(const CString& caption, QWidget* parent = nullptr, UINT selectPage = 0);
    ~CPropertySheet() override;

    // Appends a page (null is ignored, a page already in the sheet too). While the sheet runs the
    // page gets its tab at once.
    void AddPage(CPropertyPage* page);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    // Null for an index out of range.
    CPropertyPage* GetPage(int index) const;
    // -1 for a page not in the sheet.
    int GetPageIndex(const CPropertyPage* page) const;
    // The index given at construction.
    UINT GetFirstPage() const { return m_selectPage; }

    // The active page and its index (null and -1 before the sheet runs).
    CPropertyPage* GetActivePage() const { return GetPage(m_active); }
    int GetActiveIndex() const { return m_active; }
    // Leaves the active page (OnKillActive; FALSE refuses the change) and shows the page of that
    // index, creating it on its first activation; FALSE when refused, out of range or not
    // running. Tapping a tab does the same.
    BOOL SetActivePage(int index);
    BOOL SetActivePage(CPropertyPage* page) { return SetActivePage(GetPageIndex(page)); }

    // The tab strip while the sheet runs, else null.
    QTabBar* GetTabControl() const { return m_tabs; }
    // Replaces the tab strip with `tabs` (the sheet takes it as a child and deletes it when the run
    // ends); the tabs keep their texts, icons and the current tab.
    void SubclassTabControl(QTabBar* tabs);
    // Shows or hides the tab strip (a wizard has none); the page area grows into its place.
    void SetTabsVisible(bool visible);
    // Sets a tab's text (nothing for an index out of range).
    void SetPageTabText(int index, const CString& text);
    // The bar laid along the bottom, the sheet's child until the run ends (null: none).
    void SetCommandBar(QWidget* bar);
    QWidget* GetCommandBar() const { return m_bar; }
    // Where pages are shown, in the sheet's coordinates.
    QRect GetPageRect() const;

    // Runs the sheet modally through the modal seam and returns its result.
    int DoModal();
    // OnApply of the pages in page order: only those with a window, or every page; FALSE when a
    // page returned FALSE (the others are still applied).
    BOOL ApplyPages(bool alsoWithoutWindow = false);

    // Ok and cancel as the sheet's own buttons do them.
    void accept() override { OnOK(); }
    void reject() override;

protected:
    virtual BOOL OnInitDialog();
    virtual void OnDestroy() {}
    // A WM_COMMAND from a child; TRUE when handled.
    virtual BOOL OnCommand(WORD id, WORD code);
    virtual void OnOK();

    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    friend class CPropertyPage;
    void ForgetPage(CPropertyPage* page);
    void OnTabChanged(int index);
    void Layout();
    void ConnectTabs();
    void DestroyWindow();

    std::vector<QPointer<CPropertyPage>> m_pages;
    UINT m_selectPage;
    int m_active = -1;
    bool m_running = false;
    bool m_tabsVisible = true;
    bool m_switching = false;
    QPointer<QTabBar> m_tabs;
    QPointer<QWidget> m_bar;
};
