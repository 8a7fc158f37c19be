// The real main dialog with its engine members within reach, for the tests:
// created modeless from its template (Open) or run modally (DoModal, as the
// dialog tests' runner does), with a clock for the pump that the test sets
// and the state it stands in when its initialisation ends.
#pragma once

#include "app/MainDlg.h"

#include <functional>
#include <string>
#include <vector>

// One request to move the dialog in the z-order (WM_WINDOWPOSCHANGING).
struct ZOrderRequest
{
    HWND insertAfter;
    UINT flags;
    bool visible;
};

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
    using CMainDlg::m_lblIntro;
    using CMainDlg::m_lblStatus;
    using CMainDlg::m_strLogPath;
    using CMainDlg::m_strUndoPath;
    using CMainDlg::m_visitedFolders;
    using CMainDlg::OnShowLog;
    using CMainDlg::OnUndo;
    using CMainDlg::ProcessFile;
    using CMainDlg::ProcessFolder;
    using CMainDlg::PumpPendingMessages;
    using CMainDlg::SetBusy;
    using CMainDlg::ShowProgress;
    using CMainDlg::ShowStatus;
    using CMainDlg::StartLog;
    using CMainDlg::WriteFileLine;
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
    // Posts a probe; m_onProbe runs when a message loop dispatches it.
    void PostProbe();
    std::function<void()> m_onProbe;

    // While set, the log command (the status line's link) is only counted:
    // no Notepad starts.
    bool m_bCatchShowLog = false;
    int m_nShowLogCalls = 0;

    // The dialog as it stands when initialisation ends, before it is shown.
    struct InitState
    {
        bool captured = false;
        bool visible = false;
        bool topmost = false;
        bool keepOnTopChecked = false;
        bool subfoldersChecked = false;
        int subfoldersOption = -1;
        int dateSelection = -2;
        int dateItems = -1;
        std::string dateItemTexts[3];
        std::string statusText = "(unread)";
        int statusLinks = -1;
        std::string logPath;
        // Every z-order request made during initialisation, in order.
        std::vector<ZOrderRequest> zOrderRequests;
    };
    InitState init;
    // Every z-order request of the run, in order, as a watcher of the test
    // records them.
    std::vector<ZOrderRequest> zOrderRequests;

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

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    DWORD GetPumpTickCount() override;
};

// "YYYY/MM/DD hh:mm:ss  --  " at the start of a line becomes "<stamp>".
std::string WithoutStamps(const std::string& text);
std::vector<std::string> SplitLines(const std::string& text);

// Probes of a window's state.
bool IsTopmost(HWND hwnd);
bool IsChecked(HWND hDlg, int id);
std::string WindowText(HWND hwnd);
