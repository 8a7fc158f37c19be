// The status line and the throttled message pump of a running drop.
#include "app/MainDlg.h"

namespace
{
CString ProgressMarkup(int nJpgFiles)
{
    CString text;
    text.Format("<font color=\"DarkRed\">Processed <b>%d</b> files...</font>", nJpgFiles);
    return text;
}
} // namespace

void CMainDlg::ShowStatus(int nJpgFiles, int nChanged, bool bFinal)
{
    if (!bFinal)
    {
        m_lblStatus.SetMarkupText(ProgressMarkup(nJpgFiles));
        if (IsPumpDue())
            PumpPendingMessages();
        return;
    }
    CString text;
    text.Format(
        "<font color=\"DarkRed\">Dropped <b>%d</b> jpg files, changed date for <b>%d</b> files</font>",
        nJpgFiles, nChanged);
    text += "  <a href=\"app:WM_APP_COMMAND_SHOW_LOG\"><font color=\"Blue\"> (<u>View log</u>)</font></a>";
    m_lblStatus.SetMarkupText(text);
}

void CMainDlg::ShowProgress(int nJpgFiles)
{
    // The label is painted only when the pump runs, so it is only set then:
    // setting it for every picture cost more than the picture's journal record.
    if (!IsPumpDue())
        return;
    m_lblStatus.SetMarkupText(ProgressMarkup(nJpgFiles));
    PumpPendingMessages();
}

DWORD CMainDlg::GetPumpTickCount()
{
    return ::GetTickCount();
}

bool CMainDlg::IsPumpDue()
{
    DWORD dwNow = GetPumpTickCount();
    // A tick count below the stored one means the counter wrapped: pump.
    if (dwNow >= m_dwLastPumpTick && dwNow - m_dwLastPumpTick <= 250)
        return false;
    m_dwLastPumpTick = dwNow;
    return true;
}

bool CMainDlg::PumpPendingMessages()
{
    DisableControlsWhileBusy();
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
    {
        MSG msgPumped;
        if (!AfxPumpMessage(msgPumped))
        {
            // The application's own loop must still see the quit request.
            ::PostQuitMessage(0);
            return false;
        }
    }
    return true;
}
