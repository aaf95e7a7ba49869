// loadwatcher.h - what the views' benchmarks share: counting the hand-overs (WM_ITEMS_LOADED) a
// view receives, and running the event loop until the next one arrives.
#pragma once

#include "calendaritem.h"
#include "windowmessage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>

namespace zubench {

class LoadWatcher : public QObject {
public:
    int seen = 0;

    // Runs the loop until more than `before` hand-overs were seen, or `timeoutMs` passed.
    void waitPast(int before, int timeoutMs = 5000) const
    {
        QElapsedTimer t;
        t.start();
        while (seen <= before && t.elapsed() < timeoutMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == ZuMessageEvent::eventType() && static_cast<ZuMessageEvent*>(e)->message() == WM_ITEMS_LOADED)
            ++seen;
        return false;
    }
};

}  // namespace zubench
