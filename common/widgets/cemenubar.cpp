#include "cemenubar.h"

#include "zufont.h"

CCeMenuBar::~CCeMenuBar()
{
    if (m_bar)
        m_bar->SetImageList(nullptr);
}

BOOL CCeMenuBar::Create(QWidget* parent, const std::vector<ZuBarMenu>& menus, const CString& firstButton)
{
    if (!parent || m_bar)
        return FALSE;
    auto* bar = new CCeCommandBarExp(parent);
    bar->setFont(ZuFont(L"Tahoma", 13, FW_BOLD));
    bar->SetImageList(&m_images);
    if (!firstButton.IsEmpty())
        bar->AddButton(ZU_MENUBAR_FIRST_BUTTON, -1, TBSTYLE_BUTTON, 0, firstButton);
    for (const ZuBarMenu& m : menus)
        bar->AddMenuButton(m.id, m.text, m.entries);
    m_menus = menus;
    m_bar = bar;
    return bar->Create(parent);
}

int CCeMenuBar::AddBitmap(const QPixmap& strip, COLORREF mask)
{
    const int first = m_images.Add(strip, mask);
    if (m_bar)
        m_bar->SetImageList(&m_images);
    return first;
}

int CCeMenuBar::InsertButton(UINT id, int image, BYTE style, const CString& text)
{
    return m_bar ? m_bar->AddButton(id, image, style, 0, text) : -1;
}

int CCeMenuBar::InsertSeparator(int width) { return m_bar ? m_bar->AddSeparator(width) : -1; }
BOOL CCeMenuBar::DeleteButton(int index) { return m_bar && m_bar->DeleteButton(index) ? TRUE : FALSE; }
int CCeMenuBar::GetNumButtons() const { return m_bar ? m_bar->GetButtonCount() : 0; }
BOOL CCeMenuBar::PressButton(UINT id, BOOL press) { return m_bar ? m_bar->PressButton(id, press) : FALSE; }
BOOL CCeMenuBar::HideButton(UINT id, BOOL hide) { return m_bar ? m_bar->HideButton(id, hide) : FALSE; }
BOOL CCeMenuBar::EnableButton(UINT id, BOOL enable) { return m_bar ? m_bar->EnableButton(id, enable) : FALSE; }

BOOL CCeMenuBar::ShowWindow(BOOL show)
{
    if (!m_bar)
        return FALSE;
    m_bar->setVisible(show != FALSE);
    return TRUE;
}

const ZuBarMenu* CCeMenuBar::GetMenu(UINT id) const
{
    for (const ZuBarMenu& m : m_menus)
        if (m.id == id)
            return &m;
    return nullptr;
}
