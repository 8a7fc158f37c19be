#include "tests/driver/FullPath.h"

#include <windows.h>

std::string FullPath(const std::string& path)
{
    // Asked for the real length first: no fixed buffer cuts a long path short.
    DWORD cch = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (cch == 0)
        return path;
    std::string full(cch, '\0');
    cch = GetFullPathNameA(path.c_str(), cch, &full[0], nullptr);
    full.resize(cch);
    return full;
}
