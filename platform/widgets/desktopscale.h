// desktopscale.h - the handheld's 240-pixel layouts on a desktop screen.
//
// Every layout keeps the handheld's pixel values as logical pixels. On a desktop screen a program
// would then open as a stamp-sized window, so each program calls ZuPrepareDesktopScale from main()
// before it makes its QApplication: it asks the X server for the size of the screen and the
// ratio the desktop already applies (Xft.dpi), and lets Qt's own high-DPI scaling draw everything
// at a whole factor, so fonts and lines are drawn at that scale (bitmaps take their @2x files).
//
// The factor is the screen's shorter side, in the desktop's logical pixels, divided by 540, whole,
// at least 1: a 1920x1080 screen gets 2 (the window opens 480 pixels wide), 3840x2160 gets 4, and
// a phone, whose own ratio leaves a few hundred logical pixels, keeps 1 (Qt's ratio alone).
//
// Overrides, in this order:
// - the platform: nothing is done on the offscreen and minimal platforms of tests and scripts,
//   nor on any other than xcb (QT_QPA_PLATFORM unset or xcb) and wayland, nor without DISPLAY;
// - any of Qt's own scaling variables (QT_SCALE_FACTOR, QT_SCREEN_SCALE_FACTORS,
//   QT_ENABLE_HIGHDPI_SCALING, QT_AUTO_SCREEN_SCALE_FACTOR, QT_USE_PHYSICAL_DPI, QT_FONT_DPI),
//   when set, leaves the scaling to Qt alone;
// - ZUPIMS_SCALE, a positive number (1, 1.5, 2 ...), is the factor in place of the one chosen
//   from the screen, on top of the desktop's own ratio; ZUPIMS_SCALE=1 turns the scaling off.
// A factor other than 1 goes to Qt as QT_SCALE_FACTOR (so a program started from this one scales
// alike), with the rounding policy PassThrough, so that 2 stays exactly 2; a
// QT_SCALE_FACTOR_ROUNDING_POLICY of the user's is left as it is.
#pragma once

#include <functional>

// What the probe found out about the screen the program opens on.
struct ZuDesktopScreen {
    int width = 0;          // physical pixels; 0 when unknown
    int height = 0;
    double ratio = 1.0;     // the ratio the desktop applies itself (Xft.dpi / 96)
};

// Looks an environment variable up: its value, or null when it is unset.
using ZuEnvironmentLookup = std::function<const char*(const char*)>;

// The factor for QT_SCALE_FACTOR from the screen and the environment, as described above; 1 when
// nothing is to be set. No side effects.
double ZuDesktopScaleFactor(const ZuDesktopScreen& screen, const ZuEnvironmentLookup& env);

// True when ZuDesktopScaleFactor would not look at the screen at all (a platform we leave alone,
// Qt's variables, ZUPIMS_SCALE), so the probe can be skipped.
bool ZuDesktopScaleDecidedByEnvironment(const ZuEnvironmentLookup& env);

// Asks the X server of DISPLAY for the default screen's size and Xft.dpi (one connection, one
// round trip); all zero when there is no server.
ZuDesktopScreen ZuProbeDesktopScreen();

// Chooses the factor for this process and hands it to Qt. Call it once, before the QApplication
// is made; returns the factor set (1 when none).
double ZuPrepareDesktopScale();
