#include "framework/FileTimeStore.h"
#include "framework/Handles.h"
#include "framework/LongPath.h"

namespace
{
CWin32FileTimeStore g_win32Store;
IFileTimeStore* g_pStore = &g_win32Store;

bool HasPath(const char* path)
{
    if (!path)
        SetLastError(ERROR_INVALID_PARAMETER);
    return path != nullptr;
}

// By name, without denying anything to others; folders too.
HANDLE OpenByName(const char* path, DWORD dwAccess)
{
    return AfxCreateFile(path, dwAccess, kFileShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                         nullptr);
}

// The result of a call on the file, which is closed first: a close that
// fails fails the call, and the last error is the call's own.
BOOL CloseAfter(CKernelHandle& file, BOOL bOk)
{
    DWORD dwError = GetLastError();
    if (!file.Close() && bOk)
    {
        bOk = FALSE;
        dwError = GetLastError();
    }
    SetLastError(bOk ? ERROR_SUCCESS : dwError);
    return bOk;
}
} // namespace

BOOL CWin32FileTimeStore::GetTimes(const char* path, FILETIME* created, FILETIME* accessed, FILETIME* written)
{
    if (!HasPath(path))
        return FALSE;
    // Attribute access only: works while others hold the file open, and on folders.
    CKernelHandle file(OpenByName(path, FILE_READ_ATTRIBUTES));
    if (!file)
        return FALSE;
    return CloseAfter(file, GetFileTime(file.Get(), created, accessed, written));
}

BOOL CWin32FileTimeStore::GetTimesWithAttributes(const char* path, const WIN32_FILE_ATTRIBUTE_DATA& data,
                                                 FILETIME* created, FILETIME* accessed, FILETIME* written)
{
    if (!HasPath(path))
        return FALSE;
    // The same times GetFileTime would give, already read with the attributes.
    if (created)
        *created = data.ftCreationTime;
    if (accessed)
        *accessed = data.ftLastAccessTime;
    if (written)
        *written = data.ftLastWriteTime;
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL CWin32FileTimeStore::SetTimes(const char* path, const FILETIME* created, const FILETIME* accessed,
                                   const FILETIME* written)
{
    if (!HasPath(path))
        return FALSE;
    // Windows refuses write access to a read-only file; a process with root rights
    // under Wine would not, so the attribute is checked here as well.
    DWORD dwAttributes = AfxGetFileAttributes(path);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES)
        return FALSE;
    if ((dwAttributes & FILE_ATTRIBUTE_READONLY) && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
    {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    CKernelHandle file(OpenByName(path, GENERIC_WRITE));
    if (!file)
        return FALSE;
    return CloseAfter(file, SetFileTime(file.Get(), created, accessed, written));
}

BOOL CWin32FileTimeStore::SetTimesOfOpenFile(HANDLE hFile, const char* path, DWORD dwAttributes,
                                             const FILETIME* created, const FILETIME* accessed,
                                             const FILETIME* written)
{
    (void)path;
    // The same refusal as by name, for a handle that root under Wine could get.
    if ((dwAttributes & FILE_ATTRIBUTE_READONLY) && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
    {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (!SetFileTime(hFile, created, accessed, written))
        return FALSE;
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

IFileTimeStore* SetFileTimeStore(IFileTimeStore* pStore)
{
    IFileTimeStore* pPrevious = g_pStore;
    g_pStore = pStore ? pStore : &g_win32Store;
    return pPrevious;
}

IFileTimeStore& GetFileTimeStore()
{
    return *g_pStore;
}
