#include "framework/CStdioFile.h"
#include "framework/LongPath.h"

#include <cstring>

namespace
{
DWORD ShareMode(UINT nOpenFlags)
{
    switch (nOpenFlags & 0x70)
    {
    case CFile::shareDenyWrite:
        return FILE_SHARE_READ;
    case CFile::shareDenyNone:
        return kFileShareAll;
    default:
        return 0;
    }
}

DWORD Access(UINT nOpenFlags)
{
    return (nOpenFlags & 3) == CFile::modeWrite ? GENERIC_WRITE : GENERIC_READ;
}

DWORD Disposition(UINT nOpenFlags)
{
    if (nOpenFlags & CFile::modeCreate)
        return (nOpenFlags & CFile::modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    return OPEN_EXISTING;
}
} // namespace

CStdioFile::~CStdioFile()
{
    Close();
}

BOOL CStdioFile::Open(const char* pszFileName, UINT nOpenFlags)
{
    Close();
    if (!pszFileName || !*pszFileName || (nOpenFlags & 3) == 3)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    HANDLE hFile = AfxCreateFile(pszFileName, Access(nOpenFlags), ShareMode(nOpenFlags), &sa,
                                 Disposition(nOpenFlags), FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    m_hFile = hFile;
    m_strFileName = pszFileName;
    m_bWriteFailed = false;
    m_bWritable = (Access(nOpenFlags) & GENERIC_WRITE) != 0;
    m_nWriteUsed = 0;
    m_nReadPos = m_nReadEnd = 0;
    return TRUE;
}

BOOL CStdioFile::ReadString(CString& rString)
{
    rString.Empty();
    if (!IsOpen())
        return FALSE;
    for (;;)
    {
        if (m_nReadPos == m_nReadEnd)
        {
            DWORD dwRead = 0;
            if (!ReadFile(m_hFile, m_readBuffer, sizeof(m_readBuffer), &dwRead, nullptr) || dwRead == 0)
                break;
            m_nReadPos = 0;
            m_nReadEnd = dwRead;
        }
        const char* pStart = m_readBuffer + m_nReadPos;
        const void* pNewLine = memchr(pStart, '\n', m_nReadEnd - m_nReadPos);
        if (!pNewLine)
        {
            rString += CString(pStart, static_cast<int>(m_nReadEnd - m_nReadPos));
            m_nReadPos = m_nReadEnd;
            continue;
        }
        const DWORD nLength = static_cast<DWORD>(static_cast<const char*>(pNewLine) - pStart);
        rString += CString(pStart, static_cast<int>(nLength));
        m_nReadPos += nLength + 1;
        if (rString.GetLength() > 0 && rString[rString.GetLength() - 1] == '\r')
            rString.GetBufferSetLength(rString.GetLength() - 1);
        return TRUE;
    }
    // A last line without a line end still counts.
    return rString.GetLength() > 0 ? TRUE : FALSE;
}

BOOL CStdioFile::WriteAll(const char* pData, DWORD dwLength)
{
    while (dwLength > 0)
    {
        DWORD dwWritten = 0;
        if (!WriteFile(m_hFile, pData, dwLength, &dwWritten, nullptr) || dwWritten == 0)
        {
            if (GetLastError() == ERROR_SUCCESS)
                SetLastError(ERROR_DISK_FULL);
            m_bWriteFailed = true;
            return FALSE;
        }
        pData += dwWritten;
        dwLength -= dwWritten;
    }
    return TRUE;
}

BOOL CStdioFile::WriteOut()
{
    if (m_nWriteUsed == 0)
        return TRUE;
    const DWORD nUsed = m_nWriteUsed;
    m_nWriteUsed = 0;
    return WriteAll(m_writeBuffer, nUsed);
}

BOOL CStdioFile::WriteString(const char* pszText)
{
    if (!IsOpen())
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!pszText)
        return TRUE;
    if (!m_bWritable)
    {
        // What the system would answer for a handle opened for reading only.
        SetLastError(ERROR_ACCESS_DENIED);
        m_bWriteFailed = true;
        return FALSE;
    }
    // "\n" becomes CR LF on its way into the buffer; the text between line
    // ends goes in by the run, since the log passes a line per picture.
    const char* p = pszText;
    size_t nLeft = strlen(pszText);
    while (nLeft > 0)
    {
        const char* pNewLine = static_cast<const char*>(memchr(p, '\n', nLeft));
        size_t nRun = pNewLine ? static_cast<size_t>(pNewLine - p) : nLeft;
        nLeft -= nRun;
        while (nRun > 0)
        {
            if (m_nWriteUsed == sizeof(m_writeBuffer) && !WriteOut())
                return FALSE;
            const size_t nRoom = sizeof(m_writeBuffer) - m_nWriteUsed;
            const size_t nTake = nRun < nRoom ? nRun : nRoom;
            memcpy(m_writeBuffer + m_nWriteUsed, p, nTake);
            m_nWriteUsed += static_cast<DWORD>(nTake);
            p += nTake;
            nRun -= nTake;
        }
        if (pNewLine)
        {
            if (m_nWriteUsed + 2 > sizeof(m_writeBuffer) && !WriteOut())
                return FALSE;
            m_writeBuffer[m_nWriteUsed++] = '\r';
            m_writeBuffer[m_nWriteUsed++] = '\n';
            ++p;
            --nLeft;
        }
    }
    return TRUE;
}

BOOL CStdioFile::Flush()
{
    if (!IsOpen())
        return FALSE;
    WriteOut();
    return m_bWriteFailed ? FALSE : TRUE;
}

void CStdioFile::SeekToEnd()
{
    if (!IsOpen())
        return;
    WriteOut();
    m_nReadPos = m_nReadEnd = 0;
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    SetFilePointerEx(m_hFile, zero, nullptr, FILE_END);
}

void CStdioFile::Close()
{
    if (IsOpen())
    {
        WriteOut();
        CloseHandle(m_hFile);
    }
    m_hFile = INVALID_HANDLE_VALUE;
    m_nWriteUsed = 0;
    m_nReadPos = m_nReadEnd = 0;
    m_bWriteFailed = false;
}
