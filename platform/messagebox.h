// messagebox.h - the one way this suite shows a message box.
//
// Everything that tells the user something in a box goes through `MessageBox`, so tests can
// capture what would be shown (`ZuSetMessageBoxHandler`). Without a handler the box is a Qt
// message box when the program has installed the widget presenters (widgets/widgetpresenters.h)
// and runs a visible GUI, and a line on standard error otherwise.
#pragma once

#include "cstring.h"
#include "wintypes.h"

#include <functional>

class QWidget;

constexpr UINT MB_OK = 0x0000;
constexpr UINT MB_OKCANCEL = 0x0001;
constexpr UINT MB_YESNOCANCEL = 0x0003;
constexpr UINT MB_YESNO = 0x0004;
constexpr UINT MB_ICONHAND = 0x0010;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x0020;
constexpr UINT MB_ICONEXCLAMATION = 0x0030;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONASTERISK = 0x0040;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Shows a message box and returns the button chosen (IDOK, IDYES, ...).
int MessageBox(QWidget* parent, const wchar_t* text, const wchar_t* caption, UINT type);

// A handler sees every box instead of the user and gives the answer; an empty function puts
// the normal boxes back. Returns the previous handler.
using ZuMessageBoxHandler = std::function<int(const CString& text, const CString& caption, UINT type)>;
ZuMessageBoxHandler ZuSetMessageBoxHandler(ZuMessageBoxHandler handler);
