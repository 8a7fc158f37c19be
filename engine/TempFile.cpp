#include "engine/TempFile.h"

#include "framework/Handles.h"
#include "framework/LongPath.h"

#include <string>

bool GetTempFolder(CString& folder)
{
    folder.Empty();
    std::string path;
    if (!AfxGetTempPath(path))
        return false;
    folder = path.c_str();
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
        CKernelHandle file(AfxCreateFile(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                         CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file)
        {
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
