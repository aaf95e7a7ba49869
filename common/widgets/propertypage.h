// propertypage.h - one page of a property sheet (propertysheet.h).
//
// A page is a widget that its owner creates and keeps: the sheet shows it but never deletes it,
// so a page outlives its sheet and the caller reads the page's members after the sheet has
// closed (the values OnApply stored).
//
// Life of a page in one sheet run:
// - The page "has a window" from its first activation to the end of the sheet: on first
//   activation the sheet makes it a child of its page area, sizes it and calls OnInitDialog once;
//   a page that is never shown never gets OnInitDialog and HasWindow() stays false. Pages build
//   their controls in OnInitDialog (children of the page) and fill them from their members.
// - OnSetActive each time it is shown, OnKillActive each time it is left (FALSE keeps it shown:
//   the page's own check failed). The suite's pages put their name on their tab in OnSetActive
//   and clear it in OnKillActive (SetTabText).
// - OnApply when the sheet closes with OK: the page stores its controls' values in its members.
//   Controls and members are exchanged explicitly by each page. OnCancel when the sheet is
//   cancelled.
// - When the sheet closes the page is taken out of it (no parent, hidden) and HasWindow() turns
//   false; its controls stay alive until the page is deleted.
//
// A page of another library or program (a "foreign" page, the contacts program's pages) is added
// the same way: any class derived from CPropertyPage.
#pragma once

#include "cstring.h"
#include "wintypes.h"

#include <QPointer>
#include <QWidget>

class CPropertySheet;

class CPropertyPage : public QWidget {
    Q_OBJECT
public:
    // The page of dialog template `templateId` (its objectName); its tab shows `caption` until the
    // page sets another text.
    explicit CPropertyPage(UINT templateId = 0, const CString& caption = CString());
    ~CPropertyPage() override;

    UINT GetTemplateId() const { return m_templateId; }
    // TRUE from the first activation in a running sheet to the end of that sheet.
    BOOL HasWindow() const { return m_hasWindow; }
    // The sheet the page has been added to; null when in none.
    CPropertySheet* GetSheet() const { return m_sheet; }
    // The caption given at construction (the tab's first text).
    const CString& GetCaption() const { return m_caption; }
    // Puts text on this page's tab (nothing while the sheet has no tabs).
    void SetTabText(const CString& text);

    // Called once, on first activation, after the page has been sized; build the controls here.
    virtual BOOL OnInitDialog() { return TRUE; }
    // Called each time the page is shown. The result is kept for the callers' sake; the page is
    // shown whatever it returns.
    virtual BOOL OnSetActive() { return TRUE; }
    // Called each time the page is left (another tab, OK); FALSE keeps the page shown.
    virtual BOOL OnKillActive() { return TRUE; }
    // Called when the sheet closes with OK: store the controls' values in the members. The
    // default stores nothing and returns TRUE.
    virtual BOOL OnApply() { return TRUE; }
    // Called when the sheet is cancelled (Cancel, Esc).
    virtual void OnCancel() {}

private:
    friend class CPropertySheet;
    UINT m_templateId;
    CString m_caption;
    QPointer<CPropertySheet> m_sheet;
    BOOL m_hasWindow = FALSE;
};
