// The least that any Windows program must do for a drop: walk the folders
// with FindFirstFile; open each .jpg/.jpeg once for reading and writing; read
// its first 16 KiB; set its last-write time through that handle; close it.
// Prints the number of files handled.
#include "bench/engine/WalkLoop.h"

namespace
{
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
} // namespace

int main(int argc, char** argv)
{
    return RunWalkLoop("floor-loop", argc, argv, TouchFile);
}
