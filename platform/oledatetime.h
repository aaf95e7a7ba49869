// oledatetime.h - the framework's date type COleDateTime and its span COleDateTimeSpan.
//
// A COleDateTime holds a DATE (m_dt): days since 1899-12-30 00:00, the fraction being the time of
// day. Before 1899-12-30 the integer part counts days back while the fraction still counts the
// time forward from midnight: -1.25 is 1899-12-29 06:00 (not 18:00), and -0.25 is the same
// instant as 0.25. A status (m_status) says whether the value is valid, invalid (an impossible
// date, a result out of range) or null (no value); a default-constructed date is valid and is
// 1899-12-30 00:00.
//
// Range: 100-01-01 00:00:00 to 9999-12-31 23:59:59. Anything that would leave it (an impossible
// date, arithmetic overflow, a DATE out of range, NaN) gives the invalid status.
//
// Precision:
//   - values keep milliseconds: from SYSTEMTIME (wMilliseconds), from FILETIME (ticks below a
//     millisecond are dropped, as FileTimeToSystemTime drops them), and in arithmetic, which works
//     on whole milliseconds (a span is rounded to the nearest millisecond when added);
//   - GetYear .. GetSecond, GetDayOfWeek, GetDayOfYear and Format round to the nearest second
//     first, so 23:59:59.600 breaks down as 00:00:00 of the next day;
//   - GetAsSystemTime and GetAsFileTime keep the milliseconds (rounded to the nearest one);
//   - comparisons compare the instants to the millisecond.
//
// No time-zone conversion happens anywhere in this type: a SYSTEMTIME or FILETIME is read and
// written as the same wall-clock value it holds. Convert with FileTimeToLocalFileTime /
// LocalFileTimeToFileTime (filetime.h) where the zone matters.
//
// Status rules of the operators: if either operand is null the result is null, else if either is
// invalid the result is invalid. Getters of a date that is not valid return
// AFX_OLE_DATETIME_ERROR (-1); getters of a span that is not valid return 0. Ordering comparisons
// (<, >, <=, >=) are false unless both sides are valid; == holds when the statuses are equal and,
// for valid values, the instants are equal.
#pragma once

#include "cstring.h"
#include "wintypes.h"

using DATE = double;

constexpr int AFX_OLE_DATETIME_ERROR = -1;

class COleDateTimeSpan {
public:
    enum DateTimeSpanStatus { valid = 0, invalid = 1, null = 2 };

    // The largest span either way, in days: the width of COleDateTime's range.
    static constexpr double kMaxDays = 3615900.0;

    COleDateTimeSpan() = default;
    COleDateTimeSpan(double days);
    COleDateTimeSpan(long days, int hours, int minutes, int seconds);

    // Sets the span to days + hours + minutes + seconds (each may be negative or exceed its unit);
    // returns 0 when valid, else the invalid status (non-zero).
    int SetDateTimeSpan(long days, int hours, int minutes, int seconds);

    DateTimeSpanStatus GetStatus() const { return m_status; }
    void SetStatus(DateTimeSpanStatus status) { m_status = status; }

    // The parts of the span rounded to the nearest second; a negative span has negative parts
    // (-1.5 days: GetDays -1, GetHours -12).
    long GetDays() const;
    long GetHours() const;
    long GetMinutes() const;
    long GetSeconds() const;
    // The whole span in one unit, rounded to the nearest second and then cut to whole units
    // toward zero (36 hours: GetTotalDays 1, GetTotalHours 36). m_span holds the exact fraction.
    double GetTotalDays() const;
    double GetTotalHours() const;
    double GetTotalMinutes() const;
    double GetTotalSeconds() const;

    COleDateTimeSpan operator+(const COleDateTimeSpan& other) const;
    COleDateTimeSpan operator-(const COleDateTimeSpan& other) const;
    COleDateTimeSpan operator*(double factor) const;
    COleDateTimeSpan operator/(double divisor) const;  // by zero: invalid
    COleDateTimeSpan operator-() const;
    COleDateTimeSpan& operator+=(const COleDateTimeSpan& other) { return *this = *this + other; }
    COleDateTimeSpan& operator-=(const COleDateTimeSpan& other) { return *this = *this - other; }
    COleDateTimeSpan& operator*=(double factor) { return *this = *this * factor; }
    COleDateTimeSpan& operator/=(double divisor) { return *this = *this / divisor; }

    bool operator==(const COleDateTimeSpan& other) const;
    bool operator!=(const COleDateTimeSpan& other) const { return !(*this == other); }
    bool operator<(const COleDateTimeSpan& other) const;
    bool operator>(const COleDateTimeSpan& other) const { return other < *this; }
    bool operator<=(const COleDateTimeSpan& other) const;
    bool operator>=(const COleDateTimeSpan& other) const { return other <= *this; }

    double m_span = 0.0;  // days
    DateTimeSpanStatus m_status = valid;
};

class COleDateTime {
public:
    enum DateTimeStatus { valid = 0, invalid = 1, null = 2 };

    // 1899-12-30 00:00, valid.
    COleDateTime() = default;
    // A DATE as it is; invalid when out of range or not a number.
    COleDateTime(DATE dt);
    COleDateTime(int year, int month, int day, int hour, int minute, int second);
    // The SYSTEMTIME's fields as they are, milliseconds included (wDayOfWeek ignored); no time-zone
    // conversion.
    COleDateTime(const SYSTEMTIME& st);
    // The FILETIME's wall-clock value as it is, to the millisecond; no time-zone conversion (a UTC
    // FILETIME gives a UTC date). Invalid at or above 0x8000000000000000 or past the year 9999.
    COleDateTime(const FILETIME& ft);

    COleDateTime& operator=(DATE dt);
    COleDateTime& operator=(const SYSTEMTIME& st);  // as the SYSTEMTIME constructor
    COleDateTime& operator=(const FILETIME& ft);    // as the FILETIME constructor

    // The local time now, from the suite's clock (ZuSetClock), to the millisecond.
    static COleDateTime GetCurrentTime();

    // Each returns 0 and makes the value valid, or returns the invalid status (non-zero) and makes
    // the value invalid when a field is out of range (month 13, 30 February, hour 24, year 10000).
    int SetDateTime(int year, int month, int day, int hour, int minute, int second);
    int SetDate(int year, int month, int day);                     // time 00:00:00
    int SetTime(int hour, int minute, int second);                 // date 1899-12-30 (DATE < 1)

    DateTimeStatus GetStatus() const { return m_status; }
    void SetStatus(DateTimeStatus status) { m_status = status; }

    // Fields after rounding to the nearest second; AFX_OLE_DATETIME_ERROR when not valid.
    int GetYear() const;
    int GetMonth() const;      // 1..12
    int GetDay() const;        // 1..31
    int GetHour() const;       // 0..23
    int GetMinute() const;     // 0..59
    int GetSecond() const;     // 0..59
    int GetDayOfWeek() const;  // 1 = Sunday .. 7 = Saturday
    int GetDayOfYear() const;  // 1..366

    // The wall-clock value to the millisecond, with wDayOfWeek (Sunday = 0); no time-zone
    // conversion. False (output untouched) when not valid.
    bool GetAsSystemTime(SYSTEMTIME& st) const;
    // The wall-clock value as a FILETIME to the millisecond; no time-zone conversion. False
    // (output untouched) when not valid or before 1601.
    bool GetAsFileTime(FILETIME& ft) const;

    // strftime-style: %Y year, %y two-digit year, %m month, %d day, %H hour, %I hour 1..12,
    // %M minute, %S second, %p AM/PM, %j day of year, %B/%b month name full/short, %A/%a weekday
    // name full/short (English names, whatever the locale), %% a percent sign; a '#' after '%'
    // drops leading zeros (%#d). Other characters, and unknown conversions, are copied as they are.
    // A null date formats as "", an invalid one as "Invalid DateTime".
    CString Format(const wchar_t* format) const;
    // "%Y-%m-%d %H:%M:%S", e.g. "2021-03-14 02:30:00".
    CString Format() const;

    COleDateTime operator+(const COleDateTimeSpan& span) const;
    COleDateTime operator-(const COleDateTimeSpan& span) const;
    COleDateTimeSpan operator-(const COleDateTime& other) const;
    COleDateTime& operator+=(const COleDateTimeSpan& span) { return *this = *this + span; }
    COleDateTime& operator-=(const COleDateTimeSpan& span) { return *this = *this - span; }

    bool operator==(const COleDateTime& other) const;
    bool operator!=(const COleDateTime& other) const { return !(*this == other); }
    bool operator<(const COleDateTime& other) const;
    bool operator>(const COleDateTime& other) const { return other < *this; }
    bool operator<=(const COleDateTime& other) const;
    bool operator>=(const COleDateTime& other) const { return other <= *this; }

    DATE m_dt = 0.0;
    DateTimeStatus m_status = valid;
};
