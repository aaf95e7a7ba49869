// Opening the PIM databases, deleting records with what they hold, and category bookkeeping.
#include "messagebox.h"
#include "pimstore.h"
#include "testhome.h"
#include "usernotify.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

class PimStore : public ::testing::Test {
protected:
    ZuTestHome home;

    // Categories stored in this order: Alpha (index 0), Beta (9), Gamma (3).
    std::vector<CEOID> addCategories()
    {
        CCeDBDatabase db;
        EXPECT_TRUE(GetDatabasePtr(&db, ZU_SEL_CATEGORIES));
        std::vector<CEOID> oids;
        const std::pair<const wchar_t*, short> cats[] = {{L"Alpha", 0}, {L"Beta", 9}, {L"Gamma", 3}};
        for (const auto& [name, index] : cats) {
            CCeDBRecord r;
            const CCeDBProp props[] = {CCeDBProp(name, ZUID_CAT_NAME), CCeDBProp(index, ZUID_CAT_INDEX),
                CCeDBProp(short(1), ZUID_CAT_IN_USE), CCeDBProp(short(0), ZUID_CAT_CONTACT_COUNT),
                CCeDBProp(short(0), ZUID_CAT_APT_COUNT), CCeDBProp(short(0), ZUID_CAT_TASK_COUNT)};
            r.AddProps(props, 6);
            oids.push_back(db.WriteRecord(r, 0));
        }
        return oids;
    }

    // The counters of each category, in stored order, for one counter identifier.
    std::vector<short> counts(WORD counter)
    {
        CCeDBDatabase db;
        EXPECT_TRUE(GetDatabasePtr(&db, ZU_SEL_CATEGORIES));
        std::vector<short> out;
        CCeDBRecord r;
        while (db.ReadCurrRecord(&r)) {
            const CCeDBProp* p = r.GetIdProp(counter);
            out.push_back(p ? p->GetShort() : short(-99));
        }
        return out;
    }
};

BYTE kBits0And9[2] = {0x01, 0x02};
const CEBLOB kAlphaBeta{2, kBits0And9};

} // namespace

TEST_F(PimStore, SelectorsOpenTheirDatabasesAndNothingElse)
{
    for (int selector : {1, 2, 4, 8}) {
        CCeDBDatabase db;
        EXPECT_EQ(GetDatabasePtr(&db, selector), 1) << selector;
        EXPECT_TRUE(db.IsOpen());
        EXPECT_EQ(CloseDatabase(&db), 1);
        EXPECT_EQ(CloseDatabase(&db), 1);  // not open: still 1
    }
    for (int selector : {0, 3, 16, 32, -1}) {  // 16: the suite's own database does not exist yet
        CCeDBDatabase db;
        EXPECT_EQ(GetDatabasePtr(&db, selector), 0) << selector;
        EXPECT_FALSE(db.IsOpen());
    }
    EXPECT_EQ(GetDatabasePtr(nullptr, 1), 0);
    CCeDBDatabase db;
    EXPECT_EQ(OpenDatabase(&db, L"No Such Database", nullptr, nullptr), 0);
    EXPECT_FALSE(CCeDBDatabase::Exists(L"No Such Database"));  // opening never creates
    EXPECT_STREQ(ZuDatabaseName(16), L"Anniversary Database");
}

TEST_F(PimStore, CategoryNamesIndexesAndBitmaps)
{
    addCategories();
    EXPECT_EQ(GetDBCategoryBlob2Str(&kAlphaBeta), CString(L"Alpha, Beta"));
    CEBLOB empty{};
    EXPECT_EQ(GetDBCategoryBlob2Str(&empty), CString(L""));
    BYTE oneByte[1] = {0xFF};  // Beta's bit 9 lies beyond it: clear
    const CEBLOB shortBlob{1, oneByte};
    EXPECT_EQ(GetDBCategoryBlob2Str(&shortBlob), CString(L"Alpha, Gamma"));

    EXPECT_EQ(GetDBCategoryName(9), CString(L"Beta"));
    EXPECT_EQ(GetDBCategoryName(4), CString(L""));
    EXPECT_EQ(GetDBCategoryName(70000), CString(L""));

    CCeDBDatabase cats;
    EXPECT_EQ(GetDBCategoryIndex(&cats, L"Beta"), -1);  // not open
    ASSERT_TRUE(GetDatabasePtr(&cats, ZU_SEL_CATEGORIES));
    EXPECT_EQ(GetDBCategoryIndex(&cats, L"Gamma"), 3);
    EXPECT_EQ(GetDBCategoryIndex(&cats, L"Delta"), -1);
    EXPECT_EQ(GetDBCategoryIndex(&cats, nullptr), -1);
}

TEST_F(PimStore, BitTestsNeverLeaveTheBitmap)
{
    BYTE bits[2] = {0x81, 0x02};
    const CEBLOB b{2, bits};
    const std::pair<int, bool> cases[] = {{0, true}, {7, true}, {9, true}, {1, false}, {15, false}, {16, false},
        {1000, false}, {-1, false}, {-32768, false}};
    for (const auto& [index, set] : cases)
        EXPECT_EQ(ZuBitmapHas(&b, index), set) << index;
    EXPECT_FALSE(ZuBitmapHas(nullptr, 0));

    std::vector<BYTE> grown;
    ZuBitmapSet(grown, 9);
    ZuBitmapSet(grown, -3);
    EXPECT_EQ(grown, (std::vector<BYTE>{0x00, 0x02}));

    BYTE filterBits[1] = {0x02};
    const CEBLOB filter{1, filterBits};
    EXPECT_FALSE(ZuCategoryFilterPasses(&b, &filter, false));  // only the first byte is compared
    filterBits[0] = 0x80;
    EXPECT_TRUE(ZuCategoryFilterPasses(&b, &filter, false));
    const CEBLOB none{};
    EXPECT_FALSE(ZuCategoryFilterPasses(&none, &filter, false));
    EXPECT_TRUE(ZuCategoryFilterPasses(&none, &filter, true));
    EXPECT_TRUE(ZuCategoryFilterPasses(nullptr, &filter, true));
}

TEST_F(PimStore, ReferenceCountsRiseFallAndStayInRange)
{
    addCategories();
    EXPECT_EQ(AddCategoryRefByBlob(&kAlphaBeta, ZUID_CAT_APT_COUNT), 1);
    EXPECT_EQ(AddCategoryRefByBlob(&kAlphaBeta, ZUID_CAT_APT_COUNT), 1);
    EXPECT_EQ(counts(ZUID_CAT_APT_COUNT), (std::vector<short>{2, 2, 0}));
    EXPECT_EQ(counts(ZUID_CAT_TASK_COUNT), (std::vector<short>{0, 0, 0}));
    EXPECT_EQ(ReleaseCategoryRefByBlob(&kAlphaBeta, ZUID_CAT_APT_COUNT), 1);
    EXPECT_EQ(ReleaseCategoryRefByBlob(&kAlphaBeta, ZUID_CAT_APT_COUNT), 1);
    EXPECT_EQ(ReleaseCategoryRefByBlob(&kAlphaBeta, ZUID_CAT_APT_COUNT), 1);  // already 0: stays 0
    EXPECT_EQ(counts(ZUID_CAT_APT_COUNT), (std::vector<short>{0, 0, 0}));

    CEBLOB empty{};
    EXPECT_EQ(AddCategoryRefByBlob(&empty, ZUID_CAT_APT_COUNT), 0);
    EXPECT_EQ(ReleaseCategoryRefByBlob(nullptr, ZUID_CAT_APT_COUNT), 0);
    EXPECT_EQ(counts(ZUID_CAT_APT_COUNT), (std::vector<short>{0, 0, 0}));
    // A counter the categories do not carry is left alone.
    EXPECT_EQ(AddCategoryRefByBlob(&kAlphaBeta, 0x4007), 1);
    EXPECT_EQ(counts(0x4007), (std::vector<short>{-99, -99, -99}));
}

TEST_F(PimStore, CountsChangedAtOnceByTwoWritersLoseNothing)
{
    // Each thread has a connection of its own, as another program would.
    addCategories();
    const auto bump = [] {
        for (int i = 0; i < 100; ++i)
            EXPECT_EQ(AddCategoryRefByBlob(&kAlphaBeta, ZUID_CAT_APT_COUNT), 1);
    };
    std::thread a(bump), b(bump);
    a.join();
    b.join();
    EXPECT_EQ(counts(ZUID_CAT_APT_COUNT), (std::vector<short>{200, 200, 0}));
}

TEST_F(PimStore, DeleteRecordLetsGoOfItsReminderAndCategories)
{
    addCategories();
    struct Kind {
        int selector;
        WORD counter;
    };
    for (const Kind kind : {Kind{ZU_SEL_CONTACTS, ZUID_CAT_CONTACT_COUNT}, Kind{ZU_SEL_TASKS, ZUID_CAT_TASK_COUNT},
             Kind{ZU_SEL_APPOINTMENTS, ZUID_CAT_APT_COUNT}}) {
        CE_NOTIFICATION_TRIGGER trigger;
        CE_USER_NOTIFICATION user;
        HANDLE reminder = CeSetUserNotificationEx(nullptr, &trigger, &user);
        ASSERT_NE(reminder, nullptr);
        CCeDBDatabase db;
        ASSERT_TRUE(GetDatabasePtr(&db, kind.selector));
        CCeDBRecord r;
        const CCeDBProp props[] = {CCeDBProp(L"x", 0x0037), CCeDBProp(kAlphaBeta, ZUID_APT_CATEGORIES),
            CCeDBProp(ZuHandleToLong(reminder), ZUID_APT_NOTIFY)};
        r.AddProps(props, 3);
        const CEOID oid = db.WriteRecord(r, 0);
        ASSERT_TRUE(AddCategoryRefByBlob(&kAlphaBeta, kind.counter));
        ASSERT_EQ(counts(kind.counter), (std::vector<short>{1, 1, 0}));

        EXPECT_EQ(DeleteRecord(&db, oid, kind.selector), 1);
        EXPECT_EQ(counts(kind.counter), (std::vector<short>{0, 0, 0})) << kind.selector;
        EXPECT_FALSE(db.SeekToRecord(oid));
        EXPECT_FALSE(CeClearUserNotification(reminder));  // already gone
        EXPECT_EQ(DeleteRecord(&db, oid, kind.selector), 0);  // nothing left to delete
    }
    CCeDBDatabase closed;
    EXPECT_EQ(DeleteRecord(&closed, 1, ZU_SEL_TASKS), 0);
    EXPECT_EQ(DeleteRecord(nullptr, 1, ZU_SEL_TASKS), 0);
}

TEST_F(PimStore, AFailedDeleteKeepsReferencesAndReminder)
{
    addCategories();
    ASSERT_TRUE(AddCategoryRefByBlob(&kAlphaBeta, ZUID_CAT_TASK_COUNT));
    CCeDBDatabase tasks, contacts;
    ASSERT_TRUE(GetDatabasePtr(&tasks, ZU_SEL_TASKS));
    ASSERT_TRUE(GetDatabasePtr(&contacts, ZU_SEL_CONTACTS));
    CCeDBRecord r;
    CCeDBProp cats(kAlphaBeta, ZUID_TASK_CATEGORIES);
    r.AddProp(&cats);
    const CEOID oid = tasks.WriteRecord(r, 0);
    // Asked of the wrong database: nothing is deleted, nothing is released.
    EXPECT_EQ(DeleteRecord(&contacts, oid, ZU_SEL_TASKS), 0);
    EXPECT_EQ(counts(ZUID_CAT_TASK_COUNT), (std::vector<short>{1, 1, 0}));
}

struct PercentCase {
    const char* name;
    std::vector<CCeDBProp> props;
    int percent;
};

TEST(PimStoreTask, StatusPercent)
{
    FILETIME done{1, 1};
    const PercentCase cases[] = {
        {"complete with progress 40", {CCeDBProp(short(1), 0x410F), CCeDBProp(short(40), 0x8100)}, 100},
        {"incomplete with progress 40", {CCeDBProp(short(0), 0x410F), CCeDBProp(short(40), 0x8100)}, 40},
        {"completion date before the flag", {CCeDBProp(done, 0x410F), CCeDBProp(short(1), 0x410F)}, 100},
        {"completion date only", {CCeDBProp(done, 0x410F)}, 0},
        {"no flag, no progress", {}, 0},
        {"progress read as signed", {CCeDBProp(short(-5), 0x8100)}, -5},
    };
    for (const PercentCase& c : cases) {
        CCeDBRecord r;
        for (const CCeDBProp& p : c.props)
            r.AddProp(&p);
        EXPECT_EQ(GetDBStatusPercent(&r), c.percent) << c.name;
    }
    EXPECT_EQ(GetDBStatusPercent(nullptr), 0);
}

TEST_F(PimStore, AnUnopenableCategoryDatabaseIsSaid)
{
    ASSERT_TRUE(CCeDBDatabase::DeleteDatabase(ZU_DB_CATEGORIES));
    CString said;
    auto old = ZuSetMessageBoxHandler([&](const CString& text, const CString&, UINT) {
        said = text;
        return IDOK;
    });
    EXPECT_EQ(GetDBCategoryBlob2Str(&kAlphaBeta), CString(L""));
    ZuSetMessageBoxHandler(old);
    EXPECT_EQ(said, CString(L"Cannot open Category Database"));
    EXPECT_EQ(AddCategoryRefByBlob(&kAlphaBeta, ZUID_CAT_APT_COUNT), 0);
    EXPECT_EQ(GetDBCategoryName(0), CString(L""));
}

TEST_F(PimStore, TheSeededHolidaysAsRecords)
{
    CCeDBDatabase db;
    ASSERT_TRUE(db.Create(ZU_DB_ANNIVERSARIES));
    for (const ZuHoliday& day : ZU_SEED_HOLIDAYS)
        ASSERT_NE(db.WriteRecord(ZuHolidayRecord(day), 0), 0u);
    EXPECT_EQ(db.GetRecordCount(), 12u);
    ASSERT_TRUE(db.SeekFirst());
    CCeDBRecord r;
    int lunar = 0;
    while (db.ReadCurrRecord(&r)) {
        EXPECT_EQ(r.GetNumProps(), 7);
        EXPECT_EQ(r.GetIdProp(ZUID_ANN_YEAR)->GetShort(), 0);
        EXPECT_EQ(r.GetIdProp(ZUID_ANN_RESERVED)->GetShort(), 0);
        lunar += r.GetIdProp(ZUID_ANN_LUNAR)->GetShort();
        if (CString(r.GetIdProp(ZUID_ANN_NAME)->GetString()) == CString(L"추석")) {
            EXPECT_EQ(r.GetIdProp(ZUID_ANN_MONTH)->GetShort(), 8);
            EXPECT_EQ(r.GetIdProp(ZUID_ANN_DAY)->GetShort(), 15);
            EXPECT_EQ(r.GetIdProp(ZUID_ANN_KIND)->GetShort(), 3);
        }
    }
    EXPECT_EQ(lunar, 3);
}

TEST(PimStoreLayout, NoDateIsAnyValueFrom4501On)
{
    FILETIME ft = ZuNoDate();
    EXPECT_EQ(ft.dwHighDateTime, 0x0CB34557u);
    EXPECT_EQ(ft.dwLowDateTime, 0xA3DD4000u);
    EXPECT_TRUE(ZuIsNoDate(ft));
    ft.dwLowDateTime -= 1;
    EXPECT_FALSE(ZuIsNoDate(ft));
    ft.dwHighDateTime = 0x7FFFFFFFu;
    EXPECT_TRUE(ZuIsNoDate(ft));
    EXPECT_EQ(ZUPID_TASK_COMPLETE, 0x410F0002u);
    EXPECT_EQ(ZUPID_APT_RECURRENCE, 0x40150041u);
    EXPECT_EQ(ZuCategoryCounter(ZU_SEL_CONTACTS), 0x4004);
    EXPECT_EQ(ZuCategoryCounter(ZU_SEL_CATEGORIES), 0);
}
