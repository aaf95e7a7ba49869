// Program windows and messages between programs: the socket folder, the live-window check,
// delivery within a program and across programs, time limits, and starting a program.
#include "lasterror.h"
#include "programstart.h"
#include "programwindow.h"
#include "programwindow_p.h"
#include "registry.h"
#include "windowtestenv.h"

#include <QApplication>
#include <QDir>
#include <QThread>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

std::string SocketOf(const std::string& folder, HWND hwnd)
{
    return folder + "/hwnd-" + std::to_string(hwnd);
}

// A listening local socket at `path` that is not one of ours. It answers each connection with
// `reply` (nothing at all when empty) and leaves the connection open.
class ForeignSocket {
public:
    ForeignSocket(const std::string& path, std::string reply) : m_reply(std::move(reply))
    {
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
        m_ok = ::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 && ::listen(m_fd, 8) == 0;
        if (m_ok && !m_reply.empty())
            m_thread = std::thread([this] {
                for (;;) {
                    const int c = ::accept(m_fd, nullptr, nullptr);
                    if (c < 0)
                        return;
                    [[maybe_unused]] const ssize_t n = ::write(c, m_reply.data(), m_reply.size());
                    m_accepted.push_back(c);
                }
            });
    }
    ~ForeignSocket()
    {
        ::shutdown(m_fd, SHUT_RDWR);
        if (m_thread.joinable())
            m_thread.join();
        ::close(m_fd);
        for (int c : m_accepted)
            ::close(c);
    }
    bool ok() const { return m_ok; }

private:
    int m_fd = -1;
    bool m_ok = false;
    std::string m_reply;
    std::thread m_thread;
    std::vector<int> m_accepted;
};

// A socket file nobody listens on, as a program that was killed leaves behind.
void LeaveStaleSocket(const std::string& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ::close(fd);
}

// Raw connections to a window's socket, for what SendMessage never does: a request in pieces, no
// request at all, a sender that leaves before its answer.
int ConnectTo(const std::string& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void PutLittleEndian(std::string& out, std::uint64_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

constexpr std::uint32_t kOpHello = 1, kOpSend = 2;

std::string RequestBytes(std::uint32_t op, HWND target, UINT message, std::uint64_t wParam, std::int64_t lParam)
{
    std::string out("ZuPimWnd");
    PutLittleEndian(out, 1, 4);
    PutLittleEndian(out, op, 4);
    PutLittleEndian(out, target, 4);
    PutLittleEndian(out, message, 4);
    PutLittleEndian(out, wParam, 8);
    PutLittleEndian(out, static_cast<std::uint64_t>(lParam), 8);
    return out;
}

// A reply with status 0 ("done").
std::string DoneReply(HWND handle, std::int64_t result)
{
    std::string out("ZuPimWnd");
    PutLittleEndian(out, 1, 4);
    PutLittleEndian(out, 0, 4);
    PutLittleEndian(out, handle, 4);
    PutLittleEndian(out, 0, 4);
    PutLittleEndian(out, static_cast<std::uint64_t>(result), 8);
    return out;
}

// The dwHWND a program has published under the key; 0 when there is none.
HWND PublishedWindow(const wchar_t* key)
{
    HKEY h = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, key, 0, 0, &h) != ERROR_SUCCESS)
        return 0;
    DWORD value = 0, type = 0, size = sizeof value;
    const LONG rc = RegQueryValueEx(h, L"dwHWND", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(h);
    return rc == ERROR_SUCCESS && type == REG_DWORD ? value : 0;
}

bool SendAll(int fd, const std::string& bytes)
{
    return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
}

// The reply on fd, running the event loop meanwhile (this thread's window answers); short when
// the connection ends first.
std::string ReadReply(int fd)
{
    std::string got;
    WaitFor([&] {
        char buf[32];
        const ssize_t n = ::recv(fd, buf, sizeof buf - got.size(), MSG_DONTWAIT);
        if (n > 0)
            got.append(buf, static_cast<size_t>(n));
        return got.size() == sizeof buf || n == 0 || (n < 0 && errno != EAGAIN);
    });
    return got;
}

} // namespace

// The bytes on the wire, against the layout built here byte by byte (RequestBytes, DoneReply).
TEST(ProgramWindow, WireBytes)
{
    const zuwnd::Request requests[] = {
        {zuwnd::kOpHello, 4242, 0, 0, 0},
        {zuwnd::kOpSend, 0x80001234u, WM_USER + 1, 0xFFFFFFFFFFFFFFFFull, -1},
        {zuwnd::kOpPost, 1, 0xFEDCBA98u, 0x0102030405060708ull, INT64_MIN},
    };
    for (const zuwnd::Request& r : requests) {
        SCOPED_TRACE(r.op);
        const std::string bytes = RequestBytes(r.op, r.target, r.message, r.wParam, r.lParam);
        EXPECT_EQ(zuwnd::encodeRequest(r), bytes);
        zuwnd::Request back;
        ASSERT_TRUE(zuwnd::decodeRequest(bytes.data(), bytes.size(), back));
        EXPECT_EQ(back.op, r.op);
        EXPECT_EQ(back.target, r.target);
        EXPECT_EQ(back.message, r.message);
        EXPECT_EQ(back.wParam, r.wParam);
        EXPECT_EQ(back.lParam, r.lParam);
    }
    const std::string good = RequestBytes(kOpSend, 7, 1, 2, 3);
    std::string badMagic = good, badVersion = good;
    badMagic[0] = 'z';
    badVersion[8] = 2;
    const std::string refused[] = {good.substr(0, 39), badMagic, badVersion, RequestBytes(0, 7, 1, 2, 3),
        RequestBytes(4, 7, 1, 2, 3)};
    for (const std::string& bytes : refused) {
        zuwnd::Request r;
        EXPECT_FALSE(zuwnd::decodeRequest(bytes.data(), bytes.size(), r));
    }

    EXPECT_EQ(zuwnd::encodeReply(zuwnd::kStatusDone, 0x80001234u, -5), DoneReply(0x80001234u, -5));
    std::string reply = DoneReply(99, INT64_MAX);
    reply[12] = 3;  // the window ended first
    zuwnd::Reply back;
    ASSERT_TRUE(zuwnd::decodeReply(reply.data(), reply.size(), back));
    EXPECT_EQ(back.status, zuwnd::kStatusGone);
    EXPECT_EQ(back.handle, 99u);
    EXPECT_EQ(back.result, INT64_MAX);
    std::string replyBadMagic = reply;
    replyBadMagic[7] = 'D';
    for (const std::string& bytes : {reply.substr(0, 31), replyBadMagic})
        EXPECT_FALSE(zuwnd::decodeReply(bytes.data(), bytes.size(), back));
}

TEST(ProgramWindow, SocketFolderAndSocketAreOwnerOnly)
{
    for (const bool runtimeSet : {true, false}) {
        SCOPED_TRACE(runtimeSet ? "XDG_RUNTIME_DIR set" : "XDG_RUNTIME_DIR unset");
        WindowTestEnv env;
        if (!runtimeSet)
            ::unsetenv("XDG_RUNTIME_DIR");
        const std::string folder = runtimeSet ? env.socketFolder() : env.home() + "/run";
        ::umask(022);
        RecordingWindow window;
        const HWND hwnd = ZuRegisterMainWindow(&window);
        ASSERT_NE(hwnd, 0u) << ZuLastErrorText().toUtf8();
        EXPECT_EQ(hwnd, static_cast<HWND>(::getpid()));
        EXPECT_EQ(ZuProgramWindowFolder(), folder);
        struct stat st {};
        ASSERT_EQ(::lstat(folder.c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 07777, 0700u);
        EXPECT_EQ(st.st_uid, ::geteuid());
        const std::string socket = SocketOf(folder, hwnd);
        ASSERT_EQ(::lstat(socket.c_str(), &st), 0);
        EXPECT_TRUE(S_ISSOCK(st.st_mode));
        EXPECT_EQ(st.st_mode & 07777, 0600u);
        // Nothing else is left in the folder (Qt's temporary folder for the socket included).
        EXPECT_EQ(QDir(QString::fromStdString(folder)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size(), 1);

        EXPECT_TRUE(ZuUnregisterMainWindow(&window));
        EXPECT_NE(::lstat(socket.c_str(), &st), 0) << "the socket is removed with the registration";
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_EQ(ZuMainWindowHandle(), 0u);
    }
}

TEST(ProgramWindow, UnsafeSocketFolderIsRefused)
{
    enum Kind { GroupReadable, OtherWritable, SymbolicLink, OtherOwner };
    for (const Kind kind : {GroupReadable, OtherWritable, SymbolicLink, OtherOwner}) {
        SCOPED_TRACE(kind);
        WindowTestEnv env;
        const std::string folder = env.socketFolder();
        if (kind == GroupReadable || kind == OtherWritable) {
            ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
            ASSERT_EQ(::chmod(folder.c_str(), kind == GroupReadable ? 0750 : 0703), 0);
        } else if (kind == SymbolicLink) {
            const std::string target = env.runtimeDir() + "/elsewhere";
            ASSERT_EQ(::mkdir(target.c_str(), 0700), 0);
            ASSERT_EQ(::symlink(target.c_str(), folder.c_str()), 0);
        } else {
            if (::geteuid() != 0)
                continue;  // only the superuser can give a folder away
            ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
            ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
        }
        struct stat before {};
        ASSERT_EQ(::lstat(folder.c_str(), &before), 0);

        RecordingWindow window;
        EXPECT_EQ(ZuRegisterMainWindow(&window), 0u);
        EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
        EXPECT_EQ(ZuProgramWindowFolder(), "");
        // Senders refuse the folder too.
        EXPECT_FALSE(IsWindow(static_cast<HWND>(::getpid())));
        EXPECT_FALSE(PostMessage(12345, WM_USER, 0, 0));

        struct stat after {};
        ASSERT_EQ(::lstat(folder.c_str(), &after), 0);
        EXPECT_EQ(after.st_mode, before.st_mode) << "the folder is not repaired behind the user's back";
    }
}

TEST(ProgramWindow, OnlyOurLiveProgramCountsAsWindow)
{
    WindowTestEnv env;
    RecordingWindow window;
    const HWND own = ZuRegisterMainWindow(&window);
    ASSERT_NE(own, 0u);
    const std::string folder = env.socketFolder();
    EXPECT_TRUE(IsWindow(own));

    const HWND stale = DeadHandle();
    LeaveStaleSocket(SocketOf(folder, stale));
    const HWND missing = DeadHandle();
    const HWND junk = 4000001, silent = 4000002, borrowed = 4000003;
    std::string junkReply(32, 'x');
    ForeignSocket junkSocket(SocketOf(folder, junk), junkReply);
    ForeignSocket silentSocket(SocketOf(folder, silent), "");
    ASSERT_TRUE(junkSocket.ok() && silentSocket.ok());
    // Our own live socket under another handle's name: it answers, but not for that handle.
    ASSERT_EQ(::link(SocketOf(folder, own).c_str(), SocketOf(folder, borrowed).c_str()), 0);

    struct Case {
        const char* what;
        HWND hwnd;
        int limitMs;
        bool send;  // a socket that never answers would hold a sender for the whole time limit
    } cases[] = {
        {"no window", 0, 100, true},
        {"the registry's unset default", ZU_HWND_UNSET, 100, true},
        {"no socket", missing, 100, true},
        {"stale socket of a killed program", stale, 100, true},
        {"socket answering something else", junk, 500, true},
        {"socket that never answers", silent, ZU_WINDOW_REPLY_TIMEOUT_MS + 500, false},
        {"another handle's socket", borrowed, 500, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto start = Clock::now();
        EXPECT_FALSE(IsWindow(c.hwnd));
        EXPECT_LT(MillisecondsSince(start), c.limitMs);
        if (!c.send)
            continue;
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(SendMessage(c.hwnd, WM_USER + 1, 1, 2), 0);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    }
    EXPECT_TRUE(window.got.empty()) << "a message addressed to another handle is not delivered";
}

TEST(ProgramWindow, ListenerCopesWithSlowSilentAndVanishingPeers)
{
    WindowTestEnv env;
    const std::string folder = ZuProgramWindowFolder();
    ASSERT_FALSE(folder.empty());
    const HWND self = static_cast<HWND>(::getpid());
    LeaveStaleSocket(SocketOf(folder, self));  // as an ended program with our process id leaves it
    RecordingWindow window;
    const HWND own = ZuRegisterMainWindow(&window);
    ASSERT_EQ(own, self) << ZuLastErrorText().toUtf8();
    const std::string path = SocketOf(folder, own);

    const int silent = ConnectTo(path);  // never sends a request
    ASSERT_GE(silent, 0);
    const auto silentSince = Clock::now();

    // A request that arrives in two pieces.
    const int pieces = ConnectTo(path);
    const std::string request = RequestBytes(kOpSend, own, WM_USER + 1, 4, 2);
    ASSERT_TRUE(SendAll(pieces, request.substr(0, 13)));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(SendAll(pieces, request.substr(13)));
    EXPECT_EQ(ReadReply(pieces), DoneReply(own, 6));
    ::close(pieces);

    // Senders that leave before their answer is ready: one hangs up, one only stops reading, so
    // its answer is written to a peer that cannot take it (which must not raise SIGPIPE here).
    const int hungUp = ConnectTo(path);
    const int deaf = ConnectTo(path);
    ASSERT_TRUE(SendAll(hungUp, RequestBytes(kOpSend, own, WM_USER + 2, 0, 0)));
    ASSERT_TRUE(SendAll(deaf, RequestBytes(kOpSend, own, WM_USER + 3, 0, 0)));
    ::close(hungUp);
    ::shutdown(deaf, SHUT_RD);
    ASSERT_TRUE(WaitFor([&] { return window.got.size() == 3; }));
    const int later = ConnectTo(path);
    ASSERT_TRUE(SendAll(later, RequestBytes(kOpHello, own, 0, 0, 0)));
    EXPECT_EQ(ReadReply(later), DoneReply(own, 0));
    ::close(later);
    ::close(deaf);

    // The silent connection is dropped, without a reply, once its time for a request is over.
    const int requestWaitMs = 10000;
    pollfd p{silent, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, requestWaitMs + 3000), 1);
    char byte = 0;
    EXPECT_EQ(::recv(silent, &byte, 1, 0), 0);
    EXPECT_GE(MillisecondsSince(silentSince), requestWaitMs - 50);
    ::close(silent);

    // A socket file that is no longer the registration's own is left alone when it ends.
    ASSERT_EQ(::unlink(path.c_str()), 0);
    ForeignSocket other(path, "");
    ASSERT_TRUE(other.ok());
    EXPECT_TRUE(ZuUnregisterMainWindow(&window));
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0);
}

TEST(WindowMessage, WithinOneProgram)
{
    WindowTestEnv env;
    RecordingWindow window;
    QThread* handledOn = nullptr;
    window.answer = [&](ZuMessageEvent* m) {
        handledOn = QThread::currentThread();
        m->setResult(static_cast<LRESULT>(m->wParam() * 10) + m->lParam());
        return true;
    };
    const HWND own = ZuRegisterMainWindow(&window);
    ASSERT_NE(own, 0u);
    EXPECT_EQ(ZuWindowHandle(&window), own);

    // Sent on the window's thread: a direct call.
    EXPECT_EQ(SendMessage(own, WM_USER + 5, 4, 2), 42);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    ASSERT_EQ(window.got.size(), 1u);

    // Posted: queued, delivered in order by the event loop.
    ASSERT_TRUE(PostMessage(own, WM_USER + 6, 1, 0));
    ASSERT_TRUE(PostMessage(own, WM_USER + 7, 2, 0));
    EXPECT_EQ(window.got.size(), 1u) << "posting does not deliver at once";
    ASSERT_TRUE(WaitFor([&] { return window.got.size() == 3; }));
    EXPECT_EQ(window.got[1], (Received{WM_USER + 6, 1, 0}));
    EXPECT_EQ(window.got[2], (Received{WM_USER + 7, 2, 0}));

    // Sent from another thread: handled on the window's thread, the sender gets the answer.
    std::atomic<LRESULT> result{-1};
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        result = SendMessage(own, WM_USER + 8, 3, 5);
        finished = true;
    });
    ASSERT_TRUE(WaitFor([&] { return finished.load(); }));
    worker.join();
    EXPECT_EQ(result.load(), 35);
    EXPECT_EQ(handledOn, QThread::currentThread());

    // Registering another window moves the handle, and its socket, to it.
    RecordingWindow second;
    EXPECT_EQ(ZuRegisterMainWindow(&second), own);
    EXPECT_EQ(ZuWindowHandle(&window), 0u);
    EXPECT_EQ(ZuWindowHandle(&second), own);
    struct stat st {};
    EXPECT_EQ(::lstat(SocketOf(env.socketFolder(), own).c_str(), &st), 0);
    EXPECT_EQ(SendMessage(own, WM_USER + 9, 1, 1), 2);
    EXPECT_EQ(second.got.size(), 1u);
    EXPECT_EQ(window.got.size(), 4u);
}

TEST(WindowMessage, UnhandledCloseClosesAWidgetWindow)
{
    WindowTestEnv env;
    qApp->setQuitOnLastWindowClosed(false);
    QWidget frame;
    frame.show();
    const HWND hwnd = ZuRegisterMainWindow(&frame);
    ASSERT_NE(hwnd, 0u);
    SendMessage(hwnd, WM_USER + 1, 0, 0);  // not handled: nothing happens
    EXPECT_TRUE(frame.isVisible());
    SendMessage(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(frame.isVisible());
}

TEST(WindowMessage, AcrossPrograms)
{
    WindowTestEnv env;
    const std::string log = env.home() + "/messages.log";
    FakeProgram fake;
    ASSERT_TRUE(fake.start("Contact", log));
    EXPECT_TRUE(IsWindow(fake.hwnd()));

    EXPECT_EQ(SendMessage(fake.hwnd(), WM_USER + 9, 5, -7), -2);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    for (int i = 1; i <= 3; ++i)
        EXPECT_TRUE(PostMessage(fake.hwnd(), WM_USER + 10, static_cast<WPARAM>(i), 0));
    EXPECT_EQ(SendMessage(fake.hwnd(), WM_USER + 11, 0xFFFFFFFFu, -1), 0xFFFFFFFE);
    const std::vector<std::string> expected{
        "Contact 1033 5 -7", "Contact 1034 1 0", "Contact 1034 2 0", "Contact 1034 3 0", "Contact 1035 4294967295 -1"};
    EXPECT_EQ(ReadLines(log), expected);

    // The receiver sends back to this program while this program waits for its answer.
    RecordingWindow window;
    window.answer = [](ZuMessageEvent* m) {
        m->setResult(m->lParam() * 2);
        return true;
    };
    const HWND own = ZuRegisterMainWindow(&window);
    ASSERT_NE(own, 0u);
    const auto start = Clock::now();
    EXPECT_EQ(SendMessage(fake.hwnd(), 0x8001, own, 41), 83);
    EXPECT_LT(MillisecondsSince(start), 2000);
    EXPECT_EQ(window.got, (std::vector<Received>{{0x8002, 0, 41}}));

    // It ends cleanly (under a sanitizer, a report would change its exit code).
    EXPECT_TRUE(PostMessage(fake.hwnd(), WM_CLOSE, 0, 0));
    ASSERT_TRUE(fake.process().waitForFinished(10000));
    EXPECT_EQ(fake.process().exitCode(), 0) << fake.process().err();
}

TEST(WindowMessage, CloseByHandleEndsTheOtherProgram)
{
    for (const bool post : {false, true}) {
        SCOPED_TRACE(post ? "posted" : "sent");
        WindowTestEnv env;
        const std::string log = env.home() + "/messages.log";
        FakeProgram fake;
        ASSERT_TRUE(fake.start("Calendar", log));
        if (post)
            EXPECT_TRUE(PostMessage(fake.hwnd(), WM_CLOSE, 0, 0));
        else
            SendMessage(fake.hwnd(), WM_CLOSE, 0, 0);
        ASSERT_TRUE(fake.process().waitForFinished(10000));
        EXPECT_EQ(fake.process().exitCode(), 0) << fake.process().err();
        EXPECT_EQ(ReadLines(log), (std::vector<std::string>{"Calendar 16 0 0"}));
        EXPECT_FALSE(IsWindow(fake.hwnd()));
        struct stat st {};
        EXPECT_NE(::lstat(SocketOf(env.socketFolder(), fake.hwnd()).c_str(), &st), 0);
    }
}

TEST(WindowMessage, HungProgramCannotHangTheSender)
{
    WindowTestEnv env;
    const std::string log = env.home() + "/messages.log";
    FakeProgram fake;
    ASSERT_TRUE(fake.start("Contact", log, {"--hang", std::to_string(WM_USER + 20), "60000"}));
    EXPECT_TRUE(PostMessage(fake.hwnd(), WM_USER + 20, 0, 0));  // its user-interface thread hangs now
    ASSERT_TRUE(WaitFor([&] { return ReadLines(log).size() == 1; }));

    auto start = Clock::now();
    EXPECT_TRUE(IsWindow(fake.hwnd())) << "a hung program is still a window";
    EXPECT_LT(MillisecondsSince(start), 500);

    start = Clock::now();
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(SendMessage(fake.hwnd(), WM_USER + 21, 1, 1), 0);
    const long long waited = MillisecondsSince(start);
    EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);
    EXPECT_GE(waited, ZU_SEND_MESSAGE_TIMEOUT_MS - 50);
    EXPECT_LT(waited, ZU_SEND_MESSAGE_TIMEOUT_MS + 2000);
    fake.process().kill(SIGKILL);
}

TEST(ProgramWindow, StartProgramRefusesWhatIsNoProgram)
{
    WindowTestEnv env;
    const std::string plain = env.home() + "/plain.txt";
    const std::string junk = env.home() + "/junk";
    for (const auto& [path, mode] : {std::pair{plain, 0644}, std::pair{junk, 0755}}) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, mode);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, "hello\n", 6), 6);
        ::close(fd);
        ::chmod(path.c_str(), static_cast<mode_t>(mode));
    }
    const struct {
        std::string path;
        DWORD error;
    } cases[] = {
        {env.home() + "/missing", ERROR_FILE_NOT_FOUND},
        {env.home(), ERROR_ACCESS_DENIED},
        {plain, ERROR_ACCESS_DENIED},
        {junk, ERROR_BAD_EXE_FORMAT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_FALSE(ZuStartProgram(CString::fromUtf8(c.path), L"1"));
        EXPECT_EQ(GetLastError(), c.error);
    }
}

TEST(ProgramWindow, StartedProgramClosesItsLauncher)
{
    WindowTestEnv env;
    qApp->setQuitOnLastWindowClosed(false);
    RecordingWindow launcher;
    const HWND own = ZuRegisterMainWindow(&launcher);
    ASSERT_NE(own, 0u);
    const std::string log = env.home() + "/messages.log";
    // The command line is handed over whole, as one text.
    const std::string commandLine = "Contact " + log + " --close " + std::to_string(own);
    ASSERT_TRUE(ZuStartProgram(CString::fromUtf8(FakeProgramPath()), CString::fromUtf8(commandLine)))
        << ZuLastErrorText().toUtf8();
    ASSERT_TRUE(WaitFor([&] { return !launcher.got.empty(); }));
    EXPECT_EQ(launcher.got, (std::vector<Received>{{WM_CLOSE, 0, 0}}));

    const HWND started = PublishedWindow(L"Software\\Tandemoor\\Pims\\Contact");
    ASSERT_TRUE(IsWindow(started));
    SendMessage(started, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(started); }));
}

TEST(ProgramWindow, MapsInstallDirProgramPaths)
{
    WindowTestEnv env;
    const std::string install = env.home() + "/install";
    ASSERT_EQ(::mkdir(install.c_str(), 0700), 0);
    const std::string program = install + "/ZuContact";
    const int fd = ::open(program.c_str(), O_WRONLY | O_CREAT, 0755);
    ASSERT_GE(fd, 0);
    ::close(fd);
    const std::string beside = QCoreApplication::applicationDirPath().toStdString();
    const std::string winInstall = install;  // slashes already; backslashes are tried below
    std::string backslashed = install;
    std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
    const struct {
        std::string given, expected;
    } cases[] = {
        {"\\ZuContact.exe", beside + "/ZuContact"},                       // InstallDir empty
        {backslashed + "\\ZuContact.exe", program},                       // the program is there
        {winInstall + "\\ZuContact.EXE", program},                        // any case of ".exe"
        {backslashed + "\\ZuCalendar.exe", beside + "/ZuCalendar"},       // no such program there
        {"\\Program Files\\ZuPims\\ZuCalendar.exe", beside + "/ZuCalendar"},  // a handheld's folder
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given);
        EXPECT_EQ(ZuMapProgramPath(CString::fromUtf8(c.given)).toUtf8(), c.expected);
    }
}
