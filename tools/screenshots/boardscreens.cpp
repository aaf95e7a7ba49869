#include "boardscreens.h"

#include "filetime.h"
#include "inkdata.h"
#include "pimstore.h"
#include "poomapplication.h"
#include "taskrecord.h"
#include "widgets/viewboard.h"

#include <QApplication>

#include <cmath>

namespace {

// The category of that name (the other screens may have made it already).
void storeCategory(const wchar_t* name, short index)
{
    CCeDBDatabase db;
    GetDatabasePtr(&db, ZU_SEL_CATEGORIES);
    if (GetDBCategoryIndex(&db, name) >= 0)
        return;
    CCeDBRecord r;
    const CCeDBProp props[] = {CCeDBProp(name, ZUID_CAT_NAME), CCeDBProp(index, ZUID_CAT_INDEX), CCeDBProp(short(1), ZUID_CAT_IN_USE)};
    r.AddProps(props, 3);
    db.WriteRecord(r, 0);
}

// A few handwritten lines: a typed heading, a circled word and a tick.
QByteArray note()
{
    InkNote n;
    n.items.emplace_back(InkText{QPoint(800, 700), 1300, QString::fromUtf8("안건: 2분기 일정")});
    n.items.emplace_back(InkText{QPoint(800, 2600), 1200, QString::fromUtf8("자료는 목요일까지")});
    InkStroke ring{RGB(214, 30, 30), 170, {}};
    for (int i = 0; i <= 36; ++i) {
        const double a = i * 3.14159265 / 18;
        ring.points.emplace_back(qRound((67 + 22 * std::cos(a)) * 100), qRound((33 + 9 * std::sin(a)) * 100));
    }
    n.items.emplace_back(std::move(ring));
    InkStroke tick{RGB(28, 150, 72), 240, {}};
    for (const QPointF& p : {QPointF(150, 30), QPointF(158, 40), QPointF(178, 14)})
        tick.points.emplace_back(qRound(p.x() * 100), qRound(p.y() * 100));
    n.items.emplace_back(std::move(tick));
    return ZuWriteInk(n);
}

}  // namespace

void ZuShootBoardScreens(const QString& folder, const ZuScreenSaver& save)
{
    storeCategory(L"업무", 0);
    storeCategory(L"가족", 1);

    CPoomApplication app;
    app.Logon(0);
    std::unique_ptr<CPoomAppointment> item;
    app.CreateItem(ZU_OL_APPOINTMENT_ITEM, &item);
    item->put_Subject(L"주간 회의");
    item->put_Location(L"본사 3층 대회의실");
    item->put_Categories(L"업무");
    item->put_Start(COleDateTime(2026, 12, 10, 14, 0, 0).m_dt);
    item->put_Duration(90);
    item->put_BusyStatus(2);
    item->put_ReminderSet(1);
    item->put_ReminderMinutesBeforeStart(30);
    CPoomRecipients* recipients = nullptr;
    item->get_Recipients(&recipients);
    CPoomRecipient* one = nullptr;
    recipients->Add(L"김철수", &one);
    recipients->Add(L"이영희", &one);
    const QByteArray ink = note();
    item->put_BodyInk(CEBLOB{static_cast<DWORD>(ink.size()), reinterpret_cast<BYTE*>(const_cast<char*>(ink.constData()))});
    CRecurrencePattern* p = nullptr;
    item->GetRecurrencePattern(&p);
    p->put_RecurrenceType(1);
    p->put_Interval(1);
    p->put_DayOfWeekMask(0x10);  // Thursdays
    FILETIME from{};
    COleDateTime(2026, 12, 10, 0, 0, 0).GetAsFileTime(from);
    p->put_PatternStartDate(from);
    p->put_NoEndDate(1);
    item->Save();
    CEOID oid = 0;
    item->get_Oid(&oid);
    {
        CViewBoard board(oid, nullptr, ZU_SEL_APPOINTMENTS);
        board.show();
        QApplication::processEvents();
        save(board, folder, QStringLiteral("view-board"), nullptr);
    }

    ZuTask task;
    task.subject = L"분기 보고서 제출";
    COleDateTime(2026, 12, 7, 0, 0, 0).GetAsFileTime(task.start);
    COleDateTime(2026, 12, 11, 0, 0, 0).GetAsFileTime(task.due);
    task.importance = 1;
    task.percent = 60;
    ZuBitmapSet(task.categories, 0);
    ZuBitmapSet(task.categories, 1);
    CCeDBRecord record = ZuTaskRecord(task);
    const CCeDBProp reminder[] = {CCeDBProp(short(1), ZUID_TASK_REMINDER_SET), CCeDBProp(short(1), ZUID_TASK_REMINDER_FLAG),
                                  CCeDBProp(LONG(1440), ZUID_TASK_REMINDER_MINUTES)};
    CCeDBDatabase tasks;
    GetDatabasePtr(&tasks, ZU_SEL_TASKS);
    const CEOID taskId = tasks.WriteRecord(record, 0);
    CCeDBRecord extra;
    extra.AddProps(reminder, 3);
    tasks.WriteRecord(extra, taskId);
    {
        CViewBoard board(taskId, nullptr, ZU_SEL_TASKS);
        board.show();
        QApplication::processEvents();
        save(board, folder, QStringLiteral("view-board-task"), nullptr);
    }
}
