// The store under power cuts and I/O errors: a scripted day of saves (appointments through the
// object model, a task, category changes, a delete, an import of 50 events, registry writes) run
// over the test VFS, cut after every write and sync in turn, or with each operation failing in
// turn. After each run the store opens, passes integrity_check, holds every save that was reported
// done and nothing of a save that was reported failed, and its category counts and reminders agree
// with its records.
#include "icalimport.h"
#include "lasterror.h"
#include "notifyutil.h"
#include "pimstore.h"
#include "poomapplication.h"
#include "registry.h"
#include "taskrecord.h"
#include "testhome.h"
#include "testvfs.h"
#include "usernotify.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <thread>

namespace {

using ZuTestVfs::Op;

DATE oleDate(int y, int m, int d, int h = 0, int mi = 0)
{
    return COleDateTime(y, m, d, h, mi, 0).m_dt;
}

std::string utf8(const std::wstring& s)
{
    return QString::fromStdWString(s).toStdString();
}

// Runs `f` on a thread of its own, so that the store's connections of that thread close with it.
void onThread(const std::function<void()>& f)
{
    std::thread(f).join();
}

// The registry keeps one connection for the process; pointing it at another folder closes it.
void closeRegistry(const std::string& elsewhere)
{
    const char* old = std::getenv("ZUPIMS_HOME");
    const std::string keep = old ? old : "";
    ::setenv("ZUPIMS_HOME", elsewhere.c_str(), 1);
    HKEY key = nullptr;
    RegOpenKeyEx(HKEY_CURRENT_USER, L"Software", 0, 0, &key);
    if (key)
        RegCloseKey(key);
    ::setenv("ZUPIMS_HOME", keep.c_str(), 1);
}

CEOID writeCategory(const wchar_t* name, short index)
{
    CCeDBDatabase db;
    if (!GetDatabasePtr(&db, ZU_SEL_CATEGORIES))
        return 0;
    CCeDBRecord r;
    const CCeDBProp props[] = {
        CCeDBProp(name, ZUID_CAT_NAME), CCeDBProp(index, ZUID_CAT_INDEX), CCeDBProp(short(1), ZUID_CAT_IN_USE),
        CCeDBProp(short(0), ZUID_CAT_CONTACT_COUNT), CCeDBProp(short(0), ZUID_CAT_APT_COUNT),
        CCeDBProp(short(0), ZUID_CAT_TASK_COUNT),
    };
    r.AddProps(props, static_cast<WORD>(std::size(props)));
    return db.WriteRecord(r, 0);
}

// A save of a record that an earlier, failed save did not make fails as not found.
bool needs(CEOID oid)
{
    if (!oid)
        SetLastError(ERROR_NOT_FOUND);
    return oid != 0;
}

std::string importText()
{
    std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//sweep//EN\r\n";
    for (int i = 0; i < 50; ++i) {
        char day[64];
        std::snprintf(day, sizeof day, "202701%02dT%02d0000", 1 + i % 28, 8 + i % 10);
        text += "BEGIN:VEVENT\r\nUID:sweep-" + std::to_string(i) + "\r\nSUMMARY:import-" + std::to_string(i)
            + "\r\nDTSTART:" + day + "\r\nDURATION:PT30M\r\n";
        if (i % 5 == 0)
            text += "CATEGORIES:업무\r\n";
        text += "END:VEVENT\r\n";
    }
    return text + "END:VCALENDAR\r\n";
}

// What a run saved: the saves in order, each reported done or not.
struct Day {
    CEOID categoryFamily = 0;
    CEOID kept = 0;     // appointment "회의" (업무, 가족, reminder), changed later
    CEOID deleted = 0;  // appointment "점심" (업무, reminder), deleted later
    std::vector<int> results;  // 1 done, 0 failed, per save
};

// The saves of the day. Each returns whether it reported done; a failure must come with a last
// error (checked by the caller).
std::vector<std::function<bool(Day&)>> saves()
{
    const auto appointment = [](Day& d, CEOID* oid, const wchar_t* subject, const wchar_t* categories, int hour) {
        CPoomApplication app;
        std::unique_ptr<CPoomAppointment> item;
        if (app.Logon(0) != S_OK || app.CreateItem(ZU_OL_APPOINTMENT_ITEM, &item) != S_OK)
            return false;
        item->put_Subject(subject);
        item->put_Categories(categories);
        item->put_Start(oleDate(2026, 12, 10, hour));
        item->put_Duration(60);
        item->put_ReminderSet(1);
        item->put_ReminderMinutesBeforeStart(10);
        if (item->Save() != S_OK)
            return false;
        item->get_Oid(oid);
        (void)d;
        return true;
    };
    return {
        [](Day&) { return writeCategory(L"업무", 1) != 0; },
        [](Day& d) { return (d.categoryFamily = writeCategory(L"가족", 4)) != 0; },
        [=](Day& d) { return appointment(d, &d.kept, L"회의", L"업무, 가족", 9); },
        [=](Day& d) { return appointment(d, &d.deleted, L"점심", L"업무", 12); },
        [](Day&) {
            // A task with a category, written and counted in one batch as the task editor does.
            ZuTask task;
            task.subject = L"보고서";
            ZuBitmapSet(task.categories, 4);
            ZuStoreBatch batch;
            CCeDBDatabase db;
            if (!GetDatabasePtr(&db, ZU_SEL_TASKS) || !db.WriteRecord(ZuTaskRecord(task), 0))
                return false;
            const CEBLOB blob = ZuBlobOf(task.categories);
            return AddCategoryRefByBlob(&blob, ZUID_CAT_TASK_COUNT) && batch.Commit();
        },
        [](Day& d) {
            // The category 가족 renamed.
            CCeDBDatabase db;
            CCeDBProp name(L"친척", ZUID_CAT_NAME);
            CEPROPVAL value = name.AsPropVal();
            return needs(d.categoryFamily) && GetDatabasePtr(&db, ZU_SEL_CATEGORIES) && db.WriteProps(d.categoryFamily, &value, 1);
        },
        [](Day& d) {
            CCeDBDatabase db;
            return needs(d.deleted) && GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS) && DeleteRecord(&db, static_cast<DWORD>(d.deleted), ZU_SEL_APPOINTMENTS);
        },
        [](Day&) {
            const ZuIcalImportResult r = ZuImportIcal(importText());
            if (!r.ok && !GetLastError())
                SetLastError(ERROR_WRITE_FAULT);  // the import's error is its text
            return r.ok;
        },
        [](Day&) {
            HKEY key = nullptr;
            DWORD how = 0;
            if (RegCreateKeyEx(HKEY_CURRENT_USER, L"Software\\Sweep", 0, nullptr, 0, 0, nullptr, &key, &how) != ERROR_SUCCESS)
                return false;
            const DWORD end = 22;
            const LONG rc = RegSetValueEx(key, L"nWvEndTime", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&end), 4);
            RegCloseKey(key);
            return rc == ERROR_SUCCESS;
        },
        [](Day& d) {
            // "회의" moved to 가족 only, its reminder off.
            CPoomApplication app;
            std::unique_ptr<CPoomAppointment> item;
            if (!needs(d.kept) || app.Logon(0) != S_OK || app.GetItemFromOid(d.kept, &item) != S_OK)
                return false;
            item->put_Subject(L"회의 변경");
            item->put_Categories(L"친척");
            item->put_ReminderSet(0);
            return item->Save() == S_OK;
        },
    };
}

enum Kept { Absent, Present, Either };

// What the store holds, read back in one snapshot on a fresh connection.
struct Held {
    bool opened = false;
    std::string integrity;
    std::map<std::string, std::vector<BYTE>> appointments;  // subject -> category bitmap
    std::map<std::string, int> categories;                  // name -> index
    int tasks = 0;
    std::string failure;  // a disagreement of counts, reminders and records
    DWORD registryValue = 0;
    bool registryOk = false;
};

Held readBack(const std::string& home)
{
    Held h;
    onThread([&] {
        ::setenv("ZUPIMS_HOME", home.c_str(), 1);
        sqlite3* raw = nullptr;
        if (sqlite3_open_v2((home + "/pim.db").c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
            sqlite3_stmt* s = nullptr;
            if (sqlite3_prepare_v2(raw, "PRAGMA integrity_check", -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
                h.integrity = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
            sqlite3_finalize(s);
        }
        sqlite3_close(raw);

        const ZuStoreSnapshot snapshot;
        CCeDBDatabase apts, tasks, cats;
        h.opened = snapshot.ok() && GetDatabasePtr(&apts, ZU_SEL_APPOINTMENTS) && GetDatabasePtr(&tasks, ZU_SEL_TASKS)
            && GetDatabasePtr(&cats, ZU_SEL_CATEGORIES);
        if (!h.opened) {
            h.failure = utf8(ZuLastErrorText().str());
            return;
        }
        std::map<int, int> aptRefs, taskRefs;
        std::set<LONG> reminders;
        const auto walk = [&](CCeDBDatabase& db, bool appointment) {
            CCeDBRecord r;
            db.SeekFirst();
            while (db.ReadCurrRecord(&r)) {
                const std::vector<BYTE> bits = ZuRecordBytes(r, ZUID_APT_CATEGORIES);
                for (size_t i = 0; i < bits.size() * 8; ++i)
                    if (bits[i / 8] & (1 << (i % 8)))
                        ++(appointment ? aptRefs : taskRefs)[static_cast<int>(i)];
                if (const LONG notify = static_cast<LONG>(ZuRecordInt(r, ZUID_APT_NOTIFY))) {
                    reminders.insert(notify);
                    SYSTEMTIME ring{};
                    if (!GetUserNotificationTime(ZuLongToHandle(notify), &ring))
                        h.failure += "a record's reminder is gone; ";
                }
                if (appointment)
                    h.appointments[utf8(ZuRecordString(r, ZUID_APT_SUBJECT).str())] = bits;
                else
                    ++h.tasks;
            }
            if (db.ReadFailed())
                h.failure += "a walk failed; ";
        };
        walk(apts, true);
        walk(tasks, false);
        CCeDBRecord c;
        cats.SeekFirst();
        while (cats.ReadCurrRecord(&c)) {
            const int index = static_cast<int>(ZuRecordInt(c, ZUID_CAT_INDEX));
            h.categories[utf8(ZuRecordString(c, ZUID_CAT_NAME).str())] = index;
            if (ZuRecordInt(c, ZUID_CAT_APT_COUNT) != aptRefs[index] || ZuRecordInt(c, ZUID_CAT_TASK_COUNT) != taskRefs[index])
                h.failure += "the counts of category " + std::to_string(index) + " disagree; ";
        }
        // Every notification belongs to a record.
        sqlite3* n = nullptr;
        sqlite3_open_v2((home + "/pim.db").c_str(), &n, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(n, "SELECT handle FROM zu_notify", -1, &s, nullptr) == SQLITE_OK)
            while (sqlite3_step(s) == SQLITE_ROW)
                if (!reminders.count(static_cast<LONG>(sqlite3_column_int64(s, 0))))
                    h.failure += "a reminder without its record; ";
        sqlite3_finalize(s);
        sqlite3_close(n);

        HKEY key = nullptr;
        const LONG opened = RegOpenKeyEx(HKEY_CURRENT_USER, L"Software\\Sweep", 0, 0, &key);
        h.registryOk = opened == ERROR_SUCCESS || opened == ERROR_FILE_NOT_FOUND;
        if (key) {
            DWORD type = 0, size = 4;
            if (RegQueryValueEx(key, L"nWvEndTime", nullptr, &type, reinterpret_cast<BYTE*>(&h.registryValue), &size) != ERROR_SUCCESS)
                h.registryValue = 0;
            RegCloseKey(key);
        }
    });
    return h;
}

// Checks what the store holds against the saves: `kept[i]` says whether save i must be there.
void expectHolds(const Held& h, const std::vector<Kept>& kept, const std::string& what)
{
    SCOPED_TRACE(what);
    ASSERT_TRUE(h.opened) << h.failure;
    EXPECT_EQ(h.integrity, "ok");
    EXPECT_EQ(h.failure, "");
    const auto check = [&](size_t save, bool there, const char* name) {
        if (kept[save] != Either) {
            EXPECT_EQ(there, kept[save] == Present) << name;
        }
    };
    if (kept[7] == Absent)  // the import makes 업무 itself
        check(0, h.categories.count("업무") > 0, "category 업무");
    check(1, h.categories.count("가족") + h.categories.count("친척") > 0, "category 가족");
    // "회의" is there under one of its two subjects once saved.
    check(2, h.appointments.count("회의") + h.appointments.count("회의 변경") > 0, "appointment 회의");
    // "점심": saved, then deleted.
    if (kept[6] == Present) {
        EXPECT_EQ(h.appointments.count("점심"), 0u) << "the deleted 점심";
    } else if (kept[6] == Absent) {
        check(3, h.appointments.count("점심") > 0, "appointment 점심");
    }
    check(4, h.tasks > 0, "task 보고서");
    if (kept[5] != Either && kept[1] == Present) {
        EXPECT_EQ(h.categories.count("친척") > 0, kept[5] == Present) << "the renamed category";
    }
    int imported = 0;
    for (const auto& [subject, bits] : h.appointments)
        imported += subject.rfind("import-", 0) == 0;
    EXPECT_TRUE(imported == 0 || imported == 50) << imported << " of the 50 imported events";
    check(7, imported == 50, "the import");
    // The registry keeps its last writes through a kill, not a power cut: it only has to open.
    EXPECT_TRUE(h.registryOk);
    EXPECT_TRUE(h.registryValue == 0 || h.registryValue == 22);
    if (kept[9] != Either && kept[2] == Present) {
        EXPECT_EQ(h.appointments.count("회의 변경") > 0, kept[9] == Present) << "the change of 회의";
    }
}

class StoreSweep : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ZuTestVfs::install(); }
    void TearDown() override
    {
        ZuTestVfs::reset();
        ZuTestVfs::watch("");
    }

    // Runs the day in `home`; `results` of each save. Failures must come with a last error.
    Day runDay(const std::string& home)
    {
        Day day;
        onThread([&] {
            ::setenv("ZUPIMS_HOME", home.c_str(), 1);
            for (auto& save : saves()) {
                SetLastError(0);
                const bool done = save(day);
                if (!done) {
                    EXPECT_NE(GetLastError(), 0u) << "save " << day.results.size() << " failed without saying why"
;
                }
                day.results.push_back(done ? 1 : 0);
            }
        });
        closeRegistry(scratch.path());
        return day;
    }

    ZuTestHome scratch;
};

} // namespace

TEST_F(StoreSweep, APowerCutAfterAnyWriteOrSyncKeepsWhatWasReportedSaved)
{
    // One run without a cut counts the steps.
    long total = 0;
    {
        ZuTestHome home;
        ZuTestVfs::reset();
        ZuTestVfs::watch(home.path());
        ZuTestVfs::record(true);
        const Day day = runDay(home.path());
        total = ZuTestVfs::steps();
        ZuTestVfs::record(false);
        ASSERT_EQ(day.results, std::vector<int>(10, 1));
        expectHolds(readBack(home.path()), std::vector<Kept>(10, Present), "no cut");
    }
    ASSERT_GT(total, 20);
    std::printf("the day takes %ld writes and syncs\n", total);
    // Every step while the day takes fewer than 400 (it takes about 250); past that every
    // (total / 200)-th, so that the run stays a few seconds.
    const long stride = std::max(1L, total / 200);
    for (long cut = 1; cut <= total; cut += stride) {
        ZuTestHome home;
        ZuTestVfs::reset();
        ZuTestVfs::watch(home.path());
        ZuTestVfs::record(true);
        ZuTestVfs::cutAfter(cut);
        const Day day = runDay(home.path());
        ASSERT_TRUE(ZuTestVfs::powerIsOut()) << cut;
        ZuTestVfs::powerCut();
        ZuTestVfs::reset();
        // Saves reported done must be there; the one the cut fell in may or may not be; none after.
        std::vector<Kept> kept;
        bool cutSeen = false;
        for (int r : day.results) {
            kept.push_back(r ? Present : cutSeen ? Absent : Either);
            cutSeen = cutSeen || !r;
        }
        expectHolds(readBack(home.path()), kept, "cut after step " + std::to_string(cut) + " of " + std::to_string(total));
        if (HasFatalFailure() || HasNonfatalFailure())
            return;
    }
}

TEST_F(StoreSweep, AnOperationThatFailsReachesTheCallerAndChangesNothing)
{
    // The number of each operation a run makes.
    std::map<Op, long> totals;
    {
        ZuTestHome home;
        ZuTestVfs::reset();
        ZuTestVfs::watch(home.path());
        ZuTestVfs::record(true);
        runDay(home.path());
        for (Op op : {Op::Read, Op::Write, Op::Sync, Op::Lock, Op::Open})
            totals[op] = ZuTestVfs::count(op);
        std::printf("the day takes %ld reads, %ld writes, %ld syncs, %ld locks and %ld opens\n", totals[Op::Read],
            totals[Op::Write], totals[Op::Sync], totals[Op::Lock], totals[Op::Open]);
    }
    struct Case {
        Op op;
        ZuTestVfs::Error error;
        long times;  // -1: the disk stays that way
        const char* name;
    };
    const Case cases[] = {
        {Op::Read, ZuTestVfs::Error::Eio, 1, "read EIO"},
        {Op::Write, ZuTestVfs::Error::Eio, 1, "write EIO"},
        {Op::Write, ZuTestVfs::Error::Enospc, 1, "write ENOSPC"},
        {Op::Write, ZuTestVfs::Error::Enospc, -1, "the disk full from a write on"},
        {Op::Sync, ZuTestVfs::Error::Eio, 1, "sync EIO"},
        {Op::Lock, ZuTestVfs::Error::Eio, 1, "lock EIO"},
        {Op::Open, ZuTestVfs::Error::Eio, 1, "open EIO"},
        {Op::Write, ZuTestVfs::Error::ReadOnly, 1, "write on a read-only disk"},
    };
    // Every operation of each kind in turn (a few hundred runs, a few seconds).
    for (const Case& c : cases) {
        for (long n = 1; n <= totals[c.op]; ++n) {
            ZuTestHome home;
            ZuTestVfs::reset();
            ZuTestVfs::watch(home.path());
            ZuTestVfs::record(true);  // syncs are kept by the shim: no real ones, a fast run
            ZuTestVfs::failNth(c.op, n, c.error, c.times);
            const Day day = runDay(home.path());
            ZuTestVfs::reset();
            // A failed save leaves nothing; one whose sync failed may have reached the file.
            std::vector<Kept> kept;
            for (int r : day.results)
                kept.push_back(r ? Present : c.op == Op::Sync ? Either : Absent);
            // A save that depends on an earlier one that failed fails too and is not checked.
            if (!day.results[1])
                kept[5] = Either;
            if (!day.results[2])
                kept[9] = Either;
            if (!day.results[3])
                kept[6] = Either;
            expectHolds(readBack(home.path()), kept, std::string(c.name) + " at " + std::to_string(n));
            if (HasFatalFailure() || HasNonfatalFailure())
                return;
        }
    }
}
