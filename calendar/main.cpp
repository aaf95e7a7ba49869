// The calendar program. Its frame and views come with the calendar's own work; for now it shows
// an empty window of the handheld's width so the build and start-up path are exercised.
#include "widgets/widgetpresenters.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ZuInstallWidgetPresenters();
    QLabel window(QStringLiteral("ZuCalendar"));
    window.setWindowTitle(QStringLiteral("ZuCalendar"));
    window.setAlignment(Qt::AlignCenter);
    window.resize(240, 320);
    window.show();
    return app.exec();
}
