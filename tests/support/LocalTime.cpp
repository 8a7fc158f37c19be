#include "tests/support/LocalTime.h"

#include <cstdio>

namespace
{
std::string FormatFields(const CTime& time, const char* pszFormat)
{
    struct tm fields;
    if (!time.GetLocalTm(&fields))
        return "invalid";
    char text[64];
    std::snprintf(text, sizeof(text), pszFormat, fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday,
                  fields.tm_hour, fields.tm_min, fields.tm_sec);
    return text;
}
} // namespace

std::string LocalText(const CTime& time)
{
    return FormatFields(time, "%04d-%02d-%02d %02d:%02d:%02d");
}

std::string LocalText(const FILETIME& time)
{
    return LocalText(CTime(time));
}

std::string LocalFields(const CTime& time)
{
    return FormatFields(time, "%d-%d-%d %d:%d:%d");
}

FILETIME LocalFileTime(int year, int month, int day, int hour, int minute, int second)
{
    FILETIME time = {};
    CTime(year, month, day, hour, minute, second, -1).GetAsFileTime(time);
    return time;
}

bool SetLastWriteTime(const std::string& path, const FILETIME& time)
{
    HANDLE file = ::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BOOL ok = ::SetFileTime(file, nullptr, nullptr, &time);
    ::CloseHandle(file);
    return ok != FALSE;
}

bool GetLastWriteTime(const std::string& path, FILETIME& time)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    time = data.ftLastWriteTime;
    return true;
}
