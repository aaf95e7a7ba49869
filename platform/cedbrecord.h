// cedbrecord.h - a database record in memory: its object id and its properties.
//
// Properties keep the order in which they were added or read. A pointer returned by
// `GetIdProp` stays valid while properties are only added; removing properties or reading
// another record into this object invalidates it.
#pragma once

#include "cedbprop.h"

#include <deque>

class CCeDBRecord {
public:
    CCeDBRecord() = default;

    // Copies of the given properties are appended.
    BOOL AddProp(const CCeDBProp* prop);
    BOOL AddProps(const CCeDBProp* props, WORD count);
    // Removes the first property with this identifier (any type); 0 when there is none.
    BOOL DeleteProp(WORD ident);
    // Removes the first property with this full property id; 0 when there is none.
    BOOL DeletePropById(CEPROPID id);
    void DeleteAllProps();

    // The first property with this identifier, whatever its type; null when absent.
    CCeDBProp* GetIdProp(WORD ident);
    const CCeDBProp* GetIdProp(WORD ident) const;
    // The first property with this full property id (identifier and type); null when absent.
    CCeDBProp* GetFullIdProp(CEPROPID id);
    const CCeDBProp* GetFullIdProp(CEPROPID id) const;
    CCeDBProp* GetIndexedProp(int index);
    WORD GetNumProps() const { return static_cast<WORD>(m_props.size()); }

    // The object id of the record this was read from or written to (0 for none).
    CEOID GetOid() const { return m_oid; }
    void SetOid(CEOID oid) { m_oid = oid; }

    // For the store: resizes in place so that reading many records reuses the storage.
    std::deque<CCeDBProp>& props() { return m_props; }
    const std::deque<CCeDBProp>& props() const { return m_props; }

private:
    CEOID m_oid = 0;
    std::deque<CCeDBProp> m_props;
};
