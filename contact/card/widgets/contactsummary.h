// contactsummary.h - the editor's main page ("메인"): entries 1-15 of the contact's fields.
//
// The page owns the editor's data record: SetContact(id) loads an existing contact into it before
// the sheet runs; without it the record starts empty (a new contact). The other pages are given
// GetContactData().
#pragma once

#include "contactdata.h"
#include "contactfieldpage.h"

class CContactSummary : public CContactFieldPage {
    Q_OBJECT
public:
    CContactSummary();
    // Loads the contact; FALSE (and an empty record) when it cannot be read.
    BOOL SetContact(CEOID id);
    CEOID GetContactId() const { return m_id; }
    CContactData* GetContactData() { return &m_record; }

private:
    CEOID m_id = 0;
    CContactData m_record;
};
