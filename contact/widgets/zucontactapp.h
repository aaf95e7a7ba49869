// zucontactapp.h - the contacts program's start-up.
//
// InitInstance, in order: reads "InstallDir" (under Software\Tandemoor\Pims); reads the general
// options and, when protection is on, asks for the password (ShowCheckDlg) - a refusal answers
// FALSE before any window exists; puts the input panel down; then makes the document, the main
// frame with its list, runs the first update (with the program's arguments) and shows the window.
#pragma once

#include "cstring.h"
#include "wintypes.h"

#include <QStringList>

#include <memory>

class CMainFrame;
class CZuContactDoc;

class CZuContactApp {
public:
    CZuContactApp();
    ~CZuContactApp();

    BOOL InitInstance(const QStringList& arguments = {});

    const CString& InstallDir() const { return m_installDir; }
    CMainFrame* MainFrame() const { return m_frame.get(); }
    CZuContactDoc* Document() const { return m_doc.get(); }

private:
    CString m_installDir;
    std::unique_ptr<CZuContactDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;  // goes before the document
};
