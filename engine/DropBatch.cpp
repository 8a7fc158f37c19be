// The drop batch: every dropped file and folder, walked in order.
#include "app/MainDlg.h"
#include "framework/FolderHandle.h"
#include "framework/LongPath.h"
#include "engine/DropBatch.h"
#include "engine/DropPaths.h"

#include <utility>

DropBatch NewDropBatch(DateTarget target)
{
    switch (target)
    {
    case kDateModified:
        break;
    case kDateCreated:
        return {false, true, 0, 0};
    case kModifiedAndCreated:
        return {true, true, 0, 0};
    }
    return {true, false, 0, 0};
}

void CMainDlg::OnDropFiles(HDROP hDropInfo)
{
    m_pendingDrops.push_back(ReadDropPaths(hDropInfo));
    ::DragFinish(hDropInfo);
    // A drop that arrives while a batch dispatches messages, or while the undo
    // waits for its answer, must not start a batch inside that work: it waits
    // for its turn, which comes when the running work ends.
    if (!m_bBusy && !m_bUndoRunning)
        RunPendingDrops();
    Default();
}

void CMainDlg::RunPendingDrops()
{
    while (!m_pendingDrops.empty())
    {
        std::vector<CString> paths = std::move(m_pendingDrops.front());
        m_pendingDrops.pop_front();
        RunDropBatch(paths);
    }
}

void CMainDlg::RunDropBatch(const std::vector<CString>& paths)
{
    BeginBusy();
    DropBatch batch = NewDropBatch(DateTargetFromIndex(m_cbDateToChange.GetCurSel()));

    CreateTempFile(m_strUndoPath, m_fileUndo);
    m_bUndoWriteFailed = false;
    ReopenLog();
    m_visitedFolders.Clear();

    WriteLog(false, "\n\n");
    WriteLog(true,
             "Starting to process files or folders. Change Modified Date: %s. Change Created Date: %s\n",
             batch.bChangeModified ? "yes" : "no", batch.bChangeCreated ? "yes" : "no");
    for (const CString& strPath : paths)
    {
        WIN32_FILE_ATTRIBUTE_DATA attributes;
        if (!AfxGetFileAttributesEx(strPath, GetFileExInfoStandard, &attributes))
            continue;
        if (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ProcessFolder(strPath, batch);
        else
            ProcessFile(strPath, batch.bChangeModified, batch.bChangeCreated, batch.nJpgFiles,
                        batch.nChanged);
    }
    WriteLog(true, "Finished processing files or folders\n");
    WriteLog(false, "\t\tTotal JPG files dropped %d\n", batch.nJpgFiles);
    WriteLog(false, "\t\tTotal changed %d\n", batch.nChanged);
    WriteLog(false, "\n");

    ShowStatus(batch.nJpgFiles, batch.nChanged, !m_strLogPath.IsEmpty());
    if (!m_strUndoPath.IsEmpty())
        m_fileUndo.Close();
    if (!m_strLogPath.IsEmpty())
        m_fileLog.Close();
    if (batch.nChanged == 0 || m_strUndoPath.IsEmpty())
    {
        if (!m_strUndoPath.IsEmpty())
            AfxDeleteFile(m_strUndoPath);
        m_strUndoPath.Empty();
    }
    m_visitedFolders.Clear();
    SetBusy(false, batch.nChanged > 0 && !m_strUndoPath.IsEmpty());
}

void CMainDlg::ProcessFolder(const CString& strFolder, DropBatch& batch, DWORD dwFoundAttributes)
{
    WriteLog(true, "Working on folder \"%s\"\n", static_cast<const char*>(strFolder));
    if (!m_visitedFolders.Enter(strFolder, dwFoundAttributes))
    {
        WriteLog(true, "Skipped folder \"%s\": already walked in this drop\n",
                 static_cast<const char*>(strFolder));
        return;
    }
    // A drive root arrives with its backslash already.
    CString strPattern = strFolder;
    if (strPattern.IsEmpty() || strPattern[strPattern.GetLength() - 1] != '\\')
        strPattern += '\\';
    strPattern += '*';

    // A folder that holds many files is held open, and each of them is
    // opened by its name within it: the system then looks up one name, not
    // the whole path. Holding the folder costs as much as that saves on about
    // ten files, so a folder of a few is not held.
    const int kFilesBeforeHolding = 8;
    CFolderHandle folder;
    int nFiles = 0;
    CFileFind finder;
    BOOL bMore = finder.FindFile(strPattern);
    while (bMore)
    {
        bMore = finder.FindNextFile();
        if (!finder.MatchesMask(FILE_ATTRIBUTE_DIRECTORY))
        {
            if (++nFiles == kFilesBeforeHolding)
                folder.Open(strFolder);
            ProcessFile(finder.GetFilePath(), batch.bChangeModified, batch.bChangeCreated, batch.nJpgFiles,
                        batch.nChanged, &folder);
        }
        else if (m_bProcessSubfolders && !finder.IsDots())
            // Only the link bit tells a subfolder apart: the walk knows it already.
            ProcessFolder(finder.GetFilePath(), batch,
                          finder.MatchesMask(FILE_ATTRIBUTE_REPARSE_POINT)
                              ? FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT
                              : FILE_ATTRIBUTE_DIRECTORY);
    }
    finder.Close();
    m_visitedFolders.Leave();
}
