// contactscreens.h - the contacts program's screens for the screenshots program.
#pragma once

#include "calendarscreens.h"

// The contacts frame on a book of thirty contacts in a data folder of its own: the full list
// ("contacts-list"), the multi-line rows ("contacts-multiline"), an initial-consonant search
// ("contacts-chosung"), the category menu ("contacts-category-menu") and the preferred-number
// menu ("contacts-number-menu").
void ZuShootContactScreens(const QString& folder, const ZuScreenSaver& save);
