// testvfs.h - a disk that loses power and fails, for the store's tests.
//
// ZuTestVfs::install() registers a VFS over SQLite's default one (which it delegates to) and makes
// it the default, so every connection opened afterwards in the process goes through it. Only the
// files whose path starts with the watched folder (watch(); usually a ZuTestHome) are counted,
// recorded and failed; every other file passes straight through. Connections opened before
// install() keep the real VFS.
//
// Power cuts. While recording (record(true)) a real sync is not made (the shim keeps what a disk
// would have kept instead, which makes the sweeps fast): every write and truncation since a file's
// last sync is remembered with the bytes it replaced. Each write and each sync of a watched file
// is one "step", numbered from 1 since reset(). cutAfter(n) arms a cut: once step n has run, the
// power is gone, and every later read, write, sync, lock and open of a watched file fails with
// SQLITE_IOERR (and nothing reaches the file; a delete is dropped), as the program would see a
// dead disk. powerCut() then puts every watched file back to what its last sync made durable:
// the unsynced writes are undone newest first, except that the newest one is torn, its first
// half kept (so a page is left half old, half new), and its -shm files are removed (the shared
// memory does not outlive the power). Call powerCut() only when no connection is open any more.
//
// I/O errors. failNth(op, n, error, times) makes the n-th operation of that kind on a watched
// file (counted from the call) fail with the error, and the next `times - 1` ones after it too
// (times < 0: every one from then on, a disk gone bad or full). Errors:
//   Eio       SQLITE_IOERR_READ / _WRITE / _FSYNC / _LOCK; an open: SQLITE_CANTOPEN
//   Enospc    a write or a sync: SQLITE_FULL; the other operations as Eio
//   ReadOnly  a write, truncate or sync: SQLITE_READONLY; an open for writing is made read-only
//             (as the default VFS does on a read-only disk); a new file cannot be made
// readOnly(true) is ReadOnly on every operation at once: the whole folder is on a read-only
// disk. A failed write or truncation changes nothing of the file.
//
// count(op) tells how many operations of a kind ran since reset(); steps() the steps. The shim
// is one process-wide object, safe to use from several threads.
#pragma once

#include <string>

namespace ZuTestVfs {

enum class Op { Read, Write, Sync, Lock, Open };
enum class Error { Eio, Enospc, ReadOnly };

// Registers the shim as the default VFS (once; later calls do nothing).
void install();
// The folder whose files are watched ("" watches nothing).
void watch(const std::string& folder);
// Forgets every counter, armed cut and failure and the power cut's record; the power is on.
void reset();

// Power cuts (see the file comment).
void record(bool on);
void cutAfter(long step);
bool powerIsOut();
void powerCut();
long steps();

// I/O errors.
void failNth(Op op, long n, Error error, long times = 1);
void readOnly(bool on);
long count(Op op);

} // namespace ZuTestVfs
