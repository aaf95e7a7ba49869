// note.h - the note page ("메모") of the record sheets: handwriting and text of a record.
//
// The page holds the record's note (property 0x0017) as bytes it never looks into. With the ink
// library (inkxloader.h) the page shows an ink window over its area and its own bar below it:
// voice bar, pen on / off, the drop-downs pen mode, lines and zoom, and the edit menu. OK
// (OnApply) takes the window's bytes back. Without the library, or when the page was never shown,
// the loaded note is handed back unchanged.
//
// Layout (w × h the page): with the bar shown the ink window takes (0, 0, w, h − 25) and the bar
// (0, h − 25, w, 25); with the bar hidden the ink window takes the whole page.
#pragma once

#include "noteresource.h"
#include "widgets/cecommandbarex.h"
#include "widgets/propertypage.h"
#include "widgets/propertysheet.h"  // GetSheet() needs the whole class
#include "widgets/zuimagelist.h"

#include <QByteArray>
#include <QPointer>

#include <vector>

class CEToolBar;

class CNote : public CPropertyPage {
    Q_OBJECT
public:
    CNote();
    ~CNote() override;

    // Keeps the record and its database (selector 1, 2, 4) and loads its note; TRUE when a note
    // was read.
    BOOL SetEventData(DWORD oid, int selector);
    // Copies the page's note into a new buffer of the blob (LocalAlloc; the caller frees it),
    // after freeing the blob's previous buffer; an empty note gives {0, null}. 0 for null.
    int GetNoteBlob(CEBLOB* blob);

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    BOOL OnApply() override;

    // For the tests and the sheet: the page's window, bar and state.
    QWidget* GetInkWindow() const { return m_ink; }
    CCeCommandBarEx* GetToolBar() const { return m_bar; }
    BOOL IsToolBarShown() const { return m_toolbarShown; }
    BOOL IsPenOn() const { return m_penOn; }
    int GetPenMode() const { return m_penMode; }
    int GetZoom() const { return m_zoom; }
    int GetLines() const { return m_lines; }
    BOOL IsNoteLoaded() const { return m_noteLoaded; }
    // The menus as the bar shows them (checks included): 0 pen mode, 1 lines, 2 zoom, 3 edit.
    const std::vector<ZuMenuEntry>& GetMenu(int index) const { return m_menus[index]; }

    // The handlers, as the bar's and the sheet's commands reach them.
    void OnCommand(UINT id);
    void OnButtonPen();
    void OnButtonVoicebar();
    void OnButtonShowToolbar();
    void OnShowToolbar(BOOL show);
    void OnPenModeMenuCmd(UINT id);
    void OnBglinesMenuCmd(UINT id);
    void OnZoomMenuCmd(UINT id);
    void OnEditMenuCmd();
    void OnEditCut();
    void OnEditCopy();
    void OnEditPaste();
    void OnEditClear();
    void OnEditSelAll();

protected:
    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    BOOL LoadNote();
    BOOL SaveNote();
    BOOL InitInkX();
    BOOL InitToolBar();
    void Layout(int w, int h);
    void SetPenModeButton(BOOL on);
    void SetVoiceBar(BOOL on);
    void SendViewAttr(LONG mask);
    void ShowMenu(UINT button, int menu);
    void Check(int menu, UINT id);
    LRESULT SendInk(UINT message, WPARAM wp = 0, LPARAM lp = 0);
    CEToolBar* SheetBar() const;

    QPointer<QWidget> m_ink;
    QPointer<CCeCommandBarEx> m_bar;
    CZuImageList m_images{16, 16};
    std::vector<ZuMenuEntry> m_menus[4];
    BOOL m_toolbarShown = TRUE;
    BOOL m_voiceBar = FALSE;
    BOOL m_penOn = TRUE;
    UINT m_penCmd = ID_PEN_DRAW;
    int m_penMode = 0;
    UINT m_zoomCmd = ID_ZOOM_100;
    int m_zoom = 100;
    UINT m_linesCmd = ID_LINES_NONE;
    int m_lines = 16;
    DWORD m_oid = 0;
    int m_selector = 0;
    BOOL m_noteLoaded = FALSE;
    QByteArray m_note;  // the note blob, owned by the page
};
