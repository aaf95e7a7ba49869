// cedbdatabase.h - the property database service: named databases of records.
//
// What it provides:
// - A new store holds the handheld's four PIM databases, empty: "Appointments Database",
//   "Contacts Database", "Tasks Database" and "\Categories Database".
// - Databases by name in `pim.db` of the data folder: exists, create with up to four sort
//   orders, delete, open (optionally sorted by one of its sort orders, optionally with a window
//   for change notifications), close, record count, past-the-end test.
// - A walk over the records in the open's order: by object id when opened without a sort
//   property, else by the sort property (records without it last, ties by object id). Strings
//   compare as code points, Latin letters without regard to case when the sort order says so
//   (CEDB_SORT_CASEINSENSITIVE); Hangul sorts in its Unicode order.
// - Reading the current record with all its properties (the walk moves on), writing
//   properties (object id 0 creates a record; otherwise the given properties replace those
//   with the same property id and the others stay; a property flagged CEDB_PROPDELETE removes
//   the stored one), deleting by object id.
// - Object ids are non-zero and never reused, also after deletes and restarts.
// - Notifications: a window (QObject) that opened a database with notification receives
//   ZuMessageEvents WM_USER + 1 (created), WM_USER + 3 (deleted), WM_USER + 6 (changed) with
//   the record's object id in wParam, on its own thread, also for changes another program
//   made; they arrive within a few tens of milliseconds of the commit.
//
// Limits and promises:
// - Every write is one transaction: a crash or kill loses nothing a call reported written and
//   never leaves half a record. Two programs may use the store at once (a writer waits up to
//   ten seconds for another's transaction).
// - A walk reads ahead up to 256 records; a change made in this program is seen at once, a
//   change another program commits during a walk from the next read-ahead on.
// - Strings and BLOBs up to 16 MiB; larger values are refused.
// - A store that is not a store, is damaged or cannot be written gives result 0 with the last
//   error set (ZuLastErrorText tells what and where). A read that fails in the middle of a walk
//   ends it with that error, never with ERROR_NO_MORE_ITEMS (ReadFailed tells the two apart).
//   At open the store's tables and columns are checked against those this code makes: a store
//   of an unknown version or with other tables is refused and never written; a record whose properties cannot be
//   decoded is skipped by walks and reported (SkippedOids, and a warning on standard error).
// - One object is used by one thread at a time; each thread has its own connection.
#pragma once

#include "cedbrecord.h"

#include <memory>
#include <string>
#include <vector>

class QObject;

// Sort order flags.
constexpr DWORD CEDB_SORT_DESCENDING = 0x00000001;  // not supported: refused by Create
constexpr DWORD CEDB_SORT_CASEINSENSITIVE = 0x00000002;
constexpr DWORD CEDB_SORT_UNKNOWNFIRST = 0x00000004;  // not supported: refused by Create

struct SORTORDERSPEC {
    CEPROPID propid = 0;
    DWORD dwFlags = 0;
};
constexpr int CEDB_MAXSORTORDER = 4;

// Record notifications.
constexpr UINT DB_CEOID_CREATED = WM_USER + 1;
constexpr UINT DB_CEOID_RECORD_DELETED = WM_USER + 3;
constexpr UINT DB_CEOID_CHANGED = WM_USER + 6;

class CCeDBDatabase {
public:
    CCeDBDatabase();
    ~CCeDBDatabase();
    CCeDBDatabase(const CCeDBDatabase&) = delete;
    CCeDBDatabase& operator=(const CCeDBDatabase&) = delete;

    static BOOL Exists(const wchar_t* name);
    // Creates the database and opens it (unsorted, without notification). Fails when a
    // database of that name exists, the name is empty or longer than 32 characters, or a sort
    // order is not supported.
    BOOL Create(const wchar_t* name, DWORD type = 0, WORD numSortOrders = 0, const SORTORDERSPEC* sortOrders = nullptr);
    // Deletes a database with all its records.
    static BOOL DeleteDatabase(const wchar_t* name);
    // Closes and deletes the open database.
    BOOL Delete();

    // Opens by name; `sortProp` (its property id) must be one of the database's sort orders.
    // The walk starts at the first record.
    BOOL Open(const wchar_t* name, const CCeDBProp* sortProp = nullptr, QObject* notifyWindow = nullptr);
    // Closes; 1 also when it was not open.
    BOOL Close();
    BOOL IsOpen() const;

    DWORD GetRecordCount();
    // True when the walk is past the last record (or nothing is open).
    BOOL IsEOF() const;

    BOOL SeekFirst();
    BOOL SeekNext();
    BOOL SeekToRecord(CEOID oid);
    // The index-th record (0 the first) of the walk's order.
    BOOL SeekToIndex(DWORD index);
    // On a sorted open: the first record whose sort property equals the value.
    BOOL SeekValueFirstEqual(const CCeDBProp& value);
    // On a sorted open: the first record whose sort property is at least the value; the walk
    // then goes on in that order (records without the property come last).
    BOOL SeekValueGreaterOrEqual(const CCeDBProp& value);
    // Object id of the current record, 0 past the end.
    CEOID GetCurrentOid() const;

    // Reads the current record with all its properties and moves on to the next.
    BOOL ReadCurrRecord(CCeDBRecord* record);
    // Writes the record's properties: object id 0 creates. Returns the object id, 0 on failure.
    CEOID WriteRecord(const CCeDBRecord& record, CEOID oid);
    // Creates a record from all the record's properties; sets its object id.
    BOOL AddRecord(CCeDBRecord* record);
    // Writes the record's properties into the record of its object id.
    BOOL WriteCurrRecord(CCeDBRecord* record);
    BOOL DeleteRecord(CEOID oid);
    BOOL DeleteCurrRecord();

    // Writes given property values; the kernel call below works through this.
    CEOID WriteProps(CEOID oid, const CEPROPVAL* props, WORD count);

    // The handle of the open database for the kernel calls below.
    HANDLE GetHandle() { return IsOpen() ? this : nullptr; }
    static CCeDBDatabase* FromHandle(HANDLE h);
    // Object id of the database itself.
    CEOID GetDatabaseOid() const;

    // True when a read of the store failed since the last seek or open (the file is damaged or
    // cannot be read): the walk then stops as if at its end, but every read and SeekNext after it
    // returns 0 with that error as the last error, never ERROR_NO_MORE_ITEMS. A walk that ends
    // without this ended at the last record. Inside a ZuStoreSnapshot a walk from SeekFirst that
    // meets fewer records than the database's count (a damaged index or page that SQLite reads
    // without noticing) fails so too, with ERROR_FILE_CORRUPT.
    BOOL ReadFailed() const;

    // Records that walks skipped because their properties could not be decoded.
    const std::vector<CEOID>& SkippedOids() const;

private:
    BOOL seekValue(const CCeDBProp& value, bool exact);

    struct Impl;
    std::unique_ptr<Impl> d;
};

// Seek kinds of CeSeekDatabase.
constexpr DWORD CEDB_SEEK_CEOID = 0x00000001;
constexpr DWORD CEDB_SEEK_BEGINNING = 0x00000002;
constexpr DWORD CEDB_SEEK_CURRENT = 0x00000008;
constexpr DWORD CEDB_SEEK_VALUEFIRSTEQUAL = 0x00000020;

// Read flags of CeReadRecordPropsEx.
constexpr DWORD CEDB_ALLOWREALLOC = 0x00000001;

// Kernel calls on an open database's handle.
// CEDB_SEEK_CEOID: value is the object id; CEDB_SEEK_BEGINNING: value is the index from the
// first record; CEDB_SEEK_CURRENT: value is how many records to move on (0 stays);
// CEDB_SEEK_VALUEFIRSTEQUAL: value is a `const CEPROPVAL*`. Returns the object id found, 0
// when none; `index` (may be null) receives the position where known.
CEOID CeSeekDatabase(HANDLE db, DWORD seekType, std::uintptr_t value, DWORD* index);
// Reads the current record and moves on. With `propIds` null every property is read, else
// the listed ones (missing ones flagged CEDB_PROPNOTFOUND). The values are placed in one
// buffer: `*buffer` is used when `*bufferSize` is large enough, otherwise with
// CEDB_ALLOWREALLOC a new buffer is made with LocalAlloc (free it with LocalFree) and the
// old one freed; without it the call fails with ERROR_INSUFFICIENT_BUFFER. The buffer starts
// with the CEPROPVAL array; strings and BLOBs point into the rest of it.
CEOID CeReadRecordPropsEx(HANDLE db, DWORD flags, WORD* propCount, const CEPROPID* propIds, BYTE** buffer,
    DWORD* bufferSize, HANDLE heap);
CEOID CeWriteRecordProps(HANDLE db, CEOID oid, WORD propCount, const CEPROPVAL* props);
BOOL CeDeleteRecord(HANDLE db, CEOID oid);

// Groups every write of the calling thread to the store into one transaction, for work that must
// land whole or not at all (an import): until Commit() other programs and threads see none of it,
// and a batch destroyed without Commit() (or whose Commit() fails) rolls every write back. Each
// write inside still succeeds or fails on its own. Writers elsewhere wait for the batch to end.
class ZuStoreBatch {
public:
    ZuStoreBatch();
    ~ZuStoreBatch();
    ZuStoreBatch(const ZuStoreBatch&) = delete;
    ZuStoreBatch& operator=(const ZuStoreBatch&) = delete;
    // False when the batch could not begin (the store cannot be opened, or the thread is inside
    // a batch already); the writes then run one by one as usual.
    bool ok() const;
    bool Commit();

private:
    struct Impl;
    Impl* d;
};

// Makes every read of the calling thread from the store one snapshot while it lives: a load that
// reads several databases sees them all as of one moment, all of another program's commit or none
// of it. Within one already begun on this thread, or inside a batch, it does nothing of its own.
// Writes of the thread meanwhile may fail (another program wrote since the snapshot began).
class ZuStoreSnapshot {
public:
    ZuStoreSnapshot();
    ~ZuStoreSnapshot();
    ZuStoreSnapshot(const ZuStoreSnapshot&) = delete;
    ZuStoreSnapshot& operator=(const ZuStoreSnapshot&) = delete;
    // False when the store could not be opened or read (the last error says why).
    bool ok() const { return m_ok; }

private:
    bool m_ok = false;
    bool m_began = false;
    std::string m_path;
};

// The store's change stamp: it grows with every record written or deleted, by any program, and
// equal stamps mean that no record of any database changed in between (caches key on it); 0 when
// the store cannot be opened.
ULONGLONG ZuStoreChangeStamp();

void* LocalAlloc(UINT flags, size_t bytes);
void* LocalFree(void* p);
constexpr UINT LMEM_FIXED = 0;
constexpr UINT LMEM_ZEROINIT = 0x40;
constexpr UINT LPTR = LMEM_FIXED | LMEM_ZEROINIT;
