#include "engine/VisitedFolders.h"

#include <windows.h>

#include "framework/LongPath.h"

#include <utility>

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
    const std::string raw = AfxWithoutTrailingSeparators(path);
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
                key = AfxChildKey(*top.pKey, name);
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
        key = AfxFullPathKey(path);

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
            auto it = serials.find(AfxFolderKey(key.substr(0, slash)));
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
                           : AfxReadFolderIdentity(path, pParentSerial, identity);
}

bool CVisitedFolders::QueryFinalPath(const char* path, std::string& finalPath)
{
    return m_finalPathQuery ? m_finalPathQuery(path, finalPath) : AfxReadFinalPath(path, finalPath);
}
