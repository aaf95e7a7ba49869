// fieldinfo.h - the description of one displayable field of a record.
//
// A label, the full 32-bit property id (identifier and value type; 0 for a group heading), a
// display flag, a read-only flag, and links to a parent and a child entry. The contacts program
// builds its field list from these. The name is the object's own copy; the parent and child are
// plain pointers to entries owned elsewhere, copied as pointers and never freed here.
#pragma once

#include "cstring.h"
#include "wintypes.h"

class CFieldInfo {
public:
    // Empty name, property id 0, both flags 0, no parent or child.
    CFieldInfo() = default;
    CFieldInfo(const wchar_t* name, DWORD propId, int display, int readOnly, CFieldInfo* parent, CFieldInfo* child);
    CFieldInfo(const CFieldInfo& other) = default;
    // Copies every field, taking its own copy of the name.
    CFieldInfo& operator=(const CFieldInfo& other) = default;
    // Frees the name and clears the flags and the property id.
    ~CFieldInfo();

    // Copies the name (null reads as "") and sets every field; returns 1.
    int SetFieldInfo(const wchar_t* name, DWORD propId, int display, int readOnly, CFieldInfo* parent,
        CFieldInfo* child);

    void SetName(const wchar_t* name) { m_strName = CString(name); }
    CString GetName() const { return m_strName; }
    void SetPropID(DWORD propId) { m_dwPropID = propId; }
    DWORD GetPropID() const { return m_dwPropID; }
    void SetDisplay(int display) { m_bDisplay = display; }
    int IsDisplay() const { return m_bDisplay; }
    void SetReadOnly(int readOnly) { m_bReadOnly = readOnly; }
    int IsReadOnly() const { return m_bReadOnly; }
    void SetParentInfo(CFieldInfo* parent) { m_pParent = parent; }
    CFieldInfo* GetParentInfo() const { return m_pParent; }
    void SetChildInfo(CFieldInfo* child) { m_pChild = child; }
    CFieldInfo* GetChildInfo() const { return m_pChild; }

private:
    CString m_strName;
    DWORD m_dwPropID = 0;          // identifier << 16 | value type; 0 for a group heading
    int m_bDisplay = 0;
    int m_bReadOnly = 0;
    CFieldInfo* m_pParent = nullptr;  // not owned
    CFieldInfo* m_pChild = nullptr;   // not owned
};
