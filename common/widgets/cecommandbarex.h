// cecommandbarex.h - a command bar with a menu bar and other controls in button slots.
//
// The menu bar is given as a list of menus (LoadSHMenuBar replaces the bar's buttons with one menu
// button each, InsertMenuBar appends them). A control such as a combo box takes a slot of its
// width: the bar becomes its parent and keeps it over the slot whenever the buttons move.
#pragma once

#include "cecommandbarexp.h"

#include <QPointer>

class CCeCommandBarEx : public CCeCommandBarExp {
    Q_OBJECT
public:
    explicit CCeCommandBarEx(QWidget* parent = nullptr, UINT id = 0);

    // Replaces all buttons and controls with the menus; TRUE when there was at least one menu.
    BOOL LoadSHMenuBar(const std::vector<ZuBarMenu>& menus);
    // Appends the menus as menu buttons; returns the index of the first, -1 for none.
    int InsertMenuBar(const std::vector<ZuBarMenu>& menus);
    // The menus given so far, in order.
    const std::vector<ZuBarMenu>& GetMenuBar() const { return m_menus; }

    // Puts the control into a new slot of the given width at the end; returns the slot's index,
    // -1 for a null control or a width ≤ 0.
    int InsertComboBox(QWidget* control, int width);
    int InsertSeparator(int width = 6) { return AddSeparator(width); }
    int GetNumButtons() const { return GetButtonCount(); }
    // Removes every button, menu and control.
    void ResetCommandBar();

protected:
    void OnLayoutChanged() override;

private:
    struct Slot {
        QPointer<QWidget> control;
        int index;
    };
    std::vector<ZuBarMenu> m_menus;
    std::vector<Slot> m_slots;
};
