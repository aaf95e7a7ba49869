// windowmessage.h - window messages delivered as Qt events.
//
// A window of the suite is a QObject; a message posted to it arrives on its thread as a
// `ZuMessageEvent` carrying the message number and its two parameters, in posting order.
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
    }
    static QEvent::Type eventType();

    UINT message() const { return m_message; }
    WPARAM wParam() const { return m_wParam; }
    LPARAM lParam() const { return m_lParam; }

private:
    UINT m_message;
    WPARAM m_wParam;
    LPARAM m_lParam;
};

// Queues the message for the target's thread; safe to call from any thread.
void ZuPostMessage(QObject* target, UINT message, WPARAM wParam, LPARAM lParam);
