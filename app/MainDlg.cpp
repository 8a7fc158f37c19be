#include "app/MainDlg.h"

#include "app/AboutDlg.h"
#include "engine/DateTarget.h"
#include "framework/Dpi.h"
#include "resources/resource.h"

#include <cstddef>

CMainDlg::CMainDlg(CWnd* pParent)
    : CDialog(IDD, pParent), m_hIcon(::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_bProcessSubfolders(1), m_dwLastPumpTick(::GetTickCount()), m_bBusy(false)
{
}

void CMainDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DATE_TO_CHANGE, m_cbDateToChange);
    DDX_Control(pDX, IDC_INTRO, m_lblIntro);
    DDX_Control(pDX, IDC_STATUS, m_lblStatus);
}

BEGIN_MESSAGE_MAP(CMainDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(IDC_KEEP_ON_TOP, OnKeepOnTop)
ON_BN_CLICKED(IDC_PROCESS_SUBFOLDERS, OnProcessSubfolders)
ON_WM_DROPFILES()
ON_WM_DESTROY()
ON_BN_CLICKED(IDC_UNDO, OnUndo)
ON_WM_SETCURSOR()
ON_WM_CLOSE()
ON_MESSAGE(WM_APP_COMMAND_SHOW_LOG, OnShowLog)
ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
END_MESSAGE_MAP()

BOOL CMainDlg::OnInitDialog()
{
    // Binds the controls: the two statics become markup labels here.
    CDialog::OnInitDialog();

    CMenu* pSysMenu = GetSystemMenu(FALSE);
    if (pSysMenu)
    {
        CString strAboutMenu;
        AfxLoadString(IDS_ABOUTBOX, strAboutMenu);
        if (!strAboutMenu.IsEmpty())
        {
            pSysMenu->AppendMenu(MF_SEPARATOR);
            pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu);
        }
    }

    m_tooltip.Create(this);
    // Tips may wrap onto several lines.
    m_tooltip.SetMaxTipWidth(32767);
    m_tooltip.SetDelayTime(TTDT_INITIAL, 250);
    m_tooltip.SetDelayTime(TTDT_AUTOPOP, 10000);
    m_tooltip.SetDelayTime(TTDT_RESHOW, 50);

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    // The list is not sorted: each item's index is its DateTarget.
    for (DateTarget target : kDateTargets)
        m_cbDateToChange.AddString(DateTargetItemText(target));

    LoadOptions();

    m_lblIntro.SetBackgroundColor("BtnFace");
    m_lblStatus.SetBackgroundColor("BtnFace");

    // Clears the design-time placeholder while the text is still the window text.
    m_lblStatus.SetMarkupText("");
    m_lblStatus.KeepTextInternally = 1;
    m_lblStatus.RedrawImmediately = 0;
    AppCommand showLog = {m_hWnd, WM_APP_COMMAND_SHOW_LOG, 0, "WM_APP_COMMAND_SHOW_LOG"};
    m_lblStatus.SetAppCommands(&showLog, 1);

    RememberLayout();

    DragAcceptFiles(TRUE);

    AddToolTip(IDC_UNDO, "Undo last change");

    StartLog();

    // The dialog manager focuses the first control that takes it: Exit.
    return TRUE;
}

// The tool record as the tooltip has known it since comctl32 4.70, up to
// lParam (TTTOOLINFOA_V2_SIZE): 44 bytes in the 32-bit program.
static_assert(sizeof(void*) != 4 || offsetof(TOOLINFOA, lParam) + sizeof(LPARAM) == 44,
              "tool record of 44 bytes");

void CMainDlg::AddToolTip(int nID, const char* text)
{
    HWND hWndControl = ::GetDlgItem(m_hWnd, nID);
    if (!hWndControl)
        return;
    // The tooltip watches the control's mouse messages itself (TTF_SUBCLASS),
    // so nothing needs relaying.
    TOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = m_hWnd;
    ti.uId = reinterpret_cast<UINT_PTR>(hWndControl);
    ti.hinst = AfxGetInstanceHandle();
    ti.lpszText = const_cast<char*>(text);
    m_tooltip.SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CMainDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    if ((nID & 0xFFF0) == IDM_ABOUTBOX)
    {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    }
    else
    {
        CDialog::OnSysCommand(nID, lParam);
    }
}

void CMainDlg::OnPaint()
{
    if (!IsIconic())
    {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);

    int cxIcon = AfxGetSystemMetricsForDpi(SM_CXICON, m_nDpi);
    int cyIcon = AfxGetSystemMetricsForDpi(SM_CYICON, m_nDpi);
    CRect rect;
    GetClientRect(&rect);
    int x = (rect.Width() - cxIcon + 1) / 2;
    int y = (rect.Height() - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CMainDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

void CMainDlg::OnKeepOnTop()
{
    const CWnd* pInsertAfter =
        IsDlgButtonChecked(IDC_KEEP_ON_TOP) == BST_CHECKED ? &wndTopMost : &wndNoTopMost;
    SetWindowPos(pInsertAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
}

void CMainDlg::OnProcessSubfolders()
{
    m_bProcessSubfolders = IsDlgButtonChecked(IDC_PROCESS_SUBFOLDERS) == BST_CHECKED ? 1 : 0;
}

void CMainDlg::OnDestroy()
{
    SaveOptions();
    // The undo journal first, then the log.
    DeleteTempFiles();
    CDialog::OnDestroy();
}

BOOL CMainDlg::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (m_bBusy)
    {
        ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
        return TRUE;
    }
    return CDialog::OnSetCursor(pWnd, nHitTest, message);
}

void CMainDlg::OnClose()
{
    // A batch is running: the user closes the program after it.
    if (m_bBusy)
        return;
    CDialog::OnClose();
}

void CMainDlg::OnOK()
{
    if (m_bBusy)
        return;
    CDialog::OnOK();
}

void CMainDlg::OnCancel()
{
    if (m_bBusy)
        return;
    CDialog::OnCancel();
}
