// File-time store for tests: keeps creation times the way NTFS does, which the file
// systems under Wine cannot. Last-write and last-access times, and every failure
// (missing, read-only or locked file), come from the real files. Installs itself for
// its lifetime.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "framework/FileTimeStore.h"

class NtfsLikeTimeStore : public IFileTimeStore
{
public:
    NtfsLikeTimeStore() : m_pPrevious(SetFileTimeStore(this)) {}
    NtfsLikeTimeStore(const NtfsLikeTimeStore&) = delete;
    NtfsLikeTimeStore& operator=(const NtfsLikeTimeStore&) = delete;
    ~NtfsLikeTimeStore() override { SetFileTimeStore(m_pPrevious); }

    BOOL GetTimes(const char* path, FILETIME* created, FILETIME* accessed, FILETIME* written) override
    {
        FILETIME realCreated;
        if (!m_real.GetTimes(path, &realCreated, accessed, written))
            return FALSE;
        if (created)
        {
            auto it = m_created.find(Key(path));
            *created = it != m_created.end() ? it->second : realCreated;
        }
        return TRUE;
    }

    BOOL SetTimes(const char* path, const FILETIME* created, const FILETIME* accessed,
                  const FILETIME* written) override
    {
        ++m_nSetCalls;
        if (m_dwFailWith != ERROR_SUCCESS)
        {
            SetLastError(m_dwFailWith);
            return FALSE;
        }
        if (!m_real.SetTimes(path, nullptr, accessed, written))
            return FALSE;
        if (created)
            m_created[Key(path)] = *created;
        return TRUE;
    }

    // Gives a file a creation time, as if it had been made then.
    void SetCreated(const char* path, const FILETIME& created) { m_created[Key(path)] = created; }
    bool GetCreated(const char* path, FILETIME& created) const
    {
        auto it = m_created.find(Key(path));
        if (it == m_created.end())
            return false;
        created = it->second;
        return true;
    }
    // Every later SetTimes fails with this code (ERROR_SUCCESS: no longer).
    void FailSetTimes(DWORD dwError) { m_dwFailWith = dwError; }
    int SetTimesCalls() const { return m_nSetCalls; }

private:
    // Names compare like on NTFS: full path, ASCII case ignored.
    static std::string Key(const char* path)
    {
        char szFull[MAX_PATH * 2];
        DWORD dwLength = GetFullPathNameA(path, sizeof(szFull), szFull, nullptr);
        std::string key =
            (dwLength > 0 && dwLength < sizeof(szFull)) ? std::string(szFull, dwLength) : std::string(path);
        for (char& ch : key)
            if (ch >= 'A' && ch <= 'Z')
                ch = static_cast<char>(ch - 'A' + 'a');
        return key;
    }

    CWin32FileTimeStore m_real;
    IFileTimeStore* m_pPrevious;
    std::map<std::string, FILETIME> m_created;
    DWORD m_dwFailWith = ERROR_SUCCESS;
    int m_nSetCalls = 0;
};
