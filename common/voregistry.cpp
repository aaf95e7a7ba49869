#include "voregistry.h"

#include <cwchar>
#include <vector>

CVORegistry::CVORegistry(HKEY root, const wchar_t* subkey, int create)
{
    if (create) {
        if (RegCreateKeyEx(root, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &m_hKey,
                           &m_dwDisposition) != ERROR_SUCCESS) {
            m_hKey = nullptr;
            m_dwDisposition = 0;
        }
    } else if (RegOpenKeyEx(root, subkey, 0, KEY_ALL_ACCESS, &m_hKey) != ERROR_SUCCESS) {
        m_hKey = nullptr;
    }
}

CVORegistry::CVORegistry(const CVORegistry& other) : m_strKeyPath(other.m_strKeyPath)
{
    if (other.m_hKey && RegOpenKeyEx(other.m_hKey, nullptr, 0, KEY_ALL_ACCESS, &m_hKey) != ERROR_SUCCESS)
        m_hKey = nullptr;
}

CVORegistry& CVORegistry::operator=(const CVORegistry& other)
{
    if (this == &other)
        return *this;
    m_dwDisposition = other.m_dwDisposition;
    m_nIndex = other.m_nIndex;
    m_strKeyPath = other.m_strKeyPath;
    Close();
    if (other.m_hKey && RegOpenKeyEx(other.m_hKey, nullptr, 0, KEY_ALL_ACCESS, &m_hKey) != ERROR_SUCCESS)
        m_hKey = nullptr;
    return *this;
}

CVORegistry::~CVORegistry()
{
    Close();
}

int CVORegistry::Close()
{
    if (!m_hKey)
        return 0;
    RegCloseKey(m_hKey);
    m_hKey = nullptr;
    return 1;
}

DWORD CVORegistry::ReadDWORD(const wchar_t* name, DWORD def)
{
    if (!m_hKey || !name)
        return def;
    DWORD type = REG_NONE;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueEx(m_hKey, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS
        && type == REG_DWORD && size == sizeof(value))
        return value;
    if (def != kUnstoredDefault)
        WriteDWORD(name, def);
    return def;
}

int CVORegistry::WriteDWORD(const wchar_t* name, DWORD value)
{
    if (!m_hKey || !name)
        return 0;
    return RegSetValueEx(m_hKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value))
        == ERROR_SUCCESS;
}

CString CVORegistry::ReadString(const wchar_t* name, const wchar_t* def)
{
    if (!name)
        return CString();
    if (m_hKey) {
        // Asks for the size, then reads; tries again should another program grow it in between.
        for (int attempt = 0; attempt < 3; ++attempt) {
            DWORD type = REG_NONE;
            DWORD size = 0;
            if (RegQueryValueEx(m_hKey, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS
                || (type != REG_SZ && type != REG_EXPAND_SZ))
                break;
            std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
            DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
            const LONG rc = RegQueryValueEx(m_hKey, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes);
            if (rc == ERROR_MORE_DATA)
                continue;
            if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
                break;
            buffer.back() = L'\0';
            return CString(buffer.data());
        }
        if (def)
            WriteString(name, def);
    }
    return CString(def);
}

int CVORegistry::WriteString(const wchar_t* name, const wchar_t* text)
{
    if (!m_hKey || !name || !text)
        return 0;
    const DWORD bytes = static_cast<DWORD>((std::wcslen(text) + 1) * sizeof(wchar_t));
    return RegSetValueEx(m_hKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes) == ERROR_SUCCESS;
}

int CVORegistry::ReadBinary(const wchar_t* name, BYTE* buffer, DWORD* size)
{
    if (!m_hKey || !name || !buffer || !size)
        return 0;
    return RegQueryValueEx(m_hKey, name, nullptr, nullptr, buffer, size) == ERROR_SUCCESS;
}

int CVORegistry::WriteBinary(const wchar_t* name, BYTE* data, DWORD size)
{
    if (!m_hKey || !name || (!data && size))
        return 0;
    return RegSetValueEx(m_hKey, name, 0, REG_BINARY, data, size) == ERROR_SUCCESS;
}

int CVORegistry::DeleteValue(const wchar_t* name)
{
    if (!m_hKey || !name)
        return 0;
    return RegDeleteValue(m_hKey, name) == ERROR_SUCCESS;
}

int CVORegistry::ValueExists(const wchar_t* name)
{
    if (!m_hKey || !name)
        return 0;
    DWORD size = 0;
    return RegQueryValueEx(m_hKey, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
}

int CVORegistry::SubkeyExists(const wchar_t* name)
{
    if (!m_hKey || !name)
        return 0;
    HKEY key = nullptr;
    if (RegOpenKeyEx(m_hKey, name, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    RegCloseKey(key);
    return 1;
}

int CVORegistry::deleteTree(HKEY parent, const wchar_t* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyEx(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return 0;
    for (;;) {
        wchar_t child[kNameBuffer];
        DWORD length = kNameBuffer;
        if (RegEnumKeyEx(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;  // none left (or unreadable: then the delete below refuses)
        if (!deleteTree(key, child)) {
            RegCloseKey(key);
            return 0;
        }
    }
    RegCloseKey(key);
    return RegDeleteKey(parent, name) == ERROR_SUCCESS;
}

int CVORegistry::DeleteSubkey(const wchar_t* name)
{
    if (!m_hKey || !name)
        return 0;
    return deleteTree(m_hKey, name);
}

int CVORegistry::enumSubkey(CString& name)
{
    wchar_t buffer[kNameBuffer];
    DWORD length = kNameBuffer;
    if (!m_hKey || m_nIndex < 0
        || RegEnumKeyEx(m_hKey, static_cast<DWORD>(m_nIndex), buffer, &length, nullptr, nullptr, nullptr, nullptr)
            != ERROR_SUCCESS) {
        name.Empty();
        return 0;
    }
    name = CString(buffer, static_cast<int>(length));
    return 1;
}

int CVORegistry::enumValue(CString& name)
{
    wchar_t buffer[kNameBuffer];
    DWORD length = kNameBuffer;
    if (!m_hKey || m_nIndex < 0
        || RegEnumValue(m_hKey, static_cast<DWORD>(m_nIndex), buffer, &length, nullptr, nullptr, nullptr, nullptr)
            != ERROR_SUCCESS)
        return 0;
    name = CString(buffer, static_cast<int>(length));
    return 1;
}

int CVORegistry::GetFirstSubkey(CString& name)
{
    m_nIndex = 0;
    return enumSubkey(name);
}

int CVORegistry::GetNextSubkey(CString& name)
{
    ++m_nIndex;
    return enumSubkey(name);
}

int CVORegistry::GetSubkey(CString& name, int index)
{
    m_nIndex = index;
    return enumSubkey(name);
}

int CVORegistry::GetFirstValue(CString& name)
{
    m_nIndex = 0;
    return enumValue(name);
}

int CVORegistry::GetNextValue(CString& name)
{
    ++m_nIndex;
    return enumValue(name);
}
