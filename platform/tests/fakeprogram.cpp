// zu_fake_program - a small stand-in for one of the suite's programs, for tests across processes.
//
//   zu_fake_program <Calendar|Contact|Task|Memo> <log file> [--hang <message> <ms>] [--close <hwnd>]
//
// The arguments may also come as one text split at spaces (ZuStartProgram hands over a command
// line whole). The program registers its main window, publishes it as the suite's programs do
// (dwHWND under HKCU\Software\Tandemoor\Pims\<role>), then, with --close, sends WM_CLOSE to
// that window when it is live (as a program started by the other one does), and prints
// "ready <hwnd>". Every message it receives is appended
// to the log as "<role> <message> <wParam> <lParam>" (one write per line, so lines reach the file
// at once and in order, also from several programs sharing one log). With --hang it sleeps in
// the handler of that message, as a program whose user-interface thread hangs.
// Answers: message 0x8001 sends 0x8002 (0, lParam) to the window wParam and answers that result
// plus 1; WM_CLOSE is left to the default handling, which ends the program; anything else
// answers wParam + lParam. At exit the registry entry is cleared (0). Exit 0, or 2 for bad
// arguments, 3 when the window cannot be registered or published.
#include "programwindow.h"
#include "registry.h"

#include <QCoreApplication>
#include <QObject>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr UINT kEcho = 0x8001;
constexpr UINT kEchoBack = 0x8002;

bool publish(const std::string& role, HWND hwnd)
{
    const std::wstring path = L"Software\\Tandemoor\\Pims\\" + CString::fromUtf8(role).str();
    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, 0, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const DWORD value = hwnd;
    const bool ok = RegSetValueEx(key, L"dwHWND", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value)
        == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

class FakeWindow : public QObject {
public:
    std::string role;
    int logFd = -1;
    UINT hangMessage = 0;
    int hangMs = 0;

    bool event(QEvent* e) override
    {
        if (e->type() != ZuMessageEvent::eventType())
            return QObject::event(e);
        auto* m = static_cast<ZuMessageEvent*>(e);
        const std::string line = role + " " + std::to_string(m->message()) + " " + std::to_string(m->wParam()) + " "
            + std::to_string(m->lParam()) + "\n";
        [[maybe_unused]] const ssize_t n = ::write(logFd, line.data(), line.size());
        if (hangMs > 0 && m->message() == hangMessage)
            std::this_thread::sleep_for(std::chrono::milliseconds(hangMs));
        if (m->message() == WM_CLOSE)
            return false;
        if (m->message() == kEcho) {
            m->setResult(SendMessage(static_cast<HWND>(m->wParam()), kEchoBack, 0, m->lParam()) + 1);
            return true;
        }
        m->setResult(static_cast<LRESULT>(m->wParam()) + m->lParam());
        return true;
    }
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        std::istringstream words(argv[i]);
        for (std::string w; words >> w;)
            args.push_back(w);
    }
    if (args.size() < 2)
        return 2;
    FakeWindow window;
    window.role = args[0];
    window.logFd = ::open(args[1].c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (window.logFd < 0)
        return 2;
    HWND launcher = 0;
    for (size_t i = 2; i < args.size(); ++i) {
        if (args[i] == "--hang" && i + 2 < args.size()) {
            window.hangMessage = static_cast<UINT>(std::strtoul(args[i + 1].c_str(), nullptr, 0));
            window.hangMs = std::atoi(args[i + 2].c_str());
            i += 2;
        } else if (args[i] == "--close" && i + 1 < args.size()) {
            launcher = static_cast<HWND>(std::strtoul(args[++i].c_str(), nullptr, 10));
        } else {
            return 2;
        }
    }
    const HWND hwnd = ZuRegisterMainWindow(&window);
    if (!hwnd || !publish(window.role, hwnd))
        return 3;
    if (launcher && IsWindow(launcher))
        SendMessage(launcher, WM_CLOSE, 0, 0);
    std::printf("ready %u\n", hwnd);
    std::fflush(stdout);
    const int rc = app.exec();
    publish(window.role, 0);
    ZuUnregisterMainWindow(&window);
    ::close(window.logFd);
    return rc;
}
