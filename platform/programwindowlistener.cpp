#include "programwindowlistener_p.h"

#include "cstring.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <vector>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace zuwnd {

namespace {

constexpr int kBacklog = 64;
// A connection that has not sent its request by then is dropped.
constexpr int kRequestWaitMs = 10000;
// After running out of descriptors (or memory), accepting rests this long instead of spinning.
constexpr int kAcceptPauseMs = 100;

std::wstring errnoText(int err)
{
    return CString::fromUtf8(std::strerror(err)).str();
}

} // namespace

Listener::Listener(std::shared_ptr<Registration> reg, std::string path)
    : m_reg(std::move(reg)), m_path(std::move(path))
{
}

Listener::~Listener()
{
    join();
}

void Listener::start()
{
    m_thread = std::thread([this] { run(); });
}

bool Listener::waitStarted(std::wstring* error)
{
    std::unique_lock lock(m_stateMutex);
    m_state.wait(lock, [this] { return m_started; });
    *error = m_error;
    return m_listening;
}

void Listener::join()
{
    if (m_thread.joinable())
        m_thread.join();
}

void Listener::run()
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

bool Listener::listen(int server, struct stat* boundAs, bool* bound, std::wstring* error)
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
void Listener::serve(int server)
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

void Listener::acceptConnections(int server)
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
void Listener::readRequest(Connections::iterator it)
{
    Connection& c = *it->second;
    while (c.got < kRequestSize) {
        const ssize_t n = ::recv(c.fd.get(), c.in + c.got, kRequestSize - c.got, 0);
        if (n > 0) {
            c.got += static_cast<std::size_t>(n);
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

void Listener::handleRequest(Connections::iterator it)
{
    Connection& c = *it->second;
    Request req;
    if (!decodeRequest(c.in, sizeof c.in, req)) {
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

void Listener::answer(Connections::iterator it, std::uint32_t status, std::int64_t result)
{
    Connection& c = *it->second;
    c.out = encodeReply(status, m_reg->handle, result);
    c.state = Connection::Writing;
    c.sent = 0;
    writeReply(it);
}

// Writes what the socket takes of the reply; the connection ends once it is all written (or the
// peer has gone).
void Listener::writeReply(Connections::iterator it)
{
    Connection& c = *it->second;
    while (c.sent < c.out.size()) {
        const ssize_t n = ::send(c.fd.get(), c.out.data() + c.sent, c.out.size() - c.sent, MSG_NOSIGNAL);
        if (n > 0) {
            c.sent += static_cast<std::size_t>(n);
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
bool Listener::onWake()
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

} // namespace zuwnd
