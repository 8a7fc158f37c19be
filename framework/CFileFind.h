// Folder enumeration in MFC's manner: FindNextFile makes the next entry current and
// tells whether yet another one follows, so the last entry is handled after it
// returned FALSE. Hidden and system entries and "." and ".." are included.
#pragma once

#include <windows.h>

#include "framework/CString.h"

class CFileFind
{
public:
    CFileFind() = default;
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;
    ~CFileFind();

    // nullptr means "*.*" in the current folder. FALSE when nothing matches.
    BOOL FindFile(const char* pszPattern = nullptr);
    BOOL FindNextFile();
    void Close();

    // The pattern's folder, a backslash and the entry's name.
    CString GetFilePath() const;
    BOOL IsDots() const;
    BOOL IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }
    BOOL MatchesMask(DWORD dwMask) const;

private:
    HANDLE m_hFind = INVALID_HANDLE_VALUE;
    CString m_strRoot;
    WIN32_FIND_DATAA m_current = {};
    WIN32_FIND_DATAA m_next = {};
    bool m_bHaveCurrent = false;
    bool m_bHaveNext = false;
};
