#include "lasterror.h"

namespace {
thread_local DWORD t_code = ERROR_SUCCESS;
thread_local std::wstring t_detail;
}

DWORD GetLastError()
{
    return t_code;
}

void SetLastError(DWORD code)
{
    t_code = code;
    t_detail.clear();
}

void ZuSetLastError(DWORD code, const std::wstring& detail)
{
    t_code = code;
    t_detail = detail;
}

CString ZuErrorCodeText(DWORD code)
{
    switch (code) {
    case ERROR_SUCCESS: return L"The operation completed successfully.";
    case ERROR_FILE_NOT_FOUND: return L"The system cannot find the file specified.";
    case ERROR_ACCESS_DENIED: return L"Access is denied.";
    case ERROR_INVALID_HANDLE: return L"The handle is invalid.";
    case ERROR_NOT_ENOUGH_MEMORY: return L"Not enough storage is available to process this command.";
    case ERROR_INVALID_DATA: return L"The data is invalid.";
    case ERROR_WRITE_FAULT: return L"The system cannot write to the specified device.";
    case ERROR_READ_FAULT: return L"The system cannot read from the specified device.";
    case ERROR_INVALID_PARAMETER: return L"The parameter is incorrect.";
    case ERROR_DISK_FULL: return L"There is not enough space on the disk.";
    case ERROR_INSUFFICIENT_BUFFER: return L"The data area passed to a system call is too small.";
    case ERROR_ALREADY_EXISTS: return L"Cannot create a file when that file already exists.";
    case ERROR_NO_MORE_ITEMS: return L"No more data is available.";
    case ERROR_KEY_DELETED: return L"Illegal operation attempted on a registry key that has been marked for deletion.";
    case ERROR_NOT_FOUND: return L"Element not found.";
    case ERROR_FILE_CORRUPT: return L"The file or directory is corrupted and unreadable.";
    case ERROR_TIMEOUT: return L"This operation returned because the timeout period expired.";
    default: break;
    }
    CString s;
    s.Format(L"Unknown error %u.", code);
    return s;
}

CString ZuLastErrorText()
{
    if (!t_detail.empty())
        return CString(t_detail);
    return ZuErrorCodeText(t_code);
}
