#include "cedbrecord.h"

BOOL CCeDBRecord::AddProp(const CCeDBProp* prop)
{
    if (!prop)
        return FALSE;
    m_props.push_back(*prop);
    return TRUE;
}

BOOL CCeDBRecord::AddProps(const CCeDBProp* props, WORD count)
{
    if (!props && count)
        return FALSE;
    for (WORD i = 0; i < count; ++i)
        m_props.push_back(props[i]);
    return TRUE;
}

BOOL CCeDBRecord::DeleteProp(WORD ident)
{
    for (auto it = m_props.begin(); it != m_props.end(); ++it) {
        if (it->GetIdent() == ident) {
            m_props.erase(it);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CCeDBRecord::DeletePropById(CEPROPID id)
{
    for (auto it = m_props.begin(); it != m_props.end(); ++it) {
        if (it->GetPropId() == id) {
            m_props.erase(it);
            return TRUE;
        }
    }
    return FALSE;
}

void CCeDBRecord::DeleteAllProps()
{
    m_props.clear();
}

CCeDBProp* CCeDBRecord::GetIdProp(WORD ident)
{
    for (auto& p : m_props)
        if (p.GetIdent() == ident)
            return &p;
    return nullptr;
}

const CCeDBProp* CCeDBRecord::GetIdProp(WORD ident) const
{
    return const_cast<CCeDBRecord*>(this)->GetIdProp(ident);
}

CCeDBProp* CCeDBRecord::GetFullIdProp(CEPROPID id)
{
    for (auto& p : m_props)
        if (p.GetPropId() == id)
            return &p;
    return nullptr;
}

const CCeDBProp* CCeDBRecord::GetFullIdProp(CEPROPID id) const
{
    return const_cast<CCeDBRecord*>(this)->GetFullIdProp(id);
}

CCeDBProp* CCeDBRecord::GetIndexedProp(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= m_props.size())
        return nullptr;
    return &m_props[static_cast<size_t>(index)];
}
