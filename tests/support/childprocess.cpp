#include "childprocess.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

ZuChildProcess::~ZuChildProcess()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        reap(true);
    }
    if (m_outFd >= 0)
        ::close(m_outFd);
    if (m_errFd >= 0)
        ::close(m_errFd);
}

bool ZuChildProcess::start(const std::string& program, const std::vector<std::string>& args)
{
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return false;
    if (::pipe2(err, O_CLOEXEC) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return false;
    }
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    if (pid < 0) {
        ::close(out[0]);
        ::close(err[0]);
        return false;
    }
    m_pid = pid;
    m_outFd = out[0];
    m_errFd = err[0];
    return true;
}

void ZuChildProcess::readSome(int timeoutMs)
{
    pollfd fds[2] = {{m_outFd, POLLIN, 0}, {m_errFd, POLLIN, 0}};
    if (::poll(fds, 2, timeoutMs) <= 0)
        return;
    char buf[4096];
    for (int i = 0; i < 2; ++i) {
        if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP)))
            continue;
        const ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
        if (n > 0)
            (i == 0 ? m_out : m_err).append(buf, static_cast<size_t>(n));
        else if (n == 0) {
            ::close(fds[i].fd);
            (i == 0 ? m_outFd : m_errFd) = -1;
        }
    }
}

bool ZuChildProcess::reap(bool block)
{
    if (m_pid <= 0)
        return true;
    int status = 0;
    const pid_t r = ::waitpid(m_pid, &status, block ? 0 : WNOHANG);
    if (r != m_pid)
        return false;
    m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    m_pid = -1;
    return true;
}

bool ZuChildProcess::waitForFinished(int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (m_outFd >= 0 || m_errFd >= 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        readSome(static_cast<int>(std::min<long long>(left.count(), 100)));
    }
    while (!reap(false)) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        ::usleep(2000);
    }
    return true;
}

void ZuChildProcess::kill(int signal)
{
    if (m_pid > 0)
        ::kill(m_pid, signal);
}
