// The processing log and the temporary files of the program (log and journal).
#include "app/MainDlg.h"
#include "framework/LongPath.h"
#include "engine/ProcessingLog.h"
#include "engine/Decimal.h"
#include "engine/TempFile.h"
#include "resources/Version.h"

#include <cstdarg>
#include <cstring>
#include <memory>
#include <new>

void CMainDlg::CreateTempFile(CString& strPath, CStdioFile& file)
{
    file.Close();
    if (!strPath.IsEmpty())
    {
        AfxDeleteFile(strPath);
        strPath.Empty();
    }
    CString strFolder;
    if (!GetTempFolder(strFolder))
        return;
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    CString strNew;
    if (!CreateUniqueTempFile(strFolder, now, strNew))
        return;
    if (!file.Open(strNew, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone))
    {
        // The empty file is ours and nobody else will clean it up.
        AfxDeleteFile(strNew);
        return;
    }
    strPath = strNew;
}

void GetStampTime(SYSTEMTIME& now)
{
    // Every picture's line is stamped, and the system's conversion of its
    // clock to local time costs more than the rest of the line. Within one
    // second of the system clock the local time moves with it alone (a
    // zone's offset changes on a whole second), so it is converted once a second.
    const ULONGLONG kTicksPerSecond = 10000000;
    static ULONGLONG s_nSecondStart = 0;
    static ULONGLONG s_nSecondEnd = 0;
    static SYSTEMTIME s_local;
    FILETIME utc;
    ::GetSystemTimeAsFileTime(&utc);
    const ULONGLONG nTicks = (static_cast<ULONGLONG>(utc.dwHighDateTime) << 32) | utc.dwLowDateTime;
    if (nTicks < s_nSecondStart || nTicks >= s_nSecondEnd)
    {
        FILETIME local;
        if (!::FileTimeToLocalFileTime(&utc, &local) || !::FileTimeToSystemTime(&local, &s_local))
        {
            s_nSecondEnd = 0;
            ::GetLocalTime(&now);
            return;
        }
        s_nSecondStart = nTicks - nTicks % kTicksPerSecond;
        s_nSecondEnd = s_nSecondStart + kTicksPerSecond;
    }
    now = s_local;
}

namespace
{
// "yyyy/mm/dd hh:mm:ss  --  ", the stamp that opens a line.
void WriteStamp(CStdioFile& file, const SYSTEMTIME& stamp)
{
    char szStamp[32];
    char* p = PutDecimal(szStamp, stamp.wYear, 4);
    *p++ = '/';
    p = PutDecimal(p, stamp.wMonth, 2);
    *p++ = '/';
    p = PutDecimal(p, stamp.wDay, 2);
    *p++ = ' ';
    p = PutDecimal(p, stamp.wHour, 2);
    *p++ = ':';
    p = PutDecimal(p, stamp.wMinute, 2);
    *p++ = ':';
    p = PutDecimal(p, stamp.wSecond, 2);
    memcpy(p, "  --  ", 7);
    file.WriteString(szStamp);
}
} // namespace

void CMainDlg::WriteLog(bool bStamped, const char* format, ...)
{
    if (m_strLogPath.IsEmpty())
        return;
    // The log only informs; a failed write (full disk) must not stop the drop.
    if (bStamped)
    {
        SYSTEMTIME now;
        GetStampTime(now);
        WriteStamp(m_fileLog, now);
    }
    CString text;
    va_list args;
    va_start(args, format);
    text.FormatV(format, args);
    va_end(args);
    m_fileLog.WriteString(text);
}

void CMainDlg::WriteFileLine(const SYSTEMTIME& begun, unsigned nFile, const char* pszOutcome,
                             const char* pszLowerPath)
{
    if (m_strLogPath.IsEmpty())
        return;
    // "   File %6d %s\t File name \"%s\"\n", one per picture: written in
    // pieces, the number by hand.
    WriteStamp(m_fileLog, begun);
    char szNumber[24] = "   File ";
    char* p = PutDecimal(szNumber + 8, nFile, 6, ' ');
    *p++ = ' ';
    *p = '\0';
    m_fileLog.WriteString(szNumber);
    m_fileLog.WriteString(pszOutcome);
    m_fileLog.WriteString("\t File name \"");
    m_fileLog.WriteString(pszLowerPath);
    m_fileLog.WriteString("\"\n");
}

void CMainDlg::StartLog()
{
    CreateTempFile(m_strLogPath, m_fileLog);
    if (m_strLogPath.IsEmpty())
        return;
    WriteLog(true, "Chronoshift " CHRONOSHIFT_VERSION " program started\n");
    m_fileLog.Close();
}

void CMainDlg::ReopenLog()
{
    if (m_strLogPath.IsEmpty())
        return;
    // No modeCreate: a log deleted since the last drop stays gone and the log is off.
    if (!m_fileLog.Open(m_strLogPath, CFile::modeNoTruncate | CFile::modeWrite | CFile::shareDenyNone))
    {
        m_strLogPath.Empty();
        return;
    }
    m_fileLog.SeekToEnd();
}

void CMainDlg::DeleteTempFiles()
{
    m_fileUndo.Close();
    if (!m_strUndoPath.IsEmpty())
    {
        AfxDeleteFile(m_strUndoPath);
        m_strUndoPath.Empty();
    }
    m_fileLog.Close();
    if (!m_strLogPath.IsEmpty())
    {
        AfxDeleteFile(m_strLogPath);
        m_strLogPath.Empty();
    }
}

StartProcessFunc g_pfnStartProcess = ::CreateProcessA;

CString ShowLogCommandLine(const char* logPath)
{
    CString command("notepad.exe \"");
    command += logPath;
    command += '"';
    return command;
}

LRESULT CMainDlg::OnShowLog(WPARAM, LPARAM)
{
    if (m_strLogPath.IsEmpty())
        return 1;
    CString command = ShowLogCommandLine(m_strLogPath);
    // CreateProcessA may write into the command line, so it gets its own
    // buffer, as long as the command needs.
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[command.GetLength() + 1]);
    if (!buffer)
        return 1;
    memcpy(buffer.get(), static_cast<const char*>(command), command.GetLength() + 1);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (g_pfnStartProcess(nullptr, buffer.get(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                          nullptr, &startup, &process))
    {
        // Nothing waits for Notepad or tracks it.
        CKernelHandle thread(process.hThread), started(process.hProcess);
    }
    return 1;
}
