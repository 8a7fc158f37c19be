// File status record, the file exception and the CFile base with its static status calls.
#pragma once

#include <windows.h>

#include "framework/CString.h"
#include "framework/CTime.h"

struct CFileStatus
{
    CTime m_ctime; // creation
    CTime m_mtime; // last write
    CTime m_atime; // last access
    ULONGLONG m_size = 0;
    BYTE m_attribute = 0;
    char m_szFullName[MAX_PATH] = {};
};

// Thrown as a pointer and released by the catcher with Delete().
class CException
{
public:
    virtual ~CException() = default;
    void Delete() { delete this; }
};

class CFileException : public CException
{
public:
    enum
    {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };

    CFileException() = default;
    CFileException(int cause, LONG lOsError, const char* pszFileName = nullptr)
        : m_cause(cause), m_lOsError(lOsError), m_strFileName(pszFileName)
    {
    }

    // The cause that matches a Win32 error code.
    static int OsErrorToException(LONG lOsError);

    int m_cause = none;
    LONG m_lOsError = 0;
    CString m_strFileName;
};

class CFile
{
public:
    enum OpenFlags
    {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        shareDenyWrite = 0x0020,
        shareDenyNone = 0x0040,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000
    };

    CFile() = default;
    // Works on a handle the caller opened and keeps owning: it is not closed here.
    explicit CFile(HANDLE hFile) : m_hFile(hFile) {}
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    virtual ~CFile() = default;

    // The name the file's status calls report and the file-time store is given.
    void SetFilePath(const char* pszNewName) { m_strFileName = pszNewName; }
    CString GetFilePath() const { return m_strFileName; }

    // Times (through the file-time store), size, attributes and full name.
    // FALSE when the file cannot be queried; GetLastError() tells why.
    static BOOL GetStatus(const char* pszFileName, CFileStatus& rStatus);
    // Writes the three times through the file-time store (an invalid CTime leaves that
    // time as it is) and the attributes when they differ. On failure it throws
    // new CFileException with the OS error code, which is also left in GetLastError().
    static void SetStatus(const char* pszFileName, const CFileStatus& status);

    // The same two on the open file, sparing the system a search for it by name.
    // Its status carries the name given to SetFilePath as its full name.
    // Writing needs a handle opened with write access.
    BOOL GetStatus(CFileStatus& rStatus) const;
    void SetStatus(const CFileStatus& status);
    // The same pair for a caller that writes soon after reading and needs no
    // size: the read leaves m_size at 0 (the size is a query of its own for the
    // system) and gives the attributes in full (the record keeps their low
    // byte); the write takes them instead of asking the system again.
    BOOL GetTimesAndAttributes(CFileStatus& rStatus, DWORD& dwAttributes) const;
    void SetStatus(const CFileStatus& status, DWORD dwAttributes);

    HANDLE m_hFile = INVALID_HANDLE_VALUE;

protected:
    CString m_strFileName;
};
