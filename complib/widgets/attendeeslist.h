// attendeeslist.h - the page "참석자" of the appointment editor: every e-mail address of every
// contact with a check box, giving the appointment's attendee list (attendees.h).
//
// The page (template 179) lists one row per address (0x4083, 0x4093, 0x40AE, named by the
// contact's 0x4013) in an owner-drawn list (1018, columns "Name" 90 px and "Email" 130 px). A
// row is checked when the appointment lists exactly that name and address; attendees that no
// contact carries (an imported meeting, a renamed or deleted contact) follow as checked rows of
// their own, so that only unchecking removes them. A click toggles a row.
//
// OnApply takes the checked rows as the list; a page that was never shown keeps the list that
// SetEventData loaded.
#pragma once

#include "attendees.h"
#include "cstring.h"
#include "wintypes.h"
#include "widgets/propertypage.h"
#include "widgets/propertysheet.h"

#include <memory>
#include <vector>

class CListViewEx;
class QPainter;

class CAttendeesList : public CPropertyPage {
    Q_OBJECT
public:
    static constexpr UINT kTemplateId = 179;
    static constexpr UINT kListId = 1018;

    CAttendeesList();
    ~CAttendeesList() override;

    // Loads the appointment's attendees (0x0030); 0 for a new appointment.
    void SetEventData(DWORD oid);
    // The list as an attendee BLOB (LocalAlloc; the caller frees it); an empty or absent list
    // gives {0, null}. 0 for a null pointer, else 1 (or GetBLOB's result).
    int GetAttendees(_CEBLOB* blob);
    int GetNumOfAttendees() const;
    // Appends a row, checked when the list holds exactly this name and address.
    int InsertItem(int position, const CString& name, const CString& address);

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    BOOL OnApply() override;

    // The rows as shown.
    int GetRowCount() const { return static_cast<int>(m_rows.size()); }
    CString GetRowName(int row) const;
    CString GetRowAddress(int row) const;
    bool IsRowChecked(int row) const;
    CListViewEx* GetListControl() const { return m_list; }

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    friend class ZuAttendeeListCtrl;
    struct AttendeeRow {
        BOOL bChecked = FALSE;
        CString strName;
        CString strAddress;
    };
    void InitAttendeesList();
    void SaveAttendees();
    void OnClickListAttendees(int row);
    void DrawItem(QPainter& p, int row, const QRect& rect, bool selected);

    CListViewEx* m_list = nullptr;
    DWORD m_oid = 0;
    std::unique_ptr<CAttendees> m_attendees;
    std::vector<AttendeeRow> m_rows;
    BOOL m_notInitialised = TRUE;
};
