// frameplaceholders.h - what the calendar's frame opens where the real dialog is still to come:
// the record card.
//
// Each shows what would open in a message box (so tests answer them as any question) and writes
// nothing.
#pragma once

#include "wintypes.h"


class QWidget;
struct CalendarItem;

// The record's subject and times, read only; item is null when the record is not in the list.
void ZuShowRecordCardPlaceholder(QWidget* parent, int selector, const CalendarItem* item);
