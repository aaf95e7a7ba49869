// programwindow.h - a program's main window handle, and window messages between the suite's
// programs (starting the other program is programstart.h).
//
// Handles. A program has at most one main window that other programs can reach. Its handle
// (`HWND`) is a 32-bit number unique among the user's live programs: the process id, except that
// a process whose id happens to be 0xDEF0 gets 0x8000DEF0 (process ids never use the high bit), so
// that 0 ("no window") and 0xDEF0 (the registry's "no value" default) never name a live window.
// The handle is what the suite stores as "dwHWND" (REG_DWORD) and puts on command lines as
// decimal text. Like a handle on the handheld, a number may come back later for another program.
// (Process ids are unique within one process-id namespace; programs in separate containers must
// not share a socket folder.)
//
// Where windows listen. Registering a window makes the program listen on a local socket
// "hwnd-<handle>" in a per-user folder: `$XDG_RUNTIME_DIR/zupims`, or `run` in the data folder
// (datafolder.h) when XDG_RUNTIME_DIR is unset or empty. The folder is created with mode 0700 and
// the socket is made 0600. A folder that is not a real folder (a symbolic link, say), belongs to
// another user or grants any group or other access is refused, by the listening side and by
// senders alike (last error ERROR_ACCESS_DENIED); the suite never loosens or repairs it. The
// socket path must fit a local socket address (107 bytes).
//
// The exchange. Every call across programs opens one connection, writes one 40-byte request
// (hello, send or post, the target handle, the message and its parameters) and reads one 32-byte
// reply (a status, the answering window's own handle and the result); programwindow_p.h gives the
// bytes. A handle is a live window only when the reply carries the magic text, status 0 and the
// handle asked for: a stale socket left by a program that was killed refuses the connection, and
// a socket answered by anything else (or by another of our programs under a wrong name) fails
// the check. Requests are answered by a listening thread of the receiving program, so a program whose
// user-interface thread is busy still answers the hello (it is still a window, as on the
// handheld); sent and posted messages are handed to that user-interface thread.
//
// Delivery. A message reaches the window as a `ZuMessageEvent` (windowmessage.h) delivered on
// the window's thread, in arrival order. The window's event() answers it with setResult (or
// accept() for the answer 0). When the window does not handle WM_CLOSE, the default handling closes
// it: a QWidget window is closed as by QWidget::close() (so the application ends when its last
// window closes, Qt's rule); any other QObject window ends the application's event loop
// (QCoreApplication::quit). Other unhandled messages answer 0.
//
// Threads. Register and unregister a window on its own thread, and end the registration (or
// destroy the window) before the application object goes. The other calls may come from any
// thread. While a thread that owns the registered window waits in SendMessage, messages sent to
// its own window are still delivered (as the handheld does), so two programs sending to each other
// do not lock up; posted messages wait for the event loop.
#pragma once

#include "cstring.h"
#include "windowmessage.h"
#include "wintypes.h"

#include <string>

class QObject;

// A main window of a program of the suite (see the file comment). 0 means none.
using HWND = DWORD;

// The registry's "no value" default for a window handle; never a live window.
constexpr HWND ZU_HWND_UNSET = 0xDEF0;

// How long SendMessage waits for the receiving window's answer before it gives up (last error
// ERROR_TIMEOUT). The receiver still handles the message later; its answer is dropped.
constexpr int ZU_SEND_MESSAGE_TIMEOUT_MS = 5000;
// How long IsWindow and PostMessage wait for the listening thread's reply.
constexpr int ZU_WINDOW_REPLY_TIMEOUT_MS = 1000;

constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;

// The folder in which windows listen, created and checked as told above; empty (with the last
// error set) when it cannot be made or is refused.
std::string ZuProgramWindowFolder();

// Makes `window` this program's main window and starts listening for it; returns its handle, or
// 0 with the last error set. Registering another window moves the handle to it. The registration
// ends when the window is destroyed or ZuUnregisterMainWindow is called.
HWND ZuRegisterMainWindow(QObject* window);
// Stops listening for `window` when it is the registered main window; FALSE otherwise.
BOOL ZuUnregisterMainWindow(QObject* window);
// The handle of this program's registered main window, or 0.
HWND ZuMainWindowHandle();
// The handle of `window` when it is this program's registered main window, or 0.
HWND ZuWindowHandle(const QObject* window);

// TRUE when a live program of the suite answers for `handle` (this program's own registered
// window included). 0 and ZU_HWND_UNSET are never windows. A dead handle answers at once.
BOOL IsWindow(HWND handle);

// Delivers the message to the window on its user-interface thread and returns the window's
// answer. Within this program it is a direct call on the window's thread (from another thread it
// waits for that thread). Returns 0 on failure: last error ERROR_INVALID_WINDOW_HANDLE when no
// window answers for the handle, ERROR_TIMEOUT after ZU_SEND_MESSAGE_TIMEOUT_MS without an
// answer. On success the last error is ERROR_SUCCESS, so a result of 0 can be told from failure.
LRESULT SendMessage(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
// Queues the message for the window and returns without waiting for it to be handled: TRUE once
// the receiving program has queued it, FALSE (last error as for SendMessage) otherwise.
BOOL PostMessage(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
