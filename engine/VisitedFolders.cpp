#include "VisitedFolders.h"

#include <windows.h>
#include <winternl.h>

namespace
{
// The information class of NtQueryInformationFile that holds the file index.
const int kFileInternalInformation = 6;

// Asks the file system alone. GetFileInformationByHandle also queries the
// volume, which under Wine is a round trip to another process, on every folder.
bool QueryFile(HANDLE handle, void* info, ULONG length, int infoClass)
{
    using QueryFunction = decltype(&NtQueryInformationFile);
    static const QueryFunction query = reinterpret_cast<QueryFunction>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQueryInformationFile")));
    IO_STATUS_BLOCK io;
    return query && query(handle, &io, info, length, static_cast<FILE_INFORMATION_CLASS>(infoClass)) >= 0;
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

std::string WithoutTrailingSeparators(const char* path)
{
    std::string text(path);
    while (!text.empty() && IsSeparator(text.back()))
        text.pop_back();
    return text;
}

// The folder holding a path, or nothing for a path that ends in "." or
// "..", whose parent is not the folder above it.
bool ParentOf(const std::string& path, std::string& parent)
{
    const size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos)
        return false;
    const std::string name = path.substr(slash + 1);
    if (name.empty() || name == "." || name == "..")
        return false;
    parent = WithoutTrailingSeparators(path.substr(0, slash).c_str());
    return true;
}
} // namespace

bool CVisitedFolders::Enter(const char* path)
{
    const std::string key = WithoutTrailingSeparators(path);
    if (!m_bIdentifying)
    {
        std::string parent;
        bool bPlain = m_unidentified.empty();
        if (!bPlain && ParentOf(key, parent) && m_unidentified.count(parent))
        {
            const DWORD dwAttributes = ::GetFileAttributesA(path);
            bPlain =
                dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
        }
        if (bPlain)
        {
            m_unidentified.insert(key);
            return true;
        }
        // From here on a folder may come again: every folder walked so far
        // needs its identity, parents before their subfolders.
        m_bIdentifying = true;
        for (const std::string& walked : m_unidentified)
            Identify(walked, walked.c_str());
        m_unidentified.clear();
    }
    return Identify(key, path);
}

bool CVisitedFolders::Identify(const std::string& key, const char* path)
{
    // Opening a folder for its identity needs backup semantics and no access rights.
    HANDLE folder = ::CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE)
        return true;
    unsigned long serial = 0, indexHigh = 0, indexLow = 0;
    bool bKnown = false;

    // Only a reparse point (mount point, junction, link) can lead to another
    // volume; a plain subfolder of a walked folder shares its volume.
    std::string parent;
    std::map<std::string, unsigned long>::const_iterator it = m_volumes.end();
    if (ParentOf(key, parent))
        it = m_volumes.find(parent);
    LARGE_INTEGER index;
    DWORD dwAttributes = it != m_volumes.end() ? ::GetFileAttributesA(path) : INVALID_FILE_ATTRIBUTES;
    if (dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
        QueryFile(folder, &index, sizeof(index), kFileInternalInformation))
    {
        serial = it->second;
        indexHigh = static_cast<unsigned long>(index.HighPart);
        indexLow = index.LowPart;
        bKnown = true;
    }
    else
    {
        BY_HANDLE_FILE_INFORMATION info;
        if (::GetFileInformationByHandle(folder, &info))
        {
            serial = info.dwVolumeSerialNumber;
            indexHigh = info.nFileIndexHigh;
            indexLow = info.nFileIndexLow;
            bKnown = true;
        }
    }
    ::CloseHandle(folder);
    if (!bKnown)
        return true;
    if (!m_folders.insert(Identity(serial, indexHigh, indexLow)).second)
        return false;
    m_volumes[key] = serial;
    return true;
}
