#include "framework/CFile.h"

#include "framework/FileTimeStore.h"
#include "framework/LongPath.h"

#include <cstring>

namespace
{
// The first throw of a process lazily sets up the runtime's locks, which clears the
// thread's last error before the catch runs. Setting it again while this frame is
// unwound (after that set-up) keeps it for the catcher.
class CLastErrorOnUnwind
{
public:
    explicit CLastErrorOnUnwind(DWORD dwError) : m_dwError(dwError) {}
    ~CLastErrorOnUnwind() { SetLastError(m_dwError); }

private:
    DWORD m_dwError;
};

[[noreturn]] void ThrowOsError(DWORD dwError, const char* pszFileName)
{
    // Some failing calls leave no code; a zero would read as success to the catcher.
    if (dwError == ERROR_SUCCESS)
        dwError = ERROR_GEN_FAILURE;
    CFileException* pException =
        new CFileException(CFileException::OsErrorToException(static_cast<LONG>(dwError)),
                           static_cast<LONG>(dwError), pszFileName);
    CLastErrorOnUnwind restore(dwError);
    SetLastError(dwError);
    throw pException;
}
} // namespace

int CFileException::OsErrorToException(LONG lOsError)
{
    switch (lOsError)
    {
    case NO_ERROR:
        return none;
    case ERROR_FILE_NOT_FOUND:
        return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
        return badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
        return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return accessDenied;
    case ERROR_INVALID_HANDLE:
        return invalidFile;
    case ERROR_CURRENT_DIRECTORY:
        return removeCurrentDir;
    case ERROR_CANNOT_MAKE:
        return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
        return badSeek;
    case ERROR_CRC:
    case ERROR_GEN_FAILURE:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
        return hardIO;
    case ERROR_SHARING_VIOLATION:
        return sharingViolation;
    case ERROR_LOCK_VIOLATION:
        return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return diskFull;
    case ERROR_HANDLE_EOF:
        return endOfFile;
    default:
        return genericException;
    }
}

namespace
{
// The full name a status record carries; empty for names the record cannot
// hold, whose files have a status all the same.
BOOL FullName(const char* pszFileName, char (&szFull)[MAX_PATH])
{
    char* pFilePart = nullptr;
    DWORD dwLength = AfxGetFullPathName(pszFileName, MAX_PATH, szFull, &pFilePart);
    if (dwLength == 0)
        return FALSE;
    if (dwLength >= MAX_PATH)
        szFull[0] = '\0';
    return TRUE;
}

BOOL FillStatus(const char* pszFileName, const WIN32_FILE_ATTRIBUTE_DATA& data, const char* pszFullName,
                CFileStatus& rStatus)
{
    FILETIME created, accessed, written;
    if (!GetFileTimeStore().GetTimesWithAttributes(pszFileName, data, &created, &accessed, &written))
        return FALSE;
    rStatus.m_ctime = CTime(created);
    rStatus.m_atime = CTime(accessed);
    rStatus.m_mtime = CTime(written);
    rStatus.m_size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    rStatus.m_attribute = static_cast<BYTE>(data.dwFileAttributes);
    strcpy(rStatus.m_szFullName, pszFullName);
    return TRUE;
}

FILETIME AsFileTime(const LARGE_INTEGER& value)
{
    FILETIME ft;
    ft.dwLowDateTime = value.LowPart;
    ft.dwHighDateTime = static_cast<DWORD>(value.HighPart);
    return ft;
}

// Writes a record whose file has the attributes dwCurrent now, in the order that
// lets every part through: a read-only bit being cleared goes first, or it would
// block the times; one being set goes last. The times are written knowing the
// attributes the file has at that point.
template <class SetAttributes, class SetTimes>
void WriteStatus(DWORD dwCurrent, const CFileStatus& status, const char* pszFileName,
                 SetAttributes setAttributes, SetTimes setTimes)
{
    // Only the bits the record can hold are compared and replaced.
    const DWORD dwWanted = (dwCurrent & ~0xFFu) | status.m_attribute;
    const bool bAttributesDiffer = (dwCurrent & 0xFFu) != status.m_attribute;
    const bool bAttributesFirst =
        bAttributesDiffer && (dwCurrent & FILE_ATTRIBUTE_READONLY) && !(dwWanted & FILE_ATTRIBUTE_READONLY);
    if (bAttributesFirst && !setAttributes(dwWanted))
        ThrowOsError(GetLastError(), pszFileName);

    FILETIME created, accessed, written;
    const bool bCreated = status.m_ctime.GetAsFileTime(created);
    const bool bAccessed = status.m_atime.GetAsFileTime(accessed);
    const bool bWritten = status.m_mtime.GetAsFileTime(written);
    if ((bCreated || bAccessed || bWritten) &&
        !setTimes(bAttributesFirst ? dwWanted : dwCurrent, bCreated ? &created : nullptr,
                  bAccessed ? &accessed : nullptr, bWritten ? &written : nullptr))
        ThrowOsError(GetLastError(), pszFileName);

    if (bAttributesDiffer && !bAttributesFirst && !setAttributes(dwWanted))
        ThrowOsError(GetLastError(), pszFileName);
}
} // namespace

BOOL CFile::GetStatus(const char* pszFileName, CFileStatus& rStatus)
{
    if (!pszFileName || !*pszFileName)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    char szFull[MAX_PATH];
    if (!FullName(pszFileName, szFull))
        return FALSE;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!AfxGetFileAttributesEx(pszFileName, GetFileExInfoStandard, &data))
        return FALSE;
    return FillStatus(pszFileName, data, szFull, rStatus);
}

BOOL CFile::GetStatus(CFileStatus& rStatus) const
{
    DWORD dwAttributes;
    LARGE_INTEGER size;
    if (!GetTimesAndAttributes(rStatus, dwAttributes) || !GetFileSizeEx(m_hFile, &size))
        return FALSE;
    rStatus.m_size = static_cast<ULONGLONG>(size.QuadPart);
    return TRUE;
}

BOOL CFile::GetTimesAndAttributes(CFileStatus& rStatus, DWORD& dwAttributes) const
{
    FILE_BASIC_INFO basic;
    if (!GetFileInformationByHandleEx(m_hFile, FileBasicInfo, &basic, sizeof(basic)))
        return FALSE;
    WIN32_FILE_ATTRIBUTE_DATA data;
    data.dwFileAttributes = basic.FileAttributes;
    data.ftCreationTime = AsFileTime(basic.CreationTime);
    data.ftLastAccessTime = AsFileTime(basic.LastAccessTime);
    data.ftLastWriteTime = AsFileTime(basic.LastWriteTime);
    data.nFileSizeHigh = 0;
    data.nFileSizeLow = 0;
    // As MFC does, the open file reports the name it was given: asking the
    // system to make it full again would cost a call for every picture.
    const char* pszFullName =
        m_strFileName.GetLength() < MAX_PATH ? static_cast<const char*>(m_strFileName) : "";
    if (!FillStatus(m_strFileName, data, pszFullName, rStatus))
        return FALSE;
    dwAttributes = basic.FileAttributes;
    return TRUE;
}

void CFile::SetStatus(const char* pszFileName, const CFileStatus& status)
{
    if (!pszFileName || !*pszFileName)
        ThrowOsError(ERROR_INVALID_PARAMETER, pszFileName);
    DWORD dwCurrent = AfxGetFileAttributes(pszFileName);
    if (dwCurrent == INVALID_FILE_ATTRIBUTES)
        ThrowOsError(GetLastError(), pszFileName);
    WriteStatus(
        dwCurrent, status, pszFileName,
        [pszFileName](DWORD dwAttributes) { return AfxSetFileAttributes(pszFileName, dwAttributes); },
        [pszFileName](DWORD, const FILETIME* created, const FILETIME* accessed, const FILETIME* written)
        { return GetFileTimeStore().SetTimes(pszFileName, created, accessed, written); });
}

void CFile::SetStatus(const CFileStatus& status)
{
    FILE_BASIC_INFO basic;
    if (!GetFileInformationByHandleEx(m_hFile, FileBasicInfo, &basic, sizeof(basic)))
        ThrowOsError(GetLastError(), m_strFileName);
    SetStatus(status, basic.FileAttributes);
}

void CFile::SetStatus(const CFileStatus& status, DWORD dwAttributes)
{
    HANDLE hFile = m_hFile;
    const char* pszFileName = m_strFileName;
    WriteStatus(
        dwAttributes, status, pszFileName,
        [hFile](DWORD dwAttributes)
        {
            // Zero times leave the times alone; zero attributes would too, so "none" is spelled out.
            FILE_BASIC_INFO change = {};
            change.FileAttributes = dwAttributes ? dwAttributes : FILE_ATTRIBUTE_NORMAL;
            return SetFileInformationByHandle(hFile, FileBasicInfo, &change, sizeof(change));
        },
        [hFile, pszFileName](DWORD dwAttributes, const FILETIME* created, const FILETIME* accessed,
                             const FILETIME* written)
        {
            return GetFileTimeStore().SetTimesOfOpenFile(hFile, pszFileName, dwAttributes, created, accessed,
                                                         written);
        });
}
