// inkmessages.h - what the suite and the ink note window say to each other.
//
// The window ("InkX", title "INKX") is made by the ink library's ZuCreateInkX and answers these
// messages, sent to it as ZuMessageEvents with QCoreApplication::sendEvent; pointers travel in
// lParam, the answer comes back through setResult. Header only: the suite includes it without
// linking the library, which it loads by name (common's inkxloader.h).
#pragma once

#include "wintypes.h"

class QWidget;

// Relative to WM_USER.
constexpr UINT INKM_GETDATASIZE = WM_USER + 0x202;  // → byte count of the note (0: empty note)
constexpr UINT INKM_GETDATA = WM_USER + 0x203;      // (count, BYTE* buffer) → bytes copied
constexpr UINT INKM_SETDATA = WM_USER + 0x204;      // (count, const BYTE* data) → 1 shown, 0 placeholder
constexpr UINT INKM_SETPENMODE = WM_USER + 0x149;   // (mode) → 1, 0 for an unknown mode
constexpr UINT INKM_SETVIEWATTR = WM_USER + 0x14C;  // (0, const INKVIEWATTR*) → 1
constexpr UINT INKM_SHOWVOICEBAR = WM_USER + 0x212; // (on) → 1

// The edit window messages the ink window answers as an edit control would.
constexpr UINT ZU_WM_DESTROY = 0x0002;
constexpr UINT ZU_EM_GETSEL = 0x00B0;  // → MAKELONG(0, n) for n selected items, 0 without a selection
constexpr UINT ZU_EM_SETSEL = 0x00B1;  // (0, -1) selects everything, (-1, 0) nothing
constexpr UINT ZU_WM_CUT = 0x0300;
constexpr UINT ZU_WM_COPY = 0x0301;
constexpr UINT ZU_WM_PASTE = 0x0302;
constexpr UINT ZU_WM_CLEAR = 0x0303;

// Pen modes.
constexpr int INK_PEN_DRAW = 0;
constexpr int INK_PEN_SELECT = 1;    // rectangle selection; selected items can be moved
constexpr int INK_PEN_SPACE = 2;     // dragging moves everything below the pen down

// View attributes: which fields count (mask) and their values. Only the view changes; none of it
// is stored with the note.
constexpr int INKVA_BIT8 = 8;    // value8: kept, no meaning here
constexpr int INKVA_ZOOM = 1;    // zoom in percent, 75 to 300
constexpr int INKVA_LINES = 2;   // background lines
constexpr int INKVA_BIT4 = 4;    // value4: kept, no meaning here
struct INKVIEWATTR {
    LONG mask = 0;
    LONG value8 = 0;
    LONG zoom = 100;
    LONG lines = 16;
    LONG value4 = 0;
    LONG reserved = 0;
};
constexpr LONG INK_LINES_GRID = 4;
constexpr LONG INK_LINES_RULED = 2;
constexpr LONG INK_LINES_DOTTED = 32;
constexpr LONG INK_LINES_NONE = 16;

// The clipboard format of copied strokes and text blocks (a note's bytes); text/plain goes along.
constexpr const char* INK_CLIPBOARD_FORMAT = "application/x-zupims-ink";

// The library's entry points, as QLibrary resolves them.
extern "C" {
using InitInkXProc = BOOL (*)();
using ZuCreateInkXProc = QWidget* (*)(QWidget* parent, bool bordered);
}
