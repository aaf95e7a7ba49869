// recordlayouts.h - the databases the suite reads and writes and the layout of their records.
//
// Every property is named twice: `ZUID_*` is its 16-bit identifier (what readers look up),
// `ZUPID_*` the full property id with its value type (what writers build). Readers take the
// first property with an identifier; the one exception is the task's completion flag, looked
// up by its full id because 0x410F also carries the completion date.
//
// Time values (FILETIME) are UTC, except where a lunar flag says the value holds a lunar date.
// A task without a date stores ZU_NO_DATE (4501-01-01 00:00); any value at or beyond it means
// "no date".
#pragma once

#include "cedbprop.h"

// ---- Databases --------------------------------------------------------------------------------

inline constexpr const wchar_t* ZU_DB_APPOINTMENTS = L"Appointments Database";
inline constexpr const wchar_t* ZU_DB_CONTACTS = L"Contacts Database";
inline constexpr const wchar_t* ZU_DB_TASKS = L"Tasks Database";
inline constexpr const wchar_t* ZU_DB_CATEGORIES = L"\\Categories Database";
inline constexpr const wchar_t* ZU_DB_ANNIVERSARIES = L"Anniversary Database";
inline constexpr const wchar_t* ZU_DB_CONTACT_LIST = L"ZUContacts Database";
inline constexpr const wchar_t* ZU_DB_CONTACT_SEARCH = L"ZUContacts Search Database";

// Database selectors (single bits, usable as flags).
constexpr int ZU_SEL_APPOINTMENTS = 1;
constexpr int ZU_SEL_CONTACTS = 2;
constexpr int ZU_SEL_TASKS = 4;
constexpr int ZU_SEL_CATEGORIES = 8;
constexpr int ZU_SEL_ANNIVERSARIES = 16;

// The name of a selector's database; null for any other code.
const wchar_t* ZuDatabaseName(int selector);

// "No date" of a task: 4501-01-01 00:00.
constexpr std::uint64_t ZU_NO_DATE = 0x0CB34557A3DD4000ull;
inline bool ZuIsNoDate(const FILETIME& ft)
{
    return ((static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) >= ZU_NO_DATE;
}
inline FILETIME ZuNoDate()
{
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(ZU_NO_DATE & 0xFFFFFFFFu);
    ft.dwHighDateTime = static_cast<DWORD>(ZU_NO_DATE >> 32);
    return ft;
}

// Type indexes of CCeDBProp::SetType, for properties built for writing.
constexpr WORD ZU_TYPE_SHORT = CCeDBProp::Type_Short;
constexpr WORD ZU_TYPE_USHORT = CCeDBProp::Type_UShort;
constexpr WORD ZU_TYPE_LONG = CCeDBProp::Type_Long;
constexpr WORD ZU_TYPE_ULONG = CCeDBProp::Type_ULong;
constexpr WORD ZU_TYPE_FILETIME = CCeDBProp::Type_Filetime;
constexpr WORD ZU_TYPE_STRING = CCeDBProp::Type_String;
constexpr WORD ZU_TYPE_BLOB = CCeDBProp::Type_Blob;

#define ZU_PROP(name, ident, type)                    \
    constexpr WORD ZUID_##name = ident;               \
    constexpr CEPROPID ZUPID_##name = MAKEPROPID(ident, type)

// ---- Appointment record ("Appointments Database") -------------------------------------------

ZU_PROP(APT_NOTIFY, 0x0002, CEVT_I4);        // user notification handle, unregistered on delete
ZU_PROP(APT_PRIVATE, 0x0004, CEVT_I2);       // 1 = private
ZU_PROP(APT_BUSYSTATUS, 0x000F, CEVT_I2);    // busy status (colour of the appointment box)
ZU_PROP(APT_CATEGORIES, 0x0016, CEVT_BLOB);  // category bitmap
ZU_PROP(APT_NOTE, 0x0017, CEVT_BLOB);        // handwritten note (the ink control's data)
ZU_PROP(APT_ATTENDEES, 0x0030, CEVT_BLOB);   // attendee list
ZU_PROP(APT_SUBJECT, 0x0037, CEVT_LPWSTR);
ZU_PROP(APT_LOCATION, 0x4208, CEVT_LPWSTR);  // shown after the subject as " (%s)"
ZU_PROP(APT_START, 0x420D, CEVT_FILETIME);   // UTC
ZU_PROP(APT_DURATION, 0x4213, CEVT_I4);      // minutes
ZU_PROP(APT_TYPE, 0x4215, CEVT_I4);          // 1 all-day, 2 timed
ZU_PROP(APT_REMINDER_MINUTES, 0x4501, CEVT_I4);
ZU_PROP(APT_REMINDER_SET, 0x4503, CEVT_I2);
ZU_PROP(APT_RECURRING, 0x4223, CEVT_I2);     // 1 = recurring
ZU_PROP(APT_RECURRENCE, 0x4015, CEVT_BLOB);  // recurrence pattern, meaningful when recurring
ZU_PROP(APT_MEMORIAL, 0x8000, CEVT_I2);      // 1 = memorial day, listed with anniversaries
ZU_PROP(APT_LUNAR, 0x8001, CEVT_I2);         // 1 = the start holds a lunar date

constexpr LONG ZU_APT_ALLDAY = 1;
constexpr LONG ZU_APT_TIMED = 2;

// ---- The suite's own properties beyond the layouts above --------------------------------------
//
// Identifiers 0x8800 to 0x88FF are the suite's own extensions of the platform's records; each is
// listed here with its record kinds and format. Readers that do not know one pass it by, and a
// record without it reads as it always did.
//
//   0x8801 BLOB    appointment: the skipped dates of a recurring appointment (format below);
//                  meaningful when 0x4223 is 1
//   0x8802 LPWSTR  appointment, task: the UID of the iCalendar component the record was
//                  imported from (as the file spells it); absent on records made in the suite,
//                  whose export UID is "zupims-a<oid>-<store id>" / "zupims-t<oid>-<store id>"
//   0x8803 FILETIME appointment: with 0x8802, the local start of the one occurrence of that UID
//                  the record stands for (a RECURRENCE-ID, or one occurrence of a series that was
//                  expanded); absent on the record of a whole series or a single event
//
// Skipped dates (0x8801): occurrence dates of the recurrence pattern (0x4015) that do not happen.
// Each is the date of the occurrence as the pattern walks it (local wall clock, at 00:00; for a
// lunar appointment the lunar date, held as the pattern holds it). All integers little-endian.
//
//   offset   size  field
//   0        2     format version, 1 (a reader ignores a list of any other version)
//   2        2     reserved, 0
//   4        4     n, the number of dates
//   8        4 * n the dates, minutes since 1601-01-01 00:00, ascending, each once
//   The BLOB is 8 + 4 * n bytes; one of another length, or whose dates do not ascend, is
//   ignored whole (the pattern then skips nothing). A list without dates is not stored.
//
//   Worked example: a daily series that does not happen on 2026-03-10 (minute 223,626,240 =
//   0x0D544400) and 2026-03-17 (223,636,320 = 0x0D546B60), 16 bytes:
//     00: 01 00 00 00 02 00 00 00  00 44 54 0D 60 6B 54 0D
//
// The skipped dates belong to the pattern: a save that changes the pattern keeps only those
// still occurrences of the new one, other saves keep them all, and a record copied through the
// calendar's clipboard carries them along.
ZU_PROP(APT_SKIPPED_DATES, 0x8801, CEVT_BLOB);
ZU_PROP(APT_UID, 0x8802, CEVT_LPWSTR);
ZU_PROP(APT_UID_OCCURRENCE, 0x8803, CEVT_FILETIME);
ZU_PROP(TASK_UID, 0x8802, CEVT_LPWSTR);

constexpr WORD ZU_SKIPPED_DATES_VERSION = 1;

// ---- Task record ("Tasks Database") ---------------------------------------------------------

ZU_PROP(TASK_NOTIFY, 0x0002, CEVT_I4);         // reminder's notification handle, 0 when none
ZU_PROP(TASK_REMINDER_FLAG, 0x0003, CEVT_I2);  // same value as 0x4503
ZU_PROP(TASK_PRIVATE, 0x0004, CEVT_I2);
ZU_PROP(TASK_RESERVED, 0x0005, CEVT_I2);       // always written as 0
ZU_PROP(TASK_CATEGORIES, 0x0016, CEVT_BLOB);
ZU_PROP(TASK_NOTE, 0x0017, CEVT_BLOB);
ZU_PROP(TASK_IMPORTANCE, 0x0026, CEVT_I4);     // 1 to 3
ZU_PROP(TASK_SUBJECT, 0x0037, CEVT_LPWSTR);    // an empty subject is saved as "내용 없음"
ZU_PROP(TASK_START, 0x4104, CEVT_FILETIME);    // no-date value when none
ZU_PROP(TASK_DUE, 0x4105, CEVT_FILETIME);      // no-date value when none
ZU_PROP(TASK_COMPLETE, 0x410F, CEVT_I2);       // 1 = complete (look up by full id)
ZU_PROP(TASK_COMPLETED_DATE, 0x410F, CEVT_FILETIME);  // when it became complete (UTC)
ZU_PROP(TASK_RECURRENCE, 0x4116, CEVT_BLOB);
ZU_PROP(TASK_RECURRING, 0x4126, CEVT_I2);
ZU_PROP(TASK_REMINDER_MINUTES, 0x4501, CEVT_I4);
ZU_PROP(TASK_REMINDER_SET, 0x4503, CEVT_I2);
ZU_PROP(TASK_REMINDER_SOUND, 0x4509, CEVT_LPWSTR);    // always "Alarm1.wav"
ZU_PROP(TASK_REMINDER_OPTIONS, 0x450A, CEVT_I4);      // always 13
ZU_PROP(TASK_PROGRESS, 0x8100, CEVT_I2);              // percent, written while not complete

inline constexpr const wchar_t* ZU_TASK_REMINDER_SOUND = L"Alarm1.wav";
constexpr LONG ZU_TASK_REMINDER_OPTIONS = 13;

// A new task record is built from its values by ZuTaskRecord (taskrecord.h).

// ---- Contact record ("Contacts Database") ---------------------------------------------------

ZU_PROP(CON_CATEGORIES, 0x0016, CEVT_BLOB);
ZU_PROP(CON_NOTE, 0x0017, CEVT_BLOB);
ZU_PROP(CON_PREFERRED_NUMBER, 0x0050, CEVT_I4);  // full property id of the number to list
ZU_PROP(CON_SUFFIX, 0x3A05, CEVT_LPWSTR);         // "부가설명"
ZU_PROP(CON_FIRST_NAME, 0x3A06, CEVT_LPWSTR);     // "이름"
ZU_PROP(CON_WORK_TEL, 0x3A08, CEVT_LPWSTR);       // "회사전화"
ZU_PROP(CON_HOME_TEL, 0x3A09, CEVT_LPWSTR);       // "집전화"
ZU_PROP(CON_LAST_NAME, 0x3A11, CEVT_LPWSTR);      // "성"
ZU_PROP(CON_COMPANY, 0x3A16, CEVT_LPWSTR);        // "회사"
ZU_PROP(CON_JOB_TITLE, 0x3A17, CEVT_LPWSTR);      // "직함"
ZU_PROP(CON_DEPARTMENT, 0x3A18, CEVT_LPWSTR);     // "부서"
ZU_PROP(CON_OFFICE, 0x3A19, CEVT_LPWSTR);         // "사무실위치"
ZU_PROP(CON_MOBILE_TEL, 0x3A1C, CEVT_LPWSTR);     // "핸드폰"
ZU_PROP(CON_RADIO_TEL, 0x3A1D, CEVT_LPWSTR);      // "라디오전화"
ZU_PROP(CON_CAR_TEL, 0x3A1E, CEVT_LPWSTR);        // "차량전화"
ZU_PROP(CON_WORK_FAX, 0x3A24, CEVT_LPWSTR);       // "회사팩스"
ZU_PROP(CON_HOME_FAX, 0x3A25, CEVT_LPWSTR);       // "집팩스"
ZU_PROP(CON_HOME_TEL2, 0x3A2F, CEVT_LPWSTR);
ZU_PROP(CON_BIRTHDAY, 0x4001, CEVT_FILETIME);     // "생일"
ZU_PROP(CON_ASSISTANT, 0x4002, CEVT_LPWSTR);      // "비서"
ZU_PROP(CON_ANNIVERSARY, 0x4003, CEVT_FILETIME);  // "기념일"
ZU_PROP(CON_ASSISTANT_TEL, 0x4004, CEVT_LPWSTR);  // "비서전화"
ZU_PROP(CON_CHILDREN, 0x4006, CEVT_LPWSTR);       // "자녀"
ZU_PROP(CON_WORK_TEL2, 0x4007, CEVT_LPWSTR);      // "회사전화2"
ZU_PROP(CON_WEB_PAGE, 0x4008, CEVT_LPWSTR);       // "웹페이지"
ZU_PROP(CON_PAGER, 0x4009, CEVT_LPWSTR);          // "호출기"
ZU_PROP(CON_SPOUSE, 0x400A, CEVT_LPWSTR);         // "배우자"
ZU_PROP(CON_FILE_AS, 0x4013, CEVT_LPWSTR);        // display name in lists and birthday lines
ZU_PROP(CON_TITLE, 0x4023, CEVT_LPWSTR);          // "제목"
ZU_PROP(CON_MIDDLE_NAME, 0x4024, CEVT_LPWSTR);    // "중간이름"
ZU_PROP(CON_HOME_STREET, 0x4040, CEVT_LPWSTR);    // home address: "주소"
ZU_PROP(CON_HOME_CITY, 0x4041, CEVT_LPWSTR);      // "구/군/시"
ZU_PROP(CON_HOME_STATE, 0x4042, CEVT_LPWSTR);     // "시/도"
ZU_PROP(CON_HOME_POSTAL, 0x4043, CEVT_LPWSTR);    // "우편번호"
ZU_PROP(CON_HOME_COUNTRY, 0x4044, CEVT_LPWSTR);   // "국적"
ZU_PROP(CON_WORK_STREET, 0x4045, CEVT_LPWSTR);    // business address
ZU_PROP(CON_WORK_CITY, 0x4046, CEVT_LPWSTR);
ZU_PROP(CON_WORK_STATE, 0x4047, CEVT_LPWSTR);
ZU_PROP(CON_WORK_POSTAL, 0x4048, CEVT_LPWSTR);
ZU_PROP(CON_WORK_COUNTRY, 0x4049, CEVT_LPWSTR);
ZU_PROP(CON_OTHER_STREET, 0x404A, CEVT_LPWSTR);   // other address
ZU_PROP(CON_OTHER_CITY, 0x404B, CEVT_LPWSTR);
ZU_PROP(CON_OTHER_STATE, 0x404C, CEVT_LPWSTR);
ZU_PROP(CON_OTHER_POSTAL, 0x404D, CEVT_LPWSTR);
ZU_PROP(CON_OTHER_COUNTRY, 0x404E, CEVT_LPWSTR);
ZU_PROP(CON_EMAIL, 0x4083, CEVT_LPWSTR);          // "이메일"
ZU_PROP(CON_EMAIL2, 0x4093, CEVT_LPWSTR);         // "이메일2"
ZU_PROP(CON_EMAIL3, 0x40AE, CEVT_LPWSTR);         // "이메일3"
ZU_PROP(CON_PICTURE, 0x8200, CEVT_LPWSTR);        // "사진": path of the picture
ZU_PROP(CON_BIRTHDAY_LUNAR, 0x8201, CEVT_I2);     // 1 = the birthday is a lunar date
ZU_PROP(CON_ANNIVERSARY_LUNAR, 0x8202, CEVT_I2);  // 1 = the anniversary is a lunar date

// The contacts program's list databases: each record points to a contact by object id.
ZU_PROP(LIST_CONTACT_OID, 0x9001, CEVT_UI4);

// ---- Category record ("\Categories Database") -------------------------------------------------

ZU_PROP(CAT_NAME, 0x4001, CEVT_LPWSTR);
ZU_PROP(CAT_INDEX, 0x4002, CEVT_I2);          // bit number in every category bitmap; unique
ZU_PROP(CAT_IN_USE, 0x4003, CEVT_I2);         // 1 = shown in the lists
ZU_PROP(CAT_CONTACT_COUNT, 0x4004, CEVT_I2);  // contacts that carry the category
ZU_PROP(CAT_APT_COUNT, 0x4005, CEVT_I2);      // appointments that carry it
ZU_PROP(CAT_TASK_COUNT, 0x4006, CEVT_I2);     // tasks that carry it

// The counter identifier of a record kind (selector 1, 2 or 4); 0 for any other selector.
WORD ZuCategoryCounter(int selector);

// ---- Anniversary record ("Anniversary Database") ---------------------------------------------

ZU_PROP(ANN_NAME, 0x5001, CEVT_LPWSTR);
ZU_PROP(ANN_YEAR, 0x5002, CEVT_I2);      // 0 = every year
ZU_PROP(ANN_MONTH, 0x5003, CEVT_I2);     // 1 to 12
ZU_PROP(ANN_DAY, 0x5004, CEVT_I2);
ZU_PROP(ANN_LUNAR, 0x5005, CEVT_I2);     // 1 = month and day are lunar
ZU_PROP(ANN_RESERVED, 0x5006, CEVT_I2);  // written as 0
ZU_PROP(ANN_KIND, 0x5007, CEVT_I2);      // kind of day (1, 2 or 3 in the seeded records)

#undef ZU_PROP

// One fixed yearly day of the anniversary database.
struct ZuHoliday {
    const wchar_t* name;
    short year;   // 0 = every year
    short month;
    short day;
    short lunar;  // 1 = month and day are lunar
    short kind;
};

// The twelve days a new "Anniversary Database" is seeded with, in seeding order.
inline constexpr ZuHoliday ZU_SEED_HOLIDAYS[12] = {
    {L"신정", 0, 1, 1, 0, 2},
    {L"삼일절", 0, 3, 1, 0, 1},
    {L"식목일", 0, 4, 5, 0, 2},
    {L"어린이날", 0, 5, 5, 0, 2},
    {L"현충일", 0, 6, 6, 0, 2},
    {L"제헌절", 0, 7, 17, 0, 1},
    {L"광복절", 0, 8, 15, 0, 1},
    {L"개천절", 0, 10, 3, 0, 1},
    {L"크리스마스", 0, 12, 25, 0, 1},
    {L"설날", 0, 1, 1, 1, 3},
    {L"석가탄신일", 0, 4, 8, 1, 3},
    {L"추석", 0, 8, 15, 1, 3},
};
