// recordcache.h - what the calendar's loads need of every appointment, contact and task, kept in
// memory from one load to the next.
//
// What it holds, read from "Appointments Database", "Contacts Database" and "Tasks Database" of
// the data folder's store through database objects of its own:
//   - appointments: object id, flags, busy status, duration, category bitmap, subject with the
//     location appended as " (location)", and either the parsed recurrence pattern with its
//     skipped dates (recurring) or the local start and end (single; a lunar one already placed on its solar date, with its
//     lunar month and day kept for the time text). A recurring record whose pattern does not
//     read, a single one without a start and a single lunar one whose date does not convert are
//     left out: no load shows them.
//   - contacts: one entry per birthday or anniversary whose local month and day are plausible
//     (month 1 to 12, day 1 to 31), with the lunar flag, the file-as name and the contact's
//     category bitmap (shared by the contact's entries).
//   - tasks: object id, private flag, importance, percent done, start and due date as stored
//     (wall clock, or the no-date value), category bitmap, subject, and the parsed recurrence
//     pattern of a recurring one (left out when it does not read).
// Each kind is in the order an unsorted walk of its database gives (object id order; a ranged
// read sorts its appointments into it), so that items which tie in the calendar's order keep it.
//
// When it is stale: the records are those of one store (the path of the data folder's pim.db) at
// one change stamp (ZuStoreChangeStamp, moved by any record written or deleted, by any program).
// They are stale once either differs, after Invalidate, always when the stamp is 0 (no store or
// no stamp to trust), and after a ranged read (below), which holds only part of the appointments.
//
// When a read fails: a store read that fails (a damaged page, an unreadable file) fails the whole
// Refresh; it never counts as the end of a database's records.
//
// How it is refreshed: Refresh, before each load, reads the records again when they are stale
// and does nothing otherwise. The first read after the stamp moves (or after Invalidate, or of
// another store) is ranged: it reads only the appointments a load of its range can show (through
// the database's sort orders: those starting between a long appointment's length before the range
// and its end, and every recurring, lunar or long one), so the first page comes without reading
// them all; the next Refresh on the same stamp reads every appointment and keeps them. A store
// without those sort orders is read whole at once. Contacts and tasks are read whole every time,
// or taken from Prepare when it read them at the same stamp of the same store. Every Refresh
// builds a new set of records and replaces the old one only once it is complete.
//
// Threads: one cache belongs to one thread at a time (the database objects are opened on the
// thread that calls Refresh or Prepare); it shares nothing with other caches.
#pragma once

#include "cedbdatabase.h"
#include "cstring.h"
#include "recurrencepattern.h"
#include "recurrenceskips.h"
#include "wintypes.h"

#include <memory>
#include <string>
#include <vector>

class CRecordCache {
public:
    struct Appointment {
        CEOID oid = 0;
        bool memorial = false;
        bool lunar = false;
        bool allDay = false;
        bool isPrivate = false;
        bool recurring = false;
        bool placeable = true;  // a single lunar date that does not convert is never shown
        int busy = 0;
        LONGLONG durationMinutes = 0;
        FILETIME start{};  // singles: local, on the solar date
        FILETIME end{};
        int lunarMonth = 0;
        int lunarDay = 0;
        std::vector<BYTE> categories;
        CString subject;
        std::unique_ptr<CRecurrencePattern> pattern;
        ZuSkippedDates skipped;  // recurring: the pattern dates that do not happen (0x8801)
    };
    struct ContactDay {
        CEOID oid = 0;
        bool birthday = true;  // else the contact's anniversary
        bool lunar = false;
        int month = 0;
        int day = 0;
        CString name;
        const std::vector<BYTE>* categories = nullptr;  // into Records::contactCategories
    };
    struct Task {
        CEOID oid = 0;
        bool isPrivate = false;
        bool recurring = false;
        int importance = 0;
        int percent = 0;
        FILETIME start{};  // wall clock as the editor writes it, or no date
        FILETIME due{};
        std::vector<BYTE> categories;
        CString subject;
        std::unique_ptr<CRecurrencePattern> pattern;
    };

    // The records as one read gave them. Moved, never copied: the contacts' days point into
    // contactCategories, whose elements a move keeps where they are.
    struct Records {
        Records() = default;
        Records(Records&&) = default;
        Records& operator=(Records&&) = default;
        Records(const Records&) = delete;
        Records& operator=(const Records&) = delete;

        std::vector<Appointment> appointments;
        std::vector<std::vector<BYTE>> contactCategories;  // one per contact, referred to by its days
        std::vector<ContactDay> contactDays;
        std::vector<Task> tasks;
    };

    // Reads the records again when they are stale for a load of [rangeStart, rangeEnd] (local),
    // every database in one snapshot of the store. False when a read of the store failed: the
    // records of the last complete read stay Current, Failure says what went wrong, and the
    // next Refresh reads again.
    bool Refresh(FILETIME rangeStart, FILETIME rangeEnd);
    // Why the last Refresh failed (the store's error text); empty after one that did not.
    const CString& Failure() const { return m_failure; }
    // Reads the contacts' days and the tasks ahead of the next Refresh that reads, which takes them
    // when the change stamp and the store are still the same and drops them otherwise. Does nothing
    // when the records are complete at the current stamp, or the stamp is 0.
    void Prepare();
    // Makes the next Refresh read again whatever the change stamp says.
    void Invalidate();

    // The records of the last Refresh (none before the first).
    const Records& Current() const { return m_records; }
    // How many times Refresh read the store.
    int StoreReads() const { return m_storeReads; }

private:
    Records m_records;
    std::string m_path;
    ULONGLONG m_stamp = 0;
    bool m_valid = false;        // m_records holds every record as of m_stamp
    ULONGLONG m_rangeStamp = 0;  // the stamp of the last ranged read
    std::unique_ptr<Records> m_prepared;  // Prepare's contacts' days and tasks, as of m_preparedStamp
    ULONGLONG m_preparedStamp = 0;
    std::string m_preparedPath;
    int m_storeReads = 0;
    CString m_failure;

    bool fail();
};
