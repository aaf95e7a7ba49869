#include "windowmessage.h"

#include <QCoreApplication>
#include <QObject>

#if defined(__SANITIZE_THREAD__)
// Qt's event queue locks with futexes that ThreadSanitizer cannot see, so an event built on one
// thread and read on another would be reported as a race. Each post releases a marker, and every
// event delivery acquires it first (Qt's event-notify hook), which tells the sanitizer what the
// queue guarantees.
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);

namespace {

char g_posted;

bool acquirePosted(void**)
{
    __tsan_acquire(&g_posted);
    return false;  // delivery goes on as usual
}

const bool g_hooked = QInternal::registerCallback(QInternal::EventNotifyCallback, acquirePosted);

}  // namespace
#endif

QEvent::Type ZuMessageEvent::eventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void ZuPostMessage(QObject* target, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!target)
        return;
    auto* event = new ZuMessageEvent(message, wParam, lParam);
#if defined(__SANITIZE_THREAD__)
    (void)g_hooked;
    __tsan_release(&g_posted);
#endif
    QCoreApplication::postEvent(target, event);
}
