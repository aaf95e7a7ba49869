// zucalendarapp.h - the calendar program's start-up.
//
// InitInstance, in order: reads "InstallDir" (under Software\Tandemoor\Pims; empty when
// missing); reads the general options and, when protection is on, asks for the password
// (ShowCheckDlg) - a refusal answers FALSE before any window exists or is registered; puts the
// input panel down; then makes the document and the main frame with its list view, runs their
// first update and shows the window. The program ends when it answers FALSE.
#pragma once

#include "cstring.h"
#include "wintypes.h"

#include <memory>

class CMainFrame;
class CZuCalendarDoc;

class CZuCalendarApp {
public:
    CZuCalendarApp();
    ~CZuCalendarApp();

    BOOL InitInstance();

    const CString& InstallDir() const { return m_installDir; }
    CMainFrame* MainFrame() const { return m_frame.get(); }
    CZuCalendarDoc* Document() const { return m_doc.get(); }

private:
    CString m_installDir;
    std::unique_ptr<CZuCalendarDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;  // goes before the document
};
