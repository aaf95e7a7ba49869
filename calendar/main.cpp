// The calendar program: the application's start-up (zucalendarapp.h), then its event loop.
#include "quitonsignal.h"
#include "widgets/desktopscale.h"
#include "widgets/zucalendarapp.h"
#include "widgets/widgetpresenters.h"

#include <QApplication>

int main(int argc, char** argv)
{
    ZuPrepareDesktopScale();
    QApplication app(argc, argv);
    ZuInstallWidgetPresenters();
    ZuQuitOnTerminationSignals();
    CZuCalendarApp theApp;
    if (!theApp.InitInstance())
        return 0;
    return app.exec();
}
