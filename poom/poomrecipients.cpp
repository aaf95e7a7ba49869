#include "poomrecipients.h"

#include "attendees.h"

HRESULT CPoomRecipient::get_Name(CString* name) const
{
    if (!name)
        return E_FAIL;
    *name = m_name;
    return S_OK;
}

HRESULT CPoomRecipient::get_Address(CString* address) const
{
    if (!address)
        return E_FAIL;
    *address = m_address;
    return S_OK;
}

HRESULT CPoomRecipient::put_Address(const wchar_t* address)
{
    m_address = CString(address ? address : L"");
    return S_OK;
}

HRESULT CPoomRecipients::get_Count(long* count) const
{
    if (!count)
        return E_FAIL;
    *count = static_cast<long>(m_list.size());
    return S_OK;
}

HRESULT CPoomRecipients::Item(long index, CPoomRecipient** recipient)
{
    if (!recipient || index < 1 || index > static_cast<long>(m_list.size()))
        return E_FAIL;
    *recipient = m_list[static_cast<size_t>(index - 1)].get();
    return S_OK;
}

HRESULT CPoomRecipients::Add(const wchar_t* name, CPoomRecipient** recipient)
{
    auto added = std::make_unique<CPoomRecipient>();
    added->m_name = CString(name ? name : L"");
    SYSTEMTIME now{};
    GetLocalTime(&now);
    SystemTimeToFileTime(&now, &added->m_added);
    if (recipient)
        *recipient = added.get();
    m_list.push_back(std::move(added));
    return S_OK;
}

HRESULT CPoomRecipients::Remove(long index)
{
    if (index < 1 || index > static_cast<long>(m_list.size()))
        return E_FAIL;
    m_list.erase(m_list.begin() + (index - 1));
    return S_OK;
}

int CPoomRecipients::ToBlob(CEBLOB& blob) const
{
    CAttendees attendees;
    for (const auto& r : m_list)
        attendees.Add(r->m_name, r->m_address, r->m_added);
    return attendees.GetBLOB(blob);
}

void CPoomRecipients::FromBlob(const CEBLOB& blob)
{
    m_list.clear();
    const CAttendees attendees(blob);
    for (int i = 0; i < attendees.GetSize(); ++i) {
        const _ATTENDEE a = attendees[i];
        auto r = std::make_unique<CPoomRecipient>();
        r->m_name = a.strName;
        r->m_address = a.strAddress;
        r->m_added = a.ftAdded;
        m_list.push_back(std::move(r));
    }
}
