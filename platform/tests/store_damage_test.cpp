// Damaged stores and registries: every read that fails is an error, a store whose tables are not
// the suite's is refused and left as it is, files are private from their first moment, and a
// reader sees one snapshot.
#include "cedbdatabase.h"
#include "datafolder.h"
#include "lasterror.h"
#include "registry.h"
#include "storedamage.h"
#include "testhome.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <functional>
#include <sys/stat.h>
#include <thread>

namespace {

constexpr int kRecords = 300;

std::string subjectOf(int i)
{
    char text[64];
    std::snprintf(text, sizeof text, "probe-%03d-", i);
    return std::string(text) + std::string(60, 'x');
}

// A store of a few hundred appointments, written through the service, all in the file itself.
std::string cleanStore()
{
    static const std::string bytes = [] {
        ZuTestHome home;
        std::thread([] {
            CCeDBDatabase db;
            if (!db.Open(L"Appointments Database"))
                return;
            ZuStoreBatch batch;
            for (int i = 0; i < kRecords; ++i) {
                CCeDBRecord r;
                const std::string s = subjectOf(i);
                const CCeDBProp subject(std::wstring(s.begin(), s.end()).c_str(), 0x0037);
                const CCeDBProp start(FILETIME{static_cast<DWORD>(i) * 600000000u, 0x01DB0000}, 0x420D);
                const CCeDBProp duration(LONG(60), 0x4213);
                r.AddProp(&subject);
                r.AddProp(&start);
                r.AddProp(&duration);
                db.WriteRecord(r, 0);
            }
            batch.Commit();
        }).join();
        if (!ZuCheckpointFile(home.file("pim.db")))
            return std::string();
        return ZuFileBytes(home.file("pim.db"));
    }();
    return bytes;
}

struct Walk {
    bool opened = false;
    DWORD error = 0;  // of the open, or of the read that ended the walk
    int read = 0;
    int skipped = 0;
    bool failed = false;
};

// Walks "Appointments Database" of the store in `home` (unsorted, or by start) on a fresh
// connection, in one snapshot.
Walk walkStore(const std::string& home, bool byStart)
{
    Walk w;
    std::thread([&] {
        ::setenv("ZUPIMS_HOME", home.c_str(), 1);
        CCeDBDatabase db;
        CCeDBProp start;
        start.SetPropId(MAKEPROPID(0x420D, CEVT_FILETIME));
        const ZuStoreSnapshot snapshot;  // as a load and an export read
        w.opened = db.Open(L"Appointments Database", byStart ? &start : nullptr);
        if (!w.opened) {
            w.error = GetLastError();
            return;
        }
        CCeDBRecord r;
        if (db.SeekFirst()) {
            while (!db.IsEOF()) {
                if (db.ReadCurrRecord(&r))
                    ++w.read;
                else if (db.ReadFailed())
                    break;
            }
        }
        w.failed = db.ReadFailed();
        w.error = w.failed ? GetLastError() : 0;
        w.skipped = static_cast<int>(db.SkippedOids().size());
    }).join();
    return w;
}

enum class Outcome { Whole, OneSkipped, ReadError, Refused };

const char* nameOf(Outcome o)
{
    switch (o) {
    case Outcome::Whole: return "every record";
    case Outcome::OneSkipped: return "one record skipped and named";
    case Outcome::ReadError: return "a read error";
    default: return "refused";
    }
}

Outcome outcomeOf(const Walk& w)
{
    if (!w.opened)
        return Outcome::Refused;
    if (w.failed)
        return Outcome::ReadError;
    return w.skipped == 1 && w.read == kRecords - 1 ? Outcome::OneSkipped : Outcome::Whole;
}

// A walk that ends early without saying so: records lost without a word.
bool silentlyShort(const Walk& w)
{
    return w.opened && !w.failed && w.read + w.skipped != kRecords;
}

struct Damage {
    const char* what;
    std::function<bool(std::string&)> apply;
    Outcome expected;
    DWORD error;  // the last error of a refusal or a failed read
};

size_t firstRecordPage(const std::string& bytes)
{
    const std::vector<size_t> pages = ZuPagesHolding(bytes, ZuUtf16Bytes("probe-150-"));
    return pages.empty() ? 0 : pages.front();
}

}  // namespace

TEST(StoreDamage, EachDamageGivesItsOutcomeAndNeverASilentlyShortWalk)
{
    const std::string clean = cleanStore();
    ASSERT_GT(clean.size(), 20u * 4096);
    const size_t pageSize = ZuPageSize(clean);
    const Damage damages[] = {
        {"the type byte of a page of records",
            [&](std::string& b) {
                const size_t page = firstRecordPage(b);
                b[(page - 1) * pageSize] = '\x00';
                return page != 0;
            },
            Outcome::ReadError, ERROR_FILE_CORRUPT},
        {"the cell count of a page of records, zeroed",
            [&](std::string& b) {
                const size_t page = firstRecordPage(b);
                b[(page - 1) * pageSize + 3] = b[(page - 1) * pageSize + 4] = '\x00';
                return page != 0;
            },
            Outcome::ReadError, ERROR_FILE_CORRUPT},
        {"the length of one record's subject, made odd",
            [&](std::string& b) {
                const size_t at = b.find(ZuUtf16Bytes("probe-150-"));
                if (at == std::string::npos)
                    return false;
                b[at - 4] = static_cast<char>(b[at - 4] ^ 1);
                return true;
            },
            Outcome::OneSkipped, 0},
        {"one byte of a column name in the schema text on page 1",
            [](std::string& b) { return ZuChangeSchemaText(b, "props BLOB", 0, 'q'); }, Outcome::Refused,
            ERROR_FILE_CORRUPT},
        {"a version of the store no code knows",
            [](std::string& b) {
                b[63] = '\x07';
                return true;
            },
            Outcome::Refused, ERROR_INVALID_DATA},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        ZuTestHome home;
        std::string bytes = clean;
        ASSERT_TRUE(damage.apply(bytes));
        ASSERT_TRUE(ZuWriteFileBytes(home.file("pim.db"), bytes));
        for (bool byStart : {false, true}) {
            const Walk w = walkStore(home.path(), byStart);
            EXPECT_EQ(nameOf(outcomeOf(w)), std::string(nameOf(damage.expected))) << (byStart ? "by start" : "unsorted");
            if (damage.error) {
                EXPECT_EQ(w.error, damage.error);
            }
        }
        if (damage.expected == Outcome::Refused) {  // never written to
            EXPECT_EQ(ZuFileBytes(home.file("pim.db")), bytes);
        }
    }
}

TEST(StoreDamage, AByteFlippedAnywhereInTheRecordsIsReadWholeOrReported)
{
    const std::string clean = cleanStore();
    const size_t pageSize = ZuPageSize(clean);
    const size_t first = firstRecordPage(clean);
    ASSERT_GT(first, 2u);
    int reported = 0, trials = 0;
    for (size_t at = (first - 1) * pageSize; at < clean.size(); at += 977) {
        ZuTestHome home;
        std::string bytes = clean;
        bytes[at] = static_cast<char>(bytes[at] ^ 0x5A);
        ASSERT_TRUE(ZuWriteFileBytes(home.file("pim.db"), bytes));
        for (bool byStart : {false, true}) {
            const Walk w = walkStore(home.path(), byStart);
            EXPECT_FALSE(silentlyShort(w)) << "offset " << at << (byStart ? " by start: " : ": ") << w.read << " read, "
                                           << w.skipped << " skipped";
            reported += w.failed || !w.opened;
            ++trials;
        }
    }
    EXPECT_GT(trials, 20);
    EXPECT_GT(reported, 0);
}

TEST(StoreDamage, ARegistryWhoseTablesAreNotTheSuitesIsReportedAndNotWritten)
{
    ZuTestHome home;
    const std::wstring key = L"Software\\Probe";
    {
        HKEY h = nullptr;
        ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, 0, nullptr, &h, nullptr), ERROR_SUCCESS);
        const DWORD one = 1;
        ASSERT_EQ(RegSetValueEx(h, L"nOne", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4), ERROR_SUCCESS);
        RegCloseKey(h);
    }
    ASSERT_TRUE(ZuCheckpointFile(home.file("registry.db")));
    std::string bytes = ZuFileBytes(home.file("registry.db"));
    ASSERT_TRUE(ZuChangeSchemaText(bytes, "type INTEGER", 1, 'z'));
    ZuTestHome damaged;  // another data folder: the registry opens its file again
    ASSERT_TRUE(ZuWriteFileBytes(damaged.file("registry.db"), bytes));
    HKEY h = nullptr;
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, 0, nullptr, &h, nullptr), ERROR_FILE_CORRUPT);
    EXPECT_NE(ZuLastErrorText().str().find(L"registry.db"), std::wstring::npos) << ZuLastErrorText().toUtf8();
    const DWORD two = 2;
    EXPECT_NE(RegSetValueEx(HKEY_CURRENT_USER, L"nTwo", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&two), 4), ERROR_SUCCESS);
    EXPECT_EQ(ZuFileBytes(damaged.file("registry.db")), bytes);
}

TEST(StoreDamage, FilesArePrivateFromTheStartAndAnOpenFolderIsClosed)
{
    ZuTestHome home;
    const std::string folder = home.path() + "/open";
    ASSERT_EQ(::mkdir(folder.c_str(), 0777), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
    ::setenv("ZUPIMS_HOME", folder.c_str(), 1);
    const mode_t old = ::umask(0);
    std::thread([&folder] {
        CCeDBDatabase db;
        EXPECT_TRUE(db.Open(L"Tasks Database"));
        EXPECT_NE(db.WriteRecord(CCeDBRecord(), 0), 0u);
        DWORD one = 1;
        EXPECT_EQ(RegSetValueEx(HKEY_CURRENT_USER, L"nOne", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4),
            ERROR_SUCCESS);
        struct stat st {};
        ASSERT_EQ(::stat(folder.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        // While the connections are open, with their -wal and -shm beside the files.
        for (const char* name : {"pim.db", "pim.db-wal", "pim.db-shm", "registry.db", "registry.db-wal"}) {
            ASSERT_EQ(::stat((folder + "/" + name).c_str(), &st), 0) << name;
            EXPECT_EQ(st.st_mode & 0777, 0600u) << name;
        }
    }).join();
    ::umask(old);
}

TEST(StoreDamage, AReaderSeesOneSnapshotUntilItEnds)
{
    ZuTestHome home;
    CCeDBDatabase db;
    ASSERT_TRUE(db.Open(L"Tasks Database"));
    ASSERT_NE(db.WriteRecord(CCeDBRecord(), 0), 0u);
    const auto countByOtherThread = [] {
        DWORD n = 0;
        std::thread([&n] {
            CCeDBDatabase other;
            if (other.Open(L"Tasks Database"))
                n = other.GetRecordCount();
        }).join();
        return n;
    };
    const auto writeByOtherThread = [] {
        std::thread([] {
            CCeDBDatabase other;
            if (other.Open(L"Tasks Database"))
                other.WriteRecord(CCeDBRecord(), 0);
        }).join();
    };
    {
        const ZuStoreSnapshot snapshot;
        ASSERT_TRUE(snapshot.ok());
        const ULONGLONG stamp = ZuStoreChangeStamp();
        writeByOtherThread();
        EXPECT_EQ(countByOtherThread(), 2u);
        // Here the other thread's record is not there yet, in the walk, the count or the stamp.
        EXPECT_EQ(db.GetRecordCount(), 1u);
        ASSERT_TRUE(db.SeekFirst());
        CCeDBRecord r;
        int n = 0;
        while (db.ReadCurrRecord(&r))
            ++n;
        EXPECT_EQ(n, 1);
        EXPECT_EQ(ZuStoreChangeStamp(), stamp);
    }
    EXPECT_EQ(db.GetRecordCount(), 2u);
}

TEST(StoreDamage, AStoreWithoutAllOfItsWalOpensItsLastConsistentState)
{
    ZuTestHome home;
    // A program that keeps the store open, its last commits still in the -wal.
    CCeDBDatabase db;
    ASSERT_TRUE(db.Open(L"Tasks Database"));
    for (int i = 0; i < 40; ++i)
        ASSERT_NE(db.WriteRecord(CCeDBRecord(), 0), 0u);
    const std::string wal = ZuFileBytes(home.file("pim.db-wal"));
    ASSERT_GT(wal.size(), 4096u);
    struct Case {
        const char* what;
        bool withWal;
        size_t walBytes;
    } cases[] = {
        {"copied without its -wal, as a naive backup does", false, 0},
        {"with half its -wal", true, wal.size() / 2},
        {"with a -wal cut inside its header", true, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ZuTestHome copy;
        ASSERT_TRUE(ZuWriteFileBytes(copy.file("pim.db"), ZuFileBytes(home.file("pim.db"))));
        if (c.withWal) {
            ASSERT_TRUE(ZuWriteFileBytes(copy.file("pim.db-wal"), wal.substr(0, c.walBytes)));
        }
        std::thread([] {
            const ZuStoreSnapshot snapshot;
            CCeDBDatabase tasks;
            ASSERT_TRUE(tasks.Open(L"Tasks Database")) << ZuLastErrorText().toUtf8();
            const DWORD count = tasks.GetRecordCount();
            DWORD read = 0;
            CCeDBRecord r;
            if (tasks.SeekFirst())
                while (tasks.ReadCurrRecord(&r))
                    ++read;
            EXPECT_FALSE(tasks.ReadFailed()) << ZuLastErrorText().toUtf8();
            EXPECT_EQ(read, count);
            EXPECT_LE(count, 40u);
        }).join();
    }
}

// A flipped byte in the registry's index of value names: a write would miss the row it replaces
// and add a second one (integrity_check sees it, the names of the tables do not show it). The
// file is refused at open, with a message naming it, and never written.
TEST(StoreDamage, ARegistryWithADamagedIndexIsReportedAndNotWritten)
{
    ZuTestHome home;
    const wchar_t* key = L"Software\\Tandemoor\\Pims\\Calendar";
    {
        HKEY h = nullptr;
        ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, key, 0, nullptr, 0, 0, nullptr, &h, nullptr), ERROR_SUCCESS);
        for (const wchar_t* name : {L"nWvStartTime", L"nWvEndTime", L"bPrivateFlag"}) {
            const DWORD v = 8;
            ASSERT_EQ(RegSetValueEx(h, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), 4), ERROR_SUCCESS);
        }
        RegCloseKey(h);
    }
    ASSERT_TRUE(ZuCheckpointFile(home.file("registry.db")));
    std::string bytes = ZuFileBytes(home.file("registry.db"));
    ASSERT_TRUE(ZuDamageIndexHolding(bytes, "nwvendtime"));  // the table's own page keeps it
    ZuTestHome damaged;
    ASSERT_TRUE(ZuWriteFileBytes(damaged.file("registry.db"), bytes));
    HKEY h = nullptr;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, key, 0, 0, &h), ERROR_FILE_CORRUPT);
    EXPECT_NE(ZuLastErrorText().str().find(L"registry.db: the file is damaged"), std::wstring::npos)
        << ZuLastErrorText().toUtf8();
    const DWORD end = 22;
    EXPECT_NE(RegSetValueEx(HKEY_CURRENT_USER, L"nWvEndTime", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&end), 4),
        ERROR_SUCCESS);
    EXPECT_EQ(ZuFileBytes(damaged.file("registry.db")), bytes);
}
