// Where a folder lies, as the file system tells it, and the keys that spell
// one folder's path one way: what the walk of a drop needs to meet every
// folder once, whoever leads to it.
#pragma once

#include <windows.h>

#include <string>

// A folder opened for its own sake, not for its entries: with backup
// semantics, denying nothing, with only the rights asked for; may be invalid.
HANDLE AfxOpenFolder(const char* pszPath, DWORD dwAccess);

// A function of ntdll by name, looked up once by the caller; nullptr when
// the system lacks it.
template <class Function> Function AfxNtdllFunction(const char* pszName)
{
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), pszName)));
}

// The volume's serial number and the folder's 64-bit file index on that volume.
struct FolderIdentity
{
    unsigned long serial = 0;
    unsigned long indexHigh = 0;
    unsigned long indexLow = 0;
};

// Reads a folder's identity; false when it cannot be read. A plain subfolder
// of a folder on a known volume shares that volume's serial (pParentSerial)
// and needs only its file index, which spares asking the volume.
bool AfxReadFolderIdentity(const char* pszPath, const unsigned long* pParentSerial, FolderIdentity& identity);
// The path the system resolves a folder to, through links and other
// spellings; false when it cannot tell.
bool AfxReadFinalPath(const char* pszPath, std::string& finalPath);

// The path without separators at its end.
std::string AfxWithoutTrailingSeparators(std::string path);
// A folder's key from its path: no trailing separator, but a drive root
// keeps its backslash ("C:" alone names the current folder of C:).
std::string AfxFolderKey(const std::string& path);
// A dropped folder's full path in one spelling: backslashes, no "." or ".."
// parts, no trailing separator. Case stays: on a case-sensitive file system
// names that differ in case alone are different folders.
std::string AfxFullPathKey(const char* pszPath);
// The key of an entry of the folder with the key parentKey.
std::string AfxChildKey(const std::string& parentKey, const std::string& name);
