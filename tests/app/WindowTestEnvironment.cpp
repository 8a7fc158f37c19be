// Under Wine without a window manager, hiding a managed window waits two
// seconds for a manager that never answers, and the dialog tests open and
// close the dialog dozens of times. So this test program asks Wine's X11
// driver for unmanaged windows, for itself only (the per-program settings of
// the Wine prefix). The driver reads the setting when the process starts, so
// it takes effect from the second run in a Wine prefix on; the first run is
// only slower. Windows itself ignores the key.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace
{
class WindowTestEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        char path[MAX_PATH] = {};
        DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            return;
        std::string program(path, length);
        size_t slash = program.find_last_of("\\/");
        if (slash != std::string::npos)
            program.erase(0, slash + 1);

        std::string key = "Software\\Wine\\AppDefaults\\" + program + "\\X11 Driver";
        HKEY hKey = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &hKey,
                            nullptr) != ERROR_SUCCESS)
            return;
        RegSetValueExA(hKey, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
        RegCloseKey(hKey);
    }
};

::testing::Environment* const g_windowEnvironment =
    ::testing::AddGlobalTestEnvironment(new WindowTestEnvironment);
} // namespace
