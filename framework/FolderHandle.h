// A folder held open while its files are worked on, so that each of them is
// opened by its name within the folder: the system then looks up that one
// name, not the whole path again from the drive down.
#pragma once

#include <windows.h>

#include "framework/CString.h"
#include "framework/Handles.h"

class CFolderHandle
{
public:
    // False when the folder cannot be held; its files are then opened by path.
    bool Open(const char* pszFolder);
    bool IsOpen() const { return m_folder.IsValid(); }

    // The file that pszPath names, where pszPath is this folder's path as it
    // was opened, a separator and a name: opened as CreateFile opens it with
    // OPEN_EXISTING and the sequential-scan hint. INVALID_HANDLE_VALUE for
    // any other path, or when the file cannot be opened so.
    HANDLE OpenEntry(const char* pszPath, DWORD dwAccess, DWORD dwShareMode) const;

private:
    CKernelHandle m_folder;
    CString m_strPath;
};
