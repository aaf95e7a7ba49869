// sip.h - the soft input panel (on-screen keyboard) state.
//
// The state is kept per program; showing or hiding the panel asks the window system's input
// method to show or hide its panel when the program has a GUI.
#pragma once

#include "wintypes.h"

struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};

constexpr DWORD SIPF_OFF = 0x00000000;
constexpr DWORD SIPF_ON = 0x00000001;
constexpr DWORD SIPF_DOCKED = 0x00000002;
constexpr DWORD SIPF_LOCKED = 0x00000004;

// The panel state record; cbSize holds 48, its size on the handheld.
struct SIPINFO {
    DWORD cbSize = 0;
    DWORD fdwFlags = 0;
    RECT rcVisibleDesktop;
    RECT rcSipRect;
    DWORD dwImDataSize = 0;
    void* pvImData = nullptr;
};
constexpr DWORD SIPINFO_SIZE = 48;

// Both fail (0) for a null record or one whose cbSize is not 48.
BOOL SipGetInfo(SIPINFO* info);
BOOL SipSetInfo(const SIPINFO* info);
// Shows (TRUE) or hides the panel.
BOOL SipShowIM(DWORD flags);
