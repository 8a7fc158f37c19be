// Raw registry access for the settings tests: they check what really lands in
// Wine's registry, independently of the code under test.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace regtest
{
const char kKeyPath[] = "Software\\Freeware\\Chronoshift";

inline void DeleteKey(const char* path = kKeyPath)
{
    LONG lResult = RegDeleteTreeA(HKEY_CURRENT_USER, path);
    ASSERT_TRUE(lResult == ERROR_SUCCESS || lResult == ERROR_FILE_NOT_FOUND) << "cannot clear " << path;
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &hKey) == ERROR_SUCCESS)
    {
        RegCloseKey(hKey);
        ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_CURRENT_USER, path)) << "cannot clear " << path;
    }
}

inline bool KeyExists(const char* path = kKeyPath)
{
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hKey);
    return true;
}

inline void CreateKey(const char* path = kKeyPath)
{
    HKEY hKey = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                             &hKey, nullptr));
    RegCloseKey(hKey);
}

inline void SetRaw(const char* name, DWORD type, const void* data, DWORD size, const char* path = kKeyPath)
{
    HKEY hKey = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                             &hKey, nullptr));
    LONG lResult = RegSetValueExA(hKey, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(hKey);
    ASSERT_EQ(ERROR_SUCCESS, lResult) << name;
}

inline void SetDword(const char* name, DWORD value)
{
    SetRaw(name, REG_DWORD, &value, sizeof(value));
}

inline void SetBinaryInt(const char* name, DWORD value)
{
    const BYTE bytes[4] = {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)};
    SetRaw(name, REG_BINARY, bytes, sizeof(bytes));
}

inline void SetText(const char* name, const std::string& text, DWORD type = REG_SZ)
{
    SetRaw(name, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

// What a stored value really is: its type and its bytes.
struct RawValue
{
    bool present = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;

    std::string Text() const { return std::string(data.begin(), data.end()); }
    DWORD Int() const
    {
        if (data.size() != 4)
            return 0xDEADBEEF;
        return DWORD(data[0]) | DWORD(data[1]) << 8 | DWORD(data[2]) << 16 | DWORD(data[3]) << 24;
    }
};

inline RawValue GetRaw(const char* name, const char* path = kKeyPath)
{
    RawValue value;
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExA(hKey, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS)
    {
        value.data.resize(size);
        if (RegQueryValueExA(hKey, name, nullptr, &value.type, value.data.data(), &size) == ERROR_SUCCESS)
        {
            value.data.resize(size);
            value.present = true;
        }
    }
    RegCloseKey(hKey);
    return value;
}

// Every test starts and ends without the program's key.
class CleanKeyTest : public ::testing::Test
{
protected:
    void SetUp() override { DeleteKey(); }
    void TearDown() override { DeleteKey(); }
};
} // namespace regtest
