#include "widgets/desktopscale.h"

#include <QGuiApplication>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>

#ifdef ZU_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace {

// The logical pixels of the screen's shorter side that make one step of the factor: 540 (half of
// 1080) gives a 1080-line screen a factor of 2.
constexpr double kPixelsPerStep = 540.0;
constexpr double kLargestFactor = 16.0;

const char* const kQtScaleVariables[] = {
    "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_ENABLE_HIGHDPI_SCALING",
    "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_USE_PHYSICAL_DPI", "QT_FONT_DPI",
};

bool isSet(const ZuEnvironmentLookup& env, const char* name)
{
    const char* value = env(name);
    return value && *value;
}

// The platform Qt will take: the first of QT_QPA_PLATFORM's choices without its arguments.
std::string_view platformName(const ZuEnvironmentLookup& env)
{
    const char* value = env("QT_QPA_PLATFORM");
    if (!value)
        return {};
    std::string_view name(value);
    name = name.substr(0, name.find(';'));
    return name.substr(0, name.find(':'));
}

bool isDesktopPlatform(std::string_view name)
{
    return name.empty() || name == "xcb" || name == "wayland" || name == "wayland-egl";
}

// ZUPIMS_SCALE as a factor, or 0 when it is unset or not a usable number.
double ourSetting(const ZuEnvironmentLookup& env)
{
    const char* value = env("ZUPIMS_SCALE");
    if (!value)
        return 0;
    const std::string_view text(value);
    double factor = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), factor);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(factor))
        return 0;
    return factor > 0 && factor <= kLargestFactor ? factor : 0;
}

} // namespace

bool ZuDesktopScaleDecidedByEnvironment(const ZuEnvironmentLookup& env)
{
    if (!isDesktopPlatform(platformName(env)))
        return true;
    for (const char* name : kQtScaleVariables)
        if (isSet(env, name))
            return true;
    return ourSetting(env) > 0;
}

double ZuDesktopScaleFactor(const ZuDesktopScreen& screen, const ZuEnvironmentLookup& env)
{
    if (!isDesktopPlatform(platformName(env)))
        return 1;
    for (const char* name : kQtScaleVariables)
        if (isSet(env, name))
            return 1;
    if (const double factor = ourSetting(env))
        return factor;
    if (screen.width <= 0 || screen.height <= 0)
        return 1;
    const double ratio = screen.ratio > 0 ? screen.ratio : 1.0;
    const double shorter = std::min(screen.width, screen.height) / ratio;
    return std::clamp(std::floor(shorter / kPixelsPerStep), 1.0, kLargestFactor);
}

#ifdef ZU_HAVE_XCB
namespace {

// Xft.dpi from the resource string of the root window ("Xft.dpi:\t192\n..."), or 0.
double xftDpi(std::string_view resources)
{
    constexpr std::string_view key = "Xft.dpi:";
    for (size_t at = 0; at < resources.size();) {
        size_t end = resources.find('\n', at);
        if (end == std::string_view::npos)
            end = resources.size();
        std::string_view line = resources.substr(at, end - at);
        if (line.substr(0, key.size()) == key) {
            line.remove_prefix(key.size());
            while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
                line.remove_prefix(1);
            double dpi = 0;
            std::from_chars(line.data(), line.data() + line.size(), dpi);
            return dpi > 0 && std::isfinite(dpi) ? dpi : 0;
        }
        at = end + 1;
    }
    return 0;
}

} // namespace

ZuDesktopScreen ZuProbeDesktopScreen()
{
    ZuDesktopScreen found;
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display)
        return found;
    int number = 0;
    xcb_connection_t* connection = xcb_connect(display, &number);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return found;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (; it.rem && number > 0; --number)
        xcb_screen_next(&it);
    if (it.rem) {
        found.width = it.data->width_in_pixels;
        found.height = it.data->height_in_pixels;
        const xcb_get_property_cookie_t cookie = xcb_get_property(
            connection, 0, it.data->root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0, 16384);
        if (xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr)) {
            const std::string_view resources(static_cast<const char*>(xcb_get_property_value(reply)),
                                             static_cast<size_t>(xcb_get_property_value_length(reply)));
            if (const double dpi = xftDpi(resources))
                found.ratio = dpi / 96.0;
            std::free(reply);
        }
    }
    xcb_disconnect(connection);
    return found;
}
#else
ZuDesktopScreen ZuProbeDesktopScreen()
{
    return {};
}
#endif

double ZuPrepareDesktopScale()
{
    const ZuEnvironmentLookup env = [](const char* name) -> const char* { return std::getenv(name); };
    ZuDesktopScreen screen;
    if (!ZuDesktopScaleDecidedByEnvironment(env))
        screen = ZuProbeDesktopScreen();
    const double factor = ZuDesktopScaleFactor(screen, env);
    if (factor == 1)
        return 1;
    char text[32] = {};
    std::to_chars(text, text + sizeof text - 1, factor);
    ::setenv("QT_SCALE_FACTOR", text, 1);
    if (!isSet(env, "QT_SCALE_FACTOR_ROUNDING_POLICY"))
        QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    return factor;
}
