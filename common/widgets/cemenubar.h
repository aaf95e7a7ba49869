// cemenubar.h - the menu bar of a window: a bottom bar holding its menus, optionally after a first
// text button (command 10), drawn in a bold "Tahoma" of height 13, with 16 × 16 images.
//
// The object is not a window itself; it holds the bar (GetSafeHwnd) and passes the button calls
// on to it. The bar belongs to the window it was created for.
#pragma once

#include "cecommandbarexp.h"
#include "zuimagelist.h"

#include <QPointer>

constexpr UINT ZU_MENUBAR_FIRST_BUTTON = 10;  // the command of the first text button

class CCeMenuBar {
public:
    CCeMenuBar() : m_images(16, 16) {}
    // The bar stays with its window but no longer draws this object's images.
    ~CCeMenuBar();
    CCeMenuBar(const CCeMenuBar&) = delete;
    CCeMenuBar& operator=(const CCeMenuBar&) = delete;

    // Makes the bar for the parent from its menus; a non-empty firstButton puts a text button of
    // command 10 before them. FALSE without a parent or when a bar exists already.
    BOOL Create(QWidget* parent, const std::vector<ZuBarMenu>& menus, const CString& firstButton = CString());
    // The bar, null before Create or after the parent destroyed it.
    CEToolBar* GetSafeHwnd() const { return m_bar.data(); }

    // Appends the strip's 16 × 16 images; returns the index of the first, -1 when none was added.
    int AddBitmap(const QPixmap& strip, COLORREF mask = CLR_NONE);
    // Appends a button; -1 without a bar.
    int InsertButton(UINT id, int image = -1, BYTE style = TBSTYLE_BUTTON, const CString& text = CString());
    int InsertSeparator(int width = 6);
    BOOL DeleteButton(int index);
    int GetNumButtons() const;
    BOOL PressButton(UINT id, BOOL press = TRUE);
    BOOL HideButton(UINT id, BOOL hide = TRUE);
    BOOL EnableButton(UINT id, BOOL enable = TRUE);
    // Shows or hides the bar; FALSE without a bar.
    BOOL ShowWindow(BOOL show);
    // The menu of that command, null when the bar has none.
    const ZuBarMenu* GetMenu(UINT id) const;

private:
    QPointer<CCeCommandBarExp> m_bar;
    CZuImageList m_images;
    std::vector<ZuBarMenu> m_menus;
};
