// cetoolbar.h - a tool bar of buttons painted on its own background colour.
//
// Buttons sit left to right from x 0, each as high as the bar and as wide as it was given (0 takes
// the default: the image width plus 8, or the text width plus 8, at least 24). A hidden button
// takes no room. Each button has a command id, an optional image from the bar's image list, an
// optional text and a style:
// - TBSTYLE_BUTTON: a click (pen down and up over the same button) sends WM_COMMAND
//   MAKELONG(command id, BN_CLICKED) to the bar's parent, with lParam = the bar;
// - TBSTYLE_CHECK: the click also toggles the checked state first;
// - TBSTYLE_DROPDOWN: drawn with a small arrow at its right; the click is sent like a button's;
// - TBSTYLE_SEP: a gap that is never clicked;
// - a menu button (AddMenuButton): the click shows its entries through ZuPopupMenu just above the
//   button, and the chosen entry's id goes to the parent as WM_COMMAND (nothing when dismissed).
//
// Drawing: the whole bar is filled with the background colour (ZU_COLOR_BTNFACE at first). A
// checked or pressed button is drawn sunken, its face inside a 1-pixel frame in the background
// colour: a shadow edge (ZU_COLOR_BTNSHADOW) top and left and a highlight edge
// (ZU_COLOR_BTNHIGHLIGHT) bottom and right, one pixel in from the button's rectangle. Images are
// centred (left of the text when a button has both); texts use ZU_COLOR_BTNTEXT, or
// ZU_COLOR_GRAYTEXT on a disabled button.
//
// Other windows can be laid over a button: GetItemRect gives its rectangle in the bar's
// coordinates, and SetButtonWidth makes the room the window needs.
#pragma once

#include "cstring.h"
#include "popupmenu.h"
#include "wintypes.h"

#include <QRect>
#include <QWidget>

#include <vector>

class CZuImageList;

constexpr BYTE TBSTYLE_BUTTON = 0x00;
constexpr BYTE TBSTYLE_SEP = 0x01;
constexpr BYTE TBSTYLE_CHECK = 0x02;
constexpr BYTE TBSTYLE_DROPDOWN = 0x08;

constexpr BYTE TBSTATE_CHECKED = 0x01;
constexpr BYTE TBSTATE_PRESSED = 0x02;
constexpr BYTE TBSTATE_ENABLED = 0x04;
constexpr BYTE TBSTATE_HIDDEN = 0x08;

// One menu of a menu bar: the button's command id and text, and the entries its popup shows.
struct ZuBarMenu {
    UINT id = 0;
    CString text;
    std::vector<ZuMenuEntry> entries;
};

class CEToolBar : public QWidget {
    Q_OBJECT
public:
    // id becomes the objectName (0: none).
    explicit CEToolBar(QWidget* parent = nullptr, UINT id = 0);

    // Appends a button and returns its index.
    int AddButton(UINT id, int image = -1, BYTE style = TBSTYLE_BUTTON, int width = 0,
                  const CString& text = CString());
    // Appends a gap of the given width and returns its index.
    int AddSeparator(int width = 6);
    // Appends a button that opens a popup menu of the entries; returns its index.
    int AddMenuButton(UINT id, const CString& text, std::vector<ZuMenuEntry> entries, int width = 0,
                      int image = -1);
    // 1 when the button existed and is gone, 0 for an index out of range.
    int DeleteButton(int index);
    void RemoveAll();

    int GetButtonCount() const { return static_cast<int>(m_buttons.size()); }
    // The command id of the button, 0 for an index out of range.
    UINT GetItemID(int index) const;
    // The index of the first button with that command id, -1 when none has it.
    int CommandToIndex(UINT id) const;
    // The button's rectangle in the bar's coordinates; an empty rectangle for an index out of range.
    QRect GetItemRect(int index) const;
    // Sets the button's width (0: the default) and moves the buttons after it; FALSE for an index
    // out of range or a negative width.
    BOOL SetButtonWidth(int index, int width);

    // The button's text by command id (a default-width button grows or shrinks with it); FALSE
    // when no button has the id.
    BOOL SetButtonText(UINT id, const CString& text);
    CString GetButtonText(UINT id) const;

    // By command id; FALSE when no button has the id.
    BOOL CheckButton(UINT id, BOOL check = TRUE);
    BOOL PressButton(UINT id, BOOL press = TRUE);
    BOOL EnableButton(UINT id, BOOL enable = TRUE);
    BOOL HideButton(UINT id, BOOL hide = TRUE);
    BOOL IsButtonChecked(UINT id) const;
    BOOL IsButtonPressed(UINT id) const;
    BOOL IsButtonEnabled(UINT id) const;

    // The list is the caller's and must outlive the bar (or be set to null first).
    void SetImageList(const CZuImageList* images);
    const CZuImageList* GetImageList() const { return m_images; }

    // Sets the background colour and returns the one before.
    COLORREF SetBkColor(COLORREF c);
    COLORREF GetBkColor() const { return m_clrBk; }
    // Bold "Tahoma" of height 14, or the normal font ("Tahoma" 14, weight 400).
    void SetFontBold(BOOL bold);
    BOOL IsFontBold() const { return m_bold; }

    QSize sizeHint() const override;

signals:
    // Emitted after a button's click was handled, with its index.
    void buttonClicked(int index);

protected:
    // What a click on the button does (after a check button toggled); sends the command or shows
    // the menu.
    virtual void OnButtonClicked(int index);
    // Sends WM_COMMAND (id, BN_CLICKED) to the parent; 0 without one, else its answer.
    LRESULT SendCommand(UINT id);
    // Called whenever the buttons moved, so windows laid over them can follow.
    virtual void OnLayoutChanged() {}

    int HitTest(QPoint pt) const;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Button {
        UINT id = 0;
        int image = -1;
        BYTE style = TBSTYLE_BUTTON;
        BYTE state = TBSTATE_ENABLED;
        int width = 0;
        CString text;
        bool menu = false;
        std::vector<ZuMenuEntry> entries;
    };
    int Append(Button b);
    int ButtonWidth(const Button& b) const;
    Button* Find(UINT id);
    const Button* Find(UINT id) const;
    BOOL SetState(UINT id, BYTE flag, BOOL on);
    void Changed();

    std::vector<Button> m_buttons;
    const CZuImageList* m_images = nullptr;
    COLORREF m_clrBk;
    BOOL m_bold = FALSE;
    int m_pressed = -1;  // the button under the pen while it is down
};
