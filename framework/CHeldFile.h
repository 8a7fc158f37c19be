// A file held open from the reading of its content to the setting of its
// times: one handle, read in order, whose status is read and written through
// that same handle, so that the system looks the file up only once.
#pragma once

#include <windows.h>

#include "framework/CFile.h"
#include "framework/FolderHandle.h"
#include "framework/Handles.h"

class CHeldFile
{
public:
    CHeldFile() = default;
    CHeldFile(const CHeldFile&) = delete;
    CHeldFile& operator=(const CHeldFile&) = delete;

    // Opens for reading without denying anything to others (delete
    // included). Write access is asked for first, so that the times can later
    // be set through the same handle; where it is refused (a read-only file,
    // one held by someone who denies write sharing) the file is read alone.
    // FALSE when it cannot be opened at all. A file of the held folder
    // pFolder is opened through it, by its name.
    bool Open(const char* pszFileName, const CFolderHandle* pFolder = nullptr);

    // The next bytes of the content, from the start: up to nCount of them,
    // fewer only at the end; 0 at the end or on an error.
    DWORD Read(void* pBuffer, DWORD nCount);

    // The times and attributes through the open handle, under the name it was
    // opened by, without the size (m_size stays 0: a change of the times has
    // no use for it, and it is a query of its own); FALSE when they cannot be
    // read. The attributes it read are those the next SetStatus works from.
    BOOL GetTimesAndAttributes(CFileStatus& rStatus);

    // Writes the record's times and attributes back: through the handle where
    // it has write access, by name where it was read alone (and fails there as
    // a second open would). FALSE on failure, with the system's error code.
    bool SetStatus(const CFileStatus& status, DWORD& dwError);

private:
    CKernelHandle m_handle; // the held handle; m_file only works through it
    CFile m_file;
    bool m_bWritable = false;
    bool m_bAttributesRead = false; // m_dwAttributes holds what was read, not yet written over
    DWORD m_dwAttributes = 0;
};
