// optionsheet.h - the suite's one options dialog, shared by both programs.
//
// ShowOptionDlg(caption, parent) makes a COptionSheet, which loads its three pages from the
// registry (general CPageGeneral, calendar CPageCalendar, contacts CPageContactBase, in that
// order; the first is shown), runs it modally and answers TRUE exactly when the sheet ended after
// a save.
//
// The command bar (blue RGB(120,161,245)): the menu buttons "저장" (32771) and "취소" (32774), a
// gap, then the image buttons save (1016, bitmap 134) and cancel (IDCANCEL, bitmap 132). The tabs
// are a CEnTabCtrl: "Tahoma" 13, icons of bitmap 137 (16 px, white transparent), background
// RGB(200,235,235), the custom look 6; only the active tab shows its caption beside its icon.
//
// Save (1016, the menu's "저장", Enter, and a 1016 forwarded by a page):
// 1. The apply step of every page in page order; the first that fails stops the save: nothing is
//    written and the sheet stays open.
// 2. SaveGeneralOpt, SaveCalendarOpt, SaveTaskStatusBar, SaveContactOpt (optionstore.h): only
//    what changed is written, and each change is sent to the running programs concerned.
// 3. All stored: the sheet ends with IDOK. A write that failed: the user is told
//    "설정을 저장하지 못했습니다.\n다시 저장하거나 취소하십시오." (the sheet's caption, OK only) and
//    the sheet stays open; saving again writes what is still missing.
// Cancel (the bar's button, the menu's "취소", Escape, closing the window) writes nothing and
// ends with IDCANCEL.
#pragma once

#include "optionstore.h"
#include "widgets/cecommandbarex.h"
#include "widgets/entabctrl.h"
#include "widgets/pagecalendar.h"
#include "widgets/pagecontactbase.h"
#include "widgets/pagegeneral.h"
#include "widgets/propertysheet.h"
#include "widgets/zuimagelist.h"

#include <QPointer>

class COptionSheet : public CPropertySheet {
    Q_OBJECT
public:
    COptionSheet(const CString& caption, QWidget* parent = nullptr);

    // Fills the pages from the option records (done by the constructor; again for a fresh read).
    void LoadOptions();

    CPageGeneral& GeneralPage() { return m_general; }
    CPageCalendar& CalendarPage() { return m_calendar; }
    CPageContactBase& ContactPage() { return m_contact; }
    // The bar and the tabs while the sheet runs, else null.
    CCeCommandBarEx* GetCommandBarPtr() const { return m_bar; }
    CEnTabCtrl* GetTabCtrl() const { return m_tabs; }

    // Step 1 to 3 above; TRUE when the sheet ended with IDOK.
    BOOL OnSave();

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code) override;
    void OnOK() override { OnSave(); }
    void OnDestroy() override { m_general.LowerInputPanel(); }
    void keyPressEvent(QKeyEvent* event) override;

private:
    COptionStore m_store;
    CPageGeneral m_general;
    CPageCalendar m_calendar;
    CPageContactBase m_contact;
    QPointer<CCeCommandBarEx> m_bar;
    CZuImageList m_barImages;
    QPointer<CEnTabCtrl> m_tabs;
};

// TRUE exactly when the options were saved.
BOOL ShowOptionDlg(LPCWSTR caption, QWidget* parent);
