// cebuttonst.h - the suite's flat owner-drawn button with an icon or a bitmap.
//
// The command bar's and the content bar's image buttons are these. A button shows one of two
// images: the "in" image while it is pressed or checked, the "out" image otherwise (with one image
// only, that one always). Bitmaps are drawn with a transparent colour (white for every bitmap of
// the suite): their pixels of that colour show what lies under the button.
//
// A flat button (the default) paints no background of its own, so it sits on its bar and the bar
// shows through; it draws a raised edge while the pointer is over it (when tracking is on) and a
// sunken one while pressed or checked. A button that is not flat fills itself with its background
// colour (BTNST_COLOR_BK_IN while pressed or checked, BK_OUT otherwise, BK_FOCUS with the focus)
// and draws a raised or sunken edge.
//
// A click: in check-box mode the check toggles; otherwise a button with a URL opens it with the
// shell verb "open" (ZuShellOpen); otherwise a button with a menu pops that menu up under itself
// through ZuPopupMenu (popupmenu.h, which tests answer), and the command of the entry chosen goes
// to the menu's owner. Every click but a menu's reaches
// the parent as WM_COMMAND (id, BN_CLICKED) (controlnotify.h), after the check has toggled.
//
// A bitmap drawn at twice the size (device pixel ratio 2, as ZuLoadBitmap gives on a scaled
// screen) is laid out at its logical size and drawn crisply at the screen's resolution.
#pragma once

#include "cstring.h"
#include "popupmenu.h"
#include "wintypes.h"
#include "zumodule.h"

#include <QAbstractButton>
#include <QImage>
#include <QPointer>

#include <QMenu>

#include <vector>

class CCeButtonST : public QAbstractButton {
    Q_OBJECT
public:
    // Results of the setters.
    enum { BTNST_OK = 0, BTNST_INVALIDRESOURCE = 1, BTNST_FAILEDMASK = 2, BTNST_INVALIDINDEX = 3, BTNST_INVALIDALIGN = 4 };
    // Colour indexes.
    enum { BTNST_COLOR_BK_IN = 0, BTNST_COLOR_FG_IN, BTNST_COLOR_BK_OUT, BTNST_COLOR_FG_OUT,
           BTNST_COLOR_BK_FOCUS, BTNST_COLOR_FG_FOCUS, BTNST_MAX_COLORS };
    // Where the image sits against the text.
    enum { ST_ALIGN_HORIZ = 0, ST_ALIGN_VERT, ST_ALIGN_HORIZ_RIGHT, ST_ALIGN_OVERLAP };

    explicit CCeButtonST(QWidget* parent = nullptr, UINT id = 0);
    ~CCeButtonST() override;

    // Colours (COLORREF); the defaults are the button face and button text of syscolors.h.
    DWORD SetColor(BYTE index, COLORREF color, BOOL repaint = TRUE);
    DWORD GetColor(BYTE index, COLORREF* color) const;
    DWORD SetDefaultColors(BOOL repaint = TRUE);

    // Icons are drawn as they are (their own alpha); a null "out" icon means the "in" one always.
    DWORD SetIcon(const QPixmap& in, const QPixmap& out = QPixmap());
    // Bitmaps with their transparent colours. BTNST_INVALIDRESOURCE for a null "in" bitmap.
    DWORD SetBitmaps(const QPixmap& in, COLORREF transparentIn, const QPixmap& out = QPixmap(),
                     COLORREF transparentOut = RGB(255, 255, 255));
    // The same from the module's bitmaps (ZuLoadBitmap); outId 0 means none.
    DWORD SetBitmaps(UINT inId, COLORREF transparentIn, UINT outId, COLORREF transparentOut, ZuModule module);

    // Check-box mode: a click toggles the check.
    void SetCheckBoxMode(BOOL on);
    void SetCheck(int check, BOOL repaint = TRUE);
    int GetCheck() const;

    void SetFlat(BOOL flat = TRUE, BOOL repaint = TRUE);
    DWORD SetAlign(BYTE align, BOOL repaint = TRUE);
    // Tracking: a flat button shows its hover edge while the pointer is over it.
    void SetAlwaysTrack(BOOL track = TRUE);
    void SetBtnCursor(Qt::CursorShape cursor);
    void DrawBorder(BOOL enable = TRUE, BOOL repaint = TRUE);
    void DrawFlatFocus(BOOL enable, BOOL repaint = TRUE);

    void SetURL(const wchar_t* url);
    // The menu popped up on a click; the chosen entry's command (its action's data as a number)
    // goes to owner as WM_COMMAND. The button does not own the menu; its actions are read at
    // each click. A null menu means none.
    void SetMenu(QMenu* menu, QWidget* owner);
    // The same with the entries themselves (ids are the commands); none for an empty list.
    void SetMenu(const std::vector<ZuMenuEntry>& entries, QWidget* owner);
    QMenu* menu() const { return m_menu; }

    BOOL GetDefault() const { return m_bIsDefault; }
    void CancelHover();
    // Drops the images.
    void FreeResources(BOOL checkForNull = TRUE);
    // The pointer left the button while it was tracked (the hover edge goes away).
    void TimerProc();

    static short GetVersionI() { return 10; }
    static const wchar_t* GetVersionC() { return L"1.0"; }

    // The image with the pixels of the transparent colour made transparent.
    static QImage CreateBitmapMask(const QImage& bitmap, COLORREF transparent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void nextCheckState() override;

    // The image's rectangle in the client rectangle, for the text's rectangle beside it.
    void PrepareImageRect(BOOL hasTitle, QRect* item, QRect* title, BOOL pressed, int imageWidth,
                          int imageHeight, QRect* image) const;
    void DrawTheIcon(QPainter& painter, BOOL hasTitle, const QRect& item, QRect* title, BOOL pressed, BOOL disabled);
    void DrawTheBitmap(QPainter& painter, BOOL hasTitle, const QRect& item, QRect* title, BOOL pressed, BOOL disabled);
    virtual DWORD OnDrawBackground(QPainter& painter, const QRect& rect);
    virtual DWORD OnDrawBorder(QPainter& painter, const QRect& rect);

    BOOL m_bIsFlat = TRUE;
    BOOL m_bMouseOnButton = FALSE;
    BOOL m_bIsPressed = FALSE;
    BOOL m_bIsFocused = FALSE;
    BOOL m_bIsDefault = FALSE;
    COLORREF m_crColors[BTNST_MAX_COLORS] = {};

private:
    void onClicked();
    bool HasMenu() const;
    std::vector<ZuMenuEntry> MenuEntries() const;
    void PopMenu();
    const QImage& currentImage(BOOL pressed) const;

    QImage m_images[2];  // in, out (transparent pixels already cleared)
    bool m_bImagesAreIcons = false;
    BYTE m_byAlign = ST_ALIGN_HORIZ;
    BOOL m_bAlwaysTrack = TRUE;
    BOOL m_bDrawBorder = TRUE;
    BOOL m_bDrawFlatFocus = FALSE;
    CString m_url;
    QPointer<QMenu> m_menu;
    std::vector<ZuMenuEntry> m_entries;
    QPointer<QWidget> m_menuOwner;
};
