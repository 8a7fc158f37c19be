// The undo journal: records written during a drop, replayed by the Undo button.
#include "app/MainDlg.h"
#include "framework/LongPath.h"
#include "engine/UndoJournal.h"
#include "engine/Decimal.h"
#include "resources/resource.h"

#include <cstring>
#include <utility>

int ParseNextInt(const char*& pos)
{
    char lastSkipped = '\0';
    while (*pos != '\0' && (*pos < '0' || *pos > '9'))
        lastSkipped = *pos++;
    if (*pos == '\0')
        return 0;
    // Unsigned arithmetic: a run of digits too long for an int wraps instead
    // of overflowing; such a number then fails the range checks of the caller.
    unsigned value = 0;
    while (*pos >= '0' && *pos <= '9')
        value = value * 10u + static_cast<unsigned>(*pos++ - '0');
    if (lastSkipped == '-')
        value = 0u - value;
    return static_cast<int>(value);
}

bool ParseJournalTime(const char* line, CTime& time)
{
    const char* pos = line;
    int year = ParseNextInt(pos);
    int month = ParseNextInt(pos);
    int day = ParseNextInt(pos);
    int hour = ParseNextInt(pos);
    int minute = ParseNextInt(pos);
    int second = ParseNextInt(pos);
    // The program writes these lines from real local times; anything else was
    // edited by hand and must not be rolled over into some other moment.
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59 || second < 0 || second > 59)
        return false;
    CTime candidate(year, month, day, hour, minute, second, -1);
    struct tm fields;
    if (!candidate.IsValid() || !candidate.GetLocalTm(&fields))
        return false;
    // 31 February, or an hour skipped by the daylight-saving change, comes
    // back as other fields.
    if (fields.tm_year + 1900 != year || fields.tm_mon + 1 != month || fields.tm_mday != day ||
        fields.tm_hour != hour || fields.tm_min != minute || fields.tm_sec != second)
        return false;
    time = candidate;
    return true;
}

namespace
{
char* PutJournalTime(char* p, const struct tm& fields)
{
    // Years of file times are from 1601 to 30827: never negative.
    p = PutDecimal(p, static_cast<unsigned>(fields.tm_year + 1900));
    *p++ = ':';
    p = PutDecimal(p, static_cast<unsigned>(fields.tm_mon + 1));
    *p++ = ':';
    p = PutDecimal(p, static_cast<unsigned>(fields.tm_mday));
    *p++ = ' ';
    p = PutDecimal(p, static_cast<unsigned>(fields.tm_hour));
    *p++ = ':';
    p = PutDecimal(p, static_cast<unsigned>(fields.tm_min));
    *p++ = ':';
    p = PutDecimal(p, static_cast<unsigned>(fields.tm_sec));
    return p;
}
} // namespace

bool FormatJournalRecord(const char* path, const CTime& timeCreated, const CTime& timeModified,
                         CString& record)
{
    struct tm created, modified;
    if (!timeCreated.GetLocalTm(&created) || !timeModified.GetLocalTm(&modified))
        return false;
    // Written once per changed picture: composed by hand, in one allocation.
    char szTimes[80] = "\nCreated: ";
    char* p = PutJournalTime(szTimes + 10, created);
    memcpy(p, "\nModified: ", 11);
    p = PutJournalTime(p + 11, modified);
    *p++ = '\n';
    const int nPath = static_cast<int>(strlen(path));
    const int nTimes = static_cast<int>(p - szTimes);
    // A fresh string: the path may be the record's own text.
    CString result;
    char* pResult = result.GetBufferSetLength(nPath + nTimes);
    if (!pResult)
        return false;
    memcpy(pResult, path, static_cast<size_t>(nPath));
    memcpy(pResult + nPath, szTimes, static_cast<size_t>(nTimes));
    record = std::move(result);
    return true;
}

bool CMainDlg::WriteUndoRecord(const CString& strPath, const CTime& timeCreated, const CTime& timeModified)
{
    if (m_strUndoPath.IsEmpty())
        return true;
    // After one failed write the journal may end in a partial record; adding
    // more after it would shift every later record at undo.
    if (m_bUndoWriteFailed)
        return false;
    CString record;
    if (!FormatJournalRecord(strPath, timeCreated, timeModified, record))
        return false;
    if (!m_fileUndo.WriteString(record) || !m_fileUndo.Flush())
    {
        m_bUndoWriteFailed = true;
        return false;
    }
    return true;
}

void CMainDlg::OnUndo()
{
    // A command can reach the dialog through a batch's pump (a click queued
    // before the controls were disabled, a posted command) or through the
    // question's own message loop: the running work refuses it, whatever
    // the button's state.
    if (m_bBusy || m_bUndoRunning)
        return;
    // The message boxes dispatch messages; a drop among them waits (OnDropFiles).
    m_bUndoRunning = true;
    if (AfxMessageBox("Undo last change?", MB_YESNO | MB_ICONQUESTION) == IDYES)
    {
        if (m_strUndoPath.IsEmpty() ||
            !m_fileUndo.Open(m_strUndoPath, CFile::modeRead | CFile::shareDenyWrite))
            AfxMessageBox("Could not process undo information", MB_OK);
        else
            ReplayUndoJournal();
    }
    if (!m_strUndoPath.IsEmpty())
    {
        AfxDeleteFile(m_strUndoPath);
        m_strUndoPath.Empty();
    }
    // The button just pressed usually has the focus, which a disabled
    // control cannot keep: it moves on first, or the keyboard is left dead.
    HWND hUndo = ::GetDlgItem(m_hWnd, IDC_UNDO);
    if (hUndo && ::GetFocus() == hUndo)
        ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, FALSE);
    ::EnableWindow(hUndo, FALSE);
    m_bUndoRunning = false;
    if (!m_bBusy)
        RunPendingDrops();
}

void CMainDlg::ReplayUndoJournal()
{
    BeginWaitCursor();
    int nRecords = 0;
    int nRestored = 0;
    CString strPath, strCreated, strModified;
    for (;;)
    {
        BOOL bPath = m_fileUndo.ReadString(strPath);
        BOOL bCreated = m_fileUndo.ReadString(strCreated);
        BOOL bModified = m_fileUndo.ReadString(strModified);
        if (!bPath || !bCreated || !bModified)
            break;
        ++nRecords;
        CFileStatus status;
        CTime timeCreated, timeModified;
        if (!CFile::GetStatus(strPath, status) || !ParseJournalTime(strCreated, timeCreated) ||
            !ParseJournalTime(strModified, timeModified))
            continue;
        status.m_ctime = timeCreated;
        status.m_mtime = timeModified;
        try
        {
            CFile::SetStatus(strPath, status);
            ++nRestored;
        }
        catch (CException* e)
        {
            e->Delete();
        }
    }
    m_fileUndo.Close();
    EndWaitCursor();
    if (nRecords > 0)
    {
        CString text;
        text.Format("<font color=\"DarkRed\">Restored date for <b>%d</b> out of <b>%d</b> jpg files</font>",
                    nRestored, nRecords);
        m_lblStatus.SetMarkupText(text);
    }
}
