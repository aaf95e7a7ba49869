// taskrecord.h - a task as a new record of "Tasks Database" holds it, and that record's
// property list: the task editor's, in its order, which the import writes as well.
//
// A complete task carries its completion date in place of its progress; the category bitmap and
// the recurrence pattern are written only when there is one, the recurring flag always. The
// reminder is written unset (the reminder properties as zeros, the editor's sound and options).
#pragma once

#include "cedbrecord.h"
#include "recordlayouts.h"

#include <string>
#include <vector>

struct ZuTask {
    std::wstring subject;         // as stored: the editors store "내용 없음" for an empty one
    FILETIME start = ZuNoDate();  // local wall clock, ZuNoDate() when none
    FILETIME due = ZuNoDate();
    LONG importance = 2;  // 1 high, 2 normal, 3 low
    short percent = 0;    // progress, written while not complete
    bool complete = false;
    FILETIME completed{};  // UTC, written when complete
    bool isPrivate = false;
    std::vector<BYTE> categories;  // category bitmap (pimstore.h), empty for none
    std::vector<BYTE> recurrence;  // a task recurrence pattern's bytes, empty when it does not recur
};

// The new record of a task. Whoever writes it adds the references of its category bitmap
// (AddCategoryRefByBlob with ZUID_CAT_TASK_COUNT) once the write succeeded.
CCeDBRecord ZuTaskRecord(const ZuTask& task);
