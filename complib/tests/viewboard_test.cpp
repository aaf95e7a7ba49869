// The view board: the rows it shows for stored appointments and tasks, its bar driven by taps
// (edit, delete with its questions), the note area, and what it does when the record changes
// elsewhere; the records read back from the store.
#include "widgets/makeeventsheet.h"
#include "widgets/aptmsummary.h"
#include "widgets/viewboard.h"

#include "categorytestdata.h"
#include "sheetdriver.h"
#include "cedbdatabase.h"
#include "filetime.h"
#include "lunar.h"
#include "messagebox.h"
#include "notifyutil.h"
#include "pimstore.h"
#include "poomapplication.h"
#include "popupmenu.h"
#include "recurrenceskips.h"
#include "resource.h"
#include "storefaults.h"
#include "taskrecord.h"
#include "testhome.h"
#include "testtime.h"
#include "usernotify.h"
#include "widgets/cecommandbarex.h"
#include "widgets/modaldialog.h"
#include "windowtestenv.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using zutest::wall;
using sheetdriver::storeAppointment;
using Rows = std::vector<std::pair<std::wstring, std::wstring>>;

Rows rowsOf(const CViewBoard& board)
{
    Rows rows;
    for (int i = 0; i < board.GetRowCount(); ++i)
        rows.emplace_back(board.GetLabel(i).str(), board.GetValue(i).str());
    return rows;
}

void writeProps(int selector, CEOID oid, std::vector<CCeDBProp> props)
{
    CCeDBDatabase db;
    ASSERT_TRUE(GetDatabasePtr(&db, selector));
    CCeDBRecord r;
    r.AddProps(props.data(), static_cast<WORD>(props.size()));
    ASSERT_EQ(db.WriteRecord(r, oid), oid);
}

CEOID storeTask(const ZuTask& task, std::vector<CCeDBProp> extra = {})
{
    CCeDBDatabase db;
    EXPECT_TRUE(GetDatabasePtr(&db, ZU_SEL_TASKS));
    CCeDBRecord r = ZuTaskRecord(task);
    const CEOID oid = db.WriteRecord(r, 0);
    if (!extra.empty())
        writeProps(ZU_SEL_TASKS, oid, std::move(extra));
    return oid;
}

bool exists(int selector, CEOID oid)
{
    CCeDBDatabase db;
    CCeDBRecord r;
    return GetDatabasePtr(&db, selector) && db.SeekToRecord(oid) && db.ReadCurrRecord(&r) && r.GetOid() == oid;
}

CCeDBRecord readRecord(CEOID oid)
{
    CCeDBDatabase db;
    CCeDBRecord r;
    if (GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS) && db.SeekToRecord(oid))
        db.ReadCurrRecord(&r);
    return r;
}

void tap(QWidget* w)
{
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->isVisible());
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
}

// A fresh store, Seoul time, a fixed "now", boxes and menus answered and kept.
class ViewBoard : public ::testing::Test {
protected:
    void SetUp() override
    {
        ZuSetFixedClock(ZuU64ToFileTime(ZuFileTimeToU64(wall(2024, 5, 20, 1, 0))));
        ZuSetMessageBoxHandler([this](const CString& t, const CString&, UINT) {
            boxes.push_back(t.str());
            return answer;
        });
        ZuSetPopupMenuHandler([this](const std::vector<ZuMenuEntry>& entries, QPoint) {
            for (const ZuMenuEntry& e : entries)
                menu.push_back(e.text.str());
            return choice;
        });
    }
    void TearDown() override
    {
        ZuSetMessageBoxHandler({});
        ZuSetPopupMenuHandler({});
        ZuSetClock({});
        ZuFailStoreWrites(0);
        ::unsetenv("ZUPIMS_INKX");
    }

    std::unique_ptr<CViewBoard> open(CEOID oid, int selector = ZU_SEL_APPOINTMENTS, const FILETIME* occurrence = nullptr)
    {
        auto board = std::make_unique<CViewBoard>(oid, nullptr, selector, nullptr, occurrence);
        board->show();
        return board;
    }

    ZuTestHome home;
    std::vector<std::wstring> boxes;
    std::vector<std::wstring> menu;
    int answer = IDOK;
    UINT choice = 0;
};

}  // namespace

TEST_F(ViewBoard, TimedAppointmentRows)
{
    const CEOID plain = storeAppointment([](CPoomAppointment&) {});
    auto board = open(plain);
    EXPECT_EQ(board->GetTitle(), CString(L"회의"));
    EXPECT_EQ(board->GetIconIndex(), 0);
    EXPECT_EQ(rowsOf(*board), (Rows{
                                  {L"일정종류:", L"일반"},
                                  {L"시작일:", L"2024-05-21 09:15"},
                                  {L"종료일:", L"2024-05-21 10:05"},
                                  {L"일정형태:", L"약속있음"},
                                  {L"알람:", L"2024-05-21 09:00"},
                                  {L"참석자:", L"참석자 없음"},
                                  {L"공개여부:", L"공개"},
                                  {L"그룹:", L"그룹 없음"},
                              }));

    // With a location, attendees, categories, privacy and a weekly pattern.
    ZuTestStoreCategory(L"업무", 0);
    const CEOID full = storeAppointment([](CPoomAppointment& a) {
        a.put_Location(L"본사 3층");
        a.put_Categories(L"업무");
        a.put_Sensitivity(ZU_OL_PRIVATE);
        a.put_ReminderSet(0);
        CPoomRecipients* r = nullptr;
        a.get_Recipients(&r);
        CPoomRecipient* one = nullptr;
        r->Add(L"김철수", &one);
        r->Add(L"Guest", &one);
        CRecurrencePattern* p = nullptr;
        a.GetRecurrencePattern(&p);
        p->put_RecurrenceType(1);
        p->put_Interval(1);
        p->put_DayOfWeekMask(0x04);
        p->put_PatternStartDate(wall(2024, 5, 21));
        p->put_NoEndDate(1);
    });
    board = open(full);
    const Rows rows = rowsOf(*board);
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[3], (std::pair<std::wstring, std::wstring>{L"장소:", L"본사 3층"}));
    EXPECT_EQ(rows[5], (std::pair<std::wstring, std::wstring>{L"참석자:", L"김철수, Guest"}));
    EXPECT_EQ(rows[6], (std::pair<std::wstring, std::wstring>{L"공개여부:", L"비공개"}));
    EXPECT_EQ(rows[7], (std::pair<std::wstring, std::wstring>{L"그룹:", L"업무"}));
    EXPECT_EQ(rows[8].first, L"반복:");
    EXPECT_NE(rows[8].second.find(L"매주"), std::wstring::npos) << "the pattern's sentence";
}

TEST_F(ViewBoard, OutOfRangeStoredValuesAreClamped)
{
    const struct {
        long long stored;
        const wchar_t* busy;
    } busy[] = {{-4, L"약속없음"}, {1, L"미정"}, {3, L"부재중"}, {9, L"부재중"}};
    for (const auto& c : busy) {
        const CEOID oid = storeAppointment([](CPoomAppointment&) {});
        writeProps(ZU_SEL_APPOINTMENTS, oid, {CCeDBProp(static_cast<short>(c.stored), ZUID_APT_BUSYSTATUS)});
        auto board = open(oid);
        EXPECT_EQ(board->GetValue(3), CString(c.busy)) << c.stored;
    }
    const struct {
        LONG stored;
        const wchar_t* importance;
    } importance[] = {{0, L"높음"}, {1, L"높음"}, {2, L"보통"}, {3, L"낮음"}, {7, L"낮음"}};
    for (const auto& c : importance) {
        ZuTask t;
        t.subject = L"보고서";
        const CEOID oid = storeTask(t, {CCeDBProp(c.stored, ZUID_TASK_IMPORTANCE)});
        auto board = open(oid, ZU_SEL_TASKS);
        EXPECT_EQ(board->GetValue(0), CString(c.importance)) << c.stored;
    }
}

TEST_F(ViewBoard, LunarAnniversaryRow)
{
    // Lunar 2024-01-15 falls on 2024-02-24; lunar 2050-01-15 lies past the conversion table.
    const struct {
        int year;
        const wchar_t* shown;
    } cases[] = {{2024, L"2024-02-24([음력] 01-15)"}, {2050, L"[음력] 2050-01-15"}};
    for (const auto& c : cases) {
        const CEOID oid = storeAppointment([&](CPoomAppointment& a) {
            a.put_Subject(L"할머니 생신");
            a.put_Start(COleDateTime(c.year, 1, 15, 0, 0, 0).m_dt);
            a.put_AllDayEvent(1);
            a.put_Duration(1440);
            a.put_Location(L"고향");
            a.put_ReminderSet(0);
        });
        writeProps(ZU_SEL_APPOINTMENTS, oid, {CCeDBProp(short(1), ZUID_APT_MEMORIAL), CCeDBProp(short(1), ZUID_APT_LUNAR)});
        auto board = open(oid);
        EXPECT_EQ(board->GetIconIndex(), 1);
        EXPECT_EQ(rowsOf(*board), (Rows{
                                      {L"일정종류:", L"기념일"},
                                      {L"기념일:", c.shown},
                                      {L"참석자:", L"참석자 없음"},
                                      {L"공개여부:", L"공개"},
                                      {L"그룹:", L"그룹 없음"},
                                  }))
            << "no end, location or busy rows";
    }
}

TEST_F(ViewBoard, TaskWithoutDatesHasNoDateRows)
{
    ZuTask t;
    t.subject = L"보고서";
    t.importance = 1;
    t.percent = 40;
    const CEOID undated = storeTask(t);
    auto board = open(undated, ZU_SEL_TASKS);
    EXPECT_EQ(board->GetIconIndex(), 2);
    EXPECT_EQ(rowsOf(*board), (Rows{
                                  {L"중요도:", L"높음"},
                                  {L"진행율:", L"40%"},
                                  {L"공개여부:", L"공개"},
                                  {L"그룹:", L"그룹 없음"},
                              }));
    // Stored as wall-clock values: a due date late in the evening stays on its day.
    t.start = wall(2024, 5, 21);
    t.due = wall(2024, 5, 24, 20, 0);
    t.complete = true;
    board = open(storeTask(t), ZU_SEL_TASKS);
    const Rows rows = rowsOf(*board);
    ASSERT_GE(rows.size(), 4u);
    EXPECT_EQ(rows[0], (std::pair<std::wstring, std::wstring>{L"시작일:", L"2024-05-21"}));
    EXPECT_EQ(rows[1], (std::pair<std::wstring, std::wstring>{L"종료일:", L"2024-05-24"}));
    EXPECT_EQ(rows[3], (std::pair<std::wstring, std::wstring>{L"진행율:", L"100%"}));
}

TEST_F(ViewBoard, DeadTaskReminderShowsADate)
{
    ZuTask t;
    t.subject = L"보고서";
    t.start = wall(2024, 5, 21);
    t.due = wall(2024, 5, 24);
    // A live notification shows its time; one that is gone the day the reminder was for: from
    // the due date (0x0003 set) or the start, less the lead.
    SYSTEMTIME ring = zutest::st(2024, 5, 23, 18, 30), ends = zutest::st(2024, 5, 24);
    const HANDLE live = AddUserNotification1(ring, ends, const_cast<wchar_t*>(L"보고서"));
    ASSERT_NE(live, nullptr);
    const struct {
        LONG notification;
        short fromDue;
        const wchar_t* shown;
    } cases[] = {
        {ZuHandleToLong(live), 1, L"2024-05-23 18:30"},
        {987654, 1, L"2024-05-23"},
        {987654, 0, L"2024-05-20"},
        {0, 1, L"2024-05-23"},
    };
    for (const auto& c : cases) {
        const CEOID oid = storeTask(t, {CCeDBProp(short(1), ZUID_TASK_REMINDER_SET), CCeDBProp(c.fromDue, ZUID_TASK_REMINDER_FLAG),
                                        CCeDBProp(LONG(1440), ZUID_TASK_REMINDER_MINUTES), CCeDBProp(c.notification, ZUID_TASK_NOTIFY)});
        auto board = open(oid, ZU_SEL_TASKS);
        const Rows rows = rowsOf(*board);
        ASSERT_EQ(rows.size(), 7u) << c.shown;
        EXPECT_EQ(rows[4], (std::pair<std::wstring, std::wstring>{L"알람:", c.shown}));
    }
}

// The caller's database (the calendar's, which its loading thread reads) is never moved or read:
// the board reads through its own.
TEST_F(ViewBoard, LeavesTheCallersDatabaseAlone)
{
    const CEOID first = storeAppointment([](CPoomAppointment&) {});
    const CEOID second = storeAppointment([](CPoomAppointment& a) { a.put_Subject(L"점심"); });
    CCeDBDatabase callers;
    ASSERT_TRUE(GetDatabasePtr(&callers, ZU_SEL_APPOINTMENTS));
    ASSERT_TRUE(callers.SeekToRecord(first));
    CViewBoard board(second, &callers, ZU_SEL_APPOINTMENTS);
    EXPECT_EQ(board.GetTitle(), CString(L"점심"));
    EXPECT_EQ(callers.GetCurrentOid(), first);
}

// Damaged attendee, pattern and category bytes give the rows' "none" texts, never a crash.
TEST_F(ViewBoard, DamagedBlobsShowAsNone)
{
    const CEOID oid = storeAppointment([](CPoomAppointment&) {});
    BYTE attendees[] = {0xFF, 0xFF, 0xFF, 0x7F, 1, 2};
    BYTE pattern[] = {1, 2, 3};
    std::vector<BYTE> categories(40, 0xFF);
    writeProps(ZU_SEL_APPOINTMENTS, oid,
               {CCeDBProp(CEBLOB{sizeof attendees, attendees}, ZUID_APT_ATTENDEES), CCeDBProp(short(1), ZUID_APT_RECURRING),
                CCeDBProp(CEBLOB{sizeof pattern, pattern}, ZUID_APT_RECURRENCE), CCeDBProp(ZuBlobOf(categories), ZUID_APT_CATEGORIES)});
    auto board = open(oid);
    const Rows rows = rowsOf(*board);
    ASSERT_EQ(rows.size(), 8u) << "no recurrence row";
    EXPECT_EQ(rows[5], (std::pair<std::wstring, std::wstring>{L"참석자:", L"참석자 없음"}));
    EXPECT_EQ(rows[7], (std::pair<std::wstring, std::wstring>{L"그룹:", L"그룹 없음"}));
}

TEST_F(ViewBoard, MissingRecordShowsOnlyTheFrame)
{
    auto board = open(123456);
    EXPECT_EQ(board->GetRowCount(), 0);
    EXPECT_TRUE(board->GetTitle().IsEmpty());
    EXPECT_EQ(board->GetInkWindow(), nullptr);
}

TEST_F(ViewBoard, DeleteAsksAndCancelKeeps)
{
    const CEOID oid = storeAppointment([](CPoomAppointment&) {});
    auto board = open(oid);
    answer = IDCANCEL;
    tap(board->GetDeleteButton());
    EXPECT_EQ(boxes, (std::vector<std::wstring>{L"이벤트를 지우시겠습니까?"}));
    EXPECT_TRUE(exists(ZU_SEL_APPOINTMENTS, oid));
    EXPECT_TRUE(board->isVisible()) << "the board stays";
    EXPECT_TRUE(menu.empty()) << "a single appointment has no occurrence menu";
}

TEST_F(ViewBoard, DeleteRemovesRecordReminderAndCounts)
{
    ZuTestStoreCategory(L"업무", 0);
    const CEOID oid = storeAppointment([](CPoomAppointment& a) { a.put_Categories(L"업무"); });
    const HANDLE reminder = ZuLongToHandle(static_cast<LONG>(ZuRecordInt(readRecord(oid), ZUID_APT_NOTIFY)));
    SYSTEMTIME ring{};
    ASSERT_TRUE(GetUserNotificationTime(reminder, &ring));
    ASSERT_EQ(ZuTestReadCategory(0).props[2], 1);
    auto board = open(oid);
    tap(board->GetDeleteButton());
    EXPECT_EQ(boxes, (std::vector<std::wstring>{L"이벤트를 지우시겠습니까?"}));
    EXPECT_FALSE(exists(ZU_SEL_APPOINTMENTS, oid));
    EXPECT_FALSE(GetUserNotificationTime(reminder, &ring)) << "the reminder went with it";
    EXPECT_EQ(ZuTestReadCategory(0).props[2], 0) << "the category lets go of it";
    EXPECT_EQ(board->result(), IDOK);
    EXPECT_FALSE(board->isVisible());

    // A task goes the same way.
    ZuTask t;
    t.subject = L"보고서";
    const CEOID task = storeTask(t);
    board = open(task, ZU_SEL_TASKS);
    tap(board->GetDeleteButton());
    EXPECT_FALSE(exists(ZU_SEL_TASKS, task));
    EXPECT_EQ(board->result(), IDOK);
}

TEST_F(ViewBoard, FailedDeleteIsReported)
{
    const CEOID oid = storeAppointment([](CPoomAppointment&) {});
    auto board = open(oid);
    ZuFailStoreWrites(1);
    tap(board->GetDeleteButton());
    ZuFailStoreWrites(0);
    EXPECT_EQ(boxes, (std::vector<std::wstring>{L"이벤트를 지우시겠습니까?", L"이벤트를 지우지 못했습니다."}));
    EXPECT_TRUE(exists(ZU_SEL_APPOINTMENTS, oid));
    EXPECT_TRUE(board->isVisible()) << "the board stays";
    EXPECT_EQ(board->GetRowCount(), 8);
}

TEST_F(ViewBoard, OccurrenceDeletesOneOrAll)
{
    const auto daily = [](CPoomAppointment& a) {
        CRecurrencePattern* p = nullptr;
        a.GetRecurrencePattern(&p);
        p->put_RecurrenceType(0);
        p->put_Interval(1);
        p->put_PatternStartDate(wall(2024, 5, 21));
        p->put_NoEndDate(1);
    };
    const CEOID oid = storeAppointment(daily);
    const FILETIME third = wall(2024, 5, 23, 9, 15);
    auto board = open(oid, ZU_SEL_APPOINTMENTS, &third);
    EXPECT_EQ(board->GetValue(1), CString(L"2024-05-23 09:15")) << "the occurrence's dates";
    EXPECT_EQ(board->GetValue(2), CString(L"2024-05-23 10:05"));
    EXPECT_EQ(board->GetValue(4), CString(L"2024-05-23 09:00"));

    // The menu dismissed: nothing happens.
    tap(board->GetDeleteButton());
    EXPECT_EQ(menu, (std::vector<std::wstring>{L"이 일정만", L"모든 반복 일정"}));
    EXPECT_TRUE(board->isVisible());

    // "이 일정만": that date is skipped, the others stay.
    choice = CViewBoard::ID_DELETE_ONE;
    tap(board->GetDeleteButton());
    EXPECT_EQ(board->result(), IDOK);
    const CCeDBRecord r = readRecord(oid);
    EXPECT_EQ(r.GetOid(), oid) << "the series stays";
    const ZuSkippedDates skipped = ZuSkippedDatesFromBytes(ZuRecordBytes(r, ZUID_APT_SKIPPED_DATES));
    EXPECT_EQ(skipped, (ZuSkippedDates{ZuFileTimeToU64(wall(2024, 5, 23))}));
    EXPECT_EQ(ZuRecordInt(r, ZUID_APT_RECURRING), 1);

    // A failed skip is told and writes nothing.
    boxes.clear();
    const FILETIME fifth = wall(2024, 5, 25, 9, 15);
    board = open(oid, ZU_SEL_APPOINTMENTS, &fifth);
    ZuFailStoreWrites(100);
    tap(board->GetDeleteButton());
    ZuFailStoreWrites(0);
    EXPECT_EQ(boxes.back(), L"이벤트를 지우지 못했습니다.");
    EXPECT_EQ(ZuSkippedDatesFromBytes(ZuRecordBytes(readRecord(oid), ZUID_APT_SKIPPED_DATES)), skipped);
    EXPECT_TRUE(board->isVisible());

    // "모든 반복 일정": the series goes.
    choice = CViewBoard::ID_DELETE_ALL;
    tap(board->GetDeleteButton());
    EXPECT_FALSE(exists(ZU_SEL_APPOINTMENTS, oid));
    EXPECT_EQ(board->result(), IDOK);
}

// A lunar anniversary walks lunar dates: the occurrence tapped on its solar day skips its lunar date.
TEST_F(ViewBoard, LunarOccurrenceSkipsItsLunarDate)
{
    const CEOID oid = storeAppointment([](CPoomAppointment& a) {
        a.put_Subject(L"할머니 생신");
        a.put_Start(COleDateTime(2024, 1, 15, 0, 0, 0).m_dt);
        a.put_AllDayEvent(1);
        a.put_Duration(1440);
        a.put_ReminderSet(0);
        CRecurrencePattern* p = nullptr;
        a.GetRecurrencePattern(&p);
        p->put_RecurrenceType(5);
        p->put_Interval(1);
        p->put_MonthOfYear(1);
        p->put_DayOfMonth(15);
        p->put_PatternStartDate(wall(2024, 1, 15));
        p->put_NoEndDate(1);
    });
    writeProps(ZU_SEL_APPOINTMENTS, oid, {CCeDBProp(short(1), ZUID_APT_MEMORIAL), CCeDBProp(short(1), ZUID_APT_LUNAR)});
    COleDateTime solar(2025, 1, 15, 0, 0, 0);
    ASSERT_TRUE(FromMoonToSun(solar));
    FILETIME occurrence{};
    ASSERT_TRUE(solar.GetAsFileTime(occurrence));
    auto board = open(oid, ZU_SEL_APPOINTMENTS, &occurrence);
    CString shown;
    shown.Format(L"%04d-%02d-%02d([음력] 01-15)", solar.GetYear(), solar.GetMonth(), solar.GetDay());
    EXPECT_EQ(board->GetValue(1), shown);
    choice = CViewBoard::ID_DELETE_ONE;
    tap(board->GetDeleteButton());
    EXPECT_EQ(board->result(), IDOK);
    EXPECT_EQ(ZuSkippedDatesFromBytes(ZuRecordBytes(readRecord(oid), ZUID_APT_SKIPPED_DATES)),
              (ZuSkippedDates{ZuFileTimeToU64(wall(2025, 1, 15))}));
}

TEST_F(ViewBoard, EditFromTheBoardKeepsCategories)
{
    ZuTestStoreCategory(L"업무", 0);
    ZuTestStoreCategory(L"가족", 1);
    const CEOID oid = storeAppointment([](CPoomAppointment& a) { a.put_Categories(L"업무, 가족"); });
    auto board = open(oid);
    QString caption = QStringLiteral("-");
    {
        ZuModalHandlerScope scope([&](QDialog& d) {
            auto* sheet = qobject_cast<CMakeEventSheet*>(&d);
            ASSERT_NE(sheet, nullptr);
            caption = sheet->windowTitle();
            auto* subject = d.findChild<QLineEdit*>(QString::number(CAptmSummary::IDC_SUBJECT));
            ASSERT_NE(subject, nullptr);
            subject->selectAll();
            subject->insert(QString::fromUtf8("주간 회의"));
            sheetdriver::tapOk(d);
        });
        tap(board->GetEditButton());
    }
    EXPECT_TRUE(caption.isEmpty()) << "the editor opens without a caption";
    EXPECT_EQ(board->GetTitle(), CString(L"주간 회의")) << "rebuilt after the save";
    EXPECT_EQ(board->GetValue(7), CString(L"업무, 가족"));
    const CCeDBRecord r = readRecord(oid);
    EXPECT_EQ(ZuRecordString(r, ZUID_APT_SUBJECT), CString(L"주간 회의"));
    const std::vector<BYTE> bits = ZuRecordBytes(r, ZUID_APT_CATEGORIES);
    const CEBLOB blob = ZuBlobOf(bits);
    EXPECT_TRUE(ZuBitmapHas(&blob, 0) && ZuBitmapHas(&blob, 1)) << "the categories survive the edit";
    EXPECT_EQ(ZuTestReadCategory(0).props[2], 1);

    // A save that fails closes the board.
    {
        ZuModalHandlerScope scope([&](QDialog& d) {
            auto* sheet = qobject_cast<CMakeEventSheet*>(&d);
            ASSERT_NE(sheet, nullptr);
            d.findChild<QLineEdit*>(QString::number(CAptmSummary::IDC_SUBJECT))->insert(QStringLiteral("x"));
            ZuFailStoreWrites(100);
            sheetdriver::tapOk(d);
        });
        tap(board->GetEditButton());
    }
    ZuFailStoreWrites(0);
    EXPECT_FALSE(board->isVisible());
    EXPECT_EQ(board->result(), IDCANCEL);
}

TEST_F(ViewBoard, NoteAreaExpandsAndCollapses)
{
    ZuTestStoreCategory(L"업무", 0);
    const BYTE ink[] = {1, 2, 3, 4};
    const CEOID oid = storeAppointment([&](CPoomAppointment& a) {
        a.put_BodyInk(CEBLOB{4, const_cast<BYTE*>(ink)});
        a.put_Categories(L"업무");
        CPoomRecipients* r = nullptr;
        a.get_Recipients(&r);
        CPoomRecipient* one = nullptr;
        for (const wchar_t* name : {L"김철수", L"이영희", L"박민수", L"최지우", L"정해인", L"강동원", L"한가인", L"송혜교"})
            r->Add(name, &one);
    });
    auto board = open(oid);
    QWidget* note = board->GetInkWindow();
    ASSERT_NE(note, nullptr);
    QWidget* expand = board->GetExpandButton();
    ASSERT_NE(expand, nullptr);
    const int rows = board->GetRowCount();
    ASSERT_EQ(rows, 8);
    EXPECT_EQ(board->GetRowsTop(), 30);
    EXPECT_EQ(board->GetNoteTop(), 30 + rows * 15 + 5);
    const int bottom = board->height() - board->GetCommandBar()->height();
    EXPECT_EQ(board->GetRowHeight(5), 15) << "beside a note the attendees take one line";
    EXPECT_TRUE(board->GetValue(5).str().ends_with(L"...")) << board->GetValue(5).toUtf8();

    EXPECT_TRUE(board->IsNoteExpanded());
    EXPECT_EQ(note->geometry(), QRect(0, board->GetNoteTop(), 240, bottom - board->GetNoteTop()));
    EXPECT_EQ(expand->geometry(), QRect(225, board->GetNoteTop() - 15, 15, 15));
    tap(expand);
    EXPECT_FALSE(board->IsNoteExpanded());
    EXPECT_EQ(note->geometry(), QRect(0, 30, 240, bottom - 30 + 1)) << "the note covers the rows";
    EXPECT_EQ(expand->geometry(), QRect(225, 15, 15, 15));
    tap(expand);
    EXPECT_TRUE(board->IsNoteExpanded());
    EXPECT_EQ(note->geometry().top(), board->GetNoteTop());

    // Without the ink library there is no note, and the long rows take their lines again.
    ::setenv("ZUPIMS_INKX", "none", 1);
    board = open(oid);
    EXPECT_EQ(board->GetInkWindow(), nullptr);
    EXPECT_TRUE(board->GetExpandButton() == nullptr || !board->GetExpandButton()->isVisible());
    EXPECT_GT(board->GetRowHeight(5), 15);
    EXPECT_LE(board->GetRowHeight(5), 45);
    EXPECT_FALSE(board->GetValue(5).str().ends_with(L"..."));
}

TEST_F(ViewBoard, ChangesElsewhereRebuildOrClose)
{
    const CEOID oid = storeAppointment([](CPoomAppointment&) {});
    auto board = open(oid);
    writeProps(ZU_SEL_APPOINTMENTS, oid, {CCeDBProp(L"점심", ZUID_APT_SUBJECT)});
    EXPECT_TRUE(WaitFor([&] { return board->GetTitle() == CString(L"점심"); }));
    CCeDBDatabase db;
    ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS));
    ASSERT_TRUE(DeleteRecord(&db, oid, ZU_SEL_APPOINTMENTS));
    EXPECT_TRUE(WaitFor([&] { return !board->isVisible(); }));
    EXPECT_EQ(board->result(), IDOK);
}

// The rows as drawn: labels in the board's blue from x 5, values in the window text colour from
// x 70, the icon beside the title.
TEST_F(ViewBoard, PaintsTheRows)
{
    const CEOID oid = storeAppointment([](CPoomAppointment&) {});
    auto board = open(oid);
    const QImage img = board->grab().toImage();
    const qreal r = img.devicePixelRatio();
    const auto has = [&](QRect area, const std::function<bool(QColor)>& test) {
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (test(img.pixelColor(qRound(x * r), qRound(y * r))))
                    return true;
        return false;
    };
    const auto labelBlue = [](QColor c) { return c.blue() > 200 && c.red() < 80 && c.green() < 90; };
    const auto dark = [](QColor c) { return c.red() < 80 && c.green() < 80 && c.blue() < 80; };
    for (int row = 0; row < board->GetRowCount(); ++row) {
        SCOPED_TRACE(row);
        const int top = board->GetRowsTop() + 15 * row;
        EXPECT_TRUE(has(QRect(5, top, 64, 15), labelBlue));
        EXPECT_FALSE(has(QRect(5, top, 64, 15), dark));
        EXPECT_TRUE(has(QRect(70, top, 160, 15), dark));
        EXPECT_FALSE(has(QRect(70, top, 160, 15), labelBlue));
    }
    EXPECT_TRUE(has(QRect(2, 7, 16, 16), [](QColor c) { return c.blue() > 150 && c.red() < 100; })) << "the appointment's clock";
}

TEST_F(ViewBoard, OkEndsTheBoard)
{
    const CEOID oid = storeAppointment([](CPoomAppointment&) {});
    auto board = open(oid);
    CCeCommandBarEx* bar = board->GetCommandBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetBkColor(), RGB(120, 161, 245));
    EXPECT_EQ(bar->GetButtonText(CViewBoard::ID_EDIT), CString(L"편집"));
    EXPECT_EQ(board->GetEditButton()->geometry(), QRect(2, 2, 29, 19));
    EXPECT_EQ(board->GetDeleteButton()->geometry(), QRect(35, 2, 29, 19));
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->GetItemRect(bar->CommandToIndex(CViewBoard::ID_OK)).center());
    EXPECT_EQ(board->result(), IDOK);
    EXPECT_FALSE(board->isVisible());
}
