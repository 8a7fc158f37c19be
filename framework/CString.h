// 8-bit text in the process code page, with the MFC CString interface we use.
#pragma once

#include <cstdarg>

class CString
{
public:
    CString();
    CString(const char* psz);
    CString(const char* pch, int nLength);
    CString(char ch, int nRepeat = 1);
    CString(const CString& other);
    CString(CString&& other) noexcept;
    ~CString();

    CString& operator=(const CString& other);
    CString& operator=(CString&& other) noexcept;
    CString& operator=(const char* psz);

    // Never null: an empty string yields "".
    operator const char*() const { return m_pData ? m_pData : ""; }

    int GetLength() const { return m_nLength; }
    bool IsEmpty() const { return m_nLength == 0; }
    void Empty();

    // Out-of-range indexes read as '\0'.
    char GetAt(int nIndex) const;
    char operator[](int nIndex) const { return GetAt(nIndex); }

    CString& operator+=(const CString& other);
    CString& operator+=(const char* psz);
    CString& operator+=(char ch);

    int Compare(const char* psz) const;

    // Positions are byte offsets; -1 when not found.
    int Find(const char* pszSub, int nStart = 0) const;
    int ReverseFind(char ch) const;

    CString Left(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;

    // Letters of any script change as the system maps them in the process
    // code page. Text that does not pass through UTF-16 and back unchanged
    // (invalid in the code page) has only its ASCII letters changed.
    void MakeLower();

    int Replace(const char* pszOld, const char* pszNew);

    // printf rules, any length. On a format error the string becomes empty.
    void Format(const char* pszFormat, ...)
#if defined(__GNUC__) && !defined(__clang__)
        // Catches a CString passed for %s: it must be cast to const char*.
        __attribute__((format(gnu_printf, 2, 3)))
#endif
        ;
    void FormatV(const char* pszFormat, va_list args);

    // The buffer holds at least nMinBufLength characters plus the terminator.
    // Returns nullptr only when memory runs out.
    char* GetBuffer(int nMinBufLength);
    char* GetBufferSetLength(int nNewLength);
    // -1: the length is taken up to the first '\0' within the buffer.
    void ReleaseBuffer(int nNewLength = -1);

    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, const char* b);
    // Without these two, s + 'x' would still compile, through the conversion
    // to const char*, as pointer arithmetic.
    friend CString operator+(const CString& a, char b);
    friend CString operator+(char a, const CString& b);

private:
    bool Reserve(int nCapacity);
    // False, and the text untouched, when the code page cannot carry it.
    bool MapCaseThroughUtf16();
    bool Assign(const char* pch, int nLength);
    bool Append(const char* pch, int nLength);

    char* m_pData = nullptr;
    int m_nLength = 0;
    int m_nCapacity = 0;
};

// The whole set, used or not: without one of them the same comparison would
// still compile, through the conversion to const char*, comparing addresses.
bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, const char* b);
bool operator==(const char* a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, const char* b);
bool operator!=(const char* a, const CString& b);
bool operator<(const CString& a, const CString& b);
bool operator<(const CString& a, const char* b);
bool operator<(const char* a, const CString& b);
bool operator>(const CString& a, const CString& b);
bool operator>(const CString& a, const char* b);
bool operator>(const char* a, const CString& b);
bool operator<=(const CString& a, const CString& b);
bool operator<=(const CString& a, const char* b);
bool operator<=(const char* a, const CString& b);
bool operator>=(const CString& a, const CString& b);
bool operator>=(const CString& a, const char* b);
bool operator>=(const char* a, const CString& b);
