#include "app/MainApp.h"

#include "app/MainDlg.h"

BEGIN_MESSAGE_MAP(CMainApp, CWinApp)
ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CMainApp::CMainApp() {}

BOOL CMainApp::InitInstance()
{
    CMainDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    // The dialog object dies with this frame: nothing may point at it later.
    m_pMainWnd = nullptr;
    // No message loop of our own: the program ends with the dialog.
    return FALSE;
}
