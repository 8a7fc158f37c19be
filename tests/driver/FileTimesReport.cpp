#include "tests/driver/FileTimesReport.h"

#include "tests/support/LocalTime.h"

#include "framework/Framework.h"

#include <algorithm>
#include <cstdio>

namespace
{
void Collect(const std::string& path, std::vector<std::string>& files)
{
    const DWORD dwAttributes = GetFileAttributesA(path.c_str());
    if (dwAttributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (!(dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
    {
        files.push_back(path);
        return;
    }
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do
    {
        if (strcmp(fd.cFileName, ".") != 0 && strcmp(fd.cFileName, "..") != 0)
            Collect(path + "\\" + fd.cFileName, files);
    } while (FindNextFileA(hFind, &fd));
    FindClose(hFind);
}
} // namespace

std::vector<std::string> ListFilesUnder(const std::vector<std::string>& paths)
{
    std::vector<std::string> files;
    for (const std::string& path : paths)
        Collect(path, files);
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    return files;
}

void PrintFileTimes(const char* phase, const std::vector<std::string>& files)
{
    for (const std::string& file : files)
    {
        CFileStatus status;
        if (!CFile::GetStatus(file.c_str(), status))
        {
            printf("times %s: %s\tunreadable\n", phase, file.c_str());
            continue;
        }
        printf("times %s: %s\tcreated %s\tmodified %s\n", phase, file.c_str(),
               LocalText(status.m_ctime).c_str(), LocalText(status.m_mtime).c_str());
    }
    fflush(stdout);
}
