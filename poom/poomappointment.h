// poomappointment.h - the object model's appointment item: what the event editor and the importer
// set, and Save, which writes the appointment record the calendar reads back.
//
// An item is created empty by CPoomApplication::CreateItem or loaded from its record by
// GetItemFromOid; the put_ calls only change the item in memory. Save writes, in one record write
// (a new record, or merged into the existing one so that properties the item does not manage,
// such as the memorial and lunar marks, stay):
//   0x0037 subject            0x4208 location          0x0016 category bitmap (from the names)
//   0x420D start (UTC)        0x4213 duration (min)    0x4215 1 all-day, 2 timed
//   0x000F busy status        0x0004 1 when Sensitivity is 2 (private), else 0
//   0x4501 reminder lead      0x4503 1 when the reminder is set, else 0
//   0x0002 the reminder's notification handle (0 when none)
//   0x0017 the ink body (when one was set)   0x0030 the recipients as an attendee list
//   0x4223 1 when a recurrence pattern is set, else 0, and 0x4015 its BLOB (removed when none)
//   0x8802 and 0x8803 the UID the item was imported under and the occurrence it stands for, when
//          put_ImportUid set them (otherwise the record keeps what it has)
//   0x8801 the skipped dates of the pattern (removed when there are none, or no pattern): when
//          the pattern's BLOB differs from the one the record held, only the dates that are
//          still occurrences of the new pattern are kept; any other save keeps them as they are
// The reminder is registered with the notification service (at start minus the lead) when it
// is set, and the previous one of the record is removed. After a successful write the
// appointments' category reference counts (0x4005) follow the change: one added for each new
// category, one released for each category the record had before. A failed write returns E_FAIL
// and changes neither the counts nor the reminders (a reminder registered for the failed write
// is removed again).
//
// Times: Start is a local date and time (an OLE date, as the object model takes it); the record
// stores it in UTC. A recurring item's pattern takes the item's start time of day and duration
// when it is saved.
#pragma once

#include "attendees.h"
#include "oledatetime.h"
#include "poomrecipients.h"
#include "recurrencepattern.h"
#include "recurrenceskips.h"

#include <memory>
#include <optional>
#include <vector>

class CPoomApplication;

// Object-model values.
constexpr long ZU_OL_FREE = 0;
constexpr long ZU_OL_TENTATIVE = 1;
constexpr long ZU_OL_BUSY = 2;
constexpr long ZU_OL_OUT_OF_OFFICE = 3;
constexpr long ZU_OL_NORMAL = 0;
constexpr long ZU_OL_PRIVATE = 2;

class CPoomAppointment {
public:
    ~CPoomAppointment();
    CPoomAppointment(const CPoomAppointment&) = delete;
    CPoomAppointment& operator=(const CPoomAppointment&) = delete;

    HRESULT get_Oid(CEOID* oid) const;
    HRESULT get_Subject(CString* subject) const;
    HRESULT put_Subject(const wchar_t* subject);
    HRESULT get_Location(CString* location) const;
    HRESULT put_Location(const wchar_t* location);
    // Category names separated by commas ("업무, 가족"), as GetDBCategoryBlob2Str writes them;
    // names that are not in "\Categories Database" are left out when the item is saved.
    HRESULT get_Categories(CString* categories) const;
    HRESULT put_Categories(const wchar_t* categories);
    HRESULT get_Start(DATE* start) const;
    HRESULT put_Start(DATE start);
    HRESULT get_Duration(long* minutes) const;
    HRESULT put_Duration(long minutes);  // refuses a negative duration
    HRESULT get_AllDayEvent(long* allDay) const;
    HRESULT put_AllDayEvent(long allDay);
    HRESULT get_BusyStatus(long* status) const;
    HRESULT put_BusyStatus(long status);  // 0 to 3
    HRESULT get_Sensitivity(long* sensitivity) const;
    HRESULT put_Sensitivity(long sensitivity);
    HRESULT get_ReminderSet(long* set) const;
    HRESULT put_ReminderSet(long set);  // any non-zero value sets it
    HRESULT get_ReminderMinutesBeforeStart(long* minutes) const;
    HRESULT put_ReminderMinutesBeforeStart(long minutes);
    HRESULT put_ReminderSoundFile(const wchar_t* file);
    HRESULT put_ReminderOptions(long options);
    // The handwritten note (the ink control's data), stored as given.
    HRESULT put_BodyInk(const CEBLOB& ink);

    // The recipients; the item keeps ownership.
    HRESULT get_Recipients(CPoomRecipients** recipients);
    // The item's recurrence pattern (an appointment pattern); the item keeps ownership. A
    // pattern whose type was never set leaves the item single.
    HRESULT GetRecurrencePattern(CRecurrencePattern** pattern);
    HRESULT ClearRecurrencePattern();
    // The dates of the pattern's occurrences that do not happen (recurrenceskips.h), as loaded
    // from the record or set; Save writes them with the pattern.
    HRESULT get_SkippedDates(ZuSkippedDates* dates) const;
    HRESULT put_SkippedDates(const ZuSkippedDates& dates);
    // The UID of the iCalendar component the item is imported from and, for an item that stands
    // for one occurrence of it, that occurrence's local start (null for none: Save removes a
    // stored one). Items made in the suite never set it.
    HRESULT put_ImportUid(const wchar_t* uid, const FILETIME* occurrence);

    // Writes the record (see the file comment); S_OK, or E_FAIL when nothing was written.
    HRESULT Save();
    // True when Save would write nothing new: the stored record already holds every value the
    // item manages (the reminder's notification handle and the attendees' added times aside;
    // category bitmaps compared by their bits; a pattern that ends after its count and one that
    // ends on the same last date with the same count taken as one). False for an unsaved item or
    // one whose record cannot be read.
    bool MatchesRecord() const;
    // Deletes the record with its reminder and category references; E_FAIL for an unsaved item.
    HRESULT Delete();

private:
    friend class CPoomApplication;
    CPoomAppointment();
    bool load(CEOID oid);
    // What Save writes: the properties and the identifiers it removes, with the category bitmap
    // and the pattern's BLOB; false when the start or the pattern cannot be written.
    struct Written;
    bool build(Written& out, HANDLE reminder) const;

    CEOID m_oid = 0;
    CString m_subject;
    CString m_location;
    CString m_categories;
    DATE m_start = 0;
    long m_duration = 0;
    long m_allDay = 0;
    long m_busy = ZU_OL_BUSY;
    long m_sensitivity = ZU_OL_NORMAL;
    long m_reminderSet = 0;
    long m_reminderMinutes = 15;
    CString m_soundFile;
    long m_reminderOptions = 0;
    std::optional<std::vector<BYTE>> m_ink;
    CPoomRecipients m_recipients;
    std::unique_ptr<CRecurrencePattern> m_pattern;
    ZuSkippedDates m_skipped;
    std::optional<std::wstring> m_importUid;
    std::optional<FILETIME> m_importOccurrence;
    // What the record held when loaded, to keep the counts and the reminder true.
    std::vector<BYTE> m_savedCategories;
    LONG m_savedNotification = 0;
    std::vector<BYTE> m_savedPattern;  // the BLOB of the record's pattern, empty when none
};
