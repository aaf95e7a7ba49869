// The appointment editor end to end: the sheet driven offscreen as a user would (typing, choosing,
// tapping OK on the bar), the record read back from the store.
#include "widgets/aptmsummary.h"
#include "widgets/attendeeslist.h"
#include "widgets/makeeventsheet.h"
#include "widgets/note.h"
#include "widgets/recordeditor.h"

#include "categorytestdata.h"
#include "sheetdriver.h"
#include "cedbdatabase.h"
#include "filetime.h"
#include "messagebox.h"
#include "pimstore.h"
#include "poomapplication.h"
#include "recurrencepattern.h"
#include "registry.h"
#include "resource.h"
#include "storefaults.h"
#include "testhome.h"
#include "testtime.h"
#include "widgets/listviewex.h"
#include "widgets/modaldialog.h"
#include "widgets/zucombobox.h"
#include "widgets/zudatetimectrl.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

using zutest::wall;
using sheetdriver::child;
using sheetdriver::choose;
using sheetdriver::tapOk;
using sheetdriver::typeInto;
using Props = std::map<CEPROPID, std::tuple<std::int64_t, std::wstring, std::vector<BYTE>>>;

Props readProps(CEOID oid)
{
    CCeDBDatabase db;
    CCeDBRecord r;
    Props out;
    if (!GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS) || !db.SeekToRecord(oid) || !db.ReadCurrRecord(&r))
        return out;
    for (const CCeDBProp& p : r.props())
        out[p.GetPropId()] = {p.rawInt(), p.rawString(), p.rawBytes()};
    return out;
}

long long prop(CEOID oid, WORD ident, long long missing = -999)
{
    CCeDBDatabase db;
    CCeDBRecord r;
    if (!GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS) || !db.SeekToRecord(oid) || !db.ReadCurrRecord(&r))
        return missing;
    return ZuRecordInt(r, ident, missing);
}

CString text(CEOID oid, WORD ident)
{
    CCeDBDatabase db;
    CCeDBRecord r;
    if (!GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS) || !db.SeekToRecord(oid) || !db.ReadCurrRecord(&r))
        return CString();
    return ZuRecordString(r, ident);
}

int appointmentCount()
{
    CCeDBDatabase db;
    return GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS) ? static_cast<int>(db.GetRecordCount()) : -1;
}

struct Boxes {
    std::vector<CString> texts;
    std::function<int(const CString&)> answer = [](const CString&) { return IDOK; };
};

// A fresh store, Seoul time, a fixed "now" (2024-05-20 10:00 local), boxes answered and kept.
class AptmEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        ZuSetFixedClock(ZuU64ToFileTime(ZuFileTimeToU64(wall(2024, 5, 20, 1, 0))));
        ZuSetMessageBoxHandler([this](const CString& t, const CString&, UINT) {
            boxes.texts.push_back(t);
            return boxes.answer(t);
        });
    }
    void TearDown() override
    {
        ZuSetMessageBoxHandler({});
        ZuSetClock({});
        ZuFailStoreWrites(0);
    }

    // Opens the editor on oid, lets `drive` act on the sheet, and returns the editor's result.
    int edit(CEOID& oid, const std::function<void(QDialog&)>& drive, ZuEditorPreset preset = {})
    {
        ZuModalHandlerScope scope([&](QDialog& d) {
            if (qobject_cast<CMakeEventSheet*>(&d))
                drive(d);
        });
        return ZuEditAppointment(nullptr, CString(L"일정"), oid, preset);
    }

    // A stored appointment written through the object model.
    CEOID store(const std::function<void(CPoomAppointment&)>& fill) { return sheetdriver::storeAppointment(fill); }

    ZuTestHome home;
    Boxes boxes;
};

FILETIME utcOf(int y, int mo, int d, int h, int mi)
{
    const FILETIME local = wall(y, mo, d, h, mi);
    FILETIME utc{};
    LocalFileTimeToFileTime(&local, &utc);
    return utc;
}

}  // namespace

TEST_F(AptmEditor, NewAppointmentOpensWithTheDefaults)
{
    CEOID oid = 0;
    EXPECT_EQ(edit(oid, [](QDialog& d) {
        child<QLineEdit>(d, CAptmSummary::IDC_SUBJECT)->insert(QString::fromUtf8("점심"));
        tapOk(d);
    }), IDOK);
    ASSERT_NE(oid, 0u);
    CCeDBDatabase db;
    CCeDBRecord r;
    ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS) && db.SeekToRecord(oid) && db.ReadCurrRecord(&r));
    FILETIME start{};
    ASSERT_TRUE(ZuRecordFiletime(r, ZUID_APT_START, &start));
    EXPECT_EQ(ZuFileTimeToU64(start), ZuFileTimeToU64(utcOf(2024, 5, 20, 12, 0))) << "today 12:00 = 03:00 UTC";
    EXPECT_EQ(ZuRecordInt(r, ZUID_APT_DURATION), 60);
    EXPECT_EQ(ZuRecordInt(r, ZUID_APT_TYPE), ZU_APT_TIMED);
    EXPECT_EQ(ZuRecordInt(r, ZUID_APT_BUSYSTATUS), 2);
    EXPECT_EQ(ZuRecordInt(r, ZUID_APT_REMINDER_SET), 1);
    EXPECT_EQ(ZuRecordInt(r, ZUID_APT_REMINDER_MINUTES), 15);
    EXPECT_EQ(ZuRecordInt(r, ZUID_APT_RECURRING), 0);
    EXPECT_EQ(r.GetIdProp(ZUID_APT_MEMORIAL), nullptr) << "a normal appointment gets no marks";
    EXPECT_EQ(r.GetIdProp(ZUID_APT_ATTENDEES), nullptr) << "the attendee tab was never opened";
    EXPECT_EQ(ZuRecordString(r, ZUID_APT_SUBJECT), CString(L"점심"));
}

TEST_F(AptmEditor, EmptySubjectIsSavedAsNaeyongEopseum)
{
    CEOID oid = 0;
    EXPECT_EQ(edit(oid, tapOk), IDOK);
    EXPECT_EQ(text(oid, ZUID_APT_SUBJECT), CString(L"내용 없음"));
}

TEST_F(AptmEditor, TimeBoxesKeepTheDuration)
{
    // Start 12:00–13:00; choosing a start keeps the hour; an earlier end pulls the start.
    const struct {
        const char* what;
        bool end;
        int index;
        int startMinutes, duration;
    } cases[] = {
        {"start 오후 3:30 moves the end to 16:30", false, 31, 15 * 60 + 30, 60},
        {"end 오전 9:00 pulls the start", true, 18, 9 * 60, 0},
        {"end 오후 5:00 stretches", true, 34, 12 * 60, 300},
    };
    for (const auto& c : cases) {
        CEOID oid = 0;
        EXPECT_EQ(edit(oid, [&](QDialog& d) {
            choose(child<CZUComboBox>(d, c.end ? CAptmSummary::IDC_ENDTIME : CAptmSummary::IDC_STARTTIME), c.index);
            tapOk(d);
        }), IDOK) << c.what;
        FILETIME utc = ZuU64ToFileTime(ZuFileTimeToU64(utcOf(2024, 5, 20, 0, 0)) + c.startMinutes * ZU_TICKS_PER_MINUTE);
        CCeDBDatabase db;
        CCeDBRecord r;
        ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS) && db.SeekToRecord(oid) && db.ReadCurrRecord(&r));
        FILETIME start{};
        ZuRecordFiletime(r, ZUID_APT_START, &start);
        EXPECT_EQ(ZuFileTimeToU64(start), ZuFileTimeToU64(utc)) << c.what;
        EXPECT_EQ(ZuRecordInt(r, ZUID_APT_DURATION), c.duration) << c.what;
    }
}

TEST_F(AptmEditor, TypedTimesAreParsedOrRefused)
{
    const struct {
        const char* typed;
        int minutes;  // -1: refused
    } cases[] = {
        {"오후 3:15", 15 * 60 + 15}, {"오전 12:10", 10}, {"오후 12:45", 12 * 60 + 45}, {"9:05", 9 * 60 + 5},
        {"23:59", 23 * 60 + 59}, {"24:00", -1}, {"오후 13:00", -1}, {"9:5", -1}, {"abc", -1}, {"", -1},
    };
    for (const auto& c : cases) {
        int m = -7;
        EXPECT_EQ(CAptmSummary::ParseTime(CString::fromQString(QString::fromUtf8(c.typed)), &m), c.minutes >= 0) << c.typed;
        if (c.minutes >= 0) {
            EXPECT_EQ(m, c.minutes) << c.typed;
        }
    }
    // Through the sheet: a bad start time is told and the sheet stays; a typed one is stored.
    CEOID oid = 0;
    EXPECT_EQ(edit(oid, [&](QDialog& d) {
        typeInto(child<CZUComboBox>(d, CAptmSummary::IDC_STARTTIME), QString::fromUtf8("오후 25:00"));
        tapOk(d);
        EXPECT_TRUE(d.isVisible()) << "refused: the sheet stays open";
        typeInto(child<CZUComboBox>(d, CAptmSummary::IDC_ALARM), "abc");
        typeInto(child<CZUComboBox>(d, CAptmSummary::IDC_STARTTIME), QString::fromUtf8("오후 3:15"));
        tapOk(d);
        EXPECT_TRUE(d.isVisible()) << "a count that is no number is refused";
        typeInto(child<CZUComboBox>(d, CAptmSummary::IDC_ALARM), "20");
        tapOk(d);
    }), IDOK);
    EXPECT_EQ(boxes.texts, (std::vector<CString>{L"시간을 올바르게 입력하십시오.", L"알람을 올바르게 입력하십시오."}));
    EXPECT_EQ(prop(oid, ZUID_APT_DURATION), 60);
    EXPECT_EQ(prop(oid, ZUID_APT_REMINDER_MINUTES), 20);
}

TEST_F(AptmEditor, ReminderLoadsAsStored)
{
    const struct {
        long minutes;
        int unit;
        const char* count;
    } cases[] = {{1440, 2, "1"}, {90, 0, "90"}, {120, 1, "2"}, {2880, 2, "2"}, {45, 0, "45"}, {1500, 1, "25"}, {1470, 0, "1470"}};
    for (const auto& c : cases) {
        const CEOID stored = store([&](CPoomAppointment& a) { a.put_ReminderMinutesBeforeStart(c.minutes); });
        CEOID oid = stored;
        EXPECT_EQ(edit(oid, [&](QDialog& d) {
            EXPECT_EQ(child<CZUComboBox>(d, CAptmSummary::IDC_ALARMTYPE)->currentIndex(), c.unit) << c.minutes;
            EXPECT_EQ(child<CZUComboBox>(d, CAptmSummary::IDC_ALARM)->currentText(), QString(c.count)) << c.minutes;
            tapOk(d);
        }), IDOK);
        EXPECT_EQ(prop(oid, ZUID_APT_REMINDER_MINUTES), c.minutes) << "saved back as it was";
    }
}

TEST_F(AptmEditor, AnniversaryLayoutAndYearlyPattern)
{
    CEOID oid = 0;
    EXPECT_EQ(edit(oid, [&](QDialog& d) {
        auto* mday = child<QCheckBox>(d, CAptmSummary::IDC_MDAY);
        QTest::mouseClick(mday, Qt::LeftButton, Qt::NoModifier, QPoint(6, mday->height() / 2));
        EXPECT_FALSE(child<QWidget>(d, CAptmSummary::IDC_LOCATION)->isVisible());
        EXPECT_FALSE(child<QWidget>(d, CAptmSummary::IDC_ENDDATE)->isVisible());
        EXPECT_FALSE(child<QWidget>(d, CAptmSummary::IDC_STARTTIME)->isVisible());
        EXPECT_FALSE(child<QWidget>(d, CAptmSummary::IDC_BUSY)->isVisible());
        EXPECT_FALSE(child<QWidget>(d, CAptmSummary::IDC_ALLDAY)->isVisible());
        auto* lunar = child<QCheckBox>(d, CAptmSummary::IDC_LUNAR);
        EXPECT_TRUE(lunar->isVisible());
        auto* occur = child<CZUComboBox>(d, CAptmSummary::IDC_OCCUR);
        ASSERT_EQ(occur->count(), 2);
        EXPECT_EQ(occur->itemText(1), QString::fromUtf8("년간 반복"));
        lunar->setChecked(true);
        choose(occur, 1);  // no wizard: the handler would see it
        tapOk(d);
    }), IDOK);
    EXPECT_EQ(prop(oid, ZUID_APT_TYPE), ZU_APT_ALLDAY);
    EXPECT_EQ(prop(oid, ZUID_APT_MEMORIAL), 1);
    EXPECT_EQ(prop(oid, ZUID_APT_LUNAR), 1);
    EXPECT_EQ(prop(oid, ZUID_APT_RECURRING), 1);
    CRecurrencePattern p(oid, 1u);
    long type = -1, month = 0, day = 0;
    p.get_RecurrenceType(&type);
    p.get_MonthOfYear(&month);
    p.get_DayOfMonth(&day);
    EXPECT_EQ(type, 5);
    EXPECT_EQ(month, 5);
    EXPECT_EQ(day, 20);
}

TEST_F(AptmEditor, AnniversaryMarksFollowTheCheck)
{
    // Set, then unticked with 음력 still ticked underneath: both marks go to 0.
    CEOID oid = 0;
    edit(oid, [](QDialog& d) {
        child<QCheckBox>(d, CAptmSummary::IDC_MDAY)->click();
        child<QCheckBox>(d, CAptmSummary::IDC_LUNAR)->setChecked(true);
        tapOk(d);
    });
    EXPECT_EQ(prop(oid, ZUID_APT_MEMORIAL), 1);
    EXPECT_EQ(prop(oid, ZUID_APT_LUNAR), 1);
    EXPECT_EQ(edit(oid, [](QDialog& d) {
        EXPECT_TRUE(child<QCheckBox>(d, CAptmSummary::IDC_LUNAR)->isChecked());
        child<QCheckBox>(d, CAptmSummary::IDC_MDAY)->click();
        tapOk(d);
    }), IDOK);
    EXPECT_EQ(prop(oid, ZUID_APT_MEMORIAL), 0);
    EXPECT_EQ(prop(oid, ZUID_APT_LUNAR), 0) << "lunar only on an anniversary";
}

TEST_F(AptmEditor, DurationAcrossMidnight)
{
    CEOID oid = 0;
    EXPECT_EQ(edit(oid, [](QDialog& d) {
        choose(child<CZUComboBox>(d, CAptmSummary::IDC_STARTTIME), 44);  // 22:00, end 23:00
        auto* endDate = child<CZUDateTimeCtrl>(d, CAptmSummary::IDC_ENDDATE);
        endDate->SetDate(QDate(2024, 5, 21));
        typeInto(child<CZUComboBox>(d, CAptmSummary::IDC_ENDTIME), QString::fromUtf8("오전 1:00"));
        tapOk(d);
    }), IDOK);
    EXPECT_EQ(prop(oid, ZUID_APT_DURATION), 180);
}

TEST_F(AptmEditor, AllDayOrAnniversaryWithAttendeesIsRefused)
{
    const CEOID stored = store([](CPoomAppointment& a) {
        CPoomRecipients* r = nullptr;
        a.get_Recipients(&r);
        CPoomRecipient* one = nullptr;
        r->Add(L"Kim", &one);
        one->put_Address(L"kim@x.kr");
    });
    for (UINT mark : {CAptmSummary::IDC_ALLDAY, CAptmSummary::IDC_MDAY}) {
        boxes.texts.clear();
        CEOID oid = stored;
        EXPECT_EQ(edit(oid, [&](QDialog& d) {
            child<QCheckBox>(d, mark)->click();
            tapOk(d);
            EXPECT_TRUE(d.isVisible());
        }), IDCANCEL);
        EXPECT_EQ(boxes.texts, (std::vector<CString>{L"종일 일정에는 참석자를 선택할 수 없습니다."})) << mark;
    }
    CEOID oid = stored;
    EXPECT_EQ(edit(oid, tapOk), IDOK) << "a timed appointment with attendees closes";
}

TEST_F(AptmEditor, SaveFailuresAreReported)
{
    // The record deleted elsewhere while the editor was open.
    CEOID gone = store([](CPoomAppointment&) {});
    EXPECT_EQ(edit(gone, [&](QDialog& d) {
        CCeDBDatabase db;
        ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS));
        ASSERT_TRUE(DeleteRecord(&db, gone, ZU_SEL_APPOINTMENTS));
        tapOk(d);
    }), 0);
    EXPECT_EQ(boxes.texts, (std::vector<CString>{L"Failure to obtain Calendar folder."}));

    // A write that fails, as on a full disk: told, nothing written.
    boxes.texts.clear();
    const int before = appointmentCount();
    CEOID oid = 0;
    EXPECT_EQ(edit(oid, [](QDialog& d) {
        child<QCheckBox>(d, CAptmSummary::IDC_MDAY)->click();
        ZuFailStoreWrites(1);
        tapOk(d);
    }), 0);
    ZuFailStoreWrites(0);
    EXPECT_EQ(boxes.texts, (std::vector<CString>{L"일정을 저장하지 못했습니다."}));
    EXPECT_EQ(appointmentCount(), before);

    // The marks fail after the record was written: the record goes too.
    boxes.texts.clear();
    oid = 0;
    EXPECT_EQ(edit(oid, [](QDialog& d) {
        child<QCheckBox>(d, CAptmSummary::IDC_MDAY)->click();
        tapOk(d);
    }), IDOK);
    const Props kept = readProps(oid);
    CEOID again = oid;
    EXPECT_EQ(edit(again, [](QDialog& d) {
        QTest::keyClicks(child<QLineEdit>(d, CAptmSummary::IDC_SUBJECT), "x");
        child<QCheckBox>(d, CAptmSummary::IDC_MDAY)->click();
        ZuFailStoreWrites(100);
        tapOk(d);
    }), 0);
    ZuFailStoreWrites(0);
    EXPECT_EQ(readProps(oid), kept) << "nothing of the failed save stays";
}

TEST_F(AptmEditor, UnchangedReSaveChangesNothing)
{
    ZuTestStoreCategory(L"업무", 0);
    ZuTestStoreCategory(L"가족", 1);
    {
        CCeDBDatabase contacts;
        ASSERT_TRUE(GetDatabasePtr(&contacts, ZU_SEL_CONTACTS));
        CCeDBRecord c;
        const CCeDBProp name(L"김철수", ZUID_CON_FILE_AS), mail(L"kim@x.kr", ZUID_CON_EMAIL);
        c.AddProp(&name);
        c.AddProp(&mail);
        ASSERT_NE(contacts.WriteRecord(c, 0), 0u);
    }
    const CEOID stored = store([](CPoomAppointment& a) {
        a.put_ReminderMinutesBeforeStart(90);
        a.put_Location(L"본사 3층");
        a.put_Categories(L"업무, 가족");
        CPoomRecipients* r = nullptr;
        a.get_Recipients(&r);
        CPoomRecipient* one = nullptr;
        r->Add(L"김철수", &one);
        one->put_Address(L"kim@x.kr");
        r->Add(L"Guest", &one);
        one->put_Address(L"guest@elsewhere.org");
        const BYTE ink[] = {1, 2, 3, 4};
        a.put_BodyInk(CEBLOB{4, const_cast<BYTE*>(ink)});
        CRecurrencePattern* p = nullptr;
        a.GetRecurrencePattern(&p);
        p->put_RecurrenceType(1);
        p->put_Interval(1);
        p->put_DayOfWeekMask(0x04);  // Tuesdays
        p->put_PatternStartDate(wall(2024, 5, 21));
        p->put_NoEndDate(1);
    });
    const Props before = readProps(stored);
    ASSERT_FALSE(before.empty());
    // Opened as the board does (empty caption), every tab visited, OK.
    CEOID oid = stored;
    ZuModalHandlerScope scope([&](QDialog& d) {
        if (auto* sheet = qobject_cast<CMakeEventSheet*>(&d)) {
            for (int i = 0; i < sheet->GetPageCount(); ++i)
                sheet->SetActivePage(i);
            tapOk(d);
        }
    });
    EXPECT_EQ(ZuEditAppointment(nullptr, CString(), oid, {}), IDOK);
    EXPECT_EQ(oid, stored);
    EXPECT_EQ(readProps(oid), before);
    EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(AptmEditor, AttendeesPage)
{
    {
        CCeDBDatabase contacts;
        ASSERT_TRUE(GetDatabasePtr(&contacts, ZU_SEL_CONTACTS));
        CCeDBRecord c;
        const CCeDBProp name(L"이영희", ZUID_CON_FILE_AS), m1(L"a@x.kr", ZUID_CON_EMAIL), m2(L"b@x.kr", ZUID_CON_EMAIL2),
            m3(L"c@x.kr", ZUID_CON_EMAIL3);
        for (const CCeDBProp* p : {&name, &m1, &m2, &m3})
            c.AddProp(p);
        ASSERT_NE(contacts.WriteRecord(c, 0), 0u);
    }
    const CEOID stored = store([](CPoomAppointment& a) {
        CPoomRecipients* r = nullptr;
        a.get_Recipients(&r);
        CPoomRecipient* one = nullptr;
        r->Add(L"이영희", &one);
        one->put_Address(L"b@x.kr");
        r->Add(L"Old name", &one);
        one->put_Address(L"a@x.kr");
    });

    // Three addresses, three rows; the stored one checked; the unmatched one kept as a row.
    CEOID oid = stored;
    EXPECT_EQ(edit(oid, [&](QDialog& d) {
        auto* sheet = qobject_cast<CMakeEventSheet*>(&d);
        sheet->SetActivePage(2);
        auto* page = qobject_cast<CAttendeesList*>(sheet->GetPage(2));
        ASSERT_EQ(page->GetRowCount(), 4);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(page->GetRowName(i), CString(L"이영희"));
        EXPECT_EQ(page->GetRowAddress(2), CString(L"c@x.kr"));
        EXPECT_FALSE(page->IsRowChecked(0)) << "same address, other name";
        EXPECT_TRUE(page->IsRowChecked(1));
        EXPECT_FALSE(page->IsRowChecked(2));
        EXPECT_EQ(page->GetRowName(3), CString(L"Old name"));
        EXPECT_TRUE(page->IsRowChecked(3)) << "an attendee no contact carries stays";
        // Tap the third row on: the list gains it.
        CListViewEx* list = page->GetListControl();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->RowRect(2).center());
        tapOk(d);
    }), IDOK);
    CCeDBDatabase db;
    CCeDBRecord r;
    ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS) && db.SeekToRecord(oid) && db.ReadCurrRecord(&r));
    const CAttendees saved(ZuBlobOf(ZuRecordBytes(r, ZUID_APT_ATTENDEES)));
    ASSERT_EQ(saved.GetSize(), 3);
    EXPECT_EQ(saved[0].strAddress, CString(L"b@x.kr"));
    EXPECT_EQ(saved[1].strAddress, CString(L"c@x.kr"));
    EXPECT_EQ(saved[2].strName, CString(L"Old name"));

    // A tab never opened keeps the recipients; a new appointment without it has none.
    EXPECT_EQ(edit(oid, [](QDialog& d) {
        QTest::keyClicks(child<QLineEdit>(d, CAptmSummary::IDC_SUBJECT), "!");
        tapOk(d);
    }), IDOK);
    ASSERT_TRUE(db.SeekToRecord(oid) && db.ReadCurrRecord(&r));
    EXPECT_EQ(CAttendees(ZuBlobOf(ZuRecordBytes(r, ZUID_APT_ATTENDEES))).GetSize(), 3);

    // Unchecking every row clears them.
    EXPECT_EQ(edit(oid, [&](QDialog& d) {
        auto* sheet = qobject_cast<CMakeEventSheet*>(&d);
        sheet->SetActivePage(2);
        auto* page = qobject_cast<CAttendeesList*>(sheet->GetPage(2));
        CListViewEx* list = page->GetListControl();
        for (int i = 0; i < page->GetRowCount(); ++i)
            if (page->IsRowChecked(i))
                QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->RowRect(i).center());
        tapOk(d);
    }), IDOK);
    EXPECT_EQ(readProps(oid).count(ZUPID_APT_ATTENDEES), 0u) << "no attendee list left";
}

TEST_F(AptmEditor, ClearingEveryCategorySticks)
{
    ZuTestStoreCategory(L"업무", 0);
    const CEOID stored = store([](CPoomAppointment& a) { a.put_Categories(L"업무"); });
    ASSERT_EQ(readProps(stored).count(ZUPID_APT_CATEGORIES), 1u);
    CEOID oid = stored;
    EXPECT_EQ(edit(oid, [](QDialog& d) {
        auto* sheet = qobject_cast<CMakeEventSheet*>(&d);
        sheet->SetActivePage(3);
        auto* list = sheet->GetPage(3)->findChild<CListViewEx*>();
        ASSERT_NE(list, nullptr);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->RowRect(0).center());
        tapOk(d);
    }), IDOK);
    CCeDBDatabase db;
    CCeDBRecord r;
    ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS) && db.SeekToRecord(oid) && db.ReadCurrRecord(&r));
    EXPECT_EQ(r.GetIdProp(ZUID_APT_CATEGORIES), nullptr) << "clearing every category sticks";
    EXPECT_EQ(ZuTestReadCategory(0).props.at(2), 0) << "its appointment count is released";
}

TEST_F(AptmEditor, RecentLocationsTakeAFreeName)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Calendar\\LOCMRU", 0, nullptr, 0, 0, nullptr, &key,
                  nullptr), ERROR_SUCCESS);
    // One listed location under "MRU1": "MRU" + count would overwrite it.
    const std::wstring office = L"본사";
    RegSetValueEx(key, L"MRU1", 0, REG_SZ, reinterpret_cast<const BYTE*>(office.c_str()),
        static_cast<DWORD>((office.size() + 1) * sizeof(wchar_t)));
    for (const char* typed : {"본", "지사"}) {
        CEOID oid = 0;
        edit(oid, [&](QDialog& d) {
            auto* box = child<CZUComboBox>(d, CAptmSummary::IDC_LOCATION);
            EXPECT_GE(box->findText(QString::fromStdWString(office)), 0);
            box->setEditText(QString::fromUtf8(typed));
            tapOk(d);
        });
        EXPECT_EQ(text(oid, ZUID_APT_LOCATION).toQString(), QString::fromUtf8(typed));
    }
    auto read = [&](const wchar_t* name) {
        wchar_t buffer[64] = {};
        DWORD size = sizeof(buffer);
        return RegQueryValueEx(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS
            ? QString::fromWCharArray(buffer)
            : QString("-");
    };
    EXPECT_EQ(read(L"MRU1"), QString::fromStdWString(office)) << "kept";
    EXPECT_EQ(read(L"MRU2"), QString::fromUtf8("지사")) << "the first unused name; 본 begins a listed one";
    RegCloseKey(key);
}

TEST_F(AptmEditor, NoteButtonReachesTheNotePage)
{
    CEOID oid = 0;
    edit(oid, [](QDialog& d) {
        auto* sheet = qobject_cast<CMakeEventSheet*>(&d);
        sheet->SetActivePage(1);
        auto* note = qobject_cast<CNote*>(sheet->GetPage(1));
        ASSERT_NE(note, nullptr);
        const BOOL shown = note->IsToolBarShown();
        CCeCommandBarEx* bar = sheet->GetCommandBarPtr();
        const int index = bar->CommandToIndex(ZuCompLibRes::IdNoteTools);
        ASSERT_GE(index, 0);
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->GetItemRect(index).center());
        EXPECT_NE(note->IsToolBarShown(), shown);
        d.reject();
    });
}

TEST_F(AptmEditor, CategoryNamesThatCannotBeReadFailTheSave)
{
    ZuTestStoreCategory(L"업무", 0);
    CEOID oid = store([](CPoomAppointment& a) { a.put_Categories(L"업무"); });
    const Props before = readProps(oid);
    ASSERT_EQ(before.count(ZUPID_APT_CATEGORIES), 1u);
    // The categories database is gone: saving would clear the categories, so it is refused.
    ASSERT_TRUE(CCeDBDatabase::DeleteDatabase(ZU_DB_CATEGORIES));
    EXPECT_EQ(edit(oid, [](QDialog& d) {
        child<QLineEdit>(d, CAptmSummary::IDC_SUBJECT)->insert(QStringLiteral("!"));
        tapOk(d);
    }), 0);
    // The store says what it could not open, the editor that nothing was saved.
    EXPECT_EQ(boxes.texts, (std::vector<CString>{L"Cannot open Category Database", L"일정을 저장하지 못했습니다."}));
    EXPECT_EQ(readProps(oid), before);
}

TEST_F(AptmEditor, PresetsOpenTheNewRecord)
{
    const struct {
        const char* what;
        ZuEditorPreset preset;
        long long type, memorial;
        FILETIME start;
    } cases[] = {
        {"a pressed cell at 09:00", {zutest::st(2024, 6, 1, 9, 0), false}, ZU_APT_TIMED, -999, utcOf(2024, 6, 1, 9, 0)},
        {"새 기념일", {zutest::st(2024, 6, 1, 0, 0), true}, ZU_APT_ALLDAY, 1, utcOf(2024, 6, 1, 0, 0)},
        {"no date: the defaults", {}, ZU_APT_TIMED, -999, utcOf(2024, 5, 20, 12, 0)},
    };
    for (const auto& c : cases) {
        CEOID oid = 0;
        EXPECT_EQ(edit(oid, tapOk, c.preset), IDOK) << c.what;
        EXPECT_EQ(prop(oid, ZUID_APT_TYPE), c.type) << c.what;
        EXPECT_EQ(prop(oid, ZUID_APT_MEMORIAL), c.memorial) << c.what;
        CCeDBDatabase db;
        CCeDBRecord r;
        ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS) && db.SeekToRecord(oid) && db.ReadCurrRecord(&r));
        FILETIME start{};
        ZuRecordFiletime(r, ZUID_APT_START, &start);
        EXPECT_EQ(ZuFileTimeToU64(start), ZuFileTimeToU64(c.start)) << c.what;
    }
}

TEST_F(AptmEditor, AnEmptiedNoteClearsTheStoredOne)
{
    const CEOID stored = store([](CPoomAppointment& a) {
        const BYTE ink[] = {9, 9, 9};
        a.put_BodyInk(CEBLOB{3, const_cast<BYTE*>(ink)});
    });
    const CEOID plain = store([](CPoomAppointment&) {});
    for (CEOID oid : {stored, plain}) {
        CAptmSummary summary;
        summary.m_strSubject = L"회의";
        summary.m_dtStart = COleDateTime(2024, 5, 21, 9, 15, 0);
        summary.m_dtEnd = COleDateTime(2024, 5, 21, 10, 5, 0);
        summary.m_nReminder = 15;
        CMakeEventSheet sheet(CString(L"일정"));
        CEBLOB note{}, categories{}, attendees{};
        CEOID saved = oid;
        EXPECT_EQ(sheet.SaveAptmEvent(saved, summary, note, categories, attendees), 1);
        EXPECT_EQ(saved, oid);
        const Props after = readProps(oid);
        if (oid == stored) {
            ASSERT_EQ(after.count(ZUPID_APT_NOTE), 1u);
            EXPECT_TRUE(std::get<2>(after.at(ZUPID_APT_NOTE)).empty()) << "0 bytes clear the note";
        } else {
            EXPECT_EQ(after.count(ZUPID_APT_NOTE), 0u) << "no note, none added";
        }
    }
}
