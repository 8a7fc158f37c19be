// The one place where file times are read and written, replaceable so that tests can
// keep creation times where the file system under them does not.
#pragma once

#include <windows.h>

struct IFileTimeStore
{
    virtual ~IFileTimeStore() = default;
    // Any pointer may be null: that time is then neither read nor written.
    // FALSE on failure, with GetLastError() telling why.
    virtual BOOL GetTimes(const char* path, FILETIME* created, FILETIME* accessed, FILETIME* written) = 0;
    virtual BOOL SetTimes(const char* path, const FILETIME* created, const FILETIME* accessed,
                          const FILETIME* written) = 0;
    // The times of a file whose attributes the caller has just read. A store that
    // keeps its own times asks GetTimes; the file system's store takes them from
    // the attributes and spares opening the file.
    virtual BOOL GetTimesWithAttributes(const char* path, const WIN32_FILE_ATTRIBUTE_DATA& data,
                                        FILETIME* created, FILETIME* accessed, FILETIME* written)
    {
        (void)data;
        return GetTimes(path, created, accessed, written);
    }
    // Writes the times of a file the caller holds open, with write access, under
    // that name; dwAttributes are its attributes as the caller has just read or
    // set them. A store that keeps its own times goes by the name.
    virtual BOOL SetTimesOfOpenFile(HANDLE hFile, const char* path, DWORD dwAttributes,
                                    const FILETIME* created, const FILETIME* accessed,
                                    const FILETIME* written)
    {
        (void)hFile;
        (void)dwAttributes;
        return SetTimes(path, created, accessed, written);
    }
};

// The store backed by the file system (AfxCreateFile, GetFileTime, SetFileTime).
class CWin32FileTimeStore : public IFileTimeStore
{
public:
    BOOL GetTimes(const char* path, FILETIME* created, FILETIME* accessed, FILETIME* written) override;
    // Opens the file for writing, so a read-only file or one held open by someone who
    // denies write sharing fails with ERROR_ACCESS_DENIED or ERROR_SHARING_VIOLATION.
    BOOL SetTimes(const char* path, const FILETIME* created, const FILETIME* accessed,
                  const FILETIME* written) override;
    BOOL GetTimesWithAttributes(const char* path, const WIN32_FILE_ATTRIBUTE_DATA& data, FILETIME* created,
                                FILETIME* accessed, FILETIME* written) override;
    // Through the handle: no second open, and so no second search for the file.
    BOOL SetTimesOfOpenFile(HANDLE hFile, const char* path, DWORD dwAttributes, const FILETIME* created,
                            const FILETIME* accessed, const FILETIME* written) override;
};

// Installs a store (nullptr: the Win32 one) and returns the one installed before.
IFileTimeStore* SetFileTimeStore(IFileTimeStore* pStore);
// The store in use.
IFileTimeStore& GetFileTimeStore();
