// A setting of the running program's manifest, read the way Windows reads
// it (QueryActCtxSettingsW on the process's activation context).
#pragma once

#include <windows.h>

#include <string>

namespace support
{
const wchar_t kWindowsSettings2005[] = L"http://schemas.microsoft.com/SMI/2005/WindowsSettings";
const wchar_t kWindowsSettings2016[] = L"http://schemas.microsoft.com/SMI/2016/WindowsSettings";

// False when the manifest has no such setting.
inline bool ManifestSetting(const wchar_t* space, const wchar_t* name, std::wstring& value)
{
    WCHAR buffer[64] = {};
    SIZE_T written = 0;
    if (!QueryActCtxSettingsW(0, nullptr, space, name, buffer, 64, &written))
        return false;
    value = buffer;
    return true;
}
} // namespace support
