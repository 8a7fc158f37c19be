// Line-oriented file. In text mode (the default) "\n" is written as CR LF and
// ReadString drops CR LF or a lone LF. Failures are results, never exceptions.
#pragma once

#include <windows.h>

#include "CFile.h"
#include "CString.h"

class CStdioFile : public CFile
{
public:
    CStdioFile() = default;
    CStdioFile(const CStdioFile&) = delete;
    CStdioFile& operator=(const CStdioFile&) = delete;
    ~CStdioFile() override;

    // modeCreate makes or truncates the file, with modeNoTruncate it opens or makes it;
    // without modeCreate the file must exist. typeBinary switches off the translation.
    BOOL Open(const char* pszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    // One line without its LF (in text mode also without the CR before it);
    // FALSE at the end of the file or on a read error.
    BOOL ReadString(CString& rString);
    // The whole text is written to the file before this returns; FALSE if it was not.
    BOOL WriteString(const char* pszText);
    // FALSE when the file is not open or any write since opening it failed.
    BOOL Flush();
    void SeekToEnd();
    void Close();
    BOOL IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }

private:
    BOOL WriteAll(const char* pData, DWORD dwLength);
    void DropReadAhead();

    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    bool m_bText = true;
    bool m_bWriteFailed = false;
    // Read-ahead: bytes [m_nReadPos, m_nReadEnd) of m_readBuffer are not yet consumed.
    char m_readBuffer[4096];
    DWORD m_nReadPos = 0;
    DWORD m_nReadEnd = 0;
};
