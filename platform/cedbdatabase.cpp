#include "cedbdatabase.h"

#include <optional>

#include "cedbstore_p.h"
#include "cstring.h"
#include "datafolder.h"
#include "lasterror.h"

#include <QDebug>
#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

using namespace zucedb;

namespace {

constexpr size_t kFirstBatch = 32;
constexpr size_t kBatch = 256;
constexpr size_t kMaxNameLength = 32;

struct Row {
    CEOID oid = 0;
    SortKey key;
    std::string props;
};

std::string storePath()
{
    return ZuDataFile("pim.db");
}

} // namespace

struct CCeDBDatabase::Impl {
    std::string path;
    DbInfo info;
    int sortIndex = -1;  // -1: object id order
    QObject* notify = nullptr;
    std::uint64_t watchToken = 0;
    bool open = false;

    // The walk: rows[pos] is the current record; `atEnd` past the last one.
    std::vector<Row> rows;
    size_t pos = 0;
    bool rowsReachEnd = false;  // nothing follows the last buffered row
    bool atEnd = true;
    bool direct = false;  // the current record was sought by object id
    bool pendingFirst = false;  // just opened: the first rows are still to be read
    bool pending = false;  // moved past the buffer: the rows after `anchor` are still to be read
    Row anchor;
    size_t nextBatch = kBatch;
    std::uint64_t generation = 0;
    std::vector<CEOID> skipped;
    // A walk from the first record, in one snapshot and without writes of this program: when it
    // ends, the rows it met must be as many as the database's record count (a damaged index or
    // page can end a walk early without SQLite noticing).
    bool fullWalk = false;
    size_t walked = 0;
    std::uint64_t walkGeneration = 0;

    // A read of the store failed: the walk stopped there, and this is why.
    DWORD failure = 0;
    std::wstring failureText;

    // Ends the walk on a failed read; every later read says so until the next seek.
    void fail()
    {
        failure = GetLastError() ? GetLastError() : ERROR_READ_FAULT;
        failureText = ZuLastErrorText().str();
        rows.clear();
        pos = 0;
        atEnd = true;
        rowsReachEnd = true;
        pending = pendingFirst = false;
    }
    // Sets the last error to the failure and gives false.
    bool restateFailure() const
    {
        ZuSetLastError(failure, failureText);
        return false;
    }

    Connection* conn()
    {
        Connection* c = connectionFor(path);
        return c;
    }

    std::string orderColumns() const
    {
        if (sortIndex < 0)
            return "oid";
        const std::string i = std::to_string(sortIndex);
        return "m" + i + ", k" + i + ", oid";
    }

    // The statements of this open's order, made once at open.
    struct Sql {
        std::string first, fromIncl, fromExcl, byOid, byIndex;
    } sql;

    void makeSql()
    {
        const std::string select = "SELECT " + selectColumns() + " FROM zu_rec WHERE ";
        sql.first = select + whereDb() + " ORDER BY " + orderColumns() + " LIMIT ?2";
        if (sortIndex < 0) {
            sql.fromIncl = select + "db=?1 AND oid >= ?2 ORDER BY oid LIMIT ?3";
            sql.fromExcl = select + "db=?1 AND oid > ?2 ORDER BY oid LIMIT ?3";
        } else {
            const std::string from = select + whereDb() + " AND (" + orderColumns() + ") ";
            const std::string rest = " (?2, ?3, ?4) ORDER BY " + orderColumns() + " LIMIT ?5";
            sql.fromIncl = from + ">=" + rest;
            sql.fromExcl = from + ">" + rest;
        }
        sql.byOid = select + "oid=?1 AND db=?2";
        sql.byIndex = select + whereDb() + " ORDER BY " + orderColumns() + " LIMIT ?2 OFFSET ?3";
    }

    // The rows of this database, in the index of the open's order.
    std::string whereDb() const
    {
        if (sortIndex < 0)
            return "db=?1";
        return "db=?1 AND m" + std::to_string(sortIndex) + " IS NOT NULL";
    }

    std::string selectColumns() const
    {
        if (sortIndex < 0)
            return "oid, 1, 0, props";
        const std::string i = std::to_string(sortIndex);
        return "oid, m" + i + ", k" + i + ", props";
    }

    // Reads the rows of `s`, which the caller resets.
    void readRows(ZuSqlStmt& s, size_t limit)
    {
        pendingFirst = false;
        pending = false;
        rows.clear();
        pos = 0;
        int rc;
        while ((rc = s.step()) == SQLITE_ROW) {
            Row r;
            r.oid = static_cast<CEOID>(s.int64(0));
            if (sortIndex >= 0)
                r.key = readKey(s, 1, 2);
            const auto* p = static_cast<const char*>(s.blob(3));
            r.props.assign(p ? p : "", static_cast<size_t>(s.bytes(3)));
            rows.push_back(std::move(r));
        }
        rowsReachEnd = rows.size() < limit;
        atEnd = rows.empty();
        generation = writeGeneration().load();
        failure = 0;
        if (rc != SQLITE_DONE) {
            conn()->db().fail(rc, "cannot read records");
            fail();
        }
    }

    // Fills the buffer from the first record.
    bool fetchFirst(size_t limit)
    {
        Connection* c = conn();
        ZuSqlUse s(c ? c->stmt(sql.first) : nullptr);
        if (!s) {
            fail();
            return false;
        }
        s->bind(1, info.id);
        s->bind(2, static_cast<std::int64_t>(limit));
        readRows(*s, limit);
        return failure == 0;
    }

    // Fills the buffer from the position of `from` (inclusive or not).
    bool fetchFrom(const Row& from, bool inclusive, size_t limit)
    {
        Connection* c = conn();
        ZuSqlUse s(c ? c->stmt(inclusive ? sql.fromIncl : sql.fromExcl) : nullptr);
        if (!s) {
            fail();
            return false;
        }
        s->bind(1, info.id);
        if (sortIndex < 0) {
            s->bind(2, static_cast<std::int64_t>(from.oid));
            s->bind(3, static_cast<std::int64_t>(limit));
        } else {
            bindKey(*s, 2, from.key);
            s->bind(4, static_cast<std::int64_t>(from.oid));
            s->bind(5, static_cast<std::int64_t>(limit));
        }
        readRows(*s, limit);
        return failure == 0;
    }

    // Reads the rows after the anchor when the walk has moved past the buffer.
    bool settle()
    {
        if (pendingFirst) {
            pendingFirst = false;
            nextBatch = kBatch;
            return startWalk();
        }
        if (!pending)
            return true;
        pending = false;
        const Row after = std::move(anchor);
        const size_t n = nextBatch;
        nextBatch = kBatch;
        if (!fetchFrom(after, false, n))
            return false;
        walked += rows.size();
        return checkComplete();
    }

    // The first rows of a walk over every record.
    bool startWalk()
    {
        if (!fetchFirst(kFirstBatch))
            return false;
        fullWalk = true;
        walked = rows.size();
        walkGeneration = generation;
        return checkComplete();
    }

    // At the end of a full walk in a snapshot: were all the database's records met?
    bool checkComplete()
    {
        if (!fullWalk || !rowsReachEnd || failure || generation != walkGeneration)
            return true;
        fullWalk = false;
        Connection* c = conn();
        if (!c || sqlite3_get_autocommit(c->db().handle()))
            return true;  // outside a snapshot another program may have written in between
        ZuSqlUse s(c->stmt("SELECT count FROM zu_db WHERE id=?1"));
        if (!s)
            return true;
        s->bind(1, info.id);
        if (s->step() != SQLITE_ROW || static_cast<size_t>(s->int64(0)) == walked)
            return true;
        ZuSetLastError(ERROR_FILE_CORRUPT,
            CString::fromUtf8(path).str() + L": the database holds " + std::to_wstring(s->int64(0))
                + L" records, but a walk over it met " + std::to_wstring(walked) + L" (the file is damaged)");
        fail();
        return false;
    }

    // Brings the buffer up to date when this program wrote since it was read.
    bool refresh()
    {
        if (!settle())
            return false;
        if (atEnd || generation == writeGeneration().load())
            return true;
        const Row current = rows[pos];
        fullWalk = false;
        if (!fetchFrom(current, true, kBatch))
            return false;
        if (atEnd || rows[0].oid != current.oid)
            direct = false;
        return true;
    }

    // Moves on by one record; the rows that follow the buffer are read when next needed.
    void advance()
    {
        if (failure || !settle() || atEnd)
            return;
        direct = false;
        if (pos + 1 < rows.size()) {
            ++pos;
            return;
        }
        if (rowsReachEnd) {
            rows.clear();
            atEnd = true;
            return;
        }
        anchor = std::move(rows.back());
        rows.clear();
        pos = 0;
        pending = true;
    }

    void resetWalk()
    {
        fullWalk = false;
        failure = 0;
        failureText.clear();
        pendingFirst = false;
        pending = false;
        rows.clear();
        pos = 0;
        atEnd = true;
        direct = false;
    }

    bool requireOpen() const
    {
        if (!open)
            ZuSetLastError(ERROR_INVALID_HANDLE, L"the database is not open");
        return open;
    }
};

CCeDBDatabase::CCeDBDatabase() : d(std::make_unique<Impl>()) {}

CCeDBDatabase::~CCeDBDatabase()
{
    Close();
}

CCeDBDatabase* CCeDBDatabase::FromHandle(HANDLE h)
{
    auto* db = static_cast<CCeDBDatabase*>(h);
    if (!db || !db->IsOpen()) {
        ZuSetLastError(ERROR_INVALID_HANDLE, L"the database handle is not open");
        return nullptr;
    }
    return db;
}

struct ZuStoreBatch::Impl {
    std::optional<ZuSqlTransaction> transaction;
};

ZuStoreBatch::ZuStoreBatch() : d(new Impl)
{
    Connection* c = connectionFor(storePath());
    if (c && sqlite3_get_autocommit(c->db().handle()))
        d->transaction.emplace(c->db());
}

ZuStoreBatch::~ZuStoreBatch()
{
    const bool rolledBack = d->transaction && d->transaction->ok();
    delete d;
    if (rolledBack)
        ++writeGeneration();  // read-ahead buffers may hold rows that are gone now
}

bool ZuStoreBatch::ok() const
{
    return d->transaction && d->transaction->ok();
}

bool ZuStoreBatch::Commit()
{
    if (!ok())
        return false;
    const bool committed = d->transaction->commit();
    if (committed) {
        d->transaction.reset();
        changesCommitted();
    }
    return committed;
}

ZuStoreSnapshot::ZuStoreSnapshot() : m_path(storePath())
{
    Connection* c = connectionFor(m_path);
    if (!c)
        return;
    if (!sqlite3_get_autocommit(c->db().handle())) {
        m_ok = true;  // inside a snapshot or a batch already: it goes on
        return;
    }
    // BEGIN takes its snapshot at the first read: read now, so that it is the moment it began.
    if (!c->db().exec("BEGIN"))
        return;
    m_began = true;
    m_ok = c->db().exec("SELECT count(*) FROM zu_db");
}

ZuStoreSnapshot::~ZuStoreSnapshot()
{
    if (!m_began)
        return;
    if (Connection* c = connectionFor(m_path); c && !sqlite3_get_autocommit(c->db().handle()))
        sqlite3_exec(c->db().handle(), "COMMIT", nullptr, nullptr, nullptr);
}

ULONGLONG ZuStoreChangeStamp()
{
    Connection* c = connectionFor(storePath());
    return c ? static_cast<ULONGLONG>(c->lastChangeSeq()) : 0;
}

BOOL CCeDBDatabase::Exists(const wchar_t* name)
{
    if (!name || !*name)
        return FALSE;
    Connection* c = connectionFor(storePath());
    DbInfo info;
    return c && c->findDb(name, info);
}

BOOL CCeDBDatabase::Create(const wchar_t* name, DWORD type, WORD numSortOrders, const SORTORDERSPEC* sortOrders)
{
    Close();
    if (!name || !*name || std::wcslen(name) > kMaxNameLength || numSortOrders > CEDB_MAXSORTORDER
        || (numSortOrders && !sortOrders)) {
        ZuSetLastError(ERROR_INVALID_PARAMETER, L"a database needs a name of 1 to 32 characters and at most four sort orders");
        return FALSE;
    }
    std::vector<SortSpec> specs;
    for (WORD i = 0; i < numSortOrders; ++i) {
        const SORTORDERSPEC& s = sortOrders[i];
        if (!ZuIsValidPropType(TypeFromPropID(s.propid))
            || (s.dwFlags & ~CEDB_SORT_CASEINSENSITIVE) != 0) {
            ZuSetLastError(ERROR_INVALID_PARAMETER, L"a sort order is not supported (ascending or case-insensitive only)");
            return FALSE;
        }
        specs.push_back(SortSpec{s.propid, s.dwFlags});
    }
    const std::string sorts = encodeSorts(specs);
    const std::string path = storePath();
    Connection* c = connectionFor(path);
    if (!c)
        return FALSE;
    {
        ZuSqlTransaction tx(c->db());
        if (!tx.ok())
            return FALSE;
        {
            ZuSqlUse s(c->stmt("INSERT INTO zu_db(name, type, sorts) VALUES(?1, ?2, ?3)"));
            if (!s)
                return FALSE;
            s->bind(1, CString(name).toUtf8());
            s->bind(2, static_cast<std::int64_t>(type));
            s->bindBlob(3, sorts.data(), sorts.size());
            const int rc = s->step();
            if (rc != SQLITE_DONE) {
                if ((rc & 0xFF) == SQLITE_CONSTRAINT)
                    ZuSetLastError(ERROR_ALREADY_EXISTS, std::wstring(L"a database named \"") + name + L"\" exists");
                else
                    c->db().fail(rc, "cannot create a database");
                return FALSE;
            }
        }
        if (!tx.commit())
            return FALSE;
    }
    return Open(name);
}

BOOL CCeDBDatabase::DeleteDatabase(const wchar_t* name)
{
    if (!name || !*name) {
        ZuSetLastError(ERROR_INVALID_PARAMETER, L"no database name");
        return FALSE;
    }
    Connection* c = connectionFor(storePath());
    if (!c)
        return FALSE;
    DbInfo info;
    if (!c->findDb(name, info))
        return FALSE;
    ZuSqlTransaction tx(c->db());
    if (!tx.ok())
        return FALSE;
    for (const char* sql : {"DELETE FROM zu_rec WHERE db=?1", "DELETE FROM zu_db WHERE id=?1"}) {
        ZuSqlUse s(c->stmt(sql));
        if (!s)
            return FALSE;
        s->bind(1, info.id);
        if (const int rc = s->step(); rc != SQLITE_DONE)
            return c->db().fail(rc, "cannot delete a database");
    }
    if (!tx.commit())
        return FALSE;
    writeGeneration().fetch_add(1);
    return TRUE;
}

BOOL CCeDBDatabase::Delete()
{
    if (!d->requireOpen())
        return FALSE;
    Connection* c = d->conn();
    DbInfo info;
    if (!c || !c->findDb(d->info.id, info))
        return FALSE;
    std::wstring name;
    {
        ZuSqlUse s(c->stmt("SELECT name FROM zu_db WHERE id=?1"));
        if (!s)
            return FALSE;
        s->bind(1, d->info.id);
        if (s->step() == SQLITE_ROW)
            name = CString::fromUtf8(s->text(0)).str();
    }
    Close();
    return DeleteDatabase(name.c_str());
}

BOOL CCeDBDatabase::Open(const wchar_t* name, const CCeDBProp* sortProp, QObject* notifyWindow)
{
    Close();
    if (!name || !*name) {
        ZuSetLastError(ERROR_INVALID_PARAMETER, L"no database name");
        return FALSE;
    }
    const std::string path = storePath();
    Connection* c = connectionFor(path);
    if (!c)
        return FALSE;
    DbInfo info;
    if (!c->findDb(name, info))
        return FALSE;
    int sortIndex = -1;
    if (sortProp && sortProp->GetPropId() != 0) {
        for (size_t i = 0; i < info.sorts.size(); ++i) {
            if (info.sorts[i].propid == sortProp->GetPropId()) {
                sortIndex = static_cast<int>(i);
                break;
            }
        }
        if (sortIndex < 0) {
            ZuSetLastError(ERROR_INVALID_PARAMETER,
                std::wstring(L"database \"") + name + L"\" has no sort order on that property");
            return FALSE;
        }
    }
    d->path = path;
    d->info = info;
    d->sortIndex = sortIndex;
    d->makeSql();
    d->notify = notifyWindow;
    d->skipped.clear();
    if (notifyWindow)
        d->watchToken = watch(path, info.id, notifyWindow, c->lastChangeSeq());
    d->open = true;
    d->resetWalk();
    d->pendingFirst = true;  // the walk starts at the first record, read when first needed
    d->atEnd = false;
    return TRUE;
}

BOOL CCeDBDatabase::Close()
{
    if (d->watchToken) {
        unwatch(d->watchToken);
        d->watchToken = 0;
    }
    d->open = false;
    d->notify = nullptr;
    d->resetWalk();
    return TRUE;
}

BOOL CCeDBDatabase::IsOpen() const
{
    return d->open;
}

CEOID CCeDBDatabase::GetDatabaseOid() const
{
    return d->open ? static_cast<CEOID>(d->info.id) : 0;
}

const std::vector<CEOID>& CCeDBDatabase::SkippedOids() const
{
    return d->skipped;
}

DWORD CCeDBDatabase::GetRecordCount()
{
    if (!d->requireOpen())
        return 0;
    Connection* c = d->conn();
    if (!c)
        return 0;
    ZuSqlUse s(c->stmt("SELECT count FROM zu_db WHERE id=?1"));
    if (!s)
        return 0;
    s->bind(1, d->info.id);
    const int rc = s->step();
    if (rc == SQLITE_ROW)
        return static_cast<DWORD>(s->int64(0));
    if (rc == SQLITE_DONE)
        ZuSetLastError(ERROR_INVALID_HANDLE, L"the database was deleted");
    else
        c->db().fail(rc, "cannot count the records");
    return 0;
}

BOOL CCeDBDatabase::IsEOF() const
{
    if (d->open)
        d->settle();
    return !d->open || d->atEnd;
}

CEOID CCeDBDatabase::GetCurrentOid() const
{
    if (d->open)
        d->settle();
    return (d->open && !d->atEnd) ? d->rows[d->pos].oid : 0;
}

BOOL CCeDBDatabase::SeekFirst()
{
    if (!d->requireOpen())
        return FALSE;
    d->direct = false;
    d->failure = 0;
    if (!d->startWalk())
        return FALSE;
    d->nextBatch = kBatch;
    if (d->atEnd) {
        SetLastError(ERROR_NO_MORE_ITEMS);
        return FALSE;
    }
    return TRUE;
}

BOOL CCeDBDatabase::SeekNext()
{
    if (!d->requireOpen())
        return FALSE;
    if (d->failure)
        return d->restateFailure();
    if (!d->refresh())
        return FALSE;
    d->advance();
    if (d->failure)
        return d->restateFailure();
    if (!d->settle() || d->atEnd) {
        SetLastError(ERROR_NO_MORE_ITEMS);
        return FALSE;
    }
    return TRUE;
}

BOOL CCeDBDatabase::SeekToRecord(CEOID oid)
{
    if (!d->requireOpen())
        return FALSE;
    Connection* c = d->conn();
    if (!c)
        return FALSE;
    ZuSqlUse s(c->stmt(d->sql.byOid));
    if (!s)
        return FALSE;
    s->bind(1, static_cast<std::int64_t>(oid));
    s->bind(2, d->info.id);
    d->fullWalk = false;
    d->readRows(*s, 1);
    if (d->failure)
        return d->restateFailure();
    d->rowsReachEnd = false;  // what follows is read when the walk moves on
    d->nextBatch = kFirstBatch;
    if (d->atEnd) {
        ZuSetLastError(ERROR_NOT_FOUND, L"no record with that object id in the database");
        return FALSE;
    }
    d->direct = true;
    return TRUE;
}

BOOL CCeDBDatabase::SeekToIndex(DWORD index)
{
    if (!d->requireOpen())
        return FALSE;
    Connection* c = d->conn();
    if (!c)
        return FALSE;
    ZuSqlUse s(c->stmt(d->sql.byIndex));
    if (!s)
        return FALSE;
    s->bind(1, d->info.id);
    s->bind(2, std::int64_t(1));
    s->bind(3, static_cast<std::int64_t>(index));
    d->fullWalk = false;
    d->readRows(*s, 1);
    if (d->failure)
        return d->restateFailure();
    d->nextBatch = kFirstBatch;
    d->direct = false;
    if (d->atEnd) {
        SetLastError(ERROR_NO_MORE_ITEMS);
        return FALSE;
    }
    return TRUE;
}

BOOL CCeDBDatabase::SeekValueFirstEqual(const CCeDBProp& value)
{
    return seekValue(value, true);
}

BOOL CCeDBDatabase::SeekValueGreaterOrEqual(const CCeDBProp& value)
{
    return seekValue(value, false);
}

BOOL CCeDBDatabase::seekValue(const CCeDBProp& value, bool exact)
{
    if (!d->requireOpen())
        return FALSE;
    if (d->sortIndex < 0 || value.GetPropId() != d->info.sorts[static_cast<size_t>(d->sortIndex)].propid) {
        ZuSetLastError(ERROR_INVALID_PARAMETER, L"a value seek needs a database opened sorted by that property");
        return FALSE;
    }
    Row from;
    from.key = sortKeyOfValue(value, d->info.sorts[static_cast<size_t>(d->sortIndex)]);
    from.oid = 0;
    d->fullWalk = false;
    if (!d->fetchFrom(from, true, exact ? 1 : kFirstBatch))
        return FALSE;
    d->nextBatch = kFirstBatch;
    d->direct = false;
    const bool found = !d->atEnd && d->rows[0].key.missing == 0
        && (!exact || (d->rows[0].key.kind == from.key.kind && d->rows[0].key.i == from.key.i && d->rows[0].key.s == from.key.s));
    if (!found) {
        d->resetWalk();
        ZuSetLastError(ERROR_NOT_FOUND, L"no record with that value");
        return FALSE;
    }
    return TRUE;
}

BOOL CCeDBDatabase::ReadCurrRecord(CCeDBRecord* record)
{
    if (!record) {
        ZuSetLastError(ERROR_INVALID_PARAMETER, L"no record to read into");
        return FALSE;
    }
    if (!d->requireOpen())
        return FALSE;
    if (d->failure)
        return d->restateFailure();
    if (!d->refresh())
        return FALSE;
    while (d->settle() && !d->atEnd) {
        const Row& row = d->rows[d->pos];
        const bool direct = d->direct;
        if (decodeProps(row.props.data(), row.props.size(), record->props())) {
            record->SetOid(row.oid);
            d->advance();
            return TRUE;
        }
        const CEOID bad = row.oid;
        d->skipped.push_back(bad);
        qWarning("pim.db: record %u cannot be decoded and is skipped", bad);
        d->advance();
        if (direct) {
            record->DeleteAllProps();
            ZuSetLastError(ERROR_FILE_CORRUPT, L"record " + std::to_wstring(bad) + L" cannot be decoded");
            return FALSE;
        }
    }
    record->DeleteAllProps();
    if (d->failure)
        return d->restateFailure();
    SetLastError(ERROR_NO_MORE_ITEMS);
    return FALSE;
}

BOOL CCeDBDatabase::ReadFailed() const
{
    return d->open && d->failure != 0;
}

CEOID CCeDBDatabase::WriteProps(CEOID oid, const CEPROPVAL* props, WORD count)
{
    if (!d->requireOpen())
        return 0;
    if (count && !props) {
        ZuSetLastError(ERROR_INVALID_PARAMETER, L"no properties to write");
        return 0;
    }
    CCeDBRecord rec;
    for (WORD i = 0; i < count; ++i)
        rec.props().emplace_back(props[i]);
    return WriteRecord(rec, oid);
}

CEOID CCeDBDatabase::WriteRecord(const CCeDBRecord& record, CEOID oid)
{
    if (!d->requireOpen())
        return 0;
    for (const CCeDBProp& p : record.props()) {
        if (!ZuIsValidPropType(p.GetType())) {
            ZuSetLastError(ERROR_INVALID_PARAMETER, L"a property has an unknown value type");
            return 0;
        }
    }
    Connection* c = d->conn();
    if (!c)
        return 0;
    ZuSqlTransaction tx(c->db());
    if (!tx.ok())
        return 0;
    DbInfo info;  // read again inside the transaction: the database may be gone
    if (!c->findDb(d->info.id, info))
        return 0;
    std::deque<CCeDBProp> merged;
    if (oid != 0 && !c->readRecord(info.id, oid, merged))
        return 0;
    for (const CCeDBProp& p : record.props()) {
        auto same = std::find_if(merged.begin(), merged.end(), [&](const CCeDBProp& m) { return m.GetPropId() == p.GetPropId(); });
        if (p.GetFlags() & CEDB_PROPDELETE) {
            if (same != merged.end())
                merged.erase(same);
            continue;
        }
        if (same != merged.end()) {
            *same = p;
            same->SetFlags(0);
        } else {
            merged.push_back(p);
            merged.back().SetFlags(0);
        }
    }
    const std::int64_t written =
        oid == 0 ? c->insertRecord(info, merged) : (c->updateRecord(info, oid, merged) ? std::int64_t(oid) : 0);
    if (!written || !tx.commit())
        return 0;
    writeGeneration().fetch_add(1);
    changesCommitted();
    return static_cast<CEOID>(written);
}

BOOL CCeDBDatabase::AddRecord(CCeDBRecord* record)
{
    if (!record) {
        ZuSetLastError(ERROR_INVALID_PARAMETER, L"no record to write");
        return FALSE;
    }
    const CEOID oid = WriteRecord(*record, 0);
    if (!oid)
        return FALSE;
    record->SetOid(oid);
    return TRUE;
}

BOOL CCeDBDatabase::WriteCurrRecord(CCeDBRecord* record)
{
    if (!record || !record->GetOid()) {
        ZuSetLastError(ERROR_INVALID_PARAMETER, L"the record has no object id");
        return FALSE;
    }
    return WriteRecord(*record, record->GetOid()) != 0;
}

BOOL CCeDBDatabase::DeleteRecord(CEOID oid)
{
    if (!d->requireOpen())
        return FALSE;
    if (!oid) {
        ZuSetLastError(ERROR_INVALID_PARAMETER, L"no object id");
        return FALSE;
    }
    Connection* c = d->conn();
    if (!c)
        return FALSE;
    ZuSqlTransaction tx(c->db());
    if (!tx.ok())
        return FALSE;
    if (!c->removeRecord(d->info.id, oid) || !tx.commit())
        return FALSE;
    writeGeneration().fetch_add(1);
    changesCommitted();
    return TRUE;
}

BOOL CCeDBDatabase::DeleteCurrRecord()
{
    const CEOID oid = GetCurrentOid();
    if (!oid) {
        SetLastError(ERROR_NO_MORE_ITEMS);
        return FALSE;
    }
    return DeleteRecord(oid);
}

// ---------------------------------------------------------------------------------------------
// Kernel calls

void* LocalAlloc(UINT flags, size_t bytes)
{
    void* p = std::malloc(bytes ? bytes : 1);
    if (p && (flags & LMEM_ZEROINIT))
        std::memset(p, 0, bytes ? bytes : 1);
    return p;
}

void* LocalFree(void* p)
{
    std::free(p);
    return nullptr;
}

CEOID CeSeekDatabase(HANDLE h, DWORD seekType, std::uintptr_t value, DWORD* index)
{
    CCeDBDatabase* db = CCeDBDatabase::FromHandle(h);
    if (!db)
        return 0;
    BOOL ok = FALSE;
    switch (seekType) {
    case CEDB_SEEK_CEOID: ok = db->SeekToRecord(static_cast<CEOID>(value)); break;
    case CEDB_SEEK_BEGINNING:
        ok = db->SeekToIndex(static_cast<DWORD>(value));
        if (ok && index)
            *index = static_cast<DWORD>(value);
        break;
    case CEDB_SEEK_CURRENT:
        ok = !db->IsEOF();
        for (std::uintptr_t i = 0; ok && i < value; ++i)
            ok = db->SeekNext();
        break;
    case CEDB_SEEK_VALUEFIRSTEQUAL: {
        const auto* v = reinterpret_cast<const CEPROPVAL*>(value);
        if (!v) {
            ZuSetLastError(ERROR_INVALID_PARAMETER, L"no value to seek");
            return 0;
        }
        ok = db->SeekValueFirstEqual(CCeDBProp(*v));
        break;
    }
    default: ZuSetLastError(ERROR_INVALID_PARAMETER, L"unsupported seek"); return 0;
    }
    return ok ? db->GetCurrentOid() : 0;
}

CEOID CeReadRecordPropsEx(HANDLE h, DWORD flags, WORD* propCount, const CEPROPID* propIds, BYTE** buffer,
    DWORD* bufferSize, HANDLE /*heap*/)
{
    CCeDBDatabase* db = CCeDBDatabase::FromHandle(h);
    if (!db)
        return 0;
    if (!propCount || !buffer || !bufferSize) {
        ZuSetLastError(ERROR_INVALID_PARAMETER, L"missing output arguments");
        return 0;
    }
    CCeDBRecord rec;
    if (!db->ReadCurrRecord(&rec))
        return 0;
    const CEOID oid = rec.GetOid();
    std::vector<CCeDBProp> chosen;
    if (propIds) {
        for (WORD i = 0; i < *propCount; ++i) {
            if (const CCeDBProp* p = rec.GetFullIdProp(propIds[i])) {
                chosen.push_back(*p);
            } else {
                CCeDBProp missing;
                missing.SetPropId(propIds[i]);
                missing.SetFlags(CEDB_PROPNOTFOUND);
                chosen.push_back(missing);
            }
        }
    } else {
        chosen.assign(rec.props().begin(), rec.props().end());
    }
    // Layout: the CEPROPVAL array, then strings (wchar_t, terminated) and BLOB bytes.
    size_t need = chosen.size() * sizeof(CEPROPVAL);
    for (const CCeDBProp& p : chosen) {
        if (p.GetFlags() & CEDB_PROPNOTFOUND)
            continue;
        if (p.GetType() == CEVT_LPWSTR)
            need += (p.rawString().size() + 1) * sizeof(wchar_t);
        else if (p.GetType() == CEVT_BLOB)
            need += (p.rawBytes().size() + alignof(CEPROPVAL) - 1) / alignof(CEPROPVAL) * alignof(CEPROPVAL);
    }
    if (need > 0xFFFFFFFFu) {
        ZuSetLastError(ERROR_NOT_ENOUGH_MEMORY, L"the record is too large to read into one buffer");
        return 0;
    }
    if (!*buffer || *bufferSize < need) {
        if (!(flags & CEDB_ALLOWREALLOC)) {
            *bufferSize = static_cast<DWORD>(need);
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return 0;
        }
        void* fresh = LocalAlloc(LPTR, need);
        if (!fresh) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return 0;
        }
        LocalFree(*buffer);
        *buffer = static_cast<BYTE*>(fresh);
        *bufferSize = static_cast<DWORD>(need);
    }
    auto* vals = reinterpret_cast<CEPROPVAL*>(*buffer);
    BYTE* data = *buffer + chosen.size() * sizeof(CEPROPVAL);
    for (size_t i = 0; i < chosen.size(); ++i) {
        CCeDBProp& p = chosen[i];
        CEPROPVAL v = p.AsPropVal();
        if (p.GetFlags() & CEDB_PROPNOTFOUND) {
            v.val = CEVALUNION();
        } else if (p.GetType() == CEVT_LPWSTR) {
            const size_t bytes = (p.rawString().size() + 1) * sizeof(wchar_t);
            std::memcpy(data, p.rawString().c_str(), bytes);
            v.val.lpwstr = reinterpret_cast<LPWSTR>(data);
            data += bytes;
        } else if (p.GetType() == CEVT_BLOB) {
            const size_t bytes = p.rawBytes().size();
            if (bytes)
                std::memcpy(data, p.rawBytes().data(), bytes);
            v.val.blob.dwCount = static_cast<DWORD>(bytes);
            v.val.blob.lpb = bytes ? data : nullptr;
            data += (bytes + alignof(CEPROPVAL) - 1) / alignof(CEPROPVAL) * alignof(CEPROPVAL);
        }
        std::memcpy(&vals[i], &v, sizeof(CEPROPVAL));
    }
    *propCount = static_cast<WORD>(chosen.size());
    return oid;
}

CEOID CeWriteRecordProps(HANDLE h, CEOID oid, WORD propCount, const CEPROPVAL* props)
{
    CCeDBDatabase* db = CCeDBDatabase::FromHandle(h);
    if (!db)
        return 0;
    return db->WriteProps(oid, props, propCount);
}

BOOL CeDeleteRecord(HANDLE h, CEOID oid)
{
    CCeDBDatabase* db = CCeDBDatabase::FromHandle(h);
    if (!db)
        return FALSE;
    return db->DeleteRecord(oid);
}
