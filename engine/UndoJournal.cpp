// The undo journal: records written during a drop, replayed by the Undo button.
#include "MainDlg.h"
#include "UndoJournal.h"
#include "resource.h"

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

bool FormatJournalRecord(const char* path, const CTime& timeCreated, const CTime& timeModified,
                         CString& record)
{
    struct tm created, modified;
    if (!timeCreated.GetLocalTm(&created) || !timeModified.GetLocalTm(&modified))
        return false;
    record.Format("%s\nCreated: %d:%d:%d %d:%d:%d\nModified: %d:%d:%d %d:%d:%d\n", path,
                  created.tm_year + 1900, created.tm_mon + 1, created.tm_mday, created.tm_hour,
                  created.tm_min, created.tm_sec, modified.tm_year + 1900, modified.tm_mon + 1,
                  modified.tm_mday, modified.tm_hour, modified.tm_min, modified.tm_sec);
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
        ::DeleteFileA(m_strUndoPath);
        m_strUndoPath.Empty();
    }
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_UNDO), FALSE);
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
