// The real main dialog, driven as a user would drive it: it picks the options
// with the controls, drops the paths, waits for the batch, may press Undo, and
// closes the dialog with Exit. What it sees is printed on standard output.
#pragma once

#include "app/MainDlg.h"
#include "tests/driver/DriveOptions.h"
#include "tests/driver/PaintWatcher.h"

#include <memory>
#include <string>
#include <vector>

class CDriveDlg : public CMainDlg
{
public:
    explicit CDriveDlg(const DriveOptions& options);
    ~CDriveDlg() override;

    // Checks that closing deleted the temporary files; call after DoModal.
    void ReportClosed();

    // 0 when every requested drop ran.
    int GetExitCode() const { return m_nExitCode; }

protected:
    BOOL OnInitDialog() override;
    DWORD GetPumpTickCount() override;

private:
    static void CALLBACK OnStartTimer(HWND hWnd, UINT uMsg, UINT_PTR idEvent, DWORD dwTime);
    static void CALLBACK OnShowTimer(HWND hWnd, UINT uMsg, UINT_PTR idEvent, DWORD dwTime);

    void PressExit();

    void RunScript();
    void ApplyOptions();
    void OnStatusPaint();
    void HoldFiles();
    void ReleaseFiles();
    bool Drop();
    void WaitUntilIdle();
    void ReportDrop(int nDrop);
    void CopyTempFiles();
    void PressUndo();
    std::string ReadStatusMarkup() const;
    void PrintStatusLinks(const char* prefix);
    bool IsUndoEnabled() const;

    static CDriveDlg* s_pActive;

    const DriveOptions& m_options;
    std::vector<std::string> m_paths;
    std::vector<std::string> m_files;
    std::vector<HANDLE> m_holds;
    std::unique_ptr<CPaintWatcher> m_pWatcher;
    int m_nBusyPaints;
    bool m_bDroppedDuring;
    std::string m_strProgressSeen;
    std::string m_strFirstProgress;
    unsigned long m_nFirstPaintWorkingSet = 0;
    unsigned long m_nEndWorkingSet = 0;
    std::string m_strLastLogPath;
    std::string m_strLastUndoPath;
    int m_nExitCode;
    double m_dDropSeconds = 0;
};
