// The drop batch: every dropped file and folder, walked in order.
#include "MainDlg.h"
#include "DropBatch.h"
#include "DropPaths.h"
#include "resource.h"

#include <utility>

DropBatch NewDropBatch(DateTarget target)
{
    switch (target)
    {
    case kDateModified:
        break;
    case kDateCreated:
        return {false, true, 0, 0};
    case kModifiedAndCreated:
        return {true, true, 0, 0};
    }
    return {true, false, 0, 0};
}

void CMainDlg::OnDropFiles(HDROP hDropInfo)
{
    m_pendingDrops.push_back(ReadDropPaths(hDropInfo));
    ::DragFinish(hDropInfo);
    // A drop that arrives while a batch dispatches messages, or while the undo
    // waits for its answer, must not start a batch inside that work: it waits
    // for its turn, which comes when the running work ends.
    if (!m_bBusy && !m_bUndoRunning)
        RunPendingDrops();
    Default();
}

void CMainDlg::RunPendingDrops()
{
    while (!m_pendingDrops.empty())
    {
        std::vector<CString> paths = std::move(m_pendingDrops.front());
        m_pendingDrops.pop_front();
        RunDropBatch(paths);
    }
}

void CMainDlg::RunDropBatch(const std::vector<CString>& paths)
{
    BeginBusy();
    DropBatch batch = NewDropBatch(DateTargetFromIndex(m_cbDateToChange.GetCurSel()));

    CreateTempFile(m_strUndoPath, m_fileUndo);
    m_bUndoWriteFailed = false;
    ReopenLog();
    m_visitedFolders.Clear();

    WriteLog(false, "\n\n");
    WriteLog(true,
             "Starting to process files or folders. Change Modified Date: %s. Change Created Date: %s\n",
             batch.bChangeModified ? "yes" : "no", batch.bChangeCreated ? "yes" : "no");
    for (const CString& strPath : paths)
    {
        WIN32_FILE_ATTRIBUTE_DATA attributes;
        if (!AfxGetFileAttributesEx(strPath, GetFileExInfoStandard, &attributes))
            continue;
        if (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ProcessFolder(strPath, batch);
        else
            ProcessFile(strPath, batch.bChangeModified, batch.bChangeCreated, batch.nJpgFiles,
                        batch.nChanged);
    }
    WriteLog(true, "Finished processing files or folders\n");
    WriteLog(false, "\t\tTotal JPG files dropped %d\n", batch.nJpgFiles);
    WriteLog(false, "\t\tTotal changed %d\n", batch.nChanged);
    WriteLog(false, "\n");

    ShowStatus(batch.nJpgFiles, batch.nChanged, !m_strLogPath.IsEmpty());
    if (!m_strUndoPath.IsEmpty())
        m_fileUndo.Close();
    if (!m_strLogPath.IsEmpty())
        m_fileLog.Close();
    if (batch.nChanged == 0 || m_strUndoPath.IsEmpty())
    {
        if (!m_strUndoPath.IsEmpty())
            ::DeleteFileA(m_strUndoPath);
        m_strUndoPath.Empty();
    }
    m_visitedFolders.Clear();
    SetBusy(false, batch.nChanged > 0 && !m_strUndoPath.IsEmpty());
}

void CMainDlg::ProcessFolder(const CString& strFolder, DropBatch& batch, DWORD dwFoundAttributes)
{
    WriteLog(true, "Working on folder \"%s\"\n", static_cast<const char*>(strFolder));
    if (!m_visitedFolders.Enter(strFolder, dwFoundAttributes))
    {
        WriteLog(true, "Skipped folder \"%s\": already walked in this drop\n",
                 static_cast<const char*>(strFolder));
        return;
    }
    // A drive root arrives with its backslash already.
    CString strPattern = strFolder;
    if (strPattern.IsEmpty() || strPattern[strPattern.GetLength() - 1] != '\\')
        strPattern += '\\';
    strPattern += '*';

    CFileFind finder;
    BOOL bMore = finder.FindFile(strPattern);
    while (bMore)
    {
        bMore = finder.FindNextFile();
        if (!finder.MatchesMask(FILE_ATTRIBUTE_DIRECTORY))
            ProcessFile(finder.GetFilePath(), batch.bChangeModified, batch.bChangeCreated, batch.nJpgFiles,
                        batch.nChanged);
        else if (m_bProcessSubfolders && !finder.IsDots())
            // Only the link bit tells a subfolder apart: the walk knows it already.
            ProcessFolder(finder.GetFilePath(), batch,
                          finder.MatchesMask(FILE_ATTRIBUTE_REPARSE_POINT)
                              ? FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT
                              : FILE_ATTRIBUTE_DIRECTORY);
    }
    finder.Close();
    m_visitedFolders.Leave();
}

namespace
{
const int kBusyControls[] = {IDC_KEEP_ON_TOP, IDC_PROCESS_SUBFOLDERS, IDC_DATE_TO_CHANGE, IDOK, IDC_UNDO};
}

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
