// entabctrl.h - the suite's tab look, switched on for every tab strip at once.
//
// EnableCustomLook(TRUE, style) gives every CEnTabCtrl the look below (all instances, also those
// made later); EnableCustomLook(FALSE) puts back the plain look of CBaseTabCtrl. Style bits:
//
// | bit                   | value | look                                                          |
// |-----------------------|-------|---------------------------------------------------------------|
// | ZU_TABLOOK_FLAT       | 1     | no frame around the tabs that are not selected, only a divider|
// | ZU_TABLOOK_COLOR      | 2     | the tabs that are not selected take the strip's background    |
// | ZU_TABLOOK_SELECTION  | 4     | the selected tab is white and opens into the page above: no   |
// |                       |       | line between them, a shadow-grey frame on its other sides     |
// | ZU_TABLOOK_GRADIENT   | 8     | tabs not selected shade from white at the top to their colour |
//
// With ZU_TABLOOK_SELECTION a shadow-grey line runs along the strip's top edge except over the
// selected tab. The sheets use style 6 (colour and selection).
#pragma once

#include "basetabctrl.h"

constexpr DWORD ZU_TABLOOK_FLAT = 0x0001;
constexpr DWORD ZU_TABLOOK_COLOR = 0x0002;
constexpr DWORD ZU_TABLOOK_SELECTION = 0x0004;
constexpr DWORD ZU_TABLOOK_GRADIENT = 0x0008;

class CEnTabCtrl : public CBaseTabCtrl {
    Q_OBJECT
public:
    explicit CEnTabCtrl(QWidget* parent = nullptr, UINT id = 0);
    ~CEnTabCtrl() override;

    // Switches the custom look on (with the style bits) or off, for every instance at once.
    static void EnableCustomLook(BOOL enable = TRUE, DWORD style = ZU_TABLOOK_COLOR | ZU_TABLOOK_SELECTION);
    static BOOL IsCustomLookEnabled();
    static DWORD GetCustomLookStyle();

protected:
    void DrawItem(QPainter* painter, int index, const QRect& rect, bool selected) override;
    void DrawItemBorder(QPainter* painter, int index, const QRect& rect, bool selected) override;
    void DrawMainBorder(QPainter* painter, const QRect& rect) override;
    COLORREF GetTabColor(bool selected) const override;
    COLORREF GetTabTextColor(bool selected) const override;
};
