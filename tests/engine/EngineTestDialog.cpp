#include "EngineTestDialog.h"
#include "JpegFixture.h"

#include <shlobj.h>

#include <cstring>
#include <regex>

bool CTestMainDlg::Open()
{
    return Create(IDD, nullptr) != FALSE;
}

void CTestMainDlg::Close()
{
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
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
    ::SendMessageA(m_hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropHandle(paths)), 0);
}

void CTestMainDlg::SelectTarget(int nIndex)
{
    m_cbDateToChange.SetCurSel(nIndex);
}

bool CTestMainDlg::IsControlEnabled(int nID)
{
    return ::IsWindowEnabled(::GetDlgItem(m_hWnd, nID)) != FALSE;
}

HDROP MakeDropHandle(const std::vector<std::string>& paths)
{
    size_t nChars = 1;
    for (const std::string& path : paths)
        nChars += path.size() + 1;
    HGLOBAL hMem = ::GlobalAlloc(GHND, sizeof(DROPFILES) + nChars);
    DROPFILES* pDrop = static_cast<DROPFILES*>(::GlobalLock(hMem));
    pDrop->pFiles = sizeof(DROPFILES);
    pDrop->fWide = FALSE;
    char* pText = reinterpret_cast<char*>(pDrop + 1);
    for (const std::string& path : paths)
    {
        std::memcpy(pText, path.c_str(), path.size() + 1);
        pText += path.size() + 1;
    }
    *pText = '\0';
    ::GlobalUnlock(hMem);
    return static_cast<HDROP>(hMem);
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
