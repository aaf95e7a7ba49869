// registry.cpp - the registry on SQLite (see registry.h for how it behaves).
//
// The file holds two tables: reg_key (one row per key, the two trees being rows 1 and 2 under
// parent 0) and reg_value. Names are kept as written (UTF-8) beside a case-folded copy that all
// lookups use; key ids are never reused (AUTOINCREMENT), so a handle's id tells a deleted key.
//
// One connection per program, opened on first use and reopened when the data folder changes, is
// shared by all threads under one mutex; its statements are prepared once. Writes run inside
// BEGIN IMMEDIATE ... COMMIT, so another program's writes wait for the busy timeout, never mix.
#include "registry.h"

#include "cstring.h"
#include "datafolder.h"
#include "lasterror.h"
#include "lecodec.h"
#include "sqlite.h"

#include <QString>
#include <array>
#include <cstring>
#include <cwchar>
#include <mutex>
#include <sqlite3.h>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

constexpr std::int64_t kCurrentUserId = 1;
constexpr std::int64_t kLocalMachineId = 2;
constexpr std::uintptr_t kCurrentUserHandle = 0x80000001u;
constexpr std::uintptr_t kLocalMachineHandle = 0x80000002u;
constexpr std::size_t kMaxKeyName = 255;
constexpr std::size_t kMaxValueName = 16383;
constexpr std::int64_t kSchemaVersion = 1;

const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS reg_key("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " parent INTEGER NOT NULL,"
    " name TEXT NOT NULL,"
    " fold TEXT NOT NULL,"
    " UNIQUE(parent, fold));"
    "CREATE TABLE IF NOT EXISTS reg_value("
    " key INTEGER NOT NULL,"
    " name TEXT NOT NULL,"
    " fold TEXT NOT NULL,"
    " type INTEGER NOT NULL,"
    " data BLOB NOT NULL,"
    " UNIQUE(key, fold));"
    // Entries of (key, rowid): values listed in the order they were set without sorting.
    "CREATE INDEX IF NOT EXISTS reg_value_order ON reg_value(key);"
    "INSERT OR IGNORE INTO reg_key(id, parent, name, fold) VALUES"
    " (1, 0, 'HKEY_CURRENT_USER', 'hkey_current_user'),"
    " (2, 0, 'HKEY_LOCAL_MACHINE', 'hkey_local_machine');"
    "PRAGMA user_version=1;";

enum Sql {
    KeyAlive,
    FindChild,
    InsertKey,
    HasChild,
    RemoveKey,
    RemoveKeyValues,
    EnumKey,
    GetValue,
    SetValue,
    RemoveValue,
    EnumValue,
    BeginRead,
    EndRead,
    SqlCount
};

const char* const kSql[SqlCount] = {
    "SELECT 1 FROM reg_key WHERE id=?1",
    "SELECT id FROM reg_key WHERE parent=?1 AND fold=?2",
    "INSERT INTO reg_key(parent, name, fold) VALUES(?1, ?2, ?3)",
    "SELECT 1 FROM reg_key WHERE parent=?1 LIMIT 1",
    "DELETE FROM reg_key WHERE id=?1",
    "DELETE FROM reg_value WHERE key=?1",
    "SELECT name FROM reg_key WHERE parent=?1 ORDER BY fold, id LIMIT 1 OFFSET ?2",
    "SELECT type, data FROM reg_value WHERE key=?1 AND fold=?2",
    "INSERT INTO reg_value(key, name, fold, type, data) VALUES(?1, ?2, ?3, ?4, ?5)"
    " ON CONFLICT(key, fold) DO UPDATE SET type=excluded.type, data=excluded.data",
    "DELETE FROM reg_value WHERE key=?1 AND fold=?2",
    "SELECT name, type, data FROM reg_value WHERE key=?1 ORDER BY rowid LIMIT 1 OFFSET ?2",
    "BEGIN",
    "COMMIT",
};

struct Handle {
    std::int64_t key = 0;
    REGSAM access = KEY_ALL_ACCESS;
    std::uint64_t generation = 0;  // the file's number; 0: one of the two trees, valid in every file
};

struct Store {
    std::mutex mutex;
    std::string env;   // the environment the path was worked out from
    std::string path;  // the registry file of that environment
    std::uint64_t generation = 0;  // the number given to the current file
    std::unordered_map<std::string, std::uint64_t> fileNumbers;  // one per file, from 1
    ZuSqlite db;
    std::array<ZuSqlStmt, SqlCount> stmts;  // after db: finalized before it closes
    std::unordered_map<std::uintptr_t, Handle> handles;
    std::uintptr_t nextHandle = 0x10000;
};

Store& store()
{
    static Store s;
    return s;
}

// A name as the file keeps it: as written, and case-folded for finding it.
struct Name {
    std::string name;
    std::string fold;
};

Name makeName(std::wstring_view text)
{
    const QString q = QString::fromWCharArray(text.data(), static_cast<qsizetype>(text.size()));
    return {q.toUtf8().toStdString(), q.toCaseFolded().toUtf8().toStdString()};
}

std::wstring wideFromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toStdWString();
}

// Sets the last error to a plain code and gives it back.
DWORD fail(DWORD code)
{
    SetLastError(code);
    return code;
}

DWORD sqlFail(Store& s, int rc, const char* what)
{
    s.db.fail(rc, what);
    return GetLastError();
}

// One read transaction around the statements of a call: one snapshot, and the file locked and
// checked once rather than once per statement.
class ReadTransaction {
public:
    explicit ReadTransaction(Store& s) : m_s(s)
    {
        const int rc = ZuSqlUse(s.stmts[BeginRead])->step();
        m_ok = rc == SQLITE_DONE;
        if (!m_ok)
            m_s.db.fail(rc, "cannot read the registry");
    }
    ~ReadTransaction()
    {
        if (m_ok)
            ZuSqlUse(m_s.stmts[EndRead])->step();
    }
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;
    bool ok() const { return m_ok; }
    // A read has nothing to keep: the destructor ends it.
    bool commit() { return true; }

private:
    Store& m_s;
    bool m_ok = false;
};

// BEGIN IMMEDIATE ... COMMIT around the statements of a call that writes.
class WriteTransaction : public ZuSqlTransaction {
public:
    explicit WriteTransaction(Store& s) : ZuSqlTransaction(s.db) {}
};

void closeStore(Store& s)
{
    for (ZuSqlStmt& st : s.stmts)
        st = ZuSqlStmt();
    s.db.close();
}

// Closes the file and restates the last error as the registry's.
DWORD storeFail(Store& s)
{
    const DWORD code = GetLastError();
    const std::wstring detail = ZuLastErrorText().str();
    closeStore(s);
    ZuSetLastError(code, L"The registry file cannot be used (" + detail + L")");
    return code;
}

// The pages of the file, at open. A damaged index would let a write miss the row it replaces
// and add a second one of the same name (every later read then picks either), so a file whose
// pages do not check out is reported and never written. A registry holds settings, a few pages:
// the full check of up to 1,024 pages (4 MiB) takes well under a millisecond per page; a larger
// one gets the quick check of its pages and a search for rows that share a name.
bool checkPages(Store& s)
{
    const char* damaged = nullptr;
    ZuSqlStmt pages = s.db.prepare("PRAGMA page_count");
    if (!pages)
        return false;
    if (const int rc = pages.step(); rc != SQLITE_ROW)
        return s.db.fail(rc, "cannot read the file");
    const bool small = pages.int64(0) <= 1024;
    pages = ZuSqlStmt();
    ZuSqlStmt check = s.db.prepare(small ? "PRAGMA integrity_check(1)" : "PRAGMA quick_check(1)");
    if (!check)
        return false;
    if (const int rc = check.step(); rc != SQLITE_ROW)
        return s.db.fail(rc, "cannot check the file");
    if (check.text(0) != "ok")
        damaged = "its pages are damaged";
    check = ZuSqlStmt();
    if (!damaged && !small) {
        ZuSqlStmt twice = s.db.prepare(
            "SELECT 1 FROM (SELECT key, fold FROM reg_value NOT INDEXED GROUP BY key, fold HAVING count(*) > 1"
            " UNION ALL SELECT parent, fold FROM reg_key NOT INDEXED GROUP BY parent, fold HAVING count(*) > 1) LIMIT 1");
        if (!twice)
            return false;
        const int rc = twice.step();
        if (rc == SQLITE_ROW)
            damaged = "it holds two entries of one name";
        else if (rc != SQLITE_DONE)
            return s.db.fail(rc, "cannot check the file");
    }
    if (!damaged)
        return true;
    ZuSetLastError(ERROR_FILE_CORRUPT, CString::fromUtf8(s.path).str() + L": the file is damaged ("
            + CString::fromUtf8(damaged).str() + L"); it is left as it is");
    return false;
}

DWORD openStore(Store& s)
{
    // Settings, not saves: a power cut may take back the last ones, which costs nobody work.
    if (!s.db.open(s.path, false, false))
        return storeFail(s);
    std::int64_t version = 0;
    {
        ZuSqlStmt st = s.db.prepare("PRAGMA user_version");
        if (!st)
            return storeFail(s);
        const int rc = st.step();
        if (rc != SQLITE_ROW) {
            s.db.fail(rc, "cannot read the version");
            return storeFail(s);
        }
        version = st.int64(0);
    }
    if (version > kSchemaVersion) {
        ZuSetLastError(ERROR_INVALID_DATA,
                       CString::fromUtf8(s.path).str() + L": written by a newer version of the suite");
        return storeFail(s);
    }
    // The tables are made in a new file; a file that has any is used only when they are the
    // ones made here, and is never written otherwise.
    if (version < kSchemaVersion) {
        ZuSqlTransaction t(s.db);
        if (!t.ok())
            return storeFail(s);
        ZuSqlStmt tables = s.db.prepare("SELECT count(*) FROM sqlite_schema");
        if (!tables)
            return storeFail(s);
        if (const int rc = tables.step(); rc != SQLITE_ROW) {
            s.db.fail(rc, "cannot read the schema");
            return storeFail(s);
        }
        const bool empty = tables.int64(0) == 0;
        tables = ZuSqlStmt();
        if ((!empty && !s.db.checkSchema(kSchema, L"the suite's registry")) || !s.db.exec(kSchema) || !t.commit())
            return storeFail(s);
    } else if (!s.db.checkSchema(kSchema, L"the suite's registry") || !checkPages(s)) {
        return storeFail(s);
    }
    for (int i = 0; i < SqlCount; ++i) {
        s.stmts[i] = s.db.prepare(kSql[i]);
        if (!s.stmts[i])
            return storeFail(s);
    }
    return ERROR_SUCCESS;
}

// Makes the connection belong to the current data folder, opening it when needed.
DWORD connect(Store& s)
{
    const std::string env = ZuDataFolderEnvironment();
    if (env != s.env || s.path.empty()) {
        const std::string path = ZuDataFile("registry.db");
        if (path.empty()) {
            ZuSetLastError(ERROR_ACCESS_DENIED, L"registry.db: the data folder cannot be created");
            return ERROR_ACCESS_DENIED;
        }
        s.env = env;
        if (path != s.path) {
            closeStore(s);
            s.path = path;
            s.generation = s.fileNumbers.emplace(path, s.fileNumbers.size() + 1).first->second;
        }
    }
    return s.db.isOpen() ? ERROR_SUCCESS : openStore(s);
}

bool lookupHandle(Store& s, HKEY hKey, Handle& h)
{
    const auto v = reinterpret_cast<std::uintptr_t>(hKey);
    if (v == kCurrentUserHandle || v == kLocalMachineHandle) {
        h = Handle{v == kCurrentUserHandle ? kCurrentUserId : kLocalMachineId, KEY_ALL_ACCESS, 0};
        return true;
    }
    const auto it = s.handles.find(v);
    if (it == s.handles.end())
        return false;
    h = it->second;
    return true;
}

// The start of every call on a key: a known handle, an open file, a handle of that file.
DWORD enter(Store& s, HKEY hKey, Handle& h)
{
    if (!lookupHandle(s, hKey, h))
        return fail(ERROR_INVALID_HANDLE);
    if (const DWORD e = connect(s))
        return e;
    if (h.generation != 0 && h.generation != s.generation)
        return fail(ERROR_INVALID_HANDLE);
    return ERROR_SUCCESS;
}

DWORD needAccess(const Handle& h, REGSAM need)
{
    return (h.access & need) == need ? ERROR_SUCCESS : fail(ERROR_ACCESS_DENIED);
}

// ERROR_SUCCESS while the key is there, ERROR_KEY_DELETED once it is gone.
DWORD keyAlive(Store& s, std::int64_t key)
{
    ZuSqlUse st(s.stmts[KeyAlive]);
    st->bind(1, key);
    const int rc = st->step();
    if (rc == SQLITE_ROW)
        return ERROR_SUCCESS;
    if (rc == SQLITE_DONE)
        return fail(ERROR_KEY_DELETED);
    return sqlFail(s, rc, "cannot read a key");
}

HKEY newHandle(Store& s, std::int64_t key, REGSAM access)
{
    // Multiples of 4, so never one of the two trees' odd-looking numbers, and never reused.
    const std::uintptr_t v = s.nextHandle;
    s.nextHandle += 4;
    s.handles.emplace(v, Handle{key, access ? access : KEY_ALL_ACCESS, s.generation});
    return reinterpret_cast<HKEY>(v);
}

// Splits a subkey path into its names; null or "" is the key itself.
DWORD splitPath(LPCWSTR path, std::vector<Name>& parts)
{
    parts.clear();
    if (!path)
        return ERROR_SUCCESS;
    std::wstring_view p(path);
    if (!p.empty() && p.front() == L'\\')
        return fail(ERROR_INVALID_PARAMETER);
    if (!p.empty() && p.back() == L'\\')
        p.remove_suffix(1);
    while (!p.empty()) {
        const size_t cut = p.find(L'\\');
        const std::wstring_view part = p.substr(0, cut);
        if (part.empty() || part.size() > kMaxKeyName)
            return fail(ERROR_INVALID_PARAMETER);
        parts.push_back(makeName(part));
        p = cut == std::wstring_view::npos ? std::wstring_view() : p.substr(cut + 1);
    }
    return ERROR_SUCCESS;
}

DWORD valueName(LPCWSTR name, Name& out)
{
    if (!name) {
        out = Name{};
        return ERROR_SUCCESS;
    }
    const std::wstring_view n(name);
    if (n.size() > kMaxValueName)
        return fail(ERROR_INVALID_PARAMETER);
    out = makeName(n);
    return ERROR_SUCCESS;
}

// The child of `parent` with the name, or 0 when there is none; a store error otherwise.
DWORD findChild(Store& s, std::int64_t parent, const Name& name, std::int64_t& child)
{
    ZuSqlUse st(s.stmts[FindChild]);
    st->bind(1, parent);
    st->bind(2, name.fold);
    const int rc = st->step();
    if (rc == SQLITE_ROW)
        child = st->int64(0);
    else if (rc == SQLITE_DONE)
        child = 0;
    else
        return sqlFail(s, rc, "cannot read a key");
    return ERROR_SUCCESS;
}

// Walks the path down from `key`: ERROR_SUCCESS with the id, or ERROR_FILE_NOT_FOUND.
DWORD findPath(Store& s, std::int64_t key, const std::vector<Name>& parts, std::int64_t& found)
{
    for (const Name& part : parts) {
        if (const DWORD e = findChild(s, key, part, key))
            return e;
        if (key == 0)
            return fail(ERROR_FILE_NOT_FOUND);
    }
    found = key;
    return ERROR_SUCCESS;
}

bool isText(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Caller's bytes to the file's: texts become UTF-16LE, everything else stays as it is.
std::string toStored(DWORD type, const BYTE* data, DWORD cb)
{
    if (!isText(type))
        return cb ? std::string(reinterpret_cast<const char*>(data), cb) : std::string();
    std::wstring text(cb / sizeof(wchar_t), L'\0');
    if (!text.empty())
        std::memcpy(text.data(), data, text.size() * sizeof(wchar_t));
    return ZuUtf16LeBytes(ZuToUtf16(text));
}

// The file's bytes to the caller's: texts come back as terminated wchar_t texts.
std::vector<BYTE> fromStored(DWORD type, const void* blob, int bytes)
{
    const auto* b = static_cast<const BYTE*>(blob);
    const size_t n = bytes > 0 && b ? static_cast<size_t>(bytes) : 0;
    if (!isText(type))
        return std::vector<BYTE>(b, b + n);
    std::wstring text = ZuFromUtf16(ZuUtf16LeUnits(b, n));
    if (text.empty() || text.back() != L'\0')
        text += L'\0';
    std::vector<BYTE> out(text.size() * sizeof(wchar_t));
    std::memcpy(out.data(), text.data(), out.size());
    return out;
}

DWORD copyData(const std::vector<BYTE>& wire, BYTE* data, DWORD* cb)
{
    if (!cb)
        return ERROR_SUCCESS;
    const auto need = static_cast<DWORD>(wire.size());
    if (data && *cb < need) {
        *cb = need;
        return fail(ERROR_MORE_DATA);
    }
    if (data && need)
        std::memcpy(data, wire.data(), need);
    *cb = need;
    return ERROR_SUCCESS;
}

DWORD copyName(const std::wstring& name, LPWSTR buffer, DWORD* cch)
{
    const auto length = static_cast<DWORD>(name.size());
    if (*cch <= length) {
        *cch = length;
        return fail(ERROR_MORE_DATA);
    }
    std::wmemcpy(buffer, name.data(), name.size());
    buffer[length] = L'\0';
    *cch = length;
    return ERROR_SUCCESS;
}

// Walks the path down from `key`, making the keys that are not there; `created` when one was.
DWORD createPath(Store& s, std::int64_t key, const std::vector<Name>& parts, std::int64_t& found, bool& created)
{
    for (const Name& part : parts) {
        std::int64_t child = 0;
        if (const DWORD e = findChild(s, key, part, child))
            return e;
        if (child == 0) {
            ZuSqlUse st(s.stmts[InsertKey]);
            st->bind(1, key);
            st->bind(2, part.name);
            st->bind(3, part.fold);
            const int rc = st->step();
            if (rc != SQLITE_DONE)
                return sqlFail(s, rc, "cannot create a key");
            child = s.db.lastInsertId();
            created = true;
        }
        key = child;
    }
    found = key;
    return ERROR_SUCCESS;
}

// Steps a listing of the key's subkeys or values to its entry `index`: ERROR_NO_MORE_ITEMS past
// the last one.
DWORD stepToEntry(Store& s, ZuSqlStmt& st, std::int64_t key, DWORD index, const char* failure)
{
    st.bind(1, key);
    st.bind(2, static_cast<std::int64_t>(index));
    const int rc = st.step();
    if (rc == SQLITE_DONE)
        return fail(ERROR_NO_MORE_ITEMS);
    return rc == SQLITE_ROW ? ERROR_SUCCESS : sqlFail(s, rc, failure);
}

// The frame of every call on a key: the store locked, the handle entered and the access the call
// needs (0: none) checked, then `body(s, h)`, whose result the call returns.
template <class Body>
LONG onKey(HKEY hKey, REGSAM need, Body&& body)
{
    Store& s = store();
    const std::lock_guard lock(s.mutex);
    Handle h;
    if (const DWORD e = enter(s, hKey, h))
        return static_cast<LONG>(e);
    if (const DWORD e = needAccess(h, need))
        return static_cast<LONG>(e);
    return static_cast<LONG>(body(s, h));
}

// `body()` inside one ReadTransaction or WriteTransaction, in which the handle's key is first
// found to be there still; a write is kept only when the body succeeds.
template <class Transaction, class Body>
DWORD inTransaction(Store& s, const Handle& h, Body&& body)
{
    Transaction t(s);
    if (!t.ok())
        return GetLastError();
    if (const DWORD e = keyAlive(s, h.key))
        return e;
    if (const DWORD e = body())
        return e;
    return t.commit() ? ERROR_SUCCESS : GetLastError();
}

// A call on a key whose statements all run in one transaction.
template <class Transaction, class Body>
LONG onKeyIn(HKEY hKey, REGSAM need, Body&& body)
{
    return onKey(hKey, need, [&](Store& s, const Handle& h) {
        return inTransaction<Transaction>(s, h, [&] { return body(s, h); });
    });
}

} // namespace

LONG RegCreateKeyEx(HKEY hKey, LPCWSTR lpSubKey, DWORD, LPWSTR, DWORD, REGSAM samDesired, void*,
                    HKEY* phkResult, DWORD* lpdwDisposition)
{
    if (!phkResult)
        return static_cast<LONG>(fail(ERROR_INVALID_PARAMETER));
    *phkResult = nullptr;
    std::vector<Name> parts;
    if (const DWORD e = splitPath(lpSubKey, parts))
        return static_cast<LONG>(e);

    return onKey(hKey, 0, [&](Store& s, const Handle& h) -> DWORD {
        std::int64_t key = 0;
        bool created = false;
        DWORD e = inTransaction<ReadTransaction>(s, h, [&] { return findPath(s, h.key, parts, key); });
        if (e == ERROR_FILE_NOT_FOUND) {
            if (const DWORD a = needAccess(h, KEY_CREATE_SUB_KEY))
                return a;
            // Walk again inside the write transaction: another program may have made or removed keys.
            e = inTransaction<WriteTransaction>(s, h, [&] { return createPath(s, h.key, parts, key, created); });
        }
        if (e)
            return e;
        *phkResult = newHandle(s, key, samDesired);
        if (lpdwDisposition)
            *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
        return ERROR_SUCCESS;
    });
}

LONG RegOpenKeyEx(HKEY hKey, LPCWSTR lpSubKey, DWORD, REGSAM samDesired, HKEY* phkResult)
{
    if (!phkResult)
        return static_cast<LONG>(fail(ERROR_INVALID_PARAMETER));
    *phkResult = nullptr;
    std::vector<Name> parts;
    if (const DWORD e = splitPath(lpSubKey, parts))
        return static_cast<LONG>(e);

    return onKeyIn<ReadTransaction>(hKey, 0, [&](Store& s, const Handle& h) -> DWORD {
        std::int64_t key = 0;
        if (const DWORD e = findPath(s, h.key, parts, key))
            return e;
        *phkResult = newHandle(s, key, samDesired);
        return ERROR_SUCCESS;
    });
}

LONG RegCloseKey(HKEY hKey)
{
    const auto v = reinterpret_cast<std::uintptr_t>(hKey);
    if (v == kCurrentUserHandle || v == kLocalMachineHandle)
        return ERROR_SUCCESS;
    Store& s = store();
    const std::lock_guard lock(s.mutex);
    if (s.handles.erase(v) == 0)
        return static_cast<LONG>(fail(ERROR_INVALID_HANDLE));
    return ERROR_SUCCESS;
}

LONG RegQueryValueEx(HKEY hKey, LPCWSTR lpValueName, DWORD*, DWORD* lpType, BYTE* lpData, DWORD* lpcbData)
{
    if (lpData && !lpcbData)
        return static_cast<LONG>(fail(ERROR_INVALID_PARAMETER));
    Name name;
    if (const DWORD e = valueName(lpValueName, name))
        return static_cast<LONG>(e);

    return onKeyIn<ReadTransaction>(hKey, KEY_QUERY_VALUE, [&](Store& s, const Handle& h) -> DWORD {
        DWORD type = REG_NONE;
        std::vector<BYTE> wire;
        {
            ZuSqlUse st(s.stmts[GetValue]);
            st->bind(1, h.key);
            st->bind(2, name.fold);
            const int rc = st->step();
            if (rc == SQLITE_DONE)
                return fail(ERROR_FILE_NOT_FOUND);
            if (rc != SQLITE_ROW)
                return sqlFail(s, rc, "cannot read a value");
            type = static_cast<DWORD>(st->int64(0));
            wire = fromStored(type, st->blob(1), st->bytes(1));
        }
        if (lpType)
            *lpType = type;
        return copyData(wire, lpData, lpcbData);
    });
}

LONG RegSetValueEx(HKEY hKey, LPCWSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData)
{
    if ((!lpData && cbData) || (dwType == REG_DWORD && cbData != sizeof(DWORD)))
        return static_cast<LONG>(fail(ERROR_INVALID_PARAMETER));
    Name name;
    if (const DWORD e = valueName(lpValueName, name))
        return static_cast<LONG>(e);
    const std::string stored = toStored(dwType, lpData, cbData);

    return onKeyIn<WriteTransaction>(hKey, KEY_SET_VALUE, [&](Store& s, const Handle& h) -> DWORD {
        ZuSqlUse st(s.stmts[SetValue]);
        st->bind(1, h.key);
        st->bind(2, name.name);
        st->bind(3, name.fold);
        st->bind(4, static_cast<std::int64_t>(dwType));
        st->bindBlob(5, stored.data(), stored.size());
        const int rc = st->step();
        return rc == SQLITE_DONE ? ERROR_SUCCESS : sqlFail(s, rc, "cannot write a value");
    });
}

LONG RegDeleteValue(HKEY hKey, LPCWSTR lpValueName)
{
    Name name;
    if (const DWORD e = valueName(lpValueName, name))
        return static_cast<LONG>(e);

    return onKeyIn<WriteTransaction>(hKey, KEY_SET_VALUE, [&](Store& s, const Handle& h) -> DWORD {
        {
            ZuSqlUse st(s.stmts[RemoveValue]);
            st->bind(1, h.key);
            st->bind(2, name.fold);
            const int rc = st->step();
            if (rc != SQLITE_DONE)
                return sqlFail(s, rc, "cannot delete a value");
        }
        return s.db.changes() == 0 ? fail(ERROR_FILE_NOT_FOUND) : ERROR_SUCCESS;
    });
}

LONG RegDeleteKey(HKEY hKey, LPCWSTR lpSubKey)
{
    if (!lpSubKey)
        return static_cast<LONG>(fail(ERROR_INVALID_PARAMETER));
    std::vector<Name> parts;
    if (const DWORD e = splitPath(lpSubKey, parts))
        return static_cast<LONG>(e);

    return onKeyIn<WriteTransaction>(hKey, 0, [&](Store& s, const Handle& h) -> DWORD {
        std::int64_t key = 0;
        if (const DWORD e = findPath(s, h.key, parts, key))
            return e;
        if (key == kCurrentUserId || key == kLocalMachineId)
            return fail(ERROR_ACCESS_DENIED);
        {
            ZuSqlUse st(s.stmts[HasChild]);
            st->bind(1, key);
            const int rc = st->step();
            if (rc == SQLITE_ROW)
                return fail(ERROR_ACCESS_DENIED);
            if (rc != SQLITE_DONE)
                return sqlFail(s, rc, "cannot read a key");
        }
        for (const Sql which : {RemoveKeyValues, RemoveKey}) {
            ZuSqlUse st(s.stmts[which]);
            st->bind(1, key);
            const int rc = st->step();
            if (rc != SQLITE_DONE)
                return sqlFail(s, rc, "cannot delete a key");
        }
        return ERROR_SUCCESS;
    });
}

LONG RegEnumKeyEx(HKEY hKey, DWORD dwIndex, LPWSTR lpName, DWORD* lpcchName, DWORD*, LPWSTR lpClass,
                  DWORD* lpcchClass, FILETIME* lpftLastWriteTime)
{
    if (!lpName || !lpcchName)
        return static_cast<LONG>(fail(ERROR_INVALID_PARAMETER));

    return onKeyIn<ReadTransaction>(hKey, KEY_ENUMERATE_SUB_KEYS, [&](Store& s, const Handle& h) -> DWORD {
        std::wstring name;
        {
            ZuSqlUse st(s.stmts[EnumKey]);
            if (const DWORD e = stepToEntry(s, *st, h.key, dwIndex, "cannot list keys"))
                return e;
            name = wideFromUtf8(st->text(0));
        }
        if (lpClass && lpcchClass && *lpcchClass)
            lpClass[0] = L'\0';
        if (lpcchClass)
            *lpcchClass = 0;
        if (lpftLastWriteTime)
            *lpftLastWriteTime = FILETIME{};
        return copyName(name, lpName, lpcchName);
    });
}

LONG RegEnumValue(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, DWORD* lpcchValueName, DWORD*, DWORD* lpType,
                  BYTE* lpData, DWORD* lpcbData)
{
    if (!lpValueName || !lpcchValueName || (lpData && !lpcbData))
        return static_cast<LONG>(fail(ERROR_INVALID_PARAMETER));

    return onKeyIn<ReadTransaction>(hKey, KEY_QUERY_VALUE, [&](Store& s, const Handle& h) -> DWORD {
        std::wstring name;
        DWORD type = REG_NONE;
        std::vector<BYTE> wire;
        {
            ZuSqlUse st(s.stmts[EnumValue]);
            if (const DWORD e = stepToEntry(s, *st, h.key, dwIndex, "cannot list values"))
                return e;
            name = wideFromUtf8(st->text(0));
            type = static_cast<DWORD>(st->int64(1));
            wire = fromStored(type, st->blob(2), st->bytes(2));
        }
        if (lpType)
            *lpType = type;
        const DWORD nameResult = copyName(name, lpValueName, lpcchValueName);
        const DWORD dataResult = copyData(wire, lpData, lpcbData);
        return nameResult ? nameResult : dataResult;
    });
}

std::size_t ZuRegOpenHandleCount()
{
    Store& s = store();
    const std::lock_guard lock(s.mutex);
    return s.handles.size();
}
