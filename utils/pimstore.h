// pimstore.h - opening the PIM databases, deleting records, and the category bookkeeping.
//
// Category bitmaps: bit i (byte i / 8, bit i mod 8, least significant first) stands for the
// category whose index (0x4002) is i. A bit beyond the bitmap's length, or a negative index,
// counts as clear: nothing here reads or writes outside a bitmap. Every category record counts
// how many contacts (0x4004), appointments (0x4005) and tasks (0x4006) carry it; whoever adds a
// bitmap to a record adds its references, whoever removes one releases them first.
//
// All functions return 1 for success and 0 for failure unless said otherwise; none throws.
#pragma once

#include "cedbdatabase.h"
#include "cstring.h"
#include "recordlayouts.h"
#include "windowmessage.h"

#include <vector>

// Opens an existing database by name, sorted by `sortProp` and notifying `notifyWindow` when
// given. Never creates a database.
int OpenDatabase(CCeDBDatabase* database, const wchar_t* name, CCeDBProp* sortProp, CWnd* notifyWindow);
// Opens the database of a selector (1, 2, 4, 8, 16) unsorted and without notification.
int GetDatabasePtr(CCeDBDatabase* database, int selector);
// Closes the database if it is open; 1 also when it was not open. A failure is shown with
// DisplayLastError.
int CloseDatabase(CCeDBDatabase* database);
// Deletes the record `oid` of an open database together with what it holds elsewhere: its user
// notification (0x0002) and, for appointments, contacts and tasks (selectors 1, 2, 4), its
// category references. The record goes first; the notification and the references are let go
// only once the delete succeeded, so a failed delete leaves everything as it was.
int DeleteRecord(CCeDBDatabase* database, DWORD oid, int selector);
// Progress of a task record in percent: 100 when complete, else 0x8100, else the completion
// flag's value (0 when absent). Null gives 0.
int GetDBStatusPercent(CCeDBRecord* task);

// The index (0x4002) of the first category, in database order, whose name (0x4001) equals
// `name` exactly; -1 when the database is not open or no category matches, and also when the
// walk meets a record it cannot read (the database's ReadFailed() then says so).
int GetDBCategoryIndex(CCeDBDatabase* categories, const wchar_t* name);
// The name of the category with that index; empty when there is none.
CString GetDBCategoryName(int index);
// The names of the categories whose bits are set, in database order, joined by ", ".
// When the categories database cannot be opened, says "Cannot open Category Database".
CString GetDBCategoryBlob2Str(const CEBLOB* bitmap);
// Add (or release) one reference of the given counter (0x4004, 0x4005, 0x4006) on every
// category whose bit is set. A counter never goes below 0 nor above 32767; a category without
// that counter is left alone. 0 when the bitmap is empty, the database cannot be opened or a
// write failed (the others are still written).
int AddCategoryRefByBlob(const CEBLOB* bitmap, WORD counter);
int ReleaseCategoryRefByBlob(const CEBLOB* bitmap, WORD counter);

// Whether the bitmap has the bit of category `index` (clear for a negative index or a bit
// beyond the bitmap).
bool ZuBitmapHas(const CEBLOB* bitmap, int index);
// Sets the bit of category `index` (0 to 32767), growing the bitmap as needed.
void ZuBitmapSet(std::vector<BYTE>& bitmap, int index);
// Whether a record's bitmap passes a category filter: some byte over the shorter of the two
// lengths shares a set bit; with `admitNone` a record without categories passes too.
bool ZuCategoryFilterPasses(const CEBLOB* record, const CEBLOB* filter, bool admitNone);

// Reading one property of a record by its identifier (the first property with it):
// - an integer of any integer type (I2, UI2, I4, UI4), else `missing`;
// - a string, "" when absent or of another type;
// - a BLOB's bytes, empty when absent or of another type;
// - a FILETIME into *out: false (out untouched) when absent or of another type.
long long ZuRecordInt(const CCeDBRecord& record, WORD ident, long long missing = 0);
CString ZuRecordString(const CCeDBRecord& record, WORD ident);
std::vector<BYTE> ZuRecordBytes(const CCeDBRecord& record, WORD ident);
bool ZuRecordFiletime(const CCeDBRecord& record, WORD ident, FILETIME* out);
// A CEBLOB that refers to the bytes (which must outlive it); no bytes give {0, null}.
CEBLOB ZuBlobOf(const std::vector<BYTE>& bytes);

// A new anniversary record for one day.
CCeDBRecord ZuHolidayRecord(const ZuHoliday& day);
