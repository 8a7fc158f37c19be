#include "framework/FolderIdentity.h"

#include <windows.h>
#include <winternl.h>

#include "framework/Handles.h"
#include "framework/LongPath.h"

#include <utility>

namespace
{
// The information class of NtQueryInformationFile that holds the file index.
const int kFileInternalInformation = 6;

// Asks the file system alone. GetFileInformationByHandle also queries the
// volume, which under Wine is a round trip to another process, on every folder.
bool QueryFile(HANDLE handle, void* info, ULONG length, int infoClass)
{
    static const auto query = AfxNtdllFunction<decltype(&NtQueryInformationFile)>("NtQueryInformationFile");
    IO_STATUS_BLOCK io;
    return query && query(handle, &io, info, length, static_cast<FILE_INFORMATION_CLASS>(infoClass)) >= 0;
}
} // namespace

HANDLE AfxOpenFolder(const char* pszPath, DWORD dwAccess)
{
    return AfxCreateFile(pszPath, dwAccess, kFileShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                         nullptr);
}

bool AfxReadFolderIdentity(const char* pszPath, const unsigned long* pParentSerial, FolderIdentity& identity)
{
    // Its identity needs no access rights.
    CKernelHandle folder(AfxOpenFolder(pszPath, 0));
    if (!folder)
        return false;
    LARGE_INTEGER index;
    if (pParentSerial && QueryFile(folder.Get(), &index, sizeof(index), kFileInternalInformation))
    {
        identity.serial = *pParentSerial;
        identity.indexHigh = static_cast<unsigned long>(index.HighPart);
        identity.indexLow = index.LowPart;
        return true;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(folder.Get(), &info))
        return false;
    identity.serial = info.dwVolumeSerialNumber;
    identity.indexHigh = info.nFileIndexHigh;
    identity.indexLow = info.nFileIndexLow;
    return true;
}

bool AfxReadFinalPath(const char* pszPath, std::string& finalPath)
{
    // Its final path needs no access rights.
    CKernelHandle folder(AfxOpenFolder(pszPath, 0));
    if (!folder)
        return false;
    std::string text(MAX_PATH, '\0');
    DWORD dwLength = ::GetFinalPathNameByHandleA(folder.Get(), &text[0], static_cast<DWORD>(text.size()),
                                                 FILE_NAME_NORMALIZED);
    if (dwLength >= text.size())
    {
        text.assign(dwLength, '\0');
        dwLength = ::GetFinalPathNameByHandleA(folder.Get(), &text[0], dwLength, FILE_NAME_NORMALIZED);
    }
    if (dwLength == 0 || dwLength >= text.size())
        return false;
    text.resize(dwLength);
    finalPath = std::move(text);
    return true;
}

std::string AfxWithoutTrailingSeparators(std::string path)
{
    while (!path.empty() && AfxIsPathSeparator(path.back()))
        path.pop_back();
    return path;
}

std::string AfxFolderKey(const std::string& path)
{
    std::string key = AfxWithoutTrailingSeparators(path);
    if (!key.empty() && key.back() == ':')
        key += '\\';
    return key;
}

std::string AfxFullPathKey(const char* pszPath)
{
    std::string full(MAX_PATH, '\0');
    DWORD dwLength = AfxGetFullPathName(pszPath, static_cast<DWORD>(full.size()), &full[0], nullptr);
    if (dwLength >= full.size())
    {
        full.assign(dwLength, '\0');
        dwLength = AfxGetFullPathName(pszPath, dwLength, &full[0], nullptr);
    }
    if (dwLength == 0 || dwLength >= full.size())
    {
        full = pszPath;
        for (char& c : full)
            if (c == '/')
                c = '\\';
    }
    else
        full.resize(dwLength);
    return AfxFolderKey(full);
}

std::string AfxChildKey(const std::string& parentKey, const std::string& name)
{
    return !parentKey.empty() && parentKey.back() == '\\' ? parentKey + name : parentKey + '\\' + name;
}
