// windowtestenv.h - what the tests of program windows share (the platform's, and the options'
// tests against real second programs): a private data folder and socket folder per test, a
// window that records what it receives, and the fake program (platform/tests/fakeprogram.cpp).
#pragma once

#include "childprocess.h"
#include "programwindow.h"
#include "testhome.h"

#include <QObject>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// A fresh ZUPIMS_HOME and XDG_RUNTIME_DIR for one test (children started later inherit both).
class WindowTestEnv {
public:
    WindowTestEnv();
    ~WindowTestEnv();
    std::string runtimeDir() const { return m_runtime.path().toStdString(); }
    std::string home() const { return m_home.path(); }
    std::string socketFolder() const { return runtimeDir() + "/zupims"; }

private:
    ZuTestHome m_home;
    QTemporaryDir m_runtime;
    std::string m_old;
    bool m_hadOld = false;
};

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Received&) const = default;
};

// Records every window message; answers with `answer` when set, otherwise handles everything
// (WM_CLOSE included) and answers wParam + lParam.
class RecordingWindow : public QObject {
public:
    std::vector<Received> got;
    std::function<bool(ZuMessageEvent*)> answer;

protected:
    bool event(QEvent* e) override;
};

// A running zu_fake_program.
class FakeProgram {
public:
    // Starts it with the role, the log file and extra arguments; waits for "ready". The handle is
    // then hwnd().
    bool start(const std::string& role, const std::string& log, const std::vector<std::string>& extra = {});
    HWND hwnd() const { return m_hwnd; }
    ZuChildProcess& process() { return m_proc; }

private:
    ZuChildProcess m_proc;
    HWND m_hwnd = 0;
};

std::string FakeProgramPath();
// The lines of a file (none when it is missing).
std::vector<std::string> ReadLines(const std::string& path);
// Runs the event loop until `done` or the timeout; true when done.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 10000);
long long MillisecondsSince(std::chrono::steady_clock::time_point start);

// A handle that names no program: the process id of a process that has ended.
HWND DeadHandle();
