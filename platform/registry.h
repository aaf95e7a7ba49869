// registry.h - the handheld's registry, kept in `registry.db` in the data folder.
//
// Two trees, HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE, with the calls and results the suite's
// code expects from the handheld. How this registry behaves:
//
// - Paths: subkey paths separate names with backslashes and may end in one; an empty name inside
//   a path ("a\\\\b", "\\a") is refused. Names compare without regard to case but keep the case
//   they were created with, which enumeration reports. Key names are at most 255 characters,
//   value names at most 16383. A value name that is null or "" is the key's default value.
// - Strings: on this system wchar_t is 4 bytes, so REG_SZ, REG_EXPAND_SZ and REG_MULTI_SZ data
//   handed to RegSetValueEx and returned by RegQueryValueEx/RegEnumValue are wchar_t texts and
//   their byte counts count wchar_t (terminator included; a trailing partial character is dropped).
//   The file keeps them as UTF-16LE, as the handheld did; a stored text without a terminator is
//   returned with one added.
// - REG_DWORD data must be exactly 4 bytes (ERROR_INVALID_PARAMETER otherwise: `sizeof(long)` is
//   8 here, and such a write is a porting fault).
// - Enumeration order: RegEnumKeyEx lists subkeys by name, without regard to case; RegEnumValue
//   lists values in the order they were first set (setting a value again keeps its place).
// - Too-small buffers: ERROR_MORE_DATA, with the needed size put into the count: bytes for data,
//   characters without the terminator for names.
// - Access: a handle opened with access 0 (as the handheld's callers pass) has all access;
//   otherwise reading values needs KEY_QUERY_VALUE, writing and deleting values KEY_SET_VALUE,
//   creating subkeys KEY_CREATE_SUB_KEY and listing subkeys KEY_ENUMERATE_SUB_KEYS.
// - RegDeleteKey refuses a key that has subkeys (ERROR_ACCESS_DENIED) and removes its values.
//   Handles still open on a deleted key answer ERROR_KEY_DELETED (closing them succeeds).
// - Handles are numbers kept in a table, never pointers into memory: a null, closed or made-up
//   handle gives ERROR_INVALID_HANDLE. A handle belongs to the registry file it was opened in;
//   after the data folder changes ($ZUPIMS_HOME), it is no longer valid.
// - Every write is one SQLite transaction; the file is in WAL mode, so programs share it safely.
//   Calls are thread-safe. Failures return the code and also set the last error, with a detail
//   text when the file itself is at fault (unreadable, damaged, not a registry).
// - Not kept: classes, security, volatile keys (REG_OPTION_VOLATILE keys persist), last-write
//   times (reported as zero).
#pragma once

#include "wintypes.h"

#include <cstddef>
#include <cstdint>

struct ZuRegKey;  // never defined: a handle is a number, not an object
using HKEY = ZuRegKey*;
using PHKEY = HKEY*;
using REGSAM = DWORD;

#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u)))

constexpr DWORD ERROR_MORE_DATA = 234;

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_CREATE_LINK = 0x0020;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_EXECUTE = KEY_READ;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_OPTION_VOLATILE = 1;

constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;

LONG RegCreateKeyEx(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved, LPWSTR lpClass, DWORD dwOptions,
                    REGSAM samDesired, void* lpSecurityAttributes, HKEY* phkResult,
                    DWORD* lpdwDisposition);
LONG RegOpenKeyEx(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, HKEY* phkResult);
LONG RegCloseKey(HKEY hKey);

LONG RegQueryValueEx(HKEY hKey, LPCWSTR lpValueName, DWORD* lpReserved, DWORD* lpType, BYTE* lpData,
                     DWORD* lpcbData);
LONG RegSetValueEx(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                   DWORD cbData);
LONG RegDeleteValue(HKEY hKey, LPCWSTR lpValueName);
// lpSubKey "" deletes the handle's own key; the two trees themselves cannot be deleted.
LONG RegDeleteKey(HKEY hKey, LPCWSTR lpSubKey);

LONG RegEnumKeyEx(HKEY hKey, DWORD dwIndex, LPWSTR lpName, DWORD* lpcchName, DWORD* lpReserved,
                  LPWSTR lpClass, DWORD* lpcchClass, FILETIME* lpftLastWriteTime);
LONG RegEnumValue(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, DWORD* lpcchValueName,
                  DWORD* lpReserved, DWORD* lpType, BYTE* lpData, DWORD* lpcbData);

// How many handles this program holds open (the two trees not counted); for finding leaks.
std::size_t ZuRegOpenHandleCount();
