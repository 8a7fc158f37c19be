#include "VisitedFolders.h"

#include <windows.h>
#include <winternl.h>

#include "LongPath.h"

#include <utility>

namespace
{
// The information class of NtQueryInformationFile that holds the file index.
const int kFileInternalInformation = 6;

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

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

// Opening a folder for its identity needs backup semantics and no access rights.
HANDLE OpenFolder(const char* path)
{
    return AfxCreateFile(path, 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool ReadIdentity(const char* path, const unsigned long* pParentSerial, FolderIdentity& identity)
{
    HANDLE folder = OpenFolder(path);
    if (folder == INVALID_HANDLE_VALUE)
        return false;
    bool bRead = false;
    LARGE_INTEGER index;
    if (pParentSerial && QueryFile(folder, &index, sizeof(index), kFileInternalInformation))
    {
        identity.serial = *pParentSerial;
        identity.indexHigh = static_cast<unsigned long>(index.HighPart);
        identity.indexLow = index.LowPart;
        bRead = true;
    }
    else
    {
        BY_HANDLE_FILE_INFORMATION info;
        if (::GetFileInformationByHandle(folder, &info))
        {
            identity.serial = info.dwVolumeSerialNumber;
            identity.indexHigh = info.nFileIndexHigh;
            identity.indexLow = info.nFileIndexLow;
            bRead = true;
        }
    }
    ::CloseHandle(folder);
    return bRead;
}

// The path the system resolves a folder to, through links and other spellings.
bool ReadFinalPath(const char* path, std::string& finalPath)
{
    HANDLE folder = OpenFolder(path);
    if (folder == INVALID_HANDLE_VALUE)
        return false;
    std::string text(MAX_PATH, '\0');
    DWORD dwLength =
        ::GetFinalPathNameByHandleA(folder, &text[0], static_cast<DWORD>(text.size()), FILE_NAME_NORMALIZED);
    if (dwLength >= text.size())
    {
        text.assign(dwLength, '\0');
        dwLength = ::GetFinalPathNameByHandleA(folder, &text[0], dwLength, FILE_NAME_NORMALIZED);
    }
    ::CloseHandle(folder);
    if (dwLength == 0 || dwLength >= text.size())
        return false;
    text.resize(dwLength);
    finalPath = std::move(text);
    return true;
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

std::string WithoutTrailingSeparators(std::string text)
{
    while (!text.empty() && IsSeparator(text.back()))
        text.pop_back();
    return text;
}

// A drive root keeps its backslash: "C:" alone names the current folder of C:.
std::string AsKey(const std::string& path)
{
    std::string key = WithoutTrailingSeparators(path);
    if (!key.empty() && key.back() == ':')
        key += '\\';
    return key;
}

// A dropped folder's full path in one spelling: backslashes, no "." or ".."
// parts, no trailing separator. Case stays: on a case-sensitive file system
// names that differ in case alone are different folders.
std::string FullPathKey(const char* path)
{
    std::string full(MAX_PATH, '\0');
    DWORD dwLength = AfxGetFullPathName(path, static_cast<DWORD>(full.size()), &full[0], nullptr);
    if (dwLength >= full.size())
    {
        full.assign(dwLength, '\0');
        dwLength = AfxGetFullPathName(path, dwLength, &full[0], nullptr);
    }
    if (dwLength == 0 || dwLength >= full.size())
    {
        full = path;
        for (char& c : full)
            if (c == '/')
                c = '\\';
    }
    else
        full.resize(dwLength);
    return AsKey(full);
}

std::string ChildKey(const std::string& parentKey, const std::string& name)
{
    return !parentKey.empty() && parentKey.back() == '\\' ? parentKey + name : parentKey + '\\' + name;
}
} // namespace

void CVisitedFolders::Clear()
{
    m_paths.clear();
    m_identities.clear();
    m_untrustedVolumes.clear();
    m_stack.clear();
    m_nAnchors = 0;
    m_bIdentifying = false;
}

static_assert(CVisitedFolders::kAttributesUnknown == INVALID_FILE_ATTRIBUTES,
              "the system's unknown attributes");

bool CVisitedFolders::Enter(const char* path, unsigned long dwFoundAttributes)
{
    const std::string raw = WithoutTrailingSeparators(path);
    // An entry of the folder being walked: that folder's path, a separator
    // and the entry's name.
    std::string key;
    bool bChild = false;
    int nParentAnchor = 0;
    if (!m_stack.empty())
    {
        const Frame& top = m_stack.back();
        const size_t slash = raw.find_last_of("\\/");
        if (slash != std::string::npos && slash >= top.raw.size() &&
            raw.compare(0, top.raw.size(), top.raw) == 0 &&
            raw.find_first_not_of("\\/", top.raw.size()) == slash + 1)
        {
            const std::string name = raw.substr(slash + 1);
            if (name != "." && name != "..")
            {
                bChild = true;
                nParentAnchor = top.nAnchor;
                key = ChildKey(*top.pKey, name);
            }
        }
    }
    // Only a reparse point (mount point, junction, link) leads out of the tree
    // of its parent; a plain subfolder lies in it, on its parent's volume.
    bool bPlain = false;
    if (bChild)
    {
        const DWORD dwAttributes =
            dwFoundAttributes != kAttributesUnknown ? dwFoundAttributes : AfxGetFileAttributes(path);
        bPlain = dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
    }
    else
        key = FullPathKey(path);

    if (!m_bIdentifying && (bPlain || m_paths.empty()))
    {
        auto inserted = m_paths.insert(key);
        if (!inserted.second)
            return false;
        Push(raw, &*inserted.first, bPlain ? nParentAnchor : m_nAnchors++, false, 0);
        return true;
    }
    // The same path again is the same folder, whatever its identity.
    if (m_paths.count(key))
        return false;
    if (!m_bIdentifying)
    {
        // From here on a folder may come again: every folder walked so far
        // needs its identity.
        m_bIdentifying = true;
        IdentifyWalked();
    }
    const std::string* pKey = &*m_paths.insert(key).first;
    const int nAnchor = bPlain ? nParentAnchor : m_nAnchors++;
    bool bParentSerial = bPlain && m_stack.back().bSerial;
    unsigned long parentSerial = bParentSerial ? m_stack.back().serial : 0;
    bool bSerial = false;
    unsigned long serial = 0;
    if (!Identify(pKey, path, nAnchor, bParentSerial ? &parentSerial : nullptr, bSerial, serial))
        return false;
    Push(raw, pKey, nAnchor, bSerial, serial);
    return true;
}

void CVisitedFolders::Leave()
{
    if (!m_stack.empty())
        m_stack.pop_back();
}

void CVisitedFolders::Push(const std::string& raw, const std::string* pKey, int nAnchor, bool bSerial,
                           unsigned long serial)
{
    m_stack.push_back(Frame{raw, pKey, nAnchor, bSerial, serial});
}

void CVisitedFolders::IdentifyWalked()
{
    // All of them lie in the tree of the first dropped folder. In name order a
    // folder comes before the subfolders whose names it begins, so each plain
    // subfolder finds its parent's volume.
    std::map<std::string, unsigned long> serials;
    for (const std::string& key : m_paths)
    {
        unsigned long parentSerial = 0;
        const unsigned long* pParentSerial = nullptr;
        const size_t slash = key.find_last_of('\\');
        if (slash != std::string::npos && slash + 1 < key.size())
        {
            auto it = serials.find(AsKey(key.substr(0, slash)));
            if (it != serials.end())
            {
                parentSerial = it->second;
                pParentSerial = &parentSerial;
            }
        }
        bool bSerial = false;
        unsigned long serial = 0;
        Identify(&key, key.c_str(), 0, pParentSerial, bSerial, serial);
        if (bSerial)
            serials[key] = serial;
    }
    for (Frame& frame : m_stack)
    {
        auto it = serials.find(*frame.pKey);
        if (it != serials.end())
        {
            frame.bSerial = true;
            frame.serial = it->second;
        }
    }
}

bool CVisitedFolders::Identify(const std::string* pKey, const char* path, int nAnchor,
                               const unsigned long* pParentSerial, bool& bSerial, unsigned long& serial)
{
    // Without an identity the folder is told apart by its path alone.
    FolderIdentity identity;
    if (!QueryIdentity(path, pParentSerial, identity))
        return true;
    bSerial = true;
    serial = identity.serial;
    // Some volumes give every folder the index 0.
    if ((identity.indexHigh == 0 && identity.indexLow == 0) || m_untrustedVolumes.count(identity.serial))
        return true;
    auto inserted = m_identities.emplace(Identity(identity.serial, identity.indexHigh, identity.indexLow),
                                         Owner{pKey, nAnchor});
    if (inserted.second)
        return true;
    const Owner& owner = inserted.first->second;
    if (owner.nAnchor != nAnchor)
    {
        // Another way to a walked folder, unless the system resolves the two
        // to different places; where it cannot tell, the identity stands.
        std::string strNew, strOld;
        if (!QueryFinalPath(path, strNew) || !QueryFinalPath(owner.pKey->c_str(), strOld) || strNew == strOld)
            return false;
    }
    // One index for two folders: on this volume indexes tell folders apart no longer.
    m_untrustedVolumes.insert(identity.serial);
    return true;
}

bool CVisitedFolders::QueryIdentity(const char* path, const unsigned long* pParentSerial,
                                    FolderIdentity& identity)
{
    return m_identityQuery ? m_identityQuery(path, pParentSerial, identity)
                           : ReadIdentity(path, pParentSerial, identity);
}

bool CVisitedFolders::QueryFinalPath(const char* path, std::string& finalPath)
{
    return m_finalPathQuery ? m_finalPathQuery(path, finalPath) : ReadFinalPath(path, finalPath);
}
