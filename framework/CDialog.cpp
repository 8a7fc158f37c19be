#include "framework/CDialog.h"

#include "framework/CWinApp.h"

namespace
{
// The dialog whose window is being created: the CBT hook subclasses the
// first window created while it is set, before that window gets a message.
CWnd* g_pWndInit = nullptr;
HHOOK g_hHookCbt = nullptr;

LRESULT CALLBACK CbtFilterHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_CREATEWND && g_pWndInit)
    {
        CWnd* pWnd = g_pWndInit;
        g_pWndInit = nullptr;
        pWnd->SubclassWindow(reinterpret_cast<HWND>(wParam));
    }
    return ::CallNextHookEx(g_hHookCbt, nCode, wParam, lParam);
}
} // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd), m_nModalResult(-1), m_bInModalLoop(FALSE),
      m_bContinueModal(FALSE)
{
}

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM)
{
    // Everything else reaches the object through AfxWndProc before the
    // dialog manager; only the initialisation comes here.
    if (message != WM_INITDIALOG)
        return FALSE;
    CDialog* pDlg = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hWnd));
    return pDlg ? pDlg->OnInitDialog() : TRUE;
}

BOOL CDialog::CreateFromTemplate(HWND hWndParent)
{
    if (m_hWnd)
        return FALSE;
    g_pWndInit = this;
    HHOOK hPrevious = g_hHookCbt;
    g_hHookCbt = ::SetWindowsHookExA(WH_CBT, &CbtFilterHook, nullptr, ::GetCurrentThreadId());
    HWND hWnd = g_hHookCbt ? ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate),
                                                  hWndParent, &AfxDlgProc, 0)
                           : nullptr;
    if (g_hHookCbt)
        ::UnhookWindowsHookEx(g_hHookCbt);
    g_hHookCbt = hPrevious;
    g_pWndInit = nullptr;
    if (!hWnd)
    {
        // The template may have failed after the window was made and attached.
        if (m_hWnd)
            UnsubclassWindow();
        return FALSE;
    }
    return m_hWnd == hWnd;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParentWnd;
    return CreateFromTemplate(pParentWnd ? pParentWnd->m_hWnd : nullptr);
}

INT_PTR CDialog::DoModal()
{
    // Without a parent the owner is the application's main window, as in MFC,
    // so that a box opened from the main dialog stays on top of it.
    HWND hWndParent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!hWndParent)
    {
        CWnd* pMain = AfxGetMainWnd();
        if (pMain && pMain != this && ::IsWindow(pMain->m_hWnd))
            hWndParent = pMain->m_hWnd;
    }
    if (hWndParent)
        hWndParent = ::GetAncestor(hWndParent, GA_ROOT);

    BOOL bEnableParent = hWndParent && ::IsWindowEnabled(hWndParent);
    if (bEnableParent)
        ::EnableWindow(hWndParent, FALSE);

    m_nModalResult = -1;
    if (CreateFromTemplate(hWndParent))
    {
        if (!(GetStyle() & WS_VISIBLE))
            ShowWindow(SW_SHOWNORMAL);
        RunModalLoop();
        if (m_hWnd)
            ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                           SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    // Enable the owner before the dialog goes, so that it gets the activation.
    if (bEnableParent)
        ::EnableWindow(hWndParent, TRUE);
    if (hWndParent && m_hWnd && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(hWndParent);
    DestroyWindow();
    return m_nModalResult;
}

void CDialog::RunModalLoop()
{
    m_bInModalLoop = TRUE;
    m_bContinueModal = TRUE;
    MSG msg = {};
    while (m_bContinueModal && m_hWnd)
    {
        if (!AfxPumpMessage(msg))
        {
            // Leave the quit message for the loops outside this one.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            m_nModalResult = -1;
            break;
        }
    }
    m_bInModalLoop = FALSE;
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    if (m_bInModalLoop)
    {
        m_bContinueModal = FALSE;
        // Wake the loop, which may be waiting in GetMessage.
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
    }
    else if (m_hWnd)
    {
        ::EndDialog(m_hWnd, nResult);
    }
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK()
{
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    // Keyboard and mouse input only, as MFC: the dialog manager's navigation
    // (Tab, Enter for the default button, Escape for Cancel).
    bool bInput = (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) ||
                  (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST);
    if (!bInput || !m_hWnd)
        return FALSE;
    if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))
        return FALSE;
    return ::IsDialogMessageA(m_hWnd, pMsg);
}

BOOL CDialog::OnCmdMsg(UINT nID, UINT nCode)
{
    if (CWnd::OnCmdMsg(nID, nCode))
        return TRUE;
    // Commands the dialog does not handle go on to the application.
    CWinApp* pApp = AfxGetApp();
    return pApp ? pApp->OnCmdMsg(nID, nCode) : FALSE;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd)
        return;
    rControl.SubclassDlgItem(static_cast<UINT>(nIDC), pDX->m_pDlgWnd);
}
