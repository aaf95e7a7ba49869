// notescreens.h - the note page for the screenshots program.
#pragma once

#include "calendarscreens.h"

// The note page with handwriting, typed Korean text and a syllable being composed, its bar
// below: "note-page".
void ZuShootNoteScreens(const QString& folder, const ZuScreenSaver& save);
