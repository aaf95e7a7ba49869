#include "widgets/optionsheet.h"

#include "bitmap.h"
#include "messagebox.h"
#include "resource.h"
#include "widgets/zufont.h"

#include <QKeyEvent>

namespace {

const COLORREF kBarColour = RGB(120, 161, 245);
const COLORREF kTabColour = RGB(200, 235, 235);
constexpr DWORD kTabLook = 6;  // colour and selection (entabctrl.h)

} // namespace

COptionSheet::COptionSheet(const CString& caption, QWidget* parent)
    : CPropertySheet(caption, parent)
{
    setObjectName(QStringLiteral("COptionSheet"));
    LoadOptions();
    AddPage(&m_general);
    AddPage(&m_calendar);
    AddPage(&m_contact);
}

void COptionSheet::LoadOptions()
{
    m_general.Load(m_store.ReadGeneralOpt(), m_store.HasStoredPassword());
    m_calendar.Load(m_store.ReadCalendarOpt(), m_store.ReadTaskOpt());
    m_contact.Load(m_store.ReadContactOpt());
}

BOOL COptionSheet::OnInitDialog()
{
    const BOOL result = CPropertySheet::OnInitDialog();

    auto* bar = new CCeCommandBarEx(nullptr, ZU_IDC_OPTION_BAR);
    if (bar->Create(this, ZU_IDC_OPTION_BAR)) {
        bar->SetBkColor(kBarColour);
        m_barImages.RemoveAll();
        m_barImages.Add(ZuLoadBitmap(ZU_IDB_OPTION_SAVE, ZuModule::Options), RGB(255, 255, 255));
        m_barImages.Add(ZuLoadBitmap(ZU_IDB_OPTION_CANCEL, ZuModule::Options), RGB(255, 255, 255));
        bar->SetImageList(&m_barImages);
        // Menu 133: its two entries stand on the bar as they do on the handheld's menu bar.
        bar->AddButton(ZU_ID_OPTION_MENU_SAVE, -1, TBSTYLE_BUTTON, 0, CString(L"저장"));
        bar->AddButton(ZU_ID_OPTION_MENU_CANCEL, -1, TBSTYLE_BUTTON, 0, CString(L"취소"));
        bar->AddSeparator();
        bar->AddButton(ZU_IDC_OPTION_SAVE, 0);
        bar->AddButton(IDCANCEL, 1);
        SetCommandBar(bar);
        m_bar = bar;
    } else {
        delete bar;
    }

    auto* tabs = new CEnTabCtrl(nullptr, 0);
    SubclassTabControl(tabs);
    tabs->setFont(ZuFont(L"Tahoma", 13, FW_NORMAL));
    CZuImageList icons;
    icons.Create(ZuLoadBitmap(ZU_IDB_OPTION_TABS, ZuModule::Options), 16, RGB(255, 255, 255));
    tabs->SetImageList(icons);
    tabs->SetBkgndColor(kTabColour);
    tabs->EnableDraw(TRUE);
    CEnTabCtrl::EnableCustomLook(TRUE, kTabLook);
    for (int i = 0; i < tabs->count(); ++i) {
        SetPageTabText(i, CString());
        tabs->SetItemImage(i, i);
    }
    m_tabs = tabs;
    return result;
}

BOOL COptionSheet::OnCommand(WORD id, WORD code)
{
    switch (id) {
    case ZU_IDC_OPTION_SAVE:
    case ZU_ID_OPTION_MENU_SAVE:
    case IDOK:
        OnSave();
        return TRUE;
    case ZU_ID_OPTION_MENU_CANCEL:
        reject();
        return TRUE;
    default:
        return CPropertySheet::OnCommand(id, code);
    }
}

void COptionSheet::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        event->accept();
        OnSave();
        return;
    }
    CPropertySheet::keyPressEvent(event);  // Escape cancels
}

BOOL COptionSheet::OnSave()
{
    for (int i = 0; i < GetPageCount(); ++i)
        if (CPropertyPage* page = GetPage(i); page && !page->OnApply())
            return FALSE;

    BOOL stored = m_store.SaveGeneralOpt(m_general.GetSecurityFlag(), m_general.GetPassword(), m_general.GetLeftScrollFlag());
    stored = m_store.SaveCalendarOpt(m_calendar.GetPrivateFlag(), m_calendar.GetBigFontFlag(), m_calendar.GetStartHour(),
                                     m_calendar.GetEndHour()) && stored;
    stored = m_store.SaveTaskStatusBar(m_calendar.GetStatusBarFlag()) && stored;
    const _tabContactOpt& contact = m_contact.GetOptions();
    stored = m_store.SaveContactOpt(contact.bBigFontFlag, contact.bShowQuickSearchBar, contact.bShowMultiLine,
                                    contact.bShowNameOnly) && stored;
    if (!stored) {
        const CString caption = CString::fromQString(windowTitle());
        MessageBox(this, L"설정을 저장하지 못했습니다.\n다시 저장하거나 취소하십시오.", caption.str().c_str(), MB_OK | MB_ICONWARNING);
        // What is stored now is what a next save compares with.
        m_general.Load(m_store.ReadGeneralOpt(), m_store.HasStoredPassword());
        return FALSE;
    }
    done(IDOK);
    return TRUE;
}

BOOL ShowOptionDlg(LPCWSTR caption, QWidget* parent)
{
    COptionSheet sheet(CString(caption ? caption : L""), parent);
    return sheet.DoModal() == IDOK ? TRUE : FALSE;
}
