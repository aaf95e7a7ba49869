#include "testvfs.h"

#include <sqlite3.h>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <new>
#include <vector>

namespace ZuTestVfs {
namespace {

// What one unsynced write or truncation replaced: the bytes that were at `offset` (as far as the
// file reached) and the file's size before it.
struct Undo {
    sqlite3_int64 offset = 0;
    sqlite3_int64 length = 0;  // of the write (0 for a truncation)
    std::string old;
    sqlite3_int64 oldSize = 0;
};

struct FailRule {
    long at = 0;  // 0: none armed
    long times = 1;
    Error error = Error::Eio;
    long seen = 0;
};

struct State {
    std::mutex mutex;
    sqlite3_vfs* real = nullptr;
    std::string folder;
    bool recording = false;
    long cutStep = 0;
    long stepCount = 0;
    bool out = false;
    bool readOnlyDisk = false;
    FailRule rules[5];
    long counts[5] = {};
    std::map<std::string, std::vector<Undo>> unsynced;
};

State& state()
{
    static State* s = new State;
    return *s;
}

struct File {
    sqlite3_file base;
    sqlite3_file* real;
    std::string* path;  // null when not watched
};

File* shim(sqlite3_file* f)
{
    return reinterpret_cast<File*>(f);
}

int opIndex(Op op)
{
    return static_cast<int>(op);
}

// The error the rule of `op` gives now (0 when none); counts the operation. Holds the lock.
int injected(State& s, Op op)
{
    FailRule& rule = s.rules[opIndex(op)];
    ++s.counts[opIndex(op)];
    ++rule.seen;
    if (s.out)
        return op == Op::Open ? SQLITE_CANTOPEN : op == Op::Lock ? SQLITE_IOERR_LOCK : SQLITE_IOERR;
    Error error;
    if (s.readOnlyDisk && (op == Op::Write || op == Op::Sync)) {
        error = Error::ReadOnly;
    } else if (rule.at && rule.seen >= rule.at && (rule.times < 0 || rule.seen < rule.at + rule.times)) {
        error = rule.error;
    } else {
        return SQLITE_OK;
    }
    if (error == Error::ReadOnly) {
        if (op == Op::Write || op == Op::Sync)
            return SQLITE_READONLY;
        if (op == Op::Open)
            return SQLITE_OK;  // the open is made read-only by the caller
    }
    if (error == Error::Enospc && (op == Op::Write || op == Op::Sync))
        return SQLITE_FULL;
    switch (op) {
    case Op::Read: return SQLITE_IOERR_READ;
    case Op::Write: return SQLITE_IOERR_WRITE;
    case Op::Sync: return SQLITE_IOERR_FSYNC;
    case Op::Lock: return SQLITE_IOERR_LOCK;
    case Op::Open: return SQLITE_CANTOPEN;
    }
    return SQLITE_IOERR;
}

void step(State& s)
{
    ++s.stepCount;
    if (s.cutStep && s.stepCount >= s.cutStep)
        s.out = true;
}

sqlite3_int64 sizeOf(sqlite3_file* real)
{
    sqlite3_int64 size = 0;
    real->pMethods->xFileSize(real, &size);
    return size;
}

// The bytes of [offset, offset + length) the file holds now (fewer past its end).
std::string bytesAt(sqlite3_file* real, sqlite3_int64 offset, sqlite3_int64 length)
{
    const sqlite3_int64 size = sizeOf(real);
    if (offset >= size)
        return {};
    std::string out(static_cast<size_t>(std::min(length, size - offset)), '\0');
    real->pMethods->xRead(real, out.data(), static_cast<int>(out.size()), offset);
    return out;
}

// ---------------------------------------------------------------------------------------------
// The file's methods

int xClose(sqlite3_file* f)
{
    File* p = shim(f);
    const int rc = p->real->pMethods ? p->real->pMethods->xClose(p->real) : SQLITE_OK;
    delete p->path;
    p->path = nullptr;
    return rc;
}

int xRead(sqlite3_file* f, void* buffer, int amount, sqlite3_int64 offset)
{
    File* p = shim(f);
    if (p->path) {
        State& s = state();
        std::lock_guard lock(s.mutex);
        if (const int rc = injected(s, Op::Read))
            return rc;
    }
    return p->real->pMethods->xRead(p->real, buffer, amount, offset);
}

int xWrite(sqlite3_file* f, const void* data, int amount, sqlite3_int64 offset)
{
    File* p = shim(f);
    if (!p->path)
        return p->real->pMethods->xWrite(p->real, data, amount, offset);
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (const int rc = injected(s, Op::Write))
        return rc;
    Undo undo;
    if (s.recording) {
        undo.offset = offset;
        undo.length = amount;
        undo.oldSize = sizeOf(p->real);
        undo.old = bytesAt(p->real, offset, amount);
    }
    const int rc = p->real->pMethods->xWrite(p->real, data, amount, offset);
    if (rc == SQLITE_OK && s.recording) {
        s.unsynced[*p->path].push_back(std::move(undo));
        step(s);
    }
    return rc;
}

int xTruncate(sqlite3_file* f, sqlite3_int64 size)
{
    File* p = shim(f);
    if (!p->path)
        return p->real->pMethods->xTruncate(p->real, size);
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (const int rc = injected(s, Op::Write))
        return rc == SQLITE_FULL ? SQLITE_IOERR_TRUNCATE : rc;
    Undo undo;
    if (s.recording) {
        undo.offset = size;
        undo.oldSize = sizeOf(p->real);
        undo.old = bytesAt(p->real, size, undo.oldSize - size);
    }
    const int rc = p->real->pMethods->xTruncate(p->real, size);
    if (rc == SQLITE_OK && s.recording)
        s.unsynced[*p->path].push_back(std::move(undo));
    return rc;
}

int xSync(sqlite3_file* f, int flags)
{
    File* p = shim(f);
    if (!p->path)
        return p->real->pMethods->xSync(p->real, flags);
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (const int rc = injected(s, Op::Sync))
        return rc;
    if (!s.recording)
        return p->real->pMethods->xSync(p->real, flags);
    s.unsynced.erase(*p->path);
    step(s);
    return SQLITE_OK;
}

int xFileSize(sqlite3_file* f, sqlite3_int64* size)
{
    return shim(f)->real->pMethods->xFileSize(shim(f)->real, size);
}

int xLock(sqlite3_file* f, int level)
{
    File* p = shim(f);
    if (p->path) {
        State& s = state();
        std::lock_guard lock(s.mutex);
        if (const int rc = injected(s, Op::Lock))
            return rc;
    }
    return p->real->pMethods->xLock(p->real, level);
}

int xUnlock(sqlite3_file* f, int level)
{
    return shim(f)->real->pMethods->xUnlock(shim(f)->real, level);
}

int xCheckReservedLock(sqlite3_file* f, int* out)
{
    return shim(f)->real->pMethods->xCheckReservedLock(shim(f)->real, out);
}

int xFileControl(sqlite3_file* f, int op, void* arg)
{
    return shim(f)->real->pMethods->xFileControl(shim(f)->real, op, arg);
}

int xSectorSize(sqlite3_file* f)
{
    return shim(f)->real->pMethods->xSectorSize(shim(f)->real);
}

int xDeviceCharacteristics(sqlite3_file* f)
{
    return shim(f)->real->pMethods->xDeviceCharacteristics(shim(f)->real);
}

int xShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out)
{
    return shim(f)->real->pMethods->xShmMap(shim(f)->real, region, size, extend, out);
}

int xShmLock(sqlite3_file* f, int offset, int n, int flags)
{
    return shim(f)->real->pMethods->xShmLock(shim(f)->real, offset, n, flags);
}

void xShmBarrier(sqlite3_file* f)
{
    shim(f)->real->pMethods->xShmBarrier(shim(f)->real);
}

int xShmUnmap(sqlite3_file* f, int deleteFlag)
{
    return shim(f)->real->pMethods->xShmUnmap(shim(f)->real, deleteFlag);
}

// Version 2: shared memory, no memory-mapped reads (every read comes through xRead).
const sqlite3_io_methods kMethods = {2, xClose, xRead, xWrite, xTruncate, xSync, xFileSize, xLock, xUnlock,
    xCheckReservedLock, xFileControl, xSectorSize, xDeviceCharacteristics, xShmMap, xShmLock, xShmBarrier,
    xShmUnmap, nullptr, nullptr};

// ---------------------------------------------------------------------------------------------
// The VFS

bool watched(State& s, const char* name)
{
    return name && !s.folder.empty() && std::strncmp(name, s.folder.c_str(), s.folder.size()) == 0;
}

int vOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags)
{
    State& s = state();
    File* p = shim(f);
    p->base.pMethods = nullptr;
    p->real = reinterpret_cast<sqlite3_file*>(p + 1);
    p->path = nullptr;
    bool watch = false;
    {
        std::lock_guard lock(s.mutex);
        watch = watched(s, name);
        if (watch) {
            if (const int rc = injected(s, Op::Open))
                return rc;
            const Error error = s.rules[opIndex(Op::Open)].error;
            const FailRule& rule = s.rules[opIndex(Op::Open)];
            const bool ruled = rule.at && rule.seen >= rule.at && (rule.times < 0 || rule.seen < rule.at + rule.times)
                && error == Error::ReadOnly;
            if ((s.readOnlyDisk || ruled) && (flags & SQLITE_OPEN_READWRITE)) {
                if ((flags & SQLITE_OPEN_CREATE) && ::access(name, F_OK) != 0)
                    return SQLITE_CANTOPEN;
                flags = (flags & ~(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) | SQLITE_OPEN_READONLY;
            }
        }
    }
    const int rc = s.real->xOpen(s.real, name, p->real, flags, outFlags);
    if (p->real->pMethods) {
        p->base.pMethods = &kMethods;
        if (watch)
            p->path = new std::string(name);
    }
    return rc;
}

int vDelete(sqlite3_vfs*, const char* name, int syncDir)
{
    State& s = state();
    {
        std::lock_guard lock(s.mutex);
        if (watched(s, name)) {
            if (s.out)
                return SQLITE_OK;  // the power is out: nothing reaches the disk
            if (s.readOnlyDisk)
                return SQLITE_IOERR_DELETE;
            s.unsynced.erase(name);
            if (s.recording)
                syncDir = 0;  // the shim keeps what is durable itself
        }
    }
    return s.real->xDelete(s.real, name, syncDir);
}

int vAccess(sqlite3_vfs*, const char* name, int flags, int* out)
{
    return state().real->xAccess(state().real, name, flags, out);
}

int vFullPathname(sqlite3_vfs*, const char* name, int n, char* out)
{
    return state().real->xFullPathname(state().real, name, n, out);
}

void* vDlOpen(sqlite3_vfs*, const char* name)
{
    return state().real->xDlOpen(state().real, name);
}

void vDlError(sqlite3_vfs*, int n, char* out)
{
    state().real->xDlError(state().real, n, out);
}

void (*vDlSym(sqlite3_vfs*, void* handle, const char* symbol))(void)
{
    return state().real->xDlSym(state().real, handle, symbol);
}

void vDlClose(sqlite3_vfs*, void* handle)
{
    state().real->xDlClose(state().real, handle);
}

int vRandomness(sqlite3_vfs*, int n, char* out)
{
    return state().real->xRandomness(state().real, n, out);
}

int vSleep(sqlite3_vfs*, int micro)
{
    return state().real->xSleep(state().real, micro);
}

int vCurrentTime(sqlite3_vfs*, double* out)
{
    return state().real->xCurrentTime(state().real, out);
}

int vGetLastError(sqlite3_vfs*, int n, char* out)
{
    return state().real->xGetLastError ? state().real->xGetLastError(state().real, n, out) : 0;
}

int vCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* out)
{
    return state().real->xCurrentTimeInt64(state().real, out);
}

sqlite3_vfs g_vfs;

} // namespace

void install()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (s.real)
        return;
    sqlite3_initialize();
    s.real = sqlite3_vfs_find(nullptr);
    g_vfs.iVersion = 2;
    g_vfs.szOsFile = static_cast<int>(sizeof(File)) + s.real->szOsFile;
    g_vfs.mxPathname = s.real->mxPathname;
    g_vfs.zName = "zu-test";
    g_vfs.xOpen = vOpen;
    g_vfs.xDelete = vDelete;
    g_vfs.xAccess = vAccess;
    g_vfs.xFullPathname = vFullPathname;
    g_vfs.xDlOpen = vDlOpen;
    g_vfs.xDlError = vDlError;
    g_vfs.xDlSym = vDlSym;
    g_vfs.xDlClose = vDlClose;
    g_vfs.xRandomness = vRandomness;
    g_vfs.xSleep = vSleep;
    g_vfs.xCurrentTime = vCurrentTime;
    g_vfs.xGetLastError = vGetLastError;
    g_vfs.xCurrentTimeInt64 = vCurrentTimeInt64;
    sqlite3_vfs_register(&g_vfs, 1);
}

void watch(const std::string& folder)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.folder = folder;
}

void reset()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.recording = false;
    s.cutStep = 0;
    s.stepCount = 0;
    s.out = false;
    s.readOnlyDisk = false;
    for (FailRule& r : s.rules)
        r = FailRule();
    for (long& c : s.counts)
        c = 0;
    s.unsynced.clear();
}

void record(bool on)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.recording = on;
}

void cutAfter(long n)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.cutStep = n;
    if (n && s.stepCount >= n)
        s.out = true;
}

bool powerIsOut()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.out;
}

long steps()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.stepCount;
}

void powerCut()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    for (auto& [path, undos] : s.unsynced) {
        if (undos.empty())
            continue;
        const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            continue;
        sqlite3_int64 keep = 0;  // how far the torn write's kept half reaches
        for (size_t i = undos.size(); i-- > 0;) {
            const Undo& u = undos[i];
            size_t from = 0;
            if (i + 1 == undos.size() && u.length > 1) {
                from = static_cast<size_t>(u.length / 2);
                keep = u.offset + static_cast<sqlite3_int64>(from);
            }
            if (from < u.old.size())
                (void)!::pwrite(fd, u.old.data() + from, u.old.size() - from, static_cast<off_t>(u.offset) + static_cast<off_t>(from));
        }
        const sqlite3_int64 size = std::max(undos.front().oldSize, keep);
        (void)!::ftruncate(fd, static_cast<off_t>(size));
        ::close(fd);
    }
    s.unsynced.clear();
    // The shared memory of the stores does not outlive the power.
    if (DIR* dir = s.folder.empty() ? nullptr : ::opendir(s.folder.c_str())) {
        while (const dirent* e = ::readdir(dir)) {
            const std::string name = e->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, "-shm") == 0)
                ::unlink((s.folder + "/" + name).c_str());
        }
        ::closedir(dir);
    }
    s.out = false;
    s.cutStep = 0;
}

void failNth(Op op, long n, Error error, long times)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    FailRule& r = s.rules[opIndex(op)];
    r.at = n;
    r.times = times;
    r.error = error;
    r.seen = 0;
}

void readOnly(bool on)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.readOnlyDisk = on;
}

long count(Op op)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.counts[opIndex(op)];
}

} // namespace ZuTestVfs
