// cedbstore_p.h - the property databases on SQLite (private to the platform layer).
//
// Every property database lives in `pim.db` of the data folder. A new store comes with the
// handheld's four PIM databases, empty: "Appointments Database" (sorted by start, and by the
// recurring flag 0x4223, the lunar flag 0x8001 and the duration 0x4213, so that the calendar
// reads a range without walking every appointment; a store of version 0 gains these), "Contacts
// Database" (by file-as name, first name, company), "Tasks Database" (by due date, subject)
// and "\Categories Database" (by name, index).
//
//   zu_db(id, name, type, sorts, count)   one row per database; `name` compares without
//                                         regard to ASCII case; `sorts` holds up to four
//                                         (property id, flags) pairs as 8-byte little-endian
//                                         entries; `count` is the record count kept by writes
//   zu_rec(oid, db, props, m0, k0, ... m3, k3)
//                                         one row per record; `oid` is the object id
//                                         (AUTOINCREMENT: never reused); `props` the encoded
//                                         properties (below); (m_i, k_i) the sort key of the
//                                         record for the database's i-th sort order: m_i is 0
//                                         when the record has the sort property, 1 when not
//                                         (those come last, with k_i = 0); both NULL when the
//                                         database has no i-th sort order (the index of that
//                                         order skips the row)
//   zu_changes(seq, db, oid, what, at)    the change log that notifications are read from;
//                                         written in the same transaction as the change; old
//                                         entries are pruned, the newest always stays so that
//                                         sequence numbers only grow
//   zu_notify(handle, type, event, app, args, start, end, flags, title, text, sound, maxsound)
//                                         the user notifications; `handle` AUTOINCREMENT (never
//                                         reused); start and end are SYSTEMTIMEs as 8 u16
//
// Durability: every write path of the service ends in a commit that is synced before it is
// reported (synchronous=FULL over WAL): an editor's OK, a delete, a paste and the ZuPoom save are
// each one transaction (one batch), an import one batch, so each costs one sync of the -wal,
// well under a millisecond on a quiet disk (durability_bench: a ZuPoom save 0.36 ms, 0.14 ms with
// NORMAL). What a call reported written therefore survives a power cut, not only a kill; a burst
// of separate writes pays one sync per record (cedb_bench's 10,000-record burst: 0.5 s with
// NORMAL, 1.7 to 9.5 s with FULL as the disk is busy), so bulk writers use ZuStoreBatch. Inside a
// batch, a write that fails for the disk ends it: nothing more of it is written and it rolls back
// (sqlite.h, ZuSqlTransaction). The registry (settings) stays at synchronous=NORMAL: a power cut
// may take back its last writes. tools/tests/store_sweep_test.cpp cuts the power after every
// write and sync of a day of saves and fails every operation in turn (tests/support/testvfs.h).
//
// Encoded properties (`props`), little-endian:
//   offset 0  u16  number of properties n
//   then n times:  u32 property id, u32 value length L, L bytes of value
//     I2, UI2: 2 bytes; I4, UI4: 4 bytes; FILETIME: 8 bytes (low half first);
//     LPWSTR: UTF-16LE code units without terminator; BLOB: the bytes
//   Example: one I2 property 0x4003 = 1 is 01 00 | 02 00 03 40 | 02 00 00 00 | 01 00.
//
// Sort keys: integers and FILETIMEs are stored as integers (a FILETIME with its top bit flipped,
// so the order holds over the whole range); strings as UTF-8, whose byte order is code point
// order, folded to lower case for Latin letters when the order is case-insensitive; BLOBs as
// bytes. Ties are broken by object id.
#pragma once

#include "cedbprop.h"
#include "sqlite.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

class QObject;

namespace zucedb {

constexpr int kMaxSortOrders = 4;
// PRAGMA user_version of a store made or upgraded by this code.
constexpr int kStoreVersion = 1;

struct SortSpec {
    CEPROPID propid = 0;
    DWORD flags = 0;
};

struct DbInfo {
    std::int64_t id = 0;
    DWORD type = 0;
    std::vector<SortSpec> sorts;
};

// Sort orders as stored in zu_db.sorts.
std::string encodeSorts(const std::vector<SortSpec>& sorts);

// A record's position in one order: (missing, key, oid).
struct SortKey {
    int missing = 1;
    enum Kind { Int, Text, Bytes } kind = Int;
    std::int64_t i = 0;
    std::string s;  // text (UTF-8) or bytes
};

// Encoding of a record's properties; false when a value is too large or of an unknown type.
bool encodeProps(const std::deque<CCeDBProp>& props, std::string& out);
// Decoding into `out` (resized in place); false when the bytes are not a valid encoding.
bool decodeProps(const void* data, size_t size, std::deque<CCeDBProp>& out);

SortKey sortKeyOf(const std::deque<CCeDBProp>& props, const SortSpec& order);
SortKey sortKeyOfValue(const CCeDBProp& value, const SortSpec& order);
// Binds (m, k) at index and index + 1.
void bindKey(ZuSqlStmt& stmt, int index, const SortKey& key);
SortKey readKey(const ZuSqlStmt& stmt, int missingCol, int keyCol);

// One connection to one store file, used by one thread.
class Connection {
public:
    bool open(const std::string& path);
    const std::string& path() const { return m_db.path(); }
    ZuSqlite& db() { return m_db; }
    // A prepared statement kept for the connection's lifetime (reset before it is handed out).
    ZuSqlStmt* stmt(const std::string& sql);

    // The database of that name (ERROR_FILE_NOT_FOUND when there is none) or of that id
    // (ERROR_INVALID_HANDLE: it was deleted).
    bool findDb(const std::variant<std::wstring_view, std::int64_t>& nameOrId, DbInfo& info);
    std::int64_t lastChangeSeq();

    // Records, inside the caller's transaction. Every write keeps the database's record count
    // and logs its change; each call sets the last error and returns false or 0 when it fails.
    // The properties of record `oid` of database `db` (ERROR_NOT_FOUND; ERROR_FILE_CORRUPT when
    // they do not decode).
    bool readRecord(std::int64_t db, std::int64_t oid, std::deque<CCeDBProp>& props);
    // A new record; its object id.
    std::int64_t insertRecord(const DbInfo& db, const std::deque<CCeDBProp>& props);
    // Replaces the properties of record `oid`.
    bool updateRecord(const DbInfo& db, std::int64_t oid, const std::deque<CCeDBProp>& props);
    // ERROR_NOT_FOUND when database `db` has no record `oid`.
    bool removeRecord(std::int64_t db, std::int64_t oid);
    // One entry of the change log (kCreated, kChanged, kDeleted), `failure` the error's detail
    // when it cannot be written; entries older than ten minutes are pruned now and then.
    bool logChange(std::int64_t db, std::int64_t oid, int what, const char* failure = "cannot log a change");

private:
    bool addPimDatabases();
    bool refuseUnknown();
    bool upgrade();
    // Runs a statement that gives no rows; false with the last error set to `failure` otherwise.
    bool done(ZuSqlStmt& s, const char* failure);

    ZuSqlite m_db;
    std::map<std::string, ZuSqlStmt> m_stmts;
};

// The calling thread's connection to the store at `path`; null (last error set) on failure.
Connection* connectionFor(const std::string& path);

// Bumped by every write in this process; read-ahead buffers older than it are refetched.
std::atomic<std::uint64_t>& writeGeneration();

// Change kinds written to the log, as the messages they become.
constexpr int kCreated = 1;  // WM_USER + 1
constexpr int kDeleted = 3;  // WM_USER + 3
constexpr int kChanged = 6;  // WM_USER + 6

// Notification targets: the watcher thread posts ZuMessageEvents (WM_USER + kind, wParam the
// record's object id, lParam the database id) for every logged change after `afterSeq`.
// After unwatch returns, nothing more is posted for that token.
std::uint64_t watch(const std::string& path, std::int64_t dbId, QObject* target, std::int64_t afterSeq);
void unwatch(std::uint64_t token);
// Called after this process committed changes: the watcher looks at the change log at once rather
// than at its next poll, so a program's own saves reach its windows without the poll's wait.
void changesCommitted();

// The hook of storefaults.h: the next `count` record writes fail.
void failWritesForTest(int count);

} // namespace zucedb
