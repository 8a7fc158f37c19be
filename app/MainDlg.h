// The main dialog: the whole user interface of the program. The date-change
// engine adds its handlers and routines here; they live in engine/.
#pragma once

#include "engine/DropBatch.h"
#include "framework/Framework.h"
#include "framework/Handles.h"
#include "markup/MarkupStatic.h"
#include "resources/resource.h"
#include "engine/VisitedFolders.h"

#include <deque>
#include <vector>

class CExifReader;
class CFolderHandle;

class CMainDlg : public CDialog
{
public:
    explicit CMainDlg(CWnd* pParent = nullptr);

    enum
    {
        IDD = IDD_MAIN
    };

protected:
    CComboBox m_cbDateToChange;
    CMarkupStatic m_lblIntro;
    CMarkupStatic m_lblStatus;
    HICON m_hIcon;
    int m_bProcessSubfolders;
    CToolTipCtrl m_tooltip;
    CStdioFile m_fileUndo;
    CStdioFile m_fileLog;
    CString m_strUndoPath;
    CString m_strLogPath;
    DWORD m_dwLastPumpTick;
    bool m_bBusy;
    CVisitedFolders m_visitedFolders; // folders the running batch has walked

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // Main dialog (app/MainDlg.cpp)
    void AddToolTip(int nID, const char* text);
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnKeepOnTop();
    void OnProcessSubfolders();
    void OnDestroy();
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnClose();

    // Display scale (app/DpiChange.cpp)
    // The controls' places and the font as the dialog was made, at its DPI.
    void RememberLayout();
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
    // Fonts, icons, the labels and the controls' places at nDpi; the window
    // takes prcWindow (the system's suggestion) where it holds the controls.
    void ApplyDpi(int nDpi, const RECT* prcWindow);
    void LoadIcons(int nDpi);

    // Options in the registry (app/Options.cpp)
    void LoadOptions();
    void SaveOptions();

    // Drop batch and folder walk (engine/DropBatch.cpp)
    void OnDropFiles(HDROP hDropInfo);
    // dwFoundAttributes: the attributes the walk found a subfolder with.
    void ProcessFolder(const CString& strFolder, DropBatch& batch,
                       DWORD dwFoundAttributes = INVALID_FILE_ATTRIBUTES);

    // Busy state (engine/BusyState.cpp)
    // Busy: the wait cursor, the controls disabled; idle: all back, Undo
    // only when available.
    void SetBusy(bool bBusy, bool bUndoAvailable);
    // A batch's start: busy and the wait cursor, the focused control
    // remembered; the controls are left as they are until it first pumps.
    void BeginBusy();
    void DisableControlsWhileBusy();
    void EnableControl(int nID, bool bEnable);

    // Per-file date change (engine/ProcessFile.cpp)
    // pFolder: the walked folder that holds the file, when it is held open.
    void ProcessFile(CString strPath, bool bChangeModified, bool bChangeCreated, int& nJpgFiles,
                     int& nChanged, const CFolderHandle* pFolder = nullptr);

    // Undo journal (engine/UndoJournal.cpp)
    bool WriteUndoRecord(const CString& strPath, const CTime& timeCreated, const CTime& timeModified);
    void OnUndo();

    // Processing log and temporary files (engine/ProcessingLog.cpp)
    static void CreateTempFile(CString& strPath, CStdioFile& file);
    void WriteLog(bool bStamped, const char* format, ...);
    // A picture's line, stamped with the moment its change began.
    void WriteFileLine(const SYSTEMTIME& begun, unsigned nFile, const char* pszOutcome,
                       const char* pszLowerPath);
    void StartLog();
    void DeleteTempFiles();
    LRESULT OnShowLog(WPARAM wParam, LPARAM lParam);

    // Status line and message pump (engine/StatusLine.cpp)
    void ShowStatus(int nJpgFiles, int nChanged, bool bFinal);
    // The progress form, shown and pumped only when the pump is due.
    void ShowProgress(int nJpgFiles);
    // At most every 250 ms; true when it is time, and the time is taken.
    bool IsPumpDue();
    bool PumpPendingMessages();

    // Date-change engine: state and helpers of its own (engine/)
private:
    void RunPendingDrops();
    void RunDropBatch(const std::vector<CString>& paths);
    // The control of the dialog with the keyboard focus, or nullptr.
    HWND FocusedControl() const;
    // Gives the focus back to hWnd, or on to the next control that can take
    // it, where the active dialog's focus was lost while its controls were
    // disabled.
    void GiveFocusBack(HWND hWnd);
    CString ChangeFileDate(const CString& strPath, bool bChangeModified, bool bChangeCreated, int& nChanged,
                           const CFolderHandle* pFolder);
    void ReopenLog();
    void ReplayUndoJournal();
    // The clock of the pump's throttle; tests replace it.
    virtual DWORD GetPumpTickCount();

    std::deque<std::vector<CString>> m_pendingDrops; // drops waiting for the running work to end
    bool m_bUndoRunning = false;                     // OnUndo is asking or replaying
    bool m_bUndoWriteFailed = false;                 // the journal refused a record in this batch
    HWND m_hWndFocusBeforeBusy = nullptr;            // the focused control when the batch began
    bool m_bControlsDisabled = false;                // the busy dialog's controls are disabled

    struct ControlPlace
    {
        HWND hWnd;
        RECT rc; // in the dialog's client area
    };
    int m_nDpi = 0;                     // the scale the dialog is shown at
    int m_nLayoutDpi = 0;               // the scale of m_layout and m_lfLayout
    std::vector<ControlPlace> m_layout; // every control, as the dialog was made
    SIZE m_sizeLayoutClient = {};       // the client area it was made with
    LOGFONTA m_lfLayout = {};           // the dialog's font as it was made
    CGdiObject<HFONT> m_fontScaled;     // the font at another scale than that
    CIconHandle m_iconBig, m_iconSmall; // the icons at the scale shown

protected:
    DECLARE_MESSAGE_MAP()
};
