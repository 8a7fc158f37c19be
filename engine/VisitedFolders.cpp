#include "VisitedFolders.h"

#include <windows.h>

bool CVisitedFolders::Enter(const char* path)
{
    // Opening a folder for its identity needs backup semantics and no access rights.
    HANDLE folder = ::CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE)
        return true;
    BY_HANDLE_FILE_INFORMATION info;
    BOOL bKnown = ::GetFileInformationByHandle(folder, &info);
    ::CloseHandle(folder);
    if (!bKnown)
        return true;
    return m_folders.insert(Identity(info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow))
        .second;
}
