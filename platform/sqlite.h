// sqlite.h - the one thin wrapper over SQLite's C API used by this layer.
//
// Connections open in WAL mode with a busy timeout, so two programs can read and write one
// store at once; `ZuSqlTransaction` is BEGIN IMMEDIATE ... COMMIT, rolled back unless committed;
// `ZuSqlUse` hands a kept statement back reset.
// Result codes are mapped to the platform's ERROR_* codes once, in `ZuSqlite::fail`.
#pragma once

#include "wintypes.h"

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

class ZuSqlStmt {
public:
    ZuSqlStmt() = default;
    explicit ZuSqlStmt(sqlite3_stmt* stmt) : m_stmt(stmt) {}
    ZuSqlStmt(ZuSqlStmt&& other) noexcept : m_stmt(other.m_stmt) { other.m_stmt = nullptr; }
    ZuSqlStmt& operator=(ZuSqlStmt&& other) noexcept;
    ZuSqlStmt(const ZuSqlStmt&) = delete;
    ZuSqlStmt& operator=(const ZuSqlStmt&) = delete;
    ~ZuSqlStmt();

    explicit operator bool() const { return m_stmt != nullptr; }
    sqlite3_stmt* get() const { return m_stmt; }

    // Binding counts parameters from 1, as SQLite does.
    void bind(int i, std::int64_t v);
    void bind(int i, std::string_view text);
    void bindBlob(int i, const void* data, size_t size);
    void bindNull(int i);

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    void reset();

    std::int64_t int64(int col) const;
    std::string_view text(int col) const;
    const void* blob(int col) const;
    int bytes(int col) const;
    bool isNull(int col) const;

private:
    sqlite3_stmt* m_stmt = nullptr;
};

// One use of a kept statement: reset (with its bindings cleared) when the use ends, on every
// way out. Holds no statement when given none (a statement that could not be prepared).
class ZuSqlUse {
public:
    explicit ZuSqlUse(ZuSqlStmt* stmt) : m_stmt(stmt) {}
    explicit ZuSqlUse(ZuSqlStmt& stmt) : m_stmt(&stmt) {}
    ~ZuSqlUse()
    {
        if (m_stmt)
            m_stmt->reset();
    }
    ZuSqlUse(const ZuSqlUse&) = delete;
    ZuSqlUse& operator=(const ZuSqlUse&) = delete;

    explicit operator bool() const { return m_stmt != nullptr; }
    ZuSqlStmt* operator->() const { return m_stmt; }
    ZuSqlStmt& operator*() const { return *m_stmt; }

private:
    ZuSqlStmt* m_stmt;
};

class ZuSqlite {
public:
    ZuSqlite() = default;
    ZuSqlite(const ZuSqlite&) = delete;
    ZuSqlite& operator=(const ZuSqlite&) = delete;
    ~ZuSqlite();

    // Opens (creating when missing) the file in WAL mode; a new file is created 0600 (and its
    // -wal and -shm with it), an existing one made 0600. On failure sets
    // the last error with a detail text naming the file and returns false.
    // With `syncEachCommit` every commit is on the disk before it is reported (it survives a
    // power cut); without it the last commits before a power cut may be lost, never half made.
    // On a read-only disk a file without a -wal is opened to be read as it is (writes fail with
    // ERROR_ACCESS_DENIED); one whose -wal holds changes is refused with ERROR_ACCESS_DENIED.
    bool open(const std::string& path, bool readOnly = false, bool syncEachCommit = true);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    sqlite3* handle() const { return m_db; }
    const std::string& path() const { return m_path; }

    // The tables, columns and indexes of the file as one text (empty, last error set, when the
    // schema cannot be read).
    std::string schemaShape();
    // True when the file's tables, columns and indexes are those `schema` makes in an empty
    // database (a cheap check of names and declarations, not of the file's pages); otherwise
    // false with ERROR_FILE_CORRUPT naming the file and `kind` ("a store of the suite").
    bool checkSchema(const char* schema, const wchar_t* kind);

    // Runs statements without results; false (with the last error set) on failure.
    bool exec(const char* sql);
    ZuSqlStmt prepare(const char* sql);
    std::int64_t lastInsertId() const;
    int changes() const;

    // Sets the last error from the connection's current error and returns false.
    bool fail(int rc, const char* what);
    static DWORD errorCode(int rc);

private:
    friend class ZuSqlTransaction;
    // The file alone, read-only, as it stands (for a store on a read-only disk with no -wal).
    bool openImmutable(const std::string& path);
    bool enterWal();
    sqlite3* m_db = nullptr;
    std::string m_path;
    // An outer ZuSqlTransaction is open, and a statement inside it met an error of the disk or
    // the file: the transaction can only be rolled back.
    bool m_inTransaction = false;
    bool m_broken = false;
};

// BEGIN IMMEDIATE on construction (a SAVEPOINT when the connection is inside a transaction
// already); rolls back in the destructor unless commit() succeeded. Once a statement inside the
// outer transaction fails for the disk or the file (an I/O error, a full or read-only disk, a
// damaged page, a lock it cannot take), nothing more of it is written: every later nested
// transaction and the outer commit fail (ERROR_WRITE_FAULT) and it is rolled back, also when
// SQLite has rolled it back by itself already, so that the writes after the failure do not each
// commit on their own. A change of several writes is therefore whole or absent.
class ZuSqlTransaction {
public:
    explicit ZuSqlTransaction(ZuSqlite& db);
    ~ZuSqlTransaction();
    ZuSqlTransaction(const ZuSqlTransaction&) = delete;
    ZuSqlTransaction& operator=(const ZuSqlTransaction&) = delete;
    bool ok() const { return m_ok; }
    bool commit();

private:
    void brokenBatch();
    ZuSqlite& m_db;
    bool m_ok = false;
    bool m_done = false;
    bool m_nested = false;
};
