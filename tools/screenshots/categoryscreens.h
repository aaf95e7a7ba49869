// categoryscreens.h - the category pages for the screenshots program.
#pragma once

#include "calendarscreens.h"

// "category-sheet": the list page with a hidden category shown, two rows checked and one chosen;
// "category-editor": the page that adds and deletes. Fills the data folder (ZUPIMS_HOME).
void ZuShootCategoryScreens(const QString& folder, const ZuScreenSaver& save);
