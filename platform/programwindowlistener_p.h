// programwindowlistener_p.h - the listening side of one registered window (private to the
// platform layer).
//
// A local socket at the registration's path, served by a poll() loop on a thread of its own with
// no Qt object on it. Each connection reads one request (programwindow_p.h): a hello is answered
// at once, a posted message once it is queued for the window's thread, a sent message once the
// window's thread has handed back its answer (programwindowqueue_p.h). A connection that has not
// sent its whole request within 10 seconds is dropped without a reply. The thread ends when the
// registration is stopped and its listener woken; the socket file goes with it, unless it is no
// longer the one bound here.
//
// That is a plain thread, not a QThread, so its end is a thread join, which thread checkers
// follow (a QThread's end is a wait inside Qt that they cannot see).
#pragma once

#include "programwindow_p.h"
#include "programwindowqueue_p.h"

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

struct stat;

namespace zuwnd {

class Listener {
public:
    Listener(std::shared_ptr<Registration> reg, std::string path);
    ~Listener();
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    void start();
    // Waits until the socket listens (true) or failed (false, with the reason in *error).
    bool waitStarted(std::wstring* error);
    // Waits until the thread has ended (the caller has set `stopped` and woken it).
    void join();

private:
    // One accepted connection. It reads one request, may wait for the window's answer, writes its
    // reply and is closed.
    struct Connection {
        enum State { Reading, Waiting, Writing };
        explicit Connection(int descriptor) : fd(descriptor) {}
        Fd fd;
        State state = Reading;
        Clock::time_point deadline;  // for the whole request, while Reading
        char in[kRequestSize] = {};
        std::size_t got = 0;
        std::string out;
        std::size_t sent = 0;
    };
    using Connections = std::map<std::uint64_t, std::unique_ptr<Connection>>;

    void run();
    bool listen(int server, struct stat* boundAs, bool* bound, std::wstring* error);
    void serve(int server);
    void acceptConnections(int server);
    void readRequest(Connections::iterator it);
    void handleRequest(Connections::iterator it);
    void answer(Connections::iterator it, std::uint32_t status, std::int64_t result);
    void writeReply(Connections::iterator it);
    bool onWake();

    std::shared_ptr<Registration> m_reg;
    const std::string m_path;
    std::thread m_thread;
    Connections m_connections;        // listening thread
    std::uint64_t m_nextId = 0;       // listening thread
    Clock::time_point m_acceptAfter;  // listening thread

    std::mutex m_stateMutex;
    std::condition_variable m_state;
    bool m_started = false;
    bool m_listening = false;
    std::wstring m_error;
};

} // namespace zuwnd
