// The folders of one drop: each is walked once, whoever leads to it, and a
// volume whose identities cannot be trusted never makes a real folder be
// passed over.
#include "engine/VisitedFolders.h"

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

#include <map>
#include <string>
#include <vector>

namespace
{
std::string Slashed(const CString& path)
{
    std::string text(static_cast<const char*>(path));
    for (char& c : text)
        if (c == '\\')
            c = '/';
    return text;
}

// A walked folder left again, as the folder walk does after its last entry.
bool Walk(CVisitedFolders& visited, const char* path,
          unsigned long dwFoundAttributes = CVisitedFolders::kAttributesUnknown)
{
    if (!visited.Enter(path, dwFoundAttributes))
        return false;
    visited.Leave();
    return true;
}

// The file system's answers as a test wants them: a dropped folder lies on
// the volume the test names (7 by default), a subfolder on its parent's; each
// path has its own index unless the test fixes one index for every folder of
// volume 7; final paths cannot be read unless the test gives them.
struct StandIn
{
    std::map<std::string, unsigned long> serials;
    std::map<std::string, unsigned long> indexes;
    std::map<std::string, std::string> finalPaths;
    bool bFixedIndex = false;
    unsigned long fixedIndex = 0;
    unsigned long nextIndex = 100;
    std::vector<std::string> asked;
    std::vector<bool> askedWithParentSerial;

    void Attach(CVisitedFolders& visited)
    {
        visited.SetQueries(
            [this](const char* path, const unsigned long* pParentSerial, FolderIdentity& identity)
            {
                asked.push_back(path);
                askedWithParentSerial.push_back(pParentSerial != nullptr);
                auto serial = serials.find(path);
                identity.serial = pParentSerial             ? *pParentSerial
                                  : serial != serials.end() ? serial->second
                                                            : 7;
                identity.indexHigh = 0;
                auto index = indexes.find(path);
                if (bFixedIndex && identity.serial == 7)
                    identity.indexLow = fixedIndex;
                else
                    identity.indexLow =
                        index != indexes.end() ? index->second : (indexes[path] = nextIndex++);
                return true;
            },
            [this](const char* path, std::string& finalPath)
            {
                auto it = finalPaths.find(path);
                if (it == finalPaths.end())
                    return false;
                finalPath = it->second;
                return true;
            });
    }
};

class VisitedFoldersTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.IsValid());
        m_strA = m_dir.MakeDir("a");
        m_strB = m_strA + "\\b";
        m_strC = m_strA + "\\c";
        m_strD = m_dir.MakeDir("d");
        m_strE = m_strD + "\\e";
        for (const CString& folder : {m_strB, m_strC, m_strE})
            ASSERT_TRUE(CreateDirectoryA(folder, nullptr));
    }

    // Walks a with its subfolders b and c.
    void WalkA(CVisitedFolders& visited)
    {
        ASSERT_TRUE(visited.Enter(m_strA));
        EXPECT_TRUE(Walk(visited, m_strB));
        EXPECT_TRUE(Walk(visited, m_strC));
        visited.Leave();
    }

    TempDir m_dir;
    CString m_strA, m_strB, m_strC, m_strD, m_strE;
};
} // namespace

TEST_F(VisitedFoldersTest, AWalkedFolderIsWalkedAlreadyUnderAnySpelling)
{
    CVisitedFolders visited;
    WalkA(visited);
    EXPECT_FALSE(Walk(visited, (Slashed(m_strB) + "/").c_str()));
    EXPECT_FALSE(Walk(visited, m_strA + "\\c\\..\\c"));
    EXPECT_FALSE(Walk(visited, m_strA + "\\"));
    EXPECT_FALSE(Walk(visited, m_strB));
    // Another case is another path; the identity and the system's own name
    // of the folder still find it walked.
    EXPECT_FALSE(Walk(visited, m_strA + "\\B"));
    EXPECT_TRUE(Walk(visited, m_strD));

    visited.Clear();
    EXPECT_TRUE(Walk(visited, m_strB));
    ASSERT_TRUE(visited.Enter(m_strA));
    // Now the subfolder comes under a walked parent, after it was dropped.
    EXPECT_FALSE(Walk(visited, m_strB));
    EXPECT_TRUE(Walk(visited, m_strC));
    visited.Leave();
    EXPECT_FALSE(Walk(visited, Slashed(m_strC).c_str()));
}

TEST_F(VisitedFoldersTest, ASubfolderListedTwiceIsWalkedOnce)
{
    CVisitedFolders visited;
    ASSERT_TRUE(visited.Enter(m_strA));
    EXPECT_TRUE(Walk(visited, m_strB));
    EXPECT_FALSE(Walk(visited, m_strB));
    visited.Leave();
}

TEST_F(VisitedFoldersTest, AFolderDroppedAfterTheTreeThatHoldsItIsWalkedAlready)
{
    // No link anywhere, so no identity is needed to see it.
    for (bool bStandIn : {false, true})
    {
        SCOPED_TRACE(bStandIn ? "stand-in" : "file system");
        CVisitedFolders visited;
        StandIn standIn;
        if (bStandIn)
            standIn.Attach(visited);
        WalkA(visited);
        EXPECT_FALSE(Walk(visited, m_strB));
        EXPECT_FALSE(Walk(visited, m_strB + "\\"));
        EXPECT_FALSE(Walk(visited, m_strA));
        EXPECT_TRUE(standIn.asked.empty());
        // Identities read from here on change nothing about it.
        EXPECT_TRUE(Walk(visited, m_strD));
        EXPECT_FALSE(Walk(visited, m_strC));
    }
}

TEST_F(VisitedFoldersTest, DotsAndMissingFolders)
{
    CVisitedFolders visited;
    EXPECT_TRUE(Walk(visited, m_strB));
    // "b\.." is the folder above b, not a folder inside it.
    EXPECT_TRUE(Walk(visited, m_strB + "\\.."));
    EXPECT_FALSE(Walk(visited, m_strA));
    EXPECT_FALSE(Walk(visited, m_strB + "\\."));
    // A folder that cannot be opened is told by its path alone.
    EXPECT_TRUE(Walk(visited, m_strA + "\\missing"));
    EXPECT_FALSE(Walk(visited, m_strA + "\\missing"));
    EXPECT_TRUE(Walk(visited, m_strA + "\\missing too"));
}

TEST_F(VisitedFoldersTest, APlainTreeReadsIdentitiesOnlyOnceASecondFolderIsDropped)
{
    CVisitedFolders visited;
    StandIn standIn;
    standIn.Attach(visited);
    WalkA(visited);
    EXPECT_TRUE(standIn.asked.empty());
    EXPECT_TRUE(Walk(visited, m_strD));
    // The walked folders first, parents before their subfolders, which take
    // their parent's volume; then the new one.
    std::vector<std::string> expected = {static_cast<const char*>(m_strA), static_cast<const char*>(m_strB),
                                         static_cast<const char*>(m_strC), static_cast<const char*>(m_strD)};
    EXPECT_EQ(expected, standIn.asked);
    EXPECT_EQ((std::vector<bool>{false, true, true, false}), standIn.askedWithParentSerial);
}

TEST_F(VisitedFoldersTest, TheWalksAttributesOfASubfolderAreTakenAsTheyCame)
{
    // Entries that are not on disk: only the attributes given tell what
    // they are. A plain subfolder needs no identity; a link may lead back
    // into the tree, so every walked folder's identity is read for it.
    CVisitedFolders visited;
    StandIn standIn;
    standIn.Attach(visited);
    ASSERT_TRUE(visited.Enter(m_strA));
    EXPECT_TRUE(Walk(visited, m_strA + "\\plain", FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_TRUE(standIn.asked.empty());
    EXPECT_TRUE(Walk(visited, m_strA + "\\link", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
    std::vector<std::string> expected = {static_cast<const char*>(m_strA),
                                         static_cast<const char*>(m_strA + "\\plain"),
                                         static_cast<const char*>(m_strA + "\\link")};
    EXPECT_EQ(expected, standIn.asked);
    visited.Leave();
}

TEST_F(VisitedFoldersTest, UntrustworthyIdentitiesMakeNoRealFolderBeSkipped)
{
    const struct
    {
        const char* name;
        unsigned long index;
    } volumes[] = {{"index 0 for every folder", 0}, {"one index for every folder", 5}};
    for (const auto& volume : volumes)
    {
        SCOPED_TRACE(volume.name);
        // Dropped one after the other: the second folder's identity meets the
        // first one's, and only the system's own names of them could tell.
        {
            CVisitedFolders visited;
            StandIn standIn;
            standIn.bFixedIndex = true;
            standIn.fixedIndex = volume.index;
            if (volume.index != 0)
                standIn.finalPaths = {{static_cast<const char*>(m_strA), "\\\\?\\A"},
                                      {static_cast<const char*>(m_strD), "\\\\?\\D"}};
            standIn.Attach(visited);
            EXPECT_TRUE(Walk(visited, m_strA));
            ASSERT_TRUE(visited.Enter(m_strD));
            EXPECT_TRUE(Walk(visited, m_strE));
            visited.Leave();
            EXPECT_FALSE(Walk(visited, m_strD)) << "the same path is still the same folder";
        }
        // Folders of one tree: different folders, though nothing but the
        // walk itself tells them apart.
        {
            CVisitedFolders visited;
            StandIn standIn;
            standIn.bFixedIndex = true;
            standIn.fixedIndex = volume.index;
            standIn.serials[static_cast<const char*>(m_strD)] = 8;
            standIn.Attach(visited);
            EXPECT_TRUE(Walk(visited, m_strD));
            ASSERT_TRUE(visited.Enter(m_strA));
            EXPECT_TRUE(Walk(visited, m_strB));
            EXPECT_TRUE(Walk(visited, m_strC));
            visited.Leave();
            EXPECT_FALSE(Walk(visited, m_strC));
        }
    }
}

TEST_F(VisitedFoldersTest, ASharedIdentityFromAnotherWayInCountsUnlessTheFinalPathsDiffer)
{
    // Another case of the name is another path, which only the identity
    // joins to d's; the stand-in makes it d's.
    const std::string strOther = std::string(static_cast<const char*>(m_dir.Path())) + "\\D";
    const struct
    {
        const char* name;
        const char* finalOfOther;
        bool bWalked;
    } cases[] = {
        {"same final path", "\\\\?\\D", false},
        {"no final path", nullptr, false},
        {"another final path", "\\\\?\\elsewhere", true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CVisitedFolders visited;
        StandIn standIn;
        standIn.Attach(visited);
        WalkA(visited);
        ASSERT_TRUE(Walk(visited, m_strD));
        standIn.indexes[strOther] = standIn.indexes[static_cast<const char*>(m_strD)];
        standIn.finalPaths[static_cast<const char*>(m_strD)] = "\\\\?\\D";
        if (c.finalOfOther)
            standIn.finalPaths[strOther] = c.finalOfOther;
        EXPECT_EQ(c.bWalked, Walk(visited, strOther.c_str()));
    }
}
