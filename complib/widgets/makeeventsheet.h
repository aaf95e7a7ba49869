// makeeventsheet.h - the tabbed editor of one appointment, task or contact (the shell).
//
// The caller makes the pages and the sheet, sets the event type, adds the pages in tab order and
// runs the sheet; only IDOK leads to a save, and the pages keep what they stored after the sheet
// has gone.
//
// | event type | edits                   | tabs | tab icons (complib bitmap) |
// |------------|-------------------------|------|----------------------------|
// | 0, 1       | appointment             | 5    | 140                        |
// | 2          | task                    | 4    | 138                        |
// | 3, other   | contact                 | 6    | 188                        |
//
// The bar (GetCommandBarPtr): OK (bitmap 171, command 45000), cancel (156, command 2), a hidden
// gap 45001 and the hidden button 45002 (bitmap 142) that the note page shows to open its tool
// bar. The tabs show their icons; the active page puts its name on its tab.
// OK applies the pages that have a window, in page order, and ends with IDOK. Cancel, Esc and
// command 2 end with IDCANCEL.
#pragma once

#include "widgets/cecommandbarex.h"
#include "widgets/entabctrl.h"
#include "widgets/propertysheet.h"
#include "widgets/zuimagelist.h"

class CAptmSummary;
class CTaskSummary;

class CMakeEventSheet : public CPropertySheet {
    Q_OBJECT
public:
    enum MEVType { Appointment = 0, AppointmentToo = 1, Task = 2, Contact = 3 };

    // The caption is complib's string `captionId`.
    CMakeEventSheet(UINT captionId, QWidget* parent = nullptr, UINT selectPage = 0);
    explicit CMakeEventSheet(const CString& caption, QWidget* parent = nullptr, UINT selectPage = 0);

    // What the sheet edits; set it before the sheet runs (0 after construction).
    void SetEventType(int type) { m_eventType = type; }
    int GetEventType() const { return m_eventType; }
    // The bar and the tab strip while the sheet runs, else null.
    CCeCommandBarEx* GetCommandBarPtr() const { return m_bar; }
    CEnTabCtrl* GetTabCtrl() const { return m_tabs; }

    // The tab icon bitmap and the number of tabs of an event type.
    static UINT TabBitmap(int type);
    static int TabCount(int type);

    // The appointment's save (makeeventsheet_aptm.cpp): writes the summary page's values with the
    // blobs through the object model and then the anniversary marks, all in one store batch;
    // `oid` 0 makes a new appointment and receives its id. 1 when stored (also when nothing had
    // changed), 0 when not: the user has been told, nothing is written.
    int SaveAptmEvent(CEOID& oid, CAptmSummary& summary, _CEBLOB& note, _CEBLOB& category, _CEBLOB& attendee);
    // The anniversary mark 0x8000 and the lunar mark 0x8001 of the appointment; 1 when written
    // (or already so), else 0.
    int SetMemorialDay(CEOID oid, int anniversary, int lunar);
    // The appointment sheet's one check across pages: an all-day appointment or an anniversary
    // takes no attendees. TRUE when the sheet may close.
    BOOL CheckAptmPages();
    // The task's save (makeeventsheet_task.cpp): writes the summary page's values with the note
    // and category blobs straight into "Tasks Database", with its reminder and the category
    // counts, all in one store batch; completing an occurrence of a recurring task splits it off
    // as a completed copy and moves the series on. `oid` 0 makes a new task; after a save it
    // names the task (the series). 1 when stored, 0 when not: the user has been told, nothing is
    // written.
    int SaveTaskEvent(CEOID& oid, CTaskSummary& summary, _CEBLOB& note, _CEBLOB& category);

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code) override;
    virtual void OnButtonOk();

private:
    int m_eventType = 0;
    QPointer<CCeCommandBarEx> m_bar;
    CZuImageList m_barImages;
    QPointer<CEnTabCtrl> m_tabs;
};
