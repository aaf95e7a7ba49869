// programstart.h - starting the suite's other program, and where that program is on this system.
#pragma once

#include "cstring.h"
#include "wintypes.h"

constexpr DWORD ERROR_BAD_EXE_FORMAT = 193;

// Starts the program at `path` on its own (not a child this program waits for; it keeps this
// program's environment, working folder and standard streams). A non-empty `commandLine` is
// handed to it whole as its one argument, as the handheld hands over a command line. FALSE with
// the last error when it cannot be started: ERROR_FILE_NOT_FOUND (no such file),
// ERROR_ACCESS_DENIED (a folder, or not executable), ERROR_BAD_EXE_FORMAT (not a program).
BOOL ZuStartProgram(const wchar_t* path, const wchar_t* commandLine);

// Maps a program path as the suite builds it on the handheld, "InstallDir" + "\ZuContact.exe",
// to this system: backslashes become slashes and the ".exe" ending (any case) is dropped. When
// that names an executable file inside a folder, that file is the program; otherwise (InstallDir
// empty, or no such program in it) the program of that name beside the running program
// (QCoreApplication::applicationDirPath) is used.
CString ZuMapProgramPath(const wchar_t* handheldPath);
