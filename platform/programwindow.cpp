// The socket folder, registration of the main window, delivery on the window's thread, and the
// sending side of the exchange (the listening side is programwindowlistener.cpp; what the two
// threads of a registration share, programwindowqueue_p.h).
#include "programwindow.h"

#include "datafolder.h"
#include "lasterror.h"
#include "programwindow_p.h"
#include "programwindowlistener_p.h"
#include "programwindowqueue_p.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QSocketNotifier>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using namespace zuwnd;

// While the window's own thread waits in SendMessage, it looks for messages sent to it this often.
constexpr int kServeSliceMs = 5;

HWND ownHandle()
{
    HWND h = static_cast<HWND>(::getpid());
    if (h == ZU_HWND_UNSET)
        h |= 0x80000000u;
    return h;
}

std::string socketPath(const std::string& folder, HWND handle)
{
    return folder + "/hwnd-" + std::to_string(handle);
}

bool fitsSocketAddress(const std::string& path)
{
    return path.size() < sizeof(sockaddr_un{}.sun_path);
}

std::mutex g_mutex;
std::shared_ptr<Registration> g_current;

std::shared_ptr<Registration> currentRegistration()
{
    std::lock_guard lock(g_mutex);
    return g_current;
}

// Delivers on the window's thread; the default handling is told in the header.
LRESULT dispatchMessage(QObject* window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ZuMessageEvent event(message, wParam, lParam);
    QPointer<QObject> guard(window);
    QCoreApplication::sendEvent(window, &event);
    if (event.isAccepted())
        return event.result();
    if (message == WM_CLOSE && guard) {
        if (window->isWidgetType())  // QWidget::close() is a slot: called by name, this needs no Qt Widgets
            QMetaObject::invokeMethod(window, "close", Qt::DirectConnection);
        else
            QCoreApplication::quit();
    }
    return 0;
}

// Runs on the window's thread: the queued messages in order, or only those a sender waits for.
// Takes one at a time, so a handler that runs an event loop of its own, or ends the window, is safe.
void deliverQueued(const std::shared_ptr<Registration>& reg, bool sentOnly)
{
    for (;;) {
        Job job;
        {
            std::lock_guard lock(reg->mutex);
            auto it = reg->jobs.begin();
            if (sentOnly)
                while (it != reg->jobs.end() && !it->sent)
                    ++it;
            if (it == reg->jobs.end())
                return;
            job = std::move(*it);
            reg->jobs.erase(it);
        }
        QObject* window = reg->window.data();
        const LRESULT result = window ? dispatchMessage(window, job.message, job.wParam, job.lParam) : 0;
        complete(reg, job, window != nullptr, result);
    }
}

// Stops listening and fails the messages still queued. Runs on the window's thread.
void endRegistration(const std::shared_ptr<Registration>& reg)
{
    {
        std::lock_guard lock(g_mutex);
        if (g_current == reg)
            g_current.reset();
    }
    std::deque<Job> left;
    {
        std::lock_guard lock(reg->mutex);
        if (reg->stopped)
            return;
        reg->stopped = true;
        left.swap(reg->jobs);
    }
    if (Listener* listener = reg->listener) {
        wake(reg->listenerWake);
        listener->join();
        delete listener;
        reg->listener = nullptr;
    }
    for (Job& job : left)
        complete(reg, job, false, 0);
    reg->host = nullptr;
}

// Lives on the window's thread as the window's child, so the registration ends with the window.
class WindowHost : public QObject {
public:
    WindowHost(QObject* window, std::shared_ptr<Registration> reg) : QObject(window), m_reg(std::move(reg))
    {
        auto* notifier = new QSocketNotifier(m_reg->uiWake, QSocketNotifier::Read, this);
        std::shared_ptr<Registration> r = m_reg;
        QObject::connect(notifier, &QSocketNotifier::activated, this, [r] {
            drainWake(r->uiWake);
            deliverQueued(r, false);
        });
    }
    ~WindowHost() override { endRegistration(m_reg); }

private:
    std::shared_ptr<Registration> m_reg;
};

enum class Outcome { Done, NoWindow, Timeout };

// Waits for `events` on fd until the deadline; the window's own thread (serve non-null) meanwhile
// delivers messages sent to its window. True when the fd is ready.
bool waitFd(int fd, short events, Clock::time_point deadline, const std::shared_ptr<Registration>& serve)
{
    for (;;) {
        if (serve)
            deliverQueued(serve, true);
        const int left = msLeft(deadline);
        pollfd p{fd, events, 0};
        const int slice = serve ? std::min(left, kServeSliceMs) : left;
        const int n = ::poll(&p, 1, slice);
        if (n > 0)
            return true;
        if (n < 0 && errno != EINTR)
            return false;
        if (left == 0)
            return false;
    }
}

// One request and its reply with the window listening for `req.target`; sets the last error
// unless Done.
Outcome exchange(const Request& req, int timeoutMs, const std::shared_ptr<Registration>& serve, Reply& reply)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const std::string folder = ZuProgramWindowFolder();
    if (folder.empty())
        return Outcome::NoWindow;
    const std::string path = socketPath(folder, req.target);
    if (!fitsSocketAddress(path)) {
        ZuSetLastError(ERROR_INVALID_WINDOW_HANDLE, L"socket path too long");
        return Outcome::NoWindow;
    }
    Fd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (fd.get() < 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return Outcome::NoWindow;
    }
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    for (;;) {
        if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0)
            break;
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN) {  // the listener's backlog is full: try again shortly
            if (msLeft(deadline) == 0) {
                SetLastError(ERROR_TIMEOUT);
                return Outcome::Timeout;
            }
            if (serve)
                deliverQueued(serve, true);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        if (errno == EINPROGRESS) {
            if (!waitFd(fd.get(), POLLOUT, deadline, serve)) {
                SetLastError(ERROR_TIMEOUT);
                return Outcome::Timeout;
            }
            int err = 0;
            socklen_t len = sizeof err;
            if (::getsockopt(fd.get(), SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0)
                break;
        }
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return Outcome::NoWindow;
    }

    const std::string out = encodeRequest(req);
    for (std::size_t sent = 0; sent < out.size();) {
        const ssize_t n = ::send(fd.get(), out.data() + sent, out.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            if (!waitFd(fd.get(), POLLOUT, deadline, serve)) {
                SetLastError(ERROR_TIMEOUT);
                return Outcome::Timeout;
            }
            continue;
        }
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return Outcome::NoWindow;
    }

    char in[kReplySize];
    for (std::size_t got = 0; got < kReplySize;) {
        const ssize_t n = ::recv(fd.get(), in + got, kReplySize - got, 0);
        if (n > 0) {
            got += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            if (!waitFd(fd.get(), POLLIN, deadline, serve)) {
                SetLastError(ERROR_TIMEOUT);
                return Outcome::Timeout;
            }
            continue;
        }
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);  // closed before answering
        return Outcome::NoWindow;
    }
    if (!decodeReply(in, sizeof in, reply) || reply.status != kStatusDone || reply.handle != req.target) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return Outcome::NoWindow;
    }
    return Outcome::Done;
}

bool reservedHandle(HWND handle)
{
    return handle == 0 || handle == ZU_HWND_UNSET;
}

// The registration when `handle` is this program's own live window.
std::shared_ptr<Registration> ownRegistration(HWND handle)
{
    std::shared_ptr<Registration> reg = currentRegistration();
    if (!reg || reg->handle != handle)
        return nullptr;
    std::lock_guard lock(reg->mutex);
    return reg->stopped ? nullptr : reg;
}

// The registration whose window lives on the calling thread, if any.
std::shared_ptr<Registration> servingRegistration()
{
    std::shared_ptr<Registration> reg = currentRegistration();
    return reg && reg->uiThread == QThread::currentThread() ? reg : nullptr;
}

// A sent or posted message, as this program's own window gets it and as another program's
// window is asked to take it: SendMessage and PostMessage build it once for either way.
struct Message {
    HWND handle = 0;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;

    Job job(bool sent, std::shared_ptr<Waiter> waiter = nullptr) const
    {
        Job j;
        j.message = message;
        j.wParam = wParam;
        j.lParam = lParam;
        j.sent = sent;
        j.waiter = std::move(waiter);
        return j;
    }
    Request request(std::uint32_t op) const
    {
        Request r;
        r.op = op;
        r.target = handle;
        r.message = message;
        r.wParam = static_cast<std::uint64_t>(wParam);
        r.lParam = static_cast<std::int64_t>(lParam);
        return r;
    }
};

// SendMessage to this program's own window from a thread other than the window's.
LRESULT sendToOwnWindow(const std::shared_ptr<Registration>& reg, const Message& m)
{
    auto waiter = std::make_shared<Waiter>();
    if (!enqueue(reg, m.job(true, waiter))) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    std::unique_lock lock(waiter->mutex);
    // system_clock: its timed wait is the plain one, which thread checkers follow.
    const auto until = std::chrono::system_clock::now() + std::chrono::milliseconds(ZU_SEND_MESSAGE_TIMEOUT_MS);
    if (!waiter->cv.wait_until(lock, until, [&] { return waiter->finished; })) {
        SetLastError(ERROR_TIMEOUT);
        return 0;
    }
    if (!waiter->delivered) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    SetLastError(ERROR_SUCCESS);
    return waiter->result;
}

} // namespace

std::string ZuProgramWindowFolder()
{
    std::string folder;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        folder = runtime;
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        folder += "/zupims";
    } else {
        const std::string data = ZuDataFolder();
        if (data.empty()) {
            ZuSetLastError(ERROR_FILE_NOT_FOUND, L"no data folder for the window sockets");
            return {};
        }
        folder = data + "/run";
    }
    const std::wstring wide = CString::fromUtf8(folder).str();
    if (::mkdir(folder.c_str(), 0700) == 0) {
        ::chmod(folder.c_str(), 0700);  // whatever the umask
    } else if (errno != EEXIST) {
        ZuSetLastError(errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND, L"cannot create " + wide);
        return {};
    }
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) {
        ZuSetLastError(ERROR_FILE_NOT_FOUND, L"cannot read " + wide);
        return {};
    }
    if (!S_ISDIR(st.st_mode)) {
        ZuSetLastError(ERROR_ACCESS_DENIED, wide + L" is not a folder");
        return {};
    }
    if (st.st_uid != ::geteuid()) {
        ZuSetLastError(ERROR_ACCESS_DENIED, wide + L" belongs to another user");
        return {};
    }
    if ((st.st_mode & 077) != 0) {
        ZuSetLastError(ERROR_ACCESS_DENIED, wide + L" is open to other users");
        return {};
    }
    return folder;
}

HWND ZuRegisterMainWindow(QObject* window)
{
    if (!window || window->thread() != QThread::currentThread()) {
        ZuSetLastError(ERROR_INVALID_PARAMETER, L"a window is registered on its own thread");
        return 0;
    }
    if (std::shared_ptr<Registration> old = currentRegistration()) {
        if (old->windowId == window)
            return old->handle;
        if (old->uiThread != QThread::currentThread()) {
            ZuSetLastError(ERROR_ALREADY_EXISTS, L"another thread's window is registered");
            return 0;
        }
        delete old->host;  // ends the old registration, which frees the socket name
    }
    const std::string folder = ZuProgramWindowFolder();
    if (folder.empty())
        return 0;
    const HWND handle = ownHandle();
    const std::string path = socketPath(folder, handle);
    if (!fitsSocketAddress(path)) {
        ZuSetLastError(ERROR_INVALID_PARAMETER, L"socket path too long: " + CString::fromUtf8(path).str());
        return 0;
    }

    auto reg = std::make_shared<Registration>();
    reg->handle = handle;
    reg->windowId = window;
    reg->uiThread = window->thread();
    reg->window = window;
    if (!makeEventFd(reg->uiWake) || !makeEventFd(reg->listenerWake)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    auto* listener = new Listener(reg, path);
    listener->start();
    std::wstring error;
    if (!listener->waitStarted(&error)) {
        delete listener;  // it has ended by itself
        ZuSetLastError(ERROR_ACCESS_DENIED, error);
        return 0;
    }
    reg->listener = listener;
    reg->host = new WindowHost(window, reg);
    {
        std::lock_guard lock(g_mutex);
        g_current = reg;
    }
    return handle;
}

BOOL ZuUnregisterMainWindow(QObject* window)
{
    std::shared_ptr<Registration> reg = currentRegistration();
    if (!window || !reg || reg->windowId != window || reg->uiThread != QThread::currentThread())
        return FALSE;
    delete reg->host;
    return TRUE;
}

HWND ZuMainWindowHandle()
{
    std::shared_ptr<Registration> reg = currentRegistration();
    return reg ? reg->handle : 0;
}

HWND ZuWindowHandle(const QObject* window)
{
    std::shared_ptr<Registration> reg = currentRegistration();
    return reg && window && reg->windowId == window ? reg->handle : 0;
}

BOOL IsWindow(HWND handle)
{
    if (reservedHandle(handle))
        return FALSE;
    if (ownRegistration(handle))
        return TRUE;
    Request req;
    req.op = kOpHello;
    req.target = handle;
    Reply reply;
    return exchange(req, ZU_WINDOW_REPLY_TIMEOUT_MS, nullptr, reply) == Outcome::Done;
}

LRESULT SendMessage(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (reservedHandle(handle)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    const Message m{handle, message, wParam, lParam};
    if (std::shared_ptr<Registration> reg = ownRegistration(handle)) {
        if (reg->uiThread != QThread::currentThread())
            return sendToOwnWindow(reg, m);
        QObject* window = reg->window.data();
        if (!window) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        const LRESULT result = dispatchMessage(window, message, wParam, lParam);
        SetLastError(ERROR_SUCCESS);
        return result;
    }
    Reply reply;
    if (exchange(m.request(kOpSend), ZU_SEND_MESSAGE_TIMEOUT_MS, servingRegistration(), reply) != Outcome::Done)
        return 0;
    SetLastError(ERROR_SUCCESS);
    return static_cast<LRESULT>(reply.result);
}

BOOL PostMessage(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (reservedHandle(handle)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const Message m{handle, message, wParam, lParam};
    if (std::shared_ptr<Registration> reg = ownRegistration(handle)) {
        if (!enqueue(reg, m.job(false))) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        SetLastError(ERROR_SUCCESS);
        return TRUE;
    }
    Reply reply;
    if (exchange(m.request(kOpPost), ZU_WINDOW_REPLY_TIMEOUT_MS, nullptr, reply) != Outcome::Done)
        return FALSE;
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}
