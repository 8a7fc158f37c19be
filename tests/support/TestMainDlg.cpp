#include "tests/support/TestMainDlg.h"

#include "tests/support/Bytes.h"
#include "tests/support/DropFiles.h"

#include "resources/resource.h"

#include <regex>

bool CTestMainDlg::Open()
{
    return Create(IDD_MAIN, nullptr) != FALSE;
}

void CTestMainDlg::Close()
{
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

BOOL CTestMainDlg::OnInitDialog()
{
    BOOL result = CMainDlg::OnInitDialog();
    init.captured = true;
    init.visible = IsWindowVisible() != FALSE;
    init.topmost = IsTopmost(m_hWnd);
    init.keepOnTopChecked = IsChecked(m_hWnd, IDC_KEEP_ON_TOP);
    init.subfoldersChecked = IsChecked(m_hWnd, IDC_PROCESS_SUBFOLDERS);
    init.subfoldersOption = m_bProcessSubfolders;
    HWND hList = ::GetDlgItem(m_hWnd, IDC_DATE_TO_CHANGE);
    init.dateSelection = static_cast<int>(::SendMessageA(hList, CB_GETCURSEL, 0, 0));
    init.dateItems = static_cast<int>(::SendMessageA(hList, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < 3 && i < init.dateItems; ++i)
    {
        char item[64] = {};
        if (::SendMessageA(hList, CB_GETLBTEXTLEN, i, 0) < static_cast<LRESULT>(sizeof(item)))
            ::SendMessageA(hList, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        init.dateItemTexts[i] = item;
    }
    init.statusText = WindowText(::GetDlgItem(m_hWnd, IDC_STATUS));
    init.statusLinks = m_lblStatus.GetLinkCount();
    init.logPath = static_cast<const char*>(m_strLogPath);
    init.zOrderRequests = zOrderRequests;
    return result;
}

namespace
{
UINT ProbeMessage()
{
    static const UINT nMessage = ::RegisterWindowMessageA("Chronoshift test probe");
    return nMessage;
}
} // namespace

void CTestMainDlg::PostProbe()
{
    ::PostMessageA(m_hWnd, ProbeMessage(), 0, 0);
}

LRESULT CTestMainDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == ProbeMessage())
    {
        if (m_onProbe)
            m_onProbe();
        return 0;
    }
    if (message == WM_APP_COMMAND_SHOW_LOG && m_bCatchShowLog)
    {
        ++m_nShowLogCalls;
        return 0;
    }
    return CMainDlg::WindowProc(message, wParam, lParam);
}

DWORD CTestMainDlg::GetPumpTickCount()
{
    ++m_nTickReads;
    if (m_onTick)
        m_onTick();
    if (!m_bFakeTick)
        return ::GetTickCount();
    DWORD dwTick = m_dwFakeTick;
    m_dwFakeTick += m_dwTickStep;
    return dwTick;
}

std::string CTestMainDlg::StatusMarkup()
{
    return static_cast<const char*>(m_lblStatus.GetMarkup());
}

std::string CTestMainDlg::LogText()
{
    // Within a drop the log is buffered; the tests look at it between files.
    m_fileLog.Flush();
    return ReadBytes(static_cast<const char*>(m_strLogPath));
}

std::vector<std::string> CTestMainDlg::LogLines()
{
    std::vector<std::string> lines;
    for (const std::string& line : SplitLines(WithoutStamps(LogText())))
        if (line.find("   File ") != std::string::npos)
            lines.push_back(line);
    return lines;
}

bool CTestMainDlg::BeginBatchFiles()
{
    CreateTempFile(m_strUndoPath, m_fileUndo);
    if (m_strUndoPath.IsEmpty() || m_strLogPath.IsEmpty())
        return false;
    if (!m_fileLog.Open(m_strLogPath, CFile::modeNoTruncate | CFile::modeWrite | CFile::shareDenyNone))
        return false;
    m_fileLog.SeekToEnd();
    return true;
}

void CTestMainDlg::EndBatchFiles()
{
    m_fileUndo.Close();
    m_fileLog.Close();
}

void CTestMainDlg::Drop(const std::vector<std::string>& paths)
{
    ::SendMessageA(m_hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(BuildDropFiles(paths)), 0);
}

void CTestMainDlg::SelectTarget(int nIndex)
{
    m_cbDateToChange.SetCurSel(nIndex);
}

bool CTestMainDlg::IsControlEnabled(int nID)
{
    return ::IsWindowEnabled(::GetDlgItem(m_hWnd, nID)) != FALSE;
}

std::string WithoutStamps(const std::string& text)
{
    static const std::regex stamp("(^|\n)[0-9]{4}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}  --  ");
    return std::regex_replace(text, stamp, "$1<stamp>");
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size())
    {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
        {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

bool IsTopmost(HWND hwnd)
{
    return (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

bool IsChecked(HWND hDlg, int id)
{
    return IsDlgButtonChecked(hDlg, id) == BST_CHECKED;
}

std::string WindowText(HWND hwnd)
{
    if (hwnd == nullptr)
        return "(no window)";
    int length = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(hwnd, &text[0], length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}
