#include "programstart.h"

#include "lasterror.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

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
