// The property database service: databases, walks, values, writes, notifications, bad stores.
#include "cedbdatabase.h"
#include "cedbstore_p.h"
#include "childprocess.h"
#include "lasterror.h"
#include "storefaults.h"
#include "testhome.h"
#include "windowmessage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// A window that records the messages it receives, with the thread it received them on.
class Recorder : public QObject {
public:
    struct Msg {
        UINT message;
        CEOID oid;
    };
    std::vector<Msg> got;
    bool wrongThread = false;

    bool event(QEvent* e) override
    {
        if (e->type() != ZuMessageEvent::eventType())
            return QObject::event(e);
        auto* m = static_cast<ZuMessageEvent*>(e);
        if (QThread::currentThread() != thread())
            wrongThread = true;
        got.push_back(Msg{m->message(), static_cast<CEOID>(m->wParam())});
        return true;
    }

    // Runs the event loop until `n` messages arrived or five seconds passed.
    bool waitFor(size_t n)
    {
        QElapsedTimer t;
        t.start();
        while (got.size() < n && t.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(2);
        }
        return got.size() >= n;
    }
};

CCeDBRecord record(std::initializer_list<CCeDBProp> props)
{
    CCeDBRecord r;
    for (const CCeDBProp& p : props)
        r.AddProp(&p);
    return r;
}

std::vector<std::wstring> walkStrings(CCeDBDatabase& db, WORD ident)
{
    std::vector<std::wstring> out;
    CCeDBRecord r;
    if (!db.SeekFirst())
        return out;
    while (db.ReadCurrRecord(&r)) {
        const CCeDBProp* p = r.GetIdProp(ident);
        out.push_back(p && p->GetString() ? p->GetString() : L"-");
    }
    return out;
}

std::string helperPath()
{
    return ZuTestProgramFolder() + "/cedb_helper";
}

// Whether a program run as nobody may read the file: others may search every folder above it
// and read the file itself.
bool othersCanRead(const std::filesystem::path& file)
{
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0 || !(st.st_mode & S_IROTH))
        return false;
    for (std::filesystem::path folder = file.parent_path(); !folder.empty(); folder = folder.parent_path()) {
        if (::stat(folder.c_str(), &st) != 0 || !(st.st_mode & S_IXOTH))
            return false;
        if (folder == folder.root_path())
            break;
    }
    return true;
}

// The helper as nobody can run it, wherever it was built: the helper, and the libraries it
// loads (as ldd finds them) that nobody cannot read, are copied into `folder`; the command line
// puts that folder, then the folders of the other libraries, on the library path.
std::vector<std::string> helperCommandForNobody(const std::filesystem::path& folder, std::string* error)
{
    namespace fs = std::filesystem;
    const fs::path helper = fs::absolute(helperPath());
    ZuChildProcess ldd;
    if (!ldd.start("ldd", {helper.string()}) || !ldd.waitForFinished(20000) || ldd.exitCode() != 0) {
        *error = "ldd cannot list the helper's libraries: " + ldd.err();
        return {};
    }
    std::string libraryPath = folder.string();
    std::set<std::string> listed;
    std::istringstream lines(ldd.out());
    for (std::string line; std::getline(lines, line);) {
        // "\tlibZuPlatform.so => /path/to/libZuPlatform.so (0x...)"
        const size_t name = line.find_first_not_of(" \t");
        const size_t arrow = line.find(" => ");
        const size_t end = line.find(" (", arrow);
        if (arrow == std::string::npos || end == std::string::npos || line[arrow + 4] != '/')
            continue;
        const std::string needed = line.substr(name, arrow - name);
        const fs::path found = line.substr(arrow + 4, end - arrow - 4);
        std::error_code failed;
        if (!othersCanRead(found)) {
            fs::copy_file(found, folder / needed, fs::copy_options::overwrite_existing, failed);
            if (!failed)
                fs::permissions(folder / needed, fs::perms(0755), failed);
            if (failed) {
                *error = "cannot copy " + found.string() + ": " + failed.message();
                return {};
            }
        } else if (listed.insert(found.parent_path().string()).second) {
            libraryPath += ":" + found.parent_path().string();
        }
    }
    std::error_code failed;
    fs::copy_file(helper, folder / helper.filename(), fs::copy_options::overwrite_existing, failed);
    if (!failed)
        fs::permissions(folder / helper.filename(), fs::perms(0755), failed);
    if (!failed)
        fs::permissions(folder, fs::perms(0755), failed);
    if (failed) {
        *error = "cannot copy the helper: " + failed.message();
        return {};
    }
    return {"--reuid=65534", "--regid=65534", "--clear-groups", "env", "LD_LIBRARY_PATH=" + libraryPath,
        (folder / helper.filename()).string()};
}

// The first column of the first row of `sql` on the store file, as lower-case hex.
std::string storedHex(const std::string& file, const std::string& sql)
{
    sqlite3* raw = nullptr;
    sqlite3_stmt* st = nullptr;
    std::string hex;
    if (sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK
        && sqlite3_prepare_v2(raw, sql.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) {
        const auto* b = static_cast<const unsigned char*>(sqlite3_column_blob(st, 0));
        for (int i = 0; i < sqlite3_column_bytes(st, 0); ++i) {
            hex += "0123456789abcdef"[b[i] >> 4];
            hex += "0123456789abcdef"[b[i] & 0xF];
        }
    }
    sqlite3_finalize(st);
    sqlite3_close(raw);
    return hex;
}

bool runSql(const std::string& file, const std::string& sql)
{
    sqlite3* raw = nullptr;
    const bool ok = sqlite3_open(file.c_str(), &raw) == SQLITE_OK
        && sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(raw);
    return ok;
}

class CeDb : public ::testing::Test {
protected:
    ZuTestHome home;
};

} // namespace

TEST_F(CeDb, DatabasesAreCreatedFoundAndDeletedByName)
{
    EXPECT_FALSE(CCeDBDatabase::Exists(L"ZUContacts Database"));
    CCeDBDatabase db;
    EXPECT_FALSE(db.Open(L"ZUContacts Database"));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    ASSERT_TRUE(db.Create(L"ZUContacts Database"));
    EXPECT_TRUE(db.IsOpen());
    EXPECT_TRUE(CCeDBDatabase::Exists(L"zucontacts database"));  // names ignore case
    CCeDBDatabase again;
    EXPECT_FALSE(again.Create(L"ZUContacts Database"));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);

    ASSERT_NE(db.WriteRecord(record({CCeDBProp(L"x", 0x0037)}), 0), 0u);
    EXPECT_TRUE(db.Delete());
    EXPECT_FALSE(db.IsOpen());
    EXPECT_FALSE(CCeDBDatabase::Exists(L"ZUContacts Database"));
    ASSERT_TRUE(db.Create(L"ZUContacts Database"));
    EXPECT_EQ(db.GetRecordCount(), 0u);  // a deleted database takes its records with it
}

TEST_F(CeDb, ANewStoreHoldsTheFourPimDatabases)
{
    const std::pair<const wchar_t*, CEPROPID> pims[] = {{L"Appointments Database", MAKEPROPID(0x420D, CEVT_FILETIME)},
        {L"Contacts Database", MAKEPROPID(0x4013, CEVT_LPWSTR)}, {L"Tasks Database", MAKEPROPID(0x4105, CEVT_FILETIME)},
        {L"\\Categories Database", MAKEPROPID(0x4002, CEVT_I2)}};
    for (const auto& [name, sortId] : pims) {
        CCeDBProp sort;
        sort.SetPropId(sortId);
        CCeDBDatabase db;
        EXPECT_TRUE(db.Open(name, &sort)) << CString(name).toUtf8();
        EXPECT_EQ(db.GetRecordCount(), 0u);
        EXPECT_TRUE(db.IsEOF());
    }
    CCeDBDatabase db;
    EXPECT_FALSE(db.Create(L"Contacts Database"));
}

TEST_F(CeDb, CreateRefusesWhatItCannotKeep)
{
    SORTORDERSPEC five[5] = {{MAKEPROPID(1, CEVT_I2), 0}, {MAKEPROPID(2, CEVT_I2), 0}, {MAKEPROPID(3, CEVT_I2), 0},
        {MAKEPROPID(4, CEVT_I2), 0}, {MAKEPROPID(5, CEVT_I2), 0}};
    SORTORDERSPEC descending = {MAKEPROPID(1, CEVT_I2), CEDB_SORT_DESCENDING};
    SORTORDERSPEC badType = {MAKEPROPID(1, 7), 0};
    CCeDBDatabase db;
    EXPECT_FALSE(db.Create(L"A", 0, 5, five));
    EXPECT_FALSE(db.Create(L"A", 0, 1, &descending));
    EXPECT_FALSE(db.Create(L"A", 0, 1, &badType));
    EXPECT_FALSE(db.Create(L""));
    EXPECT_FALSE(db.Create(nullptr));
    EXPECT_FALSE(db.Create(std::wstring(33, L'n').c_str()));
    EXPECT_TRUE(db.Create(L"A", 0, 4, five));
    CCeDBProp notASortOrder(short(0), 5);
    EXPECT_FALSE(db.Open(L"A", &notASortOrder));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(CeDb, EveryValueTypeRoundTrips)
{
    CCeDBDatabase db;
    ASSERT_TRUE(db.Create(L"Values"));
    FILETIME ft{0xA3DD4000u, 0x0CB34557u};
    BYTE bytes[] = {0, 1, 2, 0xFF};
    CEBLOB blob{sizeof bytes, bytes};
    CCeDBProp ui2(USHORT(65535), 0x0002);
    const CEOID oid = db.WriteRecord(record({CCeDBProp(short(-2), 0x0001), ui2, CCeDBProp(LONG(-70000), 0x0003),
                                         CCeDBProp(ULONG(0xFFFFFFFFu), 0x0004), CCeDBProp(ft, 0x0005),
                                         CCeDBProp(L"가나 A\U0001F600", 0x0006), CCeDBProp(L"", 0x0007),
                                         CCeDBProp(blob, 0x0008), CCeDBProp(CEBLOB{}, 0x0009)}),
        0);
    ASSERT_NE(oid, 0u);
    ASSERT_TRUE(db.SeekToRecord(oid));
    CCeDBRecord r;
    ASSERT_TRUE(db.ReadCurrRecord(&r));
    EXPECT_EQ(r.GetOid(), oid);
    ASSERT_EQ(r.GetNumProps(), 9);
    EXPECT_EQ(r.GetIdProp(1)->GetShort(), -2);
    EXPECT_EQ(r.GetIdProp(2)->GetUShort(), 65535);
    EXPECT_EQ(r.GetIdProp(3)->GetLong(), -70000);
    EXPECT_EQ(r.GetIdProp(4)->GetULong(), 0xFFFFFFFFu);
    EXPECT_EQ(r.GetIdProp(5)->GetFiletime().dwHighDateTime, 0x0CB34557u);
    EXPECT_EQ(r.GetIdProp(5)->GetFiletime().dwLowDateTime, 0xA3DD4000u);
    EXPECT_STREQ(r.GetIdProp(6)->GetString(), L"가나 A\U0001F600");
    EXPECT_STREQ(r.GetIdProp(7)->GetString(), L"");
    CEBLOB back = r.GetIdProp(8)->GetBlob();
    ASSERT_EQ(back.dwCount, 4u);
    EXPECT_EQ(std::vector<BYTE>(back.lpb, back.lpb + 4), std::vector<BYTE>(bytes, bytes + 4));
    EXPECT_EQ(r.GetIdProp(9)->GetBlob().dwCount, 0u);
    EXPECT_EQ(r.GetIdProp(9)->GetType(), CEVT_BLOB);
    // A getter of another type gives nothing rather than reinterpreting the value.
    EXPECT_EQ(r.GetIdProp(6)->GetLong(), 0);
    EXPECT_EQ(r.GetIdProp(1)->GetString(), nullptr);
}

TEST_F(CeDb, OneIdentifierMayCarryTwoTypes)
{
    // A task's 0x410F is both the completion flag (I2) and the completion date (FILETIME).
    CCeDBDatabase db;
    ASSERT_TRUE(db.Open(L"Tasks Database"));
    FILETIME done{1, 2};
    const CEOID oid = db.WriteRecord(record({CCeDBProp(done, 0x410F), CCeDBProp(short(1), 0x410F)}), 0);
    ASSERT_TRUE(db.SeekToRecord(oid));
    CCeDBRecord r;
    ASSERT_TRUE(db.ReadCurrRecord(&r));
    EXPECT_EQ(r.GetIdProp(0x410F)->GetType(), CEVT_FILETIME);  // the first one
    ASSERT_NE(r.GetFullIdProp(0x410F0002), nullptr);
    EXPECT_EQ(r.GetFullIdProp(0x410F0002)->GetShort(), 1);
    EXPECT_EQ(r.GetFullIdProp(0x410F0003), nullptr);

    // Writing the flag again replaces only the flag.
    ASSERT_EQ(db.WriteRecord(record({CCeDBProp(short(0), 0x410F)}), oid), oid);
    ASSERT_TRUE(db.SeekToRecord(oid));
    ASSERT_TRUE(db.ReadCurrRecord(&r));
    EXPECT_EQ(r.GetNumProps(), 2);
    EXPECT_EQ(r.GetFullIdProp(0x410F0002)->GetShort(), 0);
    EXPECT_EQ(r.GetFullIdProp(0x410F0040)->GetFiletime().dwHighDateTime, 2u);
}

TEST_F(CeDb, WritesReplaceTheGivenPropertiesAndKeepTheOthers)
{
    CCeDBDatabase db;
    ASSERT_TRUE(db.Open(L"Appointments Database"));
    const CEOID oid = db.WriteRecord(
        record({CCeDBProp(L"subject", 0x0037), CCeDBProp(L"room", 0x4208), CCeDBProp(LONG(30), 0x4213)}), 0);
    ASSERT_NE(oid, 0u);
    CCeDBProp gone(L"", 0x4208, CEDB_PROPDELETE);
    EXPECT_EQ(db.WriteRecord(record({CCeDBProp(LONG(60), 0x4213), gone, CCeDBProp(short(1), 0x8000)}), oid), oid);
    ASSERT_TRUE(db.SeekToRecord(oid));
    CCeDBRecord r;
    ASSERT_TRUE(db.ReadCurrRecord(&r));
    EXPECT_STREQ(r.GetIdProp(0x0037)->GetString(), L"subject");
    EXPECT_EQ(r.GetIdProp(0x4208), nullptr);
    EXPECT_EQ(r.GetIdProp(0x4213)->GetLong(), 60);
    EXPECT_EQ(r.GetIdProp(0x8000)->GetShort(), 1);
    EXPECT_EQ(db.GetRecordCount(), 1u);

    EXPECT_EQ(db.WriteRecord(r, 999999), 0u);  // no such record
    EXPECT_EQ(GetLastError(), ERROR_NOT_FOUND);
    CCeDBDatabase other;
    ASSERT_TRUE(other.Create(L"Other"));
    EXPECT_EQ(other.WriteRecord(r, oid), 0u);  // a record of another database
}

// The test hook stands for a full disk: the refused writes leave the record as it was.
TEST_F(CeDb, WritesATestRefusesStoreNothing)
{
    CCeDBDatabase db;
    ASSERT_TRUE(db.Open(L"Appointments Database"));
    const CEOID oid = db.WriteRecord(record({CCeDBProp(L"kept", 0x0037)}), 0);
    ASSERT_NE(oid, 0u);
    ZuFailStoreWrites(3);
    EXPECT_EQ(db.WriteRecord(record({CCeDBProp(L"new", 0x0037)}), 0), 0u);
    EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
    EXPECT_EQ(db.WriteRecord(record({CCeDBProp(L"changed", 0x0037)}), oid), 0u);
    EXPECT_FALSE(db.DeleteRecord(oid));
    EXPECT_EQ(db.GetRecordCount(), 1u);
    ASSERT_TRUE(db.SeekToRecord(oid));
    CCeDBRecord r;
    ASSERT_TRUE(db.ReadCurrRecord(&r));
    EXPECT_STREQ(r.GetIdProp(0x0037)->GetString(), L"kept");
    EXPECT_NE(db.WriteRecord(record({CCeDBProp(L"after", 0x0037)}), 0), 0u);  // only three were refused
    ZuFailStoreWrites(0);
}

TEST_F(CeDb, ObjectIdsAreNeverReused)
{
    CCeDBDatabase db;
    ASSERT_TRUE(db.Create(L"Ids"));
    std::set<CEOID> seen;
    CEOID last = 0;
    for (int i = 0; i < 5; ++i) {
        last = db.WriteRecord(record({CCeDBProp(short(i), 1)}), 0);
        ASSERT_NE(last, 0u);
        seen.insert(last);
    }
    ASSERT_TRUE(db.DeleteRecord(last));
    EXPECT_FALSE(db.DeleteRecord(last));
    // Another connection (as after a restart) still hands out fresh ids.
    CEOID fresh = 0;
    std::thread([&] {
        CCeDBDatabase again;
        if (again.Open(L"Ids"))
            fresh = again.WriteRecord(record({CCeDBProp(short(9), 1)}), 0);
    }).join();
    EXPECT_NE(fresh, 0u);
    EXPECT_FALSE(seen.count(fresh));
    EXPECT_GT(fresh, last);
}

struct SortCase {
    const char* name;
    CEPROPID sortProp;
    DWORD flags;
    std::vector<std::wstring> stored;  // "" = record without the property
    std::vector<std::wstring> walked;
};

void PrintTo(const SortCase& c, std::ostream* os)
{
    *os << c.name;
}

class CeDbSort : public CeDb, public ::testing::WithParamInterface<SortCase> {};

TEST_P(CeDbSort, WalksFollowTheSortProperty)
{
    const SortCase& c = GetParam();
    SORTORDERSPEC order{c.sortProp, c.flags};
    CCeDBDatabase db;
    ASSERT_TRUE(db.Create(L"Sorted", 0, 1, &order));
    for (const std::wstring& s : c.stored) {
        CCeDBRecord r = record({CCeDBProp(s.c_str(), 0x0001)});
        if (!s.empty()) {
            CCeDBProp key(s.c_str(), PROPID_IDENT(c.sortProp));
            if (TypeFromPropID(c.sortProp) == CEVT_I4)
                key.SetLong(std::stol(s));
            r.AddProp(&key);
        }
        ASSERT_NE(db.WriteRecord(r, 0), 0u);
    }
    CCeDBProp sort;
    sort.SetPropId(c.sortProp);
    ASSERT_TRUE(db.Open(L"Sorted", &sort));
    EXPECT_EQ(walkStrings(db, 0x0001), c.walked);
    EXPECT_TRUE(db.IsEOF());
}

INSTANTIATE_TEST_SUITE_P(Orders, CeDbSort,
    ::testing::Values(
        SortCase{"CaseInsensitiveLatinTiesByOid", MAKEPROPID(0x4013, CEVT_LPWSTR), CEDB_SORT_CASEINSENSITIVE,
            {L"banana", L"Apple", L"cherry", L"apple", L"Ápple", L"BANANA"},
            {L"Apple", L"apple", L"banana", L"BANANA", L"cherry", L"Ápple"}},
        SortCase{"AscendingIsCaseSensitive", MAKEPROPID(0x4013, CEVT_LPWSTR), 0,
            {L"b", L"B", L"a", L"A"}, {L"A", L"B", L"a", L"b"}},
        SortCase{"HangulInUnicodeOrderAfterLatin", MAKEPROPID(0x4013, CEVT_LPWSTR), CEDB_SORT_CASEINSENSITIVE,
            {L"하나", L"가방", L"Zeta", L"나무", L"각", L"alpha"}, {L"alpha", L"Zeta", L"가방", L"각", L"나무", L"하나"}},
        SortCase{"RecordsWithoutThePropertyComeLast", MAKEPROPID(0x4013, CEVT_LPWSTR), CEDB_SORT_CASEINSENSITIVE,
            {L"", L"b", L"", L"a"}, {L"a", L"b", L"", L""}},
        SortCase{"SignedNumbers", MAKEPROPID(0x4002, CEVT_I4), 0, {L"10", L"-5", L"0", L"-70000", L"9"},
            {L"-70000", L"-5", L"0", L"9", L"10"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CeDb, SeeksByObjectIdIndexAndValueContinueInTheOpensOrder)
{
    SORTORDERSPEC specs[2] = {{MAKEPROPID(0x4001, CEVT_LPWSTR), CEDB_SORT_CASEINSENSITIVE}, {MAKEPROPID(0x4002, CEVT_I2), 0}};
    CCeDBDatabase db;
    ASSERT_TRUE(db.Create(L"Categories copy", 0, 2, specs));
    const wchar_t* names[] = {L"Alpha", L"Gamma", L"beta", L"Beta", L"Delta"};
    const short indexes[] = {0, 3, 9, 1, 2};
    std::vector<CEOID> oids;
    for (int i = 0; i < 5; ++i)
        oids.push_back(db.WriteRecord(record({CCeDBProp(names[i], 0x4001), CCeDBProp(indexes[i], 0x4002)}), 0));

    CCeDBProp byName(L"", 0x4001);
    ASSERT_TRUE(db.Open(L"Categories copy", &byName));
    EXPECT_EQ(db.GetRecordCount(), 5u);
    ASSERT_TRUE(db.SeekValueFirstEqual(CCeDBProp(L"BETA", 0x4001)));
    EXPECT_EQ(db.GetCurrentOid(), oids[2]);  // "beta" was written before "Beta"
    EXPECT_EQ(walkStrings(db, 0x4001).size(), 5u);
    ASSERT_TRUE(db.SeekValueFirstEqual(CCeDBProp(L"BETA", 0x4001)));
    CCeDBRecord r;
    std::vector<std::wstring> rest;
    while (db.ReadCurrRecord(&r))
        rest.push_back(r.GetIdProp(0x4001)->GetString());
    EXPECT_EQ(rest, (std::vector<std::wstring>{L"beta", L"Beta", L"Delta", L"Gamma"}));
    EXPECT_FALSE(db.SeekValueFirstEqual(CCeDBProp(L"Omega", 0x4001)));
    EXPECT_FALSE(db.SeekValueFirstEqual(CCeDBProp(short(3), 0x4002)));  // not this open's order

    ASSERT_TRUE(db.SeekToRecord(oids[4]));  // Delta, then on in name order
    ASSERT_TRUE(db.ReadCurrRecord(&r));
    EXPECT_STREQ(r.GetIdProp(0x4001)->GetString(), L"Delta");
    ASSERT_TRUE(db.ReadCurrRecord(&r));
    EXPECT_STREQ(r.GetIdProp(0x4001)->GetString(), L"Gamma");
    EXPECT_FALSE(db.ReadCurrRecord(&r));
    EXPECT_TRUE(db.IsEOF());
    EXPECT_FALSE(db.SeekToRecord(123456));

    ASSERT_TRUE(db.SeekToIndex(1));
    ASSERT_TRUE(db.ReadCurrRecord(&r));
    EXPECT_STREQ(r.GetIdProp(0x4001)->GetString(), L"beta");
    EXPECT_FALSE(db.SeekToIndex(5));

    CCeDBProp byIndex(short(0), 0x4002);
    ASSERT_TRUE(db.Open(L"Categories copy", &byIndex));
    ASSERT_TRUE(db.SeekValueFirstEqual(CCeDBProp(short(9), 0x4002)));
    ASSERT_TRUE(db.ReadCurrRecord(&r));
    EXPECT_STREQ(r.GetIdProp(0x4001)->GetString(), L"beta");

    // At least a value: from the first such record on, whether or not one equals it.
    ASSERT_TRUE(db.SeekValueGreaterOrEqual(CCeDBProp(short(2), 0x4002)));
    rest.clear();
    while (db.ReadCurrRecord(&r))
        rest.push_back(r.GetIdProp(0x4001)->GetString());
    EXPECT_EQ(rest, (std::vector<std::wstring>{L"Delta", L"Gamma", L"beta"}));
    ASSERT_TRUE(db.SeekValueGreaterOrEqual(CCeDBProp(short(4), 0x4002)));
    EXPECT_EQ(db.GetCurrentOid(), oids[2]);
    EXPECT_FALSE(db.SeekValueGreaterOrEqual(CCeDBProp(short(10), 0x4002)));
    EXPECT_TRUE(db.IsEOF());
    ASSERT_TRUE(db.SeekValueGreaterOrEqual(CCeDBProp(short(-5), 0x4002)));
    EXPECT_EQ(db.GetCurrentOid(), oids[0]);
    EXPECT_FALSE(db.SeekValueGreaterOrEqual(CCeDBProp(L"A", 0x4001)));  // not this open's order
}

// A store made before the appointments database had its last three orders gains them, with
// the keys of the records it holds, the first time a program opens it.
TEST_F(CeDb, AnOlderStoreGainsTheAppointmentOrders)
{
    const CEPROPID start = MAKEPROPID(0x420D, CEVT_FILETIME);
    std::vector<CEOID> oids;
    std::thread([&] {  // a connection of its own, so that this thread's first open sees the old store
        CCeDBDatabase db;
        ASSERT_TRUE(db.Open(L"Appointments Database"));
        const LONG durations[] = {60, 20000, 0};
        for (int i = 0; i < 3; ++i) {
            FILETIME ft{static_cast<DWORD>(1000 - i), 0x01D00000};
            CCeDBRecord r = record({CCeDBProp(ft, 0x420D), CCeDBProp(durations[i], 0x4213)});
            const CCeDBProp recurring(short(1), 0x4223);
            if (i == 1)
                r.AddProp(&recurring);
            oids.push_back(db.WriteRecord(r, 0));
        }
    }).join();
    {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(home.file("pim.db").c_str(), &raw), SQLITE_OK);
        const unsigned char oneOrder[8] = {0x40, 0, 0x0D, 0x42, 0, 0, 0, 0};  // 0x420D FILETIME, ascending
        sqlite3_stmt* st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(raw, "UPDATE zu_db SET sorts=?1 WHERE name='Appointments Database'", -1, &st, nullptr), SQLITE_OK);
        sqlite3_bind_blob(st, 1, oneOrder, 8, SQLITE_TRANSIENT);
        EXPECT_EQ(sqlite3_step(st), SQLITE_DONE);
        sqlite3_finalize(st);
        EXPECT_EQ(sqlite3_exec(raw, "UPDATE zu_rec SET m1=NULL, k1=NULL, m2=NULL, k2=NULL, m3=NULL, k3=NULL; PRAGMA user_version=0",
                      nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(raw);
    }
    CCeDBProp byRecurring(short(0), 0x4223), byDuration(LONG(0), 0x4213), byStart;
    byStart.SetPropId(start);
    CCeDBDatabase db;
    ASSERT_TRUE(db.Open(L"Appointments Database", &byRecurring));
    ASSERT_TRUE(db.SeekValueFirstEqual(CCeDBProp(short(1), 0x4223)));
    CCeDBRecord r;
    ASSERT_TRUE(db.ReadCurrRecord(&r));
    EXPECT_EQ(r.GetOid(), oids[1]);
    ASSERT_TRUE(db.Open(L"Appointments Database", &byDuration));
    ASSERT_TRUE(db.SeekValueGreaterOrEqual(CCeDBProp(LONG(61), 0x4213)));
    ASSERT_TRUE(db.ReadCurrRecord(&r));
    EXPECT_EQ(r.GetOid(), oids[1]);
    ASSERT_TRUE(db.Open(L"Appointments Database", &byStart));  // the first order is as it was
    ASSERT_TRUE(db.ReadCurrRecord(&r));
    EXPECT_EQ(r.GetOid(), oids[2]);
    CCeDBProp lunar(short(0), 0x8001);
    ASSERT_TRUE(db.Open(L"Appointments Database", &lunar));
    EXPECT_FALSE(db.SeekValueFirstEqual(CCeDBProp(short(1), 0x8001)));
}

TEST_F(CeDb, AWalkSeesChangesMadeDuringIt)
{
    CCeDBDatabase db;
    ASSERT_TRUE(db.Create(L"Walk"));
    std::vector<CEOID> oids;
    for (int i = 0; i < 300; ++i)
        oids.push_back(db.WriteRecord(record({CCeDBProp(LONG(i), 1)}), 0));
    ASSERT_TRUE(db.SeekFirst());
    CCeDBRecord r;
    ASSERT_TRUE(db.ReadCurrRecord(&r));
    CCeDBDatabase writer;
    ASSERT_TRUE(writer.Open(L"Walk"));
    ASSERT_TRUE(writer.DeleteRecord(oids[1]));
    ASSERT_TRUE(writer.WriteRecord(record({CCeDBProp(LONG(-2), 1)}), oids[2]));
    ASSERT_TRUE(db.ReadCurrRecord(&r));
    EXPECT_EQ(r.GetOid(), oids[2]);
    EXPECT_EQ(r.GetIdProp(1)->GetLong(), -2);
    int rest = 0;
    while (db.ReadCurrRecord(&r))
        ++rest;
    EXPECT_EQ(rest, 297);
    EXPECT_EQ(db.GetRecordCount(), 299u);
}

TEST_F(CeDb, KernelCallsWorkOnTheOpenHandle)
{
    CCeDBDatabase db;
    ASSERT_TRUE(db.Create(L"Kernel"));
    HANDLE h = db.GetHandle();
    CEPROPVAL vals[2];
    vals[0].propid = MAKEPROPID(0x0037, CEVT_LPWSTR);
    wchar_t subject[] = L"제목";
    vals[0].val.lpwstr = subject;
    vals[1].propid = MAKEPROPID(0x0016, CEVT_BLOB);
    BYTE bits[] = {0x05};
    vals[1].val.blob = CEBLOB{1, bits};
    const CEOID oid = CeWriteRecordProps(h, 0, 2, vals);
    ASSERT_NE(oid, 0u);
    EXPECT_EQ(CeSeekDatabase(h, CEDB_SEEK_CEOID, oid, nullptr), oid);

    WORD count = 2;
    CEPROPID wanted[2] = {MAKEPROPID(0x0016, CEVT_BLOB), MAKEPROPID(0x4213, CEVT_I4)};
    BYTE* buffer = nullptr;
    DWORD size = 0;
    EXPECT_EQ(CeReadRecordPropsEx(h, 0, &count, wanted, &buffer, &size, nullptr), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    ASSERT_EQ(CeSeekDatabase(h, CEDB_SEEK_CEOID, oid, nullptr), oid);
    ASSERT_EQ(CeReadRecordPropsEx(h, CEDB_ALLOWREALLOC, &count, wanted, &buffer, &size, nullptr), oid);
    auto* got = reinterpret_cast<CEPROPVAL*>(buffer);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(got[0].val.blob.dwCount, 1u);
    EXPECT_EQ(got[0].val.blob.lpb[0], 0x05);
    EXPECT_TRUE(got[1].wFlags & CEDB_PROPNOTFOUND);
    ASSERT_EQ(CeSeekDatabase(h, CEDB_SEEK_BEGINNING, 0, nullptr), oid);
    count = 0;
    ASSERT_EQ(CeReadRecordPropsEx(h, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size, nullptr), oid);
    got = reinterpret_cast<CEPROPVAL*>(buffer);
    ASSERT_EQ(count, 2);
    EXPECT_STREQ(got[0].val.lpwstr, L"제목");
    LocalFree(buffer);

    EXPECT_TRUE(CeDeleteRecord(h, oid));
    EXPECT_EQ(CeSeekDatabase(h, CEDB_SEEK_CEOID, oid, nullptr), 0u);
    db.Close();
    EXPECT_EQ(CeWriteRecordProps(h, 0, 2, vals), 0u);  // a closed handle
    EXPECT_FALSE(CeDeleteRecord(nullptr, 1));
}

TEST_F(CeDb, ValuesUpTo16MiBRoundTripAndLargerAreRefused)
{
    CCeDBDatabase db;
    ASSERT_TRUE(db.Create(L"Big"));
    std::vector<BYTE> big(CEDB_MAXVALUESIZE, 0x5A);
    big.back() = 0x01;
    const CEOID oid = db.WriteRecord(record({CCeDBProp(CEBLOB{DWORD(big.size()), big.data()}, 0x0017),
                                         CCeDBProp(std::wstring(CEDB_MAXVALUESIZE / 2, L'가').c_str(), 0x0037)}),
        0);
    ASSERT_NE(oid, 0u);
    ASSERT_TRUE(db.SeekToRecord(oid));
    CCeDBRecord r;
    ASSERT_TRUE(db.ReadCurrRecord(&r));
    CEBLOB b = r.GetIdProp(0x0017)->GetBlob();
    ASSERT_EQ(b.dwCount, CEDB_MAXVALUESIZE);
    EXPECT_EQ(b.lpb[b.dwCount - 1], 0x01);
    EXPECT_EQ(std::wcslen(r.GetIdProp(0x0037)->GetString()), CEDB_MAXVALUESIZE / 2);

    big.push_back(0);
    EXPECT_EQ(db.WriteRecord(record({CCeDBProp(CEBLOB{DWORD(big.size()), big.data()}, 0x0017)}), 0), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(db.WriteRecord(record({CCeDBProp(std::wstring(CEDB_MAXVALUESIZE / 2 + 1, L'a').c_str(), 0x0037)}), 0), 0u);
    EXPECT_EQ(db.GetRecordCount(), 1u);
}

TEST_F(CeDb, ARecordThatCannotBeDecodedIsSkippedNotFatal)
{
    CCeDBDatabase db;
    ASSERT_TRUE(db.Create(L"Damaged"));
    std::vector<CEOID> oids;
    for (int i = 0; i < 3; ++i)
        oids.push_back(db.WriteRecord(record({CCeDBProp(LONG(i), 1)}), 0));
    {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(home.file("pim.db").c_str(), &raw), SQLITE_OK);
        const std::string sql = "UPDATE zu_rec SET props = x'0500FFFFFFFF' WHERE oid=" + std::to_string(oids[1]);
        EXPECT_EQ(sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(raw);
    }
    ASSERT_TRUE(db.Open(L"Damaged"));
    CCeDBRecord r;
    std::vector<CEOID> read;
    while (db.ReadCurrRecord(&r))
        read.push_back(r.GetOid());
    EXPECT_EQ(read, (std::vector<CEOID>{oids[0], oids[2]}));
    EXPECT_EQ(db.SkippedOids(), std::vector<CEOID>{oids[1]});

    ASSERT_TRUE(db.SeekToRecord(oids[1]));
    EXPECT_FALSE(db.ReadCurrRecord(&r));  // asked for by id: a failure, not another record
    EXPECT_EQ(GetLastError(), ERROR_FILE_CORRUPT);
    EXPECT_EQ(db.WriteRecord(record({CCeDBProp(LONG(7), 1)}), oids[1]), 0u);
    EXPECT_TRUE(db.DeleteRecord(oids[1]));
}

TEST_F(CeDb, RecordsAndSortOrdersAreStoredLittleEndianWithUtf16Text)
{
    CCeDBDatabase db;
    const SORTORDERSPEC orders[] = {{MAKEPROPID(0x0037, CEVT_LPWSTR), CEDB_SORT_CASEINSENSITIVE},
        {MAKEPROPID(0x4213, CEVT_I4), 0}};
    ASSERT_TRUE(db.Create(L"Layout", 0, 2, orders));
    EXPECT_EQ(storedHex(home.file("pim.db"), "SELECT sorts FROM zu_db WHERE name='Layout'"),
        "1f003700" "02000000" "03001342" "00000000");

    BYTE bytes[] = {1, 2};
    const CEOID oid = db.WriteRecord(record({CCeDBProp(short(-2), 0x0001), CCeDBProp(USHORT(65535), 0x0002),
                                         CCeDBProp(LONG(-70000), 0x0003), CCeDBProp(ULONG(0xFFFFFFFFu), 0x0004),
                                         CCeDBProp(FILETIME{0xA3DD4000u, 0x0CB34557u}, 0x0005),
                                         CCeDBProp(L"가\U0001F600", 0x0006), CCeDBProp(CEBLOB{2, bytes}, 0x0007)}),
        0);
    ASSERT_NE(oid, 0u);
    EXPECT_EQ(storedHex(home.file("pim.db"), "SELECT props FROM zu_rec WHERE oid=" + std::to_string(oid)),
        "0700"                                 // seven properties
        "02000100" "02000000" "feff"           // I2 -2
        "12000200" "02000000" "ffff"           // UI2 65535
        "03000300" "04000000" "90eefeff"       // I4 -70000
        "13000400" "04000000" "ffffffff"       // UI4
        "40000500" "08000000" "0040dda35745b30c"  // FILETIME, low half first
        "1f000600" "06000000" "00ac3dd800de"   // LPWSTR: U+AC00, then a surrogate pair
        "41000700" "02000000" "0102");         // BLOB
}

// Stored values as another program may have left them: what does not decode is refused, and
// UTF-16 that is not well formed comes back unit by unit.
TEST_F(CeDb, StoredValuesDecodeOnlyWhenWellFormed)
{
    struct Case {
        const char* hex;
        const wchar_t* text;  // the string property 1 decodes to; null: refused
    };
    const Case cases[] = {
        {"", nullptr},                                        // shorter than the count
        {"01", nullptr},
        {"0100", nullptr},                                    // a property promised, none there
        {"0100" "1f000100" "0200", nullptr},                  // its header cut short
        {"0100" "1f000100" "04000000" "4100", nullptr},       // its value longer than what is left
        {"0100" "02000100" "04000000" "feffffff", nullptr},   // an I2 of four bytes
        {"0100" "1f000100" "03000000" "410042", nullptr},     // half a code unit
        {"0100" "07000100" "00000000", nullptr},              // no such type
        {"0100" "1f000100" "02000000" "4100" "00", nullptr},  // a byte after the last property
        {"0100" "1f000100" "02000000" "4100", L"A"},
        {"0100" "1f000100" "04000000" "3dd84100", L"\xD83D" "A"},  // a high surrogate alone
        {"0100" "1f000100" "02000000" "3dd8", L"\xD83D"},          // ... at the end
        {"0100" "1f000100" "02000000" "00de", L"\xDE00"},          // a low one alone
    };
    CCeDBDatabase db;
    ASSERT_TRUE(db.Create(L"Raw"));
    const CEOID oid = db.WriteRecord(record({CCeDBProp(short(0), 1)}), 0);
    ASSERT_NE(oid, 0u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hex);
        ASSERT_TRUE(runSql(home.file("pim.db"),
            std::string("UPDATE zu_rec SET props = x'") + c.hex + "' WHERE oid=" + std::to_string(oid)));
        ASSERT_TRUE(db.SeekToRecord(oid));
        CCeDBRecord r;
        const bool read = db.ReadCurrRecord(&r);
        ASSERT_EQ(read, c.text != nullptr);
        if (!read) {
            EXPECT_EQ(GetLastError(), ERROR_FILE_CORRUPT);
            continue;
        }
        ASSERT_EQ(r.GetNumProps(), 1);
        ASSERT_NE(r.GetIdProp(1), nullptr);
        EXPECT_EQ(std::wstring(r.GetIdProp(1)->GetString()), c.text);
    }
}

TEST_F(CeDb, AStoreThatIsNotAStoreFailsWithAMessage)
{
    {
        std::ofstream f(home.file("pim.db"), std::ios::binary);
        f << std::string(8192, 'x');
    }
    CCeDBDatabase db;
    EXPECT_FALSE(CCeDBDatabase::Exists(L"Appointments Database"));
    EXPECT_FALSE(db.Create(L"Appointments Database"));
    EXPECT_FALSE(db.Open(L"Appointments Database"));
    EXPECT_EQ(GetLastError(), ERROR_FILE_CORRUPT);
    EXPECT_NE(ZuLastErrorText().str().find(L"pim.db"), std::wstring::npos);
    EXPECT_FALSE(db.ReadCurrRecord(nullptr));
}

TEST_F(CeDb, ADamagedStoreFailsWithAMessage)
{
    CCeDBDatabase db;
    ASSERT_TRUE(db.Create(L"Soon damaged"));
    for (int i = 0; i < 200; ++i)
        db.WriteRecord(record({CCeDBProp(std::wstring(100, L'a').c_str(), 1)}), 0);
    db.Close();
    // Another test thread's fresh connection reads the damaged file.
    bool opened = true, read = true;
    std::thread([&] {
        sqlite3* raw = nullptr;
        sqlite3_open(home.file("pim.db").c_str(), &raw);
        sqlite3_exec(raw, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
        sqlite3_close(raw);
        {
            std::fstream f(home.file("pim.db"), std::ios::in | std::ios::out | std::ios::binary);
            f.seekp(4096);
            f << std::string(4096 * 3, '\x7f');
        }
        CCeDBDatabase other;
        opened = other.Open(L"Soon damaged");
        CCeDBRecord r;
        int n = 0;
        while (opened && other.ReadCurrRecord(&r))
            ++n;
        read = n == 200;
    }).join();
    EXPECT_FALSE(opened && read);
}

TEST_F(CeDb, AStoreThatCannotBeWrittenFailsWithAMessage)
{
    CCeDBDatabase db;
    ASSERT_TRUE(db.Create(L"Locked"));
    db.Close();
    ::chmod(home.path().c_str(), 0755);
    ::chmod(home.file("pim.db").c_str(), 0444);
    ZuChildProcess helper;
    QTemporaryDir copies;
    if (::geteuid() == 0) {
        // The owner may always write; try as nobody, from a copy of the helper that nobody can
        // run even when the build lies in a private folder.
        if (!othersCanRead(home.file("pim.db")))
            GTEST_SKIP() << "nobody cannot reach the temporary folder " << home.path();
        ASSERT_TRUE(copies.isValid());
        std::string error;
        std::vector<std::string> command = helperCommandForNobody(copies.path().toStdString(), &error);
        ASSERT_FALSE(command.empty()) << error;
        command.insert(command.end(), {"trywrite", "Locked"});
        ASSERT_TRUE(helper.start("setpriv", command));
    } else {
        ASSERT_TRUE(helper.start(helperPath(), {"trywrite", "Locked"}));
    }
    ASSERT_TRUE(helper.waitForFinished(20000));
    EXPECT_EQ(helper.exitCode(), 3) << helper.err();
    EXPECT_FALSE(helper.err().empty());
    ::chmod(home.file("pim.db").c_str(), 0600);
}

TEST_F(CeDb, TheStoreIsPrivateToItsOwner)
{
    CCeDBDatabase db;
    ASSERT_TRUE(db.Create(L"Private"));
    struct stat st {};
    ASSERT_EQ(::stat(home.file("pim.db").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(CeDb, NotificationsReachTheWindowOnItsThread)
{
    CCeDBDatabase db;
    ASSERT_TRUE(db.Create(L"Notified"));
    CCeDBDatabase other;
    ASSERT_TRUE(other.Create(L"Elsewhere"));
    const CEOID before = db.WriteRecord(record({CCeDBProp(short(0), 1)}), 0);  // before the open: not told

    Recorder window;
    ASSERT_TRUE(db.Open(L"Notified", nullptr, &window));
    const CEOID oid = db.WriteRecord(record({CCeDBProp(short(1), 1)}), 0);
    ASSERT_TRUE(db.WriteRecord(record({CCeDBProp(short(2), 1)}), oid));
    ASSERT_TRUE(other.WriteRecord(record({CCeDBProp(short(3), 1)}), 0));  // another database: not told
    std::thread([&] {  // another connection of this program
        CCeDBDatabase writer;
        if (writer.Open(L"Notified"))
            writer.DeleteRecord(before);
    }).join();
    ASSERT_TRUE(window.waitFor(3));
    QThread::msleep(100);
    QCoreApplication::processEvents();
    ASSERT_EQ(window.got.size(), 3u);
    EXPECT_EQ(window.got[0].message, DB_CEOID_CREATED);
    EXPECT_EQ(window.got[0].oid, oid);
    EXPECT_EQ(window.got[1].message, DB_CEOID_CHANGED);
    EXPECT_EQ(window.got[2].message, DB_CEOID_RECORD_DELETED);
    EXPECT_EQ(window.got[2].oid, before);
    EXPECT_FALSE(window.wrongThread);

    db.Close();  // closed: nothing more arrives
    window.got.clear();
    ASSERT_TRUE(other.Open(L"Notified"));
    ASSERT_TRUE(other.WriteRecord(record({CCeDBProp(short(4), 1)}), 0));
    QThread::msleep(150);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.got.empty());
}

TEST_F(CeDb, NotificationsCrossPrograms)
{
    CCeDBDatabase db;
    ASSERT_TRUE(db.Create(L"Shared"));
    Recorder window;
    ASSERT_TRUE(db.Open(L"Shared", nullptr, &window));
    ZuChildProcess helper;
    ASSERT_TRUE(helper.start(helperPath(), {"write", "Shared", "20"}));
    ASSERT_TRUE(helper.waitForFinished(20000));
    ASSERT_EQ(helper.exitCode(), 0) << helper.err();
    std::vector<CEOID> written;
    for (const QByteArray& line : QByteArray::fromStdString(helper.out()).split('\n'))
        if (!line.isEmpty())
            written.push_back(line.toUInt());
    ASSERT_EQ(written.size(), 20u);
    ASSERT_TRUE(window.waitFor(20));
    for (size_t i = 0; i < 20; ++i) {
        EXPECT_EQ(window.got[i].message, DB_CEOID_CREATED);
        EXPECT_EQ(window.got[i].oid, written[i]);
    }
    EXPECT_EQ(db.GetRecordCount(), 20u);
}

TEST_F(CeDb, AKillDuringABurstLosesNothingReportedWritten)
{
    CCeDBDatabase db;
    ASSERT_TRUE(db.Create(L"Burst"));
    db.Close();
    ZuChildProcess helper;
    ASSERT_TRUE(helper.start(helperPath(), {"burst", "Burst"}));
    QElapsedTimer t;
    t.start();
    while (std::count(helper.out().begin(), helper.out().end(), '\n') < 300 && t.elapsed() < 20000)
        helper.readSome(100);
    helper.kill(SIGKILL);
    helper.waitForFinished();
    const QByteArray out = QByteArray::fromStdString(helper.out());
    std::set<CEOID> reported;
    for (const QByteArray& line : out.split('\n'))
        if (!line.isEmpty())
            reported.insert(line.toUInt());
    reported.erase(0);  // a line cut short by the kill
    ASSERT_GE(reported.size(), 300u);

    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(home.file("pim.db").c_str(), &raw), SQLITE_OK);
    sqlite3_stmt* check = nullptr;
    sqlite3_prepare_v2(raw, "PRAGMA integrity_check", -1, &check, nullptr);
    ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
    sqlite3_finalize(check);
    sqlite3_close(raw);

    ASSERT_TRUE(db.Open(L"Burst"));
    const DWORD count = db.GetRecordCount();
    EXPECT_GE(count, reported.size());
    EXPECT_LE(count, reported.size() + 1);  // one may be written but not yet reported
    CCeDBRecord r;
    size_t found = 0, whole = 0, n = 0;
    while (db.ReadCurrRecord(&r)) {
        ++n;
        found += reported.count(r.GetOid());
        const CCeDBProp* a = r.GetIdProp(0x4213);
        const CCeDBProp* b = r.GetIdProp(0x4214);
        if (r.GetNumProps() == 3 && a && b && a->GetLong() == -b->GetLong())
            ++whole;
    }
    EXPECT_EQ(found, reported.size());
    EXPECT_EQ(whole, n);
    EXPECT_EQ(n, count);
    EXPECT_TRUE(db.SkippedOids().empty());
}

TEST_F(CeDb, ABatchLandsWholeOrNotAtAll)
{
    CCeDBDatabase db;
    ASSERT_TRUE(db.Open(L"Appointments Database"));
    const auto count = [] {
        // Another thread has its own connection: it sees only what was committed.
        DWORD n = 0;
        std::thread([&n] {
            CCeDBDatabase other;
            if (other.Open(L"Appointments Database"))
                n = other.GetRecordCount();
        }).join();
        return n;
    };
    {
        ZuStoreBatch batch;
        ASSERT_TRUE(batch.ok());
        EXPECT_FALSE(ZuStoreBatch().ok());  // no batch inside a batch
        for (short i = 0; i < 3; ++i)
            ASSERT_NE(db.WriteRecord(record({CCeDBProp(i, 0x4001)}), 0), 0u);
        EXPECT_EQ(db.GetRecordCount(), 3u);
        EXPECT_EQ(count(), 0u);
    }  // not committed: rolled back
    EXPECT_EQ(db.GetRecordCount(), 0u);
    {
        ZuStoreBatch batch;
        for (short i = 0; i < 3; ++i)
            ASSERT_NE(db.WriteRecord(record({CCeDBProp(i, 0x4001)}), 0), 0u);
        ASSERT_TRUE(batch.Commit());
        EXPECT_FALSE(batch.Commit());
    }
    EXPECT_EQ(db.GetRecordCount(), 3u);
    EXPECT_EQ(count(), 3u);
}

// The record decoder takes exactly the encoding of cedbstore_p.h and refuses anything else, a
// count larger than its bytes can hold first of all (a fuzzer's case: each read of such a record
// made 65,535 empty properties before failing).
TEST(CedbDecode, TakesTheEncodingAndRefusesAnythingElse)
{
    const std::string example("\x01\x00\x02\x00\x03\x40\x02\x00\x00\x00\x01\x00", 12);
    std::deque<CCeDBProp> props;
    ASSERT_TRUE(zucedb::decodeProps(example.data(), example.size(), props));
    ASSERT_EQ(props.size(), 1u);
    EXPECT_EQ(props[0].GetPropId(), 0x40030002u);
    EXPECT_EQ(props[0].rawInt(), 1);
    struct Case {
        const char* what;
        std::string bytes;
    } refused[] = {
        {"empty", std::string()},
        {"a count of 65535 with one property", std::string("\xff\xff", 2) + example.substr(2)},
        {"one byte short", example.substr(0, 11)},
        {"a byte left over", example + std::string(1, '\0')},
        {"an I2 of 4 bytes", std::string("\x01\x00\x02\x00\x03\x40\x04\x00\x00\x00\x01\x00\x00\x00", 14)},
        {"a string of an odd length", std::string("\x01\x00\x1f\x00\x37\x00\x03\x00\x00\x00" "abc", 13)},
        {"an unknown type", std::string("\x01\x00\x07\x00\x37\x00\x00\x00\x00\x00", 10)},
    };
    for (const Case& c : refused) {
        std::deque<CCeDBProp> out;
        EXPECT_FALSE(zucedb::decodeProps(c.bytes.data(), c.bytes.size(), out)) << c.what;
        EXPECT_LE(out.size(), 1u) << c.what;
    }
}

// Two threads (as two programs) meet a store that does not exist yet: one creates it and writes
// while the other opens it and reads inside a snapshot. Neither may see "database is locked".
TEST(CeDbFirstUse, ReadersAndWritersMeetingANewStoreBothSucceed)
{
    for (int round = 0; round < 60; ++round) {
        ZuTestHome home;
        std::atomic<bool> go{false};
        std::string writerError;
        std::thread writer([&] {
            while (!go) {
            }
            CCeDBDatabase db;
            CCeDBRecord r;
            CCeDBProp p(L"x", WORD(0x0037));
            r.AddProp(&p);
            if (!db.Open(L"Tasks Database") || !db.WriteRecord(r, 0))
                writerError = ZuLastErrorText().toUtf8();
        });
        go = true;
        std::string readerError;
        {
            const ZuStoreSnapshot snapshot;
            CCeDBDatabase db;
            if (!snapshot.ok() || !db.Open(L"Tasks Database"))
                readerError = ZuLastErrorText().toUtf8();
            else
                while (!db.IsEOF() && db.SeekNext()) {
                }
            if (readerError.empty() && db.ReadFailed())
                readerError = ZuLastErrorText().toUtf8();
        }
        writer.join();
        EXPECT_EQ(writerError, "") << "round " << round;
        EXPECT_EQ(readerError, "") << "round " << round;
        if (!writerError.empty() || !readerError.empty())
            break;
    }
}
