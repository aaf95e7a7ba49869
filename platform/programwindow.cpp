#include "programwindow.h"

#include "datafolder.h"
#include "lasterror.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QSocketNotifier>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

// Threads and what they share. The listening thread of a registered window owns the listening
// socket and its connections; the window's thread delivers messages. They hand work to each other
// only through `Registration` (a std::mutex) and wake each other by writing an eventfd that the
// other side watches (poll() on the listening thread, a QSocketNotifier on the window's thread),
// so no data crosses threads inside Qt's queues.

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kMagic[8] = {'Z', 'u', 'P', 'i', 'm', 'W', 'n', 'd'};
constexpr std::uint32_t kVersion = 1;
constexpr int kRequestSize = 40;
constexpr int kReplySize = 32;
constexpr std::uint32_t kOpHello = 1;
constexpr std::uint32_t kOpSend = 2;
constexpr std::uint32_t kOpPost = 3;
constexpr std::uint32_t kStatusDone = 0;
constexpr std::uint32_t kStatusNotMine = 1;
constexpr std::uint32_t kStatusBadRequest = 2;
constexpr std::uint32_t kStatusGone = 3;  // the window ended before it handled the message
// A connection that has not sent its request by then is dropped.
constexpr int kRequestWaitMs = 10000;
// While the window's own thread waits in SendMessage, it looks for messages sent to it this often.
constexpr int kServeSliceMs = 5;

struct Request {
    std::uint32_t op = 0;
    HWND target = 0;
    UINT message = 0;
    std::uint64_t wParam = 0;
    std::int64_t lParam = 0;
};

struct Reply {
    std::uint32_t status = 0;
    HWND handle = 0;
    std::int64_t result = 0;
};

void put32(char* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

void put64(char* p, std::uint64_t v)
{
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::uint32_t get32(const char* p)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(p[i])) << (8 * i);
    return v;
}

std::uint64_t get64(const char* p)
{
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
    return v;
}

void encodeRequest(const Request& r, char* out)
{
    std::memcpy(out, kMagic, 8);
    put32(out + 8, kVersion);
    put32(out + 12, r.op);
    put32(out + 16, r.target);
    put32(out + 20, r.message);
    put64(out + 24, r.wParam);
    put64(out + 32, static_cast<std::uint64_t>(r.lParam));
}

bool decodeRequest(const char* in, Request& r)
{
    if (std::memcmp(in, kMagic, 8) != 0 || get32(in + 8) != kVersion)
        return false;
    r.op = get32(in + 12);
    r.target = get32(in + 16);
    r.message = get32(in + 20);
    r.wParam = get64(in + 24);
    r.lParam = static_cast<std::int64_t>(get64(in + 32));
    return r.op == kOpHello || r.op == kOpSend || r.op == kOpPost;
}

void encodeReply(std::uint32_t status, HWND handle, std::int64_t result, char* out)
{
    std::memcpy(out, kMagic, 8);
    put32(out + 8, kVersion);
    put32(out + 12, status);
    put32(out + 16, handle);
    put32(out + 20, 0);
    put64(out + 24, static_cast<std::uint64_t>(result));
}

bool decodeReply(const char* in, Reply& r)
{
    if (std::memcmp(in, kMagic, 8) != 0 || get32(in + 8) != kVersion)
        return false;
    r.status = get32(in + 12);
    r.handle = get32(in + 16);
    r.result = static_cast<std::int64_t>(get64(in + 24));
    return true;
}

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

void wake(int fd)
{
    const std::uint64_t one = 1;
    while (::write(fd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void drainWake(int fd)
{
    std::uint64_t count = 0;
    while (::read(fd, &count, sizeof count) < 0 && errno == EINTR) {
    }
}

// Someone waiting in this program for a message it sent to its own window from another thread.
struct Waiter {
    std::mutex mutex;
    std::condition_variable cv;
    bool finished = false;
    bool delivered = false;
    LRESULT result = 0;
};

struct Job {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    bool sent = false;                // a sender waits for the answer
    std::uint64_t replyId = 0;        // the listening thread's connection waiting for it, or 0
    std::shared_ptr<Waiter> waiter;   // a thread of this program waiting for it, or null
};

struct PendingReply {
    std::uint64_t id = 0;
    bool delivered = false;
    LRESULT result = 0;
};

class ListenerThread;

// One registered main window. Fields marked "window thread" are touched only there.
struct Registration {
    ~Registration()
    {
        if (uiWake >= 0)
            ::close(uiWake);
        if (listenerWake >= 0)
            ::close(listenerWake);
    }

    HWND handle = 0;
    const QObject* windowId = nullptr;  // for comparing only
    QThread* uiThread = nullptr;
    int uiWake = -1;        // written when jobs are queued; watched on the window thread
    int listenerWake = -1;  // written when replies are queued or the listener must stop

    std::mutex mutex;
    bool stopped = false;
    std::deque<Job> jobs;
    std::deque<PendingReply> replies;

    QPointer<QObject> window;                // window thread
    QObject* host = nullptr;                 // window thread
    ListenerThread* listener = nullptr;      // window thread
};

std::mutex g_mutex;
std::shared_ptr<Registration> g_current;

std::shared_ptr<Registration> currentRegistration()
{
    std::lock_guard lock(g_mutex);
    return g_current;
}

// Hands the outcome of a job to whoever waits for it.
void complete(const std::shared_ptr<Registration>& reg, Job& job, bool delivered, LRESULT result)
{
    if (job.waiter) {
        std::lock_guard lock(job.waiter->mutex);
        job.waiter->finished = true;
        job.waiter->delivered = delivered;
        job.waiter->result = result;
        job.waiter->cv.notify_all();
    }
    if (job.replyId) {
        std::lock_guard lock(reg->mutex);
        if (!reg->stopped) {
            reg->replies.push_back(PendingReply{job.replyId, delivered, result});
            wake(reg->listenerWake);
        }
    }
}

bool enqueue(const std::shared_ptr<Registration>& reg, Job job)
{
    {
        std::lock_guard lock(reg->mutex);
        if (reg->stopped)
            return false;
        reg->jobs.push_back(std::move(job));
    }
    wake(reg->uiWake);
    return true;
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

int msLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

std::wstring errnoText(int err)
{
    return CString::fromUtf8(std::strerror(err)).str();
}

// The listening side of one registered window: a listening socket served by a poll() loop on a
// thread of its own, with no Qt object on it. That is a plain thread, not a QThread, so its end is
// a thread join, which thread checkers follow (a QThread's end is a wait inside Qt that they
// cannot see).
class ListenerThread {
public:
    ListenerThread(std::shared_ptr<Registration> reg, std::string path) : m_reg(std::move(reg)), m_path(std::move(path)) {}
    ~ListenerThread()
    {
        if (m_thread.joinable())
            m_thread.join();
    }

    void start() { m_thread = std::thread([this] { run(); }); }

    // Waits until the socket listens (true) or failed (false, with the reason in *error).
    bool waitStarted(std::wstring* error)
    {
        std::unique_lock lock(m_stateMutex);
        m_state.wait(lock, [this] { return m_started; });
        *error = m_error;
        return m_listening;
    }

    // Waits until the thread has ended (the caller has set `stopped` and woken it).
    void join()
    {
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    static constexpr int kBacklog = 64;
    // After running out of descriptors (or memory), accepting rests this long instead of spinning.
    static constexpr int kAcceptPauseMs = 100;

    // One accepted connection. It reads one request, may wait for the window's answer, writes its
    // reply and is closed.
    struct Connection {
        enum State { Reading, Waiting, Writing };
        explicit Connection(int descriptor) : fd(descriptor) {}
        Fd fd;
        State state = Reading;
        Clock::time_point deadline;  // for the whole request, while Reading
        char in[kRequestSize] = {};
        int got = 0;
        char out[kReplySize] = {};
        int sent = 0;
    };
    using Connections = std::map<std::uint64_t, std::unique_ptr<Connection>>;

    void run()
    {
        Fd server(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
        struct stat boundAs {};
        bool bound = false;
        std::wstring error;
        const bool ok = listen(server.get(), &boundAs, &bound, &error);
        {
            std::lock_guard lock(m_stateMutex);
            m_started = true;
            m_listening = ok;
            m_error = error;
            m_state.notify_all();
        }
        if (ok)
            serve(server.get());
        m_connections.clear();
        // The socket file goes with the listener, unless it is no longer the one bound here.
        struct stat now {};
        if (bound && ::lstat(m_path.c_str(), &now) == 0 && now.st_dev == boundAs.st_dev && now.st_ino == boundAs.st_ino)
            ::unlink(m_path.c_str());
    }

    bool listen(int server, struct stat* boundAs, bool* bound, std::wstring* error)
    {
        const std::wstring path = CString::fromUtf8(m_path).str();
        if (server < 0) {
            *error = L"cannot listen on " + path + L": " + errnoText(errno);
            return false;
        }
        // The mode of an unbound local socket becomes its file's mode at bind, so the file is never
        // open to others, not even before the chmod below.
        ::fchmod(server, 0600);
        // Our handle is our process id, so a socket file of that name is a leftover of a program
        // that has ended.
        ::unlink(m_path.c_str());
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::memcpy(addr.sun_path, m_path.c_str(), m_path.size() + 1);
        if (::bind(server, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
            *error = L"cannot listen on " + path + L": " + errnoText(errno);
            return false;
        }
        *bound = ::lstat(m_path.c_str(), boundAs) == 0;
        if (::chmod(m_path.c_str(), 0600) != 0) {
            *error = L"cannot restrict " + path;
            return false;
        }
        if (::listen(server, kBacklog) != 0) {
            *error = L"cannot listen on " + path + L": " + errnoText(errno);
            return false;
        }
        return true;
    }

    // Until the registration stops.
    void serve(int server)
    {
        std::vector<pollfd> fds;
        std::vector<std::uint64_t> ids;
        for (;;) {
            fds.clear();
            ids.clear();
            const Clock::time_point now = Clock::now();
            Clock::time_point soonest = Clock::time_point::max();
            const bool accepting = now >= m_acceptAfter;
            if (!accepting)
                soonest = m_acceptAfter;
            fds.push_back({m_reg->listenerWake, POLLIN, 0});
            fds.push_back({server, static_cast<short>(accepting ? POLLIN : 0), 0});
            for (const auto& [id, c] : m_connections) {
                // A connection waiting for its answer is watched for its peer hanging up only.
                const short events = c->state == Connection::Reading ? POLLIN
                    : c->state == Connection::Writing                ? POLLOUT
                                                                     : 0;
                fds.push_back({c->fd.get(), events, 0});
                ids.push_back(id);
                if (c->state == Connection::Reading)
                    soonest = std::min(soonest, c->deadline);
            }
            const int timeout = soonest == Clock::time_point::max() ? -1 : msLeft(soonest) + 1;
            const int n = ::poll(fds.data(), fds.size(), timeout);
            if (n < 0) {
                if (errno != EINTR)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
            if (fds[0].revents != 0 && onWake())
                return;
            for (size_t i = 0; i < ids.size(); ++i) {
                const short revents = fds[i + 2].revents;
                auto it = m_connections.find(ids[i]);
                if (revents == 0 || it == m_connections.end())
                    continue;
                Connection& c = *it->second;
                if (c.state == Connection::Reading)
                    readRequest(it);
                else if (c.state == Connection::Writing)
                    writeReply(it);
                else  // Waiting: the peer has gone, so nobody wants the answer
                    m_connections.erase(it);
            }
            const Clock::time_point later = Clock::now();
            for (auto it = m_connections.begin(); it != m_connections.end();) {
                if (it->second->state == Connection::Reading && later >= it->second->deadline)
                    it = m_connections.erase(it);
                else
                    ++it;
            }
            if (fds[1].revents != 0)
                acceptConnections(server);
        }
    }

    void acceptConnections(int server)
    {
        for (;;) {
            const int fd = ::accept4(server, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (fd < 0) {
                if (errno == EINTR || errno == ECONNABORTED)
                    continue;
                if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
                    m_acceptAfter = Clock::now() + std::chrono::milliseconds(kAcceptPauseMs);
                return;
            }
            auto c = std::make_unique<Connection>(fd);
            c->deadline = Clock::now() + std::chrono::milliseconds(kRequestWaitMs);
            auto it = m_connections.emplace(++m_nextId, std::move(c)).first;
            readRequest(it);  // the request has usually arrived with the connection
        }
    }

    // Reads what has arrived of the request; handles it once it is whole.
    void readRequest(Connections::iterator it)
    {
        Connection& c = *it->second;
        while (c.got < kRequestSize) {
            const ssize_t n = ::recv(c.fd.get(), c.in + c.got, static_cast<size_t>(kRequestSize - c.got), 0);
            if (n > 0) {
                c.got += static_cast<int>(n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return;
            m_connections.erase(it);  // closed, or failed, before the whole request
            return;
        }
        handleRequest(it);
    }

    void handleRequest(Connections::iterator it)
    {
        Connection& c = *it->second;
        Request req;
        if (!decodeRequest(c.in, req)) {
            answer(it, kStatusBadRequest, 0);
            return;
        }
        if (req.target != m_reg->handle) {
            answer(it, kStatusNotMine, 0);
            return;
        }
        if (req.op == kOpHello) {
            answer(it, kStatusDone, 0);
            return;
        }
        Job job;
        job.message = req.message;
        job.wParam = static_cast<WPARAM>(req.wParam);
        job.lParam = static_cast<LPARAM>(req.lParam);
        job.sent = req.op == kOpSend;
        job.replyId = job.sent ? it->first : 0;
        const bool sent = job.sent;
        c.state = Connection::Waiting;
        if (!enqueue(m_reg, std::move(job)))
            answer(it, kStatusGone, 0);
        else if (!sent)  // a posted message is answered once it is queued
            answer(it, kStatusDone, 0);
    }

    void answer(Connections::iterator it, std::uint32_t status, std::int64_t result)
    {
        Connection& c = *it->second;
        encodeReply(status, m_reg->handle, result, c.out);
        c.state = Connection::Writing;
        c.sent = 0;
        writeReply(it);
    }

    // Writes what the socket takes of the reply; the connection ends once it is all written (or
    // the peer has gone).
    void writeReply(Connections::iterator it)
    {
        Connection& c = *it->second;
        while (c.sent < kReplySize) {
            const ssize_t n = ::send(c.fd.get(), c.out + c.sent, static_cast<size_t>(kReplySize - c.sent), MSG_NOSIGNAL);
            if (n > 0) {
                c.sent += static_cast<int>(n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return;
            break;
        }
        m_connections.erase(it);
    }

    // Sends the answers that are ready; true when the listener is to stop.
    bool onWake()
    {
        drainWake(m_reg->listenerWake);
        std::deque<PendingReply> replies;
        bool stop = false;
        {
            std::lock_guard lock(m_reg->mutex);
            replies.swap(m_reg->replies);
            stop = m_reg->stopped;
        }
        for (const PendingReply& r : replies) {
            auto it = m_connections.find(r.id);
            if (it != m_connections.end() && it->second->state == Connection::Waiting)
                answer(it, r.delivered ? kStatusDone : kStatusGone, r.result);
        }
        return stop;
    }

    std::shared_ptr<Registration> m_reg;
    const std::string m_path;
    std::thread m_thread;
    Connections m_connections;  // listening thread
    std::uint64_t m_nextId = 0;  // listening thread
    Clock::time_point m_acceptAfter;  // listening thread

    std::mutex m_stateMutex;
    std::condition_variable m_state;
    bool m_started = false;
    bool m_listening = false;
    std::wstring m_error;
};

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
    if (ListenerThread* listener = reg->listener) {
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

bool makeEventFd(int& fd)
{
    fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    return fd >= 0;
}

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

// One request and its reply with the window listening for `target`; sets the last error unless Done.
Outcome exchange(HWND target, const Request& req, int timeoutMs, const std::shared_ptr<Registration>& serve,
    Reply& reply)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const std::string folder = ZuProgramWindowFolder();
    if (folder.empty())
        return Outcome::NoWindow;
    const std::string path = socketPath(folder, target);
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

    char out[kRequestSize];
    encodeRequest(req, out);
    for (int sent = 0; sent < kRequestSize;) {
        const ssize_t n = ::send(fd.get(), out + sent, static_cast<size_t>(kRequestSize - sent), MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<int>(n);
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
    for (int got = 0; got < kReplySize;) {
        const ssize_t n = ::recv(fd.get(), in + got, static_cast<size_t>(kReplySize - got), 0);
        if (n > 0) {
            got += static_cast<int>(n);
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
    if (!decodeReply(in, reply) || reply.status != kStatusDone || reply.handle != target) {
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
    auto* listener = new ListenerThread(reg, path);
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
    return exchange(handle, req, ZU_WINDOW_REPLY_TIMEOUT_MS, nullptr, reply) == Outcome::Done;
}

LRESULT SendMessage(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (reservedHandle(handle)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (std::shared_ptr<Registration> reg = ownRegistration(handle)) {
        if (reg->uiThread == QThread::currentThread()) {
            QObject* window = reg->window.data();
            if (!window) {
                SetLastError(ERROR_INVALID_WINDOW_HANDLE);
                return 0;
            }
            const LRESULT result = dispatchMessage(window, message, wParam, lParam);
            SetLastError(ERROR_SUCCESS);
            return result;
        }
        auto waiter = std::make_shared<Waiter>();
        Job job;
        job.message = message;
        job.wParam = wParam;
        job.lParam = lParam;
        job.sent = true;
        job.waiter = waiter;
        if (!enqueue(reg, std::move(job))) {
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
    Request req;
    req.op = kOpSend;
    req.target = handle;
    req.message = message;
    req.wParam = static_cast<std::uint64_t>(wParam);
    req.lParam = static_cast<std::int64_t>(lParam);
    Reply reply;
    if (exchange(handle, req, ZU_SEND_MESSAGE_TIMEOUT_MS, servingRegistration(), reply) != Outcome::Done)
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
    if (std::shared_ptr<Registration> reg = ownRegistration(handle)) {
        Job job;
        job.message = message;
        job.wParam = wParam;
        job.lParam = lParam;
        if (!enqueue(reg, std::move(job))) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        SetLastError(ERROR_SUCCESS);
        return TRUE;
    }
    Request req;
    req.op = kOpPost;
    req.target = handle;
    req.message = message;
    req.wParam = static_cast<std::uint64_t>(wParam);
    req.lParam = static_cast<std::int64_t>(lParam);
    Reply reply;
    if (exchange(handle, req, ZU_WINDOW_REPLY_TIMEOUT_MS, nullptr, reply) != Outcome::Done)
        return FALSE;
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL ZuStartProgram(const wchar_t* path, const wchar_t* commandLine)
{
    if (!path || !*path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::string file = CString(path).toUtf8();
    const std::wstring wide(path);
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) {
        ZuSetLastError(errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND, L"cannot start " + wide);
        return FALSE;
    }
    if (!S_ISREG(st.st_mode) || ::access(file.c_str(), X_OK) != 0) {
        ZuSetLastError(ERROR_ACCESS_DENIED, wide + L" is not an executable file");
        return FALSE;
    }
    std::string argument = commandLine ? CString(commandLine).toUtf8() : std::string();
    std::string program = file;
    std::vector<char*> argv{program.data()};
    if (!argument.empty())
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    // Two forks: the program is nobody's child here, so nothing has to wait for it. Only
    // async-signal-safe calls between fork and exec.
    const pid_t child = ::fork();
    if (child == 0) {
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild != 0)
            ::_exit(grandchild < 0 ? 1 : 0);
        ::syscall(SYS_close_range, 3u, ~0u, 4u /* CLOSE_RANGE_CLOEXEC */);
        ::execv(argv[0], argv.data());
        const int err = errno;
        [[maybe_unused]] const ssize_t n = ::write(report[1], &err, sizeof err);
        ::_exit(127);
    }
    ::close(report[1]);
    if (child < 0) {
        ::close(report[0]);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int err = 0;
    ssize_t n;
    while ((n = ::read(report[0], &err, sizeof err)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    if (n == static_cast<ssize_t>(sizeof err)) {
        const DWORD code = err == ENOEXEC ? ERROR_BAD_EXE_FORMAT
            : err == ENOENT               ? ERROR_FILE_NOT_FOUND
            : err == EACCES               ? ERROR_ACCESS_DENIED
                                          : ERROR_BAD_EXE_FORMAT;
        ZuSetLastError(code, L"cannot start " + wide + L": " + CString::fromUtf8(std::strerror(err)).str());
        return FALSE;
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

CString ZuMapProgramPath(const wchar_t* handheldPath)
{
    CString path(handheldPath);
    path.Replace(L'\\', L'/');
    if (path.GetLength() >= 4 && path.Right(4).CompareNoCase(L".exe") == 0)
        path = path.Left(path.GetLength() - 4);
    const int slash = path.ReverseFind(L'/');
    const CString name = path.Mid(slash + 1);
    if (slash > 0 && !name.IsEmpty()) {
        const std::string file = path.toUtf8();
        struct stat st {};
        if (::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(file.c_str(), X_OK) == 0)
            return path;
    }
    return CString::fromQString(QCoreApplication::applicationDirPath()) + L"/" + name;
}
