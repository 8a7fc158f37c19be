// The status line and the throttled message pump of a running drop.
#include "MainDlg.h"

void CMainDlg::ShowStatus(int nJpgFiles, int nChanged, bool bFinal)
{
    CString text;
    if (bFinal)
    {
        text.Format(
            "<font color=\"DarkRed\">Dropped <b>%d</b> jpg files, changed date for <b>%d</b> files</font>",
            nJpgFiles, nChanged);
        text +=
            "  <a href=\"app:WM_APP_COMMAND_SHOW_LOG\"><font color=\"Blue\"> (<u>View log</u>)</font></a>";
    }
    else
    {
        text.Format("<font color=\"DarkRed\">Processed <b>%d</b> files...</font>", nJpgFiles);
    }
    m_lblStatus.SetMarkupText(text);
    if (!bFinal)
        PumpPendingMessages();
}

DWORD CMainDlg::GetPumpTickCount()
{
    return ::GetTickCount();
}

bool CMainDlg::PumpPendingMessages()
{
    DWORD dwNow = GetPumpTickCount();
    // A tick count below the stored one means the counter wrapped: pump.
    if (dwNow >= m_dwLastPumpTick && dwNow - m_dwLastPumpTick <= 250)
        return true;
    m_dwLastPumpTick = dwNow;
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
