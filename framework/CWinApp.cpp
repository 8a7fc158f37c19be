#include "framework/CWinApp.h"

namespace
{
CWinApp* g_pApp = nullptr;

// The wait cursor: a count of the Begin calls not yet ended, and the cursor
// that showed before the first.
int g_nWaitCursorCount = 0;
HCURSOR g_hcurWaitRestore = nullptr;

// The program's name when the application object has none: string
// AFX_IDS_APP_TITLE, or else the program file's name without extension.
CString AppNameFromModule()
{
    CString strName;
    if (AfxLoadString(AFX_IDS_APP_TITLE, strName))
        return strName;
    char szPath[MAX_PATH] = {};
    DWORD nLen = ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    if (nLen == 0 || nLen >= MAX_PATH)
        return CString();
    CString strPath(szPath);
    int nSlash = strPath.ReverseFind('\\');
    strName = strPath.Mid(nSlash + 1);
    int nDot = strName.ReverseFind('.');
    return nDot > 0 ? strName.Left(nDot) : strName;
}
} // namespace

CWinApp::CWinApp(const char* pszAppName)
    : m_pszAppName(nullptr), m_pMainWnd(nullptr), m_hInstance(nullptr), m_msgCur()
{
    if (pszAppName)
    {
        m_strAppName = pszAppName;
        m_pszAppName = m_strAppName;
    }
    // The one application object of the program.
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return m_msgCur.message == WM_QUIT ? static_cast<int>(m_msgCur.wParam) : 0;
}

int CWinApp::Run()
{
    while (PumpMessage())
    {
    }
    return ExitInstance();
}

BOOL CWinApp::PumpThreadMessage(MSG& msg)
{
    if (::GetMessageA(&msg, nullptr, 0, 0) <= 0)
    {
        // -1 (an invalid call) ends the loop as WM_QUIT does.
        msg.message = WM_QUIT;
        return FALSE;
    }
    CWinApp* pApp = g_pApp;
    BOOL bHandled = pApp ? pApp->PreTranslateMessage(&msg) : WalkPreTranslateTree(nullptr, &msg);
    if (!bHandled)
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    // Temporary window objects live while handlers run; none runs now.
    if (CWnd::GetDispatchDepth() == 0)
        CWnd::DeleteTempMap();
    return TRUE;
}

BOOL CWinApp::PumpMessage()
{
    return PumpThreadMessage(m_msgCur);
}

BOOL CWinApp::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    // From the target up through its parents (a pop-up's parent is its owner,
    // so a dialog's controls and owned boxes reach their dialog).
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd))
    {
        CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
        if (pWnd && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (hWnd == hWndStop)
            break;
    }
    return FALSE;
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg)
{
    HWND hWndMain = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    if (WalkPreTranslateTree(hWndMain, pMsg))
        return TRUE;
    // Thread messages and windows outside the main window's tree.
    if (hWndMain && pMsg->hwnd != hWndMain && !::IsChild(hWndMain, pMsg->hwnd))
        return m_pMainWnd->PreTranslateMessage(pMsg);
    return FALSE;
}

void CWinApp::OnHelp() {}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    if (g_pApp && g_pApp->m_hInstance)
        return g_pApp->m_hInstance;
    return ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    // The resources are linked into the program itself.
    return AfxGetInstanceHandle();
}

const char* AfxGetAppName()
{
    if (g_pApp && g_pApp->m_pszAppName)
        return g_pApp->m_pszAppName;
    static CString s_strName;
    if (s_strName.IsEmpty())
        s_strName = AppNameFromModule();
    return s_strName;
}

BOOL AfxPumpMessage(MSG& msgLast)
{
    if (CWinApp* pApp = g_pApp)
    {
        BOOL bResult = pApp->PumpMessage();
        msgLast = pApp->m_msgCur;
        return bResult;
    }
    return CWinApp::PumpThreadMessage(msgLast);
}

void AfxDoWaitCursor(int nCode)
{
    if (nCode > 0)
    {
        HCURSOR hcurPrev = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
        if (g_nWaitCursorCount++ == 0)
            g_hcurWaitRestore = hcurPrev;
    }
    else if (nCode < 0)
    {
        if (g_nWaitCursorCount == 0)
            return;
        if (--g_nWaitCursorCount == 0)
        {
            ::SetCursor(g_hcurWaitRestore);
            g_hcurWaitRestore = nullptr;
        }
    }
}
