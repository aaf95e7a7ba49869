// stringtable.h - the suite's shared string table, keyed by resource id.
//
// Every library of the suite uses the same ids for the Korean instance, weekday, month and
// recurrence texts (65009 to 65081); this table carries them once, together with the calendar's
// caption formats (65082 to 65086, 65101). The ids have names in resource.h. A library whose own
// resources give an id another text asks for its module's table: ZuCompLib's 65082 is the task
// page's message.
#pragma once

#include "cstring.h"
#include "resource.h"
#include "zumodule.h"
#include "wintypes.h"

#include <span>

// The text of the id in the shared table, empty for an id the table does not have.
CString ZuLoadString(UINT id);
// The text of the id in the module's own table: ZuCompLib's differs from the shared one in
// 65082; the calendar's adds its day popup's texts (65098 to 65100); every other module uses the
// shared table.
CString ZuLoadString(UINT id, ZuModule module);

// Every id of the shared table, ascending.
std::span<const UINT> ZuStringIds();
