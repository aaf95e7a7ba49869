// frameplaceholders.h - what the calendar's frame opens where the real dialog is still to come:
// the record editor and the record card.
//
// Each shows what would open in a message box (so tests answer them as any question) and writes
// nothing.
#pragma once

#include "wintypes.h"


class QWidget;
struct CalendarItem;

// "새 일정" / "새 기념일" / "새 할일" with the preset date and time (kind 1 or 4; a date with year 0
// means none: the editor would take today at 12:00).
void ZuShowEditorPlaceholder(QWidget* parent, int kind, const SYSTEMTIME& date, bool anniversary);
// The record's subject and times, read only; item is null when the record is not in the list.
void ZuShowRecordCardPlaceholder(QWidget* parent, int selector, const CalendarItem* item);
