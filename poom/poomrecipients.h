// poomrecipients.h - the recipients (attendees) of an appointment item, as the object model
// hands them out: a collection with add, remove by position and count, each recipient with a
// name and an address. An item stores them as its attendee list (attendees.h).
#pragma once

#include "cstring.h"
#include "filetime.h"
#include "wintypes.h"

#include <memory>
#include <vector>

class CPoomRecipient {
public:
    HRESULT get_Name(CString* name) const;
    HRESULT get_Address(CString* address) const;
    HRESULT put_Address(const wchar_t* address);

private:
    friend class CPoomRecipients;
    CString m_name;
    CString m_address;
    FILETIME m_added{};
};

class CPoomRecipients {
public:
    HRESULT get_Count(long* count) const;
    // Positions count from 1, as in the object model.
    HRESULT Item(long index, CPoomRecipient** recipient);
    // Adds a recipient with the name (added now); the collection keeps ownership.
    HRESULT Add(const wchar_t* name, CPoomRecipient** recipient);
    HRESULT Remove(long index);

    // The attendee list BLOB of the recipients (caller frees with LocalFree), and the reverse.
    int ToBlob(CEBLOB& blob) const;
    void FromBlob(const CEBLOB& blob);

private:
    std::vector<std::unique_ptr<CPoomRecipient>> m_list;
};
