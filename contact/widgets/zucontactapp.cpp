#include "zucontactapp.h"

#include "mainframe.h"

#include "../zucontactdoc.h"

#include "optionrecords.h"
#include "registrykeys.h"
#include "textutil.h"
#include "voregistry.h"
#include "widgets/checkpassworddlg.h"

CZuContactApp::CZuContactApp() = default;

CZuContactApp::~CZuContactApp()
{
    m_frame.reset();
    m_doc.reset();
}

BOOL CZuContactApp::InitInstance(const QStringList& arguments)
{
    CVORegistry pims(HKEY_CURRENT_USER, ZuReg::Pims, FALSE);
    m_installDir = pims.ReadString(ZuReg::InstallDir, nullptr);

    if (GetGeneralOpt().bSecurityFlag && !ShowCheckDlg(nullptr))
        return FALSE;
    PPC_KeypadDown();

    m_doc = std::make_unique<CZuContactDoc>();
    m_frame = std::make_unique<CMainFrame>(m_doc.get());
    if (!m_frame->Create()) {
        m_frame.reset();
        return FALSE;
    }
    m_frame->InitialUpdate(arguments);
    m_frame->show();
    m_frame->raise();
    m_frame->activateWindow();
    return TRUE;
}
