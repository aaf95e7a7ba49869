// loadingthread.h - the calendar's loading thread.
//
// The thread sleeps until a load is requested, copies the request under the lock as it starts
// (the document keeps changing its settings on the user-interface thread meanwhile), loads into a
// result of its own through its own database connections, and then hands the result over: it
// posts ZU_WM_LOAD_DONE to the receiver (the document, on the user-interface thread) and waits
// until the receiver has taken the result with TakeResult, or until it is stopped. A request that
// arrives during a load is followed by one more load once the current one is handed over.
//
// Stop() (also run by the destructor) sets the abort flag, wakes the thread wherever it waits and
// joins it; a load in progress ends at its next abort check and is not handed over.
#pragma once

#include "calendaritem.h"

#include <QPointer>

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

// Posted to the receiver when a load's result waits to be taken.
constexpr UINT ZU_WM_LOAD_DONE = WM_USER + 0x301;

class CLoadingThread {
public:
    explicit CLoadingThread(QObject* receiver);
    ~CLoadingThread();
    CLoadingThread(const CLoadingThread&) = delete;
    CLoadingThread& operator=(const CLoadingThread&) = delete;

    // The receiver's thread: asks for a load of `request` whose result goes to `target`.
    void Request(const LoadRequest& request, QObject* target);
    // The receiver's thread, on ZU_WM_LOAD_DONE: takes the finished result and the window that
    // asked for it; false when there is none (already taken, or stopped).
    bool TakeResult(LoadResult& result, QPointer<QObject>& target);
    void Stop();

    // Loads completed (handed over or not); for tests.
    int LoadsRun() const { return m_loadsRun.load(); }

private:
    void run();

    QObject* m_receiver;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_requested = false;
    bool m_stopping = false;
    std::atomic<bool> m_abort{false};
    LoadRequest m_request;
    unsigned m_requestId = 0;
    bool m_resultReady = false;
    LoadResult m_result;
    unsigned m_resultId = 0;
    // Receiver's thread only: the window of each request still in flight, by request number.
    std::map<unsigned, QPointer<QObject>> m_targets;
    unsigned m_lastId = 0;
    std::atomic<int> m_loadsRun{0};
    std::thread m_thread;
};
