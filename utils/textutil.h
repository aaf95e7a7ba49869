// textutil.h - names, date and time texts, ellipsis, gradient, input panel and diagnostics.
//
// Stateless helpers shared by the suite's windows. The Korean names come from the string table
// of this library (stringtable.h). Drawing takes a QPainter where the handheld took a device
// context; colours are COLORREF values (wintypes.h RGB).
#pragma once

#include "cstring.h"
#include "wintypes.h"

#include <QRect>

#include <memory>

class QPainter;

// Week instance names "첫째" ... "여섯째" for n = 1 to 6 and "마지막" for n = 0; empty otherwise.
// caseFlag 0 converts the result to upper case (Korean text is unchanged by it); any other
// value returns the text as stored. The same rule holds for the next two functions.
CString GetInstanceString(long n, int caseFlag);
// Instance names of the object model: "첫번째" ... "네번째", "마지막" for n = 1 to 5; empty otherwise.
CString GetPoomInstanceString(long n, int caseFlag);
// The weekday names of the bits set in mask (bit 0 Sunday ... bit 6 Saturday) in that order,
// "A, B 그리고 C". Bits above bit 6 are ignored; a mask without any of bits 0 to 6 gives "".
CString GetPoomDayOfWeekString(long mask, int caseFlag);
// "1월" ... "12월" for month 1 to 12; any other month gives "".
CString GetMonthOfYearString(long month);
// Today's full weekday name (local date, platform clock) in the user's locale.
CString GetLocaleDayOfWeek();

// "yyyy-MM-dd"; empty for a date that does not exist.
CString FormatDate(SYSTEMTIME st);
// The time in the system locale's short time format with the seconds left out ("HH:mm" in the
// C locale, "AP h:mm" in Korean); empty for a time that does not exist.
CString FormatTime(SYSTEMTIME st);
// FormatTime for many times in a row (a calendar load formats thousands): the locale's format is
// read once, when the formatter is made, and each minute of the day is formatted at most once.
class ZuTimeFormatter {
public:
    ZuTimeFormatter();
    ~ZuTimeFormatter();
    ZuTimeFormatter(const ZuTimeFormatter&) = delete;
    ZuTimeFormatter& operator=(const ZuTimeFormatter&) = delete;
    // What FormatTime(st) gives under the locale of the formatter's making.
    const CString& operator()(const SYSTEMTIME& st) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
// "%u년 %u월 %u일 %s %d:%d": year, month, day, one-syllable weekday ("일" ... "토"), hour and
// minute, not zero-padded ("2004년 3월 5일 금 9:5"). The weekday comes from st.wDayOfWeek; a
// value above 6 leaves the name empty.
CString GetDateString(SYSTEMTIME st);
// The text, or its longest prefix followed by "..." that fits the width of rect, measured with
// the painter's current font (the application font when painter is null).
CString GetEllipsisText(QPainter* painter, const wchar_t* text, QRect rect);

// Fills rect with min(steps, width) vertical strips running from the start to the end colour.
void DrawGradientFill(QPainter* painter, const QRect* rect, COLORREF start, COLORREF end, int steps);

// Shows / hides the soft input panel (sets / clears its on flag).
void PPC_KeypadUp();
void PPC_KeypadDown();

// 1 on a Pocket PC 2002 handheld; this system is not one, so always 0.
int IsPocketPC2002();
// Registers the handheld's object-model server; no such library exists on this system: E_FAIL.
HRESULT RegisterPOOM();

// Shows the last error of the calling thread in a box titled "ERROR":
// "Error Module : <module>\r\nError Code : (0x<code>) <text>\r\n\r\n".
void DisplayLastError(CString module);

// Formats (handheld printf dialect: %s takes a wide string) into at most 260 characters and
// writes the line to standard error when tracing is on (ZUPIMS_TRACE=1 or ZuSetTrace(true)).
void _TRACE(const wchar_t* format, ...);
// Switches tracing on or off, overriding the environment.
void ZuSetTrace(bool on);
