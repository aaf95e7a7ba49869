// childprocess.h - a second program for tests, started with fork and exec.
//
// Plain fork and exec keep thread checkers' view of this program intact, which QProcess's way
// of starting programs does not.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

class ZuChildProcess {
public:
    ZuChildProcess() = default;
    ~ZuChildProcess();
    ZuChildProcess(const ZuChildProcess&) = delete;
    ZuChildProcess& operator=(const ZuChildProcess&) = delete;

    // Starts `program` (searched in PATH when it has no slash) with its standard output and
    // error read by this object. False when it cannot be started.
    bool start(const std::string& program, const std::vector<std::string>& args);
    // Reads what the program wrote until it ends or `timeoutMs` passes; true when it ended.
    bool waitForFinished(int timeoutMs = 30000);
    // Reads what is there, waiting up to `timeoutMs` for something.
    void readSome(int timeoutMs);
    void kill(int signal);
    pid_t pid() const { return m_pid; }
    int exitCode() const { return m_exitCode; }
    const std::string& out() const { return m_out; }
    const std::string& err() const { return m_err; }

private:
    bool reap(bool block);
    pid_t m_pid = -1;
    int m_outFd = -1;
    int m_errFd = -1;
    int m_exitCode = -1;
    std::string m_out;
    std::string m_err;
};
