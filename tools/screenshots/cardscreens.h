// cardscreens.h - the contact card and the contact editor for the screenshots program.
#pragma once

#include "calendarscreens.h"

// The card of a contact with a picture and a lunar birthday ("contacts-card"), the editor's main
// page and detail page ("contacts-editor", "contacts-editor-detail") and the picture page
// ("contacts-picture").
void ZuShootCardScreens(const QString& folder, const ZuScreenSaver& save);
