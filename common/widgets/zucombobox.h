// zucombobox.h - a flat-bordered combo box that can show its choices as a popup menu.
//
// Focus: when the combo has an edit field the soft input panel comes up with the focus and goes
// down with it. Type 1 (SetZuType) shows the popup menu where the drop-down list would open.
//
// Menus: MakeComboContentMenu builds the menu "&ComboContent" from the list, one entry per item
// with the ids 1, 2, ... (an item "PSEP" is a separator), and sets menu type 2; OnReplaceMenu
// takes a menu of the caller's instead and sets menu type 1. With menu type 2 the entry whose text
// equals the current selection is checked. A choice selects the list item of its text (for type
// 2, item id - 1) and emits menuChosen; it stays with the combo and is never handed on as a
// command, since ids 1 and 2 would close a dialog as OK and Cancel.
// Menus are shown through ZuPopupMenu (popupmenu.h).
#pragma once

#include "cstring.h"
#include "popupmenu.h"
#include "wintypes.h"

#include <QComboBox>

#include <vector>

class CZUComboBox : public QComboBox {
    Q_OBJECT
public:
    // id becomes the objectName (0: none).
    explicit CZUComboBox(QWidget* parent = nullptr, UINT id = 0);

    // 0 a normal drop-down, 1 the popup menu in its place.
    void SetZuType(int type);
    int GetZuType() const { return m_zuType; }
    // 0 no menu, 1 a caller's menu, 2 the content menu.
    void SetZuMenuType(int type);
    int GetZuMenuType() const { return m_menuType; }

    // Builds "&ComboContent" from the list items; returns the number of entries.
    int MakeComboContentMenu();
    // Takes the caller's menu (its name and entries) in place of the content menu.
    void OnReplaceMenu(const CString& name, const std::vector<ZuMenuEntry>& entries);
    CString GetMenuName() const { return m_menuName; }
    // The entries as the next popup shows them (the current selection checked for menu type 2).
    std::vector<ZuMenuEntry> GetMenuEntries() const;
    // The position of the entry whose text equals text exactly, or -1.
    int FindMenuItem(const CString& text) const;
    // Shows the menu at pos (global; the combo's bottom left when null) and applies the choice;
    // returns the id chosen or 0.
    UINT DisplayContextMenu(const QPoint* pos = nullptr);

    void SetBorderColor(COLORREF c);
    void SetFocusColor(COLORREF c);
    // Shows the out-of-memory box ("OnErrspace").
    void OnErrspace();

    void showPopup() override;

signals:
    void menuChosen(UINT id);

protected:
    void DrawBorder(QPainter* painter);
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void applyChoice(UINT id);

    int m_zuType = 0;
    int m_menuType = 0;
    CString m_menuName;
    std::vector<ZuMenuEntry> m_entries;
    COLORREF m_clrBorder = RGB(128, 128, 128);
    COLORREF m_clrFocus = RGB(0, 0, 0);
};
