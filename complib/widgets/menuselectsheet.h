// menuselectsheet.h - the two-tab sheet of the category filter.
//
// The calendar and the contacts program put the category list and the category editor into it
// ("일정" / "주소록"), run it and, after IDOK, read the chosen categories from the list page.
// The bar: a 6-px gap, OK (bitmap 149, command 45000) and cancel (156, command 2); the tabs show
// the icons of bitmap 139 in the event sheet's look, the active one also its page's name.
// OK applies every page, also one never shown (such a page keeps what it was given), and ends
// with IDOK; there is no check across the pages. Cancel, Esc and command 2 end with IDCANCEL and
// apply nothing, so the caller keeps its filter.
#pragma once

#include "widgets/cecommandbarex.h"
#include "widgets/entabctrl.h"
#include "widgets/propertysheet.h"
#include "widgets/zuimagelist.h"

class CMenuSelectSheet : public CPropertySheet {
    Q_OBJECT
public:
    // The caption is complib's string `captionId`.
    CMenuSelectSheet(UINT captionId, QWidget* parent = nullptr, UINT selectPage = 0);
    explicit CMenuSelectSheet(const CString& caption, QWidget* parent = nullptr, UINT selectPage = 0);

    // The bar and the tab strip while the sheet runs, else null.
    CCeCommandBarEx* GetCommandBarPtr() const { return m_bar; }
    CEnTabCtrl* GetTabCtrl() const { return m_tabs; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code) override;
    void OnButtonOk();

private:
    QPointer<CCeCommandBarEx> m_bar;
    CZuImageList m_barImages;
    QPointer<CEnTabCtrl> m_tabs;
};
