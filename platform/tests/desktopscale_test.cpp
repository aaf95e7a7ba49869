// The desktop scale: the factor chosen from the screen and the environment, and the probe of a
// real X server (Xvfb, when the machine has it) with and without Xft.dpi.
#include "widgets/desktopscale.h"

#include "childprocess.h"
#include "testhome.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

#ifdef ZU_HAVE_XCB
#include <xcb/xcb.h>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

using Env = std::map<std::string, std::string>;

ZuEnvironmentLookup lookup(const Env& env)
{
    return [&env](const char* name) -> const char* {
        const auto it = env.find(name);
        return it == env.end() ? nullptr : it->second.c_str();
    };
}

TEST(DesktopScale, TheFactorComesFromTheScreenUnlessThePlatformOrTheEnvironmentSaysOtherwise)
{
    const ZuDesktopScreen fullHd{1920, 1080, 1.0};
    const struct {
        const char* what;
        ZuDesktopScreen screen;
        Env env;
        double factor;
        bool decidedByEnvironment;
    } cases[] = {
        {"1920x1080 desktop", fullHd, {}, 2, false},
        {"explicit xcb", fullHd, {{"QT_QPA_PLATFORM", "xcb"}}, 2, false},
        {"xcb with arguments", fullHd, {{"QT_QPA_PLATFORM", "xcb:nograb"}}, 2, false},
        {"wayland first of two", fullHd, {{"QT_QPA_PLATFORM", "wayland;xcb"}}, 2, false},
        {"portrait monitor", {1080, 1920, 1.0}, {}, 2, false},
        {"two monitors side by side", {3840, 1080, 1.0}, {}, 2, false},
        {"1366x768 laptop", {1366, 768, 1.0}, {}, 1, false},
        {"2560x1440", {2560, 1440, 1.0}, {}, 2, false},
        {"4K at ratio 1", {3840, 2160, 1.0}, {}, 4, false},
        {"4K whose desktop already doubles", {3840, 2160, 2.0}, {}, 2, false},
        {"1080p whose desktop already doubles", {1920, 1080, 2.0}, {}, 1, false},
        {"phone with its own ratio", {1080, 2340, 2.75}, {}, 1, false},
        {"no ratio read", {1920, 1080, 0.0}, {}, 2, false},
        {"no screen found", {}, {}, 1, false},
        {"offscreen tests", fullHd, {{"QT_QPA_PLATFORM", "offscreen"}}, 1, true},
        {"minimal platform", fullHd, {{"QT_QPA_PLATFORM", "minimal"}}, 1, true},
        {"offscreen wins over ours", fullHd, {{"QT_QPA_PLATFORM", "offscreen"}, {"ZUPIMS_SCALE", "3"}}, 1, true},
        {"QT_SCALE_FACTOR", fullHd, {{"QT_SCALE_FACTOR", "1.5"}}, 1, true},
        {"QT_SCREEN_SCALE_FACTORS", fullHd, {{"QT_SCREEN_SCALE_FACTORS", "1"}}, 1, true},
        {"QT_ENABLE_HIGHDPI_SCALING", fullHd, {{"QT_ENABLE_HIGHDPI_SCALING", "0"}}, 1, true},
        {"QT_AUTO_SCREEN_SCALE_FACTOR", fullHd, {{"QT_AUTO_SCREEN_SCALE_FACTOR", "1"}}, 1, true},
        {"QT_USE_PHYSICAL_DPI", fullHd, {{"QT_USE_PHYSICAL_DPI", "1"}}, 1, true},
        {"QT_FONT_DPI", fullHd, {{"QT_FONT_DPI", "120"}}, 1, true},
        {"Qt's variable wins over ours", fullHd, {{"QT_SCALE_FACTOR", "1"}, {"ZUPIMS_SCALE", "3"}}, 1, true},
        {"an empty Qt variable is unset", fullHd, {{"QT_SCALE_FACTOR", ""}}, 2, false},
        {"the rounding policy alone decides nothing", fullHd, {{"QT_SCALE_FACTOR_ROUNDING_POLICY", "Round"}}, 2, false},
        {"ZUPIMS_SCALE", fullHd, {{"ZUPIMS_SCALE", "3"}}, 3, true},
        {"ZUPIMS_SCALE fraction", {1366, 768, 1.0}, {{"ZUPIMS_SCALE", "1.5"}}, 1.5, true},
        {"ZUPIMS_SCALE=1 turns it off", fullHd, {{"ZUPIMS_SCALE", "1"}}, 1, true},
        {"ZUPIMS_SCALE not a number", fullHd, {{"ZUPIMS_SCALE", "big"}}, 2, false},
        {"ZUPIMS_SCALE with trailing text", fullHd, {{"ZUPIMS_SCALE", "2x"}}, 2, false},
        {"ZUPIMS_SCALE zero", fullHd, {{"ZUPIMS_SCALE", "0"}}, 2, false},
        {"ZUPIMS_SCALE negative", fullHd, {{"ZUPIMS_SCALE", "-2"}}, 2, false},
        {"ZUPIMS_SCALE absurd", fullHd, {{"ZUPIMS_SCALE", "1e9"}}, 2, false},
        {"ZUPIMS_SCALE empty", fullHd, {{"ZUPIMS_SCALE", ""}}, 2, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ZuDesktopScaleFactor(c.screen, lookup(c.env)), c.factor);
        EXPECT_EQ(ZuDesktopScaleDecidedByEnvironment(lookup(c.env)), c.decidedByEnvironment);
    }
}

#ifdef ZU_HAVE_XCB
// A private Xvfb 1920x1080 on a display number of its own choosing.
class Xvfb {
public:
    Xvfb()
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(fds[0]);
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::dup2(null, 2);
            const std::string fd = std::to_string(fds[1]);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1920x1080x24",
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
        if (!number.empty())
            m_display = ":" + number;
    }
    ~Xvfb()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    const std::string& display() const { return m_display; }

    // Puts the resource string on the root window, as xrdb does.
    bool setResources(const std::string& resources) const
    {
        xcb_connection_t* c = xcb_connect(m_display.c_str(), nullptr);
        if (xcb_connection_has_error(c)) {
            xcb_disconnect(c);
            return false;
        }
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 8,
                            static_cast<uint32_t>(resources.size()), resources.data());
        xcb_aux_sync(c);
        xcb_disconnect(c);
        return true;
    }

private:
    static void xcb_aux_sync(xcb_connection_t* c) { std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }
    pid_t m_pid = -1;
    std::string m_display;
};

TEST(DesktopScale, TheProbeReadsTheScreenAndXftDpiOfTheServer)
{
    if (::system("command -v Xvfb >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no Xvfb on this machine";
    Xvfb server;
    ASSERT_FALSE(server.display().empty());
    const char* old = std::getenv("DISPLAY");
    const std::string saved = old ? old : "";
    ::setenv("DISPLAY", server.display().c_str(), 1);

    ZuDesktopScreen screen = ZuProbeDesktopScreen();
    EXPECT_EQ(screen.width, 1920);
    EXPECT_EQ(screen.height, 1080);
    EXPECT_EQ(screen.ratio, 1.0);
    EXPECT_EQ(ZuDesktopScaleFactor(screen, lookup({})), 2);

    ASSERT_TRUE(server.setResources("Xcursor.size:\t24\nXft.dpi:\t192\nXft.antialias:\t1\n"));
    screen = ZuProbeDesktopScreen();
    EXPECT_EQ(screen.ratio, 2.0);
    EXPECT_EQ(ZuDesktopScaleFactor(screen, lookup({})), 1);

    ::setenv("DISPLAY", ":unreachable", 1);
    screen = ZuProbeDesktopScreen();
    EXPECT_EQ(screen.width, 0);
    EXPECT_EQ(ZuDesktopScaleFactor(screen, lookup({})), 1);

    if (old)
        ::setenv("DISPLAY", saved.c_str(), 1);
    else
        ::unsetenv("DISPLAY");
}

// The whole way: a program on a 1920x1080 X screen opens its 240-pixel window twice as large,
// unless a setting says otherwise.
TEST(DesktopScale, AProgramOnA1080LineScreenOpensTwiceAsLarge)
{
    if (::system("command -v Xvfb >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no Xvfb on this machine";
    Xvfb server;
    ASSERT_FALSE(server.display().empty());
    const struct {
        const char* variable;
        const char* value;
        const char* shown;
    } cases[] = {
        {nullptr, nullptr, "240x320 2\n"},
        {"ZUPIMS_SCALE", "1", "240x320 1\n"},
        {"ZUPIMS_SCALE", "3", "240x320 3\n"},
        {"QT_SCALE_FACTOR", "1.5", "240x320 1.5\n"},
        {"QT_ENABLE_HIGHDPI_SCALING", "0", "240x320 1\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.variable ? c.variable : "none");
        ZuChildProcess program;
        std::vector<std::string> env{"env", "-u", "QT_SCALE_FACTOR", "-u", "ZUPIMS_SCALE", "DISPLAY=" + server.display(),
                                     "QT_QPA_PLATFORM=xcb"};
        if (c.variable)
            env.push_back(std::string(c.variable) + "=" + c.value);
        env.push_back(ZuTestProgramFolder() + "/zu_scaled_window");
        ASSERT_TRUE(program.start("env", std::vector<std::string>(env.begin() + 1, env.end())));
        ASSERT_TRUE(program.waitForFinished(30000));
        EXPECT_EQ(program.exitCode(), 0) << program.err();
        EXPECT_EQ(program.out(), c.shown) << program.err();
    }
}
#endif

} // namespace
