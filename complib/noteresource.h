// noteresource.h - the ids of the note page: its template, menu, bitmaps, bar and commands.
#pragma once

#include "wintypes.h"

constexpr UINT IDD_NOTE = 133;              // the page (tab "메모")
constexpr UINT IDR_NOTE_MENU = 157;         // the bar's menus: pen mode, lines, zoom, edit
constexpr UINT IDB_NOTE_TOOLBAR = 160;      // five 16 × 16 images: voice, pen, pen mode, lines, zoom
constexpr UINT IDB_NOTE_EDIT = 176;         // one 16 × 16 image: the edit menu
constexpr UINT IDC_NOTE_TOOLBAR = 0xE800;   // the page's own bar

constexpr UINT ID_NOTE_PEN = 41000;         // pen on / off
constexpr UINT ID_NOTE_VOICEBAR = 41001;    // voice bar on / off
constexpr UINT ID_NOTE_MENU_PEN = 32845;    // the drop-downs of the bar
constexpr UINT ID_NOTE_MENU_LINES = 32846;
constexpr UINT ID_NOTE_MENU_ZOOM = 32847;
constexpr UINT ID_NOTE_MENU_EDIT = 32890;

constexpr UINT ID_PEN_DRAW = 32848;         // "그리기"
constexpr UINT ID_PEN_SELECT = 32849;       // "객체선택"
constexpr UINT ID_PEN_SPACE = 32850;        // "공백삽입"
constexpr UINT ID_LINES_GRID = 32854;       // "격자"
constexpr UINT ID_LINES_RULED = 32855;      // "실선"
constexpr UINT ID_LINES_DOTTED = 32856;     // "점선"
constexpr UINT ID_LINES_NONE = 32857;       // "평면"
constexpr UINT ID_ZOOM_75 = 32862;          // "75%" … "300%"
constexpr UINT ID_ZOOM_100 = 32863;
constexpr UINT ID_ZOOM_150 = 32864;
constexpr UINT ID_ZOOM_200 = 32865;
constexpr UINT ID_ZOOM_300 = 32866;
constexpr UINT ID_NOTE_CUT = 32801;         // "잘라내기"
constexpr UINT ID_NOTE_COPY = 32802;        // "복사하기"
constexpr UINT ID_NOTE_PASTE = 32803;       // "붙  이 기"
constexpr UINT ID_NOTE_CLEAR = 32804;       // "지  우 기"
constexpr UINT ID_NOTE_SELALL = 32805;      // "모두선택"

// In the sheet's bar while the note page is shown.
constexpr UINT ID_SHEET_NOTE_VOICE = 45001;
constexpr UINT ID_SHEET_SHOW_TOOLBAR = 45002;  // shows or hides the page's bar

// WM_APP + 3100 (wParam: show): shows or hides the note page's bar.
constexpr UINT WM_NOTE_SHOWTOOLBAR = 0x8C1C;
