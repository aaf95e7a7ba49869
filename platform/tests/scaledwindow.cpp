// The second program of the desktop scale's test: a window of the handheld's 240x320 made the way
// the programs make theirs (ZuPrepareDesktopScale before the QApplication); once it is shown it
// prints "<logical width>x<height> <device pixel ratio>" and ends.
#include "widgets/desktopscale.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>

int main(int argc, char** argv)
{
    ZuPrepareDesktopScale();
    QApplication app(argc, argv);
    QWidget window;
    window.resize(240, 320);
    window.show();
    QTimer::singleShot(0, &window, [&] {
        std::printf("%dx%d %g\n", window.width(), window.height(), window.windowHandle()->devicePixelRatio());
        std::fflush(stdout);
        app.quit();
    });
    return app.exec();
}
