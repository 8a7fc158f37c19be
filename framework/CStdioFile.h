// Line-oriented text file: "\n" is written as CR LF and ReadString drops CR LF
// or a lone LF. Written text is buffered: Flush, Close or a seek hand it to the
// system. Its own calls report failures as results; only the status write
// it has from CFile throws, as CFile's does.
#pragma once

#include <windows.h>

#include "framework/CFile.h"
#include "framework/CString.h"

class CStdioFile : public CFile
{
public:
    CStdioFile() = default;
    CStdioFile(const CStdioFile&) = delete;
    CStdioFile& operator=(const CStdioFile&) = delete;
    ~CStdioFile() override;

    // modeCreate makes or truncates the file, with modeNoTruncate it opens or makes it;
    // without modeCreate the file must exist. FALSE with GetLastError() on failure.
    BOOL Open(const char* pszFileName, UINT nOpenFlags);
    // One line without its LF and the CR before it; FALSE at the end of the file
    // or on a read error.
    BOOL ReadString(CString& rString);
    // The text joins the buffer, which is written out whenever it fills; FALSE if
    // the file is not open for writing or a write-out failed.
    BOOL WriteString(const char* pszText);
    // Writes the buffer out; FALSE when the file is not open or any write since
    // opening it failed.
    BOOL Flush();
    void SeekToEnd();
    void Close();
    BOOL IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }

private:
    BOOL WriteAll(const char* pData, DWORD dwLength);
    BOOL WriteOut();

    bool m_bWriteFailed = false;
    bool m_bWritable = false;
    // Bytes [0, m_nWriteUsed) of m_writeBuffer are not yet written to the file.
    char m_writeBuffer[4096];
    DWORD m_nWriteUsed = 0;
    // Read-ahead: bytes [m_nReadPos, m_nReadEnd) of m_readBuffer are not yet consumed.
    char m_readBuffer[4096];
    DWORD m_nReadPos = 0;
    DWORD m_nReadEnd = 0;
};
