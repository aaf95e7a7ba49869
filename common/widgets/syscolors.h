// syscolors.h - the one table of system colours and metrics that every control and view draws with.
//
// The handheld asks its window system for these; this system has no such table of its own, so the
// suite keeps a fixed one with the handheld's default scheme. Nothing reads the desktop's palette:
// the screens look the same on every desktop and in tests.
//
// | index                      | value           | what                                       |
// |----------------------------|-----------------|--------------------------------------------|
// | ZU_COLOR_WINDOW            | (255,255,255)   | window and list background                 |
// | ZU_COLOR_WINDOWTEXT        | (0,0,0)         | text on a window                           |
// | ZU_COLOR_BTNFACE           | (192,192,192)   | button face, dialog background             |
// | ZU_COLOR_BTNSHADOW         | (128,128,128)   | the dark edge of a raised or sunken border |
// | ZU_COLOR_BTNHIGHLIGHT      | (255,255,255)   | the light edge of a raised or sunken border|
// | ZU_COLOR_BTNTEXT           | (0,0,0)         | text on a button                           |
// | ZU_COLOR_HIGHLIGHT         | (0,0,128)       | selection background                       |
// | ZU_COLOR_HIGHLIGHTTEXT     | (255,255,255)   | selected text                              |
// | ZU_COLOR_GRAYTEXT          | (128,128,128)   | disabled text                              |
// | ZU_COLOR_SCROLLBAR         | (192,192,192)   | scroll bar track                           |
//
// | metric                     | value | what                                   |
// |----------------------------|-------|----------------------------------------|
// | ZU_SM_CXVSCROLL            | 13    | width of a vertical scroll bar         |
// | ZU_SM_CYHSCROLL            | 13    | height of a horizontal scroll bar      |
// | ZU_SM_CYCAPTION            | 26    | height of a caption (the title bar)    |
// | ZU_SM_CXSCREEN             | 240   | width of the portrait screen           |
// | ZU_SM_CYSCREEN             | 320   | height of the portrait screen          |
//
// Values are in logical pixels; a desktop scales them with the rest of the layout.
#pragma once

#include "wintypes.h"

enum ZuSysColorIndex {
    ZU_COLOR_WINDOW = 0,
    ZU_COLOR_WINDOWTEXT,
    ZU_COLOR_BTNFACE,
    ZU_COLOR_BTNSHADOW,
    ZU_COLOR_BTNHIGHLIGHT,
    ZU_COLOR_BTNTEXT,
    ZU_COLOR_HIGHLIGHT,
    ZU_COLOR_HIGHLIGHTTEXT,
    ZU_COLOR_GRAYTEXT,
    ZU_COLOR_SCROLLBAR,
    ZU_COLOR_COUNT
};

enum ZuSysMetricIndex {
    ZU_SM_CXVSCROLL = 0,
    ZU_SM_CYHSCROLL,
    ZU_SM_CYCAPTION,
    ZU_SM_CXSCREEN,
    ZU_SM_CYSCREEN,
    ZU_SM_COUNT
};

// The colour of the table; black for an index outside it.
constexpr COLORREF ZuSysColor(int index)
{
    switch (index) {
    case ZU_COLOR_WINDOW: return RGB(255, 255, 255);
    case ZU_COLOR_WINDOWTEXT: return RGB(0, 0, 0);
    case ZU_COLOR_BTNFACE: return RGB(192, 192, 192);
    case ZU_COLOR_BTNSHADOW: return RGB(128, 128, 128);
    case ZU_COLOR_BTNHIGHLIGHT: return RGB(255, 255, 255);
    case ZU_COLOR_BTNTEXT: return RGB(0, 0, 0);
    case ZU_COLOR_HIGHLIGHT: return RGB(0, 0, 128);
    case ZU_COLOR_HIGHLIGHTTEXT: return RGB(255, 255, 255);
    case ZU_COLOR_GRAYTEXT: return RGB(128, 128, 128);
    case ZU_COLOR_SCROLLBAR: return RGB(192, 192, 192);
    default: return RGB(0, 0, 0);
    }
}

// The metric of the table, in logical pixels; 0 for an index outside it.
constexpr int ZuSysMetric(int index)
{
    switch (index) {
    case ZU_SM_CXVSCROLL: return 13;
    case ZU_SM_CYHSCROLL: return 13;
    case ZU_SM_CYCAPTION: return 26;
    case ZU_SM_CXSCREEN: return 240;
    case ZU_SM_CYSCREEN: return 320;
    default: return 0;
    }
}
