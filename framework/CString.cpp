#include "framework/CString.h"

#include <windows.h>

#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
char AsciiLower(char ch)
{
    return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
}

bool IsAscii(const char* pch, int nLength)
{
    for (int i = 0; i < nLength; ++i)
        if (static_cast<unsigned char>(pch[i]) >= 0x80)
            return false;
    return true;
}

// GB18030, like UTF-8, carries every character and takes no default one.
const UINT kCodePageGb18030 = 54936;

// Strict conversion back to the code page: no best fit, no default character.
int ToCodePage(const wchar_t* pwch, int nWide, char* pch, int nLength)
{
    const UINT nCodePage = GetACP();
    if (nCodePage == CP_UTF8 || nCodePage == kCodePageGb18030)
        return WideCharToMultiByte(CP_ACP, WC_ERR_INVALID_CHARS, pwch, nWide, pch, nLength, nullptr, nullptr);
    BOOL bUsedDefault = FALSE;
    int nResult =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, pwch, nWide, pch, nLength, nullptr, &bUsedDefault);
    return bUsedDefault ? 0 : nResult;
}

int SafeLength(const char* psz)
{
    if (!psz)
        return 0;
    size_t n = strlen(psz);
    return n > static_cast<size_t>(INT_MAX - 1) ? INT_MAX - 1 : static_cast<int>(n);
}
} // namespace

CString::CString() = default;

CString::CString(const char* psz)
{
    Assign(psz, SafeLength(psz));
}

CString::CString(const char* pch, int nLength)
{
    if (pch && nLength > 0)
        Assign(pch, nLength);
}

CString::CString(char ch, int nRepeat)
{
    if (nRepeat > 0 && Reserve(nRepeat))
    {
        memset(m_pData, ch, static_cast<size_t>(nRepeat));
        m_nLength = nRepeat;
        m_pData[m_nLength] = '\0';
    }
}

CString::CString(const CString& other)
{
    Assign(other.m_pData, other.m_nLength);
}

CString::CString(CString&& other) noexcept
    : m_pData(other.m_pData), m_nLength(other.m_nLength), m_nCapacity(other.m_nCapacity)
{
    other.m_pData = nullptr;
    other.m_nLength = 0;
    other.m_nCapacity = 0;
}

CString::~CString()
{
    free(m_pData);
}

CString& CString::operator=(const CString& other)
{
    if (this != &other)
        Assign(other.m_pData, other.m_nLength);
    return *this;
}

CString& CString::operator=(CString&& other) noexcept
{
    if (this != &other)
    {
        free(m_pData);
        m_pData = other.m_pData;
        m_nLength = other.m_nLength;
        m_nCapacity = other.m_nCapacity;
        other.m_pData = nullptr;
        other.m_nLength = 0;
        other.m_nCapacity = 0;
    }
    return *this;
}

CString& CString::operator=(const char* psz)
{
    Assign(psz, SafeLength(psz));
    return *this;
}

bool CString::Reserve(int nCapacity)
{
    if (nCapacity < 0 || nCapacity >= INT_MAX)
        return false;
    if (m_pData && nCapacity <= m_nCapacity)
        return true;
    // Grow geometrically so that repeated appends stay linear.
    int nNew = nCapacity;
    if (m_nCapacity > 0 && m_nCapacity < INT_MAX / 2 && nNew < m_nCapacity * 2)
        nNew = m_nCapacity * 2;
    if (nNew < 15)
        nNew = 15;
    char* p = static_cast<char*>(realloc(m_pData, static_cast<size_t>(nNew) + 1));
    if (!p)
        return false;
    if (!m_pData)
        p[0] = '\0';
    m_pData = p;
    m_nCapacity = nNew;
    return true;
}

bool CString::Assign(const char* pch, int nLength)
{
    if (!pch || nLength <= 0)
    {
        Empty();
        return true;
    }
    // The source may lie inside our own buffer.
    if (m_pData && pch >= m_pData && pch <= m_pData + m_nLength)
    {
        memmove(m_pData, pch, static_cast<size_t>(nLength));
        m_nLength = nLength;
        m_pData[m_nLength] = '\0';
        return true;
    }
    if (!Reserve(nLength))
        return false;
    memcpy(m_pData, pch, static_cast<size_t>(nLength));
    m_nLength = nLength;
    m_pData[m_nLength] = '\0';
    return true;
}

bool CString::Append(const char* pch, int nLength)
{
    if (!pch || nLength <= 0)
        return true;
    if (nLength > INT_MAX - 1 - m_nLength)
        return false;
    // Appending part of ourselves: the buffer may move while it grows.
    bool bSelf = m_pData && pch >= m_pData && pch <= m_pData + m_nLength;
    std::ptrdiff_t offset = bSelf ? pch - m_pData : 0;
    if (!Reserve(m_nLength + nLength))
        return false;
    if (bSelf)
        pch = m_pData + offset;
    memmove(m_pData + m_nLength, pch, static_cast<size_t>(nLength));
    m_nLength += nLength;
    m_pData[m_nLength] = '\0';
    return true;
}

void CString::Empty()
{
    free(m_pData);
    m_pData = nullptr;
    m_nLength = 0;
    m_nCapacity = 0;
}

char CString::GetAt(int nIndex) const
{
    return (nIndex >= 0 && nIndex < m_nLength) ? m_pData[nIndex] : '\0';
}

CString& CString::operator+=(const CString& other)
{
    Append(other.m_pData, other.m_nLength);
    return *this;
}

CString& CString::operator+=(const char* psz)
{
    Append(psz, SafeLength(psz));
    return *this;
}

CString& CString::operator+=(char ch)
{
    Append(&ch, 1);
    return *this;
}

int CString::Compare(const char* psz) const
{
    int r = strcmp(*this, psz ? psz : "");
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CString::Find(const char* pszSub, int nStart) const
{
    if (nStart < 0)
        nStart = 0;
    if (nStart > m_nLength)
        return -1;
    int nSub = SafeLength(pszSub);
    if (nSub == 0)
        return nStart;
    for (int i = nStart; i + nSub <= m_nLength; ++i)
        if (memcmp(m_pData + i, pszSub, static_cast<size_t>(nSub)) == 0)
            return i;
    return -1;
}

int CString::ReverseFind(char ch) const
{
    for (int i = m_nLength - 1; i >= 0; --i)
        if (m_pData[i] == ch)
            return i;
    return -1;
}

CString CString::Left(int nCount) const
{
    if (nCount < 0)
        nCount = 0;
    if (nCount > m_nLength)
        nCount = m_nLength;
    return CString(m_pData, nCount);
}

CString CString::Mid(int nFirst) const
{
    if (nFirst < 0)
        nFirst = 0;
    return Mid(nFirst, m_nLength - nFirst);
}

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0)
        nFirst = 0;
    if (nCount < 0)
        nCount = 0;
    if (nFirst >= m_nLength)
        return CString();
    if (nCount > m_nLength - nFirst)
        nCount = m_nLength - nFirst;
    return CString(m_pData + nFirst, nCount);
}

bool CString::MapCaseThroughUtf16()
{
    // Any code page needs at least one byte per UTF-16 unit and at most four.
    if (m_nLength > INT_MAX / 4)
        return false;
    std::vector<wchar_t> wide(static_cast<size_t>(m_nLength));
    int nWide = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, m_pData, m_nLength, &wide[0], m_nLength);
    if (nWide <= 0)
        return false;
    // Bytes that convert yet do not come back as they were would be changed
    // beyond their case.
    std::vector<char> bytes(static_cast<size_t>(nWide) * 4);
    int nBytes = ToCodePage(wide.data(), nWide, &bytes[0], nWide * 4);
    if (nBytes != m_nLength || memcmp(bytes.data(), m_pData, static_cast<size_t>(m_nLength)) != 0)
        return false;
    CharLowerBuffW(&wide[0], static_cast<DWORD>(nWide));
    nBytes = ToCodePage(wide.data(), nWide, &bytes[0], nWide * 4);
    return nBytes > 0 && Assign(bytes.data(), nBytes);
}

void CString::MakeLower()
{
    // ASCII text, the usual path, needs no conversion.
    if (!IsAscii(m_pData, m_nLength) && MapCaseThroughUtf16())
        return;
    for (int i = 0; i < m_nLength; ++i)
        m_pData[i] = AsciiLower(m_pData[i]);
}

int CString::Replace(const char* pszOld, const char* pszNew)
{
    int nOld = SafeLength(pszOld);
    if (nOld == 0 || m_nLength == 0)
        return 0;
    int nNew = SafeLength(pszNew);
    CString result;
    int nCount = 0;
    int nPos = 0;
    for (int nHit = Find(pszOld, 0); nHit >= 0; nHit = Find(pszOld, nPos))
    {
        if (!result.Append(m_pData + nPos, nHit - nPos) || !result.Append(pszNew, nNew))
            return 0;
        nPos = nHit + nOld;
        ++nCount;
    }
    if (nCount == 0)
        return 0;
    if (!result.Append(m_pData + nPos, m_nLength - nPos))
        return 0;
    *this = static_cast<CString&&>(result);
    return nCount;
}

void CString::Format(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::FormatV(const char* pszFormat, va_list args)
{
    if (!pszFormat)
    {
        Empty();
        return;
    }
    // Most texts fit a small buffer: formatted once there, and measured and
    // formatted again only when they do not. The arguments may point into
    // this string, so the result goes into a fresh one.
    char small[256];
    va_list first;
    va_copy(first, args);
    int nNeeded = vsnprintf(small, sizeof(small), pszFormat, first);
    va_end(first);
    CString result;
    if (nNeeded > 0 && result.Reserve(nNeeded))
    {
        if (nNeeded < static_cast<int>(sizeof(small)))
            memcpy(result.m_pData, small, static_cast<size_t>(nNeeded) + 1);
        else
        {
            va_list write;
            va_copy(write, args);
            int nWritten = vsnprintf(result.m_pData, static_cast<size_t>(nNeeded) + 1, pszFormat, write);
            va_end(write);
            if (nWritten != nNeeded)
            {
                Empty();
                return;
            }
        }
        result.m_nLength = nNeeded;
    }
    *this = static_cast<CString&&>(result);
}

char* CString::GetBuffer(int nMinBufLength)
{
    if (nMinBufLength < m_nLength)
        nMinBufLength = m_nLength;
    if (!Reserve(nMinBufLength))
        return nullptr;
    return m_pData;
}

char* CString::GetBufferSetLength(int nNewLength)
{
    if (nNewLength < 0)
        nNewLength = 0;
    if (!Reserve(nNewLength))
        return nullptr;
    if (nNewLength > m_nLength)
        memset(m_pData + m_nLength, 0, static_cast<size_t>(nNewLength - m_nLength));
    m_nLength = nNewLength;
    m_pData[m_nLength] = '\0';
    return m_pData;
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (!m_pData)
        return;
    if (nNewLength < 0 || nNewLength > m_nCapacity)
    {
        const void* pEnd = memchr(m_pData, '\0', static_cast<size_t>(m_nCapacity) + 1);
        nNewLength = pEnd ? static_cast<int>(static_cast<const char*>(pEnd) - m_pData) : m_nCapacity;
    }
    m_nLength = nNewLength;
    m_pData[m_nLength] = '\0';
}

CString operator+(const CString& a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, const char* b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, char b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(char a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}

bool operator==(const CString& a, const CString& b)
{
    return a.GetLength() == b.GetLength() && a.Compare(b) == 0;
}
bool operator==(const CString& a, const char* b)
{
    return a.Compare(b) == 0;
}
bool operator==(const char* a, const CString& b)
{
    return b.Compare(a) == 0;
}
bool operator!=(const CString& a, const CString& b)
{
    return !(a == b);
}
bool operator!=(const CString& a, const char* b)
{
    return !(a == b);
}
bool operator!=(const char* a, const CString& b)
{
    return !(a == b);
}
bool operator<(const CString& a, const CString& b)
{
    return a.Compare(b) < 0;
}
bool operator<(const CString& a, const char* b)
{
    return a.Compare(b) < 0;
}
bool operator<(const char* a, const CString& b)
{
    return b.Compare(a) > 0;
}
bool operator>(const CString& a, const CString& b)
{
    return a.Compare(b) > 0;
}
bool operator>(const CString& a, const char* b)
{
    return a.Compare(b) > 0;
}
bool operator>(const char* a, const CString& b)
{
    return b.Compare(a) < 0;
}
bool operator<=(const CString& a, const CString& b)
{
    return a.Compare(b) <= 0;
}
bool operator<=(const CString& a, const char* b)
{
    return a.Compare(b) <= 0;
}
bool operator<=(const char* a, const CString& b)
{
    return b.Compare(a) >= 0;
}
bool operator>=(const CString& a, const CString& b)
{
    return a.Compare(b) >= 0;
}
bool operator>=(const CString& a, const char* b)
{
    return a.Compare(b) >= 0;
}
bool operator>=(const char* a, const CString& b)
{
    return b.Compare(a) <= 0;
}
