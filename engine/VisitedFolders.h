// The folders one drop has walked, so that no folder is walked twice, whoever
// leads to it: a second dropped item, a folder dropped together with one that
// holds it, a junction, a symbolic link or a cycle of them.
#pragma once

#include "framework/FolderIdentity.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

class CVisitedFolders
{
public:
    // Reads a folder's identity; false when it cannot be read. A plain
    // subfolder of a folder on a known volume gets that volume's serial
    // (pParentSerial), which it shares, and needs only its file index.
    using IdentityQuery =
        std::function<bool(const char* path, const unsigned long* pParentSerial, FolderIdentity& identity)>;
    // Reads the path the system resolves a folder to; false when it cannot.
    using FinalPathQuery = std::function<bool(const char* path, std::string& finalPath)>;

    // True the first time a folder is met, and the folder is then being
    // walked until Leave; false when it was walked already. A folder met
    // while another one is walked and named as one of its entries is taken
    // for that subfolder; any other path for a folder dropped as it is. The
    // walk passes the attributes it found the entry with, which spares
    // reading them again; kAttributesUnknown: read them.
    static const unsigned long kAttributesUnknown = 0xFFFFFFFFul; // INVALID_FILE_ATTRIBUTES
    bool Enter(const char* path, unsigned long dwFoundAttributes = kAttributesUnknown);
    // The folder entered last is walked to its end.
    void Leave();
    void Clear();

    // Tests put stand-ins for the file system's answers here.
    void SetQueries(IdentityQuery identity, FinalPathQuery finalPath)
    {
        m_identityQuery = std::move(identity);
        m_finalPathQuery = std::move(finalPath);
    }

private:
    using Identity = std::tuple<unsigned long, unsigned long, unsigned long>;

    // The earlier folder an identity was read for.
    struct Owner
    {
        const std::string* pKey;
        int nAnchor;
    };

    // A folder being walked: the path it was entered by, without trailing
    // separators, and what its subfolders take over from it.
    struct Frame
    {
        std::string raw;
        const std::string* pKey;
        int nAnchor;
        bool bSerial;
        unsigned long serial;
    };

    void Push(const std::string& raw, const std::string* pKey, int nAnchor, bool bSerial,
              unsigned long serial);
    // Reads the identities of the folders walked before they were needed.
    void IdentifyWalked();
    // False when the folder turns out to be one walked already; bSerial
    // tells whether its volume became known.
    bool Identify(const std::string* pKey, const char* path, int nAnchor, const unsigned long* pParentSerial,
                  bool& bSerial, unsigned long& serial);
    bool QueryIdentity(const char* path, const unsigned long* pParentSerial, FolderIdentity& identity);
    bool QueryFinalPath(const char* path, std::string& finalPath);

    // Every folder walked, and every other path found to lead to one, by its
    // full path in one spelling: the same path is the same folder, on any volume.
    std::set<std::string> m_paths;
    // Identities that count: a non-zero index on a volume that has not shown
    // one index for two folders.
    std::map<Identity, Owner> m_identities;
    std::set<unsigned long> m_untrustedVolumes;
    std::vector<Frame> m_stack;
    // Folders reached from one dropped folder or link through plain
    // subfolders alone share its anchor: each lies at its own place of the
    // same tree, so they are different folders whatever identities they show.
    int m_nAnchors = 0;
    // One dropped folder and the plain subfolders under it form a tree, where
    // no folder can come twice, so their identities are read only if a link
    // or a second dropped folder appears.
    bool m_bIdentifying = false;
    IdentityQuery m_identityQuery;
    FinalPathQuery m_finalPathQuery;
};
