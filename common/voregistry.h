// voregistry.h - one open registry key with reading that fills in defaults.
//
// Reading a value that is missing (or not of the expected kind) writes the default given, so the
// registry ends up holding every setting the suite has asked for. A name that is null is refused
// (failure, or the default); "" names the key's default value. An object whose key could not be
// opened answers every call with failure or the default, never touching the registry.
#pragma once

#include "cstring.h"
#include "registry.h"
#include "wintypes.h"

class CVORegistry {
public:
    // ReadDWORD with this default returns it without writing it.
    static constexpr DWORD kUnstoredDefault = 57072;  // 0xDEF0

    // create non-zero: creates or opens the subkey (full access) and records the disposition;
    // zero: only opens it, and the handle stays null when that fails.
    CVORegistry(HKEY root, const wchar_t* subkey, int create);
    // Opens its own handle to the other's key and takes its path.
    CVORegistry(const CVORegistry& other);
    // Takes the other's disposition, index and path, and opens its own handle to the other's key.
    CVORegistry& operator=(const CVORegistry& other);
    ~CVORegistry();

    // Closes the key: 1, or 0 when none was open.
    int Close();

    operator HKEY() const { return m_hKey; }
    operator HKEY*() { return &m_hKey; }
    DWORD GetDisposition() const { return m_dwDisposition; }

    DWORD ReadDWORD(const wchar_t* name, DWORD def);
    int WriteDWORD(const wchar_t* name, DWORD value);
    // The text of a REG_SZ (or REG_EXPAND_SZ) value; otherwise def, written when not null, or "".
    CString ReadString(const wchar_t* name, const wchar_t* def);
    int WriteString(const wchar_t* name, const wchar_t* text);
    // Reads into buffer; *size is its size in, the value's size out (also when too small).
    int ReadBinary(const wchar_t* name, BYTE* buffer, DWORD* size);
    int WriteBinary(const wchar_t* name, BYTE* data, DWORD size);

    int DeleteValue(const wchar_t* name);
    int ValueExists(const wchar_t* name);
    int SubkeyExists(const wchar_t* name);
    // Deletes the subkey with every key and value below it; stops at the first failure.
    int DeleteSubkey(const wchar_t* name);

    // Enumeration by index (subkeys by name, values in the order they were set); 0 when there is
    // no entry at the index, and then the subkey name is emptied.
    int GetFirstSubkey(CString& name);
    int GetNextSubkey(CString& name);
    int GetSubkey(CString& name, int index);
    int GetFirstValue(CString& name);
    int GetNextValue(CString& name);

private:
    static constexpr DWORD kNameBuffer = 260;

    int enumSubkey(CString& name);
    int enumValue(CString& name);
    static int deleteTree(HKEY parent, const wchar_t* name);

    HKEY m_hKey = nullptr;
    DWORD m_dwDisposition = 0;
    int m_nIndex = 0;
    CString m_strKeyPath;
};
