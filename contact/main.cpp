// The contacts program: the application's start-up (widgets/zucontactapp.h), then its event loop.
#include "quitonsignal.h"
#include "widgets/desktopscale.h"
#include "widgets/widgetpresenters.h"
#include "widgets/zucontactapp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    ZuPrepareDesktopScale();
    QApplication app(argc, argv);
    ZuInstallWidgetPresenters();
    ZuQuitOnTerminationSignals();
    CZuContactApp theApp;
    if (!theApp.InitInstance(app.arguments().mid(1)))
        return 0;
    return app.exec();
}
