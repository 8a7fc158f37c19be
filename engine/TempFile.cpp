#include "TempFile.h"

#include <memory>
#include <new>

bool GetTempFolder(CString& folder)
{
    folder.Empty();
    DWORD size = ::GetTempPathW(0, nullptr);
    if (size == 0)
        return false;
    std::unique_ptr<wchar_t[]> wide(new (std::nothrow) wchar_t[size]);
    if (!wide)
        return false;
    DWORD length = ::GetTempPathW(size, wide.get());
    if (length == 0 || length >= size)
        return false;
    int bytes =
        ::WideCharToMultiByte(CP_ACP, 0, wide.get(), static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return false;
    char* buffer = folder.GetBuffer(bytes);
    if (!buffer)
        return false;
    ::WideCharToMultiByte(CP_ACP, 0, wide.get(), static_cast<int>(length), buffer, bytes, nullptr, nullptr);
    folder.ReleaseBuffer(bytes);
    return true;
}

CString FormatTempFileName(const char* folder, const SYSTEMTIME& time, int counter)
{
    CString name;
    name.Format("%sChronoshift Temp %02u%02u%02u%03u%d.txt", folder, static_cast<unsigned>(time.wHour),
                static_cast<unsigned>(time.wMinute), static_cast<unsigned>(time.wSecond),
                static_cast<unsigned>(time.wMilliseconds), counter);
    return name;
}

bool CreateUniqueTempFile(const char* folder, const SYSTEMTIME& time, CString& path, int maxAttempts,
                          int maxFailures)
{
    path.Empty();
    int failures = 0;
    for (int counter = 0; counter < maxAttempts; ++counter)
    {
        CString name = FormatTempFileName(folder, time, counter);
        HANDLE file = ::CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE)
        {
            ::CloseHandle(file);
            path = name;
            return true;
        }
        DWORD error = ::GetLastError();
        // An existing name only asks for the next counter; anything else may
        // be a folder that will never take a file, so those tries are few.
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && ++failures >= maxFailures)
            break;
    }
    return false;
}
