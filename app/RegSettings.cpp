#include "app/RegSettings.h"

#include "framework/Handles.h"

#include <string.h>

namespace
{
// Room for 254 bytes of text plus its terminator; one more byte stays zero.
const DWORD kStringQuerySize = 255;
const DWORD kStringBufferSize = 256;
const size_t kMaxStringLength = 254;
} // namespace

CRegSettings::CRegSettings() : m_hRootKey(HKEY_CURRENT_USER) {}

bool CRegSettings::SetRootKey(HKEY hRootKey)
{
    if (hRootKey != HKEY_CLASSES_ROOT && hRootKey != HKEY_CURRENT_USER && hRootKey != HKEY_LOCAL_MACHINE &&
        hRootKey != HKEY_USERS)
        return false;
    m_hRootKey = hRootKey;
    return true;
}

bool CRegSettings::SetKey(const char* pszKey, bool bCanCreate)
{
    if (pszKey == nullptr || *pszKey == '\0')
    {
        m_strKey.Empty();
        return true;
    }

    CRegKeyHandle key;
    LONG lResult;
    if (bCanCreate)
        lResult = RegCreateKeyExA(m_hRootKey, pszKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                  nullptr, key.Receive(), nullptr);
    else
        lResult = RegOpenKeyExA(m_hRootKey, pszKey, 0, KEY_ALL_ACCESS, key.Receive());
    if (lResult != ERROR_SUCCESS)
        return false;

    m_strKey = pszKey;
    return true;
}

int CRegSettings::ReadIntValue(const char* pszName, int nDefault) const
{
    CRegKeyHandle key;
    if (RegOpenKeyExA(m_hRootKey, m_strKey, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return nDefault;

    BYTE data[sizeof(DWORD)] = {};
    DWORD cbData = sizeof(data);
    LONG lResult = RegQueryValueExA(key.Get(), pszName, nullptr, nullptr, data, &cbData);

    // A shorter value would leave the high bytes undefined: take the default.
    if (lResult != ERROR_SUCCESS || cbData != sizeof(data))
        return nDefault;
    DWORD dwValue = static_cast<DWORD>(data[0]) | static_cast<DWORD>(data[1]) << 8 |
                    static_cast<DWORD>(data[2]) << 16 | static_cast<DWORD>(data[3]) << 24;
    return static_cast<int>(dwValue);
}

CString CRegSettings::ReadStringValue(const char* pszName, const char* pszDefault) const
{
    CRegKeyHandle key;
    if (RegOpenKeyExA(m_hRootKey, m_strKey, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
        return CString(pszDefault);
    DWORD dwType = REG_NONE;
    LONG lResult = RegQueryValueExA(key.Get(), pszName, nullptr, &dwType, nullptr, nullptr);
    key.Close();
    if (lResult != ERROR_SUCCESS || (dwType != REG_SZ && dwType != REG_EXPAND_SZ))
        return CString(pszDefault);

    if (RegOpenKeyExA(m_hRootKey, m_strKey, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return CString(pszDefault);
    // The last byte is never offered, so the text always ends in a zero even
    // when the stored data lack their terminator.
    char buffer[kStringBufferSize] = {};
    DWORD cbData = kStringQuerySize;
    lResult =
        RegQueryValueExA(key.Get(), pszName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &cbData);
    if (lResult != ERROR_SUCCESS)
        return CString(pszDefault);
    return CString(buffer);
}

bool CRegSettings::WriteIntValue(const char* pszName, int nValue) const
{
    CRegKeyHandle key;
    if (RegOpenKeyExA(m_hRootKey, m_strKey, 0, KEY_WRITE, key.Receive()) != ERROR_SUCCESS)
        return false;

    DWORD dwValue = static_cast<DWORD>(nValue);
    const BYTE data[sizeof(DWORD)] = {static_cast<BYTE>(dwValue), static_cast<BYTE>(dwValue >> 8),
                                      static_cast<BYTE>(dwValue >> 16), static_cast<BYTE>(dwValue >> 24)};
    return RegSetValueExA(key.Get(), pszName, 0, REG_BINARY, data, sizeof(data)) == ERROR_SUCCESS;
}

bool CRegSettings::WriteStringValue(const char* pszName, const char* pszValue) const
{
    if (pszValue == nullptr)
        pszValue = "";
    size_t nLength = strlen(pszValue);
    if (nLength > kMaxStringLength)
        return false;

    CRegKeyHandle key;
    if (RegOpenKeyExA(m_hRootKey, m_strKey, 0, KEY_WRITE, key.Receive()) != ERROR_SUCCESS)
        return false;
    return RegSetValueExA(key.Get(), pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(pszValue),
                          static_cast<DWORD>(nLength + 1)) == ERROR_SUCCESS;
}
