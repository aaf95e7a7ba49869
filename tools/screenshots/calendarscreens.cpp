// The calendar's screens for the screenshots: the real frame on a small store of a busy day (a
// holiday, appointments, a contact's lunar birthday and a task under way), in the list view, in
// the month (with a day's popup), week and day views, and with its tools menu open.
#include "calendarscreens.h"

#include "calendarfixture.h"
#include "lunar.h"
#include "optionstore.h"
#include "popupmenu.h"
#include "widgets/cecommandbarexp.h"
#include "widgets/mainframe.h"
#include "widgets/zucalendarapp.h"
#include "widgets/zucalendarview.h"
#include "widgets/zumonthview.h"
#include "zucalendardoc.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace {

using calfix::wall;

void fillStore()
{
    // Christmas 2026: a holiday caption, a busy day.
    calfix::add(calfix::Appointment{.subject = L"성탄 예배", .start = wall(2026, 12, 25, 10), .minutes = 90});
    calfix::add(calfix::Appointment{.subject = L"가족 점심", .location = L"광화문", .start = wall(2026, 12, 25, 12, 30), .minutes = 90});
    calfix::add(calfix::Appointment{.subject = L"영화 보기", .start = wall(2026, 12, 25, 19), .minutes = 120});
    calfix::add(calfix::Appointment{.subject = L"연말 휴가", .start = wall(2026, 12, 25), .minutes = 1440, .allDay = true});
    int ly = 0, lm = 0, ld = 0;
    bool leap = false;
    ZuSunToMoon(2026, 12, 25, &ly, &lm, &ld, &leap);
    calfix::add(calfix::Contact{.name = L"김민지", .birthday = wall(1990, lm, ld), .birthdayLunar = true});
    calfix::add(calfix::Task{.subject = L"연말 보고서", .start = wall(2026, 12, 20), .due = wall(2026, 12, 28), .importance = 3, .progress = 40});
    calfix::add(calfix::Task{.subject = L"선물 포장", .due = wall(2026, 12, 25), .importance = 2});
    COptionStore().SaveTaskStatusBar(TRUE);
}

void settle(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

}  // namespace

void ZuShootCalendarScreens(const QString& folder, const ZuScreenSaver& save)
{
    SYSTEMTIME now{};
    now.wYear = 2026;
    now.wMonth = 12;
    now.wDay = 25;
    now.wHour = 9;
    FILETIME local{}, utc{};
    SystemTimeToFileTime(&now, &local);
    LocalFileTimeToFileTime(&local, &utc);
    ZuSetFixedClock(utc);
    fillStore();

    CZuCalendarApp app;
    if (!app.InitInstance())
        return;
    CMainFrame* frame = app.MainFrame();
    settle(300);
    frame->ListView()->SetSelectedRow(1);
    settle(50);
    save(*frame, folder, QStringLiteral("calendar-list"), nullptr);

    // The graphic views: the month with the popup of the 25th, the week, the day.
    auto tap = [](QWidget* w, QPoint at) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
        QApplication::sendEvent(w, &release);
    };
    frame->OnCommand(ZU_CMD_STYLE);
    frame->OnCommand(ZU_CMD_VIEW_MONTH);
    settle(300);
    save(*frame, folder, QStringLiteral("calendar-month"), nullptr);
    if (auto* month = qobject_cast<CZuMonthView*>(static_cast<QWidget*>(frame->ActiveView()))) {
        const int cw = (month->width() - 15) / 7, ch = (month->height() - 16) / 6;
        for (int cell = 0; cell < CZuMonthView::kCells; ++cell) {
            SYSTEMTIME day{};
            const QPoint at(15 + (cell % 7) * cw + cw / 2, 16 + (cell / 7) * ch + ch / 2);
            if (month->HitTest(at, &day) >= 0 && day.wMonth == 12 && day.wDay == 25) {
                tap(month, at);
                break;
            }
        }
        settle(100);
        save(*frame, folder, QStringLiteral("calendar-popup"), nullptr);
    }
    frame->OnCommand(ZU_CMD_VIEW_WEEK);
    settle(300);
    save(*frame, folder, QStringLiteral("calendar-week"), nullptr);
    frame->OnCommand(ZU_CMD_VIEW_DAY);
    settle(300);
    save(*frame, folder, QStringLiteral("calendar-day"), nullptr);
    frame->OnCommand(ZU_CMD_STYLE);
    settle(200);

    // The tools menu, drawn where it opens over the frame.
    ZuSetPopupMenuHandler([&](const std::vector<ZuMenuEntry>& entries, QPoint pos) -> UINT {
        QMenu menu;
        for (const ZuMenuEntry& e : entries) {
            if (e.separator) {
                menu.addSeparator();
                continue;
            }
            QAction* action = menu.addAction(e.text.toQString());
            action->setEnabled(e.enabled);
        }
        menu.ensurePolished();
        menu.adjustSize();
        const QPoint at = frame->mapFromGlobal(pos) - QPoint(0, menu.sizeHint().height());
        ZuScreenOverlay overlay{&menu, at};
        save(*frame, folder, QStringLiteral("calendar-tools-menu"), &overlay);
        return 0;
    });
    CCeCommandBarExp* bar = frame->CommandBar();
    const QRect tools = bar->GetItemRect(1);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(tools.center()), bar->mapToGlobal(QPointF(tools.center())),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(tools.center()), bar->mapToGlobal(QPointF(tools.center())),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &press);
    QApplication::sendEvent(bar, &release);
    ZuSetPopupMenuHandler({});
    frame->close();
    ZuSetClock({});
}
