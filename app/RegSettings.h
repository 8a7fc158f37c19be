// Registry accessor bound to one root hive and one key path. The key is
// opened and closed again for every operation, so no handle outlives a call.
// Every failure is reported only through the result: no exceptions, no UI.
#pragma once

#include "framework/Framework.h"

class CRegSettings
{
public:
    CRegSettings();

    // Accepts only HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE
    // and HKEY_USERS; anything else leaves the root as it was.
    bool SetRootKey(HKEY hRootKey);

    // An empty path clears the stored path without touching the registry.
    // Otherwise the key must open (or be created when bCanCreate is set)
    // with full access before the path is taken.
    bool SetKey(const char* pszKey, bool bCanCreate);

    // Exactly 4 bytes of data are an integer; any other size, a missing
    // value or a missing key gives the default. The type is not looked at.
    int ReadIntValue(const char* pszName, int nDefault) const;

    // Only REG_SZ and REG_EXPAND_SZ (unexpanded) of at most 255 bytes with
    // the terminator are read; everything else gives the default.
    CString ReadStringValue(const char* pszName, const char* pszDefault) const;

    // Writes the integer as 4 bytes of REG_BINARY, little-endian.
    bool WriteIntValue(const char* pszName, int nValue) const;

    // Writes REG_SZ; texts longer than 254 bytes are refused.
    bool WriteStringValue(const char* pszName, const char* pszValue) const;

private:
    HKEY m_hRootKey;
    CString m_strKey;
};
