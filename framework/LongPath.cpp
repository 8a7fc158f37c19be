#include "framework/LongPath.h"

#include <cstring>
#include <cwchar>
#include <initializer_list>
#include <string>

namespace
{
// A drive path or a UNC path: one that no current folder can make longer.
bool IsFullyQualified(const char* pszPath)
{
    const bool bDrive =
        ((pszPath[0] >= 'A' && pszPath[0] <= 'Z') || (pszPath[0] >= 'a' && pszPath[0] <= 'z')) &&
        pszPath[1] == ':' && AfxIsPathSeparator(pszPath[2]);
    return bDrive || (AfxIsPathSeparator(pszPath[0]) && AfxIsPathSeparator(pszPath[1]));
}

// The wide text with its terminator.
bool ToWide(const char* pszText, std::vector<wchar_t>& wide)
{
    int nChars = MultiByteToWideChar(CP_ACP, 0, pszText, -1, nullptr, 0);
    if (nChars <= 0)
        return false;
    wide.assign(static_cast<size_t>(nChars), L'\0');
    return MultiByteToWideChar(CP_ACP, 0, pszText, -1, wide.data(), nChars) == nChars;
}

// The text in the process code page, without its terminator.
bool ToAnsi(const wchar_t* pszText, std::string& text)
{
    int nBytes = WideCharToMultiByte(CP_ACP, 0, pszText, -1, nullptr, 0, nullptr, nullptr);
    if (nBytes <= 0)
        return false;
    text.assign(static_cast<size_t>(nBytes), '\0');
    if (WideCharToMultiByte(CP_ACP, 0, pszText, -1, &text[0], nBytes, nullptr, nullptr) != nBytes)
        return false;
    text.resize(static_cast<size_t>(nBytes) - 1);
    return true;
}

bool FullWidePath(const wchar_t* pszPath, std::vector<wchar_t>& full)
{
    DWORD dwSize = GetFullPathNameW(pszPath, 0, nullptr, nullptr);
    if (dwSize == 0)
        return false;
    full.assign(dwSize, L'\0');
    DWORD dwLength = GetFullPathNameW(pszPath, dwSize, full.data(), nullptr);
    if (dwLength == 0 || dwLength >= dwSize)
    {
        // The current folder changed in between.
        if (dwLength != 0)
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    full.resize(static_cast<size_t>(dwLength) + 1);
    return true;
}

bool HasDevicePrefix(const wchar_t* pszPath)
{
    return pszPath[0] == L'\\' && pszPath[1] == L'\\' && (pszPath[2] == L'?' || pszPath[2] == L'.') &&
           pszPath[3] == L'\\';
}

// The plain call for a short path, the wide call on the "\\?\" form for a long one.
template <class Result, class AnsiCall, class WideCall>
Result Route(const char* pszPath, Result failure, AnsiCall ansiCall, WideCall wideCall)
{
    if (!AfxIsLongPath(pszPath))
        return ansiCall(pszPath);
    std::vector<wchar_t> widePath;
    if (!AfxGetLongPathForm(pszPath, widePath))
        return failure;
    return wideCall(widePath.data());
}

bool CopyFindData(const WIN32_FIND_DATAW& wide, WIN32_FIND_DATAA& data)
{
    data.dwFileAttributes = wide.dwFileAttributes;
    data.ftCreationTime = wide.ftCreationTime;
    data.ftLastAccessTime = wide.ftLastAccessTime;
    data.ftLastWriteTime = wide.ftLastWriteTime;
    data.nFileSizeHigh = wide.nFileSizeHigh;
    data.nFileSizeLow = wide.nFileSizeLow;
    data.dwReserved0 = wide.dwReserved0;
    data.dwReserved1 = wide.dwReserved1;
    if (!WideCharToMultiByte(CP_ACP, 0, wide.cAlternateFileName, -1, data.cAlternateFileName,
                             sizeof(data.cAlternateFileName), nullptr, nullptr))
        data.cAlternateFileName[0] = '\0';
    return WideCharToMultiByte(CP_ACP, 0, wide.cFileName, -1, data.cFileName, sizeof(data.cFileName), nullptr,
                               nullptr) != 0;
}
} // namespace

bool AfxIsLongPath(const char* pszPath)
{
    if (!pszPath)
        return false;
    const bool bQualified = IsFullyQualified(pszPath);
    // Every character takes at least one byte: the usual path needs no conversion.
    if (bQualified && std::strlen(pszPath) < MAX_PATH)
        return false;
    std::vector<wchar_t> wide;
    if (!ToWide(pszPath, wide))
        return false;
    if (wide.size() > MAX_PATH)
        return true;
    if (bQualified)
        return false;
    DWORD dwFullSize = GetFullPathNameW(wide.data(), 0, nullptr, nullptr);
    return dwFullSize > MAX_PATH;
}

bool AfxGetLongPathForm(const char* pszPath, std::vector<wchar_t>& widePath)
{
    if (!pszPath)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    std::vector<wchar_t> wide;
    if (!ToWide(pszPath, wide))
        return false;
    if (HasDevicePrefix(wide.data()))
    {
        widePath = std::move(wide);
        return true;
    }
    // "\\?\" switches off the system's own clean-up of the path, so it is done here.
    std::vector<wchar_t> full;
    if (!FullWidePath(wide.data(), full))
        return false;
    const bool bUnc = full[0] == L'\\' && full[1] == L'\\';
    const wchar_t* pszPrefix = bUnc ? L"\\\\?\\UNC\\" : L"\\\\?\\";
    widePath.assign(pszPrefix, pszPrefix + std::wcslen(pszPrefix));
    widePath.insert(widePath.end(), full.begin() + (bUnc ? 2 : 0), full.end());
    return true;
}

HANDLE AfxCreateFile(const char* pszPath, DWORD dwAccess, DWORD dwShareMode, LPSECURITY_ATTRIBUTES pSecurity,
                     DWORD dwDisposition, DWORD dwFlags, HANDLE hTemplate)
{
    return Route(
        pszPath, INVALID_HANDLE_VALUE,
        [&](const char* pszAnsi)
        { return CreateFileA(pszAnsi, dwAccess, dwShareMode, pSecurity, dwDisposition, dwFlags, hTemplate); },
        [&](const wchar_t* pszWide) {
            return CreateFileW(pszWide, dwAccess, dwShareMode, pSecurity, dwDisposition, dwFlags, hTemplate);
        });
}

DWORD AfxGetFileAttributes(const char* pszPath)
{
    return Route(
        pszPath, INVALID_FILE_ATTRIBUTES, [](const char* pszAnsi) { return GetFileAttributesA(pszAnsi); },
        [](const wchar_t* pszWide) { return GetFileAttributesW(pszWide); });
}

BOOL AfxGetFileAttributesEx(const char* pszPath, GET_FILEEX_INFO_LEVELS level, void* pInfo)
{
    return Route(
        pszPath, FALSE, [&](const char* pszAnsi) { return GetFileAttributesExA(pszAnsi, level, pInfo); },
        [&](const wchar_t* pszWide) { return GetFileAttributesExW(pszWide, level, pInfo); });
}

BOOL AfxSetFileAttributes(const char* pszPath, DWORD dwAttributes)
{
    return Route(
        pszPath, FALSE, [&](const char* pszAnsi) { return SetFileAttributesA(pszAnsi, dwAttributes); },
        [&](const wchar_t* pszWide) { return SetFileAttributesW(pszWide, dwAttributes); });
}

BOOL AfxDeleteFile(const char* pszPath)
{
    return Route(
        pszPath, FALSE, [](const char* pszAnsi) { return DeleteFileA(pszAnsi); },
        [](const wchar_t* pszWide) { return DeleteFileW(pszWide); });
}

bool AfxGetTempPath(std::string& path)
{
    DWORD dwSize = GetTempPathW(0, nullptr);
    if (dwSize != 0)
    {
        std::vector<wchar_t> wide(dwSize, L'\0');
        DWORD dwLength = GetTempPathW(dwSize, wide.data());
        return dwLength != 0 && dwLength < dwSize && ToAnsi(wide.data(), path);
    }
    if (GetLastError() != ERROR_FILENAME_EXCED_RANGE)
        return false;
    // The system gives up on a folder of MAX_PATH characters or more; it is
    // the first of these variables that is set, made full, as the system
    // itself would take it.
    for (const wchar_t* pszName : {L"TMP", L"TEMP", L"USERPROFILE"})
    {
        DWORD dwChars = GetEnvironmentVariableW(pszName, nullptr, 0);
        if (dwChars <= 1)
            continue;
        std::vector<wchar_t> value(dwChars, L'\0');
        if (GetEnvironmentVariableW(pszName, value.data(), dwChars) + 1 != dwChars)
            return false;
        std::vector<wchar_t> full;
        if (!FullWidePath(value.data(), full))
            return false;
        full.pop_back();
        if (full.empty() || full.back() != L'\\')
            full.push_back(L'\\');
        full.push_back(L'\0');
        return ToAnsi(full.data(), path);
    }
    return false;
}

DWORD AfxGetFullPathName(const char* pszPath, DWORD nBufferLength, char* pszBuffer, char** ppFilePart)
{
    if (!AfxIsLongPath(pszPath))
        return GetFullPathNameA(pszPath, nBufferLength, pszBuffer, ppFilePart);
    // The path as the user knows it, without "\\?\".
    std::vector<wchar_t> wide, full;
    std::string text;
    if (!ToWide(pszPath, wide) || !FullWidePath(wide.data(), full) || !ToAnsi(full.data(), text))
        return 0;
    if (!pszBuffer || text.size() >= nBufferLength)
        return static_cast<DWORD>(text.size() + 1);
    std::memcpy(pszBuffer, text.c_str(), text.size() + 1);
    if (ppFilePart)
    {
        char* pszLast = std::strrchr(pszBuffer, '\\');
        *ppFilePart = pszLast && pszLast[1] ? pszLast + 1 : nullptr;
    }
    return static_cast<DWORD>(text.size());
}

HANDLE AfxFindFirstFile(const char* pszPattern, WIN32_FIND_DATAA* pData)
{
    return Route(
        pszPattern, INVALID_HANDLE_VALUE, [&](const char* pszAnsi) { return FindFirstFileA(pszAnsi, pData); },
        [&](const wchar_t* pszWide)
        {
            WIN32_FIND_DATAW wide;
            HANDLE hFind = FindFirstFileW(pszWide, &wide);
            if (hFind != INVALID_HANDLE_VALUE && !CopyFindData(wide, *pData))
            {
                FindClose(hFind);
                SetLastError(ERROR_FILENAME_EXCED_RANGE);
                return INVALID_HANDLE_VALUE;
            }
            return hFind;
        });
}

UINT AfxDragQueryFile(HDROP hDrop, UINT iFile, char* pszFile, UINT cch)
{
    if (iFile == 0xFFFFFFFF)
        return DragQueryFileW(hDrop, iFile, nullptr, 0);
    if (pszFile && cch > 0)
        pszFile[0] = '\0';
    // An 8-bit drop reports its length in bytes, which is never less than
    // the characters it converts to.
    UINT nLength = DragQueryFileW(hDrop, iFile, nullptr, 0);
    if (nLength == 0)
        return 0;
    std::vector<wchar_t> wide(static_cast<size_t>(nLength) + 1, L'\0');
    DragQueryFileW(hDrop, iFile, wide.data(), nLength + 1);
    wide.back() = L'\0';
    std::string text;
    if (!ToAnsi(wide.data(), text))
        return 0;
    if (!pszFile)
        return static_cast<UINT>(text.size());
    if (cch == 0)
        return 0;
    // Cut short as DragQueryFileA does.
    const size_t nCopied = text.size() < cch ? text.size() : cch - 1;
    std::memcpy(pszFile, text.data(), nCopied);
    pszFile[nCopied] = '\0';
    return static_cast<UINT>(nCopied);
}
