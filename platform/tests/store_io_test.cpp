// The store on a failing disk (the test VFS): a change of several writes is whole or absent when
// one of them fails, a -wal removed or cut under an open store and a read-only disk give a
// message or the last consistent state.
#include "cedbdatabase.h"
#include "lasterror.h"
#include "registry.h"
#include "testhome.h"
#include "testvfs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <unistd.h>

namespace {

using ZuTestVfs::Error;
using ZuTestVfs::Op;

class StoreIo : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ZuTestVfs::install(); }
    void SetUp() override
    {
        ZuTestVfs::reset();
        ZuTestVfs::watch(home.path());
    }
    void TearDown() override
    {
        ZuTestVfs::reset();
        ZuTestVfs::watch("");
    }
    ZuTestHome home;
};

CCeDBRecord bigRecord(int i)
{
    CCeDBRecord r;
    std::vector<BYTE> bytes(512 * 1024, static_cast<BYTE>(i));
    const CCeDBProp blob(CEBLOB{static_cast<DWORD>(bytes.size()), bytes.data()}, 0x0017);
    const CCeDBProp number(LONG(i), 0x4213);
    r.AddProp(&blob);
    r.AddProp(&number);
    return r;
}

// Record count and records walked, in one snapshot on a fresh connection; false when the store
// does not open (with the message in `error`).
bool countTasks(DWORD& count, DWORD& read, std::wstring& error)
{
    bool opened = false;
    std::thread([&] {
        const ZuStoreSnapshot snapshot;
        CCeDBDatabase tasks;
        opened = snapshot.ok() && tasks.Open(L"Tasks Database");
        if (!opened) {
            error = ZuLastErrorText().str();
            return;
        }
        count = tasks.GetRecordCount();
        read = 0;
        CCeDBRecord r;
        if (tasks.SeekFirst())
            while (tasks.ReadCurrRecord(&r))
                ++read;
        if (tasks.ReadFailed())
            error = ZuLastErrorText().str();
    }).join();
    return opened;
}

} // namespace

// A batch larger than the page cache writes to the -wal before it commits; when that write finds
// the disk full SQLite rolls the transaction back by itself. A caller that goes on (as one that
// does not look at every result might) must not get the later writes committed one by one.
TEST_F(StoreIo, ABatchWhoseWriteFailsKeepsNoneOfItsWrites)
{
    std::thread([] {
        CCeDBDatabase db;
        ASSERT_TRUE(db.Open(L"Tasks Database"));
        ASSERT_NE(db.WriteRecord(bigRecord(0), 0), 0u);  // one record before the batch
        ZuTestVfs::failNth(Op::Write, 200, Error::Enospc);
        ZuStoreBatch batch;
        ASSERT_TRUE(batch.ok());
        int failed = 0;
        for (int i = 1; i <= 60; ++i)
            failed += db.WriteRecord(bigRecord(i), 0) == 0;
        EXPECT_GT(failed, 0) << "the full disk was never met";
        EXPECT_FALSE(batch.Commit());
        EXPECT_NE(GetLastError(), 0u);
    }).join();
    DWORD count = 0, read = 0;
    std::wstring error;
    ASSERT_TRUE(countTasks(count, read, error)) << QString::fromStdWString(error).toStdString();
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(read, 1u);
}

// A program keeps the store open while its -wal is deleted or cut short beneath it (a cleaner,
// a stray script): its next calls and a second program's open give a message or a consistent
// store, never a crash.
TEST_F(StoreIo, AWalRemovedOrCutUnderAnOpenStoreGivesAMessageOrTheLastConsistentState)
{
    for (const bool cut : {false, true}) {
        SCOPED_TRACE(cut ? "cut to 100 bytes" : "deleted");
        ZuTestHome folder;
        ZuTestVfs::watch(folder.path());
        std::thread([&] {
            CCeDBDatabase db;
            ASSERT_TRUE(db.Open(L"Tasks Database"));
            for (int i = 0; i < 30; ++i)
                ASSERT_NE(db.WriteRecord(CCeDBRecord(), 0), 0u);
            const std::string wal = folder.file("pim.db-wal");
            if (cut)
                ASSERT_EQ(::truncate(wal.c_str(), 100), 0);
            else
                ASSERT_EQ(::unlink(wal.c_str()), 0);
            // The program goes on: every call succeeds or says why.
            for (int i = 0; i < 5; ++i) {
                SetLastError(0);
                if (!db.WriteRecord(CCeDBRecord(), 0)) {
                    EXPECT_NE(GetLastError(), 0u);
                }
            }
            DWORD count = 0, read = 0;
            std::wstring error;
            if (countTasks(count, read, error) && error.empty()) {
                EXPECT_EQ(read, count);
            }
        }).join();
        DWORD count = 0, read = 0;
        std::wstring error;
        if (countTasks(count, read, error)) {
            if (error.empty()) {
                EXPECT_EQ(read, count);
            }
        } else {
            EXPECT_FALSE(error.empty());
        }
    }
}

// A data folder on a read-only disk: the store and the registry read as they are; a save fails
// with ERROR_ACCESS_DENIED and a message naming the file; a new store cannot be made and says so.
TEST_F(StoreIo, AReadOnlyDiskIsReadAndRefusesWritesWithAMessage)
{
    std::thread([] {
        CCeDBDatabase db;
        ASSERT_TRUE(db.Open(L"Tasks Database"));
        ASSERT_NE(db.WriteRecord(CCeDBRecord(), 0), 0u);
    }).join();
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, L"Software\\Ro", 0, nullptr, 0, 0, nullptr, &key, nullptr), ERROR_SUCCESS);
    const DWORD one = 1;
    ASSERT_EQ(RegSetValueEx(key, L"nOne", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4), ERROR_SUCCESS);
    RegCloseKey(key);
    {
        ZuTestHome other;  // the registry lets go of the file
        RegOpenKeyEx(HKEY_CURRENT_USER, L"Software", 0, 0, &key);
        RegCloseKey(key);
    }

    ZuTestVfs::readOnly(true);
    std::thread([] {
        CCeDBDatabase db;
        ASSERT_TRUE(db.Open(L"Tasks Database")) << ZuLastErrorText().toUtf8();
        EXPECT_EQ(db.GetRecordCount(), 1u);
        SetLastError(0);
        EXPECT_EQ(db.WriteRecord(CCeDBRecord(), 0), 0u);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << ZuLastErrorText().toUtf8();
        EXPECT_NE(ZuLastErrorText().str().find(L"pim.db"), std::wstring::npos) << ZuLastErrorText().toUtf8();
    }).join();
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, L"Software\\Ro", 0, 0, &key), ERROR_SUCCESS) << ZuLastErrorText().toUtf8();
    DWORD value = 0, size = 4, type = 0;
    EXPECT_EQ(RegQueryValueEx(key, L"nOne", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size), ERROR_SUCCESS);
    EXPECT_EQ(value, 1u);
    EXPECT_NE(RegSetValueEx(key, L"nOne", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4), ERROR_SUCCESS);
    RegCloseKey(key);

    ZuTestHome fresh;
    ZuTestVfs::watch(fresh.path());
    std::thread([] {
        CCeDBDatabase db;
        SetLastError(0);
        EXPECT_FALSE(db.Open(L"Tasks Database"));
        EXPECT_NE(GetLastError(), 0u);
        EXPECT_NE(ZuLastErrorText().str().find(L"pim.db"), std::wstring::npos) << ZuLastErrorText().toUtf8();
    }).join();
}
