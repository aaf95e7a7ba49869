#include "zucalendarapp.h"

#include "mainframe.h"
#include "zucalendardoc.h"

#include "optionrecords.h"
#include "registrykeys.h"
#include "textutil.h"
#include "voregistry.h"
#include "widgets/checkpassworddlg.h"

CZuCalendarApp::CZuCalendarApp() = default;

CZuCalendarApp::~CZuCalendarApp()
{
    m_frame.reset();
    m_doc.reset();
}

BOOL CZuCalendarApp::InitInstance()
{
    CVORegistry pims(HKEY_CURRENT_USER, ZuReg::Pims, FALSE);
    m_installDir = pims.ReadString(ZuReg::InstallDir, nullptr);

    if (GetGeneralOpt().bSecurityFlag && !ShowCheckDlg(nullptr))
        return FALSE;
    PPC_KeypadDown();

    m_doc = std::make_unique<CZuCalendarDoc>();
    m_frame = std::make_unique<CMainFrame>(m_doc.get());
    if (!m_frame->Create()) {
        m_frame.reset();
        return FALSE;
    }
    m_frame->InitialUpdate();
    m_frame->show();
    m_frame->raise();
    m_frame->activateWindow();
    return TRUE;
}
