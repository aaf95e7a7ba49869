// startup_bench - start to first painted frame of the calendar, whole process, under X.
//
// Starts the program (build/bin/ZuCalendar, or --program) on calendar_bench's store with
// ZUPIMS_REPORT_FIRST_PAINT=1, which makes it write one line "first-paint <ms>" to standard error,
// <ms> read from CLOCK_MONOTONIC, when it first paints the list view with its rows. The time is
// from just before the program is started to that stamp; then the program is ended (after
// --settle ms) and its peak resident size read from the kernel (getrusage of the child, as
// /usr/bin/time -v reports it).
//
// Warm: one run to fill the caches, then --runs runs (5), median. Cold: one run after
// `sync; echo 3 > /proc/sys/vm/drop_caches`, when this runs as root and the kernel allows it
// (otherwise it says so; --no-cold skips it: dropping the cache slows everything else running).
//
// X: the DISPLAY given, or an Xvfb of its own (1920x1080, :99 or the next free display).
// The store: --store DIR, else $ZUPIMS_BENCH_STORE, else build/bench-store; made (or checked)
// by calendar_bench beside this program, with ZUPIMS_BENCH_STORE=DIR (a few seconds the first
// time). --no-store starts the program without it (the stand-in below needs none).
// Each run gets its own XDG_RUNTIME_DIR, so a calendar the user has open is never asked instead.
//
// Built with the benchmarks (-DZUPIMS_BENCH=ON); run by hand or by the target:
//   cmake --build build --target startup-bench
//   build/bin/startup_bench [--program PATH] [--runs N] [--store DIR] [--no-store] [--no-cold] [--settle MS]
// build/bin/first_paint_standin is a bare Qt Widgets window of 240x320 with Korean rows that keeps
// the same promise; `--program build/bin/first_paint_standin --no-store` times it, the floor under
// any program of the suite.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

double monotonicMs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

std::string programFolder()
{
    char path[4096] = {};
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    std::string self = n > 0 ? std::string(path, size_t(n)) : std::string("./startup_bench");
    return self.substr(0, self.rfind('/'));
}

struct Options {
    std::string program;
    std::string store;
    bool useStore = true;
    bool cold = true;
    int runs = 5;
    int settleMs = 300;
    int timeoutMs = 15000;
};

struct Run {
    std::optional<double> firstPaintMs;  // from the start to the program's stamp
    long peakRssKiB = 0;
    std::string error;
};

// A child with its standard error on a pipe.
pid_t spawn(const std::vector<std::string>& args, const std::vector<std::string>& env, int* errFd, double* startedMs)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv, envp;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (const std::string& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    pid_t pid = -1;
    *startedMs = monotonicMs();
    const int rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (rc != 0) {
        ::close(fds[0]);
        errno = rc;
        return -1;
    }
    *errFd = fds[0];
    return pid;
}

// The environment of this program with `set` put in (NAME=VALUE) and `unset` taken out.
std::vector<std::string> environment(const std::vector<std::string>& set, const std::vector<std::string>& unset)
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        const std::string name = entry.substr(0, entry.find('='));
        const auto same = [&](const std::string& s) { return s.substr(0, s.find('=')) == name; };
        if (std::none_of(set.begin(), set.end(), same) && std::find(unset.begin(), unset.end(), name) == unset.end())
            env.push_back(entry);
    }
    env.insert(env.end(), set.begin(), set.end());
    return env;
}

Run runOnce(const Options& o, const std::string& display)
{
    Run run;
    char runtime[] = "/tmp/zupims-startup-XXXXXX";
    if (!::mkdtemp(runtime)) {
        run.error = "no runtime folder";
        return run;
    }
    std::vector<std::string> set{"DISPLAY=" + display, "QT_QPA_PLATFORM=xcb", "ZUPIMS_REPORT_FIRST_PAINT=1",
                                 std::string("XDG_RUNTIME_DIR=") + runtime};
    if (o.useStore)
        set.push_back("ZUPIMS_HOME=" + o.store);
    int errFd = -1;
    double started = 0;
    const pid_t pid = spawn({o.program}, environment(set, {"WAYLAND_DISPLAY"}), &errFd, &started);
    if (pid < 0) {
        run.error = std::string("cannot start: ") + std::strerror(errno);
        ::rmdir(runtime);
        return run;
    }
    std::string err;
    bool ended = false;
    while (!run.firstPaintMs && !ended && monotonicMs() - started < o.timeoutMs) {
        pollfd p{errFd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        char buf[4096];
        const ssize_t n = ::read(errFd, buf, sizeof buf);
        if (n <= 0) {
            ended = true;
            break;
        }
        err.append(buf, size_t(n));
        const size_t at = err.find("first-paint ");
        if (at != std::string::npos && err.find('\n', at) != std::string::npos)
            run.firstPaintMs = std::strtod(err.c_str() + at + 12, nullptr) - started;
    }
    if (run.firstPaintMs) {
        const double settleUntil = monotonicMs() + o.settleMs;
        while (monotonicMs() < settleUntil) {
            pollfd p{errFd, POLLIN, 0};
            char buf[4096];
            if (::poll(&p, 1, 20) > 0 && ::read(errFd, buf, sizeof buf) <= 0)
                break;
        }
    } else if (run.error.empty()) {
        run.error = ended ? "the program ended without a first-paint line"
                         : "no first-paint line in time (does it write one with ZUPIMS_REPORT_FIRST_PAINT=1?)";
    }
    ::kill(pid, SIGTERM);
    int status = 0;
    rusage usage{};
    const double killedAt = monotonicMs();
    while (::wait4(pid, &status, WNOHANG, &usage) == 0) {
        if (monotonicMs() - killedAt > 2000) {
            ::kill(pid, SIGKILL);
            ::wait4(pid, &status, 0, &usage);
            break;
        }
        ::usleep(5000);
    }
    run.peakRssKiB = usage.ru_maxrss;
    ::close(errFd);
    if (!run.error.empty() && !err.empty())
        run.error += "; its standard error:\n" + err;
    ::rmdir((std::string(runtime) + "/zupims").c_str());
    ::rmdir(runtime);
    return run;
}

// An Xvfb of our own, ended with this program.
struct Xvfb {
    pid_t pid = -1;
    std::string display;

    bool start(const std::string& wanted)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return false;
        pid = ::fork();
        if (pid == 0) {
            ::close(fds[0]);
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::dup2(null, 2);
            const std::string fd = std::to_string(fds[1]);
            if (wanted.empty())
                ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1920x1080x24", "-nolisten", "tcp", "-noreset",
                         static_cast<char*>(nullptr));
            else
                ::execlp("Xvfb", "Xvfb", wanted.c_str(), "-displayfd", fd.c_str(), "-screen", "0", "1920x1080x24",
                         "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        char ch = 0;
        while (::poll(&p, 1, 10000) > 0 && ::read(fds[0], &ch, 1) == 1 && ch != '\n')
            number += ch;
        ::close(fds[0]);
        if (number.empty()) {
            stop();
            return false;
        }
        display = ":" + number;
        return true;
    }
    void stop()
    {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
        pid = -1;
    }
    ~Xvfb() { stop(); }
};

bool makeStore(const std::string& store)
{
    const std::string bench = programFolder() + "/calendar_bench";
    if (::access(bench.c_str(), X_OK) != 0) {
        std::fprintf(stderr, "startup_bench: %s is missing (configure with -DZUPIMS_BENCH=ON)\n", bench.c_str());
        return false;
    }
    ::mkdir(store.c_str(), 0755);
    std::fprintf(stderr, "store: %s (calendar_bench makes or checks it)\n", store.c_str());
    int errFd = -1;
    double started = 0;
    const pid_t pid = spawn({bench, "--benchmark_filter=BM_LoadDay$", "--benchmark_min_time=0.01"},
                            environment({"ZUPIMS_BENCH_STORE=" + store}, {}), &errFd, &started);
    if (pid < 0)
        return false;
    char buf[4096];
    while (::read(errFd, buf, sizeof buf) > 0) {
    }
    ::close(errFd);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool dropCaches()
{
    ::sync();
    const int fd = ::open("/proc/sys/vm/drop_caches", O_WRONLY);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, "3\n", 2) == 2;
    ::close(fd);
    return ok;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void print(const char* what, const Run& r)
{
    if (r.firstPaintMs)
        std::printf("%-8s first paint %7.1f ms   peak RSS %6.1f MiB\n", what, *r.firstPaintMs, r.peakRssKiB / 1024.0);
    else
        std::printf("%-8s failed: %s\n", what, r.error.c_str());
    std::fflush(stdout);
}

int usage()
{
    std::fprintf(stderr, "usage: startup_bench [--program PATH] [--runs N] [--store DIR] [--no-store] [--no-cold] [--settle MS]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    o.program = programFolder() + "/ZuCalendar";
    if (const char* keep = std::getenv("ZUPIMS_BENCH_STORE"); keep && *keep)
        o.store = keep;
    else
        o.store = programFolder() + "/../bench-store";
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool more = i + 1 < argc;
        if (a == "--program" && more)
            o.program = argv[++i];
        else if (a == "--store" && more)
            o.store = argv[++i];
        else if (a == "--no-store")
            o.useStore = false;
        else if (a == "--no-cold")
            o.cold = false;
        else if (a == "--runs" && more)
            o.runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--settle" && more)
            o.settleMs = std::max(0, std::atoi(argv[++i]));
        else
            return usage();
    }
    if (o.useStore) {
        if (!makeStore(o.store)) {
            std::fprintf(stderr, "startup_bench: the store could not be made in %s\n", o.store.c_str());
            return 1;
        }
        char real[4096];
        if (::realpath(o.store.c_str(), real))
            o.store = real;
    }

    Xvfb xvfb;
    std::string display;
    if (const char* d = std::getenv("DISPLAY"); d && *d) {
        display = d;
    } else {
        if (!xvfb.start(":99") && !xvfb.start("")) {
            std::fprintf(stderr, "startup_bench: no DISPLAY and Xvfb does not start (Debian: xvfb)\n");
            return 1;
        }
        display = xvfb.display;
    }
    std::printf("program  %s\nstore    %s\ndisplay  %s%s\n", o.program.c_str(), o.useStore ? o.store.c_str() : "(none)",
                display.c_str(), xvfb.pid > 0 ? " (Xvfb 1920x1080 of its own)" : "");

    bool failed = false;
    if (!o.cold) {
        std::printf("cold     not measured (--no-cold)\n");
    } else if (::geteuid() == 0 && dropCaches()) {
        const Run cold = runOnce(o, display);
        print("cold", cold);
        failed = !cold.firstPaintMs;
    } else {
        std::printf("cold     not measured: dropping the page cache needs root and a writable /proc/sys/vm/drop_caches\n");
    }
    const Run prime = runOnce(o, display);
    print("prime", prime);
    if (!prime.firstPaintMs)
        return 1;  // it will not do better five times more
    std::vector<double> times, rss;
    for (int i = 0; i < o.runs; ++i) {
        const Run r = runOnce(o, display);
        print(("warm " + std::to_string(i + 1)).c_str(), r);
        if (!r.firstPaintMs) {
            failed = true;
            continue;
        }
        times.push_back(*r.firstPaintMs);
        rss.push_back(r.peakRssKiB / 1024.0);
    }
    if (!times.empty())
        std::printf("warm     median %.1f ms (min %.1f, max %.1f) over %zu runs, peak RSS median %.1f MiB\n", median(times),
                    *std::min_element(times.begin(), times.end()), *std::max_element(times.begin(), times.end()),
                    times.size(), median(rss));
    return failed ? 1 : 0;
}
