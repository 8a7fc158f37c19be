#include "CHeldFile.h"

#include <fcntl.h>
#include <io.h>

CHeldFile::~CHeldFile()
{
    if (m_stream)
        fclose(m_stream);
}

bool CHeldFile::Open(const char* pszFileName)
{
    const DWORD dwShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE hFile = ::CreateFileA(pszFileName, GENERIC_READ | GENERIC_WRITE, dwShare, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    bool bWritable = hFile != INVALID_HANDLE_VALUE;
    if (!bWritable)
        hFile = ::CreateFileA(pszFileName, GENERIC_READ, dwShare, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(hFile), _O_RDONLY | _O_BINARY);
    if (fd == -1)
    {
        ::CloseHandle(hFile);
        return false;
    }
    FILE* stream = _fdopen(fd, "rb");
    if (!stream)
    {
        _close(fd);
        return false;
    }
    m_stream = stream;
    m_bWritable = bWritable;
    m_file.m_hFile = hFile;
    m_file.SetFilePath(pszFileName);
    return true;
}

bool CHeldFile::SetStatus(const CFileStatus& status, DWORD& dwError)
{
    try
    {
        if (m_bWritable)
            m_file.SetStatus(status);
        else
            CFile::SetStatus(m_file.GetFilePath(), status);
    }
    catch (CFileException* e)
    {
        // The code travels with the exception: unwinding may reset the last error.
        dwError = static_cast<DWORD>(e->m_lOsError);
        e->Delete();
        return false;
    }
    catch (CException* e)
    {
        dwError = ::GetLastError();
        e->Delete();
        return false;
    }
    return true;
}
