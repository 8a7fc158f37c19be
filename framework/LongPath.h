// File calls for paths of any length. A path the ANSI calls can take goes to
// them unchanged, so short paths behave exactly as the plain calls do; a path
// of MAX_PATH characters or more (or a relative one that grows to that) goes
// to the wide calls in its "\\?\" form. The conversion from and to the process
// code page happens here and nowhere else: callers keep their 8-bit paths.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

// The two separators of Windows paths.
inline bool AfxIsPathSeparator(char c)
{
    return c == '\\' || c == '/';
}

// Sharing that denies nothing to others, delete included.
const DWORD kFileShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// True when the path is too long for the ANSI calls.
bool AfxIsLongPath(const char* pszPath);

// The wide "\\?\" form of a path in the process code page: absolute, with
// backslashes and without "." or ".." parts; "\\server\share\..." becomes
// "\\?\UNC\server\share\...". A path in "\\?\" or "\\.\" form is kept as it
// is. False, with GetLastError() telling why, when there is no such form.
bool AfxGetLongPathForm(const char* pszPath, std::vector<wchar_t>& widePath);

// The calls of the same names without the A, for a path of any length.
HANDLE AfxCreateFile(const char* pszPath, DWORD dwAccess, DWORD dwShareMode, LPSECURITY_ATTRIBUTES pSecurity,
                     DWORD dwDisposition, DWORD dwFlags, HANDLE hTemplate);
DWORD AfxGetFileAttributes(const char* pszPath);
BOOL AfxGetFileAttributesEx(const char* pszPath, GET_FILEEX_INFO_LEVELS level, void* pInfo);
BOOL AfxSetFileAttributes(const char* pszPath, DWORD dwAttributes);
// The full path in the process code page, as GetFullPathNameA gives it: its
// length without the terminator, or the size needed with it when the buffer
// is too small, or 0 on failure.
DWORD AfxGetFullPathName(const char* pszPath, DWORD nBufferLength, char* pszBuffer, char** ppFilePart);
BOOL AfxDeleteFile(const char* pszPath);
// The temporary folder as GetTempPath gives it (ending in a backslash), in
// the process code page, whatever its length; false when there is none.
bool AfxGetTempPath(std::string& path);
// Later entries come from FindNextFileA on the handle returned.
HANDLE AfxFindFirstFile(const char* pszPattern, WIN32_FIND_DATAA* pData);

// DragQueryFileA with lengths in bytes of the process code page: the shell
// hands over wide paths, whose length in characters is less than that.
UINT AfxDragQueryFile(HDROP hDrop, UINT iFile, char* pszFile, UINT cch);
