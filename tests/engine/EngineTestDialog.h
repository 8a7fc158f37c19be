// The main dialog as the engine tests drive it: created modeless from its
// real template, its engine members within reach, and a clock for the pump
// that the test sets.
#pragma once

#include "MainDlg.h"

#include <functional>
#include <string>
#include <vector>

class CTestMainDlg : public CMainDlg
{
public:
    using CMainDlg::CreateTempFile;
    using CMainDlg::DeleteTempFiles;
    using CMainDlg::m_bBusy;
    using CMainDlg::m_bProcessSubfolders;
    using CMainDlg::m_cbDateToChange;
    using CMainDlg::m_dwLastPumpTick;
    using CMainDlg::m_fileLog;
    using CMainDlg::m_fileUndo;
    using CMainDlg::m_lblStatus;
    using CMainDlg::m_strLogPath;
    using CMainDlg::m_strUndoPath;
    using CMainDlg::OnShowLog;
    using CMainDlg::OnUndo;
    using CMainDlg::ProcessFile;
    using CMainDlg::ProcessFolder;
    using CMainDlg::PumpPendingMessages;
    using CMainDlg::SetBusy;
    using CMainDlg::ShowStatus;
    using CMainDlg::StartLog;
    using CMainDlg::WriteLog;
    using CMainDlg::WriteUndoRecord;

    // Creates the window (OnInitDialog runs, so the log is started).
    bool Open();
    void Close();

    // The pump reads m_dwFakeTick while m_bFakeTick; every read adds m_dwTickStep.
    bool m_bFakeTick = false;
    DWORD m_dwFakeTick = 0;
    DWORD m_dwTickStep = 0;
    int m_nTickReads = 0;
    // Runs at every tick read, that is inside the batch after each file.
    std::function<void()> m_onTick;

    // The status label's markup as last set.
    std::string StatusMarkup();
    // The log file's bytes, and the lines that name JPEG files (stamps cut off).
    std::string LogText();
    std::vector<std::string> LogLines();
    // Opens the log for appending and a fresh journal, as a drop's start does.
    bool BeginBatchFiles();
    void EndBatchFiles();

    // Sends a WM_DROPFILES that carries the paths.
    void Drop(const std::vector<std::string>& paths);
    void SelectTarget(int nIndex);
    bool IsControlEnabled(int nID);

private:
    DWORD GetPumpTickCount() override;
};

// A drop handle of ANSI paths, as the shell makes one; freed by DragFinish.
HDROP MakeDropHandle(const std::vector<std::string>& paths);
// "YYYY/MM/DD hh:mm:ss  --  " at the start of a line becomes "<stamp>".
std::string WithoutStamps(const std::string& text);
std::vector<std::string> SplitLines(const std::string& text);
