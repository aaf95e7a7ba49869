// fieldinfo.cpp - the description of one displayable record field.
#include "fieldinfo.h"

CFieldInfo::CFieldInfo(const wchar_t* name, DWORD propId, int display, int readOnly, CFieldInfo* parent,
    CFieldInfo* child)
{
    SetFieldInfo(name, propId, display, readOnly, parent, child);
}

CFieldInfo::~CFieldInfo()
{
    m_strName.Empty();
    m_dwPropID = 0;
    m_bDisplay = 0;
    m_bReadOnly = 0;
}

int CFieldInfo::SetFieldInfo(const wchar_t* name, DWORD propId, int display, int readOnly, CFieldInfo* parent,
    CFieldInfo* child)
{
    m_strName = CString(name);
    m_dwPropID = propId;
    m_bDisplay = display;
    m_bReadOnly = readOnly;
    m_pParent = parent;
    m_pChild = child;
    return 1;
}
