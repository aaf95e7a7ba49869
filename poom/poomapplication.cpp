#include "poomapplication.h"

#include "cedbdatabase.h"
#include "pimstore.h"
#include "recordlayouts.h"

HRESULT CPoomApplication::Logon(DWORD)
{
    CCeDBDatabase db;
    if (!GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS))
        return E_FAIL;
    m_loggedOn = true;
    return S_OK;
}

HRESULT CPoomApplication::Logoff()
{
    if (!m_loggedOn)
        return E_FAIL;
    m_loggedOn = false;
    return S_OK;
}

HRESULT CPoomApplication::GetItemFromOid(CEOID oid, std::unique_ptr<CPoomAppointment>* item)
{
    if (!m_loggedOn || !item)
        return E_FAIL;
    std::unique_ptr<CPoomAppointment> loaded(new CPoomAppointment);
    if (!loaded->load(oid))
        return E_FAIL;
    *item = std::move(loaded);
    return S_OK;
}

HRESULT CPoomApplication::CreateItem(long kind, std::unique_ptr<CPoomAppointment>* item)
{
    if (!m_loggedOn || !item || kind != ZU_OL_APPOINTMENT_ITEM)
        return E_FAIL;
    item->reset(new CPoomAppointment);
    return S_OK;
}
