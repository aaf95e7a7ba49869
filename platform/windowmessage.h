// windowmessage.h - window messages delivered as Qt events.
//
// A window of the suite is a QObject; a message posted to it arrives on its thread as a
// `ZuMessageEvent` carrying the message number and its two parameters, in posting order.
//
// A window answers a message in its event(): setResult(answer) gives the sender its LRESULT
// and marks the message handled (accept() marks it handled with the answer 0). A message arrives
// not accepted, so one that no window code handled (QObject::event swallows every custom event)
// is left to the default handling; programwindow.h says what that does for messages that come
// through a window handle.
#pragma once

#include "wintypes.h"

#include <QEvent>

#include <QObject>

// A window of the suite, as the calls that take a window see it.
using CWnd = QObject;

class ZuMessageEvent : public QEvent {
public:
    ZuMessageEvent(UINT message, WPARAM wParam, LPARAM lParam)
        : QEvent(eventType()), m_message(message), m_wParam(wParam), m_lParam(lParam)
    {
        setAccepted(false);
    }
    static QEvent::Type eventType();

    UINT message() const { return m_message; }
    WPARAM wParam() const { return m_wParam; }
    LPARAM lParam() const { return m_lParam; }
    LRESULT result() const { return m_result; }
    void setResult(LRESULT result)
    {
        m_result = result;
        accept();
    }

private:
    UINT m_message;
    WPARAM m_wParam;
    LPARAM m_lParam;
    LRESULT m_result = 0;
};

// Queues the message for the target's thread; safe to call from any thread.
void ZuPostMessage(QObject* target, UINT message, WPARAM wParam, LPARAM lParam);
