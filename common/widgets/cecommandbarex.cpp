#include "cecommandbarex.h"

CCeCommandBarEx::CCeCommandBarEx(QWidget* parent, UINT id) : CCeCommandBarExp(parent, id) {}

BOOL CCeCommandBarEx::LoadSHMenuBar(const std::vector<ZuBarMenu>& menus)
{
    ResetCommandBar();
    return InsertMenuBar(menus) >= 0 ? TRUE : FALSE;
}

int CCeCommandBarEx::InsertMenuBar(const std::vector<ZuBarMenu>& menus)
{
    int first = -1;
    for (const ZuBarMenu& m : menus) {
        const int i = AddMenuButton(m.id, m.text, m.entries);
        if (first < 0)
            first = i;
        m_menus.push_back(m);
    }
    return first;
}

int CCeCommandBarEx::InsertComboBox(QWidget* control, int width)
{
    if (!control || width <= 0)
        return -1;
    control->setParent(this);
    m_slots.push_back({control, GetButtonCount()});
    const int index = AddSeparator(width);  // places the control through OnLayoutChanged
    control->show();
    return index;
}

void CCeCommandBarEx::ResetCommandBar()
{
    for (Slot& s : m_slots)
        delete s.control.data();
    m_slots.clear();
    m_menus.clear();
    RemoveAll();
}

void CCeCommandBarEx::OnLayoutChanged()
{
    for (Slot& s : m_slots)
        if (s.control)
            s.control->setGeometry(GetItemRect(s.index));
}
