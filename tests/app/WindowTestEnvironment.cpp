// Under Wine without a window manager, hiding a managed window waits two
// seconds for a manager that never answers. The dialog tests open and close
// the dialog dozens of times, so this test program asks Wine's X11 driver for
// unmanaged windows. The driver reads the setting when it loads, before the
// first window; the previous setting is put back at the end, so that other
// programs in the same Wine prefix see no change.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace
{
const char kDriverKey[] = "Software\\Wine\\X11 Driver";
const char kManaged[] = "Managed";

class WindowTestEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        HKEY hKey = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kDriverKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey,
                            nullptr) != ERROR_SUCCESS)
            return;
        char previous[16] = {};
        DWORD type = REG_NONE;
        DWORD size = sizeof(previous) - 1;
        m_hadValue = RegQueryValueExA(hKey, kManaged, nullptr, &type, reinterpret_cast<BYTE*>(previous),
                                      &size) == ERROR_SUCCESS &&
                     type == REG_SZ;
        m_previous = previous;
        RegSetValueExA(hKey, kManaged, 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
        RegCloseKey(hKey);
        m_changed = true;
    }

    void TearDown() override
    {
        if (!m_changed)
            return;
        HKEY hKey = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kDriverKey, 0, KEY_ALL_ACCESS, &hKey) != ERROR_SUCCESS)
            return;
        if (m_hadValue)
            RegSetValueExA(hKey, kManaged, 0, REG_SZ, reinterpret_cast<const BYTE*>(m_previous.c_str()),
                           static_cast<DWORD>(m_previous.size() + 1));
        else
            RegDeleteValueA(hKey, kManaged);
        RegCloseKey(hKey);
    }

private:
    bool m_changed = false;
    bool m_hadValue = false;
    std::string m_previous;
};

::testing::Environment* const g_windowEnvironment =
    ::testing::AddGlobalTestEnvironment(new WindowTestEnvironment);
} // namespace
