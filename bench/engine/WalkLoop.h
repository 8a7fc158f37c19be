// The walk that the bare loops share: every .jpg/.jpeg under the given
// folders, found with FindFirstFile, handed to one touch function; prints the
// number of files handled, how many of them failed, and the peak working
// set, which shows what the platform itself keeps for a large folder.
#pragma once

#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <string>

using TouchFunction = bool (*)(const std::string& path, const FILETIME& ftNew);

inline bool IsJpegName(const char* name)
{
    const size_t len = strlen(name);
    return (len > 4 && _stricmp(name + len - 4, ".jpg") == 0) ||
           (len > 5 && _stricmp(name + len - 5, ".jpeg") == 0);
}

inline void Walk(const std::string& folder, TouchFunction touch, const FILETIME& ftNew, long& nFiles,
                 long& nFailed)
{
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do
    {
        const std::string path = folder + "\\" + fd.cFileName;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        {
            if (strcmp(fd.cFileName, ".") != 0 && strcmp(fd.cFileName, "..") != 0)
                Walk(path, touch, ftNew, nFiles, nFailed);
        }
        else if (IsJpegName(fd.cFileName))
        {
            ++nFiles;
            if (!touch(path, ftNew))
                ++nFailed;
        }
    } while (FindNextFileA(hFind, &fd));
    FindClose(hFind);
}

inline int RunWalkLoop(const char* name, int argc, char** argv, TouchFunction touch)
{
    if (argc < 2)
    {
        fprintf(stderr, "usage: %s folder...\n", name);
        return 2;
    }
    // A fixed moment, 2001-06-09 15:17:32 UTC.
    SYSTEMTIME st = {2001, 6, 6, 9, 15, 17, 32, 0};
    FILETIME ftNew;
    SystemTimeToFileTime(&st, &ftNew);

    long nFiles = 0;
    long nFailed = 0;
    for (int i = 1; i < argc; ++i)
        Walk(argv[i], touch, ftNew, nFiles, nFailed);
    printf("files: %ld\nfailed: %ld\n", nFiles, nFailed);
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)))
        printf("peak working set: %lu KB\n", static_cast<unsigned long>(counters.PeakWorkingSetSize / 1024));
    return nFailed == 0 ? 0 : 1;
}
