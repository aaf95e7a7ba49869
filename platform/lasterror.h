// lasterror.h - the calling thread's last error, as the platform keeps it.
//
// Every call of this layer that fails sets a code (ERROR_*) and, where it helps a person, a
// detail text ("pim.db: file is not a database"). `ZuLastErrorText` gives both together.
#pragma once

#include "cstring.h"
#include "wintypes.h"

DWORD GetLastError();
void SetLastError(DWORD code);

// Sets the code together with a detail text for people.
void ZuSetLastError(DWORD code, const std::wstring& detail);
// The detail text of the last error, or the code's own text when no detail was given.
CString ZuLastErrorText();
// The system's text for a code ("The system cannot find the file specified.").
CString ZuErrorCodeText(DWORD code);
