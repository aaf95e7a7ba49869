// calendarframe.h - what the calendar document asks of its main frame.
//
// The document decides; the frame shows. The calendar program's frame implements this; the tests
// and `zupim agenda` use frames of their own. Every call happens on the user-interface thread.
#pragma once

#include "categorymenu.h"
#include "cstring.h"
#include "wintypes.h"

#include <vector>

class QObject;
class QScrollBar;

class ICalendarFrame {
public:
    virtual ~ICalendarFrame() = default;

    // The view that shows (type, style): in list style the list view for every type; null when
    // that view does not exist (yet).
    virtual QObject* ViewFor(int type, int style) = 0;
    // The view the frame shows now (loads are requested for it).
    virtual QObject* ActiveView() = 0;
    virtual void SwitchView(int type, int style) = 0;

    // The navigation bar: caption text and colour beside the date control showing `date`.
    virtual void SetCaption(const CString& text, COLORREF color, const SYSTEMTIME& date) = 0;
    virtual void SetWindowTitle(const CString& title) = 0;
    virtual void CloseDateDropDown() = 0;
    // The category button's text; the frame shortens it with "..." to 100 pixels of its font.
    virtual void SetCategoryButtonText(const CString& text) = 0;
    virtual void SetViewTypeButtons(int type) = 0;
    virtual void SetStyleButton(int style) = 0;
    virtual void SetContentButtons(DWORD contents) = 0;
    // The left scroll bar (id 1013) of the list style; hidden in graphic style.
    virtual void HideLeftScrollBar() = 0;
    virtual void SetListBigFont(bool big) = 0;
    virtual void InvalidateListView() = 0;

    // Shows the category menu under the category button; the chosen id, or 0 when dismissed.
    virtual UINT ShowCategoryMenu(const std::vector<CategoryMenuItem>& items) = 0;
    // The "다중선택..." sheet preset with the chosen category indexes; true on OK with the new choice.
    virtual bool RunCategorySheet(std::vector<int>& indexes) = 0;
    // The record editor for a new appointment (kind 1) or task (kind 4), preset with the local
    // date and time and the anniversary flag; it saves the record itself.
    virtual void RunRecordEditor(int kind, const SYSTEMTIME& date, bool anniversary) = 0;
    // The options dialog ("환경설정") over the active view.
    virtual void ShowOptions() = 0;
    // The main window's handle, handed to the contacts program on its command line.
    virtual DWORD MainWindowHandle() = 0;

    // The record card (view board) of an appointment (selector 1) or a task (selector 4), modal;
    // `start` is the local start of the occurrence the user chose (a recurring record shows that
    // occurrence's dates; a task without a start has the no-date value).
    virtual void OpenRecordCard(int selector, DWORD oid, const FILETIME& start)
    {
        (void)selector;
        (void)oid;
        (void)start;
    }
    // The two-line notification label (subject, time text) in the colour; a call while it shows
    // hides it instead.
    virtual void ShowNotification(const CString& subject, const CString& timeText, COLORREF color)
    {
        (void)subject;
        (void)timeText;
        (void)color;
    }
    virtual void HideNotification() {}
    // The frame's left scroll bar (id 1013) that the list view drives when the left-scroll option
    // is on; null in frames without one.
    virtual QScrollBar* LeftScrollBar() { return nullptr; }
};
