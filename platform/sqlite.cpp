#include "sqlite.h"

#include "datafolder.h"
#include "lasterror.h"

#include <sqlite3.h>

#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// How long a statement waits for another program's lock before it gives up.
constexpr int kBusyTimeoutMs = 10000;
}  // namespace

ZuSqlStmt& ZuSqlStmt::operator=(ZuSqlStmt&& other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_stmt = other.m_stmt;
        other.m_stmt = nullptr;
    }
    return *this;
}

ZuSqlStmt::~ZuSqlStmt()
{
    sqlite3_finalize(m_stmt);
}

void ZuSqlStmt::bind(int i, std::int64_t v)
{
    sqlite3_bind_int64(m_stmt, i, v);
}

void ZuSqlStmt::bind(int i, std::string_view text)
{
    sqlite3_bind_text(m_stmt, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void ZuSqlStmt::bindBlob(int i, const void* data, size_t size)
{
    sqlite3_bind_blob(m_stmt, i, size ? data : "", static_cast<int>(size), SQLITE_TRANSIENT);
}

void ZuSqlStmt::bindNull(int i)
{
    sqlite3_bind_null(m_stmt, i);
}

int ZuSqlStmt::step()
{
    return sqlite3_step(m_stmt);
}

void ZuSqlStmt::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

std::int64_t ZuSqlStmt::int64(int col) const
{
    return sqlite3_column_int64(m_stmt, col);
}

std::string_view ZuSqlStmt::text(int col) const
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, col));
    return p ? std::string_view(p, static_cast<size_t>(sqlite3_column_bytes(m_stmt, col))) : std::string_view();
}

const void* ZuSqlStmt::blob(int col) const
{
    return sqlite3_column_blob(m_stmt, col);
}

int ZuSqlStmt::bytes(int col) const
{
    return sqlite3_column_bytes(m_stmt, col);
}

bool ZuSqlStmt::isNull(int col) const
{
    return sqlite3_column_type(m_stmt, col) == SQLITE_NULL;
}

ZuSqlite::~ZuSqlite()
{
    close();
}

DWORD ZuSqlite::errorCode(int rc)
{
    switch (rc & 0xFF) {
    case SQLITE_OK: return ERROR_SUCCESS;
    case SQLITE_NOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH: return ERROR_ACCESS_DENIED;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return ERROR_FILE_CORRUPT;
    case SQLITE_FULL: return ERROR_DISK_FULL;
    case SQLITE_CANTOPEN: return ERROR_FILE_NOT_FOUND;
    case SQLITE_TOOBIG:
    case SQLITE_RANGE:
    case SQLITE_MISUSE: return ERROR_INVALID_PARAMETER;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return ERROR_TIMEOUT;
    default: return ERROR_WRITE_FAULT;
    }
}

bool ZuSqlite::fail(int rc, const char* what)
{
    switch (rc & 0xFF) {
    case SQLITE_IOERR: case SQLITE_FULL: case SQLITE_READONLY: case SQLITE_CORRUPT: case SQLITE_NOTADB:
    case SQLITE_NOMEM: case SQLITE_CANTOPEN: case SQLITE_BUSY: case SQLITE_LOCKED: case SQLITE_PERM:
    case SQLITE_PROTOCOL:
        if (m_inTransaction)
            m_broken = true;
        break;
    default: break;
    }
    std::string detail = m_path.empty() ? std::string("store") : m_path;
    detail += ": ";
    detail += what;
    detail += ": ";
    detail += m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
    ZuSetLastError(errorCode(rc), CString::fromUtf8(detail).str());
    return false;
}

bool ZuSqlite::open(const std::string& path, bool readOnly, bool syncEachCommit)
{
    close();
    m_path = path;
    // A new file is made here, 0600 from the first moment, before SQLite opens it (SQLite would
    // make it 0644 less the umask, and its -wal and -shm files take the store file's mode).
    if (!readOnly && path != ":memory:") {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd >= 0)
            ::close(fd);
    }
    const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)
        | SQLITE_OPEN_NOMUTEX;
    int rc = sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        fail(rc, "cannot open");
        close();
        m_path = path;
        return false;
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    const bool file = !readOnly && path != ":memory:";
    if (file)
        ZuRestrictFile(path);
    // Reading the schema here tells a file that is not a store at once.
    if (!exec("PRAGMA foreign_keys=OFF; SELECT count(*) FROM sqlite_schema;")) {
        // On a read-only disk SQLite falls back to reading, but a store in WAL mode cannot be
        // read without making its -wal and -shm. When there is no -wal (every program closed
        // it), the file alone is the whole store and is read as it is; otherwise its last
        // changes are there and cannot be read: that is said.
        const int code = sqlite3_extended_errcode(m_db);
        const bool fellBack = sqlite3_db_readonly(m_db, "main") == 1;
        close();
        m_path = path;
        if (!fellBack || ((code & 0xFF) != SQLITE_CANTOPEN && (code & 0xFF) != SQLITE_READONLY))
            return false;
        struct stat wal {};
        if (::stat((path + "-wal").c_str(), &wal) == 0 && wal.st_size > 0) {
            ZuSetLastError(ERROR_ACCESS_DENIED, CString::fromUtf8(path).str()
                    + L": the folder is read-only and the store's last changes (its -wal) cannot be read there");
            return false;
        }
        return openImmutable(path);
    }
    // A larger page cache and memory-mapped reads keep walks in another order than the
    // records were written from going back to the file for every page.
    exec("PRAGMA cache_size=-16384; PRAGMA mmap_size=268435456;");
    // synchronous=FULL syncs the -wal at each commit, before the commit is reported, so what
    // was reported written survives a power cut; NORMAL syncs only at checkpoints, so a power cut
    // (not a kill) may take back the last commits, never leaving a damaged file.
    if (!readOnly
        && !(enterWal() && exec(syncEachCommit ? "PRAGMA synchronous=FULL;" : "PRAGMA synchronous=NORMAL;"))) {
        close();
        return false;
    }
    if (file) {
        ZuRestrictFile(path + "-wal");
        ZuRestrictFile(path + "-shm");
    }
    return true;
}

// A new file is switched to WAL by the first program that opens it. Another program opening it
// in that moment gets SQLITE_BUSY from the switch without the busy handler's wait, so the switch is
// tried again for as long as a writer would wait for a lock.
bool ZuSqlite::enterWal()
{
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + std::chrono::milliseconds(kBusyTimeoutMs);
    for (;;) {
        const int rc = sqlite3_exec(m_db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK)
            return true;
        if ((rc & 0xFF) != SQLITE_BUSY || clock::now() >= deadline)
            return fail(rc, "cannot run a statement");
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

bool ZuSqlite::openImmutable(const std::string& path)
{
    std::string uri = "file:";
    for (const char c : path) {
        if (c == '%' || c == '?' || c == '#')
            uri += c == '%' ? "%25" : c == '?' ? "%3f" : "%23";
        else
            uri += c;
    }
    uri += "?immutable=1";
    const int rc = sqlite3_open_v2(uri.c_str(), &m_db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK || !exec("SELECT count(*) FROM sqlite_schema;")) {
        if (rc != SQLITE_OK)
            fail(rc, "cannot open");
        close();
        m_path = path;
        return false;
    }
    sqlite3_extended_result_codes(m_db, 1);
    return true;
}

std::string ZuSqlite::schemaShape()
{
    // Every table's columns (name, declared type, not null, default, key) and every index's
    // columns with whether it is unique or partial, in name order; SQLite's own tables left out.
    static const char* const kShape[] = {
        "SELECT m.name, p.cid, p.name, p.type, p.\"notnull\", coalesce(p.dflt_value, ''), p.pk "
        "FROM sqlite_schema m, pragma_table_info(m.name) p "
        "WHERE m.type='table' AND m.name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY m.name, p.cid",
        "SELECT m.name, l.name, l.\"unique\", l.partial, i.seqno, coalesce(i.name, '') "
        "FROM sqlite_schema m, pragma_index_list(m.name) l, pragma_index_info(l.name) i "
        "WHERE m.type='table' AND m.name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY m.name, l.name, i.seqno",
    };
    std::string shape;
    for (const char* sql : kShape) {
        ZuSqlStmt s = prepare(sql);
        if (!s)
            return {};
        int rc;
        while ((rc = s.step()) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(s.get()); ++c) {
                shape += s.text(c);
                shape += c + 1 < sqlite3_column_count(s.get()) ? '|' : '\n';
            }
        }
        if (rc != SQLITE_DONE) {
            fail(rc, "cannot read the schema");
            return {};
        }
        shape += "--\n";
    }
    return shape;
}

bool ZuSqlite::checkSchema(const char* schema, const wchar_t* kind)
{
    const std::string found = schemaShape();
    if (found.empty())
        return false;
    ZuSqlite expected;
    if (!expected.open(":memory:") || !expected.exec(schema)) {
        ZuSetLastError(ERROR_NOT_ENOUGH_MEMORY, L"cannot make the schema to compare with");
        return false;
    }
    if (found == expected.schemaShape())
        return true;
    ZuSetLastError(ERROR_FILE_CORRUPT,
        CString::fromUtf8(m_path).str() + L": the tables are not those of " + kind
            + L" (the file is damaged or was made by another program); it is left as it is");
    return false;
}

void ZuSqlite::close()
{
    m_inTransaction = false;
    m_broken = false;
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

bool ZuSqlite::exec(const char* sql)
{
    if (!m_db) {
        ZuSetLastError(ERROR_INVALID_HANDLE, L"store is not open");
        return false;
    }
    char* err = nullptr;
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc != SQLITE_OK)
        return fail(rc, "cannot run a statement");
    return true;
}

ZuSqlStmt ZuSqlite::prepare(const char* sql)
{
    sqlite3_stmt* stmt = nullptr;
    if (!m_db) {
        ZuSetLastError(ERROR_INVALID_HANDLE, L"store is not open");
        return ZuSqlStmt();
    }
    const int rc = sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        fail(rc, "cannot prepare a statement");
        sqlite3_finalize(stmt);
        return ZuSqlStmt();
    }
    return ZuSqlStmt(stmt);
}

std::int64_t ZuSqlite::lastInsertId() const
{
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

int ZuSqlite::changes() const
{
    return m_db ? sqlite3_changes(m_db) : 0;
}

ZuSqlTransaction::ZuSqlTransaction(ZuSqlite& db) : m_db(db)
{
    // Inside a transaction already (a batch of writes), this one is a savepoint within it.
    const bool autocommit = !m_db.handle() || sqlite3_get_autocommit(m_db.handle());
    m_nested = m_db.m_inTransaction || !autocommit;
    if (m_db.m_inTransaction && (autocommit || m_db.m_broken)) {
        brokenBatch();
        return;
    }
    m_ok = m_db.exec(m_nested ? "SAVEPOINT zu_nested" : "BEGIN IMMEDIATE");
    if (m_ok && !m_nested) {
        m_db.m_inTransaction = true;
        m_db.m_broken = false;
    }
}

void ZuSqlTransaction::brokenBatch()
{
    ZuSetLastError(ERROR_WRITE_FAULT, CString::fromUtf8(m_db.path()).str()
            + L": an earlier write of this change failed; none of it is kept");
}

ZuSqlTransaction::~ZuSqlTransaction()
{
    if (!m_ok)
        return;
    if (!m_done && m_db.handle() && !sqlite3_get_autocommit(m_db.handle())) {
        if (m_nested)
            sqlite3_exec(m_db.handle(), "ROLLBACK TO zu_nested; RELEASE zu_nested", nullptr, nullptr, nullptr);
        else
            sqlite3_exec(m_db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
    if (!m_nested) {
        m_db.m_inTransaction = false;
        m_db.m_broken = false;
    }
}

bool ZuSqlTransaction::commit()
{
    if (!m_ok || m_done)
        return false;
    if (m_db.m_broken || !m_db.handle() || sqlite3_get_autocommit(m_db.handle())) {
        brokenBatch();
        return false;
    }
    if (!m_db.exec(m_nested ? "RELEASE zu_nested" : "COMMIT"))
        return false;
    m_done = true;
    if (!m_nested) {
        m_db.m_inTransaction = false;
        m_db.m_broken = false;
    }
    return true;
}
