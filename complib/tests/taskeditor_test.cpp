// The task editor end to end: the sheet driven offscreen as a user would (typing, picking dates,
// ticking, tapping OK on the bar), the record and its reminder read back from the store.
#include "widgets/makeeventsheet.h"
#include "widgets/recordeditor.h"
#include "widgets/tasksummary.h"

#include "categorytestdata.h"
#include "sheetdriver.h"
#include "cedbdatabase.h"
#include "filetime.h"
#include "messagebox.h"
#include "notifyutil.h"
#include "pimstore.h"
#include "recurrencepattern.h"
#include "resource.h"
#include "storefaults.h"
#include "taskrecord.h"
#include "testhome.h"
#include "testtime.h"
#include "usernotify.h"
#include "widgets/cebuttonst.h"
#include "widgets/listviewex.h"
#include "widgets/modaldialog.h"
#include "widgets/recurdialog.h"
#include "widgets/zucombobox.h"
#include "widgets/zudatetimectrl.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTimeEdit>

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

using zutest::wall;
using sheetdriver::child;
using sheetdriver::choose;
using sheetdriver::tapOk;
using Props = std::map<CEPROPID, std::tuple<std::int64_t, std::wstring, std::vector<BYTE>>>;

bool readRecord(CEOID oid, CCeDBRecord* r)
{
    CCeDBDatabase db;
    return GetDatabasePtr(&db, ZU_SEL_TASKS) && db.SeekToRecord(oid) && db.ReadCurrRecord(r);
}

Props readProps(CEOID oid)
{
    CCeDBRecord r;
    Props out;
    if (readRecord(oid, &r))
        for (const CCeDBProp& p : r.props())
            out[p.GetPropId()] = {p.rawInt(), p.rawString(), p.rawBytes()};
    return out;
}

long long prop(CEOID oid, WORD ident, long long missing = -999)
{
    CCeDBRecord r;
    return readRecord(oid, &r) ? ZuRecordInt(r, ident, missing) : missing;
}

long long fullProp(CEOID oid, CEPROPID id, long long missing = -999)
{
    CCeDBRecord r;
    const CCeDBProp* p = readRecord(oid, &r) ? r.GetFullIdProp(id) : nullptr;
    return p ? p->rawInt() : missing;
}

std::uint64_t dateProp(CEOID oid, WORD ident)
{
    CCeDBRecord r;
    FILETIME ft{};
    return readRecord(oid, &r) && ZuRecordFiletime(r, ident, &ft) ? ZuFileTimeToU64(ft) : 0;
}

std::uint64_t day(int y, int m, int d) { return ZuFileTimeToU64(wall(y, m, d)); }

std::vector<CEOID> taskOids()
{
    CCeDBDatabase db;
    std::vector<CEOID> out;
    CCeDBRecord r;
    if (GetDatabasePtr(&db, ZU_SEL_TASKS))
        while (db.ReadCurrRecord(&r))
            out.push_back(r.GetOid());
    return out;
}

// The reminder of a handle: its start and end (local) and its text; empty text when it is gone.
struct Reminder {
    SYSTEMTIME start{}, end{};
    std::wstring text;
};
Reminder reminderOf(LONG handle)
{
    Reminder out;
    std::vector<BYTE> buffer(8192);
    DWORD needed = 0;
    if (!handle || !CeGetUserNotification(ZuLongToHandle(handle), static_cast<DWORD>(buffer.size()), &needed, buffer.data()))
        return out;
    const auto* header = reinterpret_cast<const CE_NOTIFICATION_INFO_HEADER*>(buffer.data());
    out.start = header->pcent->stStartTime;
    out.end = header->pcent->stEndTime;
    out.text = header->pceun->pwszDialogText ? header->pceun->pwszDialogText : L"";
    return out;
}
std::tuple<int, int, int, int, int> fields(const SYSTEMTIME& t) { return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute}; }

void tick(QCheckBox* box)
{
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
}

// Picks a date in a date box's calendar as a user does: tap the box, select, Enter.
void pick(CTaskDateBox* box, QDate date)
{
    ASSERT_NE(box, nullptr);
    CZUDateTimeCtrl* ctrl = box->DateCtrl();
    QTest::mouseClick(ctrl, Qt::LeftButton, Qt::NoModifier, QPoint(ctrl->width() / 2, ctrl->height() / 2));
    QCalendarWidget* cal = ctrl->calendarPopup();
    ASSERT_NE(cal, nullptr);
    ASSERT_TRUE(cal->isVisible());
    cal->setSelectedDate(date);
    QTest::keyClick(cal->findChild<QTableView*>(), Qt::Key_Return);
}

CTaskSummary* summaryOf(QDialog& d)
{
    auto* sheet = qobject_cast<CMakeEventSheet*>(&d);
    return sheet ? qobject_cast<CTaskSummary*>(sheet->GetPage(0)) : nullptr;
}

// The recurrence wizard answered with Next and Finish (weekly, as it opens), or closed.
void finishWizard(QDialog& d)
{
    auto click = [&](UINT id) {
        auto* b = child<CCeButtonST>(d, id);
        ASSERT_NE(b, nullptr);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(b->width() / 2, b->height() / 2));
    };
    click(1030);
    click(1031);
}

// A fresh store, Seoul time, a fixed "now" (2024-05-20 10:00 local), boxes answered and kept.
class TaskEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        ZuSetFixedClock(ZuU64ToFileTime(ZuFileTimeToU64(wall(2024, 5, 20, 1, 0))));
        ZuSetMessageBoxHandler([this](const CString& t, const CString&, UINT) {
            texts.push_back(t);
            return IDOK;
        });
    }
    void TearDown() override
    {
        ZuSetMessageBoxHandler({});
        ZuSetClock({});
        ZuFailStoreWrites(0);
    }

    // Opens the editor on oid, lets `drive` act on the sheet (and `wizard` on the recurrence
    // wizard), and returns the editor's result.
    int edit(CEOID& oid, const std::function<void(QDialog&)>& drive, ZuEditorPreset preset = {},
        std::function<void(QDialog&)> wizard = finishWizard)
    {
        ZuModalHandlerScope scope([&](QDialog& d) {
            if (qobject_cast<CMakeEventSheet*>(&d))
                drive(d);
            else if (qobject_cast<CRecurDialog*>(&d))
                wizard(d);
        });
        return ZuEditTask(nullptr, CString(L"일정"), oid, preset);
    }

    // A task saved by the sheet from page values, as the editor would: "보고서", 05-20 to 05-21,
    // the reminder on 05-20 at 09:30, weekly on Mondays from 05-20 when `pattern` says so.
    CEOID saveTask(const std::function<void(CTaskSummary&, CRecurrencePattern&)>& fill = {}, CEBLOB categories = {},
        CEBLOB note = {})
    {
        CTaskSummary s;
        s.m_strSubject = L"보고서";
        s.m_dtStart = COleDateTime(2024, 5, 20, 0, 0, 0);
        s.m_dtDue = COleDateTime(2024, 5, 21, 0, 0, 0);
        s.m_dtAlarmDate = COleDateTime(2024, 5, 20, 0, 0, 0);
        s.m_dtAlarmTime = COleDateTime(2000, 1, 1, 9, 30, 0);
        CRecurrencePattern p(ZU_SEL_TASKS);
        if (fill)
            fill(s, p);
        if (p.IsValid()) {
            s.m_nOccurs = 2;
            s.SetRecurPatternPtr(std::make_unique<CRecurrencePattern>(p));
        }
        CMakeEventSheet sheet(CString(L"일정"));
        CEOID oid = 0;
        EXPECT_EQ(sheet.SaveTaskEvent(oid, s, note, categories), 1);
        return oid;
    }
    static void weekly(CRecurrencePattern& p)
    {
        p.put_RecurrenceType(1);
        p.put_Interval(1);
        p.put_DayOfWeekMask(0x02);  // Mondays
        p.put_PatternStartDate(wall(2024, 5, 20));
        p.put_NoEndDate(1);
    }
    ZuTestHome home;
    std::vector<CString> texts;
};

}  // namespace

TEST_F(TaskEditor, NewTaskDefaults)
{
    CEOID oid = 0;
    EXPECT_EQ(edit(oid, [](QDialog& d) {
        CTaskSummary* s = summaryOf(d);
        ASSERT_NE(s, nullptr);
        EXPECT_FALSE(s->StartBox()->HasValue());
        EXPECT_FALSE(s->DueBox()->HasValue());
        EXPECT_FALSE(s->AlarmDateBox()->HasValue());
        EXPECT_FALSE(s->AlarmDateBox()->isEnabled()) << "no dates, no reminder";
        EXPECT_FALSE(s->AlarmTimeBox()->isVisible());
        EXPECT_EQ(s->ImportanceBox()->currentText(), QString::fromUtf8("보통"));
        EXPECT_EQ(s->ProgressBox()->currentText(), QStringLiteral("0%"));
        EXPECT_EQ(s->ProgressBox()->count(), 10);
        EXPECT_EQ(s->OccurBox()->currentText(), QString::fromUtf8("반복없음"));
        child<QLineEdit>(d, CTaskSummary::IDC_SUBJECT)->insert(QString::fromUtf8("장보기"));
        tapOk(d);
    }), IDOK);
    ASSERT_NE(oid, 0u);
    EXPECT_EQ(taskOids(), std::vector<CEOID>{oid});
    CCeDBRecord r;
    ASSERT_TRUE(readRecord(oid, &r));
    EXPECT_EQ(ZuRecordString(r, ZUID_TASK_SUBJECT), CString(L"장보기"));
    EXPECT_EQ(dateProp(oid, ZUID_TASK_START), ZU_NO_DATE);
    EXPECT_EQ(dateProp(oid, ZUID_TASK_DUE), ZU_NO_DATE);
    EXPECT_EQ(fullProp(oid, ZUPID_TASK_COMPLETE), 0);
    EXPECT_EQ(fullProp(oid, ZUPID_TASK_COMPLETED_DATE), -999);
    EXPECT_EQ(ZuRecordInt(r, ZUID_TASK_PROGRESS), 0);
    EXPECT_EQ(ZuRecordInt(r, ZUID_TASK_IMPORTANCE), 2);
    EXPECT_EQ(ZuRecordInt(r, ZUID_TASK_PRIVATE), 0);
    EXPECT_EQ(ZuRecordInt(r, ZUID_TASK_REMINDER_SET), 0);
    EXPECT_EQ(ZuRecordInt(r, ZUID_TASK_NOTIFY), 0);
    EXPECT_EQ(ZuRecordInt(r, ZUID_TASK_RECURRING), 0);
    EXPECT_EQ(ZuRecordString(r, ZUID_TASK_REMINDER_SOUND), CString(L"Alarm1.wav"));
    EXPECT_EQ(ZuRecordInt(r, ZUID_TASK_REMINDER_OPTIONS), 13);
    EXPECT_EQ(r.GetIdProp(ZUID_TASK_CATEGORIES), nullptr);
    EXPECT_EQ(r.GetIdProp(ZUID_TASK_NOTE), nullptr);
    EXPECT_EQ(r.GetIdProp(ZUID_TASK_RECURRENCE), nullptr);

    // The calendar's 새 할일 on a chosen day: the task starts and is due then, no reminder yet.
    CEOID preset = 0;
    EXPECT_EQ(edit(preset, [](QDialog& d) {
        CTaskSummary* s = summaryOf(d);
        EXPECT_EQ(s->StartBox()->GetDate(), QDate(2024, 6, 3));
        EXPECT_TRUE(s->AlarmDateBox()->isEnabled());
        EXPECT_FALSE(s->AlarmTimeBox()->isVisible());
        tapOk(d);
    }, ZuEditorPreset{zutest::st(2024, 6, 3), false}), IDOK);
    EXPECT_EQ(dateProp(preset, ZUID_TASK_START), day(2024, 6, 3));
    EXPECT_EQ(dateProp(preset, ZUID_TASK_DUE), day(2024, 6, 3));
    EXPECT_EQ(prop(preset, ZUID_TASK_REMINDER_SET), 0);
}

TEST_F(TaskEditor, EmptySubjectIsSavedAsNaeyongEopseum)
{
    CEOID oid = 0;
    EXPECT_EQ(edit(oid, tapOk), IDOK);
    CCeDBRecord r;
    ASSERT_TRUE(readRecord(oid, &r));
    EXPECT_EQ(ZuRecordString(r, ZUID_TASK_SUBJECT), CString(L"내용 없음"));
}

TEST_F(TaskEditor, StartDateSetsDueAndReminder)
{
    CEOID oid = 0;
    EXPECT_EQ(edit(oid, [](QDialog& d) {
        CTaskSummary* s = summaryOf(d);
        pick(s->StartBox(), QDate(2024, 5, 22));
        EXPECT_EQ(s->DueBox()->GetDate(), QDate(2024, 5, 22));
        EXPECT_EQ(s->AlarmDateBox()->GetDate(), QDate(2024, 5, 22));
        EXPECT_TRUE(s->AlarmDateBox()->isEnabled());
        EXPECT_TRUE(s->AlarmTimeBox()->isVisible());
        EXPECT_EQ(s->AlarmTimeBox()->time(), QTime(8, 0));
        child<QLineEdit>(d, CTaskSummary::IDC_SUBJECT)->insert(QString::fromUtf8("발표 준비"));
        tapOk(d);
    }), IDOK);
    EXPECT_EQ(dateProp(oid, ZUID_TASK_START), day(2024, 5, 22));
    EXPECT_EQ(dateProp(oid, ZUID_TASK_DUE), day(2024, 5, 22));
    EXPECT_EQ(prop(oid, ZUID_TASK_REMINDER_SET), 1);
    EXPECT_EQ(prop(oid, ZUID_TASK_REMINDER_FLAG), 0);
    EXPECT_EQ(prop(oid, ZUID_TASK_REMINDER_MINUTES), 0);
    const Reminder rem = reminderOf(static_cast<LONG>(prop(oid, ZUID_TASK_NOTIFY)));
    EXPECT_EQ(fields(rem.start), std::make_tuple(2024, 5, 22, 8, 0));
    EXPECT_EQ(fields(rem.end), std::make_tuple(2024, 5, 22, 8, 10));
    EXPECT_EQ(rem.text, L"발표 준비\r\nStarts: 2024-5-22\r\nEnd: 2024-5-22");
}

TEST_F(TaskEditor, DateRules)
{
    CEOID oid = 0;
    edit(oid, [](QDialog& d) {
        CTaskSummary* s = summaryOf(d);
        pick(s->StartBox(), QDate(2024, 5, 22));
        pick(s->DueBox(), QDate(2024, 5, 25));
        EXPECT_EQ(s->StartBox()->GetDate(), QDate(2024, 5, 22)) << "a later due date keeps the start";
        pick(s->AlarmDateBox(), QDate(2024, 5, 28));
        EXPECT_EQ(s->AlarmDateBox()->GetDate(), QDate(2024, 5, 25)) << "a reminder after the due date moves to it";
        pick(s->DueBox(), QDate(2024, 5, 21));
        EXPECT_EQ(s->StartBox()->GetDate(), QDate(2024, 5, 21)) << "an earlier due date pulls the start";
        pick(s->StartBox(), QDate(2024, 5, 23));
        EXPECT_EQ(s->DueBox()->GetDate(), QDate(2024, 5, 23)) << "a later start pushes the due date";
        tick(s->AlarmDateBox()->CheckBox());
        EXPECT_FALSE(s->AlarmDateBox()->HasValue());
        EXPECT_FALSE(s->AlarmTimeBox()->isVisible());
        tick(s->DueBox()->CheckBox());
        EXPECT_FALSE(s->DueBox()->HasValue());
        EXPECT_FALSE(s->StartBox()->HasValue()) << "no due date, no start";
        EXPECT_TRUE(s->StartBox()->isEnabled());
        EXPECT_FALSE(s->AlarmDateBox()->isEnabled());
        // Without a start, a due date brings the reminder with it.
        tick(s->DueBox()->CheckBox());
        EXPECT_TRUE(s->DueBox()->HasValue());
        EXPECT_EQ(s->AlarmDateBox()->GetDate(), s->DueBox()->GetDate());
        EXPECT_TRUE(s->AlarmTimeBox()->isVisible());
        d.reject();
    });
}

TEST_F(TaskEditor, RecurrenceNeedsADueDate)
{
    CEOID oid = 0;
    bool wizardShown = false;
    EXPECT_EQ(edit(oid, [&](QDialog& d) {
        CTaskSummary* s = summaryOf(d);
        choose(s->OccurBox(), 2);
        EXPECT_EQ(texts, (std::vector<CString>{L"작업의 기간을 먼저 설정하십시요!"}));
        EXPECT_EQ(s->OccurBox()->currentIndex(), 0);
        EXPECT_FALSE(wizardShown);

        pick(s->StartBox(), QDate(2024, 5, 22));  // a Wednesday
        pick(s->DueBox(), QDate(2024, 5, 23));
        tick(s->CompletedCheck());
        choose(s->OccurBox(), 2);
        EXPECT_TRUE(wizardShown);
        EXPECT_EQ(s->OccurBox()->currentIndex(), 2);
        EXPECT_FALSE(s->StartBox()->isEnabled());
        EXPECT_FALSE(s->DueBox()->isEnabled());
        EXPECT_FALSE(s->CompletedCheck()->isChecked()) << "a new recurrence opens the task again";
        EXPECT_FALSE(s->CompletedCheck()->isEnabled());
        EXPECT_TRUE(s->ProgressBox()->isEnabled());
        tapOk(d);
    }, {}, [&](QDialog& w) {
        wizardShown = true;
        finishWizard(w);
    }), IDOK);
    EXPECT_EQ(prop(oid, ZUID_TASK_RECURRING), 1);
    EXPECT_EQ(fullProp(oid, ZUPID_TASK_COMPLETE), 0);
    CRecurrencePattern p(oid, ZU_SEL_TASKS);
    long type = -1, mask = 0;
    p.get_RecurrenceType(&type);
    p.get_DayOfWeekMask(&mask);
    EXPECT_EQ(type, 1);
    EXPECT_EQ(mask, 0x08) << "Wednesdays";

    // A wizard left without Finish leaves the recurrence as it was.
    for (const bool stored : {false, true}) {
        CEOID again = stored ? oid : 0;
        edit(again, [&](QDialog& d) {
            CTaskSummary* s = summaryOf(d);
            if (!stored)
                pick(s->DueBox(), QDate(2024, 5, 23));
            choose(s->OccurBox(), 3);
            EXPECT_EQ(s->OccurBox()->currentIndex(), stored ? 2 : 0) << stored;
            d.reject();
        }, {}, [](QDialog& w) { w.done(0); });
    }
}

TEST_F(TaskEditor, NoDatesStore4501)
{
    // Neither date: the dates say "none" and a reminder cannot be set.
    CEOID none = saveTask([](CTaskSummary& s, CRecurrencePattern&) {
        s.m_dtStart.SetStatus(COleDateTime::null);
        s.m_dtDue.SetStatus(COleDateTime::null);
    });
    EXPECT_EQ(dateProp(none, ZUID_TASK_START), ZU_NO_DATE);
    EXPECT_EQ(dateProp(none, ZUID_TASK_DUE), ZU_NO_DATE);
    EXPECT_EQ(prop(none, ZUID_TASK_REMINDER_SET), 0);
    EXPECT_EQ(prop(none, ZUID_TASK_NOTIFY), 0);
    // A due date only: the reminder's text has no start line.
    CEOID dueOnly = saveTask([](CTaskSummary& s, CRecurrencePattern&) { s.m_dtStart.SetStatus(COleDateTime::null); });
    EXPECT_EQ(dateProp(dueOnly, ZUID_TASK_START), ZU_NO_DATE);
    EXPECT_EQ(reminderOf(static_cast<LONG>(prop(dueOnly, ZUID_TASK_NOTIFY))).text, L"보고서\r\nEnd: 2024-5-21");
    // Loaded again: empty boxes.
    CEOID oid = none;
    edit(oid, [](QDialog& d) {
        CTaskSummary* s = summaryOf(d);
        EXPECT_FALSE(s->StartBox()->HasValue());
        EXPECT_FALSE(s->DueBox()->HasValue());
        EXPECT_FALSE(s->AlarmDateBox()->isEnabled());
        d.reject();
    });
}

TEST_F(TaskEditor, ReminderReferenceAndLead)
{
    // Start 05-22, due 05-25.
    const struct {
        const char* what;
        QDate alarm;
        bool withStart;
        int reference;
        long lead;
    } cases[] = {
        {"before the start", {2024, 5, 20}, true, 0, 2 * 1440},
        {"on the start date", {2024, 5, 22}, true, 0, 0},
        {"after the start", {2024, 5, 23}, true, 1, 2 * 1440},
        {"on the due date", {2024, 5, 25}, true, 1, 0},
        {"after the due date", {2024, 5, 27}, true, 1, -2 * 1440},
        {"no start", {2024, 5, 24}, false, 1, 1440},
    };
    for (const auto& c : cases) {
        const CEOID oid = saveTask([&](CTaskSummary& s, CRecurrencePattern&) {
            s.m_dtStart = COleDateTime(2024, 5, 22, 0, 0, 0);
            if (!c.withStart)
                s.m_dtStart.SetStatus(COleDateTime::null);
            s.m_dtDue = COleDateTime(2024, 5, 25, 0, 0, 0);
            s.m_dtAlarmDate = COleDateTime(c.alarm.year(), c.alarm.month(), c.alarm.day(), 0, 0, 0);
            s.m_dtAlarmTime = COleDateTime(2000, 1, 1, 18, 45, 0);
        });
        EXPECT_EQ(prop(oid, ZUID_TASK_REMINDER_SET), 1) << c.what;
        EXPECT_EQ(prop(oid, ZUID_TASK_REMINDER_FLAG), c.reference) << c.what;
        EXPECT_EQ(prop(oid, ZUID_TASK_REMINDER_MINUTES), c.lead) << c.what;
        const Reminder rem = reminderOf(static_cast<LONG>(prop(oid, ZUID_TASK_NOTIFY)));
        EXPECT_EQ(fields(rem.start), std::make_tuple(c.alarm.year(), c.alarm.month(), c.alarm.day(), 18, 45)) << c.what;
        EXPECT_EQ(fields(rem.end), std::make_tuple(c.alarm.year(), c.alarm.month(), c.alarm.day(), 18, 55)) << c.what;
    }
}

TEST_F(TaskEditor, RemovingAReminderClearsItsHandle)
{
    CEOID oid = saveTask();
    const LONG handle = static_cast<LONG>(prop(oid, ZUID_TASK_NOTIFY));
    ASSERT_NE(handle, 0);
    ASSERT_FALSE(reminderOf(handle).text.empty());
    EXPECT_EQ(edit(oid, [](QDialog& d) {
        CTaskSummary* s = summaryOf(d);
        EXPECT_EQ(s->AlarmDateBox()->GetDate(), QDate(2024, 5, 20));
        EXPECT_EQ(s->AlarmTimeBox()->time(), QTime(9, 30)) << "the reminder's own time";
        tick(s->AlarmDateBox()->CheckBox());
        tapOk(d);
    }), IDOK);
    EXPECT_EQ(prop(oid, ZUID_TASK_REMINDER_SET), 0);
    EXPECT_EQ(prop(oid, ZUID_TASK_NOTIFY), 0) << "no handle of a removed reminder stays";
    EXPECT_EQ(prop(oid, ZUID_TASK_REMINDER_MINUTES), 0);
    EXPECT_TRUE(reminderOf(handle).text.empty()) << "the reminder is gone";
}

TEST_F(TaskEditor, StoredValuesLoad)
{
    auto store = [](const ZuTask& t, const std::vector<CCeDBProp>& extra) {
        CCeDBRecord r = ZuTaskRecord(t);
        for (const CCeDBProp& p : extra) {
            r.DeletePropById(p.GetPropId());
            r.AddProp(&p);
        }
        CCeDBDatabase db;
        return GetDatabasePtr(&db, ZU_SEL_TASKS) ? db.WriteRecord(r, 0) : 0;
    };
    ZuTask base;
    base.subject = L"세금 신고";
    base.start = wall(2024, 5, 27);
    base.due = wall(2024, 5, 31);
    base.importance = 3;
    base.percent = 30;
    base.isPrivate = true;
    const struct {
        const char* what;
        std::function<void(ZuTask&)> change;
        std::vector<CCeDBProp> extra;
        QDate start, due, alarm;
        int importance;
        QString progress;
        bool completed;
    } cases[] = {
        {"as stored", {}, {}, {2024, 5, 27}, {2024, 5, 31}, {}, 2, "30%", false},
        {"an unknown importance reads as 보통", [](ZuTask& t) { t.importance = 7; }, {}, {2024, 5, 27}, {2024, 5, 31}, {},
            1, "30%", false},
        {"due 4501-01-01 is no due date", [](ZuTask& t) { t.due = ZuNoDate(); }, {}, {2024, 5, 27}, {}, {}, 2, "30%", false},
        {"completed", [](ZuTask& t) { t.complete = true; }, {}, {2024, 5, 27}, {2024, 5, 31}, {}, 2, "0%", true},
        {"a reminder without its notification: a day before the due date at 08:00", {},
            {CCeDBProp(short(1), ZUID_TASK_REMINDER_SET), CCeDBProp(short(1), ZUID_TASK_REMINDER_FLAG),
                CCeDBProp(LONG(1440), ZUID_TASK_REMINDER_MINUTES), CCeDBProp(LONG(987654), ZUID_TASK_NOTIFY)},
            {2024, 5, 27}, {2024, 5, 31}, {2024, 5, 30}, 2, "30%", false},
        {"from the start", {},
            {CCeDBProp(short(1), ZUID_TASK_REMINDER_SET), CCeDBProp(short(0), ZUID_TASK_REMINDER_FLAG),
                CCeDBProp(LONG(2880), ZUID_TASK_REMINDER_MINUTES)},
            {2024, 5, 27}, {2024, 5, 31}, {2024, 5, 25}, 2, "30%", false},
    };
    for (const auto& c : cases) {
        ZuTask t = base;
        if (c.change)
            c.change(t);
        CEOID oid = store(t, c.extra);
        ASSERT_NE(oid, 0u);
        edit(oid, [&](QDialog& d) {
            CTaskSummary* s = summaryOf(d);
            EXPECT_EQ(child<QLineEdit>(d, CTaskSummary::IDC_SUBJECT)->text(), QString::fromUtf8("세금 신고")) << c.what;
            EXPECT_EQ(s->StartBox()->GetDate(), c.start) << c.what;
            EXPECT_EQ(s->DueBox()->GetDate(), c.due) << c.what;
            EXPECT_EQ(s->AlarmDateBox()->GetDate(), c.alarm) << c.what;
            EXPECT_EQ(s->AlarmTimeBox()->isVisible(), c.alarm.isValid()) << c.what;
            if (c.alarm.isValid()) {
                EXPECT_EQ(s->AlarmTimeBox()->time(), QTime(8, 0)) << c.what;
            }
            EXPECT_EQ(s->ImportanceBox()->currentIndex(), c.importance) << c.what;
            EXPECT_EQ(s->ProgressBox()->currentText(), c.progress) << c.what;
            EXPECT_EQ(s->ProgressBox()->isEnabled(), !c.completed) << c.what;
            EXPECT_EQ(s->CompletedCheck()->isChecked(), c.completed) << c.what;
            EXPECT_TRUE(child<QCheckBox>(d, CTaskSummary::IDC_PRIVATE)->isChecked()) << c.what;
            d.reject();
        });
    }
}

TEST_F(TaskEditor, CompletedTaskWritesNoProgress)
{
    CEOID oid = saveTask([](CTaskSummary& s, CRecurrencePattern&) { s.m_nProgress = 4; });
    ASSERT_EQ(prop(oid, ZUID_TASK_PROGRESS), 40);
    EXPECT_EQ(edit(oid, [](QDialog& d) {
        CTaskSummary* s = summaryOf(d);
        EXPECT_EQ(s->ProgressBox()->currentText(), QStringLiteral("40%"));
        tick(s->CompletedCheck());
        EXPECT_FALSE(s->ProgressBox()->isEnabled());
        tapOk(d);
    }), IDOK);
    EXPECT_EQ(fullProp(oid, ZUPID_TASK_COMPLETE), 1);
    EXPECT_EQ(prop(oid, ZUID_TASK_PROGRESS), -999) << "a complete task carries no progress";
    CCeDBRecord r;
    ASSERT_TRUE(readRecord(oid, &r));
    const CCeDBProp* when = r.GetFullIdProp(ZUPID_TASK_COMPLETED_DATE);
    ASSERT_NE(when, nullptr);
    EXPECT_EQ(ZuFileTimeToU64(when->GetFiletime()), ZuFileTimeToU64(ZuUtcNow())) << "completed now";
    CCeDBRecord* rp = &r;
    EXPECT_EQ(GetDBStatusPercent(rp), 100);

    // Opened again: the completion date stays; unticked, the progress comes back.
    ZuSetFixedClock(ZuU64ToFileTime(ZuFileTimeToU64(wall(2024, 6, 1, 1, 0))));
    EXPECT_EQ(edit(oid, tapOk), IDOK);
    ASSERT_TRUE(readRecord(oid, &r));
    EXPECT_EQ(ZuFileTimeToU64(r.GetFullIdProp(ZUPID_TASK_COMPLETED_DATE)->GetFiletime()),
        ZuFileTimeToU64(wall(2024, 5, 20, 1, 0)));
    EXPECT_EQ(edit(oid, [](QDialog& d) {
        CTaskSummary* s = summaryOf(d);
        tick(s->CompletedCheck());
        choose(s->ProgressBox(), 6);
        tapOk(d);
    }), IDOK);
    EXPECT_EQ(fullProp(oid, ZUPID_TASK_COMPLETE), 0);
    EXPECT_EQ(prop(oid, ZUID_TASK_PROGRESS), 60);
    EXPECT_EQ(fullProp(oid, ZUPID_TASK_COMPLETED_DATE), -999);
}

namespace {

// How many properties of the record carry the identifier.
int countOf(CEOID oid, WORD ident)
{
    CCeDBRecord r;
    int n = 0;
    if (readRecord(oid, &r))
        for (const CCeDBProp& p : r.props())
            n += p.GetIdent() == ident;
    return n;
}

void completeIt(QDialog& d)
{
    tick(summaryOf(d)->CompletedCheck());
    tapOk(d);
}

}  // namespace

TEST_F(TaskEditor, CompletingARecurringTaskSplits)
{
    ZuTestStoreCategory(L"업무", 0);
    const BYTE ink[] = {7, 7, 7};
    const BYTE bits[] = {0x01};
    const CEOID series = saveTask([](CTaskSummary&, CRecurrencePattern& p) { weekly(p); },
        CEBLOB{1, const_cast<BYTE*>(bits)}, CEBLOB{3, const_cast<BYTE*>(ink)});
    const LONG handle = static_cast<LONG>(prop(series, ZUID_TASK_NOTIFY));
    ASSERT_NE(handle, 0);
    ASSERT_EQ(ZuTestReadCategory(0).props.at(3), 1);

    CEOID oid = series;
    EXPECT_EQ(edit(oid, [](QDialog& d) {
        EXPECT_EQ(summaryOf(d)->StartBox()->GetDate(), QDate(2024, 5, 20));
        completeIt(d);
    }), IDOK);
    EXPECT_EQ(oid, series) << "the editor keeps naming the series";
    const std::vector<CEOID> oids = taskOids();
    ASSERT_EQ(oids.size(), 2u);
    const CEOID copy = oids[0] == series ? oids[1] : oids[0];

    // The completed occurrence, on its own.
    EXPECT_EQ(fullProp(copy, ZUPID_TASK_COMPLETE), 1);
    EXPECT_NE(fullProp(copy, ZUPID_TASK_COMPLETED_DATE), -999);
    EXPECT_EQ(dateProp(copy, ZUID_TASK_START), day(2024, 5, 20));
    EXPECT_EQ(dateProp(copy, ZUID_TASK_DUE), day(2024, 5, 21));
    EXPECT_EQ(prop(copy, ZUID_TASK_RECURRING), 0);
    EXPECT_EQ(countOf(copy, ZUID_TASK_RECURRENCE), 0);
    EXPECT_EQ(prop(copy, ZUID_TASK_REMINDER_SET), 0);
    EXPECT_EQ(prop(copy, ZUID_TASK_NOTIFY), 0) << "the reminder stays the series'";
    EXPECT_EQ(countOf(copy, ZUID_TASK_CATEGORIES), 1);
    EXPECT_EQ(countOf(copy, ZUID_TASK_NOTE), 1);
    EXPECT_EQ(countOf(copy, ZUID_TASK_PROGRESS), 0);

    // The series, open on its next Monday, its reminder moved with it.
    EXPECT_EQ(fullProp(series, ZUPID_TASK_COMPLETE), 0);
    EXPECT_EQ(prop(series, ZUID_TASK_PROGRESS), 0);
    EXPECT_EQ(fullProp(series, ZUPID_TASK_COMPLETED_DATE), -999);
    EXPECT_EQ(dateProp(series, ZUID_TASK_START), day(2024, 5, 27));
    EXPECT_EQ(dateProp(series, ZUID_TASK_DUE), day(2024, 5, 28));
    EXPECT_EQ(prop(series, ZUID_TASK_RECURRING), 1);
    CRecurrencePattern p(series, ZU_SEL_TASKS);
    FILETIME first{};
    ASSERT_TRUE(p.SeekFirstRecurTime(&first));
    EXPECT_EQ(ZuFileTimeToU64(first), day(2024, 5, 27));
    EXPECT_EQ(prop(series, ZUID_TASK_NOTIFY), handle);
    EXPECT_EQ(fields(reminderOf(handle).start), std::make_tuple(2024, 5, 27, 9, 30));
    EXPECT_EQ(ZuTestReadCategory(0).props.at(3), 2) << "two tasks carry 업무";

    // Deleting the completed one leaves the series' reminder alone.
    CCeDBDatabase db;
    ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_TASKS));
    ASSERT_TRUE(DeleteRecord(&db, copy, ZU_SEL_TASKS));
    EXPECT_FALSE(reminderOf(handle).text.empty());
}

TEST_F(TaskEditor, CompletingTheLastOccurrenceEndsTheSeries)
{
    const struct {
        const char* what;
        std::function<void(CRecurrencePattern&)> end;
        int splits;  // occurrences split off before the last
    } cases[] = {
        {"after two", [](CRecurrencePattern& p) { p.put_Occurrences(2); }, 1},
        {"on a date", [](CRecurrencePattern& p) { p.put_PatternEndDate(wall(2024, 6, 3)); }, 2},
        {"after one", [](CRecurrencePattern& p) { p.put_Occurrences(1); }, 0},
    };
    for (const auto& c : cases) {
        for (CEOID old : taskOids()) {
            CCeDBDatabase db;
            GetDatabasePtr(&db, ZU_SEL_TASKS);
            DeleteRecord(&db, old, ZU_SEL_TASKS);
        }
        const CEOID series = saveTask([&](CTaskSummary&, CRecurrencePattern& p) {
            weekly(p);
            c.end(p);
        });
        for (int i = 0; i < c.splits; ++i) {
            CEOID oid = series;
            EXPECT_EQ(edit(oid, completeIt), IDOK) << c.what;
            EXPECT_EQ(prop(series, ZUID_TASK_RECURRING), 1) << c.what << " " << i;
            EXPECT_EQ(fullProp(series, ZUPID_TASK_COMPLETE), 0) << c.what << " " << i;
        }
        if (c.splits == 1) {
            CRecurrencePattern p(series, ZU_SEL_TASKS);
            long count = 0;
            p.get_Occurrences(&count);
            EXPECT_EQ(count, 1) << "each move-on takes one from the count";
        }
        CEOID oid = series;
        EXPECT_EQ(edit(oid, completeIt), IDOK) << c.what;
        EXPECT_EQ(taskOids().size(), static_cast<size_t>(c.splits + 1)) << c.what << ": the last one is no copy";
        EXPECT_EQ(fullProp(series, ZUPID_TASK_COMPLETE), 1) << c.what;
        EXPECT_EQ(prop(series, ZUID_TASK_RECURRING), 0) << c.what;
        EXPECT_EQ(countOf(series, ZUID_TASK_RECURRENCE), 0) << c.what;
        const QDate last = QDate(2024, 5, 20).addDays(7 * c.splits);
        EXPECT_EQ(dateProp(series, ZUID_TASK_START), day(last.year(), last.month(), last.day())) << c.what;
    }
}

TEST_F(TaskEditor, NoRecurrenceThenCompleteDoesNotSplit)
{
    const CEOID series = saveTask([](CTaskSummary&, CRecurrencePattern& p) { weekly(p); });
    CEOID oid = series;
    EXPECT_EQ(edit(oid, [](QDialog& d) {
        CTaskSummary* s = summaryOf(d);
        choose(s->OccurBox(), 0);
        EXPECT_TRUE(s->StartBox()->isEnabled());
        completeIt(d);
    }), IDOK);
    EXPECT_EQ(taskOids(), std::vector<CEOID>{series});
    EXPECT_EQ(fullProp(series, ZUPID_TASK_COMPLETE), 1);
    EXPECT_EQ(prop(series, ZUID_TASK_RECURRING), 0);
    EXPECT_EQ(countOf(series, ZUID_TASK_RECURRENCE), 0);
    EXPECT_EQ(dateProp(series, ZUID_TASK_START), day(2024, 5, 20));
}

TEST_F(TaskEditor, CategoryCountsFollowTaskEdits)
{
    ZuTestStoreCategory(L"업무", 0);
    ZuTestStoreCategory(L"가족", 1);
    auto tap = [](QDialog& d, std::initializer_list<int> rows) {
        auto* sheet = qobject_cast<CMakeEventSheet*>(&d);
        sheet->SetActivePage(2);
        auto* list = sheet->GetPage(2)->findChild<CListViewEx*>();
        ASSERT_NE(list, nullptr);
        for (int row : rows)
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->RowRect(row).center());
        tapOk(d);
    };
    auto counts = [] { return std::make_pair(ZuTestReadCategory(0).props.at(3), ZuTestReadCategory(1).props.at(3)); };
    CEOID oid = 0;
    EXPECT_EQ(edit(oid, [&](QDialog& d) { tap(d, {0}); }), IDOK);
    EXPECT_EQ(counts(), std::make_pair(1LL, 0LL));
    EXPECT_EQ(edit(oid, [&](QDialog& d) { tap(d, {0, 1}); }), IDOK);
    EXPECT_EQ(counts(), std::make_pair(0LL, 1LL));
    EXPECT_EQ(edit(oid, tapOk), IDOK);
    EXPECT_EQ(counts(), std::make_pair(0LL, 1LL)) << "an untouched tab changes no count";
    EXPECT_EQ(edit(oid, [&](QDialog& d) { tap(d, {1}); }), IDOK);
    EXPECT_EQ(counts(), std::make_pair(0LL, 0LL));
    EXPECT_EQ(countOf(oid, ZUID_TASK_CATEGORIES), 0) << "clearing every category sticks";
}

TEST_F(TaskEditor, SaveFailuresAreReported)
{
    // A write that fails, as on a full disk: told, nothing written, no reminder left behind.
    CEOID oid = 0;
    EXPECT_EQ(edit(oid, [](QDialog& d) {
        pick(summaryOf(d)->StartBox(), QDate(2024, 5, 22));
        ZuFailStoreWrites(100);
        tapOk(d);
    }), 0);
    ZuFailStoreWrites(0);
    EXPECT_EQ(texts, (std::vector<CString>{L"할일을 저장하지 못했습니다."}));
    EXPECT_EQ(oid, 0u);
    EXPECT_TRUE(taskOids().empty());

    // A failed split leaves the series as it was, its reminder too.
    texts.clear();
    const CEOID series = saveTask([](CTaskSummary&, CRecurrencePattern& p) { weekly(p); });
    const Props before = readProps(series);
    const LONG handle = static_cast<LONG>(prop(series, ZUID_TASK_NOTIFY));
    oid = series;
    EXPECT_EQ(edit(oid, [](QDialog& d) {
        tick(summaryOf(d)->CompletedCheck());
        ZuFailStoreWrites(100);
        tapOk(d);
    }), 0);
    ZuFailStoreWrites(0);
    EXPECT_EQ(texts, (std::vector<CString>{L"할일을 저장하지 못했습니다."}));
    EXPECT_EQ(taskOids(), std::vector<CEOID>{series});
    EXPECT_EQ(readProps(series), before);
    EXPECT_EQ(fields(reminderOf(handle).start), std::make_tuple(2024, 5, 20, 9, 30));

    // The categories cannot be read: saving would clear them, so it is refused.
    texts.clear();
    ZuTestStoreCategory(L"업무", 0);
    const BYTE bits[] = {0x01};
    const CEOID tagged = saveTask({}, CEBLOB{1, const_cast<BYTE*>(bits)});
    const Props tags = readProps(tagged);
    ASSERT_TRUE(CCeDBDatabase::DeleteDatabase(ZU_DB_CATEGORIES));
    oid = tagged;
    EXPECT_EQ(edit(oid, [](QDialog& d) {
        child<QLineEdit>(d, CTaskSummary::IDC_SUBJECT)->insert(QStringLiteral("!"));
        tapOk(d);
    }), 0);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), CString(L"할일을 저장하지 못했습니다."));
    EXPECT_EQ(readProps(tagged), tags);
}

TEST_F(TaskEditor, UnchangedTaskComesBackByteEqual)
{
    ZuTestStoreCategory(L"업무", 0);
    ZuTestStoreCategory(L"가족", 1);
    const BYTE ink[] = {1, 2, 3, 4};
    const BYTE bits[] = {0x02};
    const CEOID stored = saveTask([](CTaskSummary& s, CRecurrencePattern& p) {
        weekly(p);
        s.m_nImportance = 0;
        s.m_bPrivate = TRUE;
    }, CEBLOB{1, const_cast<BYTE*>(bits)}, CEBLOB{4, const_cast<BYTE*>(ink)});
    {
        // A progress that is no whole ten, as another program may store it.
        CCeDBDatabase db;
        ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_TASKS));
        CCeDBProp percent(short(35), ZUID_TASK_PROGRESS);
        CEPROPVAL v = percent.AsPropVal();
        ASSERT_NE(db.WriteProps(stored, &v, 1), 0u);
    }
    const Props before = readProps(stored);
    const LONG handle = static_cast<LONG>(prop(stored, ZUID_TASK_NOTIFY));
    const auto category = ZuTestReadCategory(1).props;
    // Opened as the board does (empty caption), every tab visited, OK.
    CEOID oid = stored;
    ZuModalHandlerScope scope([&](QDialog& d) {
        if (auto* sheet = qobject_cast<CMakeEventSheet*>(&d)) {
            for (int i = 0; i < sheet->GetPageCount(); ++i)
                sheet->SetActivePage(i);
            tapOk(d);
        }
    });
    EXPECT_EQ(ZuEditTask(nullptr, CString(), oid, {}), IDOK);
    EXPECT_EQ(oid, stored);
    EXPECT_EQ(readProps(oid), before);
    EXPECT_EQ(ZuTestReadCategory(1).props, category);
    EXPECT_EQ(fields(reminderOf(handle).start), std::make_tuple(2024, 5, 20, 9, 30));
    EXPECT_TRUE(texts.empty());
}
