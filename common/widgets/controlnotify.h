// controlnotify.h - how a control tells its parent what happened, and opens a link.
//
// A control is known by its resource id, which is also its objectName ("1009"), so tests and
// parents find it by that id. A click reaches the parent as the handheld's command message: a
// ZuMessageEvent WM_COMMAND, sent (not posted) to the parent widget, with wParam =
// MAKELONG(control id, notification code) and lParam = the control (a QWidget*). A parent answers
// it in its event(), as it answers every other message (windowmessage.h).
//
// Links (a button's or a label's URL) open with the shell verb "open" through ZuShellOpen, the one
// place that hands a target to the desktop, so tests can see what would be opened.
#pragma once

#include "cstring.h"
#include "wintypes.h"

#include <functional>

class QWidget;

constexpr WORD BN_CLICKED = 0;   // a button was clicked
constexpr WORD STN_CLICKED = 0;  // a static text window was clicked

// Sets the control's resource id as its objectName; 0 leaves the name alone.
void ZuSetControlId(QWidget* control, UINT id);
// The control's resource id: its objectName read as a number, 0 when it is none.
UINT ZuControlId(const QWidget* control);

// Sends WM_COMMAND (id, code) to the control's parent; 0 without a parent, else what the parent
// answered.
LRESULT ZuNotifyParent(QWidget* control, WORD code);

// Opens the target (a URL or a file) with the shell verb "open"; TRUE when it was handed over.
BOOL ZuShellOpen(const wchar_t* target);
// A handler sees every target instead of the desktop and gives the answer; an empty function puts
// the desktop back. Returns the previous handler.
using ZuShellOpenHandler = std::function<BOOL(const CString& target)>;
ZuShellOpenHandler ZuSetShellOpenHandler(ZuShellOpenHandler handler);
