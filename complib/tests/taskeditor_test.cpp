// The task editor end to end: the sheet driven offscreen as a user would (typing, picking dates,
// ticking, tapping OK on the bar), the record and its reminder read back from the store.
#include "widgets/makeeventsheet.h"
#include "widgets/recordeditor.h"
#include "widgets/tasksummary.h"

#include "categorytestdata.h"
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

template <class T>
T* child(QWidget& w, UINT id)
{
    return w.findChild<T*>(QString::number(id));
}

void tapOk(QDialog& d)
{
    auto* sheet = qobject_cast<CMakeEventSheet*>(&d);
    ASSERT_NE(sheet, nullptr);
    CCeCommandBarEx* bar = sheet->GetCommandBarPtr();
    ASSERT_NE(bar, nullptr);
    const int index = bar->CommandToIndex(ZuCompLibRes::IdSheetOk);
    ASSERT_GE(index, 0);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->GetItemRect(index).center());
}

void choose(QComboBox* box, int index)
{
    ASSERT_NE(box, nullptr);
    box->setCurrentIndex(index);
    emit box->activated(index);
}

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
