// programwindowqueue_p.h - one registered main window, and how its listening thread and its
// window's thread hand work to each other (private to the platform layer).
//
// The listening thread (programwindowlistener_p.h) owns the listening socket and its
// connections; the window's thread delivers messages. They hand work to each other only through
// `Registration` (a std::mutex) and wake each other by writing an eventfd that the other side
// watches (poll() on the listening thread, a QSocketNotifier on the window's thread), so no data
// crosses threads inside Qt's queues.
#pragma once

#include "programwindow.h"

#include <QPointer>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

class QObject;
class QThread;

namespace zuwnd {

class Listener;

// Someone waiting in this program for a message it sent to its own window from another thread.
struct Waiter {
    std::mutex mutex;
    std::condition_variable cv;
    bool finished = false;
    bool delivered = false;
    LRESULT result = 0;
};

// A message for the window's thread.
struct Job {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    bool sent = false;               // a sender waits for the answer
    std::uint64_t replyId = 0;       // the listening thread's connection waiting for it, or 0
    std::shared_ptr<Waiter> waiter;  // a thread of this program waiting for it, or null
};

// The answer to a sent message, for the listening thread's connection `id`.
struct PendingReply {
    std::uint64_t id = 0;
    bool delivered = false;
    LRESULT result = 0;
};

// One registered main window. Fields marked "window thread" are touched only there.
struct Registration {
    Registration() = default;
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;
    ~Registration();

    HWND handle = 0;
    const QObject* windowId = nullptr;  // for comparing only
    QThread* uiThread = nullptr;
    int uiWake = -1;        // written when jobs are queued; watched on the window thread
    int listenerWake = -1;  // written when replies are queued or the listener must stop

    std::mutex mutex;
    bool stopped = false;
    std::deque<Job> jobs;
    std::deque<PendingReply> replies;

    QPointer<QObject> window;      // window thread
    QObject* host = nullptr;       // window thread
    Listener* listener = nullptr;  // window thread
};

// A non-blocking eventfd; false when none can be made.
bool makeEventFd(int& fd);
void wake(int fd);
void drainWake(int fd);

// Queues the job for the window's thread and wakes it; false once the registration has stopped.
bool enqueue(const std::shared_ptr<Registration>& reg, Job job);
// Hands the outcome of a job to whoever waits for it.
void complete(const std::shared_ptr<Registration>& reg, Job& job, bool delivered, LRESULT result);

} // namespace zuwnd
