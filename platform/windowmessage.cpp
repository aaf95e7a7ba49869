#include "windowmessage.h"

#include <QCoreApplication>
#include <QObject>

QEvent::Type ZuMessageEvent::eventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void ZuPostMessage(QObject* target, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (target)
        QCoreApplication::postEvent(target, new ZuMessageEvent(message, wParam, lParam));
}
