// The least that any Windows program must do for a drop: walk the folders
// with FindFirstFile; open each .jpg/.jpeg once for reading and writing; read
// its first 16 KiB; set its last-write time through that handle; close it.
// Prints the number of files handled.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace
{
bool IsJpegName(const char* name)
{
    const size_t len = strlen(name);
    return (len > 4 && _stricmp(name + len - 4, ".jpg") == 0) ||
           (len > 5 && _stricmp(name + len - 5, ".jpeg") == 0);
}

bool TouchFile(const std::string& path, const FILETIME& ftNew)
{
    HANDLE hFile = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    static BYTE header[16384];
    DWORD cbRead = 0;
    bool bOk = ReadFile(hFile, header, sizeof(header), &cbRead, nullptr) && cbRead >= 2;
    bOk = bOk && SetFileTime(hFile, nullptr, nullptr, &ftNew);
    CloseHandle(hFile);
    return bOk;
}

void Walk(const std::string& folder, const FILETIME& ftNew, long& nFiles, long& nFailed)
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
                Walk(path, ftNew, nFiles, nFailed);
        }
        else if (IsJpegName(fd.cFileName))
        {
            ++nFiles;
            if (!TouchFile(path, ftNew))
                ++nFailed;
        }
    } while (FindNextFileA(hFind, &fd));
    FindClose(hFind);
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        fprintf(stderr, "usage: floor-loop folder...\n");
        return 2;
    }
    // A fixed moment, 2001-06-09 15:17:32 UTC.
    SYSTEMTIME st = {2001, 6, 6, 9, 15, 17, 32, 0};
    FILETIME ftNew;
    SystemTimeToFileTime(&st, &ftNew);

    long nFiles = 0;
    long nFailed = 0;
    for (int i = 1; i < argc; ++i)
        Walk(argv[i], ftNew, nFiles, nFailed);
    printf("files: %ld\nfailed: %ld\n", nFiles, nFailed);
    return nFailed == 0 ? 0 : 1;
}
