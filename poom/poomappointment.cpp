#include "poomappointment.h"

#include "cedbdatabase.h"
#include "filetime.h"
#include "notifyutil.h"
#include "pimstore.h"
#include "recordlayouts.h"
#include "usernotify.h"

#include <QStringList>

#include <algorithm>
#include <deque>

namespace {

// The bitmap of the named categories ("a, b"); unknown names are left out.
std::vector<BYTE> bitmapOfNames(const CString& names)
{
    std::vector<BYTE> bitmap;
    if (names.IsEmpty())
        return bitmap;
    CCeDBDatabase categories;
    if (!GetDatabasePtr(&categories, ZU_SEL_CATEGORIES))
        return bitmap;
    const QStringList parts = QString::fromStdWString(names.str()).split(QLatin1Char(','));
    for (const QString& part : parts) {
        const QString name = part.trimmed();
        if (name.isEmpty())
            continue;
        const int index = GetDBCategoryIndex(&categories, name.toStdWString().c_str());
        if (index >= 0)
            ZuBitmapSet(bitmap, index);
    }
    return bitmap;
}

void changeRefs(const std::vector<BYTE>& bitmap, int delta)
{
    if (bitmap.empty())
        return;
    const CEBLOB blob = ZuBlobOf(bitmap);
    if (delta > 0)
        AddCategoryRefByBlob(&blob, ZUID_CAT_APT_COUNT);
    else
        ReleaseCategoryRefByBlob(&blob, ZUID_CAT_APT_COUNT);
}

}  // namespace

CPoomAppointment::CPoomAppointment() : m_soundFile(L"Alarm1.wav") {}

CPoomAppointment::~CPoomAppointment() = default;

bool CPoomAppointment::load(CEOID oid)
{
    CCeDBDatabase db;
    CCeDBRecord record;
    if (oid == 0 || !GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS) || !db.SeekToRecord(oid) || !db.ReadCurrRecord(&record))
        return false;
    m_oid = oid;
    m_subject = ZuRecordString(record, ZUID_APT_SUBJECT);
    m_location = ZuRecordString(record, ZUID_APT_LOCATION);
    m_savedCategories = ZuRecordBytes(record, ZUID_APT_CATEGORIES);
    if (!m_savedCategories.empty()) {
        const CEBLOB bitmap = ZuBlobOf(m_savedCategories);
        m_categories = GetDBCategoryBlob2Str(&bitmap);
    }
    if (const CCeDBProp* start = record.GetIdProp(ZUID_APT_START); start && start->GetType() == CEVT_FILETIME) {
        const FILETIME utc = start->GetFiletime();
        FILETIME local{};
        if (FileTimeToLocalFileTime(&utc, &local))
            m_start = COleDateTime(local).m_dt;
    }
    m_duration = static_cast<long>(ZuRecordInt(record, ZUID_APT_DURATION));
    m_allDay = ZuRecordInt(record, ZUID_APT_TYPE) == ZU_APT_ALLDAY ? 1 : 0;
    m_busy = static_cast<long>(ZuRecordInt(record, ZUID_APT_BUSYSTATUS));
    m_sensitivity = ZuRecordInt(record, ZUID_APT_PRIVATE) == 1 ? ZU_OL_PRIVATE : ZU_OL_NORMAL;
    m_reminderSet = ZuRecordInt(record, ZUID_APT_REMINDER_SET) ? 1 : 0;
    m_reminderMinutes = static_cast<long>(ZuRecordInt(record, ZUID_APT_REMINDER_MINUTES));
    m_savedNotification = static_cast<LONG>(ZuRecordInt(record, ZUID_APT_NOTIFY));
    if (record.GetIdProp(ZUID_APT_NOTE))
        m_ink = ZuRecordBytes(record, ZUID_APT_NOTE);
    const std::vector<BYTE> attendees = ZuRecordBytes(record, ZUID_APT_ATTENDEES);
    m_recipients.FromBlob(ZuBlobOf(attendees));
    if (ZuRecordInt(record, ZUID_APT_RECURRING) == 1) {
        m_savedPattern = ZuRecordBytes(record, ZUID_APT_RECURRENCE);
        m_pattern = std::make_unique<CRecurrencePattern>(ZuBlobOf(m_savedPattern), 1u, 1u);
        m_skipped = ZuSkippedDatesFromBytes(ZuRecordBytes(record, ZUID_APT_SKIPPED_DATES));
    }
    return true;
}

HRESULT CPoomAppointment::get_Oid(CEOID* oid) const
{
    if (!oid)
        return E_FAIL;
    *oid = m_oid;
    return S_OK;
}

#define ZU_GETTER(name, type, member)                    \
    HRESULT CPoomAppointment::get_##name(type* out) const \
    {                                                     \
        if (!out)                                         \
            return E_FAIL;                                \
        *out = member;                                    \
        return S_OK;                                      \
    }

ZU_GETTER(Subject, CString, m_subject)
ZU_GETTER(Location, CString, m_location)
ZU_GETTER(Categories, CString, m_categories)
ZU_GETTER(Start, DATE, m_start)
ZU_GETTER(Duration, long, m_duration)
ZU_GETTER(AllDayEvent, long, m_allDay)
ZU_GETTER(BusyStatus, long, m_busy)
ZU_GETTER(Sensitivity, long, m_sensitivity)
ZU_GETTER(ReminderSet, long, m_reminderSet)
ZU_GETTER(ReminderMinutesBeforeStart, long, m_reminderMinutes)
#undef ZU_GETTER

HRESULT CPoomAppointment::put_Subject(const wchar_t* subject)
{
    m_subject = CString(subject ? subject : L"");
    return S_OK;
}

HRESULT CPoomAppointment::put_Location(const wchar_t* location)
{
    m_location = CString(location ? location : L"");
    return S_OK;
}

HRESULT CPoomAppointment::put_Categories(const wchar_t* categories)
{
    m_categories = CString(categories ? categories : L"");
    return S_OK;
}

HRESULT CPoomAppointment::put_Start(DATE start)
{
    if (COleDateTime(start).GetStatus() != COleDateTime::valid)
        return E_FAIL;
    m_start = start;
    return S_OK;
}

HRESULT CPoomAppointment::put_Duration(long minutes)
{
    if (minutes < 0)
        return E_FAIL;
    m_duration = minutes;
    return S_OK;
}

HRESULT CPoomAppointment::put_AllDayEvent(long allDay)
{
    m_allDay = allDay ? 1 : 0;
    return S_OK;
}

HRESULT CPoomAppointment::put_BusyStatus(long status)
{
    if (status < ZU_OL_FREE || status > ZU_OL_OUT_OF_OFFICE)
        return E_FAIL;
    m_busy = status;
    return S_OK;
}

HRESULT CPoomAppointment::put_Sensitivity(long sensitivity)
{
    m_sensitivity = sensitivity;
    return S_OK;
}

HRESULT CPoomAppointment::put_ReminderSet(long set)
{
    m_reminderSet = set ? 1 : 0;
    return S_OK;
}

HRESULT CPoomAppointment::put_ReminderMinutesBeforeStart(long minutes)
{
    m_reminderMinutes = minutes;
    return S_OK;
}

HRESULT CPoomAppointment::put_ReminderSoundFile(const wchar_t* file)
{
    m_soundFile = CString(file ? file : L"");
    return S_OK;
}

HRESULT CPoomAppointment::put_ReminderOptions(long options)
{
    m_reminderOptions = options;
    return S_OK;
}

HRESULT CPoomAppointment::put_BodyInk(const CEBLOB& ink)
{
    if (ink.dwCount && !ink.lpb)
        return E_FAIL;
    m_ink = std::vector<BYTE>(ink.lpb, ink.lpb + ink.dwCount);
    return S_OK;
}

HRESULT CPoomAppointment::get_Recipients(CPoomRecipients** recipients)
{
    if (!recipients)
        return E_FAIL;
    *recipients = &m_recipients;
    return S_OK;
}

HRESULT CPoomAppointment::GetRecurrencePattern(CRecurrencePattern** pattern)
{
    if (!pattern)
        return E_FAIL;
    if (!m_pattern)
        m_pattern = std::make_unique<CRecurrencePattern>(1u);
    *pattern = m_pattern.get();
    return S_OK;
}

HRESULT CPoomAppointment::ClearRecurrencePattern()
{
    m_pattern.reset();
    return S_OK;
}

HRESULT CPoomAppointment::get_SkippedDates(ZuSkippedDates* dates) const
{
    if (!dates)
        return E_FAIL;
    *dates = m_skipped;
    return S_OK;
}

HRESULT CPoomAppointment::put_ImportUid(const wchar_t* uid, const FILETIME* occurrence)
{
    m_importUid = std::wstring(uid ? uid : L"");
    m_importOccurrence.reset();
    if (occurrence)
        m_importOccurrence = *occurrence;
    return S_OK;
}

HRESULT CPoomAppointment::put_SkippedDates(const ZuSkippedDates& dates)
{
    m_skipped = ZuSkippedDatesFromBytes(ZuSkippedDatesToBytes(dates));
    return S_OK;
}

struct CPoomAppointment::Written {
    FILETIME local{};
    std::vector<BYTE> categories;
    std::vector<BYTE> pattern;
    std::vector<BYTE> skipped;
    std::vector<BYTE> attendees;
    std::deque<CCeDBProp> props;
    std::vector<CEPROPID> removed;  // the properties the record loses
};

bool CPoomAppointment::build(Written& out, HANDLE reminder) const
{
    FILETIME utc{};
    const COleDateTime start(m_start);
    if (!start.GetAsFileTime(out.local) || !LocalFileTimeToFileTime(&out.local, &utc))
        return false;
    out.categories = bitmapOfNames(m_categories);

    // The pattern takes the item's time of day and duration; one that cannot be written stops
    // the save before anything is written.
    const bool recurring = m_pattern && m_pattern->IsValid();
    if (recurring) {
        CRecurrencePattern copy(*m_pattern);
        SYSTEMTIME st{};
        start.GetAsSystemTime(st);
        copy.put_StartTime(st.wHour * 60 + st.wMinute);
        copy.put_Duration(m_duration);
        CEBLOB blob;
        if (!copy.GetRecurPattern(&blob))
            return false;
        out.pattern.assign(blob.lpb, blob.lpb + blob.dwCount);
        LocalFree(blob.lpb);
        // The skipped dates belong to the pattern: a new one keeps those it still has.
        ZuSkippedDates skipped = m_skipped;
        if (out.pattern != m_savedPattern)
            ZuKeepOccurrenceDates(copy, skipped);
        out.skipped = ZuSkippedDatesToBytes(std::move(skipped));
    }
    {
        CEBLOB blob;
        if (!m_recipients.ToBlob(blob))
            return false;
        if (blob.dwCount)
            out.attendees.assign(blob.lpb, blob.lpb + blob.dwCount);
        LocalFree(blob.lpb);
    }

    std::deque<CCeDBProp>& props = out.props;
    props.emplace_back(static_cast<const wchar_t*>(m_subject), ZUID_APT_SUBJECT);
    props.emplace_back(static_cast<const wchar_t*>(m_location), ZUID_APT_LOCATION);
    if (!out.categories.empty())
        props.emplace_back(ZuBlobOf(out.categories), ZUID_APT_CATEGORIES);
    else
        out.removed.push_back(ZUPID_APT_CATEGORIES);
    props.emplace_back(utc, ZUID_APT_START);
    props.emplace_back(LONG(m_duration), ZUID_APT_DURATION);
    props.emplace_back(LONG(m_allDay ? ZU_APT_ALLDAY : ZU_APT_TIMED), ZUID_APT_TYPE);
    props.emplace_back(short(m_busy), ZUID_APT_BUSYSTATUS);
    props.emplace_back(short(m_sensitivity == ZU_OL_PRIVATE ? 1 : 0), ZUID_APT_PRIVATE);
    props.emplace_back(LONG(m_reminderMinutes), ZUID_APT_REMINDER_MINUTES);
    props.emplace_back(short(m_reminderSet ? 1 : 0), ZUID_APT_REMINDER_SET);
    props.emplace_back(ZuHandleToLong(reminder), ZUID_APT_NOTIFY);
    if (m_ink)
        props.emplace_back(ZuBlobOf(*m_ink), ZUID_APT_NOTE);
    if (!out.attendees.empty())
        props.emplace_back(ZuBlobOf(out.attendees), ZUID_APT_ATTENDEES);
    else
        out.removed.push_back(ZUPID_APT_ATTENDEES);
    props.emplace_back(short(recurring ? 1 : 0), ZUID_APT_RECURRING);
    if (recurring)
        props.emplace_back(ZuBlobOf(out.pattern), ZUID_APT_RECURRENCE);
    else
        out.removed.push_back(ZUPID_APT_RECURRENCE);
    if (!out.skipped.empty())
        props.emplace_back(ZuBlobOf(out.skipped), ZUID_APT_SKIPPED_DATES);
    else
        out.removed.push_back(ZUPID_APT_SKIPPED_DATES);
    if (m_importUid) {
        props.emplace_back(m_importUid->c_str(), ZUID_APT_UID);
        if (m_importOccurrence)
            props.emplace_back(*m_importOccurrence, ZUID_APT_UID_OCCURRENCE);
        else
            out.removed.push_back(ZUPID_APT_UID_OCCURRENCE);
    }
    return true;
}

namespace {

std::vector<BYTE> trimmedBitmap(std::vector<BYTE> bitmap)
{
    while (!bitmap.empty() && bitmap.back() == 0)
        bitmap.pop_back();
    return bitmap;
}

// The attendees as names and addresses (their added times differ from one save to the next).
std::vector<std::pair<std::wstring, std::wstring>> attendeeList(const std::vector<BYTE>& bytes)
{
    std::vector<std::pair<std::wstring, std::wstring>> list;
    const CAttendees attendees(ZuBlobOf(bytes));
    for (int i = 0; i < attendees.GetSize(); ++i)
        list.emplace_back(attendees[i].strName.str(), attendees[i].strAddress.str());
    return list;
}

// A pattern's BLOB with an end by count written as an end by date: with the same count and the
// same last date (both are always written) the two say the same series.
std::vector<BYTE> endsAlike(std::vector<BYTE> blob)
{
    if (blob.size() < 8)
        return blob;
    const int kind = blob[6] | blob[7] << 8;
    const size_t c = (blob[4] == 0x0A && kind == 0) ? 0 : kind == 3 ? 8 : 4;
    const size_t at = 22 + c;
    if (blob.size() >= at + 2 && blob[at] == 0x22 && blob[at + 1] == 0x20)
        blob[at] = 0x21;
    return blob;
}

}  // namespace

bool CPoomAppointment::MatchesRecord() const
{
    Written w;
    CCeDBDatabase db;
    CCeDBRecord record;
    if (!m_oid || !build(w, ZuLongToHandle(m_savedNotification)) || !GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS)
        || !db.SeekToRecord(m_oid) || !db.ReadCurrRecord(&record))
        return false;
    for (CEPROPID id : w.removed)
        if (record.GetFullIdProp(id))
            return false;
    for (const CCeDBProp& prop : w.props) {
        const WORD ident = static_cast<WORD>(prop.GetPropId() >> 16);
        const CCeDBProp* stored = record.GetIdProp(ident);
        if (ident == ZUID_APT_NOTIFY)
            continue;
        if (!stored || stored->GetType() != prop.GetType())
            return false;
        if (ident == ZUID_APT_CATEGORIES) {
            if (trimmedBitmap(stored->rawBytes()) != trimmedBitmap(prop.rawBytes()))
                return false;
        } else if (ident == ZUID_APT_ATTENDEES) {
            if (attendeeList(stored->rawBytes()) != attendeeList(prop.rawBytes()))
                return false;
        } else if (ident == ZUID_APT_RECURRENCE) {
            if (endsAlike(stored->rawBytes()) != endsAlike(prop.rawBytes()))
                return false;
        } else if (stored->rawInt() != prop.rawInt() || stored->rawString() != prop.rawString()
            || stored->rawBytes() != prop.rawBytes()) {
            return false;
        }
    }
    return true;
}

HRESULT CPoomAppointment::Save()
{
    // The record, its reminder and the category counts change together or not at all.
    ZuStoreBatch batch;
    // The reminder rings the lead before the start; it is registered first so that its handle
    // goes into the record, and removed again when the write fails.
    HANDLE reminder = nullptr;
    Written w;
    if (!build(w, nullptr))
        return E_FAIL;
    if (m_reminderSet) {
        const ULONGLONG lead = static_cast<ULONGLONG>(std::max<long>(m_reminderMinutes, 0)) * ZU_TICKS_PER_MINUTE;
        const FILETIME ringLocal = ZuU64ToFileTime(ZuFileTimeToU64(w.local) > lead ? ZuFileTimeToU64(w.local) - lead : 0);
        SYSTEMTIME ring{}, begins{};
        FileTimeToSystemTime(&ringLocal, &ring);
        FileTimeToSystemTime(&w.local, &begins);
        std::wstring text = m_subject.str();
        reminder = AddUserNotification(nullptr, CNT_PERIOD, nullptr, nullptr, ring, begins, text.data());
        if (!reminder)
            return E_FAIL;
        for (CCeDBProp& prop : w.props)
            if (prop.GetPropId() >> 16 == ZUID_APT_NOTIFY)
                prop = CCeDBProp(ZuHandleToLong(reminder), ZUID_APT_NOTIFY);
    }

    std::vector<CEPROPVAL> values;
    for (CCeDBProp& prop : w.props)
        values.push_back(prop.AsPropVal());
    if (m_oid) {
        for (CEPROPID id : w.removed) {
            CEPROPVAL gone{};
            gone.propid = id;
            gone.wFlags = CEDB_PROPDELETE;
            values.push_back(gone);
        }
    }
    CCeDBDatabase db;
    const CEOID oid = GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS)
        ? db.WriteProps(m_oid, values.data(), static_cast<WORD>(values.size()))
        : 0;
    if (!oid) {
        if (reminder)
            DeleteUserNotification(reminder, nullptr);
        return E_FAIL;
    }
    // The record is written: the old reminder goes and the category counts follow.
    if (m_savedNotification && m_savedNotification != ZuHandleToLong(reminder))
        DeleteUserNotification(ZuLongToHandle(m_savedNotification), nullptr);
    changeRefs(w.categories, +1);
    changeRefs(m_savedCategories, -1);
    if (batch.ok() && !batch.Commit())
        return E_FAIL;
    m_oid = oid;
    m_savedCategories = w.categories;
    m_savedNotification = ZuHandleToLong(reminder);
    m_savedPattern = w.pattern;
    m_skipped = ZuSkippedDatesFromBytes(w.skipped);
    return S_OK;
}

HRESULT CPoomAppointment::Delete()
{
    if (!m_oid)
        return E_FAIL;
    CCeDBDatabase db;
    if (!GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS) || !DeleteRecord(&db, m_oid, ZU_SEL_APPOINTMENTS))
        return E_FAIL;
    m_oid = 0;
    m_savedCategories.clear();
    m_savedNotification = 0;
    return S_OK;
}
