// The main of every test program: a fixed locale and time zone unless the environment sets them,
// a headless application object with the programs' widget presenters, then GoogleTest.
#include "widgets/widgetpresenters.h"

#include <QApplication>
#include <clocale>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>

#ifdef ZU_TSAN_QT_SUPPRESSIONS
// Qt is not built for ThreadSanitizer: its own locks (the posted-event queue's, the implicitly
// shared data's counts) are invisible to it, so the copies Qt's code makes under them look like
// races. Only copies made inside Qt's library are let through; every race in our code still fails.
extern "C" const char* __tsan_default_suppressions()
{
    return "called_from_lib:libQt6Core.so.6\n";
}
#endif

int main(int argc, char** argv)
{
    ::setenv("TZ", std::getenv("TZ") ? std::getenv("TZ") : "Asia/Seoul", 1);
    ::tzset();
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("LC_ALL", "C.UTF-8", 1);
#ifdef ZU_LSAN_SUPPRESSIONS
    // Programs the tests start (a real X window loads D-Bus) leave the system libraries' leaks
    // to these suppressions.
    ::setenv("LSAN_OPTIONS", "suppressions=" ZU_LSAN_SUPPRESSIONS, 0);
#endif
    std::setlocale(LC_ALL, "C.UTF-8");
    QApplication app(argc, argv);
    ZuInstallWidgetPresenters();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
