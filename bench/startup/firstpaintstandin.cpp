// first_paint_standin - a bare Qt Widgets window with Korean rows that reports its first paint
// the way the calendar does (ZUPIMS_REPORT_FIRST_PAINT=1: "first-paint <CLOCK_MONOTONIC ms>" on
// standard error), with the desktop scale of the programs. startup_bench times it as the floor
// under any program of the suite, and as a check of the harness itself.
#include "widgets/desktopscale.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

class Rows : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        QFont font(QStringLiteral("Tahoma"));
        font.setPixelSize(12);
        p.setFont(font);
        for (int row = 0; row < 20; ++row)
            p.drawText(QRect(4, row * 16, width() - 8, 16), Qt::AlignVCenter,
                       QStringLiteral("%1:00 회의 약속 본사 회의실").arg(8 + row % 10));
        if (!m_reported && std::getenv("ZUPIMS_REPORT_FIRST_PAINT")) {
            m_reported = true;
            timespec ts{};
            ::clock_gettime(CLOCK_MONOTONIC, &ts);
            std::fprintf(stderr, "first-paint %.3f\n", ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6);
            std::fflush(stderr);
        }
    }

private:
    bool m_reported = false;
};

} // namespace

int main(int argc, char** argv)
{
    ZuPrepareDesktopScale();
    QApplication app(argc, argv);
    Rows window;
    window.setWindowTitle(QStringLiteral("일정"));
    window.resize(240, 320);
    window.show();
    return app.exec();
}
