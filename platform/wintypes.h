// wintypes.h - the handheld platform's basic types, as the suite's code expects them.
//
// Sizes follow the original platform (WORD 16 bits, DWORD and LONG 32 bits), not the host's
// `long`. Strings in this layer are wide strings (`wchar_t`); they are stored as UTF-16.
#pragma once

#include <cstddef>
#include <cstdint>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using USHORT = std::uint16_t;
using DWORD = std::uint32_t;
using ULONG = std::uint32_t;
using UINT = std::uint32_t;
using LONG = std::int32_t;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using WCHAR = wchar_t;
using LPWSTR = wchar_t*;
using LPCWSTR = const wchar_t*;
using LPBYTE = BYTE*;
using LPDWORD = DWORD*;
using HANDLE = void*;
using HRESULT = std::int32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using COLORREF = DWORD;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);

// 100-nanosecond ticks since 1601-01-01 00:00, split into two 32-bit halves.
struct FILETIME {
    DWORD dwLowDateTime = 0;
    DWORD dwHighDateTime = 0;
};
using LPFILETIME = FILETIME*;

// Calendar fields; wDayOfWeek counts Sunday = 0 to Saturday = 6.
struct SYSTEMTIME {
    WORD wYear = 0;
    WORD wMonth = 0;  // 1 to 12
    WORD wDayOfWeek = 0;
    WORD wDay = 0;  // 1 to 31
    WORD wHour = 0;
    WORD wMinute = 0;
    WORD wSecond = 0;
    WORD wMilliseconds = 0;
};
using LPSYSTEMTIME = SYSTEMTIME*;

// Object identifier of a database record (0 means none).
using CEOID = DWORD;
// Property id: identifier in the high 16 bits, value type in the low 16 bits.
using CEPROPID = DWORD;

// Byte count and bytes of a variable-length value.
typedef struct _CEBLOB {
    DWORD dwCount = 0;
    LPBYTE lpb = nullptr;
} CEBLOB;

constexpr WORD LOWORD(DWORD v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(DWORD v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr DWORD MAKELONG(WORD lo, WORD hi) { return static_cast<DWORD>(lo) | (static_cast<DWORD>(hi) << 16); }

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b)
{
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>((c >> 16) & 0xFF); }

// Window messages that keep their numbers across programs.
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_USER = 0x0400;
// Messages a control sends its parent within a program (as ZuMessageEvent, windowmessage.h).
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_COMMAND = 0x0111;

// Last-error codes this layer reports.
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_WRITE_FAULT = 29;
constexpr DWORD ERROR_READ_FAULT = 30;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_DISK_FULL = 112;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_NO_MORE_ITEMS = 259;
constexpr DWORD ERROR_KEY_DELETED = 1018;
constexpr DWORD ERROR_INVALID_DATA = 13;
constexpr DWORD ERROR_FILE_CORRUPT = 1392;
constexpr DWORD ERROR_NOT_FOUND = 1168;
constexpr DWORD ERROR_TIMEOUT = 1460;
