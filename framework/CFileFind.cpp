#include "framework/CFileFind.h"
#include "framework/LongPath.h"

#include <cstring>

CFileFind::~CFileFind()
{
    Close();
}

BOOL CFileFind::FindFile(const char* pszPattern)
{
    Close();
    CString strPattern(pszPattern && *pszPattern ? pszPattern : "*.*");

    HANDLE hFind = AfxFindFirstFile(strPattern, &m_next);
    if (hFind == INVALID_HANDLE_VALUE)
        return FALSE;
    m_hFind = hFind;
    m_bHaveNext = true;

    // The folder part as given; a bare pattern refers to the current folder.
    int nSlash = strPattern.ReverseFind('\\');
    int nForward = strPattern.ReverseFind('/');
    if (nForward > nSlash)
        nSlash = nForward;
    if (nSlash >= 0)
        m_strRoot = strPattern.Left(nSlash);
    else if (strPattern.GetLength() >= 2 && strPattern[1] == ':')
        m_strRoot = strPattern.Left(2);
    else
    {
        DWORD dwLength = GetCurrentDirectoryA(0, nullptr);
        char* pBuffer = dwLength ? m_strRoot.GetBufferSetLength(static_cast<int>(dwLength)) : nullptr;
        DWORD dwGot = pBuffer ? GetCurrentDirectoryA(dwLength, pBuffer) : 0;
        m_strRoot.ReleaseBuffer(dwGot < dwLength ? static_cast<int>(dwGot) : 0);
        if (m_strRoot.GetLength() > 0 && m_strRoot[m_strRoot.GetLength() - 1] == '\\')
            m_strRoot = m_strRoot.Left(m_strRoot.GetLength() - 1);
    }
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    if (m_hFind == INVALID_HANDLE_VALUE || !m_bHaveNext)
        return FALSE;
    m_current = m_next;
    m_bHaveCurrent = true;
    // Any failure, not only ERROR_NO_MORE_FILES, ends the walk after this entry.
    m_bHaveNext = ::FindNextFileA(m_hFind, &m_next) != FALSE;
    return m_bHaveNext ? TRUE : FALSE;
}

void CFileFind::Close()
{
    if (m_hFind != INVALID_HANDLE_VALUE)
        FindClose(m_hFind);
    m_hFind = INVALID_HANDLE_VALUE;
    m_bHaveCurrent = false;
    m_bHaveNext = false;
    m_strRoot.Empty();
}

CString CFileFind::GetFilePath() const
{
    if (!m_bHaveCurrent)
        return CString();
    // A root such as "C:\" already ends in the separator.
    const int nRoot = m_strRoot.GetLength();
    const bool bHasSeparator = nRoot > 0 && (m_strRoot[nRoot - 1] == '\\' || m_strRoot[nRoot - 1] == '/');
    const int nName = static_cast<int>(strnlen(m_current.cFileName, sizeof(m_current.cFileName)));
    // Built in one allocation: a walk asks this of every file it finds.
    CString strPath;
    char* pPath = strPath.GetBuffer(nRoot + 1 + nName);
    if (!pPath)
        return CString();
    memcpy(pPath, static_cast<const char*>(m_strRoot), static_cast<size_t>(nRoot));
    int nLength = nRoot;
    if (!bHasSeparator)
        pPath[nLength++] = '\\';
    memcpy(pPath + nLength, m_current.cFileName, static_cast<size_t>(nName));
    strPath.ReleaseBuffer(nLength + nName);
    return strPath;
}

BOOL CFileFind::IsDots() const
{
    if (!m_bHaveCurrent || !IsDirectory())
        return FALSE;
    const char* pszName = m_current.cFileName;
    return (pszName[0] == '.' && (pszName[1] == '\0' || (pszName[1] == '.' && pszName[2] == '\0'))) ? TRUE
                                                                                                    : FALSE;
}

BOOL CFileFind::MatchesMask(DWORD dwMask) const
{
    return (m_bHaveCurrent && (m_current.dwFileAttributes & dwMask) != 0) ? TRUE : FALSE;
}
