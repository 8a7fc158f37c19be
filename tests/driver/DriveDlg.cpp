#include "tests/driver/DriveDlg.h"

#include "tests/driver/FileTimesReport.h"
#include "tests/driver/FullPath.h"
#include "tests/support/Screenshot.h"
#include "tests/support/DropFiles.h"
#include "tests/support/MessageBoxAnswerer.h"

#include "resources/resource.h"

#include <psapi.h>

#include <cstdio>
#include <utility>

CDriveDlg* CDriveDlg::s_pActive = nullptr;

namespace
{
const UINT_PTR kStartTimer = 0x4452; // "DR"
const UINT_PTR kShowTimer = 0x4453;

bool FileExists(const std::string& path)
{
    return !path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// False when the system cannot say.
bool ReadMemoryCounters(PROCESS_MEMORY_COUNTERS& counters)
{
    counters = {};
    counters.cb = sizeof(counters);
    return ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters)) != FALSE;
}

unsigned long WorkingSetKB()
{
    PROCESS_MEMORY_COUNTERS counters;
    return ReadMemoryCounters(counters) ? static_cast<unsigned long>(counters.WorkingSetSize / 1024) : 0;
}

void CopyOrRemove(const std::string& from, const std::string& to)
{
    if (to.empty())
        return;
    if (FileExists(from))
        CopyFileA(from.c_str(), to.c_str(), FALSE);
    else
        DeleteFileA(to.c_str());
}
} // namespace

CDriveDlg::CDriveDlg(const DriveOptions& options)
    : CMainDlg(nullptr), m_options(options), m_nBusyPaints(0), m_bDroppedDuring(false), m_nExitCode(1)
{
    for (const std::string& path : options.paths)
        m_paths.push_back(FullPath(path));
}

CDriveDlg::~CDriveDlg()
{
    ReleaseFiles();
    if (s_pActive == this)
        s_pActive = nullptr;
}

BOOL CDriveDlg::OnInitDialog()
{
    BOOL bResult = CMainDlg::OnInitDialog();
    // The script starts once the dialog's own loop runs, as a user's first
    // action would.
    s_pActive = this;
    ::SetTimer(m_hWnd, kStartTimer, 10, &CDriveDlg::OnStartTimer);
    return bResult;
}

void CALLBACK CDriveDlg::OnStartTimer(HWND hWnd, UINT, UINT_PTR idEvent, DWORD)
{
    ::KillTimer(hWnd, idEvent);
    if (s_pActive != nullptr && s_pActive->m_hWnd == hWnd)
        s_pActive->RunScript();
}

void CDriveDlg::RunScript()
{
    ApplyOptions();
    if (m_options.bPrintTimes)
    {
        m_files = ListFilesUnder(m_paths);
        PrintFileTimes("before", m_files);
    }
    m_pWatcher = std::make_unique<CPaintWatcher>(m_lblStatus.m_hWnd, [this]() { OnStatusPaint(); });

    HoldFiles();
    bool bRan = m_paths.empty() || Drop();
    if (bRan && !m_paths.empty())
        ReportDrop(1);
    if (bRan && !m_paths.empty() && m_options.bDropAgain)
    {
        if (m_options.bDeleteLogBetween && !m_strLogPath.IsEmpty())
            printf("delete log: %s\n", DeleteFileA(m_strLogPath) ? "done" : "failed");
        bRan = Drop();
        if (bRan)
            ReportDrop(2);
    }
    ReleaseFiles();
    m_pWatcher.reset();

    if (m_options.bPrintTimes)
        PrintFileTimes("after drop", m_files);
    for (const std::string& path : m_options.removals)
        printf("remove: %s %s\n", path.c_str(), DeleteFileA(FullPath(path).c_str()) ? "done" : "failed");
    if (bRan && m_options.bUndo)
    {
        PressUndo();
        if (m_options.bPrintTimes)
            PrintFileTimes("after undo", m_files);
    }
    if (!m_options.strScreenshot.empty())
        printf("screenshot: %s\n",
               SaveWindowBitmap(m_hWnd, m_options.strScreenshot.c_str()) ? "saved" : "failed");

    m_strLastLogPath = static_cast<const char*>(m_strLogPath);
    m_strLastUndoPath = static_cast<const char*>(m_strUndoPath);
    m_nExitCode = bRan ? 0 : 1;
    fflush(stdout);
    if (m_options.nShowMs == 0)
    {
        PressExit();
        return;
    }
    ::SetTimer(m_hWnd, kShowTimer, static_cast<UINT>(m_options.nShowMs), &CDriveDlg::OnShowTimer);
    // The about box runs its own modal loop, which the timer reaches too.
    if (m_options.bAbout)
        ::PostMessageA(m_hWnd, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
}

void CALLBACK CDriveDlg::OnShowTimer(HWND hWnd, UINT, UINT_PTR idEvent, DWORD)
{
    ::KillTimer(hWnd, idEvent);
    // An about box in front is closed first, as the user would close it.
    HWND hPopup = ::GetLastActivePopup(hWnd);
    if (hPopup != nullptr && hPopup != hWnd)
        ::PostMessageA(hPopup, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    if (s_pActive != nullptr && s_pActive->m_hWnd == hWnd)
        s_pActive->PressExit();
}

void CDriveDlg::PressExit()
{
    // Exit, as the user's click on the button would.
    ::PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(m_hWnd, IDOK)));
}

void CDriveDlg::OnStatusPaint()
{
    // Only paints in the middle of a batch show that the pump let them through.
    if (!m_bBusy)
        return;
    ++m_nBusyPaints;
    m_strProgressSeen = static_cast<const char*>(m_lblStatus.GetMarkup());
    if (m_nBusyPaints == 1)
    {
        // By the first progress paint the walk has listed its first folder:
        // what the working set gains after it, the drop itself keeps.
        m_nFirstPaintWorkingSet = WorkingSetKB();
        m_strFirstProgress = m_strProgressSeen;
    }
    if (m_options.bDropDuring && !m_bDroppedDuring)
    {
        // Posted, as the shell posts a drop: it reaches the dialog through
        // the batch's own message pump.
        m_bDroppedDuring = true;
        HDROP hDrop = BuildDropFiles(m_paths);
        if (hDrop != nullptr)
            ::PostMessageA(m_hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(hDrop), 0);
        printf("drop during batch: %s\n", hDrop != nullptr ? "posted" : "out of memory");
    }
}

DWORD CDriveDlg::GetPumpTickCount()
{
    const DWORD dwNow = ::GetTickCount();
    // The drop during a batch needs the batch to pump, however fast the
    // machine walks the pictures: the pump is due until it has painted.
    if (m_options.bDropDuring && !m_bDroppedDuring)
        m_dwLastPumpTick = dwNow - 251;
    return dwNow;
}

void CDriveDlg::ApplyOptions()
{
    if (m_options.nTarget != DriveOptions::kKeep)
    {
        HWND hCombo = ::GetDlgItem(m_hWnd, IDC_DATE_TO_CHANGE);
        ::SendMessageA(hCombo, CB_SETCURSEL, static_cast<WPARAM>(m_options.nTarget), 0);
        ::SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_DATE_TO_CHANGE, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(hCombo));
    }
    if (m_options.nSubfolders >= 0)
    {
        HWND hBox = ::GetDlgItem(m_hWnd, IDC_PROCESS_SUBFOLDERS);
        ::SendMessageA(hBox, BM_SETCHECK, m_options.nSubfolders ? BST_CHECKED : BST_UNCHECKED, 0);
        ::SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_PROCESS_SUBFOLDERS, BN_CLICKED),
                       reinterpret_cast<LPARAM>(hBox));
    }
    char szItem[64] = {};
    HWND hCombo = ::GetDlgItem(m_hWnd, IDC_DATE_TO_CHANGE);
    const LRESULT nSel = ::SendMessageA(hCombo, CB_GETCURSEL, 0, 0);
    if (nSel != CB_ERR)
        ::SendMessageA(hCombo, CB_GETLBTEXT, static_cast<WPARAM>(nSel), reinterpret_cast<LPARAM>(szItem));
    printf("options: date to change \"%s\", process subfolders %s\n", nSel == CB_ERR ? "" : szItem,
           ::IsDlgButtonChecked(m_hWnd, IDC_PROCESS_SUBFOLDERS) == BST_CHECKED ? "on" : "off");
}

void CDriveDlg::HoldFiles()
{
    for (const std::string& path : m_options.holds)
    {
        // Read access, sharing for reading only: nobody else may write.
        HANDLE hFile = CreateFileA(FullPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        printf("hold: %s %s\n", path.c_str(), hFile == INVALID_HANDLE_VALUE ? "failed" : "open");
        if (hFile != INVALID_HANDLE_VALUE)
            m_holds.push_back(hFile);
    }
    for (const std::string& path : m_options.locks)
    {
        // No sharing at all: nobody else may even read.
        HANDLE hFile = CreateFileA(FullPath(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
        printf("lock: %s %s\n", path.c_str(), hFile == INVALID_HANDLE_VALUE ? "failed" : "open");
        if (hFile != INVALID_HANDLE_VALUE)
            m_holds.push_back(hFile);
    }
}

void CDriveDlg::ReleaseFiles()
{
    for (HANDLE hFile : m_holds)
        CloseHandle(hFile);
    m_holds.clear();
}

bool CDriveDlg::Drop()
{
    HDROP hDrop = BuildDropFiles(m_paths);
    if (hDrop == nullptr)
    {
        printf("drop: out of memory\n");
        return false;
    }
    // Sent, not posted: the batch has run when the call returns. The dialog
    // releases the handle (DragFinish).
    LARGE_INTEGER start, end, frequency;
    ::QueryPerformanceCounter(&start);
    ::SendMessageA(m_hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(hDrop), 0);
    WaitUntilIdle();
    ::QueryPerformanceCounter(&end);
    m_nEndWorkingSet = WorkingSetKB();
    ::QueryPerformanceFrequency(&frequency);
    m_dDropSeconds =
        static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    return true;
}

void CDriveDlg::WaitUntilIdle()
{
    // A drop the dialog deferred runs from its queue; let it finish.
    MSG msg;
    for (;;)
    {
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            if (msg.message == WM_QUIT)
            {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            if (!::IsDialogMessageA(m_hWnd, &msg))
            {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        if (!m_bBusy)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

bool CDriveDlg::IsUndoEnabled() const
{
    return ::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_UNDO)) != FALSE;
}

std::string CDriveDlg::ReadStatusMarkup() const
{
    return static_cast<const char*>(m_lblStatus.GetMarkup());
}

void CDriveDlg::PrintStatusLinks(const char* prefix)
{
    // Links are known once the label has painted its current text.
    ::UpdateWindow(m_lblStatus.m_hWnd);
    const int nLinks = m_lblStatus.GetLinkCount();
    printf("%s links: %d\n", prefix, nLinks);
    for (int i = 0; i < nLinks; ++i)
        printf("%s link: %s\n", prefix, static_cast<const char*>(m_lblStatus.GetLinkTarget(i)));
}

void CDriveDlg::ReportDrop(int nDrop)
{
    char szPrefix[32];
    snprintf(szPrefix, sizeof(szPrefix), "drop %d", nDrop);
    printf("%s status: %s\n", szPrefix, ReadStatusMarkup().c_str());
    PrintStatusLinks(szPrefix);
    printf("%s log: %s\n", szPrefix, m_strLogPath.IsEmpty() ? "off" : "on");
    printf("%s journal: %s\n", szPrefix, m_strUndoPath.IsEmpty() ? "none" : "kept");
    printf("%s undo button: %s\n", szPrefix, IsUndoEnabled() ? "enabled" : "disabled");
    printf("%s busy paints: %d\n", szPrefix, m_nBusyPaints);
    // The batch's own time, from WM_DROPFILES to its end, for the benchmarks.
    printf("%s seconds: %.6f\n", szPrefix, m_dDropSeconds);
    if (!m_strProgressSeen.empty())
        printf("%s progress seen: %s\n", szPrefix, m_strProgressSeen.c_str());
    if (!m_strFirstProgress.empty())
    {
        printf("%s first progress seen: %s\n", szPrefix, m_strFirstProgress.c_str());
        printf("%s working set at first progress paint: %lu KB\n", szPrefix, m_nFirstPaintWorkingSet);
        printf("%s working set at end: %lu KB\n", szPrefix, m_nEndWorkingSet);
    }
    fflush(stdout);
    m_nBusyPaints = 0;
    m_strProgressSeen.clear();
    m_strFirstProgress.clear();
    CopyTempFiles();
}

void CDriveDlg::CopyTempFiles()
{
    if (!m_options.strLogCopy.empty() && !m_strLogPath.IsEmpty())
        CopyFileA(m_strLogPath, m_options.strLogCopy.c_str(), FALSE);
    CopyOrRemove(static_cast<const char*>(m_strUndoPath), m_options.strJournalCopy);
}

void CDriveDlg::PressUndo()
{
    if (!IsUndoEnabled())
    {
        // A user cannot click a disabled button.
        printf("undo: button disabled, not pressed\n");
        return;
    }
    const std::string strJournal = static_cast<const char*>(m_strUndoPath);
    {
        // The question gets the chosen answer; a report after it, its OK.
        MessageBoxAnswerer answerer(m_hWnd, {m_options.bUndoAnswerYes ? IDYES : IDNO, IDOK});
        ::SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_UNDO, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(m_hWnd, IDC_UNDO)));
        for (const MessageBoxAnswerer::Box& box : answerer.Boxes())
            printf("undo box: %s: %s\n", box.caption.c_str(), box.text.c_str());
    }
    printf("undo status: %s\n", ReadStatusMarkup().c_str());
    printf("undo journal: %s\n", FileExists(strJournal) ? "kept" : "deleted");
    printf("undo button: %s\n", IsUndoEnabled() ? "enabled" : "disabled");
    fflush(stdout);
}

void CDriveDlg::ReportClosed()
{
    PROCESS_MEMORY_COUNTERS counters;
    if (ReadMemoryCounters(counters))
        printf("peak working set: %lu KB\n", static_cast<unsigned long>(counters.PeakWorkingSetSize / 1024));
    printf("closed: log %s, journal %s\n",
           m_strLastLogPath.empty() ? "none" : (FileExists(m_strLastLogPath) ? "kept" : "deleted"),
           m_strLastUndoPath.empty() ? "none" : (FileExists(m_strLastUndoPath) ? "kept" : "deleted"));
    fflush(stdout);
}
