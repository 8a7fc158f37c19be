#include "framework/CHeldFile.h"
#include "framework/LongPath.h"

namespace
{
// Write access first, so that the times can later be set through the same
// handle; where it is refused, the file is read alone.
template <class OpenCall> HANDLE OpenForChange(OpenCall open, bool& bWritable)
{
    HANDLE hFile = open(GENERIC_READ | GENERIC_WRITE);
    bWritable = hFile != INVALID_HANDLE_VALUE;
    if (!bWritable)
        hFile = open(GENERIC_READ);
    return hFile;
}
} // namespace

bool CHeldFile::Open(const char* pszFileName, const CFolderHandle* pFolder)
{
    bool bWritable = false;
    HANDLE hFile = INVALID_HANDLE_VALUE;
    if (pFolder && pFolder->IsOpen())
        hFile = OpenForChange([&](DWORD dwAccess)
                              { return pFolder->OpenEntry(pszFileName, dwAccess, kFileShareAll); },
                              bWritable);
    // By path where the folder cannot open it: whatever refuses the file
    // answers then as it always does.
    if (hFile == INVALID_HANDLE_VALUE)
        // Plain handles: a C stream around one would cost the system a query of
        // the file's type for every picture.
        hFile = OpenForChange(
            [&](DWORD dwAccess)
            {
                return AfxCreateFile(pszFileName, dwAccess, kFileShareAll, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
            },
            bWritable);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    m_bWritable = bWritable;
    m_handle.Attach(hFile);
    m_file.m_hFile = hFile;
    m_file.SetFilePath(pszFileName);
    return true;
}

DWORD CHeldFile::Read(void* pBuffer, DWORD nCount)
{
    DWORD nRead = 0;
    if (m_file.m_hFile == INVALID_HANDLE_VALUE ||
        !::ReadFile(m_file.m_hFile, pBuffer, nCount, &nRead, nullptr))
        return 0;
    return nRead;
}

BOOL CHeldFile::GetTimesAndAttributes(CFileStatus& rStatus)
{
    m_bAttributesRead = m_file.GetTimesAndAttributes(rStatus, m_dwAttributes) != FALSE;
    return m_bAttributesRead ? TRUE : FALSE;
}

bool CHeldFile::SetStatus(const CFileStatus& status, DWORD& dwError)
{
    // Read just before, through this handle: asking again would cost the
    // system a query for every picture.
    const bool bAttributesRead = m_bAttributesRead;
    m_bAttributesRead = false;
    try
    {
        if (m_bWritable && bAttributesRead)
            m_file.SetStatus(status, m_dwAttributes);
        else if (m_bWritable)
            m_file.SetStatus(status);
        else
            CFile::SetStatus(m_file.GetFilePath(), status);
    }
    catch (CFileException* e)
    {
        // The code travels with the exception: unwinding may reset the last error.
        dwError = static_cast<DWORD>(e->m_lOsError);
        e->Delete();
        return false;
    }
    catch (CException* e)
    {
        dwError = ::GetLastError();
        e->Delete();
        return false;
    }
    return true;
}
