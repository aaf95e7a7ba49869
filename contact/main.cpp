// The contacts program. Its frame and list come with the contacts book's own work; for now it
// shows an empty window of the handheld's width so the build and start-up path are exercised.
#include "widgets/desktopscale.h"
#include "widgets/widgetpresenters.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char** argv)
{
    ZuPrepareDesktopScale();
    QApplication app(argc, argv);
    ZuInstallWidgetPresenters();
    QLabel window(QStringLiteral("ZuContact"));
    window.setWindowTitle(QStringLiteral("ZuContact"));
    window.setAlignment(Qt::AlignCenter);
    window.resize(240, 320);
    window.show();
    return app.exec();
}
