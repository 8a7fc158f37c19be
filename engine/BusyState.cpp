// The dialog while a batch runs: the wait cursor, the controls disabled from
// its first pump on, and the keyboard focus given back at its end.
#include "app/MainDlg.h"
#include "resources/resource.h"

namespace
{
// What the user could change or start while a batch runs.
const int kBusyControls[] = {IDC_KEEP_ON_TOP, IDC_PROCESS_SUBFOLDERS, IDC_DATE_TO_CHANGE, IDOK, IDC_UNDO};
} // namespace

void CMainDlg::SetBusy(bool bBusy, bool bUndoAvailable)
{
    if (bBusy)
    {
        BeginBusy();
        DisableControlsWhileBusy();
        return;
    }
    m_bBusy = false;
    m_bControlsDisabled = false;
    // Controls a batch never disabled are left as they are: no repaint.
    for (int nID : kBusyControls)
        EnableControl(nID, nID != IDC_UNDO || bUndoAvailable);
    GiveFocusBack(m_hWndFocusBeforeBusy);
    m_hWndFocusBeforeBusy = nullptr;
    ::SendMessageA(m_hWnd, WM_SETCURSOR, 0, 0);
}

void CMainDlg::BeginBusy()
{
    // Every control that can take the focus is disabled, and the system
    // leaves the focus nowhere: the keyboard would do nothing after the
    // batch until a click. It goes back where it was.
    m_hWndFocusBeforeBusy = FocusedControl();
    m_bBusy = true;
    m_bControlsDisabled = false;
    ::SendMessageA(m_hWnd, WM_SETCURSOR, 0, 0);
}

void CMainDlg::DisableControlsWhileBusy()
{
    // Until the batch dispatches a message, nobody can use a control and
    // none is painted: a batch that never pumps need not disable them, and
    // so need not repaint them twice.
    if (!m_bBusy || m_bControlsDisabled)
        return;
    m_bControlsDisabled = true;
    for (int nID : kBusyControls)
        EnableControl(nID, false);
}

HWND CMainDlg::FocusedControl() const
{
    HWND hFocus = ::GetFocus();
    return hFocus && ::IsChild(m_hWnd, hFocus) ? hFocus : nullptr;
}

void CMainDlg::GiveFocusBack(HWND hWnd)
{
    // A dialog the user has left is not ours to change: the dialog manager
    // restores its focus on activation. Within the active dialog the focus is
    // lost where it is nowhere, or where the dialog manager put it while
    // no control could take it: on the dialog itself or on a label.
    HWND hFocus = ::GetFocus();
    const bool bLost = !hFocus || hFocus == m_hWnd ||
                       (::IsChild(m_hWnd, hFocus) && !(::GetWindowLongA(hFocus, GWL_STYLE) & WS_TABSTOP));
    if (!hWnd || !bLost || ::GetActiveWindow() != m_hWnd)
        return;
    if (::IsChild(m_hWnd, hWnd) && ::IsWindowEnabled(hWnd) && ::IsWindowVisible(hWnd))
        ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hWnd), TRUE);
    else
        ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, FALSE);
}

void CMainDlg::EnableControl(int nID, bool bEnable)
{
    HWND hWnd = ::GetDlgItem(m_hWnd, nID);
    if (!hWnd || (::IsWindowEnabled(hWnd) != FALSE) == bEnable)
        return;
    // A themed button paints its new look the moment it changes, twice per
    // drop; like the status line, it is painted at the next dispatch instead.
    // Redrawing back on would also show a hidden control: those are left alone.
    const bool bShown = (::GetWindowLongA(hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
    if (bShown)
        ::SendMessageA(hWnd, WM_SETREDRAW, FALSE, 0);
    ::EnableWindow(hWnd, bEnable);
    if (bShown)
    {
        ::SendMessageA(hWnd, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(hWnd, nullptr, TRUE);
    }
}
