// zuutils.h - the public header of the suite's utility functions: record layouts and store
// functions, date arithmetic, the Korean lunar calendar, reminders, names and text utilities.
#pragma once

#include "datetimeutil.h"
#include "lunar.h"
#include "notifyutil.h"
#include "pimstore.h"
#include "recordlayouts.h"
#include "stringtable.h"
#include "textutil.h"
