// The bare loop: for every .jpg/.jpeg under the given folders, the system
// work of the per-file change (open, read the first header bytes, read and
// set the times), nothing else.
#include "bench/engine/WalkLoop.h"

namespace
{
// One file: the same system work as the per-file change, without the reader,
// the log, the journal or the status line.
bool TouchFile(const std::string& path, const FILETIME& ftNew)
{
    HANDLE hFile = CreateFileA(path.c_str(), GENERIC_READ | FILE_WRITE_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    BYTE header[4096];
    DWORD cbRead = 0;
    bool bOk = ReadFile(hFile, header, sizeof(header), &cbRead, nullptr) && cbRead >= 4 &&
               header[0] == 0xFF && header[1] == 0xD8;
    FILETIME ftCreated, ftAccessed, ftWritten;
    bOk = bOk && GetFileTime(hFile, &ftCreated, &ftAccessed, &ftWritten) &&
          SetFileTime(hFile, &ftCreated, &ftAccessed, &ftNew);
    CloseHandle(hFile);
    return bOk;
}
} // namespace

int main(int argc, char** argv)
{
    return RunWalkLoop("bare-loop", argc, argv, TouchFile);
}
