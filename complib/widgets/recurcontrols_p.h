// recurcontrols_p.h - what the recurrence wizard's pages share: dates between the pattern's
// FILETIMEs and the pickers' QDates, the decimal value of a typed number, the lists and the
// description line.
#pragma once

#include "cstring.h"
#include "wintypes.h"

#include <QDate>
#include <QRect>
#include <QString>
#include <QStringList>

#include <span>

class CZUComboBox;
class CRecurrencePattern;
class QLabel;
class QRadioButton;
class QWidget;

namespace zurecur {

// The date at 00:00 as a wall-clock FILETIME; {} for an invalid date.
FILETIME FileTimeOfDate(QDate date);
// The date part of a wall-clock FILETIME; invalid when it does not convert.
QDate DateOfFileTime(const FILETIME& ft);
// The pattern's start date, or today (suite clock) when the pattern has none.
QDate PatternStartDate(const CRecurrencePattern& pattern);

// The value of a number typed as decimal digits (spaces around allowed), 0 for anything else
// and for values above the pattern's range of a long.
long DecimalValue(const QString& text);

// A drop-down list of the given texts at the place; editable lists take typed text too.
CZUComboBox* MakeList(QWidget* parent, UINT id, const QRect& at, std::span<const wchar_t* const> items, bool editable);
// The same for texts made at run time.
CZUComboBox* MakeList(QWidget* parent, UINT id, const QRect& at, const QStringList& items, bool editable);
// Shows a number in an editable list: the first entry whose text begins with its decimal text,
// else the number typed into the edit field.
void ShowNumber(CZUComboBox* list, long value);
// A label, a radio button and the blue bold description line of a page.
QLabel* MakeLabel(QWidget* parent, const wchar_t* text, const QRect& at);
QRadioButton* MakeRadio(QWidget* parent, UINT id, const wchar_t* text, const QRect& at);
QLabel* MakeDescription(QWidget* parent, const QRect& at);

// "from" to "to" as texts, each through the format when one is given ("%d일").
QStringList NumberTexts(int from, int to, const wchar_t* format = nullptr);
// count texts of the string table from the id first on.
QStringList TableTexts(UINT first, int count);
// Texts of the string table (the library's own table first).
CString LoadText(UINT id);
// The weekday (0 Sunday) of a date.
int WeekdayOf(QDate date);
// The number of the highest set bit of a day-of-week mask (0 Sunday), 0 when none is set.
int HighestDay(long mask);

} // namespace zurecur
