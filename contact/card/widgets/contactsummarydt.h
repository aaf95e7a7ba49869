// contactsummarydt.h - the editor's detail page ("상세입력"): entries 16-48 of the contact's
// fields (the addresses as their groups and parts, the other numbers, the dates, the family).
#pragma once

#include "contactfieldpage.h"

class CContactSummaryDT : public CContactFieldPage {
    Q_OBJECT
public:
    CContactSummaryDT();
};
