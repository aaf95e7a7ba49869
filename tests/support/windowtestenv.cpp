#include "windowtestenv.h"

#include <QTest>

#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>
#include <fstream>

WindowTestEnv::WindowTestEnv()
{
    if (const char* old = std::getenv("XDG_RUNTIME_DIR")) {
        m_hadOld = true;
        m_old = old;
    }
    ::setenv("XDG_RUNTIME_DIR", runtimeDir().c_str(), 1);
}

WindowTestEnv::~WindowTestEnv()
{
    if (m_hadOld)
        ::setenv("XDG_RUNTIME_DIR", m_old.c_str(), 1);
    else
        ::unsetenv("XDG_RUNTIME_DIR");
}

bool RecordingWindow::event(QEvent* e)
{
    if (e->type() != ZuMessageEvent::eventType())
        return QObject::event(e);
    auto* m = static_cast<ZuMessageEvent*>(e);
    got.push_back(Received{m->message(), m->wParam(), m->lParam()});
    if (answer)
        return answer(m);
    m->setResult(static_cast<LRESULT>(m->wParam()) + m->lParam());
    return true;
}

std::string FakeProgramPath()
{
    return ZuTestProgramFolder() + "/zu_fake_program";
}

bool FakeProgram::start(const std::string& role, const std::string& log, const std::vector<std::string>& extra)
{
    std::vector<std::string> args{role, log};
    args.insert(args.end(), extra.begin(), extra.end());
    if (!m_proc.start(FakeProgramPath(), args))
        return false;
    const auto start = std::chrono::steady_clock::now();
    while (MillisecondsSince(start) < 15000) {
        const std::string& out = m_proc.out();
        const size_t at = out.find("ready ");
        if (at != std::string::npos && out.find('\n', at) != std::string::npos) {
            m_hwnd = static_cast<HWND>(std::strtoul(out.c_str() + at + 6, nullptr, 10));
            return m_hwnd != 0;
        }
        if (m_proc.pid() <= 0)
            return false;
        m_proc.readSome(50);
    }
    return false;
}

std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs)
{
    return QTest::qWaitFor(done, timeoutMs);
}

long long MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

HWND DeadHandle()
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return static_cast<HWND>(pid);
}
