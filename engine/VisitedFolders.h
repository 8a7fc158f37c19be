// The folders one drop has walked, by identity rather than by name, so that
// a junction, a symbolic link or a cycle of them leads nowhere twice.
#pragma once

#include <map>
#include <set>
#include <string>
#include <tuple>

class CVisitedFolders
{
public:
    // True the first time a folder is met; false when it was walked already.
    // A folder whose identity cannot be read counts as new.
    bool Enter(const char* path);
    void Clear()
    {
        m_folders.clear();
        m_volumes.clear();
        m_unidentified.clear();
        m_bIdentifying = false;
    }

private:
    // Reads a folder's identity and records it; false when it was known.
    bool Identify(const std::string& key, const char* path);

    // Volume serial number and the 64-bit file index on that volume.
    using Identity = std::tuple<unsigned long, unsigned long, unsigned long>;
    std::set<Identity> m_folders;
    // Volume serial number of each folder walked, by its path without a
    // trailing separator: a plain subfolder lies on its parent's volume.
    std::map<std::string, unsigned long> m_volumes;
    // Folders walked before anything that could lead to one of them again:
    // one dropped folder and the plain subfolders under it form a tree, where
    // no folder can come twice, so their identities are read only if a link
    // or a second dropped folder appears. In name order a folder comes before
    // the subfolders whose names it begins.
    std::set<std::string> m_unidentified;
    bool m_bIdentifying = false;
};
