// poomapplication.h - the stand-in for the handheld's object model (its application object):
// log on, get an appointment item by object id, create a new one.
//
// The suite saves appointments through it (the event editor, the importer) and it writes the
// appointment records the calendar reads (poomappointment.h). Everything runs on the caller's
// thread; nothing throws.
#pragma once

#include "poomappointment.h"

#include <memory>

// Item kinds of CreateItem.
constexpr long ZU_OL_APPOINTMENT_ITEM = 1;

class CPoomApplication {
public:
    // Logging on opens nothing lasting; it fails only when the store cannot be opened.
    HRESULT Logon(DWORD window);
    HRESULT Logoff();
    // The appointment with that object id (E_FAIL when there is none, or before Logon).
    HRESULT GetItemFromOid(CEOID oid, std::unique_ptr<CPoomAppointment>* item);
    // A new, unsaved item of the kind (only appointments).
    HRESULT CreateItem(long kind, std::unique_ptr<CPoomAppointment>* item);

private:
    bool m_loggedOn = false;
};
