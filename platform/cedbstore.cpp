#include "cedbstore_p.h"
#include "storefaults.h"

#include "cstring.h"
#include "lasterror.h"
#include "lecodec.h"
#include "windowmessage.h"

#include <QChar>
#include <sqlite3.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

namespace zucedb {

// ---------------------------------------------------------------------------------------------
// Encoding

namespace {

int fixedSize(WORD type)
{
    switch (type) {
    case CEVT_I2:
    case CEVT_UI2: return 2;
    case CEVT_I4:
    case CEVT_UI4: return 4;
    case CEVT_FILETIME: return 8;
    default: return 0;
    }
}

// The value of a fixed-size property at the reader's position, sign-extended for I2 and I4.
std::int64_t fixedValue(ZuLeReader& r, WORD type)
{
    switch (type) {
    case CEVT_I2: return r.i16();
    case CEVT_UI2: return r.u16();
    case CEVT_I4: return r.i32();
    case CEVT_UI4: return r.u32();
    default: return r.i64();
    }
}

} // namespace

bool encodeProps(const std::deque<CCeDBProp>& props, std::string& out)
{
    out.clear();
    if (props.size() > 0xFFFF) {
        ZuSetLastError(ERROR_INVALID_PARAMETER, L"a record holds at most 65535 properties");
        return false;
    }
    ZuLeWriter w;
    w.u16(static_cast<std::uint16_t>(props.size()));
    for (const CCeDBProp& p : props) {
        const WORD type = p.GetType();
        w.u32(p.GetPropId());
        if (const int n = fixedSize(type)) {
            w.u32(static_cast<std::uint32_t>(n));
            w.at(w.size(), static_cast<std::uint64_t>(p.rawInt()), n);
        } else if (type == CEVT_LPWSTR) {
            const std::u16string u = ZuToUtf16(p.rawString());
            const size_t bytes = u.size() * 2;
            if (bytes > CEDB_MAXVALUESIZE) {
                ZuSetLastError(ERROR_INVALID_PARAMETER, L"a string value is larger than 16 MiB");
                return false;
            }
            w.u32(static_cast<std::uint32_t>(bytes));
            w.utf16(u);
        } else if (type == CEVT_BLOB) {
            const auto& b = p.rawBytes();
            if (b.size() > CEDB_MAXVALUESIZE) {
                ZuSetLastError(ERROR_INVALID_PARAMETER, L"a byte value is larger than 16 MiB");
                return false;
            }
            w.u32(static_cast<std::uint32_t>(b.size()));
            w.raw(b.data(), b.size());
        } else {
            ZuSetLastError(ERROR_INVALID_PARAMETER, L"a property has an unknown value type");
            return false;
        }
    }
    out = w.take();
    return true;
}

bool decodeProps(const void* data, size_t size, std::deque<CCeDBProp>& out)
{
    if (!data || size < 2)
        return false;
    ZuLeReader r(data, size);
    const size_t n = r.u16();
    // Every property takes at least its 8-byte header: a count the bytes cannot hold is refused
    // before any property is made (a damaged count would make 65,535 of them for each read).
    if (n > r.remaining() / 8)
        return false;
    out.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const CEPROPID id = r.u32();
        const size_t len = r.u32();
        if (!r.ok() || len > r.remaining())
            return false;
        const WORD type = TypeFromPropID(id);
        CCeDBProp& prop = out[i];
        const size_t start = r.pos();
        if (const int fixed = fixedSize(type)) {
            if (len != static_cast<size_t>(fixed))
                return false;
            prop.setRaw(id, fixedValue(r, type));
            prop.rawString().clear();
            prop.rawBytes().clear();
        } else if (type == CEVT_LPWSTR) {
            if (len % 2)
                return false;
            prop.setRaw(id, 0);
            // Decoded into the storage the property already has (its bytes are there: len was
            // checked); a surrogate pair becomes one character, a surrogate alone stays as it is
            // (as ZuFromUtf16 has it).
            const BYTE* bytes = r.data() + start;
            const size_t count = len / 2;
            std::wstring& text = prop.rawString();
            text.resize(count);
            size_t w = 0;
            for (size_t c = 0; c < count; ++c) {
                const char16_t u = ZuUtf16LeUnitAt(bytes, c);
                if (u >= 0xD800 && u <= 0xDBFF && c + 1 < count) {
                    const char16_t lo = ZuUtf16LeUnitAt(bytes, c + 1);
                    if (lo >= 0xDC00 && lo <= 0xDFFF) {
                        text[w++] = static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
                        ++c;
                        continue;
                    }
                }
                text[w++] = static_cast<wchar_t>(u);
            }
            text.resize(w);
            prop.rawBytes().clear();
        } else if (type == CEVT_BLOB) {
            prop.setRaw(id, 0);
            prop.rawBytes().assign(r.data() + start, r.data() + start + len);
            prop.rawString().clear();
        } else {
            return false;
        }
        r.seek(start + len);
    }
    return r.remaining() == 0;
}

// ---------------------------------------------------------------------------------------------
// Sort keys

namespace {

// Latin letters fold to lower case; everything else (Hangul among it) keeps its code point.
std::string foldedUtf8(const std::wstring& s)
{
    QString q;
    q.reserve(static_cast<qsizetype>(s.size()));
    for (wchar_t wc : s) {
        char32_t c = static_cast<char32_t>(wc);
        if (c < 0x0250 || (c >= 0x1E00 && c < 0x1F00) || (c >= 0xFF21 && c <= 0xFF5A))
            c = QChar::toLower(c);
        if (c > 0x10FFFF)
            c = 0xFFFD;
        const char32_t one[1] = {c};
        q += QString::fromUcs4(one, 1);
    }
    return q.toStdString();
}

std::string plainUtf8(const std::wstring& s)
{
    return QString::fromStdWString(s).toStdString();
}

} // namespace

SortKey sortKeyOfValue(const CCeDBProp& p, const SortSpec& order)
{
    SortKey k;
    if (p.GetPropId() != order.propid)
        return k;
    k.missing = 0;
    switch (p.GetType()) {
    case CEVT_LPWSTR:
        k.kind = SortKey::Text;
        k.s = (order.flags & 0x2) ? foldedUtf8(p.rawString()) : plainUtf8(p.rawString());
        break;
    case CEVT_BLOB:
        k.kind = SortKey::Bytes;
        k.s.assign(reinterpret_cast<const char*>(p.rawBytes().data()), p.rawBytes().size());
        break;
    case CEVT_FILETIME:
        k.i = static_cast<std::int64_t>(static_cast<std::uint64_t>(p.rawInt()) ^ 0x8000000000000000ull);
        break;
    default: k.i = p.rawInt(); break;
    }
    return k;
}

SortKey sortKeyOf(const std::deque<CCeDBProp>& props, const SortSpec& order)
{
    for (const CCeDBProp& p : props)
        if (p.GetPropId() == order.propid)
            return sortKeyOfValue(p, order);
    return SortKey();
}

void bindKey(ZuSqlStmt& stmt, int index, const SortKey& key)
{
    stmt.bind(index, static_cast<std::int64_t>(key.missing));
    switch (key.kind) {
    case SortKey::Int: stmt.bind(index + 1, key.i); break;
    case SortKey::Text: stmt.bind(index + 1, std::string_view(key.s)); break;
    case SortKey::Bytes: stmt.bindBlob(index + 1, key.s.data(), key.s.size()); break;
    }
}

SortKey readKey(const ZuSqlStmt& stmt, int missingCol, int keyCol)
{
    SortKey k;
    k.missing = static_cast<int>(stmt.int64(missingCol));
    switch (sqlite3_column_type(stmt.get(), keyCol)) {
    case SQLITE_TEXT:
        k.kind = SortKey::Text;
        k.s = std::string(stmt.text(keyCol));
        break;
    case SQLITE_BLOB:
        k.kind = SortKey::Bytes;
        k.s.assign(static_cast<const char*>(stmt.blob(keyCol)), static_cast<size_t>(stmt.bytes(keyCol)));
        break;
    default:
        k.kind = SortKey::Int;
        k.i = stmt.int64(keyCol);
        break;
    }
    return k;
}

// ---------------------------------------------------------------------------------------------
// Connections

namespace {

const char* kSchema = R"SQL(
CREATE TABLE IF NOT EXISTS zu_db(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  name TEXT NOT NULL UNIQUE COLLATE NOCASE,
  type INTEGER NOT NULL DEFAULT 0,
  sorts BLOB,
  count INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS zu_rec(
  oid INTEGER PRIMARY KEY AUTOINCREMENT,
  db INTEGER NOT NULL,
  props BLOB NOT NULL,
  m0 INTEGER, k0, m1 INTEGER, k1, m2 INTEGER, k2, m3 INTEGER, k3);
CREATE INDEX IF NOT EXISTS zu_rec_db ON zu_rec(db, oid);
CREATE INDEX IF NOT EXISTS zu_rec_s0 ON zu_rec(db, m0, k0, oid) WHERE m0 IS NOT NULL;
CREATE INDEX IF NOT EXISTS zu_rec_s1 ON zu_rec(db, m1, k1, oid) WHERE m1 IS NOT NULL;
CREATE INDEX IF NOT EXISTS zu_rec_s2 ON zu_rec(db, m2, k2, oid) WHERE m2 IS NOT NULL;
CREATE INDEX IF NOT EXISTS zu_rec_s3 ON zu_rec(db, m3, k3, oid) WHERE m3 IS NOT NULL;
CREATE TABLE IF NOT EXISTS zu_notify(
  handle INTEGER PRIMARY KEY AUTOINCREMENT,
  type INTEGER NOT NULL, event INTEGER NOT NULL,
  app TEXT, args TEXT, start BLOB NOT NULL, end BLOB NOT NULL,
  flags INTEGER NOT NULL, title TEXT, text TEXT, sound TEXT, maxsound INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS zu_changes(
  seq INTEGER PRIMARY KEY,
  db INTEGER NOT NULL,
  oid INTEGER NOT NULL,
  what INTEGER NOT NULL,
  at INTEGER NOT NULL);
)SQL";

} // namespace

std::string encodeSorts(const std::vector<SortSpec>& sorts)
{
    ZuLeWriter w;
    for (const SortSpec& s : sorts) {
        w.u32(s.propid);
        w.u32(s.flags);
    }
    return w.take();
}

namespace {

std::vector<SortSpec> decodeSorts(const void* data, int bytes)
{
    std::vector<SortSpec> sorts;
    ZuLeReader r(data, bytes > 0 ? static_cast<size_t>(bytes) : 0);
    while (r.remaining() >= 8 && sorts.size() < kMaxSortOrders)
        sorts.push_back(SortSpec{r.u32(), r.u32()});
    return sorts;
}

} // namespace

bool Connection::open(const std::string& path)
{
    m_stmts.clear();
    if (!m_db.open(path))
        return false;
    // The schema is made once per file; a store another program is creating right now waits.
    // A file that has tables is used only when they are the ones this code makes (a version 0
    // store has the same ones) and its version is one this code knows; anything else is refused
    // before anything is written to it.
    bool empty = false;
    std::int64_t version = 0;
    {
        ZuSqlStmt probe = m_db.prepare(
            "SELECT (SELECT count(*) FROM sqlite_schema), (SELECT user_version FROM pragma_user_version)");
        if (!probe)
            return false;
        if (const int rc = probe.step(); rc != SQLITE_ROW)
            return m_db.fail(rc, "cannot read the store");
        empty = probe.int64(0) == 0;
        version = probe.int64(1);
    }  // the probe's read ends before the schema transaction
    if (empty) {
        ZuSqlTransaction tx(m_db);
        if (!tx.ok())
            return false;
        if (!refuseUnknown() || !m_db.exec(kSchema) || !addPimDatabases() || !upgrade() || !tx.commit())
            return false;
        return true;
    }
    if (version < 0 || version > kStoreVersion) {
        ZuSetLastError(ERROR_INVALID_DATA, CString::fromUtf8(path).str() + L": a store of version "
                + std::to_wstring(version) + L", which this version of the suite does not know; it is left as it is");
        m_db.close();
        return false;
    }
    if (!m_db.checkSchema(kSchema, L"a store of the suite")) {
        m_db.close();
        return false;
    }
    if (version < kStoreVersion) {
        // A store that cannot be upgraded now (read-only, full) is still used as it is; the next
        // program to open it tries again.
        ZuSqlTransaction tx(m_db);
        if (tx.ok() && upgrade())
            tx.commit();
    }
    return true;
}

// Inside the schema transaction of a file that looked empty: another program may have made the
// schema meanwhile, and then it is checked like any other.
bool Connection::refuseUnknown()
{
    ZuSqlStmt probe = m_db.prepare("SELECT count(*) FROM sqlite_schema");
    if (!probe)
        return false;
    if (const int rc = probe.step(); rc != SQLITE_ROW)
        return m_db.fail(rc, "cannot read the store");
    return probe.int64(0) == 0 || m_db.checkSchema(kSchema, L"a store of the suite");
}

namespace {

// The appointments database's orders: the start, then what the calendar reads apart from a
// range of starts (recurring and lunar appointments, long ones).
std::vector<SortSpec> appointmentSorts()
{
    return {{MAKEPROPID(0x420D, CEVT_FILETIME), 0}, {MAKEPROPID(0x4223, CEVT_I2), 0},
        {MAKEPROPID(0x8001, CEVT_I2), 0}, {MAKEPROPID(0x4213, CEVT_I4), 0}};
}

} // namespace

// Version 1 added the appointments database's last three sort orders. Runs inside the schema
// transaction, so a second program opening the store waits and then finds it done.
bool Connection::upgrade()
{
    ZuSqlStmt version = m_db.prepare("SELECT user_version FROM pragma_user_version");
    if (!version || version.step() != SQLITE_ROW)
        return m_db.fail(sqlite3_errcode(m_db.handle()), "cannot read the store's version");
    if (version.int64(0) >= kStoreVersion)
        return true;
    DbInfo info;
    const std::vector<SortSpec> wanted = appointmentSorts();
    if (findDb(L"Appointments Database", info) && info.sorts.size() == 1 && info.sorts[0].propid == wanted[0].propid
        && info.sorts[0].flags == wanted[0].flags) {
        const std::string sorts = encodeSorts(wanted);
        ZuSqlUse setSorts(stmt("UPDATE zu_db SET sorts=?2 WHERE id=?1"));
        ZuSqlStmt rows = m_db.prepare("SELECT oid, props FROM zu_rec WHERE db=?1");
        ZuSqlStmt* setKeys = stmt("UPDATE zu_rec SET m1=?2, k1=?3, m2=?4, k2=?5, m3=?6, k3=?7 WHERE oid=?1");
        if (!setSorts || !rows || !setKeys)
            return false;
        setSorts->bind(1, info.id);
        setSorts->bindBlob(2, sorts.data(), sorts.size());
        if (!done(*setSorts, "cannot upgrade the appointments database"))
            return false;
        rows.bind(1, info.id);
        std::deque<CCeDBProp> props;
        int rc;
        while ((rc = rows.step()) == SQLITE_ROW) {
            props.clear();
            // A record that does not decode keeps "missing" keys, as a write would give it.
            decodeProps(rows.blob(1), static_cast<size_t>(rows.bytes(1)), props);
            ZuSqlUse set(setKeys);
            set->bind(1, rows.int64(0));
            for (int i = 1; i < kMaxSortOrders; ++i)
                bindKey(*set, 2 * i, sortKeyOf(props, wanted[static_cast<size_t>(i)]));
            if (!done(*set, "cannot upgrade the appointments database"))
                return false;
        }
        if (rc != SQLITE_DONE)
            return m_db.fail(rc, "cannot upgrade the appointments database");
    } else if (!info.id && GetLastError() != ERROR_FILE_NOT_FOUND) {
        return false;
    }
    return m_db.exec(("PRAGMA user_version=" + std::to_string(kStoreVersion)).c_str());
}

// The handheld comes with its four PIM databases; a new store has them, empty.
bool Connection::addPimDatabases()
{
    struct Pim {
        const char* name;
        std::vector<SortSpec> sorts;
    };
    const Pim pims[] = {
        {"Appointments Database", appointmentSorts()},
        {"Contacts Database",
            {{MAKEPROPID(0x4013, CEVT_LPWSTR), 2}, {MAKEPROPID(0x3A06, CEVT_LPWSTR), 2}, {MAKEPROPID(0x3A16, CEVT_LPWSTR), 2}}},
        {"Tasks Database", {{MAKEPROPID(0x4105, CEVT_FILETIME), 0}, {MAKEPROPID(0x0037, CEVT_LPWSTR), 2}}},
        {"\\Categories Database", {{MAKEPROPID(0x4001, CEVT_LPWSTR), 2}, {MAKEPROPID(0x4002, CEVT_I2), 0}}},
    };
    for (const Pim& pim : pims) {
        ZuSqlUse s(stmt("INSERT OR IGNORE INTO zu_db(name, type, sorts) VALUES(?1, 0, ?2)"));
        if (!s)
            return false;
        const std::string sorts = encodeSorts(pim.sorts);
        s->bind(1, std::string_view(pim.name));
        s->bindBlob(2, sorts.data(), sorts.size());
        if (!done(*s, "cannot create the PIM databases"))
            return false;
    }
    return true;
}

ZuSqlStmt* Connection::stmt(const std::string& sql)
{
    auto it = m_stmts.find(sql);
    if (it == m_stmts.end()) {
        ZuSqlStmt s = m_db.prepare(sql.c_str());
        if (!s)
            return nullptr;
        it = m_stmts.emplace(sql, std::move(s)).first;
    }
    it->second.reset();
    return &it->second;
}

bool Connection::findDb(const std::variant<std::wstring_view, std::int64_t>& nameOrId, DbInfo& info)
{
    const std::wstring_view* name = std::get_if<std::wstring_view>(&nameOrId);
    ZuSqlUse s(stmt(name ? "SELECT id, type, sorts FROM zu_db WHERE name=?1" : "SELECT id, type, sorts FROM zu_db WHERE id=?1"));
    if (!s)
        return false;
    if (name)
        s->bind(1, CString(*name).toUtf8());
    else
        s->bind(1, std::get<std::int64_t>(nameOrId));
    const int rc = s->step();
    if (rc != SQLITE_ROW) {
        if (rc != SQLITE_DONE)
            m_db.fail(rc, "cannot read the list of databases");
        else if (name)
            ZuSetLastError(ERROR_FILE_NOT_FOUND, L"no database named \"" + std::wstring(*name) + L"\"");
        else
            ZuSetLastError(ERROR_INVALID_HANDLE, L"the database was deleted");
        return false;
    }
    info.id = s->int64(0);
    info.type = static_cast<DWORD>(s->int64(1));
    info.sorts = decodeSorts(s->blob(2), s->bytes(2));
    return true;
}

std::int64_t Connection::lastChangeSeq()
{
    ZuSqlUse s(stmt("SELECT coalesce(max(seq), 0) FROM zu_changes"));
    if (!s || s->step() != SQLITE_ROW)
        return 0;
    return s->int64(0);
}

// ---------------------------------------------------------------------------------------------
// Records

namespace {

std::int64_t nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

// Binds a record's row: ?1 the database, ?2 the encoded properties, ?3 to ?10 the sort key of
// each of the database's orders (NULL for the orders it does not have).
void bindRecord(ZuSqlStmt& s, const DbInfo& db, const std::string& encoded, const std::deque<CCeDBProp>& props)
{
    s.bind(1, db.id);
    s.bindBlob(2, encoded.data(), encoded.size());
    for (int i = 0; i < kMaxSortOrders; ++i) {
        if (static_cast<size_t>(i) < db.sorts.size()) {
            bindKey(s, 3 + 2 * i, sortKeyOf(props, db.sorts[static_cast<size_t>(i)]));
        } else {
            s.bindNull(3 + 2 * i);
            s.bindNull(4 + 2 * i);
        }
    }
}

} // namespace

namespace {

std::atomic<int> g_failWrites{0};

// True (and the last error set) when a test asked for this write to fail.
bool writeRefusedForTest()
{
    int left = g_failWrites.load();
    while (left > 0) {
        if (g_failWrites.compare_exchange_weak(left, left - 1)) {
            ZuSetLastError(ERROR_DISK_FULL, L"the disk is full (a test made this write fail)");
            return true;
        }
    }
    return false;
}

} // namespace

void failWritesForTest(int count)
{
    g_failWrites.store(count > 0 ? count : 0);
}

bool Connection::done(ZuSqlStmt& s, const char* failure)
{
    const int rc = s.step();
    return rc == SQLITE_DONE || m_db.fail(rc, failure);
}

bool Connection::readRecord(std::int64_t db, std::int64_t oid, std::deque<CCeDBProp>& props)
{
    ZuSqlUse s(stmt("SELECT props FROM zu_rec WHERE oid=?1 AND db=?2"));
    if (!s)
        return false;
    s->bind(1, oid);
    s->bind(2, db);
    const int rc = s->step();
    if (rc != SQLITE_ROW) {
        if (rc == SQLITE_DONE)
            ZuSetLastError(ERROR_NOT_FOUND, L"no record with that object id in the database");
        else
            m_db.fail(rc, "cannot read a record");
        return false;
    }
    if (!decodeProps(s->blob(0), static_cast<size_t>(s->bytes(0)), props)) {
        ZuSetLastError(ERROR_FILE_CORRUPT, L"record " + std::to_wstring(oid) + L" cannot be decoded");
        return false;
    }
    return true;
}

std::int64_t Connection::insertRecord(const DbInfo& db, const std::deque<CCeDBProp>& props)
{
    if (writeRefusedForTest())
        return 0;
    std::string encoded;
    if (!encodeProps(props, encoded))
        return 0;
    {
        ZuSqlUse w(stmt("INSERT INTO zu_rec(db, props, m0, k0, m1, k1, m2, k2, m3, k3) "
                        "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)"));
        if (!w)
            return 0;
        bindRecord(*w, db, encoded, props);
        if (!done(*w, "cannot write a record"))
            return 0;
    }
    const std::int64_t oid = m_db.lastInsertId();
    if (oid <= 0 || oid > 0xFFFFFFFFll) {
        ZuSetLastError(ERROR_DISK_FULL, L"the store has used up its object ids");
        return 0;
    }
    {
        ZuSqlUse n(stmt("UPDATE zu_db SET count = count + 1 WHERE id=?1"));
        if (!n)
            return 0;
        n->bind(1, db.id);
        if (!done(*n, "cannot count a record"))
            return 0;
    }
    return logChange(db.id, oid, kCreated) ? oid : 0;
}

bool Connection::updateRecord(const DbInfo& db, std::int64_t oid, const std::deque<CCeDBProp>& props)
{
    if (writeRefusedForTest())
        return false;
    std::string encoded;
    if (!encodeProps(props, encoded))
        return false;
    {
        ZuSqlUse w(stmt("UPDATE zu_rec SET db=?1, props=?2, m0=?3, k0=?4, m1=?5, k1=?6, m2=?7, k2=?8, m3=?9, k3=?10 "
                        "WHERE oid=?11"));
        if (!w)
            return false;
        bindRecord(*w, db, encoded, props);
        w->bind(11, oid);
        if (!done(*w, "cannot write a record"))
            return false;
    }
    return logChange(db.id, oid, kChanged);
}

bool Connection::removeRecord(std::int64_t db, std::int64_t oid)
{
    if (writeRefusedForTest())
        return false;
    {
        ZuSqlUse s(stmt("DELETE FROM zu_rec WHERE oid=?1 AND db=?2"));
        if (!s)
            return false;
        s->bind(1, oid);
        s->bind(2, db);
        if (!done(*s, "cannot delete a record"))
            return false;
    }
    if (m_db.changes() != 1) {
        ZuSetLastError(ERROR_NOT_FOUND, L"no record with that object id in the database");
        return false;
    }
    {
        ZuSqlUse n(stmt("UPDATE zu_db SET count = max(count - 1, 0) WHERE id=?1"));
        if (!n)
            return false;
        n->bind(1, db);
        if (!done(*n, "cannot delete a record"))
            return false;
    }
    return logChange(db, oid, kDeleted, "cannot delete a record");
}

bool Connection::logChange(std::int64_t db, std::int64_t oid, int what, const char* failure)
{
    {
        ZuSqlUse log(stmt("INSERT INTO zu_changes(db, oid, what, at) VALUES(?1, ?2, ?3, ?4)"));
        if (!log)
            return false;
        log->bind(1, db);
        log->bind(2, oid);
        log->bind(3, static_cast<std::int64_t>(what));
        log->bind(4, nowMs());
        if (!done(*log, failure))
            return false;
    }
    // The change log keeps ten minutes; watchers look every few tens of milliseconds.
    if ((m_db.lastInsertId() & 0xFF) == 0) {
        ZuSqlUse prune(stmt("DELETE FROM zu_changes WHERE at < ?1 AND seq < (SELECT max(seq) FROM zu_changes)"));
        if (prune) {
            prune->bind(1, nowMs() - 10 * 60 * 1000);
            prune->step();
        }
    }
    return true;
}

namespace {

// A few connections per thread, one per store file most recently used.
struct ThreadConnections {
    std::vector<std::unique_ptr<Connection>> list;
};
thread_local ThreadConnections t_connections;
constexpr size_t kConnectionsPerThread = 4;

} // namespace

Connection* connectionFor(const std::string& path)
{
    if (path.empty()) {
        ZuSetLastError(ERROR_FILE_NOT_FOUND, L"the data folder cannot be created");
        return nullptr;
    }
    auto& list = t_connections.list;
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i]->path() == path) {
            if (i != 0)
                std::swap(list[0], list[i]);
            return list[0].get();
        }
    }
    auto conn = std::make_unique<Connection>();
    if (!conn->open(path))
        return nullptr;
    list.insert(list.begin(), std::move(conn));
    if (list.size() > kConnectionsPerThread)
        list.pop_back();
    return list[0].get();
}

std::atomic<std::uint64_t>& writeGeneration()
{
    static std::atomic<std::uint64_t> generation{0};
    return generation;
}

// ---------------------------------------------------------------------------------------------
// Notifications

namespace {

class Watcher {
public:
    static Watcher& instance()
    {
        static Watcher w;
        return w;
    }

    std::uint64_t add(const std::string& path, std::int64_t dbId, QObject* target, std::int64_t afterSeq)
    {
        std::lock_guard lock(m_mutex);
        const std::uint64_t token = ++m_nextToken;
        m_targets.push_back(Target{token, path, dbId, target, afterSeq});
        m_forceQuery = true;
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
        m_wake.notify_all();
        return token;
    }

    void poke()
    {
        std::lock_guard lock(m_mutex);
        if (m_targets.empty())
            return;
        m_poked = true;
        m_wake.notify_all();
    }

    void remove(std::uint64_t token)
    {
        std::lock_guard lock(m_mutex);
        std::erase_if(m_targets, [token](const Target& t) { return t.token == token; });
    }

    ~Watcher()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
            m_wake.notify_all();
        }
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    struct Target {
        std::uint64_t token;
        std::string path;
        std::int64_t dbId;
        QObject* target;
        std::int64_t lastSeq;
    };
    struct Source {
        ZuSqlite db;
        ZuSqlStmt version;
        ZuSqlStmt changes;
        std::int64_t dataVersion = -1;
    };
    struct Change {
        std::int64_t seq, db, oid, what;
    };

    // How often the change log is looked at; a change reaches its window within about this time.
    static constexpr auto kPollInterval = std::chrono::milliseconds(20);

    void run()
    {
        std::map<std::string, std::unique_ptr<Source>> sources;
        std::unique_lock lock(m_mutex);
        while (!m_stop) {
            // system_clock: its wait is the plain timed wait, which every thread checker follows.
            m_wake.wait_until(lock, std::chrono::system_clock::now() + kPollInterval, [this] { return m_stop || m_poked; });
            m_poked = false;
            if (m_stop)
                break;
            std::map<std::string, std::int64_t> wanted;  // path -> lowest seq still to deliver
            for (const Target& t : m_targets) {
                auto [it, fresh] = wanted.emplace(t.path, t.lastSeq);
                if (!fresh && t.lastSeq < it->second)
                    it->second = t.lastSeq;
            }
            std::erase_if(sources, [&](const auto& s) { return !wanted.count(s.first); });
            if (m_forceQuery) {
                // A new target may wait for changes the last look already passed over.
                for (auto& s : sources)
                    s.second->dataVersion = -1;
                m_forceQuery = false;
            }
            lock.unlock();
            std::map<std::string, std::vector<Change>> found;
            for (const auto& [path, afterSeq] : wanted)
                poll(sources, path, afterSeq, found[path]);
            lock.lock();
            for (Target& t : m_targets) {
                auto it = found.find(t.path);
                if (it == found.end())
                    continue;
                for (const Change& c : it->second) {
                    if (c.seq <= t.lastSeq)
                        continue;
                    t.lastSeq = c.seq;
                    if (c.db == t.dbId)
                        ZuPostMessage(t.target, WM_USER + static_cast<UINT>(c.what), static_cast<WPARAM>(c.oid),
                            static_cast<LPARAM>(c.db));
                }
            }
        }
    }

    static void poll(std::map<std::string, std::unique_ptr<Source>>& sources, const std::string& path,
        std::int64_t afterSeq, std::vector<Change>& out)
    {
        auto& src = sources[path];
        if (!src) {
            src = std::make_unique<Source>();
            if (!src->db.open(path, false)) {
                sources.erase(path);
                return;
            }
            src->version = src->db.prepare("PRAGMA data_version");
            src->changes = src->db.prepare("SELECT seq, db, oid, what FROM zu_changes WHERE seq > ?1 ORDER BY seq");
        }
        if (!src->version || !src->changes)
            return;
        std::int64_t version = 0;
        {
            ZuSqlUse v(src->version);
            if (v->step() != SQLITE_ROW)
                return;
            version = v->int64(0);
        }
        if (version == src->dataVersion)
            return;
        src->dataVersion = version;
        ZuSqlUse changes(src->changes);
        changes->bind(1, afterSeq);
        while (changes->step() == SQLITE_ROW)
            out.push_back(Change{changes->int64(0), changes->int64(1), changes->int64(2), changes->int64(3)});
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_thread;
    bool m_stop = false;
    bool m_forceQuery = false;
    bool m_poked = false;  // a commit of this process since the last look
    std::uint64_t m_nextToken = 0;
    std::vector<Target> m_targets;
};

} // namespace

std::uint64_t watch(const std::string& path, std::int64_t dbId, QObject* target, std::int64_t afterSeq)
{
    return Watcher::instance().add(path, dbId, target, afterSeq);
}

void unwatch(std::uint64_t token)
{
    if (token)
        Watcher::instance().remove(token);
}

void changesCommitted()
{
    Watcher::instance().poke();
}

} // namespace zucedb

void ZuFailStoreWrites(int count)
{
    zucedb::failWritesForTest(count);
}
