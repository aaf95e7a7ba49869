// installcommand.h - `zupim install [FOLDER]`: records where the suite's programs are, so that the
// calendar can start the contacts program and the contacts program the calendar.
#pragma once

#include <cstdio>

// Writes FOLDER (or, when folder is null, the folder of the running program) as "InstallDir" under
// HKEY_CURRENT_USER "Software\Tandemoor\Pims". The folder must exist; it is stored as an absolute
// path. Prints "InstallDir = FOLDER" on `out`; returns 0, or 1 with a line on `err`.
int runInstallCommand(const char* folder, FILE* out, FILE* err);
